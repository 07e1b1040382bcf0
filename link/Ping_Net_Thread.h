#pragma once
// The reachability thread: while its timer runs it checks every 500 ms whether the device's network
// address answers (the network link's CheckConnection), which posts the view the open-network message
// once per change from unreachable to reachable. Checks never pile up: a tick that falls inside a
// check is merged with the next.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CPing_Net_Thread {
public:
    // One reachability check; it gives up early once running turns false.
    using Check = std::function<void(const std::atomic<bool> &running)>;

    explicit CPing_Net_Thread(Check check);
    ~CPing_Net_Thread();  // stops the timer and ends the thread
    CPing_Net_Thread(const CPing_Net_Thread &) = delete;
    CPing_Net_Thread &operator=(const CPing_Net_Thread &) = delete;

    void StartTimer(int periodMs = 500);
    // Stops the timer; returns once a check in progress has ended.
    void StopTimer();
    void Quit();  // ends the thread (after StopTimer)
    bool IsRunning() const { return m_running.load(); }
    bool IsChecking() const { return m_checking.load(); }
    int Checks() const { return m_checks.load(); }

private:
    void Run();

    Check m_check;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_checking{false};
    std::atomic<int> m_checks{0};
    bool m_quit = false;
    int m_periodMs = 500;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::thread m_thread;
};
