// The level and delay page against the simulated device behind the in-process HID transport: the
// main view shows it as page 2, a level, the master volume and an input choice made on it reach
// the device through the view's real link, and its meters show the device's status reply.
#include "app/VRX530View.h"

#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/NumEdit.h"
#include "controls/SLamp.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerType.h"
#include "panels/level/LevelDelayDlg.h"
#include "panels/level/LevelPageTables.h"
#include "panels/output/OutputDlg.h"
#include "panels/output/OutputMessages.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QAbstractButton>
#include <QTest>

#include "tests/app/ConnectedViewFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace levelpage;


struct LevelPageE2E : ConnectedView {

    void SetUp() override
    {
        ConnectedView::SetUp();
        if (HasFatalFailure())
            return;
        // The user has given the outputs their speakers: every column of the page is there.
        for (int i = 0; i < 8; ++i)
            SetWorkingSpeakerType(i, i + 1);
    }
    void TearDown() override
    {
        ConnectedView::TearDown();
        ResetSpeakerTypeStates();
    }
    // The output page's (hidden) volume-page button asks the view for the page.
    CLevel_Delay_Dlg &ShowLevelPage()
    {
        auto *button = qobject_cast<QAbstractButton *>(view->OutputPage()->Control(COutputDlg::IDC_VOLUME_PAGE));
        EXPECT_NE(button, nullptr);
        if (button)
            button->click();
        EXPECT_TRUE(WaitUntil([&] { return view->LevelPage() && view->LevelPage()->isVisible(); }, kWait));
        return *view->LevelPage();
    }
    std::array<std::uint8_t, 8> DeviceItem(int c, int item) const
    {
        const zksim::Image img = dev.CurrentImage();
        std::array<std::uint8_t, 8> out{};
        const std::size_t at = DeviceImage::kOutOffset + std::size_t(c) * DeviceImage::kOutSize +
                               std::size_t(item) * DeviceImage::kItemSize;
        for (std::size_t k = 0; k < 8; ++k)
            out[k] = img[at + k];
        return out;
    }
};

TEST_F(LevelPageE2E, ALevelTypedOnThePageReachesTheDevice)
{
    CLevel_Delay_Dlg &page = ShowLevelPage();
    EXPECT_FALSE(view->OutputPage()->isVisible()) << "page 2 takes the output page's place";
    EXPECT_EQ(g_nCurPage.load(), 2);

    // Output 2's gain: -12 dB is code 480, sent in the output's basic item (bytes 2, 3).
    TypeInto(page.Edit(IDC_OUT_EDIT + 2), QStringLiteral("-12"));
    ASSERT_EQ(doc->GetOut(2)->GetGain(), 480);
    EXPECT_TRUE(WaitUntil([&] {
        const auto item = DeviceItem(2, CKTV_OutData::kBasicItem);
        return item[2] == (480 & 0xFF) && item[3] == (480 >> 8);
    }, kWait));
    const auto other = DeviceItem(3, CKTV_OutData::kBasicItem);
    EXPECT_EQ(other[2] | (other[3] << 8), doc->GetOut(3)->GetGain()) << "another output keeps its gain";

    // The master volume goes out with system block 5.
    TypeInto(page.Edit(IDC_MASTER_EDIT), QStringLiteral("-20"));
    ASSERT_EQ(int(g_nMasterVolume), 40);
    EXPECT_TRUE(WaitUntil([&] { return dev.SysBlock(5)[0] == 40 && dev.SysBlock(5)[1] == 0; }, kWait));
}

TEST_F(LevelPageE2E, AnInputChoiceReachesTheDeviceAndTheMetersShowItsStatus)
{
    CLevel_Delay_Dlg &page = ShowLevelPage();
    const int before = g_nSelInput.load();
    const int input = before == 3 ? 4 : 3;
    QTest::mouseClick(page.Button(IDC_INPUT_BUTTON + input), Qt::LeftButton);
    EXPECT_EQ(g_nSelInput.load(), input);
    EXPECT_TRUE(WaitUntil([&] { return dev.SysBlock(2)[0] == input; }, kWait));

    // Output levels in status bytes 6..13; the device reports the new input as its mode.
    std::array<std::uint8_t, 15> status{};
    for (int i = 0; i < 8; ++i)
        status[std::size_t(6 + i)] = std::uint8_t(i + 1);
    status[14] = std::uint8_t(input);
    dev.SetStatus(status);
    const auto litBars = [&](int i) {
        int n = 0;
        for (int s = 0; s < 9; ++s)
            n += page.Meter(i)->IsLit(s) ? 1 : 0;
        return n;
    };
    EXPECT_TRUE(WaitUntil([&] {
        for (int i = 0; i < 8; ++i)
            if (litBars(i) != i + 1)
                return false;
        return true;
    }, kWait));
    EXPECT_TRUE(page.Button(IDC_INPUT_BUTTON + input)->GetCheck());
}

// Status replies asked for before the device took an input picked on the page, handled after the
// pick: the page's input buttons keep the pick instead of flipping back to the old input and again.
TEST_F(LevelPageE2E, StatusRepliesFromBeforeAnInputPickLeaveTheInputButtonsAlone)
{
    CLevel_Delay_Dlg &page = ShowLevelPage();
    const int before = g_nSelInput.load();
    ASSERT_NE(before, 3);
    std::array<std::uint8_t, 15> status{};
    status[14] = std::uint8_t(before);  // the device plays the input the program shows
    dev.SetStatus(status);
    const auto checked = [&] {
        std::vector<int> on;
        for (int i = 0; i < kInputs; ++i)
            if (page.Button(IDC_INPUT_BUTTON + i)->GetCheck())
                on.push_back(i);
        return on;
    };
    {
        LetStatusRepliesPileUp(4);  // each reports the input from before the pick
        std::lock_guard lock(g_csLink);  // nothing newer is answered until the backlog is handled
        SendMessageTo(&page, WM_COMMAND, WPARAM(IDC_INPUT_BUTTON + 3), 0);  // the click on AUX1
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(checked(), std::vector<int>{3});
        EXPECT_EQ(g_nSelInput.load(), 3);
    }
    EXPECT_TRUE(WaitForDevice([](const zksim::Device &d) { return d.SysBlock(2)[0] == 3; }));
    // The device's next word is AUX1: still one check, on AUX1.
    LetStatusRepliesPileUp(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(checked(), std::vector<int>{3});
}

}  // namespace
