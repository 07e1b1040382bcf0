// The connection logic and the device synchronisation against the simulated device, over loopback
// TCP and the in-process HID transport, with the real worker, transports and reply parser. The
// posted messages are pumped on the test thread as the view's message loop would.
#include "tests/app/LinkE2EKit.h"

TEST_F(LinkE2E, ConnectsOverTcpReadsTheDeviceAndStoresAndRecallsAPreset)
{
    zksim::Image img = dev.CurrentImage();
    img[DeviceImage::kOutOffset + 5] = 0x5A;  // something to find in the program's image
    dev.SetCurrentImage(img);
    ASSERT_TRUE(ConnectOverTcp());
    EXPECT_EQ(g_nLinkMode.load(), LINK_TCP);
    EXPECT_EQ(linkView.connectedShown, 1);
    const auto reqs = dev.Requests();
    ASSERT_GE(reqs.size(), 21u);
    EXPECT_EQ(reqs[0].channel, SYS_HELLO);
    EXPECT_EQ(reqs[1].channel, SYS_VERSION);
    EXPECT_EQ(CountRequests(CMD_READ, OBJ_OUTPUT, 7), 1);
    EXPECT_EQ(g_CurImage.bytes[DeviceImage::kOutOffset + 5], 0x5A);

    // Save as machine preset 2: the device holds the program's output blocks under preset 2.
    sync->StorePresetToDevice(2, 1);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    zksim::Image stored = dev.PresetImage(2);
    EXPECT_TRUE(std::equal(stored.begin() + DeviceImage::kOutOffset, stored.end(),
                           g_CurImage.bytes.begin() + DeviceImage::kOutOffset));
    EXPECT_EQ(dev.CurrentPreset(), 2);

    // Recall another preset: its eight blocks are asked for and come back into the current image.
    stored[DeviceImage::kOutOffset + 7 * DeviceImage::kOutSize + 3] ^= 0x11;
    dev.SetPresetImage(3, stored);
    dev.ClearRequests();
    sync->ReadPresetFromDevice(3);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && g_bDeviceOnline.load(); }));
    int presetReads = 0;
    for (const auto &f : dev.Requests())
        presetReads += f.cmd == CMD_READ && f.type == OBJ_OUTPUT && f.preset == 3 && f.param == 0;
    EXPECT_EQ(presetReads, 8);
    EXPECT_EQ(g_nCurPreset.load(), 3);
    EXPECT_EQ(g_CurImage.bytes[DeviceImage::kOutOffset + 7 * DeviceImage::kOutSize + 3],
              stored[DeviceImage::kOutOffset + 7 * DeviceImage::kOutSize + 3]);
    EXPECT_EQ(dev.CurrentPreset(), 3);

    // Deleting the current machine preset leaves no preset current on the device.
    sync->RecallDevicePreset(3);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && dev.CurrentPreset() == 0; }));

    // Push all presets and read them back.
    sync->PushAllPresetsToDevice();
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_GE(CountRequests(CMD_WRITE, OBJ_OUTPUT, 7), 7);

    // Factory reset, then the device is read back.
    const auto before = CountRequests(CMD_READ, OBJ_OUTPUT, 7);
    sync->OnFactoryReset();
    ASSERT_TRUE(PumpUntil([&] { return dev.FactoryResets() == 1 && g_bDeviceOnline.load() && Idle(); }));
    EXPECT_EQ(CountRequests(CMD_READ, OBJ_OUTPUT, 7), before + 1);

    // The Connect button disconnects.
    ctrl->OnConnectButton();
    EXPECT_FALSE(ctrl->Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    EXPECT_EQ(linkView.connectedShown, 0);
}

TEST_F(LinkE2E, SilentDeviceEndsInTheLinkFailureMessage)
{
    ASSERT_TRUE(ConnectOverTcp());
    dev.SetSilent(true);
    sync->QueueDeviceCommand(SYS_INPUT, 0);
    ASSERT_TRUE(PumpUntil([&] { return !ctrl->Connected(); }, 30s));
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    bool failureShown = false;
    for (const auto &b : boxes.Shown())
        failureShown |= b.text == g_strWifiFailEn;
    EXPECT_TRUE(failureShown);
}

TEST_F(LinkE2E, UsbConnectAndRemoval)
{
    ctrl->OnAutoConnect();
    ASSERT_TRUE(PumpUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }));
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    // Another HID device leaving changes nothing.
    ctrl->OnDeviceChange(false, "/dev/hidraw99");
    EXPECT_TRUE(ctrl->Connected());
    hid.Unplug();
    ctrl->OnDeviceChange(false, zksim::HidDevice::kPath);
    EXPECT_FALSE(ctrl->Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(boxes.Shown().back().text, g_strUsbFailEn);
}

TEST_F(LinkE2E, FailedUsbMenuChoiceLeavesNoLinkMode)
{
    hid.SetAccessDenied(true);
    ctrl->OnUsbMenuItem();
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_NE(boxes.Shown().back().text.find("70-zk470.rules"), std::string::npos) << boxes.Shown().back().text;
    // So the network link is not blocked.
    backend->StartPing();
    ASSERT_TRUE(PumpUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }));
    EXPECT_EQ(g_nLinkMode.load(), LINK_TCP);
}

TEST_F(LinkE2E, ConnectButtonOffersUsbAndWifi)
{
    hid.Unplug();
    backend->StartPing();
    ASSERT_TRUE(PumpUntil([] { return g_bDeviceOnline.load(); }))
        << "mode " << g_nLinkMode.load() << " connected " << ctrl->Connected() << " boxes " << boxes.Shown().size()
        << " requests " << dev.RequestCount() << " reachable " << backend->NetReachable();
    ctrl->OnConnectButton();  // disconnect
    EXPECT_FALSE(ctrl->Connected());
    ASSERT_TRUE(backend->NetReachable()) << "a closed network link leaves the device marked reachable";
    hid.Replug();
    linkView.popupChoice = 0;
    ctrl->OnConnectButton();
    ASSERT_EQ(linkView.lastPopup.size(), 2u);
    EXPECT_EQ(linkView.lastPopup[0].second, "USB");
    EXPECT_EQ(linkView.lastPopup[1].second, "WIFI");
    EXPECT_FALSE(ctrl->Connected());
}

namespace {

// A firmware file with a full DSP image and an MCU image of mcuBytes.
std::string WriteCombinedFile(std::size_t mcuBytes)
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    const std::string dir = out ? out : "/tmp";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/e2e_firmware_" + std::to_string(::getpid()) + ".bin";
    std::vector<std::uint8_t> b = {'W', 'D', 'S', 'P'};
    for (std::size_t i = 0; i < kDspImageLength; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 13));
    b.push_back(0);
    for (char c : std::string("WMCU"))
        b.push_back(static_cast<std::uint8_t>(c));
    for (std::size_t i = 0; i < mcuBytes; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    return path;
}

}  // namespace

// A full update (DSP and MCU) over TCP, then one with each stage failing: every failure ends in
// the update-failure message and a closed link, never in a hang or a reported success.
TEST_F(LinkE2E, FirmwareUpdateOverTcpSucceedsAndEachStageFailureIsReported)
{
    const std::string path = WriteCombinedFile(500);
    hid.Unplug();
    for (int failStage : {0, HEXApply, IAP_DSP_REQUEST_INFO, IAP_DSP_DATA, HEXStart, HEXData, HEXEnd}) {
        boxes.Clear();
        dev.ClearRequests();
        FirmwareFile f;
        ASSERT_EQ(FirmwareFile::Load(path, f), FirmwareFile::Result::Ok);
        backend->Engine().Load(f);
        g_nLinkMode = LINK_TCP;
        backend->StartPing();
        ASSERT_TRUE(PumpUntil([&] { return backend->NetReachable(); }));
        ASSERT_TRUE(ctrl->OpenNetworkForUpdate());
        ASSERT_TRUE(PumpUntil(
            [&] {
                if (failStage)
                    dev.FailStage(static_cast<std::uint8_t>(failStage), zksim::Device::StageFault::Ignore);
                return !ctrl->Connected();
            },
            120s))
            << failStage;
        const auto shown = boxes.Shown();
        ASSERT_FALSE(shown.empty()) << failStage;
        EXPECT_EQ(shown.front().text, failStage ? "The firmware update failed" : "Update successfully") << failStage;
        EXPECT_EQ(g_bUpdating.load(), 0);
        const auto stages = dev.Stages();
        if (!failStage) {
            EXPECT_EQ(std::count(stages.begin(), stages.end(), IAP_DSP_DATA), 5958);
            EXPECT_EQ(stages.back(), HEXEnd);
        }
    }
}

// The same update over USB: the device restarts after the start stage and is opened again.
TEST_F(LinkE2E, FirmwareUpdateOverUsb)
{
    const std::string path = WriteCombinedFile(100);
    for (int failStage : {0, IAP_DSP_DATA}) {
        boxes.Clear();
        dev.ClearRequests();
        FirmwareFile f;
        ASSERT_EQ(FirmwareFile::Load(path, f), FirmwareFile::Result::Ok);
        backend->Engine().Load(f);
        g_nLinkMode = LINK_USB;
        ASSERT_TRUE(ctrl->OpenUsbForUpdate(zksim::HidDevice::kPath));
        ASSERT_TRUE(PumpUntil(
            [&] {
                if (failStage)
                    dev.FailStage(static_cast<std::uint8_t>(failStage), zksim::Device::StageFault::Ignore);
                return !ctrl->Connected();
            },
            120s))
            << failStage;
        const auto shown = boxes.Shown();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.front().text, failStage ? "The firmware update failed" : "Update successfully");
        EXPECT_GE(hid.Opens(), 2) << "reopened after the start stage";
        const auto stages = dev.Stages();
        if (!failStage) {
            EXPECT_EQ(std::count(stages.begin(), stages.end(), IAP_DSP_DATA), 5958);
            EXPECT_EQ(std::count(stages.begin(), stages.end(), HEXData), 2);
            EXPECT_EQ(stages.back(), HEXEnd);
        }
    }
}

TEST_F(LinkE2E, ArrivalOpensOnlyTheProductsDevice)
{
    ctrl->OnDeviceChange(true, "/dev/hidraw-keyboard");
    EXPECT_FALSE(ctrl->Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_NONE);
    ctrl->OnDeviceChange(true, zksim::HidDevice::kPath);
    EXPECT_TRUE(ctrl->Connected());
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    ASSERT_TRUE(PumpUntil([] { return g_bDeviceOnline.load() != 0; }));
}
