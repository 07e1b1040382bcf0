// The synchronisation operations and the connection logic, driven without a display: the frames
// they queue, the link state and the messages shown.
#include "app/DeviceSync.h"
#include "app/LinkController.h"

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "link/LinkMessages.h"
#include "model/ModeItemTable.h"
#include "tests/app/SyncTestKit.h"
#include "tests/sim/DeviceSim.h"
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

// The link answers queued requests one at a time: the head goes out and this is its reply.
struct StatusLink {
    CKTVCommand &command;
    CRecordingMessageTarget notices;
    explicit StatusLink(CKTVCommand &c) : command(c) { command.SetOwner(&notices); }
    ~StatusLink() { command.SetOwner(nullptr); }
    // The device answers the head: an input write with its acknowledgement.
    void AckHead()
    {
        const zksim::Bytes ack = zksim::BuildFrame(REPLY_ACK, 0, OBJ_SYSTEM, SYS_INPUT, 0, {});
        command.Assemble(ack.data(), int(ack.size()));
    }
    // A status request is queued, sent once everything before it was answered, and answered with
    // the input the device plays; the notice waits in the view's queue, returned here.
    CRecordingMessageTarget::Message Status(int mode)
    {
        command.Add(BuildSystemRequestFrame(SYS_STATUS, 0));
        return AnswerStatus(mode);
    }
    // Answers what is queued up to the first status request, then that request.
    CRecordingMessageTarget::Message AnswerStatus(int mode)
    {
        while (command.GetFront() && command.GetFront()->Frame()[frame::kOffChannel] != SYS_STATUS)
            AckHead();
        zksim::Bytes payload(15, 0);
        payload[14] = std::uint8_t(mode);
        const zksim::Bytes reply = zksim::BuildFrame(REPLY_DATA, 0, OBJ_SYSTEM, SYS_STATUS, 0, payload);
        command.Assemble(reply.data(), int(reply.size()));
        return notices.MessagesOf(WM_DEV_STATUS_RECEIVED).back();
    }
};

std::vector<int> MainSourceRow()
{
    return {std::begin(g_ModeItemTable.currentRow), std::end(g_ModeItemTable.currentRow)};
}

void Deliver(CDeviceSync &sync, const CRecordingMessageTarget::Message &m)
{
    sync.OnStatusReceived(m.wParam, int(m.lParam));
}

TEST_F(SyncRig, StatusInputModeIsValidated)
{
    StatusLink link(command);
    g_nInputGroupByte = 2;  // four inputs
    g_nSelInput = 0;
    struct Case {
        int mode;
        int expectSel;
    } cases[] = {{9, 0}, {0xFE, 0}, {4, 0}, {3, 3}};
    for (const Case &c : cases) {
        Deliver(sync, link.Status(c.mode));
        EXPECT_EQ(g_nSelInput.load(), c.expectSel) << c.mode;
    }
    sync.OnStatusReceived(StatusNotice{command.InputWritesQueued(), 1}.Pack(), 14);
    EXPECT_EQ(g_nSelInput.load(), 3) << "a short reply carries no input mode";
}

// Each status reply is judged by what it says and when it was asked for: one asked before the
// device answered the latest input write reports the input from before the choice and changes
// nothing, however many of them wait in the queue; a later one is the device's word.
TEST_F(SyncRig, StatusRepliesAskedBeforeTheInputWriteWasAnsweredChangeNothing)
{
    StatusLink link(command);
    g_nInputGroupByte = 0;
    g_nInputGroup = 0;
    g_nSelInput = 0;
    g_ModeItemTable.Init();
    std::vector<CRecordingMessageTarget::Message> backlog;
    for (int k = 0; k < 5; ++k)
        backlog.push_back(link.Status(0));  // posted, not yet handled
    // A status request already queued goes out before the write below: its reply is stale too.
    command.Add(BuildSystemRequestFrame(SYS_STATUS, 0));

    // The user picks AUX1: the page writes the input block and selects the row of AUX1.
    g_nSelInput = 3;
    g_nInputSource = 3;
    g_ModeItemTable.Select(3, 0);
    const std::vector<int> rowOfAux1 = MainSourceRow();
    sync.QueueDeviceCommand(SYS_INPUT, 0);
    backlog.push_back(link.AnswerStatus(0));

    for (const auto &m : backlog) {
        Deliver(sync, m);
        EXPECT_EQ(g_nSelInput.load(), 3);
        EXPECT_EQ(g_nInputSource.load(), 3);
        EXPECT_EQ(MainSourceRow(), rowOfAux1) << "a passed-over reply selects no row";
    }
    EXPECT_EQ(command.InputWritesDone(), 0u);

    // Asked after the write was answered: the device plays AUX1, nothing to follow.
    Deliver(sync, link.Status(3));
    EXPECT_EQ(command.InputWritesDone(), 1u);
    EXPECT_EQ(g_nSelInput.load(), 3);
    // Later the device goes to Hi.Level on its own: the program follows.
    Deliver(sync, link.Status(1));
    EXPECT_EQ(g_nSelInput.load(), 1);
    EXPECT_EQ(g_nInputSource.load(), 1);
    EXPECT_EQ(MainSourceRow(), (std::vector<int>{1, 0, 1, 1, 0, 0, 1})) << "the row of the input the device plays";

    // A write dropped with the queue (the link closed) holds nothing back afterwards.
    sync.QueueDeviceCommand(SYS_INPUT, 0);
    command.RemoveAll();
    Deliver(sync, link.Status(4));
    EXPECT_EQ(g_nSelInput.load(), 4);
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
        if (c.accepted) {
            EXPECT_EQ(g_strWifiIp.Get(), g_strDefaultWifiIp);
        }
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
