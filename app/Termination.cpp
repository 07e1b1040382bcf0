#include "app/Termination.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe's write end for the signal handler; -1 while no handler is installed.
std::atomic<int> s_signalPipe{-1};

void OnTerminationSignal(int)
{
    const int fd = s_signalPipe.load();
    if (fd >= 0) {
        const char c = 1;
        (void)!::write(fd, &c, 1);
    }
}

}  // namespace

CTerminationHandler::CTerminationHandler(std::function<void()> tearDown, QObject *parent)
    : QObject(parent), m_tearDown(std::move(tearDown))
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char buf[16];
            while (::read(m_pipe[0], buf, sizeof buf) > 0) {
            }
            Terminate();
        });
        s_signalPipe = m_pipe[1];
        struct sigaction sa {};
        sa.sa_handler = OnTerminationSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
    }
    // Every quit request (the session's end, the last window closing, QCoreApplication::quit)
    // comes as a Quit event to the application, which would ask each window to close first.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (!m_terminated && m_tearDown) {
                m_terminated = true;
                m_tearDown();
            }
        });
    }
}

CTerminationHandler::~CTerminationHandler()
{
    if (m_pipe[1] >= 0) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        s_signalPipe = -1;
        delete m_notifier;
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }
}

void CTerminationHandler::Terminate()
{
    if (!m_terminated) {
        m_terminated = true;
        if (m_tearDown)
            m_tearDown();
    }
    // exit() ends every event loop of the thread, and one started later returns at once.
    QCoreApplication::exit(0);
}

bool CTerminationHandler::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        Terminate();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
