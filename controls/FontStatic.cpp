#include "controls/FontStatic.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WndTimers.h"

#include <QDebug>
#include <QFontInfo>
#include <QPainter>

CFontStatic::CFontStatic(QWidget *parent, int ctrlId, unsigned style)
    : CStaticText(parent, ctrlId, style | SS_NOTIFY)
{
    m_timers = new CWndTimers(this, [this](int id) {
        if (id == kBlinkTimer) {
            m_bPhase = !m_bPhase;
            update();
        }
    });
}

void CFontStatic::refresh()
{
    ++m_nRefreshes;
    update();
}

void CFontStatic::SetFontStatic(const QString &, int height, COLORREF colour, unsigned style)
{
    m_nHeight = height;
    if (colour == m_clrText)
        return;
    m_clrText = colour;
    SetFontStyle(style);
    refresh();
}

void CFontStatic::SetFontStyle(unsigned style)
{
    m_bLeft = m_bRight = 0;
    if (style & 0x20)
        return;
    if (style & 0x80)
        m_bRight = 1;
    else if (style & 0x40)
        m_bLeft = 1;
}

void CFontStatic::SetTextColor(COLORREF colour)
{
    m_clrText = colour;
    refresh();
}

void CFontStatic::SetBkColor(COLORREF colour)
{
    m_clrBack = colour;
    m_bFill = 1;
    refresh();
}

void CFontStatic::SetText(const QString &text)
{
    SetWindowText(text);
    refresh();
}

void CFontStatic::SetFontSize(int height)
{
    m_nHeight = height;
    refresh();
}

void CFontStatic::SetNumberFormat(int a, int b, int offset, const QString &unit)
{
    m_nFormatA = a;
    m_nFormatB = b;
    m_nOffset = offset;
    m_strUnit = unit;
}

void CFontStatic::SetNumber(int value) { SetWindowText(QString::number(value - m_nOffset) + m_strUnit); }

void CFontStatic::StartAlarm()
{
    m_bBlink = 1;
    m_bPhase = 0;
    m_timers->SetTimer(kBlinkTimer, 1000);
}

void CFontStatic::StopAlarm()
{
    m_bBlink = 0;
    m_bPhase = 0;
    m_timers->KillTimer(kBlinkTimer);
    update();
}

COLORREF CFontStatic::PaintColor() const
{
    if (m_bBlink)
        return m_bPhase ? RGB(255, 0, 0) : RGB(250, 250, 250);
    return m_clrText;
}

void CFontStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_bFill)
        p.fillRect(rect(), ToQColor(m_clrBack));
    QFont f = MakeFont(QStringLiteral("Arial"), m_nHeight, 400);
    if (QFontInfo(f).family() != MapFontFace(QStringLiteral("Arial"))) {
        // Never a message box from inside painting: the label keeps the dialog's font instead.
        static bool warned = false;
        if (!warned) {
            warned = true;
            qWarning("CFontStatic: the label font is not installed; using the dialog font");
        }
        f = font();
    }
    p.setFont(f);
    p.setPen(ToQColor(PaintColor()));
    const int h = m_bLeft ? Qt::AlignLeft : m_bRight ? Qt::AlignRight : Qt::AlignHCenter;
    p.drawText(rect(), h | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, m_text);
}
