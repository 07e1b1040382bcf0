#pragma once
// Timers by the system's ids and periods, one set per window: SetTimer(id, ms) starts or restarts
// timer `id`, KillTimer(id) stops it, and every tick calls the owner's handler with the id, as
// WM_TIMER does. Owner's thread only.
//
// Time comes from Qt's event loop, unless a CManualTimerClock is installed on the UI thread: then
// every timer set while it lives runs on that clock's time, which only moves when Advance() is
// called. Tests of timed controls use it instead of waiting in real time.

#include <QObject>

#include <functional>
#include <map>
#include <vector>

class CManualTimerClock;

class CWndTimers : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int id)>;

    explicit CWndTimers(QObject *owner, Handler onTimer = {});
    ~CWndTimers() override;

    void SetHandler(Handler onTimer) { m_handler = std::move(onTimer); }
    // Periods beyond Qt's range (about 24.8 days) are refused: false, nothing started. Periods
    // below 10 ms run at 10 ms.
    bool SetTimer(int id, long long periodMs);
    void KillTimer(int id);
    void KillAll();
    bool IsActive(int id) const { return m_byId.count(id) != 0; }
    int Period(int id) const;

protected:
    void timerEvent(QTimerEvent *e) override;

private:
    friend class CManualTimerClock;
    struct Running {
        int qtId;          // 0 on the manual clock
        int period;
        long long dueMs;   // manual clock only
    };
    void Fire(int id);
    std::map<int, Running> m_byId;
    Handler m_handler;
    CManualTimerClock *m_clock = nullptr;  // the clock this set's timers run on, if manual
};

// Hand-moved time for window timers. While one exists (at most one; UI thread only), timers set
// on any CWndTimers run on it; Advance(ms) fires every timer that falls due, in time order,
// periodic ones again and again, and delivers the messages each tick posted before the next.
class CManualTimerClock {
public:
    CManualTimerClock();
    ~CManualTimerClock();
    CManualTimerClock(const CManualTimerClock &) = delete;
    CManualTimerClock &operator=(const CManualTimerClock &) = delete;

    void Advance(long long ms);
    long long Now() const { return m_nowMs; }
    static CManualTimerClock *Installed();

private:
    friend class CWndTimers;
    void Attach(CWndTimers *t);
    void Detach(CWndTimers *t);
    long long m_nowMs = 0;
    std::vector<CWndTimers *> m_sets;
};
