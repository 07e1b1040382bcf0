#pragma once
// Ends the program promptly on a termination request: SIGTERM, SIGINT and the end of the desktop
// session (which reaches the application as a quit). The request runs the tear-down (the link
// stops, the USB in-use mark goes) and then leaves every event loop, modal ones included, so no
// window can refuse it: the transfer popup, which refuses every close while a transfer runs,
// would otherwise keep the program alive until the transfer ended. The signals reach the event
// loop through a self-pipe; nothing but write() runs in the signal handler.

#include <QObject>

#include <functional>

class QSocketNotifier;

class CTerminationHandler : public QObject {
public:
    // Installs the signal handlers and watches the application's quit requests. One at a time.
    explicit CTerminationHandler(std::function<void()> tearDown, QObject *parent = nullptr);
    // Gives SIGTERM and SIGINT their default action back.
    ~CTerminationHandler() override;
    CTerminationHandler(const CTerminationHandler &) = delete;
    CTerminationHandler &operator=(const CTerminationHandler &) = delete;

    // Runs the tear-down (once) and makes every running event loop return.
    void Terminate();
    bool Terminated() const { return m_terminated; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_tearDown;
    QSocketNotifier *m_notifier = nullptr;
    int m_pipe[2] = {-1, -1};
    bool m_terminated = false;
};
