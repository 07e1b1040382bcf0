// A termination request ends the program's event loops after the tear-down, even while a window
// refuses to close (the transfer popup during a transfer) and from inside a modal dialog.
#include "app/Termination.h"

#include "tests/platform/qt/QtTestApp.h"

#include <QCloseEvent>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Refuses every close, as the transfer popup does while a transfer runs.
class StubbornWindow : public QDialog {
protected:
    void closeEvent(QCloseEvent *e) override { e->ignore(); }
    void reject() override {}
};

// Runs the application's loop until something ends it; a watchdog ends a loop that nothing ends,
// with code 1.
int RunLoop()
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(20000);
    return QCoreApplication::exec();
}

}  // namespace

TEST(Termination, QuitRequestsAreNotRefusedByAWindowAndTearDownRunsOnce)
{
    QtTestApp();
    int tearDowns = 0;
    CTerminationHandler handler([&] { ++tearDowns; });
    StubbornWindow popup;
    popup.show();
    // The session's end and the last window closing arrive as a quit request.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_EQ(tearDowns, 1);
    EXPECT_TRUE(handler.Terminated());
    EXPECT_TRUE(popup.isVisible()) << "nothing asked the popup to close";
    popup.hide();
}

TEST(Termination, SignalsEndEveryLoopFromInsideAModalDialog)
{
    QtTestApp();
    for (int sig : {SIGTERM, SIGINT}) {
        int tearDowns = 0;
        bool modalReturned = false;
        CTerminationHandler handler([&] { ++tearDowns; });
        StubbornWindow dialog;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(50, [sig] { std::raise(sig); });
            dialog.exec();  // the nested loop the signal must end too
            modalReturned = true;
        });
        EXPECT_EQ(RunLoop(), 0) << sig;
        EXPECT_TRUE(modalReturned) << sig;
        EXPECT_EQ(tearDowns, 1) << sig;
    }
}
