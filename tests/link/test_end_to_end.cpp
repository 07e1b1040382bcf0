// The real worker and transports against the simulated device: handshake, status polling, queued
// writes, and every injected fault ending in the link's own path, never in a hang, with no frame
// lost or sent more often than the retries allow.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "link/LinkWorker.h"
#include "link/Net_Socket.h"
#include "link/UsbHid.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimTcpServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Pending changes for the worker's scheduler: item writes, then the status request.
class Changes {
public:
    void AddItems(int count)
    {
        std::lock_guard lock(g_csLink);
        for (int i = 0; i < count; ++i)
            m_pending.push_back(m_count++);
    }
    std::unique_ptr<CSendData> Next()
    {
        if (m_pending.empty())
            return m_poll ? BuildSystemRequestFrame(SYS_STATUS, 0) : nullptr;
        const int i = m_pending.front();
        m_pending.pop_front();
        return BuildImageItemFrame(OBJ_OUTPUT, i % 8, (i / 8) % 31);  // a different frame for each i < 248
    }
    bool Empty() const
    {
        std::lock_guard lock(g_csLink);
        return m_pending.empty();
    }

    // Without polling an idle link sends nothing, so that a fault meets the next queued item.
    void SetPolling(bool poll)
    {
        std::lock_guard lock(g_csLink);
        m_poll = poll;
    }

private:
    std::deque<int> m_pending;
    bool m_poll = true;
    int m_count = 0;
};

class EndToEnd : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_pNotifyView = &view;
        cmd.SetOwner(&view);
        worker.SetTransport(LINK_USB, &usb);
        worker.SetTransport(LINK_TCP, &net);
        worker.SetNextChange([this] { return changes.Next(); });
        usb.SetReadLimits(600, 500);

        g_strWifiIp = "127.0.0.1";
        g_nWifiPort = server.Port();
        net.SetPinger([](const std::string &) { return true; });
        net.SetCheckPause(0);
        net.SetAdapterSource([this] {
            return std::vector<CNet_Socket::Adapter>{
                offSubnet ? CNet_Socket::Adapter{"192.0.2.20", "255.255.255.0"} : CNet_Socket::Adapter{"127.0.0.1", "255.0.0.0"}};
        });
    }
    void TearDown() override
    {
        worker.StopCommThread(true);
        net.Close();
        usb.CloseDevice();
        g_pNotifyView = nullptr;
        g_nLinkMode = LINK_NONE;
    }
    bool Tcp() const { return GetParam() == LINK_TCP; }

    // Opens the link as the view does: handshake queued under the lock, then the worker.
    void Open()
    {
        if (Tcp()) {
            std::atomic<bool> running{true};
            ASSERT_EQ(net.CheckConnection(running), 1);
            ASSERT_TRUE(net.Connect());
            g_nLinkMode = LINK_TCP;
        } else {
            ASSERT_TRUE(usb.OpenUsbLink());
        }
        {
            std::lock_guard lock(g_csLink);
            cmd.RemoveAll();
            g_bHelloPhase = 1;
            cmd.Add(BuildSystemRequestFrame(SYS_HELLO, 0));
            cmd.Add(BuildSystemRequestFrame(SYS_VERSION, 0));
            if (Tcp())
                g_bNetOpen = 1;
        }
        worker.StartCommThread();
    }
    std::map<std::vector<std::uint8_t>, int> ItemWrites() const
    {
        std::map<std::vector<std::uint8_t>, int> seen;
        for (const zksim::Frame &f : device.Requests())
            if (f.cmd == CMD_WRITE)
                ++seen[f.raw];
        return seen;
    }

    std::atomic<bool> offSubnet{false};
    CMemorySettings settings;
    ScopedAppSettings scoped{settings};
    zksim::Device device;
    zksim::TcpServer server{device};
    zksim::HidDevice hid{device};
    CRecordingMessageTarget view;
    CKTVCommand cmd;
    CUsbHid usb{hid};
    CNet_Socket net;
    Changes changes;
    CLinkWorker worker{cmd};
};

TEST_P(EndToEnd, HandshakeThenStatusPolling)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    EXPECT_EQ(GetDeviceVersion(), "MPQX-DV1.00");
    EXPECT_EQ(g_bHelloPhase.load(), 0);
    ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED, 3));
    EXPECT_EQ(view.MessagesOf(WM_DEV_STATUS_RECEIVED)[0].lParam, 15);
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
}

TEST_P(EndToEnd, QueuedWritesArriveOnceAndInOrderDespiteDamagedAndLateReplies)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    device.SetReplyDelay(100);  // late, but within every limit
    device.SetSplit(Tcp() ? 7 : 0);
    changes.AddItems(12);
    const auto deadline = Clock::now() + 60s;  // bounds a failing wait only
    while (!changes.Empty() && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    device.SetReplyDelay(0);
    device.SetSplit(0);
    ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED, view.Count(WM_DEV_STATUS_RECEIVED) + 1));
    auto writes = ItemWrites();
    EXPECT_EQ(writes.size(), 12u);
    std::vector<std::vector<std::uint8_t>> order;
    for (const zksim::Frame &f : device.Requests())
        if (f.cmd == CMD_WRITE)
            order.push_back(f.raw);
    ASSERT_EQ(order.size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(order[i], BuildImageItemFrame(OBJ_OUTPUT, i % 8, (i / 8) % 31)->Frame()) << i;
    for (const auto &[frame, count] : writes)
        EXPECT_EQ(count, 1);

    // Replies behind a notice frame in the same chunk: nothing is sent twice.
    device.JoinNext(3);
    changes.AddItems(3);
    while (!changes.Empty() && Clock::now() < deadline + 60s)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED, view.Count(WM_DEV_STATUS_RECEIVED) + 1));
    writes = ItemWrites();
    EXPECT_EQ(writes.size(), 15u);
    for (const auto &[frame, count] : writes)
        EXPECT_EQ(count, 1);

    // A damaged reply: over TCP the receive time-out reconnects and the item is sent a second time;
    // over USB the missing answer fails the link. Never a third time, and nothing is lost.
    // The link goes quiet first, so that the damage meets the item and not a status request.
    changes.SetPolling(false);
    const auto quiet = Clock::now() + 60s;
    const auto queueEmpty = [this] {
        std::lock_guard lock(g_csLink);
        return cmd.GetCount() == 0;
    };
    while (!queueEmpty() && Clock::now() < quiet)
        std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(queueEmpty());
    device.CorruptNext(1);
    changes.AddItems(1);
    changes.SetPolling(true);  // the item goes before any status request
    if (Tcp()) {
        ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED, view.Count(WM_DEV_STATUS_RECEIVED) + 1, 60s));
        EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
    } else {
        ASSERT_TRUE(view.WaitFor(WM_LINK_ERROR, 1, 60s));
        worker.StopCommThread(true);
    }
    writes = ItemWrites();
    EXPECT_EQ(writes.size(), 16u);
    int twice = 0;
    for (const auto &[frame, count] : writes) {
        EXPECT_LE(count, 2);
        twice += count == 2;
    }
    EXPECT_LE(twice, 1);
    if (Tcp()) {
        EXPECT_EQ(twice, 1);
    }
}

TEST_P(EndToEnd, RepliesBehindAFalseHeaderInNoiseAreStillRead)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    // Every reply of a while comes behind noise that holds a false header: none may be lost to it,
    // which would cost a time-out and a second sending (TCP) or the link (USB).
    device.FalseStartNext(1000);
    changes.AddItems(3);
    const auto deadline = Clock::now() + 10s;
    while (ItemWrites().size() < 3 && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(ItemWrites().size(), 3u);
    ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED, view.Count(WM_DEV_STATUS_RECEIVED) + 2, 5s));
    device.FalseStartNext(0);
    for (const auto &[frame, count] : ItemWrites())
        EXPECT_EQ(count, 1);
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
}

TEST_P(EndToEnd, RefusedItemIsSentAgainAtOnceAndFailsOnlyWhenItsAttemptsAreUsedUp)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    changes.SetPolling(false);
    const auto queued = [this] {
        std::lock_guard lock(g_csLink);
        return cmd.GetCount() + (changes.Empty() ? 0 : 1);
    };
    const auto drained = [&] {
        const auto deadline = Clock::now() + 5s;
        while (queued() > 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        return queued() == 0;
    };
    ASSERT_TRUE(drained());  // a status request in flight is answered

    // One refusal: the item goes out again on the next step and is taken; the link stays up, on
    // the same connection.
    device.RefuseNext(1);
    changes.AddItems(1);
    ASSERT_TRUE(drained());
    ASSERT_EQ(ItemWrites().size(), 1u);
    EXPECT_EQ(ItemWrites().begin()->second, 2);
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
    if (Tcp()) {
        EXPECT_EQ(server.Connections(), 1);
    }

    // Refused on both attempts it may have: then, and only then, the link error.
    device.RefuseNext(2);
    changes.AddItems(1);
    ASSERT_TRUE(view.WaitFor(WM_LINK_ERROR, 1, 5s));
    const auto writes = ItemWrites();
    ASSERT_EQ(writes.size(), 2u);
    for (const auto &[frame, count] : writes)
        EXPECT_EQ(count, 2);
}

TEST_P(EndToEnd, SilentDeviceEndsInALinkErrorAndTheStopDoesNotHang)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    offSubnet = true;
    device.SetSilent(true);
    ASSERT_TRUE(view.WaitFor(WM_LINK_ERROR, 1, 5s));
    const auto t0 = Clock::now();
    worker.StopCommThread(true);
    EXPECT_LT(Clock::now() - t0, 3000ms);  // at most the step in progress, whose waits are bounded
    EXPECT_FALSE(worker.Exists());
}

TEST_P(EndToEnd, DroppedConnectionOrUnpluggedDevice)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED));
    device.CloseAfter(1);
    if (Tcp()) {
        // The step reconnects by itself and polling goes on.
        const int before = view.Count(WM_DEV_STATUS_RECEIVED);
        ASSERT_TRUE(view.WaitFor(WM_DEV_STATUS_RECEIVED, before + 3, 8s));
        EXPECT_GE(server.Connections(), 2);
        EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
    } else {
        ASSERT_TRUE(view.WaitFor(WM_LINK_ERROR, 1, 5s));
    }
}

TEST_P(EndToEnd, EmptyDataReplyStopsNormalTraffic)
{
    Open();
    ASSERT_TRUE(view.WaitFor(WM_DEV_VERSION_RECEIVED));
    device.SetNeedsFirmware(true);
    ASSERT_TRUE(view.WaitFor(WM_DEV_NEEDS_FIRMWARE));
    std::this_thread::sleep_for(50ms);
    const std::size_t requests = device.RequestCount();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(device.RequestCount(), requests);
    EXPECT_FALSE(worker.IsEventSet(CLinkWorker::kNormalTraffic));
}

INSTANTIATE_TEST_SUITE_P(Transports, EndToEnd, ::testing::Values(LINK_USB, LINK_TCP),
                         [](const auto &info) { return info.param == LINK_USB ? "Usb" : "Tcp"; });

}  // namespace
