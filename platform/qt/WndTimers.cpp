#include "platform/qt/WndTimers.h"

#include <QTimerEvent>

#include <algorithm>
#include <climits>

CWndTimers::CWndTimers(QObject *owner, Handler onTimer) : QObject(owner), m_handler(std::move(onTimer)) {}

CWndTimers::~CWndTimers() { KillAll(); }

bool CWndTimers::SetTimer(int id, long long periodMs)
{
    if (periodMs < 0 || periodMs > INT_MAX)
        return false;
    KillTimer(id);
    // As on Windows, a period below 10 ms runs at 10 ms rather than spinning the event loop.
    periodMs = std::max(periodMs, 10LL);
    const int qtId = startTimer(int(periodMs), Qt::PreciseTimer);
    if (qtId == 0)
        return false;
    m_byId[id] = Running{qtId, int(periodMs)};
    return true;
}

void CWndTimers::KillTimer(int id)
{
    if (auto it = m_byId.find(id); it != m_byId.end()) {
        killTimer(it->second.qtId);
        m_byId.erase(it);
    }
}

void CWndTimers::KillAll()
{
    for (auto &[id, r] : m_byId)
        killTimer(r.qtId);
    m_byId.clear();
}

int CWndTimers::Period(int id) const
{
    auto it = m_byId.find(id);
    return it == m_byId.end() ? -1 : it->second.period;
}

void CWndTimers::timerEvent(QTimerEvent *e)
{
    for (auto &[id, r] : m_byId) {
        if (r.qtId == e->timerId()) {
            const int which = id;  // the handler may kill or restart timers
            if (m_handler)
                m_handler(which);
            return;
        }
    }
    QObject::timerEvent(e);
}
