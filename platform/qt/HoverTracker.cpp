#include "platform/qt/HoverTracker.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

CHoverTracker::CHoverTracker(QWidget *widget, MoveHandler onMove, LeaveHandler onLeave)
    : QObject(widget), m_widget(widget), m_onMove(std::move(onMove)), m_onLeave(std::move(onLeave))
{
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_Hover, true);
    widget->installEventFilter(this);
}

bool CHoverTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_widget)
        return false;
    switch (event->type()) {
    case QEvent::Enter: {
        m_inside = true;
        auto *e = static_cast<QEnterEvent *>(event);
        if (m_onMove)
            m_onMove(e->position().toPoint(), Qt::NoButton, e->modifiers());
        break;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        // A drag that started on the widget goes on reporting outside it, as Windows does.
        m_inside = m_widget->rect().contains(e->position().toPoint()) || e->buttons() != Qt::NoButton;
        if (m_onMove)
            m_onMove(e->position().toPoint(), e->buttons(), e->modifiers());
        break;
    }
    case QEvent::Leave:
        m_inside = false;
        if (m_onLeave)
            m_onLeave();
        break;
    default:
        break;
    }
    return false;
}
