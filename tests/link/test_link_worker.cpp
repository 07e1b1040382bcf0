// The worker thread's events, steps, pause, start, stop and suspend, with a scripted transport.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "link/LinkWorker.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Queues from the scheduler when the queue is empty, otherwise "sends" the head and answers it.
class FakeTransport : public ILinkTransport {
public:
    bool IsUsable() const override { return g_bNetOpen.load() != 0; }
    void NormalStep(CKTVCommand &cmd, const NextChangeFn &next) override
    {
        ++steps;
        if (!cmd.GetFront()) {
            if (auto f = next())
                cmd.Add(std::move(f));
            ++queued;
            return;
        }
        ++writing;
        std::this_thread::sleep_for(std::chrono::milliseconds(stepMs.load()));
        ++written;
        cmd.PopFront();
    }
    std::atomic<int> steps{0}, queued{0}, writing{0}, written{0}, stepMs{0};
};

class Worker : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetLinkState();
        g_nLinkMode = LINK_TCP;
        g_bNetOpen = 1;
        worker.SetTransport(LINK_TCP, &transport);
        worker.SetNextChange([] { return BuildSystemRequestFrame(SYS_STATUS, 0); });
    }
    void TearDown() override
    {
        worker.StopCommThread(true);
        g_nLinkMode = LINK_NONE;
        ResetLinkState();
    }
    template <class Pred> bool WaitUntil(Pred pred, std::chrono::milliseconds limit = 3s)
    {
        const auto end = Clock::now() + limit;
        while (!pred()) {
            if (Clock::now() > end)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    CKTVCommand cmd;
    FakeTransport transport;
    CLinkWorker worker{cmd};
};

TEST_F(Worker, IdleLinkAlternatesQueueingAndWritingTheStatusRequest)
{
    EXPECT_EQ(worker.StartCommThread(), 1);
    EXPECT_EQ(g_bUsbOpen.load(), 1);
    EXPECT_TRUE(worker.IsEventSet(CLinkWorker::kNormalTraffic));
    ASSERT_TRUE(WaitUntil([&] { return transport.written.load() >= 3; }));
    worker.StopCommThread(true);
    EXPECT_LE(std::abs(transport.queued.load() - transport.written.load()), 1);
    EXPECT_FALSE(worker.Exists());
    EXPECT_FALSE(worker.IsEventSet(CLinkWorker::kNormalTraffic));
    EXPECT_EQ(g_bUsbOpen.load(), 0);
}

TEST_F(Worker, StepsAreSpacedByThePause)
{
    worker.StartCommThread();
    std::this_thread::sleep_for(200ms);
    worker.StopCommThread(true);
    // 5 ms between steps: at most 200 / 5 steps, and the worker did not idle either.
    EXPECT_LE(transport.steps.load(), 41);
    EXPECT_GE(transport.steps.load(), 5);
}

TEST_F(Worker, StopWaitsForTheStepInProgressAndStopWithoutWorkerReturnsAtOnce)
{
    transport.stepMs = 300;
    worker.StartCommThread();
    ASSERT_TRUE(WaitUntil([&] { return transport.writing.load() >= 1; }));  // inside the write/read half now
    worker.StopCommThread(true);
    EXPECT_EQ(transport.written.load(), 1);
    EXPECT_EQ(cmd.GetCount(), 0);  // the step finished before the stop returned

    const auto t0 = Clock::now();
    EXPECT_EQ(worker.StopCommThread(true), 1);
    EXPECT_EQ(worker.StopCommThread(false), 0);
    EXPECT_LT(Clock::now() - t0, 50ms);
}

TEST_F(Worker, UnusableNetworkStepsNothingAndHoldsNoLock)
{
    g_bNetOpen = 0;
    worker.StartCommThread();
    std::this_thread::sleep_for(60ms);
    {
        std::unique_lock lock(g_csLink, std::try_to_lock);
        EXPECT_TRUE(lock.owns_lock());
    }
    EXPECT_EQ(transport.steps.load(), 0);
}

TEST_F(Worker, NeedsFirmwareOrCancelledUpdateStopsNormalTraffic)
{
    for (std::atomic<int> *flag : {&g_bNeedsFirmware, &g_bUpdateCancelled}) {
        worker.StartCommThread();
        ASSERT_TRUE(WaitUntil([&] { return transport.steps.load() >= 1; }));
        *flag = 1;
        ASSERT_TRUE(WaitUntil([&] { return !worker.IsEventSet(CLinkWorker::kNormalTraffic); }));
        const int steps = transport.steps.load();
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(transport.steps.load(), steps);
        worker.StopCommThread(true);
        *flag = 0;
    }
}

TEST_F(Worker, UpdateTrafficRunsTheUpdateStepWithoutTheLockUntilFinished)
{
    std::atomic<int> updateSteps{0};
    std::atomic<bool> lockFree{true};
    std::atomic<bool> go{false};
    worker.SetUpdateStep([&](int mode) {
        while (!go.load())  // hold the first step until the test has seen the event set
            std::this_thread::sleep_for(1ms);
        EXPECT_EQ(mode, LINK_TCP);
        std::thread probe([&] {
            std::unique_lock lock(g_csLink, std::try_to_lock);
            if (!lock.owns_lock())
                lockFree = false;
        });
        probe.join();
        if (++updateSteps == 3)
            g_bUpdateFinished = 1;
    });
    g_bUpdating = 1;
    worker.StartCommThread();
    EXPECT_TRUE(worker.IsEventSet(CLinkWorker::kUpdateTraffic));
    go = true;
    ASSERT_TRUE(WaitUntil([&] { return !worker.IsEventSet(CLinkWorker::kUpdateTraffic); }));
    EXPECT_EQ(updateSteps.load(), 3);
    EXPECT_TRUE(lockFree.load());
    EXPECT_EQ(transport.steps.load(), 0);
}

TEST_F(Worker, SuspendedWorkerIsEndedByTheStop)
{
    worker.StartCommThread();
    worker.SignalSuspend();
    ASSERT_TRUE(WaitUntil([&] { return !worker.IsResumed(); }));
    const int steps = transport.steps.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(transport.steps.load(), steps);
    EXPECT_EQ(worker.StopCommThread(true), 1);
    EXPECT_FALSE(worker.Exists());

    // A later start makes a new worker with fresh events.
    worker.StartCommThread();
    EXPECT_FALSE(worker.IsEventSet(CLinkWorker::kSuspend));
    ASSERT_TRUE(WaitUntil([&] { return transport.steps.load() > steps; }));
}

}  // namespace
