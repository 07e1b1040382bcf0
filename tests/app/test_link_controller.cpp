// The connection logic over a scripted link layer: which devices the Connect button offers, what a
// choice opens, and what removals and the firmware-needed notice close.
#include "app/DeviceSync.h"
#include "app/LinkController.h"

#include "link/FirmwareUpdate.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct ScriptedBackend : ILinkBackend {
    std::vector<std::string> devices;
    std::set<std::string> busy;
    std::string openPath;
    bool reachable = false, netConnects = true;
    int workerRuns = 0, fullStops = 0, netCloses = 0;

    void StartCommThread() override { ++workerRuns; }
    void StopCommThread(bool full) override
    {
        fullStops += full;
        workerRuns = 0;
    }
    std::vector<std::string> EnumerateHidDevices() override { return devices; }
    bool IsUsbPathFree(const std::string &path) override { return !busy.count(path); }
    bool OpenUsbDevice(const std::string &path) override
    {
        openPath = path;
        g_bUsbOpen = 1;
        return true;
    }
    void CloseUsbDevice() override { openPath.clear(); }
    void UnmarkUsbPath() override {}
    bool IsOnDeviceSubnet() override { return true; }
    bool NetReachable() override { return reachable; }
    void ClearNetReachable() override { reachable = false; }
    bool NetConnect() override { return reachable && netConnects; }
    void NetClose() override { ++netCloses; }
    void StartPing() override {}
    void StopPing(bool) override {}
    bool OpenSerial(const std::string &) override { return false; }
    bool CloseSerial() override { return true; }
};

struct RecordingView : ILinkView {
    int connectedShown = -1, hiddenResets = 0;
    int choice = 0;
    std::vector<std::pair<int, std::string>> offered;
    void ShowConnectedState(bool c) override { connectedShown = c; }
    void HideTransferPopup() override {}
    int PopupMenu(const std::vector<std::pair<int, std::string>> &items) override
    {
        offered = items;
        return choice;
    }
    void SetUpdateTip(const std::string &) override {}
    bool UpdateDialogOpen() override { return false; }
    void ResetHiddenControls() override { ++hiddenResets; }
};

struct NullHost : ISyncHost {
    void ResetChanges() override {}
    void FillImage() override {}
    void LoadFromImage(int) override {}
    void ApplySpeakerTypes() override {}
    void SetTransferRange(int) override {}
    void ShowTransferPopup(int) override {}
    void SetTransferFactoryResetMode() override {}
    void RefreshAfterPresetRead() override {}
    void SetInputSource(int, int) override {}
    void SelectAssignedChannel() override {}
    void ShowNetworkSettings() override {}
    bool ConfirmFactoryReset() override { return true; }
    bool ChooseAllPresetsFile() override { return true; }
    void ShowLinkFailure() override {}
    void Disconnect() override {}
    void ClearNetReachable() override {}
};

struct ControllerRig : ::testing::Test {
    CKTVCommand command;
    LinkSession session;
    NullHost host;
    CDeviceSync sync{command, session, host};
    ScriptedBackend backend;
    RecordingView view;
    CLinkController ctrl{command, session, backend, view, sync, nullptr};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};

    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        g_strWifiIp = std::string("127.0.0.1");
        g_strDevicePath = std::string();
    }
    int QueuedHandshakeFrames()
    {
        std::lock_guard lock(g_csLink);
        return command.GetCount();
    }
};

}  // namespace

TEST_F(ControllerRig, ConnectButtonOffersWhatCanBeOpened)
{
    struct Case {
        std::vector<std::string> devices;
        bool reachable;
        std::vector<std::pair<int, std::string>> offered;
    };
    const std::vector<Case> cases = {
        {{"/dev/hidraw1"}, true, {{ID_LINK_USB, "USB"}, {ID_LINK_NETWORK, "WIFI"}}},
        {{"/dev/hidraw1", "/dev/hidraw2"},
         true,
         {{ID_LINK_USB_FIRST, "USB1"}, {ID_LINK_USB_FIRST + 1, "USB2"}, {ID_LINK_NETWORK, "127.0.0.1"}}},
        {{"/dev/hidraw1", "/dev/hidraw2"}, false, {{ID_LINK_USB_FIRST, "USB1"}, {ID_LINK_USB_FIRST + 1, "USB2"}}},
    };
    for (const Case &c : cases) {
        view.offered.clear();
        backend.devices = c.devices;
        backend.reachable = c.reachable;
        ctrl.OnConnectButton();
        EXPECT_EQ(view.offered, c.offered) << c.devices.size() << " devices, reachable " << c.reachable;
        EXPECT_FALSE(ctrl.Connected()) << "a dismissed popup opens nothing";
        EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ControllerRig, ChoosingTheSecondDeviceOpensItWithTheHandshake)
{
    backend.devices = {"/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw3"};
    backend.busy = {"/dev/hidraw2"};  // held by another instance: not offered
    view.choice = ID_LINK_USB_FIRST + 1;
    ctrl.OnConnectButton();
    ASSERT_EQ(view.offered.size(), 2u);
    EXPECT_EQ(backend.openPath, "/dev/hidraw3");
    EXPECT_EQ(g_strDevicePath.Get(), "/dev/hidraw3");
    EXPECT_TRUE(ctrl.Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    EXPECT_EQ(view.connectedShown, 1);
    EXPECT_EQ(g_bHelloPhase.load(), 1);
    EXPECT_EQ(QueuedHandshakeFrames(), 2);
    EXPECT_EQ(backend.workerRuns, 1);
}

TEST_F(ControllerRig, OneDeviceWithoutNetworkOpensAtOnce)
{
    backend.devices = {"/dev/hidraw1"};
    ctrl.OnConnectButton();
    EXPECT_TRUE(view.offered.empty());
    EXPECT_EQ(backend.openPath, "/dev/hidraw1");
    EXPECT_TRUE(ctrl.Connected());
}

TEST_F(ControllerRig, RemovalClosesTheLinkUnlessTheDeviceRestartsForTheUpdate)
{
    backend.devices = {"/dev/hidraw1"};
    ctrl.OnConnectButton();
    ASSERT_TRUE(ctrl.Connected());

    // Another HID device leaving changes nothing; the connected one restarting into its loader
    // during an update only marks it closed.
    ctrl.OnDeviceChange(false, "/dev/hidraw7");
    EXPECT_TRUE(ctrl.Connected());
    g_bUpdating = 1;
    g_nUpdateStage = HEXApply;
    ctrl.OnDeviceChange(false, "/DEV/HIDRAW1");
    EXPECT_TRUE(ctrl.Connected());
    EXPECT_EQ(g_bUsbOpen.load(), 0);
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    EXPECT_TRUE(boxes.Shown().empty());

    // Outside an update a removal closes everything and says so.
    g_bUpdating = 0;
    g_nUpdateStage = 0;
    g_bUsbOpen = 1;
    ctrl.OnDeviceChange(false, "/dev/hidraw1");
    EXPECT_FALSE(ctrl.Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    EXPECT_EQ(backend.openPath, "");
    EXPECT_EQ(g_strDevicePath.Get(), "");
    EXPECT_EQ(view.connectedShown, 0);
    EXPECT_EQ(view.hiddenResets, 1);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, g_strUsbFailEn);
    EXPECT_EQ(boxes.Shown()[0].code, 2000);
}

TEST_F(ControllerRig, FirmwareNeededOverTheNetworkClosesTheLink)
{
    backend.reachable = true;
    ASSERT_TRUE(ctrl.OpenNetworkLink());
    EXPECT_EQ(g_bNetOpen.load(), 1);
    ctrl.OnDeviceNeedsFirmware();
    EXPECT_FALSE(ctrl.Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    EXPECT_EQ(g_bNetOpen.load(), 0);
    EXPECT_EQ(backend.fullStops, 1);
    EXPECT_EQ(backend.netCloses, 1);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Please Update the Firmware!");
    EXPECT_EQ(boxes.Shown()[0].code, 2001);
}

TEST_F(ControllerRig, NetworkOpeningIsRefusedWhileAnotherLinkModeIsSet)
{
    backend.reachable = true;
    g_nLinkMode = LINK_USB;
    EXPECT_FALSE(ctrl.OpenNetworkLink());
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    g_nLinkMode = LINK_NONE;
    backend.netConnects = false;
    EXPECT_FALSE(ctrl.OpenNetworkLink());
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE) << "a failed opening leaves no link mode";
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, g_strWifiFailEn);
}
