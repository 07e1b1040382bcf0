#pragma once
// The one QApplication of a widget test executable, headless unless a display was asked for.

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

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

// Runs the event loop until the condition holds or the time is up; the condition's final value.
// Use it inside EXPECT_TRUE/ASSERT_TRUE: QTest's own QTRY_ macros only return from the test body
// when they time out, which a GoogleTest test would count as passed.
template <class Condition>
bool WaitUntil(Condition &&condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(10);
    return static_cast<bool>(condition());
}
