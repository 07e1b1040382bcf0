// The program. Until the application shell exists it opens a plain window titled "ZK-470" that
// holds the main view; the view connects by itself (USB first, then the device's network address
// from the settings file) and keeps the device in step.
#include "app/Termination.h"
#include "app/VRX530Doc.h"
#include "app/VRX530View.h"
#include "controls/ConsoleStyle.h"
#include "controls/MessageBox.h"
#include "link/LinkState.h"
#include "model/InitGlobalData.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/StartupProbe.h"
#include "res/Skins.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWidget>

#include <clocale>

namespace {

// The Options menu's texts, set again at each language change.
class OptionsMenuTexts : public QObject {
public:
    OptionsMenuTexts(QMenu *menu, QAction *update, QAction *reset)
        : QObject(menu), m_menu(menu), m_update(update), m_reset(reset)
    {
        Apply();
        menu->installEventFilter(this);
    }
    void Apply()
    {
        m_menu->setTitle(QTr(StrId::MenuOptions));
        m_update->setText(QTr(StrId::MenuFirmwareUpdate));
        m_reset->setText(QTr(StrId::MenuFactoryReset));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched == m_menu && e->type() == QEvent::LanguageChange)
            Apply();
        return QObject::eventFilter(watched, e);
    }

private:
    QMenu *m_menu;
    QAction *m_update;
    QAction *m_reset;
};

}  // namespace

int main(int argc, char *argv[])
{
    // Layouts and skins are in pixels: no high-DPI scaling (set before the application exists).
    PrepareUiEnvironment();
    QApplication app(argc, argv);
    // Numbers are written and read in the C locale whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    RegisterFontSubstitutions();
    ApplyConsolePalette(app);  // dialogs left to the system look take the console's dark palette
    InitQtGlobals();
    InitGlobalData();
    ResetLinkState();
    LoadNetworkSettings(AppSettings());
    InstallMessageBoxService();

    CVRX530Doc doc;
    doc.OnNewDocument();

    QWidget window;
    window.setWindowTitle(QStringLiteral("ZK-470"));
    window.resize(1204, 699);
    {
        // The console's dark frame around the view.
        using namespace Skins::Palette;
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(Background));
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Text));
        window.setPalette(pal);
        window.setAutoFillBackground(true);
    }
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *view = new CVRX530View(doc.GetData(), nullptr, &window);
    // SIGTERM, SIGINT and the session's end stop the link and end the program, whatever window is
    // up (the transfer popup refuses to close while a transfer runs).
    CTerminationHandler termination([view] { view->Shutdown(); });
    // The Options menu's device commands (the application shell brings the full menus).
    auto *menuBar = new QMenuBar(&window);
    {
        // Styled on the menu bar alone: a style sheet on the window would reach the dialogs too.
        using namespace Skins::Palette;
        const auto hex = [](QRgb c) { return QColor::fromRgb(c).name(); };
        menuBar->setStyleSheet(QStringLiteral(
            "QMenuBar { background: %1; color: %2; border-bottom: 1px solid %3; }"
            "QMenuBar::item { background: transparent; padding: 3px 10px; }"
            "QMenuBar::item:selected { background: %4; color: white; }"
            "QMenu { background: %1; color: %2; border: 1px solid %3; }"
            "QMenu::item { padding: 4px 24px 4px 16px; }"
            "QMenu::item:selected { background: %5; color: white; }")
                                 .arg(hex(Panel), hex(Text), hex(Frame), hex(PanelLight), hex(Accent)));
    }
    QMenu *options = menuBar->addMenu(QString());
    QAction *update = options->addAction(QString());
    QAction *reset = options->addAction(QString());
    QObject::connect(update, &QAction::triggered, view, [view] { view->OnFirmwareUpdate(); });
    QObject::connect(reset, &QAction::triggered, view, [view] { view->OnFactoryResetCommand(); });
    new OptionsMenuTexts(options, update, reset);
    layout->setMenuBar(menuBar);
    layout->addWidget(view, 1);
    window.show();
    InstallStartupProbe(&window);  // measuring hooks, off unless asked for (bench/bench_startup.cpp)
    view->OnInitialUpdate();

    const int rc = app.exec();
    view->Shutdown();
    return rc;
}
