// Window messages on Qt: posting from a worker thread arrives in order on the UI thread, sending
// is synchronous, tables are per receiver, and timers tick by their ids.

#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QWidget>

#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

QApplication &app() { return QtTestApp(); }

struct Received {
    unsigned msg;
    WPARAM w;
    LPARAM l;
    bool onUiThread;
};

TEST(WindowMessages, PostsFromWorkerArriveInOrderOnUiThread)
{
    app();
    QObject receiver;
    auto *table = CMessageTable::Ensure(&receiver);
    std::vector<Received> got;
    table->OnAny([&](unsigned msg, WPARAM w, LPARAM l) {
        got.push_back({msg, w, l, QThread::currentThread() == app().thread()});
        return LRESULT(0);
    });

    IMessageTarget *target = table;  // what the link holds
    constexpr int kCount = 500;
    std::thread worker([&] {
        for (int i = 0; i < kCount; ++i)
            target->PostMessage(WM_USER + 100 + (i % 3), WPARAM(i), LPARAM(-i));
    });
    worker.join();
    EXPECT_TRUE(got.empty()) << "posting must not run the handler on the poster's thread";

    ASSERT_TRUE(WaitUntil([&] { return int(got.size()) == kCount; }, 5000));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(got[i].msg, WM_USER + 100 + unsigned(i % 3));
        EXPECT_EQ(got[i].w, WPARAM(i));
        EXPECT_EQ(got[i].l, LPARAM(-i));
        EXPECT_TRUE(got[i].onUiThread);
    }
}

TEST(WindowMessages, SendIsSynchronousAndTablesArePerReceiver)
{
    app();
    QWidget parent, other;
    auto *a = CMessageTable::Ensure(&parent);
    auto *b = CMessageTable::Ensure(&other);
    EXPECT_EQ(CMessageTable::Ensure(&parent), a) << "one table per receiver";
    a->On(WM_USER + 1, [](WPARAM w, LPARAM l) { return LRESULT(w + l); });
    b->On(WM_USER + 1, [](WPARAM, LPARAM) { return LRESULT(-1); });  // same number, other meaning

    EXPECT_EQ(SendMessageTo(&parent, WM_USER + 1, 2, 3), 5);
    EXPECT_EQ(SendMessageTo(&other, WM_USER + 1, 2, 3), -1);
    EXPECT_EQ(SendMessageTo(&parent, WM_USER + 2), 0) << "an unhandled number answers 0";
    QObject bare;
    EXPECT_EQ(SendMessageTo(&bare, WM_USER + 1), 0);
    EXPECT_FALSE(PostMessageTo(&bare, WM_USER + 1));

    // WM_COMMAND from a control carries its id and its handle number.
    auto *child = new QWidget(&parent);
    SetCtrlId(child, 2844);
    WPARAM seenW = 0;
    LPARAM seenL = 0;
    a->On(WM_COMMAND, [&](WPARAM w, LPARAM l) {
        seenW = w;
        seenL = l;
        return LRESULT(1);
    });
    EXPECT_EQ(NotifyParent(child), 1);
    EXPECT_EQ(LOWORD(seenW), 2844u);
    EXPECT_EQ(HIWORD(seenW), 0u);
    EXPECT_EQ(seenL, CtrlHandle(child));
    EXPECT_GT(seenL, 0);
    EXPECT_LE(seenL, 0xFFFF);
}

TEST(WindowMessages, PendingPostsToADestroyedReceiverAreDropped)
{
    app();
    int calls = 0;
    {
        QObject receiver;
        auto *table = CMessageTable::Ensure(&receiver);
        table->OnAny([&](unsigned, WPARAM, LPARAM) { return LRESULT(++calls); });
        table->PostMessage(WM_USER + 5);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

TEST(WndTimers, TicksByIdAndStops)
{
    app();
    QObject owner;
    std::vector<int> ticks;
    CWndTimers timers(&owner, [&](int id) { ticks.push_back(id); });
    EXPECT_TRUE(timers.SetTimer(300, 10));
    EXPECT_TRUE(timers.IsActive(300));
    EXPECT_EQ(timers.Period(300), 10);
    ASSERT_TRUE(WaitUntil([&] { return ticks.size() >= 2; }, 2000));
    EXPECT_EQ(ticks.front(), 300);
    timers.KillTimer(300);
    EXPECT_FALSE(timers.IsActive(300));
    const size_t n = ticks.size();
    QTest::qWait(50);
    EXPECT_EQ(ticks.size(), n);
    // A period beyond Qt's range (an unsigned view of a negative code) starts nothing.
    EXPECT_FALSE(timers.SetTimer(7, 4294967294LL));
    EXPECT_FALSE(timers.IsActive(7));
    EXPECT_FALSE(timers.SetTimer(7, -2));
    EXPECT_TRUE(timers.SetTimer(8, 0));
    EXPECT_EQ(timers.Period(8), 10) << "no busy timer";
}

TEST(WndTimers, ManualClockFiresDueTimersInTimeOrder)
{
    app();
    QObject owner;
    std::vector<std::pair<long long, int>> ticks;  // time, id
    CManualTimerClock clock;
    CWndTimers a(&owner), b(&owner);
    a.SetHandler([&](int id) {
        ticks.push_back({clock.Now(), id});
        if (id == 1 && clock.Now() == 60)
            b.KillTimer(2);  // a tick may stop another set's timer
    });
    b.SetHandler([&](int id) { ticks.push_back({clock.Now(), id}); });
    a.SetTimer(1, 30);
    b.SetTimer(2, 25);
    clock.Advance(24);
    EXPECT_TRUE(ticks.empty()) << "nothing falls due before its period";
    clock.Advance(76);
    const std::vector<std::pair<long long, int>> expected = {{25, 2}, {30, 1}, {50, 2}, {60, 1}, {90, 1}};
    EXPECT_EQ(ticks, expected);
    EXPECT_EQ(clock.Now(), 100);
    // A restarted timer counts its period from the restart.
    ticks.clear();
    a.SetTimer(1, 30);
    clock.Advance(29);
    EXPECT_TRUE(ticks.empty());
    {
        CWndTimers gone(&owner, [&](int id) { ticks.push_back({clock.Now(), id}); });
        gone.SetTimer(3, 10);
    }
    clock.Advance(1);  // the set that was destroyed is forgotten
    EXPECT_EQ(ticks, (std::vector<std::pair<long long, int>>{{130, 1}}));
}

TEST(RunOnUiThread, WorkerCallRunsLaterOnUiThread)
{
    app();
    bool ran = false, onUi = false;
    std::thread worker([&] {
        RunOnUiThread([&] {
            ran = true;
            onUi = IsUiThread();
        });
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return ran; }, 2000));
    EXPECT_TRUE(onUi);
}

}  // namespace
