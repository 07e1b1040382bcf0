// The transfer popup and its gradient bar: band maths, percentage, thread-safe position, and the
// popup's life from Show through the end of a transfer.

#include "controls/DisplayDlg.h"
#include "controls/FontStatic.h"
#include "controls/GradientProgressCtrl.h"

#include "platform/GlobalData.h"
#include "platform/qt/WndTimers.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(GradientProgressCtrl, BandsFollowTheirPlaceInTheBar)
{
    QtTestApp();
    CGradientProgressCtrl bar;
    bar.SetRange(0, 8);
    bar.SetPos(4);
    const auto bands = bar.Bands(200);
    EXPECT_EQ(bar.FilledExtent(200), 100);
    ASSERT_EQ(bands.size(), 129u) << "bands 0..128";
    EXPECT_EQ(bands.front().colour, RGB(255, 0, 0));
    EXPECT_EQ(bands.back().colour, RGB(127, 0, 128));
    EXPECT_EQ(bands.back().to, 101);

    bar.resize(200, 12);
    const QImage img = bar.grab().toImage();
    EXPECT_EQ(img.pixelColor(100, 5), QColor(127, 0, 128));
    EXPECT_EQ(img.pixelColor(101, 5), bar.palette().color(QPalette::Button)) << "background from pixel 101 on";

    // Nothing filled at the lower end; the whole bar at the upper one.
    bar.SetPos(0);
    EXPECT_TRUE(bar.Bands(200).empty());
    EXPECT_EQ(bar.grab().toImage().pixelColor(0, 5), bar.palette().color(QPalette::Button));
    bar.SetPos(8);
    EXPECT_EQ(bar.Bands(200).back().to, 200);
    EXPECT_EQ(bar.Bands(200).back().colour, RGB(1, 0, 254));

    // A flat gradient has one band and no division by zero.
    bar.SetStartColor(RGB(10, 20, 30));
    bar.SetEndColor(RGB(10, 20, 30));
    EXPECT_EQ(bar.Bands(200).size(), 1u);
}

TEST(GradientProgressCtrl, FillAndPercentShareOneFormula)
{
    QtTestApp();
    CGradientProgressCtrl bar;
    bar.SetShowPercent(1);
    struct Case {
        int lower, upper, pos, extent;
        const char *text;
    } cases[] = {
        {0, 200, 50, 50, "25.00 %"},
        {0, 200, 200, 200, "100 %"},
        {100, 300, 200, 100, "50.00 %"},  // a raised lower bound: half the bar at half the range
        {0, 100, 1, 2, "1.00 %"},
    };
    for (const auto &c : cases) {
        bar.SetRange(c.lower, c.upper);
        bar.SetPos(c.pos);
        EXPECT_EQ(bar.FilledExtent(200), c.extent) << c.pos;
        EXPECT_EQ(bar.PercentText(), QString::fromLatin1(c.text)) << c.pos;
    }
    bar.SetRange(0, 100);
    bar.SetPos(150);
    EXPECT_EQ(bar.GetPos(), 100) << "clamped to the upper bound";
}

TEST(GradientProgressCtrl, PositionsFromTheWorkerArriveOnTheUiThread)
{
    QtTestApp();
    CGradientProgressCtrl bar;
    bar.SetRange(0, 1000);
    ILinkProgress *face = &bar;  // what the reply parser holds
    std::thread worker([face] {
        for (int i = 1; i <= 1000; ++i)
            face->SetPos(i);
    });
    worker.join();
    EXPECT_EQ(bar.GetPos(), 1000);
    QCoreApplication::processEvents();
}

struct TransferScope {
    TransferScope() : saved(g_bTransferring.load()) {}
    ~TransferScope() { g_bTransferring = saved; }
    int saved;
};

TEST(DisplayDlg, ShowsDuringATransferAndEndsReadably)
{
    QtTestApp();
    CManualTimerClock clock;
    TransferScope scope;
    const int savedLang = g_bChinese.load();
    g_bChinese = 0;
    QWidget owner;
    owner.show();
    CDisplayDlg dlg(&owner);
    g_bTransferring = 1;
    dlg.Show(0);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(dlg.TimerActive());
    EXPECT_EQ(dlg.Text()->GetWindowText(), QStringLiteral("Data transmission"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Data transmission"));

    // The text blinks dark blue and red while the transfer runs.
    dlg.OnTimer();
    const COLORREF first = dlg.Text()->TextColor();
    dlg.OnTimer();
    EXPECT_NE(dlg.Text()->TextColor(), first);

    // Enter and Escape do not close it; nor does a close request.
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(&dlg, Qt::Key_Return);
    dlg.close();
    EXPECT_TRUE(dlg.isVisible());

    // The end: the owner is free on the next tick, the end text stays up to be read.
    g_bTransferring = 0;
    dlg.OnTimer();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(dlg.Text()->GetWindowText(), QStringLiteral("End of data transmission"));
    EXPECT_TRUE(dlg.isVisible());
    clock.Advance(3000);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.TimerActive());
    g_bChinese = savedLang;
}

TEST(DisplayDlg, HideEnablesTheModeWindowAndFactoryModeCounts)
{
    QtTestApp();
    TransferScope scope;
    QWidget owner, presetDlg, advancedDlg;
    CDisplayDlg::SetProgramDlgLookup([&] { return &presetDlg; });
    CDisplayDlg::SetAdvancedDlgLookup([&] { return &advancedDlg; });
    CDisplayDlg dlg(&owner);
    g_bTransferring = 1;
    dlg.Show(1);
    EXPECT_FALSE(presetDlg.isEnabled());
    EXPECT_TRUE(owner.isEnabled());
    dlg.Hide();
    EXPECT_TRUE(presetDlg.isEnabled());
    EXPECT_FALSE(dlg.isVisible());

    dlg.SetFactoryResetMode();
    EXPECT_EQ(dlg.Progress()->GetRangeUpper(), 110);
    dlg.Show(0);
    EXPECT_FALSE(advancedDlg.isEnabled());
    for (int i = 0; i < 200; ++i)
        dlg.OnTimer();
    EXPECT_EQ(dlg.Progress()->GetPos(), 108) << "the bar creeps up to two below the top while the reset runs";
    g_bTransferring = 0;
    int ticks = 0;
    while (dlg.isVisible() && ticks < 100) {
        dlg.OnTimer();
        ++ticks;
    }
    EXPECT_EQ(dlg.Progress()->GetPos(), 110);
    EXPECT_GE(ticks, 11) << "full for about eleven ticks, then the success text";
    EXPECT_TRUE(advancedDlg.isEnabled());

    // A second reset whose answer came before the first tick still stays full for its period.
    dlg.SetFactoryResetMode();
    dlg.Show(0);
    ticks = 0;
    while (dlg.isVisible() && ticks < 100) {
        dlg.OnTimer();
        ++ticks;
    }
    EXPECT_GE(ticks, 11) << "not the success text at once from the last reset's count";
    CDisplayDlg::SetProgramDlgLookup(nullptr);
    CDisplayDlg::SetAdvancedDlgLookup(nullptr);
}

}  // namespace
