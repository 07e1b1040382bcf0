// The level lamp's segment rules and geometry, and the group frame's title and colours.

#include "controls/GroupBoxEx.h"
#include "controls/SLamp.h"
#include "controls/SxLogFont.h"

#include "platform/qt/QtGlobals.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

std::vector<int> litSegments(const CSLamp &lamp)
{
    std::vector<int> out;
    for (int i = 0; i < CSLamp::kSegments; ++i)
        if (lamp.IsLit(i))
            out.push_back(i);
    return out;
}

TEST(SLamp, LevelByteLightsSegmentsAndRepaintsOnlyOnChange)
{
    QtTestApp();
    CSLamp lamp;
    lamp.resize(130, 10);
    EXPECT_EQ(litSegments(lamp).size(), 12u) << "all lit until the first level";
    lamp.SetLevel(0x25);
    EXPECT_EQ(litSegments(lamp), (std::vector<int>{0, 1, 2, 3, 4, 10}));
    const int paints = lamp.PaintRequests();
    lamp.SetLevel(0x25);
    EXPECT_EQ(lamp.PaintRequests(), paints) << "nothing changed: no repaint";
    lamp.SetLevel(0x0A);  // n = 10 leaves the level segments; the indicator bits go dark
    EXPECT_EQ(litSegments(lamp), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(lamp.PaintRequests(), paints + 1);
    lamp.SetLevel(0x59);
    EXPECT_EQ(litSegments(lamp), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11}));
    lamp.Clear();
    EXPECT_TRUE(litSegments(lamp).empty());
}

TEST(SLamp, SegmentGeometryAndColours)
{
    QtTestApp();
    CSLamp lamp;
    lamp.resize(130, 10);
    for (int i = 0; i < CSLamp::kSegments; ++i) {
        EXPECT_EQ(lamp.SegmentRect(i).x(), i * 11);
        EXPECT_EQ(lamp.SegmentRect(i).width(), 10);
    }
    lamp.SetLevel(0x69);
    const QImage img = lamp.grab().toImage();
    EXPECT_EQ(img.pixelColor(5, 0), QColor(127, 127, 127)) << "each segment starts one pixel down";
    EXPECT_EQ(img.pixelColor(5, 5), QColor(0, 200, 51));
    EXPECT_EQ(img.pixelColor(10, 5), QColor(127, 127, 127)) << "the gap between segments";
    EXPECT_EQ(img.pixelColor(9 * 11 + 5, 5), QColor(255, 204, 74));
    EXPECT_EQ(img.pixelColor(10 * 11 + 5, 5), QColor(255, 127, 39));
    EXPECT_EQ(img.pixelColor(11 * 11 + 5, 5), QColor(102, 102, 102)) << "segment 11 dark (no 0x10)";
    EXPECT_EQ(img.pixelColor(129, 5), QColor(102, 102, 102)) << "the last segment is cut at the edge";
}

TEST(GroupBoxEx, TitleAlignmentFontAndColours)
{
    QtTestApp();
    QWidget dlg;
    CGroupBoxEx box(&dlg, 2900, QStringLiteral("MCU"), BS_GROUPBOX | BS_CENTER);
    box.resize(200, 80);
    EXPECT_EQ(box.Alignment(), 0x300);
    EXPECT_EQ(box.TitleFont().bold(), true);
    EXPECT_EQ(box.TitleFont().pixelSize(), 13) << "10 points at 96 DPI";
    EXPECT_EQ(QFontInfo(box.TitleFont()).family(), QStringLiteral("Liberation Sans"));
    const auto [x0, x1] = box.TitleGap();
    EXPECT_NEAR((x0 + x1) / 2.0, 100, 1) << "centred";

    struct Case {
        unsigned style;
        int align;
    } cases[] = {{BS_GROUPBOX, 0x100}, {BS_GROUPBOX | BS_LEFT, 0x100}, {BS_GROUPBOX | BS_RIGHT, 0x200}};
    for (const auto &c : cases)
        EXPECT_EQ(CGroupBoxEx(nullptr, 0, QStringLiteral("x"), c.style).Alignment(), c.align);
    box.SetAlignment(0x123);
    EXPECT_EQ(box.Alignment(), 0x100);
    box.SetBoxStyle(99);
    EXPECT_EQ(box.BoxStyleValue(), CGroupBoxEx::Etched);

    COLORREF c1, c2;
    box.SetLineColors(RGB(1, 2, 3), RGB(4, 5, 6));
    box.GetLineColors(c1, c2);
    EXPECT_EQ(c1, RGB(1, 2, 3));
    box.SetLineColors(0, 0);
    box.GetLineColors(c1, c2);
    EXPECT_EQ(c1, ToColorRef(box.palette().color(QPalette::Dark)));
    EXPECT_EQ(c2, ToColorRef(box.palette().color(QPalette::Light)));

    // Title shown only while enabled and not hidden by the extended style.
    EXPECT_TRUE(CGroupBoxEx(nullptr, 0, QStringLiteral("x"), BS_GROUPBOX, 0x40).TitleHidden());
    box.SetTextColor(RGB(255, 0, 0));
    auto redPixels = [&] {
        const QImage img = box.grab().toImage();
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor px = img.pixelColor(x, y);
                n += px.red() > 180 && px.green() < 80 && px.blue() < 80;
            }
        return n;
    };
    EXPECT_GT(redPixels(), 10);
    box.setEnabled(false);
    EXPECT_EQ(redPixels(), 0);

    CSxLogFont longName(80, 400, 0, QString(40, QLatin1Char('A')).left(31));
    EXPECT_EQ(longName.lfFaceName.size(), 31);
}

}  // namespace
