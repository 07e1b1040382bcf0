#include "controls/MuteStatic.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/QtGlobals.h"

#include <QPainter>

CMuteStatic::CMuteStatic(QWidget *parent, int ctrlId, unsigned style) : CStaticText(parent, ctrlId, style | SS_NOTIFY)
{
    setCursor(HandCursor());
}

void CMuteStatic::SetTextColors(COLORREF on, COLORREF off)
{
    m_clrOnText = on;
    m_clrOffText = off;
    repaint();
}

void CMuteStatic::SetBkColors(COLORREF on, COLORREF off)
{
    m_clrOnBack = on;
    m_clrOffBack = off;
    repaint();
}

void CMuteStatic::SetTexts(const QString &on, const QString &off)
{
    m_strOn = on;
    m_strOff = off;
    repaint();
}

void CMuteStatic::SetState(int state)
{
    m_nState = state;
    repaint();
}

void CMuteStatic::SetTextFont(int height, int weight)
{
    m_nHeight = height;
    m_nWeight = weight;
    repaint();
}

void CMuteStatic::SetLanguage(int flag)
{
    m_bLanguage = flag;
    SetTexts(QStringLiteral("On"), QStringLiteral("OFF"));
}

void CMuteStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(ShownBkColor()));
    p.setFont(MakeFont(QStringLiteral("Arial"), m_nHeight, m_nWeight));
    p.setPen(ToQColor(ShownTextColor()));
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, ShownText());
}
