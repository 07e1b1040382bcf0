#include "controls/ButtonRadio.h"

#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

CButtonRadio::CButtonRadio(QWidget *parent, int ctrlId) : CButtonRadio(QString(), parent, ctrlId) {}

CButtonRadio::CButtonRadio(const QString &text, QWidget *parent, int ctrlId) : QRadioButton(text, parent)
{
    SetCtrlId(this, ctrlId);
    setAutoFillBackground(false);  // the page's skin shows through
    SetTextColor(0);
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyParent(this, BN_CLICKED); });
}

void CButtonRadio::SetTextColor(COLORREF colour)
{
    m_clrText = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(colour));
    pal.setColor(QPalette::ButtonText, ToQColor(colour));
    setPalette(pal);
}
