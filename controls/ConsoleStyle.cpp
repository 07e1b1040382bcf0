#include "controls/ConsoleStyle.h"

#include <QDialog>

#include "res/Skins.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
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
        "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %4, stop:1 %3); }"
        // Numeric edits sit in a well of the console's base colour, as the dialog's line edits do.
        "CNumEdit { background: %7; }")
                              .arg(hex(Text), hex(Frame), hex(PanelLight), hex(Panel), hex(Accent), QColor::fromRgb(PanelLight).lighter(140).name(),
                                   ConsolePalette().color(QPalette::Base).name()));
}

QPalette ConsolePalette()
{
    using namespace Skins::Palette;
    const QColor panel = QColor::fromRgb(Panel), text = QColor::fromRgb(Text), dim = QColor::fromRgb(TextDim);
    QPalette pal;
    pal.setColor(QPalette::Window, panel);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Base, QColor(0x15, 0x18, 0x1D));
    pal.setColor(QPalette::AlternateBase, QColor::fromRgb(Background));
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::PlaceholderText, dim);
    pal.setColor(QPalette::Button, QColor::fromRgb(PanelLight));
    pal.setColor(QPalette::ButtonText, text);
    pal.setColor(QPalette::BrightText, QColor::fromRgb(Warn));
    // The accent darkened so that white text on a selection keeps its contrast.
    pal.setColor(QPalette::Highlight, QColor(0x0B, 0x6A, 0x8C));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Link, QColor::fromRgb(Accent));
    pal.setColor(QPalette::ToolTipBase, panel);
    pal.setColor(QPalette::ToolTipText, text);
    pal.setColor(QPalette::Light, QColor::fromRgb(PanelLight).lighter(130));
    pal.setColor(QPalette::Midlight, QColor::fromRgb(PanelLight));
    pal.setColor(QPalette::Mid, panel);
    pal.setColor(QPalette::Dark, QColor::fromRgb(Background));
    pal.setColor(QPalette::Shadow, QColor::fromRgb(Frame));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, dim.darker(115));
    pal.setColor(QPalette::Disabled, QPalette::Base, panel);
    return pal;
}

void ApplyConsolePalette(QApplication &app)
{
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    app.setPalette(ConsolePalette());
}

DialogUnits SetUpTemplateDialog(QDialog *dialog, const QFont &font, QSize size, bool systemMenu)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (systemMenu)
        flags |= Qt::WindowSystemMenuHint;
    dialog->setWindowFlags(flags);
    dialog->setFont(font);
    ApplyConsoleDialogStyle(dialog);
    const DialogUnits units = DialogUnitsOf(font);
    dialog->setFixedSize(DluSize(size.width(), size.height(), units));
    return units;
}
