// Fonts by pixel size and dialog units: face mapping, the Windows height rule, and template
// rectangles converted from the template font.

#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>

#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

namespace {

QApplication &app() { return QtTestApp(); }

TEST(Fonts, FacesMapToInstalledFamilies)
{
    app();
    struct Case {
        const char *face;
        const char *family;
    } cases[] = {
        {"Arial", "Liberation Sans"},          {"MS Sans Serif", "Liberation Sans"},
        {"SimSun", "WenQuanYi Micro Hei"},     {"宋体", "WenQuanYi Micro Hei"},
        {"Microsoft YaHei", "WenQuanYi Micro Hei"}, {"", "Liberation Sans"},
        {"Arial Narrow", "Liberation Sans Narrow"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(MapFontFace(QString::fromUtf8(c.face)), QString::fromUtf8(c.family)) << c.face;
        // The family is really installed and resolved, not a silent fallback.
        QFont f = MakeFont(QString::fromUtf8(c.face), -14);
        EXPECT_EQ(QFontInfo(f).family(), QString::fromUtf8(c.family)) << c.face;
    }
}

TEST(Fonts, WindowsHeightRule)
{
    app();
    // Negative: the character height in pixels.
    EXPECT_EQ(MakeFont(QStringLiteral("Arial"), -16).pixelSize(), 16);
    // Positive: the cell height; the character height is smaller by the internal leading.
    QFont cell = MakeFont(QStringLiteral("Arial"), 16);
    EXPECT_LT(cell.pixelSize(), 16);
    QFontMetricsF fm(cell);
    EXPECT_NEAR(fm.ascent() + fm.descent(), 16.0, 1.0);
    // Bold and heavy faces keep the family's line metrics: the same cell gives the same size.
    for (const int weight : {700, 900}) {
        const QFont bold = MakeFont(QStringLiteral("Arial"), 16, weight);
        EXPECT_EQ(bold.pixelSize(), cell.pixelSize()) << weight;
        const QFontMetricsF bm(bold);
        EXPECT_NEAR(bm.ascent() + bm.descent(), 16.0, 1.0) << weight;
    }
    // Weights beyond the scale clamp to the heaviest.
    EXPECT_EQ(MakeFont(QStringLiteral("Arial"), 16, 1200).weight(), QFont::Black);
    EXPECT_EQ(MakeFont(QStringLiteral("Arial"), 16, 0).weight(), QFont::Normal);
    // Points at 96 DPI.
    EXPECT_EQ(MakePointFont(QStringLiteral("Arial"), 100).pixelSize(), 13);
    EXPECT_EQ(MakePointFont(QStringLiteral("Arial"), 80).pixelSize(), 11);
}

TEST(Fonts, DialogUnitsConvertTemplateRectangles)
{
    app();
    const DialogUnits u{6, 13};  // the classic 8-point dialog font
    EXPECT_EQ(DluRect(37, 56, 50, 14, u), QRect(56, 91, 75, 23));
    EXPECT_EQ(DluSize(183, 78, u), QSize(275, 127));
    // The template font really measures close to the classic base units.
    const DialogUnits d = DefaultDialogUnits();
    EXPECT_NEAR(d.cx, 6, 1);
    EXPECT_NEAR(d.cy, 13, 1);
}

TEST(QtGlobals, FontsBrushAndColours)
{
    app();
    InitQtGlobals();
    EXPECT_EQ(QFontInfo(g_fontListCn).family(), QStringLiteral("WenQuanYi Micro Hei"));
    EXPECT_EQ(QFontInfo(g_fontListEn).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(g_fontArial16Heavy.weight(), QFont::Black);
    EXPECT_EQ(g_brDialogBk.color(), QColor(227, 228, 238));
    EXPECT_EQ(g_clrEffectCurve, QColor(255, 0, 0, 220));
    EXPECT_EQ(g_clrOutCurve[0], QColor(255, 1, 85));
    EXPECT_EQ(g_clrMicCurve[0], QColor(255, 128, 51));
}

}  // namespace
