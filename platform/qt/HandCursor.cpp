#include "platform/qt/HandCursor.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QPixmap HandCursorPixmap()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Index finger up, three folded fingers and the thumb, in the classic link-hand pose.
    QPainterPath hand;
    hand.moveTo(9.5, 2.5);
    hand.cubicTo(9.5, 1.0, 12.5, 1.0, 12.5, 2.5);
    hand.lineTo(12.5, 11.0);
    hand.cubicTo(12.5, 9.6, 15.5, 9.6, 15.5, 11.0);
    hand.lineTo(15.5, 12.0);
    hand.cubicTo(15.5, 10.6, 18.5, 10.6, 18.5, 12.0);
    hand.lineTo(18.5, 13.0);
    hand.cubicTo(18.5, 11.6, 21.5, 11.6, 21.5, 13.0);
    hand.lineTo(21.5, 19.5);
    hand.cubicTo(21.5, 23.0, 20.0, 25.0, 18.5, 26.5);
    hand.lineTo(11.0, 26.5);
    hand.cubicTo(9.5, 24.5, 7.0, 21.5, 4.5, 17.5);
    hand.cubicTo(3.4, 15.8, 5.4, 14.2, 6.8, 15.6);
    hand.lineTo(9.5, 18.0);
    hand.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 0.9));
    p.drawLine(QPointF(12.5, 11.0), QPointF(12.5, 16.0));
    p.drawLine(QPointF(15.5, 12.0), QPointF(15.5, 16.0));
    p.drawLine(QPointF(18.5, 13.0), QPointF(18.5, 16.5));
    return pm;
}

const QCursor &HandCursor()
{
    static const QCursor cursor(HandCursorPixmap(), 11, 1);
    return cursor;
}
