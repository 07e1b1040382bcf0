// The output page's equaliser, channel and link handlers driven as a user drives them (typing,
// clicking, the strips' and graph's messages), with recording fakes of the services.
#include "services/PageRegistry.h"
#include "services/Services.h"
#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/DELAC.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/LinkGroups.h"
#include "model/OutputRoute.h"
#include "panels/output/CFStatic.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputDlg.h"
#include "panels/output/GainDlg.h"
#include "controls/BitButton.h"
#include "platform/GlobalData.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using RecordingSends = CRecordingChannelSends;

struct RecordingSync : CQuietDeviceSync {
    int block5 = 0;
    void SetPendingBlock5(int flag) override { block5 += flag; }
};

// Answers Yes or No as scripted (No when nothing is scripted) and keeps the questions.
struct ScriptedBoxes : IMessageBoxService {
    std::deque<int> answers;
    std::vector<std::string> asked;
    int ShowMessage(const std::string &text, unsigned, int) override
    {
        asked.push_back(text);
        if (answers.empty())
            return IDNO;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct PageEdits : ::testing::Test {
    CKTV_Data doc;
    RecordingSends sends;
    RecordingSync sync;
    ScriptedBoxes boxes;
    CPageRegistry pages;
    std::unique_ptr<COutputDlg> page;

    PageEdits()
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        doc.InitLinkTable();
        g_bChinese = 0;
        page = std::make_unique<COutputDlg>(sends, sync, boxes, pages);
        page->SetKTVData(&doc);
        page->LoadChannelRecords();
        page->show();
        page->activateWindow();
        (void)QTest::qWaitForWindowActive(page.get());
    }
    ~PageEdits() override
    {
        page.reset();
        ResetDeviceImageGlobals();
    }
    CKTV_OutData &Out(int c) { return *doc.GetOut(c); }
    CFilter &Band(int c, int i) { return *Out(c).GetBand(i); }
    // Types text into an edit and commits it with Enter, which walks the focus on.
    static void Type(CNumEdit *edit, const QString &text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void Post(unsigned msg, WPARAM w, LPARAM l)
    {
        page->Messages()->PostMessage(msg, w, l);
        QCoreApplication::processEvents();
    }
};

}  // namespace

TEST_F(PageEdits, TypingABandGainReachesTheLinkGroupAndMarksTheOutput)
{
    g_LinkGroups[0] = g_LinkGroups[3] = 2;
    Type(page->GainEdit(4), "6");
    EXPECT_EQ(Band(0, 4).GetGainCode(), 260);
    EXPECT_EQ(Band(3, 4).GetGainCode(), 260) << "the linked output follows";
    EXPECT_EQ(Band(1, 4).GetGainCode(), 200);
    EXPECT_EQ(page->BandSlider(4)->GetInvertedPos(), 260);
    EXPECT_EQ(g_ChannelModified[0].load(), 1);
    EXPECT_EQ(page->HighlightedEdit(), page->GainEdit(4));

    // The same value again changes nothing on the band, but the output counts as edited.
    g_ChannelModified[0] = 0;
    Band(0, 4).StepSendFreq(0);
    const int changed = Band(0, 4).GetChanged();
    Type(page->GainEdit(4), "6");
    EXPECT_EQ(Band(0, 4).GetChanged(), changed);
    EXPECT_EQ(g_ChannelModified[0].load(), 1);

    Type(page->FreqEdit(4), "1234");
    EXPECT_EQ(Band(0, 4).GetFreq(), 1234);
    EXPECT_EQ(Band(3, 4).GetFreq(), 1234);
}

TEST_F(PageEdits, TheBypassButtonShowsZeroAndBringsTheStoredGainBack)
{
    Type(page->GainEdit(2), "-3");
    ASSERT_EQ(Band(0, 2).GetGainCode(), 170);
    QTest::mouseClick(page->BypassButton(2), Qt::LeftButton);
    EXPECT_EQ(Band(0, 2).IsNeutral(), 1);
    EXPECT_EQ(page->BypassButton(2)->GetCheck(), 1);
    EXPECT_EQ(page->GainSpin(2)->GetPos(), 200);
    QTest::mouseClick(page->BypassButton(2), Qt::LeftButton);
    EXPECT_EQ(Band(0, 2).IsNeutral(), 0);
    EXPECT_EQ(page->GainSpin(2)->GetPos(), 170);
    EXPECT_EQ(page->BandSlider(2)->GetInvertedPos(), 170);

    // A band at exactly 0 dB stays neutral: the button stays checked.
    QTest::mouseClick(page->BypassButton(9), Qt::LeftButton);
    QTest::mouseClick(page->BypassButton(9), Qt::LeftButton);
    EXPECT_EQ(page->BypassButton(9)->GetCheck(), 1);
}

TEST_F(PageEdits, AllBypassAsksFirstAndNoLeavesEverythingAsItWas)
{
    Type(page->GainEdit(0), "4");
    QTest::mouseClick(page->BypassButton(5), Qt::LeftButton);  // band 5 bypassed on its own
    Type(page->GainEdit(5), "2");
    sends.calls.clear();

    QTest::mouseClick(page->AllBypassButton(), Qt::LeftButton);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0], "Whether ByPass All EQ?");
    EXPECT_EQ(Band(0, 0).IsNeutral(), 0) << "No changes nothing";
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 0);
    EXPECT_TRUE(sends.calls.empty());

    boxes.answers = {IDYES};
    QTest::mouseClick(page->AllBypassButton(), Qt::LeftButton);
    EXPECT_EQ(Band(0, 0).IsNeutral(), 1);
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 1);
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"state 0", "channel 0"}));

    boxes.answers = {IDYES};
    QTest::mouseClick(page->AllBypassButton(), Qt::LeftButton);
    EXPECT_EQ(boxes.asked.back(), "Whether Restore All EQ?");
    EXPECT_EQ(Band(0, 0).GetGainCode(), 240);
    EXPECT_EQ(page->GainSpin(0)->GetPos(), 240);
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 0);

    // An output whose bands are all neutral: the button stays checked without a question.
    g_nSelOutput = 6;
    page->RefreshChannel();
    boxes.answers = {IDYES};
    QTest::mouseClick(page->AllBypassButton(), Qt::LeftButton);
    const std::size_t asked = boxes.asked.size();
    QTest::mouseClick(page->AllBypassButton(), Qt::LeftButton);
    EXPECT_EQ(boxes.asked.size(), asked);
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 1);
}

TEST_F(PageEdits, ModeSwitchAndResetAskThenResetTheGroup)
{
    QTest::mouseClick(page->EqModeButton(), Qt::LeftButton);
    EXPECT_EQ(boxes.asked.back(), "Whether the PEQ Mode convert to GEQ Mode?");
    EXPECT_EQ(Out(0).GetEqMode(), 0);
    EXPECT_TRUE(sends.calls.empty());

    boxes.answers = {IDYES};
    QTest::mouseClick(page->EqModeButton(), Qt::LeftButton);
    EXPECT_EQ(Out(0).GetEqMode(), 1);
    EXPECT_EQ(page->EqModeButton()->GetCheck(), 1);
    EXPECT_FALSE(page->FreqEdit(0)->isEnabled());
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"reset 0"}));

    boxes.answers = {IDYES};
    QTest::mouseClick(page->ResetButton(), Qt::LeftButton);
    EXPECT_EQ(boxes.asked.back(), "Whether the reset All EQ?");
    EXPECT_EQ(sends.calls.size(), 2u);
    EXPECT_EQ(Out(0).GetEqMode(), 1) << "a reset keeps the mode";
}

TEST_F(PageEdits, AClickOnABandOfTheGraphCopiesItToTheGroupAndMarksTheOutput)
{
    g_LinkGroups[0] = g_LinkGroups[1] = 3;
    Band(1, 6).SetFreq(300, 1);
    Band(1, 6).SetBandwidthIndex(20);
    Band(1, 6).SetGainCode(150);
    // Raised above its neighbours, so that the pointer finds its marker alone.
    Band(0, 6).SetBandwidthIndex(120);
    Band(0, 6).SetGainCode(250);
    const int freq = Band(0, 6).GetFreq();
    g_ChannelModified[0] = 0;

    // Press and release without a move: nothing is dragged, the group still takes the band.
    CCFStatic *graph = page->Graph();
    const CRect r = Band(0, 6).GetMarkerRect();
    const QPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    QTest::mouseMove(graph, at);
    QTest::mousePress(graph, Qt::LeftButton, {}, at);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, at);
    ASSERT_EQ(graph->GetReleased(), 1);
    // The page clears the released flag when it handles the graph's report.
    ASSERT_TRUE(WaitUntil([&] { return graph->GetReleased() == 0; }, 5000));
    EXPECT_EQ(g_ChannelModified[0].load(), 1);
    EXPECT_EQ(Band(1, 6).GetFreq(), freq);
    EXPECT_EQ(Band(1, 6).GetBandwidthIndex(), 120);
    EXPECT_EQ(Band(1, 6).GetGainCode(), 250);
    EXPECT_EQ(Band(0, 6).GetGainCode(), 250) << "the click moved nothing";
    EXPECT_EQ(page->GainSpin(6)->GetPos(), 250);
    EXPECT_EQ(page->HighlightedEdit(), page->GainEdit(6));
    EXPECT_TRUE(WaitUntil([&] { return page->GainEdit(6)->hasFocus(); }, 5000));
    // Items that name no element are ignored.
    Post(WM_CURVE_BAND_CHANGED, 40, 0x300);
    Post(WM_CURVE_BAND_CHANGED, WPARAM(-1), 0x300);
}

TEST_F(PageEdits, StripMessagesChangeTheirOutputAndCheckTheIndex)
{
    g_BtlPair[2] = g_BtlPair[3] = 1;
    Post(WM_OUTSTRIP_MUTE, 2, 0);
    EXPECT_EQ(Out(2).GetOn(), 0);
    EXPECT_EQ(Out(3).GetOn(), 0) << "the bridged partner follows";
    Post(WM_OUTSTRIP_MUTE, 3, 1);
    EXPECT_EQ(Out(3).GetOn(), 1);
    EXPECT_EQ(Out(4).GetOn(), 1);

    Out(5).SetOn(0);
    Post(WM_OUTSTRIP_GAIN, 5, 300);
    EXPECT_EQ(Out(5).GetGain(), 300);
    EXPECT_EQ(Out(5).GetOn(), 1) << "a new gain sounds again";
    Post(WM_OUTSTRIP_DELAY, 6, 96);
    EXPECT_EQ(Out(6).GetDelay(), 96);
    Post(WM_OUTSTRIP_PHASE, 6, 1);
    EXPECT_EQ(Out(6).GetPolarity(), 1);

    Post(WM_OUTSTRIP_ROUTE3, 4, 1);
    EXPECT_EQ(g_OutRouteBits[4][0].load(), 1);
    Post(WM_OUTSTRIP_ROUTE4, 4, 1);
    EXPECT_EQ(g_OutRouteBits[4][4].load(), 1);

    // Indexes outside 0..7 from a message change nothing and crash nothing.
    for (unsigned msg : {WM_OUTSTRIP_MUTE, WM_OUTSTRIP_GAIN, WM_OUTSTRIP_PHASE, WM_OUTSTRIP_DELAY, WM_OUTSTRIP_ROUTE1,
                         WM_OUTSTRIP_PASTE, WM_LINKDLG_APPLY})
        for (WPARAM bad : {WPARAM(8), WPARAM(-1), WPARAM(1000)})
            Post(msg, bad, 1);
    EXPECT_TRUE(sends.calls.empty());
}

TEST_F(PageEdits, MasterVolumeComesFromTheMessage)
{
    g_bMasterOn = 0;
    Post(WM_GAINDLG_CHANGED, 2812, 30);
    EXPECT_EQ(static_cast<int>(g_nMasterVolume), 30);
    EXPECT_EQ(g_bMasterOn.load(), 1);
    EXPECT_EQ(sync.block5, 1);
    Post(WM_GAINDLG_CHANGED, 2812, 30);
    EXPECT_EQ(sync.block5, 1) << "an unchanged volume sends nothing";
}

TEST_F(PageEdits, LinkEditorApplyCopiesSilently)
{
    g_bDeviceOnline = 1;
    // The editor wrote the masks into the strips; the page takes them over as link values.
    page->Strip(1)->SetLinkMask(0b10010);
    page->Strip(4)->SetLinkMask(0b10010);
    Post(WM_LINKDLG_APPLY, 1, WPARAM(-1));
    EXPECT_EQ(g_LinkGroups[4].load(), 0b10010);
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"mute 18", "copy-all 1,4", "unmute 18"}));
}

TEST_F(PageEdits, StripsShowWhatAStripGainAndTheDelayUnitChanged)
{
    g_LinkGroups[1] = g_LinkGroups[6] = 4;
    Out(1).SetOn(0);
    page->Strip(1)->SetMute(0);
    Post(WM_OUTSTRIP_GAIN, 1, 450);
    EXPECT_EQ(page->Strip(1)->GetOn(), 1) << "the strip shows the output sounding again";
    EXPECT_EQ(page->Strip(6)->GetGain(), 450) << "the linked output's strip shows its new gain";
    EXPECT_NE(page->Strip(2)->GetGain(), 450);

    Post(WM_GAINDLG_SELECT, COutputDlg::IDC_DELAY_UNIT, 2);
    for (int i = 0; i < COutputDlg::kOutputs; ++i)
        EXPECT_EQ(page->Strip(i)->DelayEdit()->GetType(), 1) << i;
    Post(WM_GAINDLG_SELECT, COutputDlg::IDC_DELAY_UNIT, 9);
    EXPECT_EQ(page->Strip(0)->DelayEdit()->GetType(), 1) << "an unknown unit changes nothing";

    page->MasterStrip()->MuteButton()->SetCheck(1);
    Post(WM_GAINDLG_CHANGED, 2812, 12);
    EXPECT_EQ(page->MasterStrip()->MuteButton()->GetCheck(), 0);
}
