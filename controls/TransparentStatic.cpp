#include "controls/TransparentStatic.h"

#include "platform/qt/QtGlobals.h"
#include "res/Skins.h"

#include <QPainter>

CTransparentStatic::CTransparentStatic(QWidget *parent, int ctrlId, unsigned style) : CStaticText(parent, ctrlId, style)
{
    setAttribute(Qt::WA_TranslucentBackground, true);
    setAutoFillBackground(false);
}

void CTransparentStatic::SetTextColor(COLORREF colour)
{
    m_clrText = colour;
    update();
}

void CTransparentStatic::SetText(const QString &text)
{
    if (text == m_strLast)
        return;
    m_strLast = text;
    SetWindowText(text);
}

void CTransparentStatic::SetWindowText(const QString &text)
{
    ++m_nTextChanges;
    CStaticText::SetWindowText(text);
    // The parent repaints the background under the label, so no old text remains.
    if (parentWidget())
        parentWidget()->update(geometry());
}

void CTransparentStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    const QColor text = ToQColor(m_clrText);
    if (HasPlate()) {
        // The text's fixed colour would not read on the console's dark dialogs: a plate behind it.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Skins::ReadableBackdrop(text));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    }
    p.setPen(text);
    DrawTextWithFlags(p, rect(), m_text, DrawTextFlagsFromStaticStyle(m_style));
}

bool CTransparentStatic::HasPlate() const
{
    return !m_text.isEmpty() &&
           Skins::Contrast(ToQColor(m_clrText), QColor::fromRgb(Skins::Palette::Panel)) < Skins::MinTextContrast;
}
