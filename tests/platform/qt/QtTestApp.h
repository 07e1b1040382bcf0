#pragma once
// The one QApplication of a widget test executable, headless unless a display was asked for.

#include <QApplication>

#include <cstdlib>

inline QApplication &QtTestApp()
{
    static int argc = 1;
    static char arg0[] = "zk-test";
    static char *argv[] = {arg0, nullptr};
    static QApplication *app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}
