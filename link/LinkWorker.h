#pragma once
// The link's worker thread: it does all device I/O of the open link. It waits on four
// manual-reset events (exit, suspend, update traffic, normal traffic; the lowest set one wins) with
// a 5 s time-out. A normal step runs under g_csLink: the transport writes the head of the send
// queue and reads and parses its reply, or, with the queue empty, takes the next frame from the
// send-next-change scheduler and returns; then the lock is released and the worker pauses 5 ms.
// During a firmware update the installed update step runs instead, without the lock.
//
// Start, stop and resume are called on the UI thread, which must not hold g_csLink while it stops
// the worker: the stop waits until the current step has ended and the thread has been joined.

#include "link/LinkTransport.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CKTVCommand;

class CLinkWorker {
public:
    enum Event { kExit = 0, kSuspend = 1, kUpdateTraffic = 2, kNormalTraffic = 3 };
    static constexpr int kEventCount = 4;
    static constexpr int kWaitTimeoutMs = 5000;
    static constexpr int kStepPauseMs = 5;
    static constexpr int kUnusablePauseMs = 50;

    explicit CLinkWorker(CKTVCommand &cmd);
    ~CLinkWorker();  // stops and joins the thread
    CLinkWorker(const CLinkWorker &) = delete;
    CLinkWorker &operator=(const CLinkWorker &) = delete;

    // The transport of link mode 1 (USB), 2 (TCP) or 3 (serial); set before the worker starts.
    void SetTransport(int linkMode, ILinkTransport *transport);
    // The send-next-change scheduler (CChangeScheduler::SendNextChange); set before the worker starts.
    void SetNextChange(NextChangeFn next);
    // One firmware-update step for link mode 1 or 2, run without the lock while event 2 is set.
    void SetUpdateStep(std::function<void(int linkMode)> step);

    // Creates the events (none set) and the thread, which waits until resumed.
    void CreateCommThread();
    void ResumeCommThread();
    // Clears g_bNeedsFirmware; without a worker creates one, sets the update event while
    // g_bUpdating is set and the normal one otherwise, and resumes it. Then sets g_bUsbOpen.
    // Returns 1.
    int StartCommThread();
    // Resumes a suspended worker, sets the exit event and joins the thread. Without full returns 0
    // (shut-down); with full also resets the four events and clears g_bUsbOpen, returns 1. The
    // view then clears its connected mark and restarts the reachability check.
    int StopCommThread(bool full);

    void SetEvent(int event);
    void ResetEvent(int event);
    bool IsEventSet(int event) const;
    // The update read step's way to halt the worker after a refused stage.
    void SignalSuspend() { SetEvent(kSuspend); }

    // The exit event is set: a stop waits for the step in progress, which should end soon.
    bool StopRequested() const { return IsEventSet(kExit); }

    bool Exists() const { return m_exists.load(); }
    bool IsRunning() const { return m_running.load() != 0; }
    bool IsResumed() const { return m_resumed.load() != 0; }
    // Normal steps taken since the worker was created (tests, benchmarks).
    long Steps() const { return m_steps.load(); }

private:
    void Run();
    int WaitAny(int timeoutMs);
    // Waits up to ms; false when the exit event is set.
    bool Pause(int ms);

    CKTVCommand &m_cmd;
    std::array<ILinkTransport *, 4> m_transports{};
    NextChangeFn m_next;
    std::function<void(int)> m_updateStep;

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::array<bool, kEventCount> m_events{};
    bool m_resumeRequested = false;
    std::thread m_thread;
    std::atomic<bool> m_exists{false};
    std::atomic<int> m_running{0};
    std::atomic<int> m_resumed{1};
    std::atomic<long> m_steps{0};
};
