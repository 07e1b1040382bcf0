// The TCP transport against the simulated Wi-Fi module on 127.0.0.1, and the reachability check.

#include "protocol/CommandFrame.h"
#include "link/IcmpEcho.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "link/Net_Socket.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimTcpServer.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

TEST(NetSubnet, FullMaskComparison)
{
    struct Case {
        const char *mask, *adapter, *device;
        bool same;
    } cases[] = {
        {"255.255.255.0", "192.0.2.20", "192.0.2.1", true},
        {"255.255.255.0", "192.0.3.20", "192.0.2.1", false},
        {"255.255.0.0", "192.0.3.20", "192.0.2.1", true},
        {"255.255.240.0", "198.51.100.7", "198.51.96.1", true},   // same /20
        {"255.255.240.0", "198.51.112.7", "198.51.100.254", false},  // bits of the third octet differ
        {"255.0.0.0", "127.0.0.1", "127.0.0.1", true},
        {"0.0.0.0", "192.0.2.20", "192.0.2.1", false},  // no mask: nothing compared, no match
        {"255.255.255.0", "192.0.2.20", "not an address", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CNet_Socket::SameSubnet(c.mask, c.adapter, c.device), c.same) << c.mask << " " << c.adapter;
}

TEST(NetSubnet, LoopbackIsAmongTheSystemAdapters)
{
    bool loopback = false;
    for (const CNet_Socket::Adapter &a : CNet_Socket::SystemAdapters())
        loopback = loopback || CNet_Socket::SameSubnet(a.mask, a.address, "127.0.0.1");
    EXPECT_TRUE(loopback);
}

TEST(IcmpEcho, PingOutputNeedsATtlMark)
{
    EXPECT_TRUE(CIcmpEcho::OutputHasReply("Reply from 192.0.2.1: bytes=32 time<1ms TTL=64"));
    EXPECT_TRUE(CIcmpEcho::OutputHasReply("64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.04 ms"));
    EXPECT_FALSE(CIcmpEcho::OutputHasReply("Request timed out."));
    EXPECT_FALSE(CIcmpEcho::OutputHasReply(""));
}

TEST(IcmpEcho, LoopbackAnswers)
{
    CIcmpEcho::Method used = CIcmpEcho::Method::None;
    const bool ok = CIcmpEcho::Ping("127.0.0.1", 2000, &used);
    if (!ok && used == CIcmpEcho::Method::Program)
        GTEST_SKIP() << "no ICMP socket allowed and no ping program here";
    EXPECT_TRUE(ok);
    EXPECT_FALSE(CIcmpEcho::Ping("", 100));
}

class NetLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_pNotifyView = &view;
        g_strWifiIp = "127.0.0.1";
        g_nWifiPort = server.Port();
        g_nLinkMode = LINK_TCP;
        net.SetPinger([](const std::string &) { return true; });
        net.SetAdapterSource([this] { return adapters; });
        net.SetCheckPause(0);
        cmd.SetOwner(&view);
        ASSERT_EQ(net.CheckConnection(running), 1);
        ASSERT_TRUE(net.Connect());
        g_bNetOpen = 1;
    }
    void TearDown() override
    {
        net.Close();
        g_pNotifyView = nullptr;
        g_nLinkMode = LINK_NONE;
    }
    std::unique_ptr<CSendData> Status() { return BuildSystemRequestFrame(SYS_STATUS, 0); }
    void Step()
    {
        {
            std::lock_guard lock(g_csLink);
            net.NormalStep(cmd, [this] { return Status(); });
        }
        net.AfterStep(cmd, [](int ms) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 50)));
            return true;
        });
    }

    std::vector<CNet_Socket::Adapter> adapters{{"127.0.0.1", "255.0.0.0"}};
    std::atomic<bool> running{true};
    zksim::Device device;
    zksim::TcpServer server{device};
    CRecordingMessageTarget view;
    CKTVCommand cmd;
    CNet_Socket net;
};

TEST_F(NetLink, IdleStepsAlternateBetweenQueueingAndPollingTheStatus)
{
    Step();  // empty queue: only queues the status request
    EXPECT_EQ(cmd.GetCount(), 1);
    EXPECT_EQ(device.RequestCount(), 0u);
    Step();  // writes it and reads the answer
    EXPECT_EQ(cmd.GetCount(), 0);
    ASSERT_EQ(device.RequestCount(), 1u);
    EXPECT_EQ(device.Requests()[0].channel, SYS_STATUS);
    EXPECT_EQ(view.Count(WM_DEV_STATUS_RECEIVED), 1);
}

TEST_F(NetLink, ReplySplitIntoChunksAndJoinedBehindANoticeIsAssembled)
{
    device.SetSplit(5);
    Step();
    Step();
    EXPECT_EQ(cmd.GetCount(), 0);
    device.SetSplit(0);
    device.JoinNext(1);
    Step();
    Step();
    EXPECT_EQ(cmd.GetCount(), 0);
    EXPECT_EQ(device.RequestCount(), 2u);  // nothing sent twice
    EXPECT_EQ(view.Count(WM_DEV_STATUS_RECEIVED), 2);
}

TEST_F(NetLink, RefusedItemIsSentTwiceThenTheLinkFails)
{
    device.RefuseNext(2);
    Step();  // queue
    Step();  // refused: the step ends on the refusal, on the same connection
    EXPECT_EQ(cmd.GetCount(), 1);
    EXPECT_TRUE(cmd.GetFront()->IsNaked());
    EXPECT_FALSE(net.ReconnectPending());
    Step();  // second and last send, refused again
    Step();  // third attempt: not sent
    EXPECT_EQ(device.RequestCount(), 2u);
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(view.MessagesOf(WM_LINK_ERROR).at(0).lParam, 0);
    EXPECT_EQ(g_bNetOpen.load(), 0);
}

TEST_F(NetLink, EveryConnectionStartsWithTheOneSecondReceiveTimeOut)
{
    // A firmware update raises the receive time-out per stage (up to 50 s for the erase).
    ASSERT_TRUE(net.SetRecvTimeout(50000));
    net.Close();
    ASSERT_TRUE(net.Connect());
    EXPECT_EQ(net.GetRecvTimeout(), 1000);
    device.SetSilent(true);
    int count = 0;
    EXPECT_EQ(net.Receive(count), NET_TIMEDOUT);
}

TEST_F(NetLink, SilenceOffTheSubnetEndsInALinkError)
{
    device.SetSilent(true);
    Step();
    adapters = {{"192.0.2.20", "255.255.255.0"}};
    Step();
    EXPECT_EQ(view.MessagesOf(WM_LINK_ERROR).at(0).lParam, 0);
    EXPECT_EQ(g_bNetOpen.load(), 0);
}

TEST_F(NetLink, ClosedConnectionIsNoticedAtOnce)
{
    Step();
    device.CloseAfter(1);
    device.SetSilent(true);
    adapters = {{"192.0.2.20", "255.255.255.0"}};
    const auto t0 = Clock::now();
    Step();
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(900));  // no receive spinning until 4 s
    EXPECT_EQ(view.MessagesOf(WM_LINK_ERROR).at(0).lParam, 2);

    // On the subnet the step reconnects, and the half-frame of the dead connection is forgotten.
    view.Clear();
    adapters = {{"127.0.0.1", "255.0.0.0"}};
    g_bNetOpen = 1;
    device.SetSilent(false);
    const zksim::Bytes ack = zksim::BuildFrame(REPLY_ACK, 0, OBJ_SYSTEM, SYS_STATUS, 0, {});
    cmd.OnNetData(ack.data(), 6);
    device.CloseAfter(1);
    device.SetSilent(true);
    Step();
    EXPECT_FALSE(cmd.IsAssembling());
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
    EXPECT_TRUE(net.IsConnected());
}

TEST(NetConnect, NeedsAReachableDeviceAndAListeningPort)
{
    g_strWifiIp = "127.0.0.1";
    CNet_Socket net;
    net.SetAdapterSource([] { return std::vector<CNet_Socket::Adapter>{{"127.0.0.1", "255.0.0.0"}}; });
    net.SetCheckPause(0);
    bool answers = false;
    net.SetPinger([&](const std::string &) { return answers; });
    std::atomic<bool> running{true};
    zksim::Device device;
    auto server = std::make_unique<zksim::TcpServer>(device);
    g_nWifiPort = server->Port();

    EXPECT_FALSE(net.Connect());  // never answered a ping
    answers = true;
    net.CheckConnection(running);
    EXPECT_TRUE(net.Connect());
    server.reset();  // the port closes
    EXPECT_FALSE(net.Connect());
    EXPECT_FALSE(net.IsConnected());
    int count = 0;
    EXPECT_EQ(net.Receive(count), 0);
    EXPECT_EQ(count, -1);
}

TEST(NetReachability, OpenNetworkIsPostedOncePerChangeToReachable)
{
    // The view connects as soon as it hears of the device, and Connect() needs the reachable mark.
    struct View : CRecordingMessageTarget {
        const CNet_Socket *net = nullptr;
        bool markedWhenPosted = true;
        void PostMessage(unsigned msg, WPARAM w, LPARAM l) override
        {
            markedWhenPosted = markedWhenPosted && net->IsReachable();
            CRecordingMessageTarget::PostMessage(msg, w, l);
        }
    } view;
    g_pNotifyView = &view;
    g_strWifiIp = "192.0.2.1";
    CNet_Socket net;
    view.net = &net;
    std::vector<CNet_Socket::Adapter> adapters{{"192.0.2.20", "255.255.255.0"}};
    int pings = 0;
    net.SetAdapterSource([&] { return adapters; });
    net.SetPinger([&](const std::string &) { return ++pings >= 2; });
    net.SetCheckPause(0);
    std::atomic<bool> running{true};

    EXPECT_EQ(net.CheckConnection(running), 0);  // no answer yet
    EXPECT_EQ(net.CheckConnection(running), 1);
    EXPECT_EQ(net.CheckConnection(running), 1);  // stays reachable without pinging
    EXPECT_EQ(pings, 2);
    adapters = {{"192.0.3.20", "255.255.255.0"}};
    EXPECT_EQ(net.CheckConnection(running), 0);
    adapters = {{"192.0.2.20", "255.255.255.0"}};
    EXPECT_EQ(net.CheckConnection(running), 1);
    EXPECT_EQ(view.Count(WM_LINK_OPEN_NETWORK), 2);
    EXPECT_TRUE(view.markedWhenPosted);

    // A stopped check gives up before it pings.
    running = false;
    adapters = {{"192.0.3.20", "255.255.255.0"}};
    net.CheckConnection(running);
    adapters = {{"192.0.2.20", "255.255.255.0"}};
    EXPECT_EQ(net.CheckConnection(running), 0);
    EXPECT_EQ(pings, 3);
    g_pNotifyView = nullptr;
}

TEST(NetReachability, TimerRunsChecksUntilStopped)
{
    g_strWifiIp = "192.0.2.1";
    CNet_Socket net;
    std::atomic<int> pings{0};
    net.SetAdapterSource([] { return std::vector<CNet_Socket::Adapter>{{"192.0.2.20", "255.255.255.0"}}; });
    net.SetPinger([&](const std::string &) {
        ++pings;
        return false;
    });
    net.StartPing();
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (pings.load() < 1 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto t0 = Clock::now();
    net.StopPing(true);  // cuts the check's one-second pause short
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(500));
    const int after = pings.load();
    EXPECT_GE(after, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(pings.load(), after);
}

}  // namespace
