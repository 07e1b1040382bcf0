#include "res/ProgramIcon.h"

#include "res/Skins.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit grid, as the SVG is.
    p.scale(size / 64.0, size / 64.0);

    QLinearGradient tile(0, 2, 0, 62);
    tile.setColorAt(0, QColor(0x34, 0x39, 0x43));
    tile.setColorAt(1, QColor(0x1B, 0x1E, 0x23));
    p.setPen(QPen(QColor(0x0D, 0x0F, 0x12), 2));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 10, 10);

    // Three faders with their knobs.
    const QColor track(0x0D, 0x0F, 0x12), knob(0xE4, 0xE8, 0xEE);
    const double xs[3] = {18, 32, 46}, ys[3] = {40, 30, 44};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(track);
        p.drawRoundedRect(QRectF(xs[i] - 2, 14, 4, 40), 2, 2);
        p.setBrush(knob);
        p.drawRoundedRect(QRectF(xs[i] - 6, ys[i] - 3, 12, 6), 2, 2);
    }

    // The response curve in the console's accent colour.
    QPainterPath curve;
    curve.moveTo(8, 36);
    curve.cubicTo(20, 36, 22, 16, 32, 20);
    curve.cubicTo(42, 24, 44, 42, 56, 26);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor::fromRgb(Skins::Palette::Accent), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(curve);
    return pm;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}
