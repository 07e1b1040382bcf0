#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("ZK-470"));
    window.resize(1204, 699);
    window.show();
    return app.exec();
}
