#include "controls/StaticText.h"

#include "platform/qt/DrawText.h"
#include "platform/qt/WindowMessages.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

unsigned DrawTextFlagsFromStaticStyle(unsigned style)
{
    unsigned f = 0;
    if (style & SS_RIGHT)
        f |= DT_RIGHT;
    if (style & SS_CENTER)
        f |= DT_CENTER;
    if (style & SS_CENTERIMAGE)
        f |= DT_VCENTER | DT_SINGLELINE;
    if (style & SS_NOPREFIX)
        f |= DT_NOPREFIX;
    if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS))
        f |= DT_WORD_ELLIPSIS;
    if (style & SS_ENDELLIPSIS)
        f |= DT_END_ELLIPSIS;
    if (style & SS_PATHELLIPSIS)
        f |= DT_PATH_ELLIPSIS;
    if ((style & 0xC20C) == 0)
        f |= DT_WORDBREAK;
    return f;
}

void DrawTextWithFlags(QPainter &p, const QRect &r, const QString &text, unsigned flags)
{
    QString t = text;
    if (!(flags & DT_NOPREFIX)) {
        // An ampersand marks the next character; a doubled one is a plain ampersand.
        t.replace(QLatin1String("&&"), QString(QChar(0x1)));
        t.remove(QLatin1Char('&'));
        t.replace(QChar(0x1), QLatin1Char('&'));
    }
    if (flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        const Qt::TextElideMode mode = (flags & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
        t = QFontMetrics(p.font()).elidedText(t, mode, r.width());
    }
    p.drawText(r, AlignmentFromDrawText(flags), t);
}

CStaticText::CStaticText(QWidget *parent, int ctrlId, unsigned style) : QWidget(parent), m_style(style)
{
    SetCtrlId(this, ctrlId);
}

void CStaticText::SetWindowText(const QString &text)
{
    m_text = text;
    update();
}

void CStaticText::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && (m_style & SS_NOTIFY))
        OnClicked();
    QWidget::mouseReleaseEvent(e);
}

void CStaticText::OnClicked()
{
    emit clicked();
    NotifyParent(this, STN_CLICKED);
}
