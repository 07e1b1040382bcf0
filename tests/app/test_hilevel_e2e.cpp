// The Hi.Level mixing values as a user sets them, against the simulated device behind the
// in-process HID transport: the main view's command 728 opens the mixing dialog, and the device's
// own input block says what arrived.
#include "app/VRX530View.h"

#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/NumEdit.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "panels/input/HiLevelMixing.h"
#include "panels/input/InputNoise.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimTcpServer.h"
#include "panels/input/Adv_Seting.h"
#include <QLineEdit>
#include "tests/support/TestDoubles.h"

#include "tests/app/ConnectedViewFixture.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr int kWait = 60000;  // bounds a failing wait only

struct HiLevelE2E : ConnectedView {
};

}  // namespace

TEST_F(HiLevelE2E, ThresholdAndSwitchSetInTheMixingDialogReachTheDevice)
{
    // The connection read brought the device's input block; the switch turns its mixing over.
    ASSERT_EQ(g_nNoiseGateOn.load(), dev.SysBlock(2)[4]);
    const bool wasOn = g_nNoiseGateOn.load() != 0xFF;
    const std::uint8_t expectedSwitch = wasOn ? 0xFF : 1;
    bool ran = false;
    // Command 728 runs the dialog modally; the user works in it while it is open, then closes it.
    QTimer::singleShot(0, view.get(), [&] {
        auto *dlg = g_pInputNoiseDlg;
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg; }, kWait));
        TypeInto(dlg->Edit(hilevel::Threshold), QStringLiteral("-30"));
        QTest::mouseClick(dlg->Switch(), Qt::LeftButton);
        ran = WaitUntil([&] {
            const auto block = dev.SysBlock(2);
            return block[5] == 90 && block[4] == expectedSwitch;
        }, kWait);
        dlg->close();
    });
    view->OnViewCommand(728);
    EXPECT_TRUE(ran) << "the device's input block holds the threshold and the switch";
    EXPECT_EQ(view->MixingSwitch(), wasOn ? 0 : 1) << "the view's own switch follows the dialog's";
    EXPECT_EQ(g_pInputNoiseDlg, nullptr);
}

// The advanced settings dialog over the network: the user points the program at the device's
// address (the simulator on loopback) and applies it; the network link then uses it, and a mixer
// threshold typed in the dialog reaches the device's input block.
TEST(AdvancedSettingsE2E, AnAppliedAddressCarriesTheLinkAndAMixerThresholdReachesTheDevice)
{
    QtTestApp();
    ResetDeviceImageGlobals();
    ResetLinkState();
    g_bChinese = 0;
    g_nLinkMode = LINK_NONE;
    CMemorySettings settings;
    ScopedAppSettings scopedSettings{settings};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scopedBoxes{boxes};
    zksim::Device dev;
    zksim::TcpServer server(dev);
    zksim::HidDevice hid{dev};
    hid.Unplug();
    g_strWifiIp.Set(g_strDefaultWifiIp);  // the program's default: never contacted here
    g_nWifiPort = 8899;
    CKTV_Data doc;
    CVRX530View view(doc, &hid);
    view.resize(1210, 700);
    view.show();
    view.Backend().Net().SetPinger([](const std::string &address) { return address == "127.0.0.1"; });

    const auto whileOpen = [&](std::function<void(CAdv_Seting &)> act) {
        QTimer::singleShot(0, &view, [&] {
            auto *dlg = dynamic_cast<CAdv_Seting *>(g_pAdvSetingDlg);
            ASSERT_NE(dlg, nullptr);
            ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg; }, kWait));
            act(*dlg);
            dlg->close();
        });
        view.RunAdvancedSettings();
    };
    whileOpen([&](CAdv_Seting &dlg) {
        TypeInto(dlg.AddressEdit(), QStringLiteral("127.0.0.1"));
        dlg.PortEdit()->selectAll();
        TypeInto(dlg.PortEdit(), QString::number(server.Port()));
        QTest::mouseClick(dlg.Button(CAdv_Seting::IDC_APPLY), Qt::LeftButton);
    });
    EXPECT_EQ(g_strWifiIp.Get(), "127.0.0.1");
    EXPECT_EQ(settings.ReadInt(kNetworkGroup, kNetworkPortKey, 0), server.Port());
    EXPECT_TRUE(boxes.Shown().empty());

    // The reachability check finds the applied address answering; the user connects.
    view.Backend().Net().SetCheckPause(20);
    view.Backend().StartPing();
    ASSERT_TRUE(WaitUntil([&] { return view.Backend().NetReachable() || g_bDeviceOnline.load(); }, kWait));
    if (!view.Controller().Connected())
        view.Controller().OnNetworkMenuItem();
    ASSERT_TRUE(WaitUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }, kWait))
        << "mode " << g_nLinkMode.load() << " online " << g_bDeviceOnline.load() << " boxes " << boxes.Shown().size()
        << (boxes.Shown().empty() ? "" : boxes.Shown().back().text) << " conns " << server.Connections();
    EXPECT_EQ(g_nLinkMode.load(), LINK_TCP);
    EXPECT_EQ(server.Connections(), 1);
    ASSERT_TRUE(WaitUntil([&] { return view.isEnabled() && !view.TransferPopup()->isVisible(); }, kWait));

    bool arrived = false;
    whileOpen([&](CAdv_Seting &dlg) {
        EXPECT_TRUE(dlg.Button(CAdv_Seting::IDC_LOAD_DEFAULT)->isEnabled()) << "a device is online";
        TypeInto(dlg.Edit(CAdv_Seting::IDC_THRESHOLD), QStringLiteral("-20"));
        arrived = WaitUntil([&] { return dev.SysBlock(2)[5] == 100; }, kWait);
    });
    EXPECT_TRUE(arrived) << "the device's input block holds the threshold";
    view.Shutdown();
    g_strWifiIp.Set(g_strDefaultWifiIp);
    g_nWifiPort = kDefaultWifiPort;
}
