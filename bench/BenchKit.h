#pragma once
// What the headless benches share: one offscreen application for the process, and the peak
// resident memory of the process so far.

#include <QApplication>

#include <sys/resource.h>

namespace benchkit {

inline QApplication &OffscreenApp()
{
    static int argc = 1;
    static char arg0[] = "bench";
    static char *argv[] = {arg0, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

inline double PeakRssMb()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

}  // namespace benchkit
