#include "app/HiLevelSourceDlg.h"

#include "controls/ConsoleStyle.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"

#include <QKeyEvent>

CHiLevelSourceDlg::CHiLevelSourceDlg(QWidget *parent) : QDialog(parent)
{
    SetCtrlId(this, IDD);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    const QFont font = MakePointFont(QStringLiteral("System"), 100);
    setFont(font);
    ApplyConsoleDialogStyle(this);
    setFixedSize(DluSize(187, 96, DialogUnitsOf(font)));
    setWindowTitle(QStringLiteral("Dialog"));
    setFocusPolicy(Qt::ClickFocus);
}

void CHiLevelSourceDlg::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
        setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
