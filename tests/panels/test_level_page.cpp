// The level and delay page against the records: levels, switches, polarities and delay locks as
// tables, the meters from a status reply, the input choice and columns, the keyboard walk and the
// current-output mark.

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SLamp.h"
#include "model/DelayMath.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/ModeItemTable.h"
#include "model/Music_InData.h"
#include "model/SpeakerGroups.h"
#include "model/SpeakerType.h"
#include "panels/level/LevelDelayDlg.h"
#include "panels/level/LevelPageTables.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"
#include "tests/support/TestDoubles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace levelpage;

// Every call the page makes of the device sync, as text ("block5", "cmd 2").
class RecordingSync : public CQuietDeviceSync {
public:
    std::vector<std::string> calls;
    void QueueDeviceCommand(int command, int) override { calls.push_back("cmd " + std::to_string(command)); }
    void SetPendingBlock5(int flag) override { calls.push_back("block5 " + std::to_string(flag)); }
};

void ResetGlobals()
{
    for (auto &v : g_LinkGroups)
        v = 0;
    for (auto &v : g_MeterLevels)
        v = 0;
    ResetSpeakerTypeStates();
    RebuildSpeakerGroups();
    g_nMasterVolume = 60;
    g_bMasterOn = 1;
    g_bAltInputMode = 0;
    g_nSelInput = 0;
    g_nInputSource = 0;
    g_nInputLayout = 3;
    g_nInputGroup = 0;
    g_bDeviceOnline = 0;
}

// Output i gets speaker type types[i].
void SetTypes(std::initializer_list<int> types)
{
    ResetSpeakerTypeStates();
    int i = 0;
    for (int t : types)
        SetWorkingSpeakerType(i++, t);
    RebuildSpeakerGroups();
}

struct LevelPage : ::testing::Test {
    LevelPage()
    {
        ResetGlobals();
        SetTypes({1, 3, 7, 9, 19, 20, 22, 23});
        page.SetKTVData(&doc);
        page.RefreshAll();
        page.RefreshInputs();
        page.show();
        page.activateWindow();
        (void)QTest::qWaitForWindowActive(&page);
    }
    ~LevelPage() override
    {
        SetUiLanguage(false);
        ResetGlobals();
    }
    CKTV_OutData &Out(int i) { return *doc.GetOut(i); }
    template <class T> T *C(int id) { return page.Ctrl<T>(id); }
    // A control reports to the page as it does after a user's click or commit.
    void Command(int id) { SendMessageTo(&page, WM_COMMAND, WPARAM(id), 0); }
    void Fader(int id, int code, bool changed = true)
    {
        CBitmapSlider *f = C<CBitmapSlider>(id);
        f->SetInvertedPos(code);
        SendMessageTo(&page, changed ? WM_SLIDER_POS_CHANGED : WM_SLIDER_POS_CHANGING, WPARAM(id), LPARAM(f->GetPos()));
    }
    void SpinTo(int spinId, int value)
    {
        C<CNumSpin>(spinId)->SetPos(value);
        Command(spinId);
    }
    bool Checked(int id) { return C<CBitButton>(id)->GetCheck() != 0; }

    struct AppFirst {
        AppFirst() { QtTestApp(); }
    } appFirst;
    CKTV_Data doc;
    RecordingSync sync;
    CLevel_Delay_Dlg page{sync};
};

// ---- tables --------------------------------------------------------------------------------------

TEST(LevelPageTables, InputColumnsByLayoutAndAuxGroup)
{
    const struct {
        int layout;
        std::optional<std::array<int, 6>> places;
    } layouts[] = {
        {0, std::array<int, 6>{-1, 0, -1, 1, 2, 3}}, {1, std::array<int, 6>{-1, 0, 1, 2, 3, 4}},
        {2, std::array<int, 6>{0, 1, -1, 2, 3, 4}},  {3, std::array<int, 6>{0, 1, 2, 3, 4, 5}},
        {4, std::nullopt},                           {-1, std::nullopt},
    };
    for (const auto &c : layouts)
        EXPECT_EQ(InputColumnPlaces(c.layout), c.places) << "layout " << c.layout;
    EXPECT_EQ(AuxColumnsShown(0), (std::array<bool, 2>{true, true}));
    EXPECT_EQ(AuxColumnsShown(1), (std::array<bool, 2>{true, false}));
    EXPECT_EQ(AuxColumnsShown(2), (std::array<bool, 2>{false, false}));
    EXPECT_EQ(AuxColumnsShown(3), std::nullopt);
}

TEST(LevelPageTables, KeyboardOrderWrapsAndSkipsHiddenControls)
{
    const auto all = [](int) { return true; };
    const auto noDelays = [](int id) { return id < 6000 || id > 6014; };
    const struct {
        int from;
        bool next;
        bool delaysShown;
        int to;
    } cases[] = {
        {2568, true, true, 3000},  {3005, true, true, 6000},  {3005, true, false, 3030},
        {3037, true, true, 2568},  {2568, false, true, 3037}, {3030, false, false, 3005},
        {4242, true, true, 3000},  // an id outside the order counts as the first
    };
    for (const auto &c : cases) {
        const int to = c.next ? NavNext(c.from, c.delaysShown ? std::function<bool(int)>(all) : noDelays)
                              : NavPrevious(c.from, c.delaysShown ? std::function<bool(int)>(all) : noDelays);
        EXPECT_EQ(to, c.to) << c.from << (c.next ? " next" : " previous");
    }
}

// ---- levels, switches and meters ---------------------------------------------------------------

TEST_F(LevelPage, MasterEditFaderAndSwitchWriteBlockFive)
{
    // Master at 0 shows OFF; raising it to 1 while the master is off switches it on.
    SpinTo(IDC_MASTER_SPIN, 0);
    EXPECT_EQ(C<CNumEdit>(IDC_MASTER_EDIT)->text(), QStringLiteral("OFF"));
    Command(IDC_MASTER_SWITCH);
    EXPECT_EQ(g_bMasterOn.load(), 0);
    EXPECT_FALSE(Checked(IDC_MASTER_SWITCH));
    sync.calls.clear();
    SpinTo(IDC_MASTER_SPIN, 1);
    EXPECT_EQ(int(g_nMasterVolume), 1);
    EXPECT_EQ(g_bMasterOn.load(), 1);
    EXPECT_TRUE(Checked(IDC_MASTER_SWITCH));
    EXPECT_EQ(C<CBitmapSlider>(IDC_MASTER_FADER)->GetInvertedPos(), 1);
    EXPECT_EQ(sync.calls, std::vector<std::string>{"block5 1"});

    // The fader moves the edit; the same value again marks nothing.
    Fader(IDC_MASTER_FADER, 54);
    EXPECT_EQ(int(g_nMasterVolume), 54);
    EXPECT_EQ(C<CNumEdit>(IDC_MASTER_EDIT)->text(), QStringLiteral("-6dB"));
    sync.calls.clear();
    Fader(IDC_MASTER_FADER, 54);
    EXPECT_TRUE(sync.calls.empty());
}

TEST_F(LevelPage, InputLevelsReachTheirRecords)
{
    const struct {
        int input;
        bool byFader;
        int code;
    } cases[] = {{0, false, 0}, {2, true, 355}, {5, false, 600}, {3, true, 1}};
    for (const auto &c : cases) {
        if (c.byFader)
            Fader(IDC_INPUT_FADER + c.input, c.code);
        else
            SpinTo(IDC_INPUT_SPIN + c.input, c.code);
        EXPECT_EQ(doc.GetMusicIn(c.input)->GetGain(), c.code) << "input " << c.input;
        EXPECT_EQ(C<CBitmapSlider>(IDC_INPUT_FADER + c.input)->GetInvertedPos(), c.code);
        EXPECT_EQ(C<CNumSpin>(IDC_INPUT_SPIN + c.input)->GetPos(), c.code);
    }
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT)->text(), QStringLiteral("OFF"));
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 2)->text(), QStringLiteral("-24.5dB"));
}

TEST_F(LevelPage, OutputGainFollowsTheLinkGroupAndSwitchesTheOutputOn)
{
    g_LinkGroups[1] = 3;
    g_LinkGroups[3] = 3;
    Out(1).SetOn(0);
    page.RefreshAll();
    Fader(IDC_OUT_FADER + 1, 420);
    EXPECT_EQ(Out(1).GetGain(), 420);
    EXPECT_EQ(Out(1).GetOn(), 1);
    EXPECT_TRUE(Checked(IDC_OUT_ON + 1));
    // The record gave the gain to output 3, whose fader, edit and icon follow.
    EXPECT_EQ(Out(3).GetGain(), 420);
    EXPECT_EQ(C<CBitmapSlider>(IDC_OUT_FADER + 3)->GetInvertedPos(), 420);
    EXPECT_EQ(C<CNumEdit>(IDC_OUT_EDIT + 3)->text(), QStringLiteral("-18.0dB"));
    EXPECT_TRUE(page.IconOf(3)->GetCheck());
    EXPECT_EQ(page.MarkedOutput(), 1);
    EXPECT_EQ(QApplication::focusWidget(), C<CNumEdit>(IDC_OUT_EDIT + 1));

    // A fader moved to the value it has changes no record and marks nothing.
    g_bDeviceOnline = 1;
    Out(1).SetBasicStamp(0);
    Fader(IDC_OUT_FADER + 1, 420);
    EXPECT_EQ(Out(1).GetBasicChanged(), 0);
}

TEST_F(LevelPage, OnOffAndPolarityToggleTheirOutputOnly)
{
    g_LinkGroups[0] = 2;
    g_LinkGroups[2] = 2;
    page.RefreshAll();
    const struct {
        int id;
        int (CKTV_OutData::*get)() const;
        int after;
        int linkedAfter;  // output 2, linked to output 0
    } cases[] = {
        // The group keeps its on states and polarities (the record copies only gain and EQ mode),
        // and its buttons show what its records hold.
        {IDC_OUT_ON, &CKTV_OutData::GetOn, 0, 1},
        {IDC_OUT_ON, &CKTV_OutData::GetOn, 1, 1},
        {IDC_OUT_POLARITY, &CKTV_OutData::GetPolarity, 1, 0},
        {IDC_OUT_POLARITY, &CKTV_OutData::GetPolarity, 0, 0},
    };
    for (const auto &c : cases) {
        Command(c.id);
        EXPECT_EQ((Out(0).*c.get)(), c.after) << c.id;
        EXPECT_EQ(Checked(c.id), c.after != 0) << c.id;
        EXPECT_EQ((Out(2).*c.get)(), c.linkedAfter) << c.id;
        EXPECT_EQ(Checked(c.id + 2), c.linkedAfter != 0) << c.id;
        EXPECT_EQ(page.MarkedOutput(), 0);
    }
}

TEST_F(LevelPage, MetersShowTheStatusLevelsOfTypedOutputs)
{
    SetTypes({1, 0, 7, 9, 19, 20, 22, 23});
    page.RefreshAll();
    // Status reply bytes: inputs 0..5, outputs 6..13, input mode 14.
    const std::uint8_t reply[15] = {1, 2, 3, 4, 5, 6, 0x05, 0x09, 0x49, 0x0F, 0x70, 0, 3, 9, 1};
    StoreMeterLevelsReply(reply);
    page.UpdateMeters();
    const auto lit = [&](int i) {
        int n = 0;
        for (int s = 0; s < CSLamp::kSegments; ++s)
            n += page.Meter(i)->IsLit(s) ? 1 : 0;
        return n;
    };
    EXPECT_EQ(lit(0), 5);
    EXPECT_EQ(lit(2), 10);                   // nine bars and the first indicator
    EXPECT_TRUE(page.Meter(2)->IsLit(9));
    EXPECT_EQ(lit(3), 0);                    // 15 leaves the bars as they were
    EXPECT_EQ(lit(4), 3);                    // the three indicators alone
    // Output 1 has no speaker type: its meter stays hidden, its placeholder and label show.
    EXPECT_FALSE(page.Meter(1)->isVisibleTo(&page));
    EXPECT_FALSE(C<CBitmapSlider>(IDC_OUT_FADER + 1)->isVisibleTo(&page));
    EXPECT_TRUE(C<CBitButton>(IDC_PLACEHOLDER + 1)->isVisibleTo(&page));
    EXPECT_TRUE(C<CBitButton>(IDC_TYPE_LABEL + 1)->isVisibleTo(&page));
    EXPECT_FALSE(C<CBitButton>(IDC_PLACEHOLDER)->isVisibleTo(&page));
}

TEST_F(LevelPage, DeviceValuesOutsideTheRangesShowClampedWithoutAnErrorBox)
{
    // A step control set outside its range would show its error box; the page never does that.
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);
    g_nMasterVolume = 300;
    Out(0).SetDelay(2000);
    Out(1).SetGain(900);
    page.RefreshAll();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(C<CNumSpin>(IDC_MASTER_SPIN)->GetPos(), 66);
    EXPECT_EQ(C<CNumSpin>(6020)->GetPos(), 960);
    EXPECT_EQ(C<CNumSpin>(IDC_OUT_SPIN + 1)->GetPos(), 600);
}

// ---- speaker delays and locks ------------------------------------------------------------------

TEST_F(LevelPage, DelayPositionsFollowTheSpeakerTypes)
{
    SetTypes({0, 21, 1, 2, 5, 0, 0, 24});
    page.RefreshAll();
    EXPECT_EQ(page.DelayEditOf(0), nullptr);
    EXPECT_EQ(page.IconOf(0), nullptr);
    const struct {
        int output, edit, icon;
    } cases[] = {{1, 6007, 6054}, {2, 6000, 6040}, {7, 6014, 6063}};
    for (const auto &c : cases) {
        EXPECT_EQ(page.DelayEditOf(c.output), C<CNumEdit>(c.edit)) << c.output;
        EXPECT_TRUE(C<CNumEdit>(c.edit)->isVisibleTo(&page)) << c.output;
        EXPECT_TRUE(C<CBtnPng>(c.icon)->isVisibleTo(&page)) << c.output;
        EXPECT_EQ(C<CNumSpin>(c.edit + 20)->GetTag(), c.output);
    }
    EXPECT_FALSE(C<CBtnPng>(6053)->isVisibleTo(&page));
    // Types 2 and 5 share edit 6001: the later output owns its step control.
    EXPECT_EQ(C<CNumSpin>(6021)->GetTag(), 4);
    EXPECT_FALSE(C<CNumEdit>(6002)->isVisibleTo(&page));

    // A typed delay reaches the output the step control names.
    C<CNumSpin>(6020)->SetPos(240);
    Command(6000);
    EXPECT_EQ(Out(2).GetDelay(), 240);
    EXPECT_EQ(page.MarkedOutput(), 2);
}

TEST_F(LevelPage, LockedFrontLeftDelaysStepTogetherInTheUnitInForce)
{
    // Outputs 0 and 1 are the front left tweeter and woofer: toggle 6802.
    EXPECT_TRUE(C<CBtnPng>(6802)->isVisibleTo(&page));
    for (int id : {6800, 6801, 6803})
        EXPECT_FALSE(C<CBtnPng>(id)->isVisibleTo(&page)) << id;
    Command(6802);
    EXPECT_EQ(g_SpeakerGroups.frontLeft.state, 1);
    EXPECT_TRUE(C<CBtnPng>(6802)->GetCheck());
    EXPECT_TRUE(C<CNumEdit>(6000)->isReadOnly());
    EXPECT_TRUE(C<CNumEdit>(6002)->isReadOnly());

    const struct {
        int unitButton;
        int tweeter, woofer;  // delays before the step
        int delta;
        int tweeterAfter, wooferAfter;
    } cases[] = {
        {IDC_UNIT_MS, 10, 20, +1, 11, 21},
        {IDC_UNIT_CM, 10, 20, +1, StepDelayCm(10, 1), StepDelayCm(20, 1)},
        {IDC_UNIT_INCH, 100, 300, -1, StepDelayInch(100, -1), StepDelayInch(300, -1)},
        {IDC_UNIT_MS, 959, 960, +1, 960, 960},  // the member at the top stays there
    };
    for (const auto &c : cases) {
        Command(c.unitButton);
        EXPECT_EQ(page.DelayUnit(), c.unitButton - IDC_UNIT_MS + 1);
        Out(0).SetDelay(c.tweeter);
        Out(1).SetDelay(c.woofer);
        page.RefreshAll();
        C<CNumSpin>(6020)->Step(c.delta);  // the tweeter's minus / plus button
        QCoreApplication::processEvents();
        EXPECT_EQ(Out(0).GetDelay(), c.tweeterAfter) << c.unitButton;
        EXPECT_EQ(Out(1).GetDelay(), c.wooferAfter) << c.unitButton;
        EXPECT_EQ(C<CNumSpin>(6022)->GetPos(), c.wooferAfter);
    }

    // Unlocked, a step moves the stepped output alone.
    Command(6802);
    EXPECT_EQ(g_SpeakerGroups.frontLeft.state, 0);
    EXPECT_FALSE(C<CNumEdit>(6000)->isReadOnly());
    Out(1).SetDelay(100);
    page.RefreshAll();
    C<CNumSpin>(6020)->Step(-1);
    QCoreApplication::processEvents();
    EXPECT_EQ(Out(1).GetDelay(), 100);
}

TEST_F(LevelPage, UnitButtonsKeepTheValues)
{
    Out(0).SetDelay(123);
    page.RefreshAll();
    Command(IDC_UNIT_CM);
    Command(IDC_UNIT_CM);
    EXPECT_EQ(Out(0).GetDelay(), 123);
    EXPECT_EQ(C<CNumSpin>(6020)->GetPos(), 123);
    EXPECT_EQ(C<CNumEdit>(6000)->GetType(), 1);
    EXPECT_TRUE(Checked(IDC_UNIT_CM));
    EXPECT_FALSE(Checked(IDC_UNIT_MS));
}

TEST_F(LevelPage, SpeakerIconMarksItsOutputAndFocusesItsDelay)
{
    Command(6040);
    EXPECT_EQ(page.MarkedOutput(), 0);
    EXPECT_TRUE(C<CBtnPng>(6040)->GetCheck());
    EXPECT_EQ(QApplication::focusWidget(), C<CNumEdit>(6000));
    // The mouse over a polarity button moves the mark; over a fader nothing happens.
    SendMessageTo(&page, WM_CTRL_MOUSEMOVE, 0, LPARAM(IDC_OUT_POLARITY + 2));
    EXPECT_EQ(page.MarkedOutput(), 2);
    EXPECT_TRUE(C<CBtnPng>(6046)->GetCheck());
    EXPECT_FALSE(C<CBtnPng>(6040)->GetCheck());
    SendMessageTo(&page, WM_CTRL_MOUSEMOVE, 0, LPARAM(IDC_OUT_FADER + 4));
    EXPECT_EQ(page.MarkedOutput(), 2);
}

// ---- input choice and columns ------------------------------------------------------------------

TEST_F(LevelPage, InputColumnsCloseTheGaps)
{
    const QRect p0 = C<CNumEdit>(IDC_INPUT_EDIT)->geometry();
    const QRect p1 = C<CNumEdit>(IDC_INPUT_EDIT + 1)->geometry();
    const QRect p2 = C<CNumEdit>(IDC_INPUT_EDIT + 2)->geometry();
    const QRect p3 = C<CNumEdit>(IDC_INPUT_EDIT + 3)->geometry();
    const auto shown = [&](int i) { return C<CNumEdit>(IDC_INPUT_EDIT + i)->isVisibleTo(&page); };

    g_nInputLayout = 0;
    g_nInputGroup = 0;
    page.RefreshAll();
    page.RefreshInputs();
    EXPECT_FALSE(shown(0));
    EXPECT_FALSE(shown(2));
    EXPECT_FALSE(C<CBitButton>(IDC_INPUT_BUTTON)->isVisibleTo(&page));
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 1)->geometry(), p0);
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 3)->geometry(), p1);
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 5)->geometry(), p3);
    EXPECT_TRUE(shown(4) && shown(5));

    g_nInputLayout = 1;
    g_nInputGroup = 2;
    page.RefreshAll();
    page.RefreshInputs();
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 1)->geometry(), p0);
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 2)->geometry(), p1);
    EXPECT_EQ(C<CNumEdit>(IDC_INPUT_EDIT + 3)->geometry(), p2);
    EXPECT_TRUE(shown(2) && shown(3));
    EXPECT_FALSE(shown(4) || shown(5));
}

TEST_F(LevelPage, ColumnControlsStandCentredOnTheirColumns)
{
    // As shown: the skins have sized every button and the input layout has placed the columns.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QCoreApplication::processEvents();
    struct Column {
        int edit;
        std::vector<int> controls;
    };
    std::vector<Column> columns = {{IDC_MASTER_EDIT, {IDC_MASTER_FADER, IDC_MASTER_SWITCH}}};
    for (int i = 0; i < kInputs; ++i)
        columns.push_back({IDC_INPUT_EDIT + i, {IDC_INPUT_FADER + i, IDC_INPUT_BUTTON + i}});
    for (int i = 0; i < kOutputs; ++i)
        columns.push_back({IDC_OUT_EDIT + i, {IDC_OUT_FADER + i, IDC_OUT_ON + i, IDC_OUT_POLARITY + i, IDC_TYPE_LABEL + i}});
    for (const Column &c : columns) {
        const int centre = C<QWidget>(c.edit)->geometry().center().x();
        for (int id : c.controls)
            EXPECT_LE(std::abs(C<QWidget>(id)->geometry().center().x() - centre), 1) << "control " << id;
    }
}

TEST_F(LevelPage, InputButtonsChooseTheActiveInput)
{
    // The selected input pressed again in the alternate mode only clears the mode.
    g_nSelInput = 1;
    g_bAltInputMode = 1;
    page.RefreshInputs();
    EXPECT_EQ(C<CBitButton>(IDC_INPUT_BUTTON + 1)->CurrentBitmap(), 4811 + 30);
    Command(IDC_INPUT_BUTTON + 1);
    EXPECT_EQ(g_bAltInputMode.load(), 0);
    EXPECT_EQ(sync.calls, std::vector<std::string>{"cmd " + std::to_string(SYS_VOLUME)});
    EXPECT_EQ(C<CBitButton>(IDC_INPUT_BUTTON + 1)->CurrentBitmap(), 4811 + 20);

    // AUX2 while S/PDIF is selected.
    g_nSelInput = 0;
    page.RefreshInputs();
    sync.calls.clear();
    Command(IDC_INPUT_BUTTON + 4);
    EXPECT_EQ(sync.calls, std::vector<std::string>{"cmd " + std::to_string(SYS_INPUT)});
    EXPECT_EQ(g_nSelInput.load(), 4);
    EXPECT_EQ(g_nInputSource.load(), 4);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Checked(IDC_INPUT_BUTTON + i), i == 4) << i;

    // The input page's notice re-checks from the globals.
    g_nSelInput = 2;
    SendMessageTo(&page, CLevel_Delay_Dlg::WM_INPUT_REFRESH, 0, 4);
    EXPECT_TRUE(Checked(IDC_INPUT_BUTTON + 2));
    EXPECT_FALSE(Checked(IDC_INPUT_BUTTON + 4));
}

// ---- keys and language -------------------------------------------------------------------------

TEST_F(LevelPage, EnterAndArrowsWalkTheOrder)
{
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &page; }, 5000));
    CNumEdit *last = C<CNumEdit>(IDC_OUT_EDIT + 7);
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == C<CNumEdit>(IDC_MASTER_EDIT); }, 5000));
    QTest::keyClick(C<CNumEdit>(IDC_MASTER_EDIT), Qt::Key_Left);
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == last; }, 5000));
    EXPECT_EQ(page.MarkedOutput(), 7);
    EXPECT_TRUE(page.IconOf(7)->GetCheck());
}

TEST_F(LevelPage, LanguageSwitchReskinsTheControls)
{
    SetUiLanguage(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(C<CBitButton>(IDC_OUT_POLARITY)->CurrentBitmap(), 4380);
    EXPECT_EQ(C<CBitButton>(IDC_UNIT_MS)->CurrentBitmap(), 4332);  // ms is checked
    SpinTo(IDC_MASTER_SPIN, 0);
    EXPECT_EQ(C<CNumEdit>(IDC_MASTER_EDIT)->text(), QStringLiteral("关闭"));
    SetUiLanguage(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(C<CBitButton>(IDC_OUT_POLARITY)->CurrentBitmap(), 4370);
    EXPECT_EQ(C<CNumEdit>(IDC_MASTER_EDIT)->text(), QStringLiteral("OFF"));
}

}  // namespace
