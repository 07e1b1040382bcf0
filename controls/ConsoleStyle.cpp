#include "controls/ConsoleStyle.h"

#include "res/Skins.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace {
QString hex(QRgb c) { return QColor::fromRgb(c).name(); }
}

void ApplyConsoleDialogStyle(QWidget *dialog)
{
    using namespace Skins::Palette;
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(Panel));
    pal.setColor(QPalette::WindowText, QColor::fromRgb(Text));
    pal.setColor(QPalette::Button, QColor::fromRgb(PanelLight));
    pal.setColor(QPalette::ButtonText, QColor::fromRgb(Text));
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
    // A hairline edge keeps the panel apart from the console behind it, with or without a frame.
    dialog->setStyleSheet(QStringLiteral(
        "QDialog { border: 1px solid %6; }"
        "QLabel { color: %1; background: transparent; }"
        "QPushButton { color: %1; border: 1px solid %2; border-radius: 3px; padding: 0 6px;"
        "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %3, stop:1 %4); }"
        "QPushButton:hover { border-color: %5; color: white; }"
        "QPushButton:focus { border-color: %5; }"
        "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %4, stop:1 %3); }")
                              .arg(hex(Text), hex(Frame), hex(PanelLight), hex(Panel), hex(Accent), QColor::fromRgb(PanelLight).lighter(140).name()));
}
