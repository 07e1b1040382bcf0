#pragma once
// The look of the program's own dialogs (message box, confirmation): the console's dark panel,
// light text and skinned push buttons, applied per dialog so other windows keep their own.

class QWidget;
class QPushButton;

void ApplyConsoleDialogStyle(QWidget *dialog);
