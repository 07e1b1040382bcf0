#include "platform/qt/StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long long MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// A value of /proc/self/status in KiB ("VmRSS:" now, "VmHWM:" the peak so far), or -1.
long StatusKb(const char *key)
{
    const std::size_t keyLen = std::strlen(key);
    std::FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, keyLen) == 0) {
            kb = std::strtol(line + keyLen, nullptr, 10);
            break;
        }
    std::fclose(f);
    return kb;
}

class Probe : public QObject {
public:
    Probe(QWidget *window, long long startNs, int resizes)
        : QObject(window), m_window(window), m_startNs(startNs), m_resizes(resizes)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == m_window && e->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Children paint in the same frame, after the window itself: report once it is done.
            QTimer::singleShot(0, this, [this] { FirstFrameDone(); });
        }
        return false;
    }

private:
    void FirstFrameDone()
    {
        if (m_startNs > 0) {
            const double ms = (MonotonicNs() - m_startNs) / 1e6;
            std::printf("first-paint-ms %.3f\npeak-rss-kb %ld\n", ms, StatusKb("VmHWM:"));
            std::fflush(stdout);
        }
        if (m_resizes > 0) {
            const long before = StatusKb("VmRSS:");
            const QSize base = m_window->size();
            for (int i = 1; i <= m_resizes; ++i) {
                m_window->resize(base.width() + i, base.height() + i / 2);
                m_window->repaint();
                QCoreApplication::processEvents();
            }
            std::printf("rss-kb %ld %ld\n", before, StatusKb("VmRSS:"));
            std::fflush(stdout);
        }
        QCoreApplication::quit();
    }

    QWidget *m_window;
    long long m_startNs;
    int m_resizes;
    bool m_seen = false;
};

}  // namespace

void InstallStartupProbe(QWidget *window)
{
    const bool firstPaint = qEnvironmentVariableIsSet("ZK_PROBE_FIRST_PAINT");
    const int resizes = qEnvironmentVariableIntValue("ZK_PROBE_RESIZES");
    if (!window || (!firstPaint && resizes <= 0))
        return;
    const long long startNs = qEnvironmentVariable("ZK_PROBE_START_NS").toLongLong();
    new Probe(window, startNs, resizes);
}
