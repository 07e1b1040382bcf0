// The bitmap button: state to skin table, its size, disabled looks, linked hover, WM_COMMAND and
// move reports, and the timing of its single, double and right click reports.

#include "controls/BitButton.h"

#include "controls/CtrlMessages.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Page {
    QWidget widget;
    std::vector<std::pair<unsigned, WPARAM>> got;  // message, wParam
    std::vector<LPARAM> lparams;
    Page()
    {
        auto *t = CMessageTable::Ensure(&widget);
        t->OnAny([this](unsigned m, WPARAM w, LPARAM l) {
            got.push_back({m, w});
            lparams.push_back(l);
            return LRESULT(0);
        });
        widget.resize(300, 200);
    }
    std::vector<WPARAM> presses() const
    {
        std::vector<WPARAM> out;
        for (auto &[m, w] : got)
            if (m == WM_BITBUTTON_PRESS)
                out.push_back(w);
        return out;
    }
};

// Ids 1..6 unchecked normal/hover/pressed, 11..13 checked, 21/22 disabled, 31/32 alternative.
TEST(BitButton, StateChoosesTheSkin)
{
    QtTestApp();
    CBitButton b;
    b.SetBitmaps(1, 2, 3, 11, 12, 13);
    b.SetDisabledBitmaps(21, 22);
    b.SetAltBitmaps(31, 32);
    struct Case {
        int check, hover;
        bool press, enabled;
        int alt, bitmap;
    } cases[] = {
        {0, 0, false, true, 0, 1},  {0, 0, true, true, 0, 1},  {0, 1, false, true, 0, 2},
        {0, 1, true, true, 0, 3},   {1, 0, false, true, 0, 11}, {1, 0, true, true, 0, 11},
        {1, 1, false, true, 0, 12}, {1, 1, true, true, 0, 13},  {0, 0, false, true, 1, 31},
        {1, 0, false, true, 1, 32}, {0, 1, true, false, 0, 21}, {1, 1, true, false, 0, 22},
    };
    for (const auto &c : cases) {
        b.setEnabled(c.enabled);
        b.SetAltLook(c.alt);
        b.SetCheck(c.check);
        b.SetHover(c.hover);
        if (c.press && c.enabled)
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(b.CurrentBitmap(), c.bitmap)
            << "check " << c.check << " hover " << c.hover << " press " << c.press << " enabled " << c.enabled;
        if (c.press && c.enabled)
            QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(2, 2));
    }
    // Checked ids of 0 take their unchecked twins.
    b.setEnabled(true);
    b.SetAltLook(0);
    b.SetBitmaps(4, 5, 6);
    b.SetCheck(1);
    b.SetHover(0);
    EXPECT_EQ(b.CurrentBitmap(), 4);
    b.SetHover(1);
    EXPECT_EQ(b.CurrentBitmap(), 5);
    b.SetCheckedBitmap(7);
    EXPECT_EQ(b.CurrentBitmap(), 7);
    // Without disabled bitmaps a disabled button keeps its resting look, checked or not.
    b.SetDisabledBitmaps(0, 0);
    b.setEnabled(false);
    EXPECT_EQ(b.CurrentBitmap(), 7);
    b.SetCheck(0);
    EXPECT_EQ(b.CurrentBitmap(), 4);
}

TEST(BitButton, TakesTheSizeOfItsSkinAndPaintsThePlainFaceForNone)
{
    QtTestApp();
    QWidget page;
    CBitButton b(&page, 100);
    b.setGeometry(10, 10, 200, 90);  // a larger template rectangle
    b.SetBitmaps(4948, 4949, 4949);
    page.show();
    QTest::qWaitForWindowExposed(&page);
    EXPECT_EQ(b.size(), Skins::NaturalSize(SkinType::Bitmap, 4948));
    EXPECT_EQ(b.pos(), QPoint(10, 10));

    CBitButton plain(&page, 101);
    plain.setGeometry(0, 100, 40, 20);
    plain.show();
    const QImage img = plain.grab().toImage();
    EXPECT_EQ(img.pixelColor(20, 10), CBitButton::PlainFaceColor());
}

TEST(BitButton, HoverFollowsTheMouseAndLinkedButtons)
{
    QtTestApp();
    QWidget page;
    CBitButton a(&page, 1), l1(&page, 2), l2(&page, 3);
    a.setGeometry(0, 0, 40, 20);
    l1.setGeometry(50, 0, 40, 20);
    l2.setGeometry(100, 0, 40, 20);
    a.SetLinkedButtons(&l1, &l2);
    page.show();
    QTest::mouseMove(&a, QPoint(5, 5));
    EXPECT_TRUE(a.GetHover());
    EXPECT_TRUE(l1.GetHover());
    EXPECT_TRUE(l2.GetHover());
    // Unchecking takes the hover look from the linked buttons wherever the mouse is.
    a.SetCheck(1);
    a.SetCheck(0);
    EXPECT_FALSE(l1.GetHover());
    EXPECT_FALSE(l2.GetHover());
    // Hiding forgets the links for good.
    a.ShowWindow(SW_HIDE);
    a.ShowWindow(SW_SHOW);
    QEvent leave(QEvent::Leave);
    l1.SetHover(1);
    QApplication::sendEvent(&a, &leave);
    EXPECT_FALSE(a.GetHover());
    EXPECT_TRUE(l1.GetHover()) << "a forgotten link is left alone";
}

TEST(BitButton, ClickAndMoveReportsToTheParent)
{
    QtTestApp();
    Page page;
    CBitButton b(&page.widget, 2770);
    b.setGeometry(0, 0, 40, 20);
    b.EnableMoveNotify(1);
    page.widget.show();
    QTest::mouseMove(&b, QPoint(3, 4));
    QTest::mouseMove(&b, QPoint(3, 4));  // same point: no second report
    QTest::mouseMove(&b, QPoint(6, 4));
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, 4));
    std::vector<std::pair<unsigned, WPARAM>> expected = {
        {WM_CTRL_MOUSEMOVE, 0}, {WM_CTRL_MOUSEMOVE, 0}, {WM_COMMAND, MAKEWPARAM(2770, BN_CLICKED)}};
    EXPECT_EQ(page.got, expected);
    EXPECT_EQ(page.lparams[0], 2770);
    EXPECT_EQ(page.lparams[2], CtrlHandle(&b));
    EXPECT_TRUE(page.presses().empty()) << "press reports are off unless the owner asks";
}

TEST(BitButton, ClickKindsAndTheirTimings)
{
    QtTestApp();
    auto run = [](auto &&drive) {
        CManualTimerClock clock;
        Page page;
        CBitButton b(&page.widget, 2844);
        b.setGeometry(0, 0, 40, 20);
        b.SetPressReports(true);
        page.widget.show();
        drive(b, clock);
        clock.Advance(CBitButton::kPressDelayMs);
        EXPECT_FALSE(b.PressTimerActive()) << "the timer stops after its one report";
        clock.Advance(10 * CBitButton::kPressDelayMs);
        QCoreApplication::processEvents();
        return page.presses();
    };
    using V = std::vector<WPARAM>;
    // A single click: 513 after 200 ms, not before.
    EXPECT_EQ(run([](CBitButton &b, CManualTimerClock &clock) {
                  QTest::mouseClick(&b, Qt::LeftButton);
                  clock.Advance(CBitButton::kPressDelayMs - 1);
                  QCoreApplication::processEvents();
                  EXPECT_TRUE(b.PressTimerActive());
              }),
              V{513});
    // A quick double click: only 515.
    EXPECT_EQ(run([](CBitButton &b, CManualTimerClock &) {
                  QTest::mouseClick(&b, Qt::LeftButton);
                  QTest::mouseDClick(&b, Qt::LeftButton);
              }),
              V{515});
    // A slow double click: 513, then 515.
    EXPECT_EQ(run([](CBitButton &b, CManualTimerClock &clock) {
                  QTest::mouseClick(&b, Qt::LeftButton);
                  clock.Advance(CBitButton::kPressDelayMs);
                  QTest::mouseDClick(&b, Qt::LeftButton);
              }),
              (V{513, 515}));
    // Held longer than 200 ms: 513 before the release.
    EXPECT_EQ(run([](CBitButton &b, CManualTimerClock &clock) {
                  QTest::mousePress(&b, Qt::LeftButton);
                  clock.Advance(CBitButton::kPressDelayMs);
                  EXPECT_TRUE(b.IsPressedLook());
                  QTest::mouseRelease(&b, Qt::LeftButton);
              }),
              V{513});
    // Right button: 516 at once.
    EXPECT_EQ(run([](CBitButton &b, CManualTimerClock &) { QTest::mousePress(&b, Qt::RightButton); }), V{516});
}

TEST(BitButton, KindFromTemplateStyle)
{
    QtTestApp();
    struct Case {
        unsigned style;
        int kind;
    } cases[] = {{BS_PUSHBUTTON, CBitButton::PushKind},     {BS_AUTOCHECKBOX, CBitButton::CheckKind},
                 {BS_AUTORADIOBUTTON, CBitButton::RadioKind}, {BS_OWNERDRAW, CBitButton::PushKind},
                 {BS_CHECKBOX, CBitButton::PushKind},         {BS_AUTOCHECKBOX | BS_LEFT, CBitButton::CheckKind}};
    for (const auto &c : cases) {
        CBitButton b(nullptr, 0, c.style);
        EXPECT_EQ(b.Kind(), c.kind) << std::hex << c.style;
    }
    // An automatic check box keeps its own mark.
    QWidget page;
    CBitButton chk(&page, 5, BS_AUTOCHECKBOX);
    chk.setGeometry(0, 0, 80, 20);
    page.show();
    QTest::mouseClick(&chk, Qt::LeftButton);
    EXPECT_EQ(chk.GetCheck(), 1);
}

}  // namespace
