#include "controls/Show_Link.h"

#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"

#include <QPainter>

CShow_Link::CShow_Link(QWidget *parent, int ctrlId) : QAbstractButton(parent)
{
    SetCtrlId(this, ctrlId);
    setFocusPolicy(Qt::NoFocus);
    m_timers = new CWndTimers(this, [this](int id) {
        if (id == kTimer)
            OnTimer();
    });
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyParent(this, BN_CLICKED); });
}

void CShow_Link::SetText(const QString &text)
{
    setText(text);
    update();
}

void CShow_Link::StartBlink()
{
    m_bBlink = 1;
    m_nPhase = 0;
    m_timers->SetTimer(kTimer, kPeriodMs);
}

void CShow_Link::StopBlink()
{
    m_bBlink = 0;
    m_nPhase = 0;
    m_timers->KillTimer(kTimer);
    repaint();
}

void CShow_Link::OnTimer()
{
    m_nPhase = !m_nPhase;
    repaint();
}

COLORREF CShow_Link::PaintColor() const { return (m_bBlink && m_nPhase) ? m_clrBlink : m_clrText; }

void CShow_Link::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(m_clrBack));
    p.setPen(ToQColor(PaintColor()));
    if (m_pFont)
        p.setFont(*m_pFont);
    QRect r = rect();
    r.setRight(r.right() - 19);
    p.setClipRect(r);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text());
}
