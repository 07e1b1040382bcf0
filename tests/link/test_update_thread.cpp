#include "link/UpData_Thread.h"

#include "platform/ViewServices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Ticks : IMessageTarget {
    std::mutex m;
    std::vector<std::pair<WPARAM, LPARAM>> got;
    void PostMessage(unsigned msg, WPARAM w, LPARAM l) override
    {
        if (msg != WM_UPDATE_POLL_TICK)
            return;
        std::lock_guard g(m);
        got.emplace_back(w, l);
    }
    std::size_t size()
    {
        std::lock_guard g(m);
        return got.size();
    }
};

}  // namespace

TEST(UpdatePollThread, TwentyOneTicksTheLastMarkedThenStops)
{
    Ticks owner;
    CUpData_Thread t(&owner);
    t.StartTimer(1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (t.IsRunning() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_FALSE(t.IsRunning());
    std::lock_guard g(owner.m);
    ASSERT_EQ(owner.got.size(), 21u);
    for (std::size_t i = 0; i < 21; ++i) {
        EXPECT_EQ(owner.got[i].first, i);
        EXPECT_EQ(owner.got[i].second, i == 20 ? 1 : 0);
    }
}

TEST(UpdatePollThread, StopEndsTheTickingAtOnce)
{
    Ticks owner;
    CUpData_Thread t(&owner);
    // A period of an hour: a stop that waited for the next tick would not return.
    t.StartTimer(3600 * 1000);
    t.StopTimer();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(owner.size(), 0u);
    t.StopTimer();  // idempotent
}
