#include "grid/TitleTip.h"

#include "grid/VisibleText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

CTitleTip::CTitleTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
}

CTitleTip::~CTitleTip()
{
    if (m_bFiltering)
        qApp->removeEventFilter(this);
}

bool CTitleTip::Create(QWidget *parent)
{
    if (!parent)
        return false;
    m_parent = parent;
    // A child of the parent's window for its stacking, positioning and life, as a window of its own.
    setParent(parent, Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    hide();
    return true;
}

void CTitleTip::Show(const QRect &titleRect, const QString &text, int xOffset, const QRect *hoverRect,
                     const QFont *font)
{
    if (titleRect.isEmpty() || !m_parent)
        return;
    m_hoverRect = hoverRect ? *hoverRect : titleRect;
    if (isVisible() || !QApplication::focusWidget())
        return;

    // No tip is wider than its screen: what lies beyond it is neither measured nor laid out (a
    // character that shows takes a pixel at least, see grid/VisibleText.h).
    const QScreen *screen = m_parent->screen();
    const int screenWidth = screen ? screen->geometry().width() : 0;
    m_text = QLatin1Char(' ') + HeadOfText(text, 2 * (qsizetype(std::max(screenWidth, titleRect.width())) + 1)) +
             QLatin1Char(' ');
    m_font = font ? *font : m_parent->font();
    const int extent = QFontMetrics(m_font).horizontalAdvance(m_text);
    const QPoint topLeft = m_parent->mapToGlobal(titleRect.topLeft());
    const int left = topLeft.x() + xOffset;
    const int right = left + extent + xOffset;
    const int titleRight = topLeft.x() + titleRect.width();
    // Only a text that does not fit in the cell gets a tip.
    if (right <= titleRight - xOffset)
        return;
    setFont(m_font);
    setGeometry(left, topLeft.y(), right - left, titleRect.height());
    show();
    raise();
    if (!m_bFiltering) {
        qApp->installEventFilter(this);
        m_bFiltering = true;
    }
}

void CTitleTip::Hide()
{
    if (m_bFiltering) {
        qApp->removeEventFilter(this);
        m_bFiltering = false;
    }
    hide();
}

void CTitleTip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::ToolTipText));
    p.setFont(m_font);
    p.drawText(rect().adjusted(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QWidget *CTitleTip::TargetAt(const QPoint &globalPos) const
{
    QWidget *w = QApplication::widgetAt(globalPos);
    if (!w || w == this || isAncestorOf(w))
        return m_parent;
    return w;
}

void CTitleTip::PassOn(QEvent::Type type, const QPoint &globalPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                       Qt::KeyboardModifiers mods)
{
    QWidget *target = TargetAt(globalPos);
    if (!target)
        return;
    const QPointF local = target->mapFromGlobal(QPointF(globalPos));
    QApplication::postEvent(target, new QMouseEvent(type, local, QPointF(globalPos), button, buttons, mods));
}

void CTitleTip::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_parent)
        return;
    const QPoint global = e->globalPosition().toPoint();
    if (m_hoverRect.contains(m_parent->mapFromGlobal(global)))
        return;
    Hide();
    PassOn(QEvent::MouseMove, global, Qt::NoButton, e->buttons(), e->modifiers());
}

void CTitleTip::mousePressEvent(QMouseEvent *e)
{
    const QPoint global = e->globalPosition().toPoint();
    Hide();
    PassOn(QEvent::MouseButtonPress, global, e->button(), e->buttons(), e->modifiers());
    e->accept();
}

void CTitleTip::leaveEvent(QEvent *)
{
    if (m_parent && !m_hoverRect.contains(m_parent->mapFromGlobal(QCursor::pos())))
        Hide();
}

bool CTitleTip::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::KeyPress:
        // The key goes on to where it was going (the grid has the focus); the tip goes.
        Hide();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched != this && watched != static_cast<QObject *>(windowHandle()))
            Hide();
        break;
    case QEvent::ApplicationDeactivate:
        Hide();
        break;
    default: break;
    }
    return false;
}
