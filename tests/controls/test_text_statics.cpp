// The text labels: the coloured label's style and refresh rules and blinking, the transparent
// label's text flags, the web link's hover and safe opening, and the On/OFF label.

#include "controls/FontStatic.h"
#include "controls/HyLink.h"
#include "controls/MuteStatic.h"
#include "controls/TransparentStatic.h"

#include "controls/BitButton.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QTest>

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// The bounding columns of non-background pixels.
std::pair<int, int> inkColumns(const QImage &img, QColor background)
{
    int left = img.width(), right = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != background) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

TEST(FontStatic, SetFontStaticAppliesStyleOnlyWithANewColour)
{
    QtTestApp();
    CFontStatic s;
    s.SetFontStatic("", 14, 0x000000, 0x40);  // colour already black: nothing more happens
    EXPECT_FALSE(s.IsLeft());
    EXPECT_EQ(s.RefreshCount(), 0);
    s.SetFontStatic("", 18, 0x0000FF, 0x40);
    EXPECT_TRUE(s.IsLeft());
    EXPECT_EQ(s.TextColor(), 0x0000FFu);
    EXPECT_EQ(s.FontHeight(), 18);
    EXPECT_EQ(s.RefreshCount(), 1);
    struct Case {
        unsigned style;
        bool left, right;
    } cases[] = {{0x20, false, false}, {0x80, false, true}, {0x40, true, false}, {0xE0, false, false}, {0x01, false, false}};
    for (const auto &c : cases) {
        s.SetFontStyle(c.style);
        EXPECT_EQ(s.IsLeft(), c.left) << c.style;
        EXPECT_EQ(s.IsRight(), c.right) << c.style;
    }
    s.SetNumberFormat(0, 0, 10, "dB");
    s.SetNumber(25);
    EXPECT_EQ(s.GetWindowText(), QStringLiteral("15dB"));
}

TEST(FontStatic, PaintsOneCentredLineAndBlinks)
{
    QtTestApp();
    CFontStatic s;
    s.resize(200, 24);
    s.SetBkColor(RGB(0, 0, 0));
    s.SetTextColor(RGB(255, 255, 255));
    s.SetText("Gain");
    const auto [l, r] = inkColumns(s.grab().toImage(), Qt::black);
    ASSERT_LT(l, r);
    EXPECT_NEAR((l + r) / 2.0, 100, 3) << "centred";
    // A text longer than the label stays on one line (not wrapped into a second row).
    s.SetText("A very long label text that does not fit into two hundred pixels at all");
    const QImage img = s.grab().toImage();
    EXPECT_EQ(inkColumns(img, Qt::black).first, 0);

    CManualTimerClock clock;
    s.StartAlarm();
    EXPECT_EQ(s.PaintColor(), RGB(250, 250, 250));
    clock.Advance(999);
    EXPECT_EQ(s.PaintColor(), RGB(250, 250, 250));
    clock.Advance(1);
    EXPECT_EQ(s.PaintColor(), RGB(255, 0, 0)) << "the first tick, 1 s later";
    s.StopAlarm();
    EXPECT_EQ(s.PaintColor(), RGB(255, 255, 255));
}

TEST(TransparentStatic, TextFlagsAndUnchangedText)
{
    QtTestApp();
    struct Case {
        unsigned style;
        unsigned flags;
    } cases[] = {
        {SS_LEFT, DT_WORDBREAK},
        {SS_CENTER, DT_CENTER | DT_WORDBREAK},
        {SS_RIGHT, DT_RIGHT | DT_WORDBREAK},
        {SS_CENTERIMAGE, DT_VCENTER | DT_SINGLELINE},
        {SS_NOPREFIX, DT_NOPREFIX | DT_WORDBREAK},
        {SS_ENDELLIPSIS, DT_WORD_ELLIPSIS | DT_END_ELLIPSIS},
        {SS_PATHELLIPSIS, DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DrawTextFlagsFromStaticStyle(c.style), c.flags) << std::hex << c.style;

    QWidget dlg;
    CTransparentStatic t(&dlg, 10, SS_CENTERIMAGE);
    t.SetText("Ready");
    EXPECT_EQ(t.TextChanges(), 1);
    t.SetText("Ready");
    EXPECT_EQ(t.TextChanges(), 1) << "the same text leaves the window alone";
    t.SetText("Busy");
    EXPECT_EQ(t.GetWindowText(), QStringLiteral("Busy"));
}

TEST(TransparentStatic, FixedColoursThatWouldNotReadGetAPlate)
{
    QtTestApp();
    const struct {
        COLORREF text;
        bool plate;
    } cases[] = {{RGB(0, 0, 0), true}, {RGB(255, 0, 0), true}, {RGB(140, 149, 163), false}, {RGB(228, 232, 238), false}};
    for (const auto &c : cases) {
        QWidget dlg;
        dlg.resize(120, 30);
        CTransparentStatic t(&dlg, 1886, SS_CENTER | SS_CENTERIMAGE);
        t.setGeometry(0, 0, 120, 30);
        t.SetTextColor(c.text);
        t.SetText("Update");
        EXPECT_EQ(t.HasPlate(), c.plate) << std::hex << c.text;
        if (!c.plate)
            continue;
        QImage img(t.size(), QImage::Format_RGB32);
        img.fill(QColor::fromRgb(Skins::Palette::Panel));
        QPainter p(&img);
        t.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        p.end();
        EXPECT_GE(Skins::Contrast(ToQColor(c.text), img.pixelColor(3, 15)), Skins::MinTextContrast) << std::hex << c.text;
    }
    CTransparentStatic empty;
    EXPECT_FALSE(empty.HasPlate()) << "no text, no plate";
}

TEST(HyLink, HoverColourAndOnlyWebAddressesOpen)
{
    QtTestApp();
    std::vector<QUrl> opened;
    CHyLink::SetUrlOpener([&](const QUrl &u) {
        opened.push_back(u);
        return true;
    });
    QWidget dlg;
    CHyLink link(&dlg, 1234);
    link.setGeometry(0, 0, 200, 20);
    dlg.show();
    EXPECT_EQ(link.PaintColor(), 0x000000u);
    QTest::mouseMove(&link, QPoint(5, 5));
    EXPECT_TRUE(link.IsHover());
    EXPECT_EQ(link.PaintColor(), 0x0000FFu);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_FALSE(link.IsHover()) << "leaving restores the normal colour";

    struct Case {
        const char *text;
        const char *url;  // nullptr: refused
    } cases[] = {
        {"http://www.example.com", "http://www.example.com"},
        {"https://example.com/zk", "https://example.com/zk"},
        {"www.example.com", "http://www.example.com"},
        {"file:///etc/passwd", nullptr},
        {"/usr/bin/xterm", nullptr},
        {"javascript:alert(1)", nullptr},
        {"", nullptr},
    };
    for (const auto &c : cases) {
        opened.clear();
        link.SetWindowText(QString::fromUtf8(c.text));
        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
        if (c.url) {
            ASSERT_EQ(opened.size(), 1u) << c.text;
            EXPECT_EQ(opened[0], QUrl(QString::fromUtf8(c.url)));
        } else {
            EXPECT_TRUE(opened.empty()) << c.text;
        }
    }
    CHyLink::SetUrlOpener(nullptr);
}

TEST(MuteStatic, StatesAndLanguage)
{
    QtTestApp();
    CMuteStatic m;
    m.resize(40, 20);
    EXPECT_EQ(m.ShownText(), QStringLiteral("On"));
    EXPECT_EQ(m.grab().toImage().pixelColor(1, 1), QColor(0x64, 0x69, 0x6D));
    m.SetState(0);
    EXPECT_EQ(m.ShownText(), QStringLiteral("OFF"));
    EXPECT_EQ(m.ShownTextColor(), 0x0000FFu);
    m.SetTexts("A", "B");
    m.SetLanguage(1);
    EXPECT_EQ(m.ShownText(), QStringLiteral("OFF"));
    m.SetState(1);
    EXPECT_EQ(m.ShownText(), QStringLiteral("On"));
}

}  // namespace
