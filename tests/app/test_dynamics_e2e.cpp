// The dynamics dialog against the simulated device behind the in-process HID transport: the
// connected view's link takes the records' change marks, and the device's own image says what
// arrived.
#include "app/VRX530View.h"

#include "controls/DisplayDlg.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/LinkGroups.h"
#include "model/Music_InData.h"
#include "panels/input/CurSYSDlg.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QTest>

#include "tests/app/ConnectedViewFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using V = CCurSYSDlg::Value;

struct DynamicsE2E : ConnectedView {
    std::unique_ptr<CCurSYSDlg> dlg;

    void TearDown() override
    {
        dlg.reset();
        ConnectedView::TearDown();
    }
    // The dialog as its opener makes it, over the view's records.
    void OpenDialog()
    {
        dlg = std::make_unique<CCurSYSDlg>(*doc, view.get());
        dlg->InitDialog();
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg.get(); }, kWait));
    }
    CKTV_OutData &Out(int c) { return *doc->GetOut(c); }
    std::array<std::uint8_t, 8> DeviceItem(std::size_t offset, std::size_t size, int c, int item) const
    {
        const zksim::Image img = dev.CurrentImage();
        std::array<std::uint8_t, 8> out{};
        const std::size_t at = offset + static_cast<std::size_t>(c) * size + static_cast<std::size_t>(item) * DeviceImage::kItemSize;
        std::copy_n(img.begin() + static_cast<std::ptrdiff_t>(at), 8, out.begin());
        return out;
    }
    std::array<std::uint8_t, 8> DeviceOutItem(int c, int item) const
    {
        return DeviceItem(DeviceImage::kOutOffset, DeviceImage::kOutSize, c, item);
    }
    static int Word(const std::array<std::uint8_t, 8> &item, int k)
    {
        return static_cast<std::int16_t>(item[std::size_t(k)] | item[std::size_t(k + 1)] << 8);
    }
};

}  // namespace

TEST_F(DynamicsE2E, ALimiterThresholdReachesTheDeviceForTheOutputAndItsGroup)
{
    JoinNewLinkGroup(0, true);
    JoinLinkGroup(3, LinkValueOf(0));
    OpenDialog();
    const auto unlinked = DeviceOutItem(1, CKTV_OutData::kLimitItem);

    TypeInto(dlg->Edit(0, V::LimitThreshold), QStringLiteral("-4.5"));
    ASSERT_EQ(Out(0).GetLimitThreshold(), 255);
    ASSERT_EQ(Out(3).GetLimitThreshold(), 255);
    for (int c : {0, 3}) {
        EXPECT_TRUE(WaitUntil([&] { return Word(DeviceOutItem(c, CKTV_OutData::kLimitItem), 0) == 255; }, kWait))
            << "output " << c;
    }
    // The rest of the limiter went with it, as the program holds it.
    EXPECT_EQ(Word(DeviceOutItem(3, CKTV_OutData::kLimitItem), 2), Out(3).GetLimitAttack());
    EXPECT_EQ(Word(DeviceOutItem(3, CKTV_OutData::kLimitItem), 4), Out(3).GetLimitRelease());
    EXPECT_EQ(DeviceOutItem(1, CKTV_OutData::kLimitItem), unlinked) << "an unlinked output keeps its limiter";

    // A release typed on the linked output comes back to the first one.
    TypeInto(dlg->Edit(3, V::LimitRelease), QStringLiteral("1200"));
    for (int c : {0, 3}) {
        EXPECT_TRUE(WaitUntil([&] { return Word(DeviceOutItem(c, CKTV_OutData::kLimitItem), 4) == 1150; }, kWait))
            << "output " << c;
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(DynamicsE2E, TheNoiseGateReachesMusicInputZeroOnTheDevice)
{
    OpenDialog();
    TypeInto(dlg->NoiseEdit(), QStringLiteral("-75"));
    ASSERT_EQ(doc->GetMusicIn(0)->GetThreshold(), 45);
    EXPECT_TRUE(WaitUntil([&] {
        return DeviceItem(DeviceImage::kMusicOffset, DeviceImage::kMusicSize, 0, 33)[0] == 45;
    }, kWait));
}
