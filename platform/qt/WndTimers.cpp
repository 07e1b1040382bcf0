#include "platform/qt/WndTimers.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <algorithm>
#include <climits>

namespace {
CManualTimerClock *g_manualClock = nullptr;  // tests only; UI thread
}

CWndTimers::CWndTimers(QObject *owner, Handler onTimer) : QObject(owner), m_handler(std::move(onTimer)) {}

CWndTimers::~CWndTimers()
{
    KillAll();
    if (m_clock)
        m_clock->Detach(this);
}

bool CWndTimers::SetTimer(int id, long long periodMs)
{
    if (periodMs < 0 || periodMs > INT_MAX)
        return false;
    KillTimer(id);
    // As on Windows, a period below 10 ms runs at 10 ms rather than spinning the event loop.
    periodMs = std::max(periodMs, 10LL);
    if (CManualTimerClock *clock = CManualTimerClock::Installed()) {
        if (m_clock != clock) {
            m_clock = clock;
            clock->Attach(this);
        }
        m_byId[id] = Running{0, int(periodMs), clock->Now() + periodMs};
        return true;
    }
    const int qtId = startTimer(int(periodMs), Qt::PreciseTimer);
    if (qtId == 0)
        return false;
    m_byId[id] = Running{qtId, int(periodMs), 0};
    return true;
}

void CWndTimers::KillTimer(int id)
{
    if (auto it = m_byId.find(id); it != m_byId.end()) {
        if (it->second.qtId)
            killTimer(it->second.qtId);
        m_byId.erase(it);
    }
}

void CWndTimers::KillAll()
{
    for (auto &[id, r] : m_byId)
        if (r.qtId)
            killTimer(r.qtId);
    m_byId.clear();
}

int CWndTimers::Period(int id) const
{
    auto it = m_byId.find(id);
    return it == m_byId.end() ? -1 : it->second.period;
}

void CWndTimers::Fire(int id)
{
    if (m_handler)
        m_handler(id);  // the handler may kill or restart timers, or delete this set's owner
}

void CWndTimers::timerEvent(QTimerEvent *e)
{
    for (auto &[id, r] : m_byId) {
        if (r.qtId != 0 && r.qtId == e->timerId()) {
            Fire(id);
            return;
        }
    }
    QObject::timerEvent(e);
}

CManualTimerClock::CManualTimerClock()
{
    Q_ASSERT(!g_manualClock);
    g_manualClock = this;
}

CManualTimerClock::~CManualTimerClock()
{
    for (CWndTimers *t : m_sets) {
        t->m_clock = nullptr;
        t->m_byId.clear();  // timers of a clock that is gone never fire
    }
    g_manualClock = nullptr;
}

CManualTimerClock *CManualTimerClock::Installed() { return g_manualClock; }

void CManualTimerClock::Attach(CWndTimers *t) { m_sets.push_back(t); }

void CManualTimerClock::Detach(CWndTimers *t) { m_sets.erase(std::remove(m_sets.begin(), m_sets.end(), t), m_sets.end()); }

void CManualTimerClock::Advance(long long ms)
{
    const long long until = m_nowMs + std::max(0LL, ms);
    for (;;) {
        // The earliest due timer; searched afresh each time, as a tick may change any of them.
        CWndTimers *set = nullptr;
        int id = 0;
        long long due = until + 1;
        for (CWndTimers *t : m_sets)
            for (const auto &[tid, r] : t->m_byId)
                if (r.dueMs < due) {
                    set = t;
                    id = tid;
                    due = r.dueMs;
                }
        if (!set)
            break;
        m_nowMs = due;
        auto &r = set->m_byId[id];
        r.dueMs += r.period;
        set->Fire(id);
        QCoreApplication::sendPostedEvents();
    }
    m_nowMs = until;
}
