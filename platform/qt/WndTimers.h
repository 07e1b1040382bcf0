#pragma once
// Timers by the system's ids and periods, one set per window: SetTimer(id, ms) starts or restarts
// timer `id`, KillTimer(id) stops it, and every tick calls the owner's handler with the id, as
// WM_TIMER does. Owner's thread only.

#include <QObject>

#include <functional>
#include <map>

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
    struct Running {
        int qtId;
        int period;
    };
    std::map<int, Running> m_byId;
    Handler m_handler;
};
