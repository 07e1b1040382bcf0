#include "grid/GridTextFile.h"

#include "grid/GridTextLines.h"
#include "platform/Gbk.h"

namespace {
constexpr unsigned kHeadingFormat = 0x25;  // DT_CENTER | DT_VCENTER | DT_SINGLELINE

// A text as GBK bytes; a character GBK has no code for is written as "?".
std::string ToGbk(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (auto gbk = Utf8ToGbk(std::string_view(utf8.constData(), std::size_t(utf8.size()))))
        return *gbk;
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray one = text.mid(i, n).toUtf8();
        const auto gbk = Utf8ToGbk(std::string_view(one.constData(), std::size_t(one.size())));
        out += gbk ? *gbk : std::string("?");
        i += n;
    }
    return out;
}
}  // namespace

std::string GridTextFileBytes(const CGridModel &grid)
{
    std::string out;
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            out += ToGbk(grid.GetItemText(r, c));
            out += c + 1 < grid.GetColumnCount() ? "," : "\r\n";
        }
    }
    return out;
}

std::optional<std::vector<QStringList>> ParseGridTextFile(std::string_view bytes)
{
    std::optional<gridtext::Lines> parsed = gridtext::Parse(bytes);
    if (!parsed)
        return std::nullopt;
    std::vector<QStringList> lines;
    lines.reserve(parsed->size());
    for (const std::vector<std::string> &fields : *parsed) {
        QStringList &out = lines.emplace_back();
        out.reserve(qsizetype(fields.size()));
        for (const std::string &f : fields)
            out.push_back(QString::fromUtf8(f.data(), qsizetype(f.size())));
    }
    return lines;
}

void FillGridFromText(CGridModel &grid, const std::vector<QStringList> &lines)
{
    grid.DeleteAll();
    if (lines.empty())
        return;
    for (const QString &heading : lines.front())
        grid.InsertColumn(heading, kHeadingFormat, -1);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const QStringList &fields = lines[i];
        const int row = grid.InsertRow(fields.isEmpty() ? QString() : fields.front(), -1);
        for (qsizetype k = 1; k < fields.size() && k < grid.GetColumnCount(); ++k)
            grid.SetItemText(row, int(k), fields.at(k));
    }
}
