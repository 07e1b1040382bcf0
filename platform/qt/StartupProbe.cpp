#include "platform/qt/StartupProbe.h"

#include "platform/qt/FirstFrame.h"

#include <QCoreApplication>
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

void FirstFrameDone(QWidget *window, long long startNs, int resizes)
{
    if (startNs > 0) {
        const double ms = (MonotonicNs() - startNs) / 1e6;
        std::printf("first-paint-ms %.3f\npeak-rss-kb %ld\n", ms, StatusKb("VmHWM:"));
        std::fflush(stdout);
    }
    if (resizes > 0) {
        const long before = StatusKb("VmRSS:");
        const QSize base = window->size();
        for (int i = 1; i <= resizes; ++i) {
            window->resize(base.width() + i, base.height() + i / 2);
            window->repaint();
            QCoreApplication::processEvents();
        }
        std::printf("rss-kb %ld %ld\n", before, StatusKb("VmRSS:"));
        std::fflush(stdout);
    }
    QCoreApplication::quit();
}

}  // namespace

void InstallStartupProbe(QWidget *window)
{
    const bool firstPaint = qEnvironmentVariableIsSet("ZK_PROBE_FIRST_PAINT");
    const int resizes = qEnvironmentVariableIntValue("ZK_PROBE_RESIZES");
    if (!window || (!firstPaint && resizes <= 0))
        return;
    const long long startNs = qEnvironmentVariable("ZK_PROBE_START_NS").toLongLong();
    AfterFirstFrame(window, [window, startNs, resizes] { FirstFrameDone(window, startNs, resizes); });
}
