// The connection dialog and the firmware update dialog, driven headless.
#include "app/ConnectDlg.h"
#include "app/UpgradeDlg.h"
#include "app/VRX530View.h"

#include "controls/ButtonRadio.h"
#include "controls/GradientProgressCtrl.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Language.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimTcpServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

QApplication &App()
{
    static int argc = 1;
    static char arg0[] = "test";
    static char *argv[] = {arg0, nullptr};
    // Never destroyed: cached skins and fonts outlive the tests.
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

}  // namespace

TEST(ConnectDialog, SerialModeSelectsComAndConfirmingUsbChangesTheMode)
{
    App();
    g_bChinese = 0;
    g_nLinkMode = LINK_SERIAL;
    CConnectDlg dlg;
    EXPECT_TRUE(dlg.ComRadio()->isChecked());
    EXPECT_TRUE(dlg.Ports()->isEnabled());
    dlg.UsbRadio()->click();
    EXPECT_FALSE(dlg.Ports()->isEnabled());
    dlg.OnOK();
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    EXPECT_EQ(g_bLinkModeUnchanged.load(), 0);
    g_nLinkMode = LINK_NONE;
}

TEST(ConnectDialog, FollowsALanguageSwitchWhileOpen)
{
    App();
    g_bChinese = 0;
    CConnectDlg dlg;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Link");
    SetUiLanguage(true);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("联机"));
    EXPECT_EQ(dlg.UsbRadio()->text(), QString::fromUtf8("使用USB连接到设备"));
    EXPECT_EQ(dlg.ComRadio()->text(), QString::fromUtf8("使用COM连接到设备"));
    SetUiLanguage(false);
    EXPECT_EQ(dlg.WifiRadio()->text(), "Use the WIFI connect to the device");
}

namespace {

// Each test keeps its USB in-use marks to itself, in memory; its lock files go to the test process's
// private settings folder, so tests may run in parallel.
struct IsolatedLinkState {
    CMemorySettings settings;
    IsolatedLinkState() { SetAppSettings(&settings); }
    ~IsolatedLinkState() { SetAppSettings(nullptr); }
};

// Two devices of the product on the bus: the first simulated device at its own path and, while
// plugged, a second one listed after it under another path.
struct TwoDeviceHid : IHidBackend {
    zksim::HidDevice &first;
    zksim::HidDevice &second;
    bool secondPresent = false;
    static std::string SecondPath() { return std::string(zksim::HidDevice::kPath) + "-second"; }
    TwoDeviceHid(zksim::HidDevice &a, zksim::HidDevice &b) : first(a), second(b) {}
    std::vector<HidDeviceInfo> Enumerate() override
    {
        auto out = first.Enumerate();
        if (secondPresent)
            for (HidDeviceInfo info : second.Enumerate())
                if (info.path == zksim::HidDevice::kPath) {
                    info.path = SecondPath();
                    out.push_back(info);
                }
        return out;
    }
    std::unique_ptr<IHidHandle> Open(const std::string &path, OpenError &error) override
    {
        if (path == SecondPath()) {
            if (!secondPresent) {
                error = OpenError::NotFound;
                return nullptr;
            }
            return second.Open(zksim::HidDevice::kPath, error);
        }
        return first.Open(path, error);
    }
};

struct UpdateDialogRig : ::testing::Test {
    IsolatedLinkState isolated;
    zksim::Device dev;
    zksim::HidDevice hid{dev};
    zksim::Device dev2;
    zksim::HidDevice hid2{dev2};
    TwoDeviceHid bus{hid, hid2};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    std::unique_ptr<CKTV_Data> doc;
    std::unique_ptr<CVRX530View> view;
    std::string file;

    void SetUp() override
    {
        App();
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        doc = std::make_unique<CKTV_Data>();
        view = std::make_unique<CVRX530View>(*doc, &bus);
        view->Backend().Net().SetPinger([](const std::string &) { return false; });
        UpdateTimings t;
        t.usbFillerMs = 20;
        t.restartWaitMs = 20;
        t.limitScale = 0.05;
        view->Backend().Updater().SetTimings(t);
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        std::filesystem::create_directories(out ? out : "/tmp");
        file = std::string(out ? out : "/tmp") + "/dialog_firmware_" + std::to_string(::getpid()) + ".bin";
        FILE *f = std::fopen(file.c_str(), "wb");
        std::fwrite("WMCU0123456789abcdef", 1, 20, f);
        std::fclose(f);
    }
    void TearDown() override
    {
        view->Shutdown();
        view.reset();
    }
    // Runs the UI thread's events until pred holds; the bound only ends a failing wait.
    bool Until(const std::function<bool()> &pred, int ms = 60000)
    {
        QElapsedTimer t;
        t.start();
        while (!pred()) {
            if (t.elapsed() > ms)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QTest::qWait(5);
        }
        return true;
    }
};

}  // namespace

TEST_F(UpdateDialogRig, UpdateOverTheOnlyUsbDeviceEndsInSuccess)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    dlg.OnUpdate();
    EXPECT_EQ(g_bUpdating.load(), 1);
    EXPECT_EQ(dlg.Progress()->GetRangeUpper(), 20 / 48 + 6);
    dlg.OnUpdate();  // a second press while updating starts nothing
    ASSERT_TRUE(Until([] { return g_bUpdating.load() == 0; }));
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(boxes.Shown().back().text, "Update successfully");
    EXPECT_EQ(dlg.TipText(), "Update successfully");
    const auto stages = dev.Stages();
    EXPECT_EQ(std::count(stages.begin(), stages.end(), 0x36), 1);
    EXPECT_EQ(stages.back(), 0x39);
}

TEST_F(UpdateDialogRig, FollowsALanguageSwitchWhileOpen)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Device Firmware Update");
    SetUiLanguage(true);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("设备固件更新"));
    EXPECT_EQ(dlg.BrowseButton()->text(), QString::fromUtf8("浏览文件"));
    EXPECT_EQ(dlg.UpdateButton()->text(), QString::fromUtf8("更新"));
    EXPECT_EQ(dlg.QuitButton()->text(), QString::fromUtf8("退出"));
    SetUiLanguage(false);
    EXPECT_EQ(dlg.UpdateButton()->text(), "Update");
}

TEST_F(UpdateDialogRig, TwoDevicesAndTheNetworkArePoppedUpAndTheSecondDeviceIsUpdated)
{
    zksim::TcpServer server{dev};
    g_strWifiIp = std::string("127.0.0.1");
    g_nWifiPort = server.Port();
    bus.secondPresent = true;
    CNet_Socket &net = view->Backend().Net();
    net.SetPinger([](const std::string &) { return true; });
    net.SetCheckPause(20);
    view->Backend().StartPing();
    // Not pumped: the reachability notice would open the network link before the test presses Update.
    for (int i = 0; i < 6000 && !net.IsReachable(); ++i)
        QTest::qSleep(10);
    ASSERT_TRUE(net.IsReachable());

    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    std::vector<std::pair<int, std::string>> offered;
    dlg.popup = [&](const std::vector<std::pair<int, std::string>> &items) {
        offered = items;
        return ID_LINK_USB_FIRST + 1;  // USB2
    };
    dlg.OnUpdate();
    const std::vector<std::pair<int, std::string>> expected = {
        {ID_LINK_USB_FIRST, "USB1"}, {ID_LINK_USB_FIRST + 1, "USB2"}, {ID_LINK_NETWORK, "127.0.0.1"}};
    EXPECT_EQ(offered, expected);
    EXPECT_EQ(g_strDevicePath.Get(), TwoDeviceHid::SecondPath());
    ASSERT_TRUE(Until([] { return g_bUpdating.load() == 0; }));
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(boxes.Shown().back().text, "Update successfully");
    EXPECT_TRUE(dev.Stages().empty()) << "the first device is left alone";
    const auto stages = dev2.Stages();
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.back(), 0x39);
    view->Backend().Net().StopPing(true);
}

TEST_F(UpdateDialogRig, LinkOpeningOnTheThirdPollTickStopsThePolling)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    hid.Unplug();
    dlg.StartUsbUpdate(zksim::HidDevice::kPath);
    EXPECT_EQ(g_bUpdatePolling.load(), 1);
    EXPECT_EQ(g_bUpdating.load(), 0);
    dlg.OnPollTick(0, false);
    dlg.OnPollTick(1, false);
    EXPECT_EQ(g_bUpdatePolling.load(), 1);
    hid.Replug();
    dlg.OnPollTick(2, false);
    EXPECT_EQ(g_bUpdatePolling.load(), 0);
    EXPECT_EQ(g_bUpdating.load(), 1);
    EXPECT_FALSE(dlg.PollThread().IsRunning());
    EXPECT_EQ(dlg.Progress()->GetRangeUpper(), 6);
    ASSERT_TRUE(Until([] { return g_bUpdating.load() == 0; }));
}

TEST_F(UpdateDialogRig, LastPollFailureShowsTheFailedTip)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    hid.Unplug();
    dlg.StartUsbUpdate(zksim::HidDevice::kPath);
    dlg.OnPollTick(20, true);
    EXPECT_EQ(g_bUpdatePolling.load(), 0);
    EXPECT_EQ(dlg.TipText(), "The firmware update failed");
    // No link mode is left without a link: the device that comes back is opened as usual.
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    hid.Replug();
    view->Controller().OnDeviceChange(true, zksim::HidDevice::kPath);
    EXPECT_TRUE(view->Controller().Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
}

TEST_F(UpdateDialogRig, QuitWhilePollingLeavesNoLinkMode)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    hid.Unplug();
    dlg.StartUsbUpdate(zksim::HidDevice::kPath);
    ASSERT_EQ(g_bUpdatePolling.load(), 1);
    dlg.OnQuit();
    EXPECT_EQ(g_bUpdatePolling.load(), 0);
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
}

TEST_F(UpdateDialogRig, WrongFileIsReportedAndNothingStarts)
{
    CUpgradeDlg dlg(view->UpdateLink());
    FILE *f = std::fopen(file.c_str(), "wb");
    std::fwrite("wmcu0123", 1, 8, f);
    std::fclose(f);
    dlg.FileEdit()->setText(QString::fromStdString(file));
    dlg.OnUpdate();
    EXPECT_EQ(g_bUpdating.load(), 0);
    EXPECT_EQ(g_bUpdatePolling.load(), 0);
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(boxes.Shown().back().text, "Update file error!");
    EXPECT_EQ(boxes.Shown().back().code, -3);
}

TEST_F(UpdateDialogRig, EnterAndEscapeNeitherPressAButtonNorClose)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.UpdateButton()->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dlg, key);
        EXPECT_EQ(g_bUpdating.load(), 0) << key;
        EXPECT_TRUE(dlg.isVisible()) << key;
        EXPECT_EQ(dlg.result(), 0) << key;
        dlg.UpdateButton()->setFocus();
    }
    EXPECT_TRUE(boxes.Shown().empty());
    dlg.hide();
}

TEST_F(UpdateDialogRig, QuitDuringAnUpdateAsksAndAbortsOnYes)
{
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.FileEdit()->setText(QString::fromStdString(file));
    g_bUpdating = 1;
    boxes.PushAnswer(IDNO);
    dlg.OnQuit();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].type & MB_TYPEMASK, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(boxes.Shown()[0].code, -5);
    EXPECT_EQ(g_bUpdating.load(), 1) << "No keeps the update running";
    // The window's close box asks the same question.
    boxes.PushAnswer(IDNO);
    dlg.close();
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].text, boxes.Shown()[0].text);
    EXPECT_EQ(g_bUpdating.load(), 1);
    boxes.PushAnswer(IDYES);
    dlg.OnQuit();
    EXPECT_EQ(g_bUpdating.load(), 0);
    EXPECT_EQ(g_bUpdateCancelled.load(), 0);
    ASSERT_EQ(boxes.Shown().size(), 4u);
    EXPECT_EQ(boxes.Shown()[3].text, "The firmware update failed!");
}

TEST_F(UpdateDialogRig, ChosenFirmwareFileAndItsFolderAreSavedUnderDspMcu)
{
    CMemorySettings memory;
    CProgramSettings settings(&memory, [] { return std::string("/nonexistent/Documents"); });
    settings.SetFolder(FOLDER_FIRMWARE, "/nonexistent/Documents");
    settings.LoadDspMcuSettings();  // first start: the group with its defaults
    g_strFirmwareFile = "";
    CUpgradeDlg dlg(view->UpdateLink());
    dlg.settings = &settings;
    std::string offered;
    dlg.openFile = [&](const std::string &folder) {
        offered = folder;
        return file;
    };
    ASSERT_TRUE(dlg.ChooseFirmwareFile());
    EXPECT_EQ(offered, "/nonexistent/Documents");
    const std::string folder = std::filesystem::path(file).parent_path().string();
    EXPECT_EQ(g_strFirmwareFile.Get(), file);
    EXPECT_EQ(memory.ReadString("DspMcu", "Name"), file);
    EXPECT_EQ(memory.ReadString("DspMcu", "Path"), folder);
    EXPECT_EQ(settings.Folder(FOLDER_FIRMWARE), folder);

    // A file of another kind is refused and nothing is stored; a cancel changes nothing either.
    dlg.openFile = [](const std::string &) { return std::string("/tmp/other/fw.hex"); };
    EXPECT_FALSE(dlg.ChooseFirmwareFile());
    dlg.openFile = [](const std::string &) { return std::string(); };
    EXPECT_FALSE(dlg.ChooseFirmwareFile());
    EXPECT_EQ(memory.ReadString("DspMcu", "Name"), file);
    EXPECT_EQ(settings.Folder(FOLDER_FIRMWARE), folder);
    g_strFirmwareFile = "";
}
