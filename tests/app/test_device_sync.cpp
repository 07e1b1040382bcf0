// The synchronisation operations and the connection logic, driven without a display: the frames
// they queue, the link state and the messages shown.
#include "app/DeviceSync.h"
#include "app/LinkController.h"

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "tests/app/SyncTestKit.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SyncRig : ::testing::Test {
    CKTVCommand command;
    LinkSession session;
    FakeHost host;
    CDeviceSync sync{command, session, host};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_TCP;
        session.connected = 1;
    }
};

}  // namespace

TEST_F(SyncRig, HandshakeThenConnectionReadOf19Frames)
{
    sync.QueueHandshake(0);
    EXPECT_EQ(g_bHelloPhase.load(), 1);
    auto hs = Drain(command);
    ASSERT_EQ(hs.size(), 2u);
    EXPECT_EQ(hs[0].channel, SYS_HELLO);
    EXPECT_EQ(hs[1].channel, SYS_VERSION);
    EXPECT_EQ(hs[0].cmd, CMD_READ);

    SetDeviceVersion("MPQX-DV1.07");
    sync.OnDeviceVersion();
    EXPECT_EQ(g_bDeviceOnline.load(), 1);
    const auto q = Drain(command);
    ASSERT_EQ(q.size(), 19u);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(q[i].index, i);
        EXPECT_EQ(q[i].sendNow, 1);
        EXPECT_EQ(q[i].cmd, CMD_READ);
    }
    for (int p = 1; p <= 6; ++p)
        EXPECT_EQ((std::pair{q[p - 1].channel, q[p - 1].preset}), (std::pair{int(SYS_NAME), p}));
    const int sys[] = {SYS_NAME, SYS_PRESET_NUMBER, SYS_INPUT, SYS_VOLUME, SYS_SPEAKERS};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(q[6 + i].channel, sys[i]);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(q[11 + c].type, OBJ_OUTPUT);
        EXPECT_EQ(q[11 + c].channel, c);
        EXPECT_EQ(q[11 + c].param, 'w');
        EXPECT_EQ(q[11 + c].preset, 0);
    }
    EXPECT_EQ(q[18].notify, 1);
    EXPECT_EQ(host.range, 18);
    EXPECT_EQ(g_bTransferring.load(), 1);
}

TEST_F(SyncRig, VersionMismatchesCloseTheLink)
{
    struct Case {
        const char *version;
        int boxes;
        const char *text;
    } cases[] = {
        {"MPQX-DV2.00", 1, "PPZ4_WV2.01 to PPZ4_WV2.99"},
        {"MPQX-DV0.50", 1, "MPZ4_WV1.01 to MPZ4_WV1.99"},
        {"OTHER-DV1.0", 0, nullptr},
        {"", 0, nullptr},
    };
    for (const Case &c : cases) {
        boxes.Clear();
        host.disconnects = 0;
        SetDeviceVersion(c.version);
        command.Add(BuildSystemRequestFrame(SYS_STATUS, 0));
        sync.OnDeviceVersion();
        EXPECT_EQ(host.disconnects, 1) << c.version;
        EXPECT_EQ(command.GetCount(), 0) << c.version;
        EXPECT_EQ(GetDeviceVersion(), std::string(11, ' ')) << c.version;
        const auto shown = boxes.Shown();
        ASSERT_EQ(static_cast<int>(shown.size()), c.boxes) << c.version;
        if (c.text) {
            EXPECT_NE(shown[0].text.find(c.text), std::string::npos) << shown[0].text;
            EXPECT_EQ(shown[0].code, -5);
        }
    }
}

TEST_F(SyncRig, SaveAsMachinePresetAndLoadedPresetFile)
{
    sync.StorePresetToDevice(3, 1);
    auto q = Drain(command);
    ASSERT_EQ(q.size(), 11u);
    EXPECT_EQ((std::pair{q[0].channel, q[0].preset}), (std::pair{int(SYS_NAME), 3}));
    EXPECT_EQ((std::pair{q[1].channel, q[1].preset}), (std::pair{int(SYS_NAME), 0}));
    EXPECT_EQ(q[2].channel, SYS_PRESET_NUMBER);
    EXPECT_EQ(q[2].payload[0], 3);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(q[3 + c].preset, 3);
        EXPECT_EQ(q[3 + c].index, 3 + c);
    }
    EXPECT_EQ(q[10].last, 1);
    EXPECT_EQ(host.fills, 1);
    EXPECT_EQ(host.range, 10);

    g_bMasterOn = 1;
    sync.StorePresetToDevice(0, 0);
    q = Drain(command);
    ASSERT_EQ(q.size(), 11u);
    EXPECT_EQ(q.front().channel, SYS_VOLUME);
    EXPECT_EQ(q.front().payload[6], 0);
    EXPECT_EQ(q.back().channel, SYS_VOLUME);
    EXPECT_EQ(q.back().payload[6], 1);
    EXPECT_EQ(host.range, 8);
}

TEST_F(SyncRig, ReadMachinePresetAndRecall)
{
    sync.ReadPresetFromDevice(4);
    auto q = Drain(command);
    ASSERT_EQ(q.size(), 11u);  // volume, 8 reads, name, volume
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(q[1 + c].preset, 4);
        EXPECT_EQ(q[1 + c].param, 0);
        EXPECT_EQ(q[1 + c].index, c);
    }
    EXPECT_EQ(q[8].notify, 1);
    EXPECT_EQ(q[9].channel, SYS_NAME);
    EXPECT_EQ(q[9].index, 7);
    EXPECT_EQ(g_nCurPreset.load(), 4);
    EXPECT_EQ(host.range, 7);

    sync.RecallDevicePreset(2);
    q = Drain(command);
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ((std::pair{q[0].channel, q[0].preset}), (std::pair{int(SYS_NAME), 2}));
    EXPECT_EQ(q[1].channel, SYS_PRESET_NUMBER);
    EXPECT_EQ(q[1].payload[0], 0);
}

TEST_F(SyncRig, PushAllPresetsQueues66FramesAndRestoresTheMaster)
{
    g_bMasterOn = 1;
    sync.PushAllPresetsToDevice();
    const auto q = Drain(command);
    ASSERT_EQ(q.size(), 66u);
    EXPECT_EQ(q[0].channel, SYS_VOLUME);
    EXPECT_EQ(q[0].payload[6], 0);
    EXPECT_EQ(q[1].channel, SYS_SPEAKERS);
    EXPECT_EQ(q[63].last, 1);
    EXPECT_EQ(q[64].channel, SYS_INPUT);
    EXPECT_EQ(q[65].channel, SYS_VOLUME);
    EXPECT_EQ(q[65].payload[6], 1);
    EXPECT_EQ(host.range, 62);
}

TEST_F(SyncRig, AllPresetsReadAndCommandsWithoutALink)
{
    EXPECT_EQ(sync.RequestAllPresets(), 1);
    auto q = Drain(command);
    ASSERT_EQ(q.size(), 48u);
    EXPECT_EQ(q.back().preset, 6);
    EXPECT_EQ(q.back().param, 'w');
    EXPECT_EQ(q.back().notify, 1);

    session.connected = 0;
    sync.QueueDeviceCommand(SYS_INPUT, 0);
    sync.SetPendingBlock5(1);
    EXPECT_EQ(command.GetCount(), 0);
    EXPECT_EQ(g_bSysBlock5Pending.load(), 0);
    EXPECT_EQ(sync.RequestAllPresets(), 0);
    EXPECT_EQ(host.failures, 1);

    // The factory reset without a link says so.
    sync.OnFactoryReset();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "No connection can be opened");
    EXPECT_EQ(boxes.Shown()[0].code, 2000);
}

TEST_F(SyncRig, FactoryResetIsReadBack)
{
    host.confirm = false;
    sync.OnFactoryReset();
    EXPECT_EQ(command.GetCount(), 0);
    host.confirm = true;
    sync.OnFactoryReset();
    const auto q = Drain(command);
    ASSERT_EQ(q.size(), 1u + 19u);
    EXPECT_EQ(q[0].channel, SYS_FACTORY_RESET);
    EXPECT_EQ(q[0].cmd, CMD_WRITE);
    EXPECT_EQ(q.back().type, OBJ_OUTPUT);
    EXPECT_EQ(q.back().notify, 1);
}

TEST_F(SyncRig, StatusInputModeIsValidatedAndStaleReportsAfterAChoiceArePassedOver)
{
    g_nInputGroupByte = 2;  // four inputs
    g_nSelInput = 0;
    struct Case {
        int mode;
        int expectSel;
    } cases[] = {{9, 0}, {-1, 0}, {4, 0}, {3, 3}};
    for (const Case &c : cases) {
        g_MeterLevels[14] = c.mode;
        sync.OnStatusReceived(15);
        EXPECT_EQ(g_nSelInput.load(), c.expectSel) << c.mode;
    }
    // Reports asked before the choice reached the device: a few are passed over, then the
    // device's word counts again.
    sync.SkipNextSourceChange();
    g_MeterLevels[14] = 2;
    for (int stale = 0; stale < 3; ++stale) {
        sync.OnStatusReceived(15);
        EXPECT_EQ(g_nSelInput.load(), 3) << stale;
    }
    sync.OnStatusReceived(15);
    EXPECT_EQ(g_nSelInput.load(), 2);
    // A report of the chosen input ends the wait at once.
    sync.SkipNextSourceChange();
    g_MeterLevels[14] = 2;
    sync.OnStatusReceived(15);
    g_MeterLevels[14] = 1;
    sync.OnStatusReceived(15);
    EXPECT_EQ(g_nSelInput.load(), 1);
}

TEST_F(SyncRig, WifiResetResultByLinkMode)
{
    struct Case {
        int mode, accepted;
        const char *text;
        int disconnects;
    } cases[] = {
        {LINK_USB, 1, "Load WIFI factory default success", 0},
        {LINK_USB, 0, "Load WIFI factory default failure", 0},
        {LINK_TCP, 1, "Connection failure!", 1},
        {LINK_NONE, 1, nullptr, 0},
    };
    for (const Case &c : cases) {
        boxes.Clear();
        host.disconnects = 0;
        g_nLinkMode = c.mode;
        g_strWifiIp = std::string("127.0.0.2");
        g_bTransferring = 1;
        sync.OnWifiResetDone(c.accepted);
        EXPECT_EQ(host.disconnects, c.disconnects) << c.mode;
        if (!c.text) {
            EXPECT_TRUE(boxes.Shown().empty());
            continue;
        }
        ASSERT_EQ(boxes.Shown().size(), 1u) << c.mode;
        EXPECT_EQ(boxes.Shown()[0].text, c.text);
        EXPECT_EQ(boxes.Shown()[0].code, 2000);
        if (c.accepted)
            EXPECT_EQ(g_strWifiIp.Get(), g_strDefaultWifiIp);
    }
}

TEST_F(SyncRig, WifiResetCommandWaitsForTheModulesAnswer)
{
    sync.QueueDeviceCommand(SYS_WIFI_RESET, 0);
    ASSERT_EQ(command.GetCount(), 1);
    EXPECT_EQ(command.GetFront()->GetNotifyMain(), 1);
    EXPECT_EQ(g_bTransferring.load(), 1);
    EXPECT_EQ(host.popups, 1);
}
