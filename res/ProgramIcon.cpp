#include "res/ProgramIcon.h"

#include "res/Skins.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>

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

namespace {

// Draws each size the first time a window system asks for it, so a program that never shows its
// icon (a session without one, or one that names the desktop file instead) draws none of them.
class ProgramIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::max(1, std::min(size.width(), size.height()));
        QPixmap &pm = m_drawn[side];
        if (pm.isNull())
            pm = ProgramIconPixmap(side);
        if (mode == QIcon::Disabled && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption opt;
            return QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : kSides)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QIconEngine *clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("zk470-program-icon"); }

private:
    static constexpr int kSides[] = {16, 24, 32, 48, 64, 128, 256};
    std::map<int, QPixmap> m_drawn;
};

}  // namespace

QIcon ProgramIcon()
{
    return QIcon(new ProgramIconEngine);
}
