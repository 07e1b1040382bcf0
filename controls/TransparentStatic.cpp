#include "controls/TransparentStatic.h"

#include "platform/qt/QtGlobals.h"

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
    p.setPen(ToQColor(m_clrText));
    DrawTextWithFlags(p, rect(), m_text, DrawTextFlagsFromStaticStyle(m_style));
}
