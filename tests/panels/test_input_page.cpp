// The input page driven as a user drives it: the input, AUX mode, Hi.Level and main-source
// choices against the input block and the frames they queue, and the input equaliser's band
// edits, toggles, all-bypass, reset, PEQ/GEQ switch and key walk against the music input's record.
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/CtrlMessages.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "model/DataDefine.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/ModeItemTable.h"
#include "model/Music_InData.h"
#include "panels/input/InMode_Dlg.h"
#include "panels/input/InPutDlg.h"
#include "panels/input/InputChoice.h"
#include "panels/input/InputConnectors.h"
#include "panels/input/InputMessages.h"
#include "panels/output/CFStatic.h"
#include "platform/GlobalData.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"
#include "services/PageRegistry.h"
#include "services/Services.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

namespace {

// Every queued system command with the input block as it stood when it was queued.
struct RecordingSync : CQuietDeviceSync {
    struct Queued {
        int command;
        std::array<std::uint8_t, 8> block2;
    };
    std::vector<Queued> queued;
    void QueueDeviceCommand(int command, int) override { queued.push_back({command, ReadSysBlock(g_SysBlock2)}); }
    std::vector<int> Commands() const
    {
        std::vector<int> c;
        for (const auto &q : queued)
            c.push_back(q.command);
        return c;
    }
};

// Resets the input's bands as the view's service does, and records the call.
struct ResettingSends : CRecordingChannelSends {
    CKTV_Data *doc = nullptr;
    void ResetInputEq(int input) override
    {
        CRecordingChannelSends::ResetInputEq(input);
        doc->GetMusicIn(input)->ResetEqBands();
    }
};

struct ScriptedBoxes : IMessageBoxService {
    std::deque<int> answers;
    std::vector<std::string> asked;
    int ShowMessage(const std::string &text, unsigned, int) override
    {
        asked.push_back(text);
        const int a = answers.empty() ? IDNO : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
};

// The connector picture as the page sees it.
struct FakeConnectors : IInputConnectors {
    std::vector<std::string> calls;
    void ShowAuxButtons() override { calls.push_back("aux " + std::to_string(g_nInputGroup.load())); }
    void CheckSelectedInput() override { calls.push_back("check " + std::to_string(g_nSelInput.load())); }
    void ShowPhoneButton(bool show) override { calls.push_back(show ? "phone on" : "phone off"); }
    void ShowSpdifButton(bool show) override { calls.push_back(show ? "spdif on" : "spdif off"); }
    void RedrawButtons() override { calls.push_back("redraw"); }
};

struct InputPage : ::testing::Test {
    CKTV_Data doc;
    ResettingSends sends;
    RecordingSync sync;
    ScriptedBoxes boxes;
    std::unique_ptr<CInPutDlg> page;

    InputPage()
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        g_ModeItemTable.Init();
        g_nSelInput = 0;
        g_nInputGroup = 0;
        g_bChinese = 0;
        g_bDeviceOnline = 1;
        sends.doc = &doc;
        Make();
    }
    ~InputPage() override
    {
        page.reset();
        g_bDeviceOnline = 0;
        ResetDeviceImageGlobals();
        g_ModeItemTable.Init();
    }
    void Make()
    {
        page = std::make_unique<CInPutDlg>(sends, sync, boxes);
        page->SetKTVData(&doc);
        page->ShowSelectedInput();
        page->show();
        page->activateWindow();
        EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == page.get(); }, 3000));
    }
    CMusic_InData &In(int n) { return *doc.GetMusicIn(n); }
    CFilter &Band(int n, int i) { return *In(n).GetBand(i); }
    void Click(QAbstractButton *b)
    {
        QTest::mouseClick(b, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
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
    std::vector<int> Checked() const
    {
        std::vector<int> c;
        for (int n = 0; n < CInPutDlg::kInputs; ++n)
            if (page->InputButton(n)->GetCheck())
                c.push_back(n);
        return c;
    }
};

}  // namespace

// ---- the input choices -----------------------------------------------------------------------------

TEST_F(InputPage, AnInputButtonWritesTheInputBlockAndMovesTheCheck)
{
    EXPECT_EQ(Checked(), std::vector<int>{0});
    Click(page->InputButton(3));
    EXPECT_EQ(g_nSelInput.load(), 3);
    EXPECT_EQ(g_nInputSource.load(), 3);
    ASSERT_EQ(sync.Commands(), std::vector<int>{SYS_INPUT});
    EXPECT_EQ(sync.queued[0].block2[0], 3) << "the frame carries the new input";
    EXPECT_EQ(Checked(), std::vector<int>{3}) << "the posted refresh unchecks the previous input";
    EXPECT_EQ(page->Graph()->GetMode(), CCFStatic::kModeMusic);

    // The input already selected queues nothing.
    sync.queued.clear();
    Click(page->InputButton(3));
    EXPECT_TRUE(sync.queued.empty());
    EXPECT_EQ(Checked(), std::vector<int>{3});
}

TEST_F(InputPage, PickingAnInputLeavesTheAlternateModeWithAVolumeWriteFirst)
{
    g_bAltInputMode = 1;
    Click(page->InputButton(0));  // the input already selected
    EXPECT_EQ(g_bAltInputMode.load(), 0);
    EXPECT_EQ(sync.Commands(), std::vector<int>{SYS_VOLUME});

    g_bAltInputMode = 1;
    sync.queued.clear();
    Click(page->InputButton(2));
    EXPECT_EQ(sync.Commands(), (std::vector<int>{SYS_VOLUME, SYS_INPUT}));
    EXPECT_TRUE(page->EqModeButton()->isEnabled());
}

TEST_F(InputPage, TheAlternateModeLocksTheEqualiserUntilAnInputIsPicked)
{
    g_bAltInputMode = 1;
    Post(WM_INPUT_REFRESH, 1, 99);  // an input above 6 only applies the flag
    EXPECT_FALSE(page->EqModeButton()->isEnabled());
    EXPECT_FALSE(page->GainEdit(0)->isEnabled());
    EXPECT_FALSE(page->WorkButton(3)->isEnabled());
    EXPECT_EQ(g_nSelInput.load(), 0);
    Click(page->AuxModeButton(0));  // the mode in force: only the refresh, and the mode is left
    EXPECT_EQ(g_bAltInputMode.load(), 0);
    EXPECT_TRUE(page->GainEdit(0)->isEnabled());
    EXPECT_EQ(sync.Commands(), std::vector<int>{SYS_VOLUME});
}

TEST_F(InputPage, AConnectorPickQueuesTheInputBlockEvenForTheSelectedInput)
{
    FakeConnectors connectors;
    auto *picture = new QWidget;
    picture->resize(860, 175);
    page->AttachConnectorPicture(picture, &connectors);
    EXPECT_EQ(picture->pos(), QPoint(221, 462));
    PostMessageTo(page.get(), WM_INMODE_SELECT, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(sync.Commands(), std::vector<int>{SYS_INPUT});
    PostMessageTo(page.get(), WM_INMODE_SELECT, 0, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(sync.Commands(), (std::vector<int>{SYS_INPUT, SYS_INPUT}));
    EXPECT_EQ(g_nSelInput.load(), 4);
    EXPECT_EQ(connectors.calls.back().substr(0, 5), "check");
    EXPECT_EQ(Checked(), std::vector<int>{4});
}

TEST_F(InputPage, ThePagesOwnConnectorPictureSelectsInputsAndFollowsTheAuxMode)
{
    auto *picture = qobject_cast<CInMode_Dlg *>(page->ConnectorPicture());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pos(), QPoint(CInPutDlg::kConnectorX, CInPutDlg::kConnectorY));
    picture->OnConnectorButton(2707);  // AUX2 of mode 0
    QCoreApplication::processEvents();
    EXPECT_EQ(g_nSelInput.load(), 4);
    EXPECT_EQ(sync.Commands(), std::vector<int>{SYS_INPUT});
    EXPECT_EQ(Checked(), std::vector<int>{4});
    Click(page->AuxModeButton(2));
    EXPECT_FALSE(picture->Button(2707)->isVisible());
    EXPECT_TRUE(picture->Button(2713)->isVisible());
    EXPECT_NE(picture->Button(2713)->GetCheck(), 0) << "the six-channel AUX1 holds the selection";
}

TEST_F(InputPage, AnAuxModeMovesAnInputItLacksToAux1InOneFrame)
{
    const struct {
        int mode, selected, input;
        std::vector<int> hidden;
    } cases[] = {
        {2, 5, 3, {4, 5}},  // AUX3 in the six-channel mode becomes AUX1
        {1, 4, 4, {5}},     // AUX2 stays in mode 1
        {1, 5, 3, {5}},
        {2, 1, 1, {4, 5}},  // inputs outside AUX stay
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from input " << c.selected);
        g_nInputGroup = 0;
        g_nInputGroupByte = 0;
        g_nSelInput = c.selected;
        page.reset();
        Make();
        sync.queued.clear();
        Click(page->AuxModeButton(c.mode));
        EXPECT_EQ(g_nSelInput.load(), c.input);
        EXPECT_EQ(g_nInputGroup.load(), c.mode);
        ASSERT_EQ(sync.Commands(), std::vector<int>{SYS_INPUT});
        EXPECT_EQ(sync.queued[0].block2[0], c.input);
        EXPECT_EQ(sync.queued[0].block2[1], c.mode);
        for (int n = 0; n < CInPutDlg::kInputs; ++n)
            EXPECT_EQ(page->InputButton(n)->isVisible(),
                      std::find(c.hidden.begin(), c.hidden.end(), n) == c.hidden.end())
                << "input " << n;
        EXPECT_EQ(page->AuxModeButton(c.mode)->GetCheck(), 1);
    }
    // Back to mode 0: every input button again, the input kept.
    Click(page->AuxModeButton(0));
    EXPECT_EQ(g_nSelInput.load(), 1);
    for (int n = 0; n < CInPutDlg::kInputs; ++n)
        EXPECT_TRUE(page->InputButton(n)->isVisible());
}

TEST(InputChoice, AuxModeRemapAndLayouts)
{
    // Mode 0 never changes the input; none (6) becomes AUX1 where a mode lacks inputs.
    for (int n = 0; n <= 6; ++n)
        EXPECT_EQ(inchoice::InputAfterAuxMode(0, n), n);
    EXPECT_EQ(inchoice::InputAfterAuxMode(1, 6), 3);
    EXPECT_EQ(inchoice::InputAfterAuxMode(2, 6), 3);
    EXPECT_EQ(inchoice::InputAfterAuxMode(2, 4), 3);
    EXPECT_EQ(inchoice::InputAfterAuxMode(2, 2), 2);
    EXPECT_EQ(inchoice::PlanLayout(0).slot, (std::array<int, 6>{-1, 0, -1, 1, 2, 3}));
    EXPECT_EQ(inchoice::PlanLayout(1).slot, (std::array<int, 6>{-1, 0, 1, 2, 3, 4}));
    EXPECT_EQ(inchoice::PlanLayout(2).slot, (std::array<int, 6>{0, 1, -1, 2, 3, 4}));
    EXPECT_TRUE(inchoice::PlanLayout(3).keep);
    EXPECT_TRUE(inchoice::PlanLayout(9).keep);
}

TEST_F(InputPage, SelectionsFromOtherWindowsSendNothingAndRefuseCodesTheBlockCannotHold)
{
    Post(WM_INPUT_SELECT, 0, 5);
    EXPECT_EQ(g_nSelInput.load(), 5);
    EXPECT_EQ(g_nInputSource.load(), 5);
    EXPECT_EQ(Checked(), std::vector<int>{5});
    Post(WM_INPUT_SELECT, 0, 40);
    EXPECT_EQ(g_nInputSource.load(), 5) << "no such input";
    EXPECT_TRUE(sync.queued.empty());

    page->SetInputAndGroup(2, 5);  // mode 2 has no AUX3
    EXPECT_EQ(g_nInputGroup.load(), 0);
    EXPECT_TRUE(sync.queued.empty());
    page->SetInputAndGroup(1, 4);
    EXPECT_EQ(g_nInputGroup.load(), 1);
    ASSERT_EQ(sync.Commands(), std::vector<int>{SYS_INPUT});
    EXPECT_EQ(sync.queued[0].block2[0], 4);
    EXPECT_EQ(sync.queued[0].block2[1], 1);
    EXPECT_FALSE(page->InputButton(5)->isVisible());
}

TEST_F(InputPage, ALanguageChangeSwapsEveryLanguageImage)
{
    Click(page->InputButton(3));
    g_bChinese = 1;
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(page.get(), &change);
    EXPECT_EQ(page->SourceButton()->CurrentBitmap(), 3100 + kModeSourceOff);
    EXPECT_EQ(page->InputButton(3)->CurrentBitmap(), 8153) << "the checked Chinese AUX1";
    EXPECT_EQ(page->TitlePicture()->CurrentBitmap(), 459 + 3);
    EXPECT_EQ(page->EqModeButton()->CurrentBitmap(), 744);
    g_bChinese = 0;
}

TEST_F(InputPage, LayoutZeroHidesSpdifAndPhoneAndKeepsTheSelection)
{
    g_nInputLayout = 0;
    page.reset();
    Make();
    EXPECT_FALSE(page->InputButton(0)->isVisible());
    EXPECT_FALSE(page->InputButton(2)->isVisible());
    EXPECT_EQ(page->InputButton(1)->pos(), CInPutDlg::InputSlot(0).topLeft());
    EXPECT_EQ(page->InputButton(5)->pos(), CInPutDlg::InputSlot(3).topLeft());
    EXPECT_EQ(g_nSelInput.load(), 0);
    EXPECT_EQ(page->InputButton(0)->GetCheck(), 1) << "the hidden S/PDIF input stays selected";
}

TEST_F(InputPage, HiLevelModeAndMainSource)
{
    Click(page->HiLevelButton(1));
    EXPECT_EQ(g_nInputOption.load(), 1);
    EXPECT_EQ(page->HiLevelButton(1)->GetCheck(), 1);
    EXPECT_EQ(page->HiLevelButton(0)->GetCheck(), 0);
    ASSERT_EQ(sync.Commands(), std::vector<int>{SYS_INPUT});
    EXPECT_EQ(sync.queued[0].block2[3], 1);
    Click(page->HiLevelButton(1));  // already two-way
    EXPECT_EQ(sync.queued.size(), 1u);

    // S/PDIF selected in AUX mode 0: the menu grays S/PDIF alone.
    page->OnMixerButton();
    const QList<QAction *> items = page->SourceMenu()->actions();
    ASSERT_EQ(items.size(), 7);
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(items[k]->isEnabled(), k != 0) << "item " << k;
    page->SourceMenu()->hide();
    items[1]->trigger();  // Hi.Level
    EXPECT_EQ(g_ModeItemTable.mainSource, 1);
    EXPECT_EQ(sync.queued.size(), 2u);
    EXPECT_EQ(page->SourceButton()->CurrentBitmap(), 3121);

    // Hi.Level chosen as the input: the main source Hi.Level is not offered there and turns OFF.
    Click(page->InputButton(1));
    EXPECT_EQ(g_ModeItemTable.mainSource, kModeSourceOff);
    EXPECT_EQ(page->SourceButton()->CurrentBitmap(), 3126);
}

// ---- the input equaliser -----------------------------------------------------------------------

TEST_F(InputPage, BandEditsReachTheSelectedInputAndAreMarkedForSending)
{
    Click(page->InputButton(3));
    Type(page->GainEdit(4), "6");
    EXPECT_EQ(Band(3, 4).GetGainCode(), 260);
    EXPECT_NE(Band(3, 4).GetChanged(), 0) << "marked for the worker";
    EXPECT_EQ(Band(0, 4).GetGainCode(), 200) << "another input keeps its band";
    EXPECT_EQ(page->BandSlider(4)->GetInvertedPos(), 260);
    EXPECT_EQ(page->HighlightedEdit(), page->GainEdit(4));
    EXPECT_EQ(page->WorkButton(4)->GetCheck(), 0);

    Type(page->FreqEdit(2), "1000");
    EXPECT_EQ(Band(3, 2).GetFreq(), 1000);
    const int q = Band(3, 2).GetBandwidthIndex();
    Type(page->QEdit(2), "8.0");
    EXPECT_NE(Band(3, 2).GetBandwidthIndex(), q);

    // The slider: a gain of 0 dB makes the band neutral and checks its toggle.
    page->BandSlider(4)->SetInvertedPos(200);
    Post(WM_SLIDER_POS_CHANGED, CInPutDlg::IDC_BAND_SLIDER + 4, 0);
    EXPECT_EQ(Band(3, 4).GetGainCode(), 200);
    EXPECT_EQ(page->WorkButton(4)->GetCheck(), 1);
}

TEST_F(InputPage, BandTogglesShowZeroAndBringTheGainBack)
{
    Band(0, 5).SetGainCode(250);
    page->RefreshInput();
    Click(page->WorkButton(5));
    EXPECT_EQ(page->WorkButton(5)->GetCheck(), 1);
    EXPECT_EQ(page->GainEdit(5)->text(), QStringLiteral("0.0"));
    EXPECT_EQ(page->BandSlider(5)->GetInvertedPos(), 200);
    EXPECT_DOUBLE_EQ(Band(0, 5).GetGain(), 5.0) << "the record keeps its gain";
    Click(page->WorkButton(5));
    EXPECT_EQ(page->WorkButton(5)->GetCheck(), 0);
    EXPECT_EQ(page->GainSpin(5)->GetPos(), 250);

    // A band at exactly 0 dB is neutral: its toggle stays checked.
    Click(page->WorkButton(6));
    EXPECT_EQ(page->WorkButton(6)->GetCheck(), 1);
}

TEST_F(InputPage, BypassAllAsksAndRestoresOnNo)
{
    Band(0, 1).SetGainCode(260);
    Band(0, 2).SetGainCode(240);
    Band(0, 2).SetZero(1);  // switched off by its own toggle
    page->RefreshInput();
    ASSERT_EQ(page->AllBypassButton()->GetCheck(), 0);

    boxes.answers = {IDNO};
    Click(page->AllBypassButton());
    EXPECT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 0);
    EXPECT_FALSE(In(0).IsAllBypassed()) << "No puts every band back";
    EXPECT_NE(Band(0, 2).IsNeutral(), 0) << "the band switched off on its own stays off";
    EXPECT_TRUE(sends.calls.empty());

    boxes.answers = {IDYES};
    Click(page->AllBypassButton());
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 1);
    EXPECT_TRUE(In(0).IsAllBypassed());
    EXPECT_EQ(page->WorkButton(1)->GetCheck(), 1);
    EXPECT_EQ(sends.calls, std::vector<std::string>{"input 0"});

    boxes.answers = {IDYES};
    Click(page->AllBypassButton());
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 0);
    EXPECT_EQ(page->GainSpin(1)->GetPos(), 260);
    EXPECT_EQ(page->WorkButton(2)->GetCheck(), 1);
    EXPECT_EQ(page->GainSpin(2)->GetPos(), 200);
}

TEST_F(InputPage, ReleasingBypassAllOfAFlatEqualiserIsRefusedSilently)
{
    ASSERT_TRUE(In(0).IsAllBypassed());  // every band at 0 dB
    page->RefreshInput();
    ASSERT_EQ(page->AllBypassButton()->GetCheck(), 1);
    Click(page->AllBypassButton());
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(page->AllBypassButton()->GetCheck(), 1);
    EXPECT_TRUE(sends.calls.empty());
}

TEST_F(InputPage, PeqToGeqAskedYesResetsTheBandsToTheGeqCentres)
{
    Band(0, 3).SetFreq(777, 1);
    Band(0, 3).SetGainCode(300);
    page->RefreshInput();

    boxes.answers = {IDNO};
    Click(page->EqModeButton());
    EXPECT_EQ(In(0).GetEqMode(), 0);
    EXPECT_TRUE(page->FreqEdit(0)->isVisible());
    EXPECT_EQ(Band(0, 3).GetFreq(), 777);

    boxes.answers = {IDYES};
    Click(page->EqModeButton());
    EXPECT_EQ(In(0).GetEqMode(), 1);
    EXPECT_EQ(page->EqModeButton()->GetCheck(), 1);
    EXPECT_FALSE(page->FreqEdit(0)->isVisible());
    EXPECT_FALSE(page->QEdit(14)->isVisible());
    EXPECT_TRUE(page->GeqLabel()->isVisible());
    EXPECT_EQ(page->GainEdit(3)->pos(), page->FreqEdit(3)->pos());
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(Band(0, i).GetFreq(), g_GeqFreq15[i]) << "band " << i;
        EXPECT_EQ(Band(0, i).GetGainCode(), 200);
    }
    EXPECT_EQ(sends.calls, std::vector<std::string>{"reset-input 0"});

    boxes.answers = {IDYES};
    Click(page->ResetButton());
    EXPECT_EQ(sends.calls.back(), "reset-input 0");
    boxes.answers = {IDNO};
    Click(page->ResetButton());
    EXPECT_EQ(sends.calls.size(), 2u);
}

TEST_F(InputPage, ArrowKeysWalkTheVisibleFieldsInACycle)
{
    const struct {
        bool geq;
        int from, key, to;
    } cases[] = {
        {false, CInPutDlg::IDC_BAND_FREQ, 37, CInPutDlg::IDC_BAND_GAIN + 14},
        {false, CInPutDlg::IDC_BAND_GAIN + 14, 39, CInPutDlg::IDC_BAND_FREQ},
        {false, CInPutDlg::IDC_BAND_FREQ + 14, 39, CInPutDlg::IDC_BAND_Q},
        {true, CInPutDlg::IDC_BAND_GAIN + 14, 39, CInPutDlg::IDC_BAND_GAIN},
        {true, CInPutDlg::IDC_BAND_GAIN, 37, CInPutDlg::IDC_BAND_GAIN + 14},
    };
    for (const auto &c : cases) {
        In(0).SetEqMode(c.geq ? 1 : 0);
        page->RefreshInput();
        page->OnNumEditKey(c.from, c.key);
        QCoreApplication::processEvents();
        EXPECT_EQ(GetCtrlId(QApplication::focusWidget()), c.to) << c.from << " key " << c.key;
        const int band = (c.to - CInPutDlg::IDC_BAND_FREQ) % 50;
        EXPECT_EQ(page->HighlightedLabel(), page->BandLabel(band));
    }
    // Enter in PEQ walks down the column, then to the next band's frequency.
    In(0).SetEqMode(0);
    page->RefreshInput();
    page->OnNumEditEnter(CInPutDlg::IDC_BAND_GAIN + 14);
    EXPECT_EQ(GetCtrlId(QApplication::focusWidget()), CInPutDlg::IDC_BAND_FREQ);
    page->OnNumEditEnter(CInPutDlg::IDC_BAND_FREQ + 3);
    EXPECT_EQ(GetCtrlId(QApplication::focusWidget()), CInPutDlg::IDC_BAND_Q + 3);
}

TEST_F(InputPage, TheGraphReportsABandOfTheShownInputOnly)
{
    Band(0, 7).SetGainCode(150);
    Post(WM_CURVE_BAND_CHANGED, 7, 2);  // another input: nothing
    EXPECT_EQ(page->GainSpin(7)->GetPos(), 200);
    Post(WM_CURVE_BAND_CHANGED, 7, 0);
    EXPECT_EQ(page->GainSpin(7)->GetPos(), 150);
    EXPECT_EQ(page->HighlightedLabel(), page->BandLabel(7));
    EXPECT_EQ(page->HighlightedEdit(), page->GainEdit(7));
}

TEST_F(InputPage, TheGlobalPageNamesOnlyALivePage)
{
    EXPECT_EQ(g_pInputPage, page.get());
    EXPECT_EQ(g_pInputRefreshWnd.data(), page.get());
    // The level page's call revalidates the main source.
    g_ModeItemTable.mainSource = 0;
    g_nSelInput = 0;
    g_pInputPage->ApplyInputSelection();
    EXPECT_EQ(g_ModeItemTable.mainSource, kModeSourceOff);
    page.reset();
    EXPECT_EQ(g_pInputPage, nullptr);
    EXPECT_TRUE(g_pInputRefreshWnd.isNull());
}
