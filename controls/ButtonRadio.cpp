#include "controls/ButtonRadio.h"

#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QPainter>

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

bool CButtonRadio::HasPlate() const
{
    return Skins::Contrast(ToQColor(m_clrText), QColor::fromRgb(Skins::Palette::Panel)) < Skins::MinTextContrast;
}

void CButtonRadio::paintEvent(QPaintEvent *e)
{
    if (HasPlate()) {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Skins::ReadableBackdrop(ToQColor(m_clrText)));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    QRadioButton::paintEvent(e);
}
