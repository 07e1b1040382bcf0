// The Hi.Level mixing dialog: what each value shows, the switch that the main view's switch
// follows, and the SYS_INPUT writes its edits queue, driven as a user does.

#include "controls/BitButton.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "panels/input/HiLevelMixing.h"
#include "panels/input/InputNoise.h"
#include "platform/qt/Language.h"
#include "protocol/CommandFrame.h"
#include "services/MixingSwitch.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <gtest/gtest.h>

#include <QTest>

#include <array>
#include <vector>

namespace {

// Every queued system command with the input block as it stood at that moment.
struct RecordingSync : CQuietDeviceSync {
    struct Call {
        int command;
        std::array<std::uint8_t, 8> block;
    };
    std::vector<Call> calls;
    void QueueDeviceCommand(int command, int) override { calls.push_back({command, ReadSysBlock(g_SysBlock2)}); }
};

struct ViewSwitch : IMixingSwitch {
    std::vector<int> states;
    void SetMixingSwitch(int on) override { states.push_back(on); }
};

class HiLevelDialog : public ::testing::Test {
protected:
    HiLevelDialog()
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        g_bChinese.store(0);
    }
    ~HiLevelDialog() override { ResetDeviceImageGlobals(); }

    // The dialog shown and active, so typed values commit.
    void Open(CInputNoise &dlg)
    {
        dlg.m_pView = &view;
        dlg.InitDialog();
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &dlg; }, 2000));
    }
    void Type(CNumEdit *edit, const char *text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    RecordingSync sync;
    ViewSwitch view;
};

TEST_F(HiLevelDialog, EachValueShowsItsByteAtTheEndsOfItsRangeAndItsStartValue)
{
    CInputNoise dlg(sync);
    dlg.InitDialog();
    struct Case {
        int field;
        int value;
        const char *text;
    } cases[] = {
        {hilevel::Threshold, 0, "-120dBu"},  {hilevel::Threshold, 120, "0dBu"},  {hilevel::Threshold, 55, "-65dBu"},
        {hilevel::Attenuation, 0, "120dB"},  {hilevel::Attenuation, 120, "0dB"}, {hilevel::Attenuation, 108, "12dB"},
        {hilevel::Release, 2, "2s"},         {hilevel::Release, 30, "30s"},      {hilevel::Release, 3, "3s"},
    };
    for (const auto &c : cases) {
        hilevel::Byte(hilevel::kFields[static_cast<std::size_t>(c.field)]) = static_cast<std::uint8_t>(c.value);
        dlg.RefreshValues();
        EXPECT_EQ(dlg.Edit(c.field)->text().toStdString(), c.text) << "field " << c.field << " value " << c.value;
        EXPECT_EQ(dlg.Spin(c.field)->GetPos(), c.value);
    }
    EXPECT_TRUE(sync.calls.empty()) << "showing values queues nothing";
}

TEST_F(HiLevelDialog, TogglingTwiceQueuesTwoInputWritesAndTheViewSwitchFollows)
{
    CInputNoise dlg(sync);
    Open(dlg);
    ASSERT_EQ(dlg.Switch()->GetCheck(), 0) << "mixing starts off (0xFF)";
    QTest::mouseClick(dlg.Switch(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return sync.calls.size() == 1; }, 1000));
    EXPECT_EQ(dlg.Switch()->GetCheck(), 1);
    QTest::mouseClick(dlg.Switch(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return sync.calls.size() == 2; }, 1000));
    EXPECT_EQ(sync.calls[0].command, SYS_INPUT);
    EXPECT_EQ(sync.calls[0].block[4], 1);
    EXPECT_EQ(sync.calls[1].command, SYS_INPUT);
    EXPECT_EQ(sync.calls[1].block[4], 0xFF);
    EXPECT_EQ(view.states, (std::vector<int>{1, 0}));
    EXPECT_EQ(dlg.Switch()->GetCheck(), 0);
}

TEST_F(HiLevelDialog, ATypedValueIsStoredAndQueuedOnceAndTheStoredValueQueuesNothing)
{
    CInputNoise dlg(sync);
    Open(dlg);
    Type(dlg.Edit(hilevel::Threshold), "-65");  // 55, the value already stored
    EXPECT_TRUE(sync.calls.empty());
    Type(dlg.Edit(hilevel::Threshold), "-40");
    ASSERT_TRUE(WaitUntil([&] { return !sync.calls.empty(); }, 1000));
    EXPECT_EQ(g_nNoiseParam1.load(), 80);
    EXPECT_EQ(sync.calls.back().block[5], 80);
    EXPECT_EQ(dlg.Edit(hilevel::Threshold)->text().toStdString(), "-40dBu");
    EXPECT_EQ(sync.calls.size(), 1u);

    // A release beyond the range is limited to it before it is stored.
    Type(dlg.Edit(hilevel::Release), "99");
    ASSERT_TRUE(WaitUntil([&] { return sync.calls.size() == 2; }, 1000));
    EXPECT_EQ(g_nNoiseParamSec.load(), 30);
    EXPECT_EQ(dlg.Edit(hilevel::Release)->text().toStdString(), "30s");
    EXPECT_TRUE(dlg.isVisible()) << "Enter never closes the dialog";
}

TEST_F(HiLevelDialog, WithTheHiLevelInputSelectedTheSwitchIsHiddenAndTheValuesStayEditable)
{
    g_nInputSource = 1;
    CInputNoise dlg(sync);
    Open(dlg);
    EXPECT_FALSE(dlg.Switch()->isVisible());
    Type(dlg.Edit(hilevel::Attenuation), "20");  // 120 − 20
    ASSERT_TRUE(WaitUntil([&] { return !sync.calls.empty(); }, 1000));
    EXPECT_EQ(g_nNoiseParamDb.load(), 100);
}

TEST_F(HiLevelDialog, EscapeKeepsTheDialogOpenAndTheGlobalNamesItWhileItLives)
{
    {
        CInputNoise dlg(sync);
        Open(dlg);
        EXPECT_EQ(g_pInputNoiseDlg, &dlg);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dlg.isVisible());
    }
    EXPECT_EQ(g_pInputNoiseDlg, nullptr);
}

}  // namespace
