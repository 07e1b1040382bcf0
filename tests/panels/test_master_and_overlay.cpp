// The master volume strip and the curve overlay selector as the user drives them.

#include "services/Services.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/ComBoxBtn.h"
#include "controls/NumEdit.h"
#include "model/DeviceImage.h"
#include "model/OutputPageContract.h"
#include "panels/output/Changnal_Line.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutStripMessages.h"
#include "platform/qt/Language.h"
#include "tests/controls/CtrlTestKit.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class RecordingSync final : public IDeviceSync {
public:
    void QueueDeviceCommand(int, int) override {}
    void SetPendingBlock5(int flag) override { block5.push_back(flag); }
    void SetPendingBlock2(int) override {}
    void ReadPresetFromDevice(int) override {}
    void StorePresetToDevice(int, int) override {}
    void RecallDevicePreset(int) override {}
    void PushAllPresetsToDevice() override {}
    int RequestAllPresets() override { return 0; }
    void RestoreSpeakerTypes(int) override {}
    std::vector<int> block5;
};

class Master : public ::testing::Test {
protected:
    Master()
    {
        ResetDeviceImageGlobals();
        dlg = new CGainDlg(sync, &page);
        page.show();
        page.Clear();
    }
    ~Master() override { ResetDeviceImageGlobals(); }
    LPARAM LastVolume()
    {
        WaitUntil([&] { return !page.Of(WM_GAINDLG_CHANGED).empty(); }, 1000);
        const auto v = page.Of(WM_GAINDLG_CHANGED);
        return v.empty() ? -1 : v.back().lParam;
    }

    RecordingPage page;
    RecordingSync sync;
    CGainDlg *dlg = nullptr;
};

// The page gets the volume itself, never the fader's raw (inverted) position.
TEST_F(Master, FaderEndsCarryOffAndPlusSixDecibels)
{
    struct Row {
        int fader;  // raw position: 0 is the top
        LPARAM volume;
    } rows[] = {{66, 0}, {0, 66}, {6, 60}};
    for (const Row &r : rows) {
        page.Clear();
        dlg->Fader()->SetPos(r.fader);
        SendMessageTo(dlg, WM_SLIDER_POS_CHANGED, CGainDlg::IDC_FADER, r.fader);
        EXPECT_EQ(LastVolume(), r.volume) << "fader " << r.fader;
        EXPECT_EQ(page.Of(WM_GAINDLG_CHANGED).back().wParam, WPARAM(CGainDlg::IDD));
    }
    dlg->Fader()->SetPos(66);
    SendMessageTo(dlg, WM_SLIDER_POS_CHANGED, CGainDlg::IDC_FADER, 66);
    EXPECT_EQ(dlg->VolumeEdit()->text(), QTr(StrId::Off));

    // Another sender's slider messages are not the master's.
    page.Clear();
    SendMessageTo(dlg, WM_SLIDER_POS_CHANGED, 4004, 3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(page.Of(WM_GAINDLG_CHANGED).empty());
}

TEST_F(Master, TypedVolumeMovesTheFader)
{
    dlg->VolumeEdit()->setFocus();
    QCoreApplication::processEvents();
    dlg->VolumeEdit()->selectAll();
    QTest::keyClicks(dlg->VolumeEdit(), QStringLiteral("-20"));
    dlg->setFocus();  // leaving the edit commits
    EXPECT_EQ(LastVolume(), 40);
    EXPECT_EQ(dlg->Fader()->GetInvertedPos(), 40);
}

TEST_F(Master, MuteButtonWritesTheMasterOnFlagAndMarksBlockFive)
{
    g_bMasterOn.store(1);
    dlg->SetGain(30);
    EXPECT_EQ(dlg->MuteButton()->GetCheck(), 0);
    QTest::mouseClick(dlg->MuteButton(), Qt::LeftButton);
    EXPECT_EQ(g_bMasterOn.load(), 0);
    EXPECT_EQ(dlg->MuteButton()->GetCheck(), 1);
    QTest::mouseClick(dlg->MuteButton(), Qt::LeftButton);
    EXPECT_EQ(g_bMasterOn.load(), 1);
    EXPECT_EQ(dlg->MuteButton()->GetCheck(), 0);
    EXPECT_EQ(sync.block5, (std::vector<int>{1, 1}));

    g_bMasterOn.store(0);
    dlg->SetGain(99);  // clamped quietly
    EXPECT_EQ(dlg->MuteButton()->GetCheck(), 1);
    EXPECT_EQ(dlg->Fader()->GetInvertedPos(), 66);
    EXPECT_TRUE(page.Of(WM_GAINDLG_CHANGED).empty()) << "the page's refresh posts nothing";
}

TEST_F(Master, DropDownPickPostsTheUnit)
{
    for (const char *unit : {"ms", "cm", "inch"})
        dlg->AddDropDownString(QString::fromLatin1(unit));
    dlg->SetDropDownSel(2);
    SendMessageTo(dlg, WM_COMBOXBTN_SELECT, CGainDlg::IDC_DROPDOWN, 2);
    WaitUntil([&] { return !page.Of(WM_GAINDLG_SELECT).empty(); }, 1000);
    EXPECT_EQ(page.Of(WM_GAINDLG_SELECT), (std::vector<RecordedMessage>{{WM_GAINDLG_SELECT, CGainDlg::IDD, 3}}));
}

TEST(OverlaySelector, TogglesFillTheTableAndRedrawOnlyForOtherOutputs)
{
    ResetDeviceImageGlobals();
    for (auto &f : g_CurveOverlayFlags)
        f.store(0);
    RecordingPage page;
    CChangnal_Line sel(&page);
    int refreshes = 0;
    sel.SetPageRefresh([&] { ++refreshes; });
    page.show();
    g_nSelOutput.store(2);

    QTest::mouseClick(sel.Toggle(5), Qt::LeftButton);
    EXPECT_EQ(g_CurveOverlayFlags[5].load(), 1);
    EXPECT_EQ(sel.Toggle(5)->GetCheck(), 1);
    EXPECT_EQ(refreshes, 1);
    QTest::mouseClick(sel.Toggle(5), Qt::LeftButton);
    EXPECT_EQ(g_CurveOverlayFlags[5].load(), 0);
    EXPECT_EQ(refreshes, 2);

    // The shown output's toggle changes the table only.
    QTest::mouseClick(sel.Toggle(2), Qt::LeftButton);
    EXPECT_EQ(g_CurveOverlayFlags[2].load(), 1);
    EXPECT_EQ(refreshes, 2);

    // The two entries past the outputs cannot be clicked.
    for (int i : {8, 9}) {
        EXPECT_FALSE(sel.Toggle(i)->isVisible());
        EXPECT_FALSE(sel.Toggle(i)->isEnabled());
        QTest::mouseClick(sel.Toggle(i), Qt::LeftButton);
        EXPECT_EQ(g_CurveOverlayFlags[static_cast<std::size_t>(i)].load(), 0);
    }
    for (auto &f : g_CurveOverlayFlags)
        f.store(0);
    ResetDeviceImageGlobals();
}

}  // namespace
