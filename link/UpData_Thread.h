#pragma once
// The firmware update's polling thread: while the link for an update cannot be opened, it ticks
// every 500 ms and tells its owner, which tries again on its own (UI) thread. The 21st tick is the
// last attempt; the thread then stops by itself. Ticks travel as posted messages with values only.

#include "platform/WinCompat.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class IMessageTarget;

// wParam: the tick number 0..20; lParam: 1 for the last attempt (tick 20), else 0.
constexpr unsigned WM_UPDATE_POLL_TICK = WM_USER + 1201;
// lParam: 1 when the link opened, 0 when the last attempt failed.
constexpr unsigned WM_UPDATE_POLL_RESULT = WM_USER + 1202;

constexpr int kUpdatePollLastTick = 20;

// The update dialog is trying to open the link for an update (the thread ticks meanwhile).
extern std::atomic<int> g_bUpdatePolling;

class CUpData_Thread {
public:
    explicit CUpData_Thread(IMessageTarget *owner) : m_owner(owner) {}
    ~CUpData_Thread();
    CUpData_Thread(const CUpData_Thread &) = delete;
    CUpData_Thread &operator=(const CUpData_Thread &) = delete;

    // Starts ticking every periodMs from tick 0 (a running timer starts over).
    void StartTimer(int periodMs = 500);
    // Stops ticking; safe from any thread but the ticker's own, and when not running.
    void StopTimer();
    bool IsRunning() const { return m_running.load(); }
    int Ticks() const { return m_ticks.load(); }

private:
    void Run(int periodMs);

    IMessageTarget *m_owner;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::atomic<bool> m_running{false};
    std::atomic<int> m_ticks{0};
};
