#pragma once
// Hover and leave tracking for a widget without mouse capture: the mouse entering or moving over
// the widget reports a hover, leaving it reports a leave. Installs itself as an event filter and
// switches mouse tracking on.

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

class CHoverTracker : public QObject {
    Q_OBJECT
public:
    using MoveHandler = std::function<void(QPoint pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)>;
    using LeaveHandler = std::function<void()>;

    CHoverTracker(QWidget *widget, MoveHandler onMove, LeaveHandler onLeave);
    bool IsInside() const { return m_inside; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_widget;
    MoveHandler m_onMove;
    LeaveHandler m_onLeave;
    bool m_inside = false;
};
