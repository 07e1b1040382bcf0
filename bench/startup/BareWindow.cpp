// The yardstick of the start-up benchmark: a bare Qt window of the program's size with the same
// start-up probe, nothing else.
#include "platform/qt/StartupProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1204, 699);
    window.show();
    InstallStartupProbe(&window);
    return app.exec();
}
