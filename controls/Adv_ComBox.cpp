#include "controls/Adv_ComBox.h"

#include "platform/qt/WindowMessages.h"

#include <QMouseEvent>

CAdv_ComBox::CAdv_ComBox(QWidget *parent) : QComboBox(parent) {}
CAdv_ComBox::~CAdv_ComBox() = default;

void CAdv_ComBox::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QComboBox::mousePressEvent(e);
        return;
    }
    if (QWidget *p = parentWidget())
        SendMessageTo(p, WM_COMMAND, MAKEWPARAM(kCommandId, 0), CtrlHandle(this));
    e->accept();  // not passed on: the list stays closed
}
