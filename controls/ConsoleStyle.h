#pragma once
// The look of the program's own dialogs (message box, confirmation): the console's dark panel,
// light text and skinned push buttons, applied per dialog so other windows keep their own.

#include "platform/qt/Fonts.h"

#include <QSize>

class QApplication;
class QDialog;
class QFont;
class QPalette;
class QWidget;
class QPushButton;

void ApplyConsoleDialogStyle(QWidget *dialog);

// A dialog made from a template: fixed size, with a title bar, a close box and (systemMenu) the
// system menu, in the template's font and the console's look, `size` dialog units of that font.
// Returns those units, for placing the controls.
DialogUnits SetUpTemplateDialog(QDialog *dialog, const QFont &font, QSize size, bool systemMenu);

// The one application-wide look of everything left to the system (file dialogs, the edits,
// buttons and lists of the firmware update dialog, menus): the Fusion style in the console's dark
// palette. Called once by the program (and the gallery) after the application object exists.
QPalette ConsolePalette();
void ApplyConsolePalette(QApplication &app);
