#pragma once
// The look of the program's own dialogs (message box, confirmation): the console's dark panel,
// light text and skinned push buttons, applied per dialog so other windows keep their own.

class QApplication;
class QPalette;
class QWidget;
class QPushButton;

void ApplyConsoleDialogStyle(QWidget *dialog);

// The one application-wide look of everything left to the system (file dialogs, the edits,
// buttons and lists of the firmware update dialog, menus): the Fusion style in the console's dark
// palette. Called once by the program (and the gallery) after the application object exists.
QPalette ConsolePalette();
void ApplyConsolePalette(QApplication &app);
