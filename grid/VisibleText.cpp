#include "grid/VisibleText.h"

#include "platform/qt/DrawText.h"

#include <QFontMetrics>

#include <algorithm>
#include <vector>

namespace {

bool IsLineBreak(QChar c) { return c == u'\n' || c == QChar::LineSeparator; }

// An index moved off the second half of a surrogate pair: back, or on (`forward`).
qsizetype Snap(QStringView s, qsizetype i, bool forward)
{
    if (i > 0 && i < s.size() && s[i].isLowSurrogate() && s[i - 1].isHighSurrogate())
        return forward ? i + 1 : i - 1;
    return i;
}

// At most `units` of a line: its start, middle or end.
QStringView CutLine(QStringView line, qsizetype units, int align)
{
    if (line.size() <= units)
        return line;
    qsizetype from = 0;
    if (align & Qt::AlignRight)
        from = line.size() - units;
    else if (align & Qt::AlignHCenter)
        from = (line.size() - units) / 2;
    from = Snap(line, from, true);
    const qsizetype to = Snap(line, std::min(line.size(), from + units), false);
    return line.sliced(from, to - from);
}

struct Line {
    QStringView text;
    QChar end;  // the break after it, or none
};

// The first `count` lines of `text`. The breaks are found by the string's own search, a pass over
// the text for each kind of break.
std::vector<Line> FirstLines(QStringView text, qsizetype count)
{
    std::vector<Line> out;
    const auto find = [&](QChar c, qsizetype from) {
        const qsizetype at = text.indexOf(c, from);
        return at < 0 ? text.size() : at;
    };
    qsizetype start = 0, feed = find(u'\n', 0), separator = find(QChar::LineSeparator, 0);
    while (qsizetype(out.size()) < count) {
        if (feed < start)
            feed = find(u'\n', start);
        if (separator < start)
            separator = find(QChar::LineSeparator, start);
        const qsizetype end = std::min(feed, separator);
        out.push_back({text.sliced(start, end - start), end < text.size() ? text[end] : QChar()});
        if (end >= text.size())
            break;
        start = end + 1;
    }
    return out;
}

}  // namespace

QString HeadOfText(const QString &text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    return text.first(Snap(text, std::max<qsizetype>(units, 0), false));
}

QString CellTextToDraw(const QString &text, const QFont &font, QSize box, unsigned format)
{
    const QFontMetrics fm(font);
    const bool single = format & DT_SINGLELINE;
    const bool elide = single && (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS));
    const bool wrap = (format & DT_WORDBREAK) && !single;
    const int align = AlignmentFromDrawText(format);

    const qsizetype lineUnits = 2 * (qsizetype(std::max(box.width(), 0)) + 1);
    const qsizetype maxLines = std::max(box.height(), 0) / std::max(1, std::min(fm.height(), fm.lineSpacing())) + 2;
    // A wrapped line shows on as many lines as the box has.
    const qsizetype units = wrap ? lineUnits * maxLines : lineUnits;

    // The painter lays out lines only until they fill the box and aligns what it laid out, so the
    // first lines are the ones that show whatever the vertical alignment.
    QString shown = text;
    const QStringView all(text);
    if (text.size() > units || std::count_if(all.begin(), all.end(), IsLineBreak) >= maxLines) {
        // A wrapped or elided line shows from its start whatever its alignment.
        const int cutAlign = elide || wrap ? int(Qt::AlignLeft) : align;
        const std::vector<Line> lines = FirstLines(all, maxLines);
        shown.clear();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                shown += lines[i - 1].end;
            shown += CutLine(lines[i].text, units, cutAlign);
        }
    }
    if (elide)
        shown = fm.elidedText(shown, Qt::ElideRight, box.width());
    return shown;
}
