// What a cell draws of its text: a text that fits comes back as it is, and of a huge one only what
// the cell's box can show is laid out, the same pixels as the whole text gives.

#include "grid/VisibleText.h"
#include "platform/qt/DrawText.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QFont CellFont()
{
    QtTestApp();
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(16);
    return f;
}

constexpr unsigned kPresetFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
constexpr unsigned kTopLeft = DT_LEFT;

// The most UTF-16 units a box can show (grid/VisibleText.h), the ellipsis included.
qsizetype Bound(const QFont &font, QSize box)
{
    const QFontMetrics fm(font);
    const qsizetype lines = box.height() / std::min(fm.height(), fm.lineSpacing()) + 3;
    return lines * (2 * (box.width() + 1) + 1) + 1;
}

// The text as a cell draws it.
QImage Drawn(const QString &text, const QFont &font, QSize box, unsigned format)
{
    QImage image(box, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(QPoint(0, 0), box), AlignmentFromDrawText(format), text);
    return image;
}

QString Letters(qsizetype n)
{
    QString s(n, u' ');
    for (qsizetype i = 0; i < n; ++i)
        s[i] = QChar(char16_t(u'a' + i % 26));
    return s;
}

TEST(GridVisibleText, AHugeCellLaysOutOnlyWhatItsBoxShows)
{
    const QFont font = CellFont();
    const QSize box(262, 24);
    const qsizetype fourMb = 4 << 20;
    const QString nuls(fourMb, QChar(0)), letters = Letters(fourMb);
    for (const unsigned format : {kPresetFormat, kTopLeft, unsigned(DT_WORDBREAK)}) {
        for (const QString *text : {&nuls, &letters}) {
            const QString shown = CellTextToDraw(*text, font, box, format);
            EXPECT_LE(shown.size(), Bound(font, box)) << format;
            EXPECT_GT(shown.size(), 2) << format;
            EXPECT_TRUE(text->startsWith(shown.chopped(format == kPresetFormat ? 1 : 0))) << format;
        }
    }
    // A million lines: the first ones show, also when they are aligned to the bottom.
    QString lines;
    for (int i = 0; i < 1 << 20; ++i)
        lines += QStringLiteral("L%1\n").arg(i % 10);
    const QString top = CellTextToDraw(lines, font, box, kTopLeft);
    EXPECT_LE(top.size(), Bound(font, box));
    EXPECT_TRUE(top.startsWith(QStringLiteral("L0\nL1\n")));
    const QString bottom = CellTextToDraw(lines, font, box, DT_SINGLELINE | DT_BOTTOM);
    EXPECT_LE(bottom.size(), Bound(font, box));
    EXPECT_TRUE(bottom.startsWith(QStringLiteral("L0\nL1\n")));
}

TEST(GridVisibleText, CutTextsDrawTheSamePixels)
{
    const QFont font = CellFont();
    const QSize box(120, 40);
    QString manyLines;
    for (int i = 0; i < 301; ++i)
        manyLines += QStringLiteral("line %1 ").arg(i) + Letters(i % 3 ? 40 : 700) + u'\n';
    manyLines += QStringLiteral("end");
    const QString longLine = QStringLiteral("start ") + Letters(3000) + QStringLiteral(" end");
    const struct {
        const QString &text;
        unsigned format;
    } cases[] = {
        {manyLines, kTopLeft},
        {manyLines, DT_SINGLELINE | DT_VCENTER},
        {manyLines, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT},
        {longLine, DT_SINGLELINE | DT_RIGHT},
        {longLine, kPresetFormat},
        {longLine, DT_WORDBREAK},
    };
    for (const auto &c : cases) {
        const QString shown = CellTextToDraw(c.text, font, box, c.format);
        EXPECT_LE(shown.size(), Bound(font, box)) << c.format;
        QString whole = c.text;
        if (c.format == kPresetFormat)
            whole = QFontMetrics(font).elidedText(whole, Qt::ElideRight, box.width());
        EXPECT_EQ(Drawn(shown, font, box, c.format), Drawn(whole, font, box, c.format)) << c.format;
    }

    // A text that fits is drawn as it stands; a centred line too long keeps its middle.
    EXPECT_EQ(CellTextToDraw(QStringLiteral("Preset 1\nsecond"), font, box, kTopLeft), "Preset 1\nsecond");
    const QString centred = CellTextToDraw(QString(2000, u'a') + u'm' + QString(2000, u'b'), font, box, DT_CENTER);
    EXPECT_LE(centred.size(), Bound(font, box));
    EXPECT_TRUE(centred.contains(QStringLiteral("am")) && centred.contains(QStringLiteral("mb")));
    // A surrogate pair is never cut in two.
    QString pairs;
    for (int i = 0; i < 2000; ++i)
        pairs += QStringLiteral("\U0001F600");
    const QString head = CellTextToDraw(u'x' + pairs, font, box, kTopLeft);
    ASSERT_FALSE(head.isEmpty());
    EXPECT_FALSE(head.back().isHighSurrogate());
    EXPECT_TRUE(head.isValidUtf16());
}

}  // namespace
