#include "res/Skins.h"

#include "res/SkinTable.h"

#include "platform/GlobalData.h"

#include <QFont>
#include <QFontMetrics>
#include <QCache>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <map>


namespace Skins {
namespace {

struct Key {
    SkinType type;
    int id;
    int w, h;
    bool chinese;
    bool operator==(const Key &o) const
    {
        return type == o.type && id == o.id && w == o.w && h == o.h && chinese == o.chinese;
    }
};
size_t qHash(const Key &k, size_t seed = 0)
{
    return ::qHash(int(k.type), seed) ^ ::qHash(k.id, seed) ^ ::qHash((k.w << 16) ^ k.h, seed) ^ (k.chinese ? 0x9e37 : 0);
}

struct Custom {
    QSize size;
    Painter painter;
};

// Rendered pixmaps, least recently used first out, costed in KiB. The budget holds every control
// skin of a page many times over and a few window-sized backgrounds; a window that is resized
// through many sizes cannot grow it.
constexpr int kCacheBudgetKiB = 24 * 1024;

int costKiB(const QPixmap &pm) { return std::max(1, int(qint64(pm.width()) * pm.height() * pm.depth() / 8 / 1024)); }

struct Registry {
    std::map<std::pair<int, int>, SkinSpec> specs;      // registered at run time
    std::map<std::pair<int, int>, Custom> painters;
    QCache<Key, QPixmap> cache{kCacheBudgetKiB};
};

Registry &registry()
{
    static Registry r;
    return r;
}

std::pair<int, int> slot(SkinType type, int id) { return {int(type), id}; }

bool wantChinese(SkinLang lang)
{
    switch (lang) {
    case SkinLang::Chinese: return true;
    case SkinLang::English: return false;
    case SkinLang::Current: break;
    }
    return g_bChinese.load() != 0;
}

QColor accentOf(const SkinSpec &s) { return QColor::fromRgb(s.accent ? (s.accent | 0xFF000000u) : Palette::Accent); }

bool isChecked(SkinState s)
{
    return s == SkinState::Checked || s == SkinState::CheckedHover || s == SkinState::CheckedPressed ||
           s == SkinState::DisabledChecked;
}
bool isHover(SkinState s) { return s == SkinState::Hover || s == SkinState::CheckedHover; }
bool isPressed(SkinState s) { return s == SkinState::Pressed || s == SkinState::CheckedPressed; }
bool isDisabled(SkinState s) { return s == SkinState::Disabled || s == SkinState::DisabledChecked; }

QString wordsOf(const SkinSpec &s, bool chinese)
{
    const char *t = (chinese && s.textCn && *s.textCn) ? s.textCn : s.textEn;
    if ((!t || !*t) && s.textCn && *s.textCn)
        t = s.textCn;  // a skin with Chinese words only shows them in either language
    return QString::fromUtf8(t ? t : "");
}

QFont skinFont(int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(std::max(6, pixelSize));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

}  // namespace

bool HasChineseWords(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x2E80)
            return true;
    return false;
}

namespace {

// Shrinks the font until the words fit the rectangle's width, but never Chinese words below
// MinChinesePixels: those take the face's padding first (up to `slack` pixels each side), and
// are shortened with an ellipsis only when even that is too narrow.
void drawWords(QPainter &p, QRectF r, const QString &text, QColor colour, bool bold,
               int align = Qt::AlignCenter, double slack = 2)
{
    if (text.isEmpty() || r.width() < 4 || r.height() < 4)
        return;
    const int floor = HasChineseWords(text) ? MinChinesePixels : 7;
    int px = std::clamp(int(r.height() * 0.56), floor, std::max(floor, 15));
    QFont f = skinFont(px, bold);
    auto width = [&] { return QFontMetrics(f).horizontalAdvance(text); };
    while (px > floor && width() > r.width() - 4)
        f.setPixelSize(--px);
    QString shown = text;
    if (width() > r.width() - 4) {
        const double grow = std::min(slack, (width() - (r.width() - 4)) / 2.0 + 0.5);
        r.adjust(-grow, 0, grow, 0);
        if (width() > r.width() - 2)
            shown = QFontMetrics(f).elidedText(text, Qt::ElideRight, int(r.width()) - 2);
    }
    p.setFont(f);
    p.setPen(colour);
    p.drawText(r, align, shown);
}

QColor mix(QColor a, QColor b, double t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

void paintFace(QPainter &p, const QRectF &r, const SkinSpec &s, double radius)
{
    const QColor acc = accentOf(s);
    const bool chk = isChecked(s.state), hov = isHover(s.state), prs = isPressed(s.state), dis = isDisabled(s.state);
    QColor top = QColor::fromRgb(Palette::PanelLight), bottom = QColor::fromRgb(Palette::Panel);
    if (hov) {
        top = top.lighter(118);
        bottom = bottom.lighter(112);
    }
    if (chk && !dis) {
        top = mix(top, acc, 0.42);
        bottom = mix(bottom, acc, 0.28);
    }
    if (prs)
        std::swap(top, bottom);
    if (dis) {
        top = mix(top, QColor::fromRgb(Palette::Background), 0.5);
        bottom = mix(bottom, QColor::fromRgb(Palette::Background), 0.5);
    }
    QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(g);
    p.drawRoundedRect(body, radius, radius);
    // Inner highlight along the top edge and an accent outline for hover and checked looks.
    if (!prs && body.height() > 6) {
        p.setPen(QPen(QColor(255, 255, 255, dis ? 12 : 34), 1));
        p.drawLine(QPointF(body.left() + radius, body.top() + 1), QPointF(body.right() - radius, body.top() + 1));
    }
    if ((hov || chk) && !dis) {
        QColor edge = acc;
        edge.setAlpha(hov ? 230 : 150);
        p.setPen(QPen(edge, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), std::max(0.0, radius - 1), std::max(0.0, radius - 1));
    }
}

QColor textColour(const SkinSpec &s)
{
    if (isDisabled(s.state))
        return QColor::fromRgb(Palette::TextDim).darker(120);
    if (isChecked(s.state) || isHover(s.state))
        return Qt::white;
    return QColor::fromRgb(Palette::Text);
}

void paintButton(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    const double radius = std::min(4.0, std::min(r.width(), r.height()) / 4.0);
    paintFace(p, r, s, radius);
    QRectF tr = r.adjusted(3, 1, -3, -1);
    if (isPressed(s.state))
        tr.translate(0, 1);
    drawWords(p, tr, wordsOf(s, chinese), textColour(s), true);
}

void paintLedDot(QPainter &p, QPointF c, double rad, QColor colour, bool lit)
{
    QRadialGradient g(c - QPointF(rad * 0.35, rad * 0.35), rad * 1.4);
    if (lit) {
        g.setColorAt(0, colour.lighter(170));
        g.setColorAt(0.5, colour);
        g.setColorAt(1, colour.darker(170));
        QColor halo = colour;
        halo.setAlpha(60);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, rad + 1.5, rad + 1.5);
    } else {
        g.setColorAt(0, QColor(0x55, 0x5B, 0x66));
        g.setColorAt(1, QColor(0x1A, 0x1D, 0x22));
    }
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(g);
    p.drawEllipse(c, rad, rad);
}

void paintToggle(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    SkinSpec face = s;
    const bool lit = isChecked(s.state);
    // The switch shows its state by its lamp; the face itself only reacts to hover and press.
    face.state = isDisabled(s.state) ? SkinState::Disabled
                 : isPressed(s.state) ? SkinState::Pressed
                 : isHover(s.state)   ? SkinState::Hover
                                      : SkinState::Normal;
    const double radius = std::min(4.0, std::min(r.width(), r.height()) / 4.0);
    paintFace(p, r, face, radius);
    const QString words = wordsOf(s, chinese);
    const double rad = std::clamp(std::min(r.width(), r.height()) * 0.2, 2.0, 6.0);
    if (words.isEmpty()) {
        paintLedDot(p, QRectF(r).center(), rad, accentOf(s), lit && !isDisabled(s.state));
        return;
    }
    const double cx = r.left() + 4 + rad;
    paintLedDot(p, QPointF(cx, QRectF(r).center().y()), rad, accentOf(s), lit && !isDisabled(s.state));
    QRectF tr(cx + rad + 2, r.top() + 1, r.right() - (cx + rad + 2) - 2, r.height() - 2);
    drawWords(p, tr, words, lit ? Qt::white : textColour(face), true);
}

void paintPanel(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor::fromRgb(Palette::Panel));
    g.setColorAt(1, QColor::fromRgb(Palette::Background));
    p.fillRect(r, g);
    // Fine brushed lines give the metal a grain without drawing attention: one tiled brush
    // rather than a translucent line per row, so a window-sized panel costs one fill.
    static const QBrush grain = [] {
        QImage tile(8, 3, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixelColor(x, 2, QColor(255, 255, 255, 6));
        return QBrush(tile);
    }();
    p.setBrushOrigin(r.left(), r.top());
    p.fillRect(QRect(r.left(), r.top(), r.width(), r.height() - 1), grain);
    p.setBrushOrigin(0, 0);
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    const QString words = wordsOf(s, chinese);
    if (r.width() >= 600) {
        // A window-sized background: a caption band with the title centred, an accent rule
        // under it, and a darker foot so the page area reads as one console face.
        const int bandH = 28;
        const QRect band(r.left() + 1, r.top() + 1, r.width() - 2, bandH);
        QLinearGradient bg(band.topLeft(), band.bottomLeft());
        bg.setColorAt(0, QColor(0x30, 0x35, 0x3E));
        bg.setColorAt(1, QColor(0x1F, 0x23, 0x29));
        p.fillRect(band, bg);
        QColor acc = accentOf(s);
        acc.setAlpha(190);
        p.setPen(QPen(acc, 1));
        p.drawLine(band.left(), band.bottom() + 1, band.right(), band.bottom() + 1);
        drawWords(p, QRectF(band).adjusted(120, 3, -120, -3), words, QColor::fromRgb(Palette::Text), true);
        QLinearGradient foot(QPointF(0, r.bottom() - 40), QPointF(0, r.bottom()));
        foot.setColorAt(0, QColor(0, 0, 0, 0));
        foot.setColorAt(1, QColor(0, 0, 0, 70));
        p.fillRect(QRect(r.left() + 1, r.bottom() - 40, r.width() - 2, 40), foot);
    } else if (!words.isEmpty()) {
        const int h = std::min(22, std::max(12, r.height() / 5));
        QRectF band(r.left() + 8, r.top() + 3, r.width() - 16, h);
        drawWords(p, band, words, QColor::fromRgb(Palette::TextDim), true, Qt::AlignLeft | Qt::AlignVCenter);
        QColor acc = accentOf(s);
        acc.setAlpha(160);
        p.setPen(QPen(acc, 1));
        p.drawLine(QPointF(r.left() + 8, band.bottom() + 1.5), QPointF(r.right() - 8, band.bottom() + 1.5));
    }
}

void paintTab(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    SkinSpec face = s;
    const bool sel = isChecked(s.state);
    if (sel)
        face.state = SkinState::Normal;
    paintFace(p, r.adjusted(0, 0, 0, 3), face, 4);  // the bottom corners fall outside: square foot
    if (sel) {
        p.fillRect(QRect(r.left() + 2, r.bottom() - 2, r.width() - 4, 3), accentOf(s));
    }
    drawWords(p, QRectF(r).adjusted(4, 1, -4, -3), wordsOf(s, chinese), sel ? Qt::white : textColour(s), true);
}

void paintTrack(QPainter &p, const QRect &r, const SkinSpec &s)
{
    p.fillRect(r, QColor::fromRgb(Palette::Background));
    const bool vertical = r.height() >= r.width();
    const double len = vertical ? r.height() : r.width();
    // Scale ticks on both sides of the slot.
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    const int ticks = 10;
    for (int i = 0; i <= ticks; ++i) {
        const double t = 4 + (len - 8) * i / ticks;
        if (vertical) {
            const double y = r.top() + t;
            const double w = (i % 5 == 0) ? r.width() * 0.22 : r.width() * 0.13;
            p.drawLine(QPointF(r.left() + 1, y), QPointF(r.left() + 1 + w, y));
            p.drawLine(QPointF(r.right() - w, y), QPointF(r.right(), y));
        } else {
            const double x = r.left() + t;
            const double h = (i % 5 == 0) ? r.height() * 0.22 : r.height() * 0.13;
            p.drawLine(QPointF(x, r.top() + 1), QPointF(x, r.top() + 1 + h));
            p.drawLine(QPointF(x, r.bottom() - h), QPointF(x, r.bottom()));
        }
    }
    const double slot = 4;
    QRectF sr = vertical ? QRectF(QRectF(r).center().x() - slot / 2, r.top() + 3, slot, r.height() - 6)
                         : QRectF(r.left() + 3, QRectF(r).center().y() - slot / 2, r.width() - 6, slot);
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(QColor(0x08, 0x09, 0x0B));
    p.drawRoundedRect(sr, 2, 2);
    if (!isDisabled(s.state)) {
        QColor acc = accentOf(s);
        acc.setAlpha(isChecked(s.state) ? 170 : 70);
        p.setPen(QPen(acc, 1));
        if (vertical)
            p.drawLine(QPointF(sr.center().x(), sr.top() + 2), QPointF(sr.center().x(), sr.bottom() - 2));
        else
            p.drawLine(QPointF(sr.left() + 2, sr.center().y()), QPointF(sr.right() - 2, sr.center().y()));
    }
}

void paintThumb(QPainter &p, const QRect &r, const SkinSpec &s)
{
    p.fillRect(r, QColor::fromRgb(Palette::Key));  // key colour: masked away by the slider
    const bool vertical = r.width() >= r.height();  // a vertical fader's cap is wider than tall
    QRectF body = QRectF(r).adjusted(1, 1, -1, -1);
    const bool dim = isDisabled(s.state);
    QLinearGradient g(body.topLeft(), vertical ? body.bottomLeft() : body.topRight());
    g.setColorAt(0, dim ? QColor(0x5A, 0x5E, 0x66) : QColor(0xD7, 0xDC, 0xE3));
    g.setColorAt(0.48, dim ? QColor(0x44, 0x48, 0x4F) : QColor(0x9A, 0xA1, 0xAC));
    g.setColorAt(0.52, dim ? QColor(0x3C, 0x40, 0x46) : QColor(0x7C, 0x83, 0x8E));
    g.setColorAt(1, dim ? QColor(0x2E, 0x31, 0x36) : QColor(0x4C, 0x52, 0x5B));
    p.setPen(QPen(QColor(0x0A, 0x0B, 0x0D), 1));  // a near-black outline that the key leaves alone
    p.setBrush(g);
    p.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    QColor line = isChecked(s.state) || isHover(s.state) ? accentOf(s) : QColor(0xF4, 0xF6, 0xF8);
    if (dim)
        line = QColor(0x8C, 0x95, 0xA3);
    p.setPen(QPen(line, vertical ? 2 : 2));
    if (vertical)
        p.drawLine(QPointF(body.left() + 3, body.center().y()), QPointF(body.right() - 3, body.center().y()));
    else
        p.drawLine(QPointF(body.center().x(), body.top() + 3), QPointF(body.center().x(), body.bottom() - 3));
}

void paintArrow(QPainter &p, const QRect &r, const SkinSpec &s)
{
    paintFace(p, r, s, std::min(3.0, std::min(r.width(), r.height()) / 4.0));
    const QString dir = QString::fromUtf8(s.textEn);
    QRectF a = QRectF(r).adjusted(r.width() * 0.3, r.height() * 0.32, -r.width() * 0.3, -r.height() * 0.32);
    if (isPressed(s.state))
        a.translate(0, 1);
    QPolygonF tri;
    if (dir == QLatin1String("up"))
        tri << QPointF(a.left(), a.bottom()) << QPointF(a.right(), a.bottom()) << QPointF(a.center().x(), a.top());
    else if (dir == QLatin1String("left"))
        tri << QPointF(a.right(), a.top()) << QPointF(a.right(), a.bottom()) << QPointF(a.left(), a.center().y());
    else if (dir == QLatin1String("right"))
        tri << QPointF(a.left(), a.top()) << QPointF(a.left(), a.bottom()) << QPointF(a.right(), a.center().y());
    else if (dir == QLatin1String("plus") || dir == QLatin1String("minus")) {
        p.setPen(QPen(textColour(s), 2, Qt::SolidLine, Qt::FlatCap));
        const QPointF c = a.center();
        const double h = std::min(a.width(), a.height()) / 2 + 1;
        p.drawLine(QPointF(c.x() - h, c.y()), QPointF(c.x() + h, c.y()));
        if (dir == QLatin1String("plus"))
            p.drawLine(QPointF(c.x(), c.y() - h), QPointF(c.x(), c.y() + h));
        return;
    } else
        tri << QPointF(a.left(), a.top()) << QPointF(a.right(), a.top()) << QPointF(a.center().x(), a.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(isHover(s.state) ? accentOf(s) : textColour(s));
    p.drawPolygon(tri);
}

void paintBar(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    QColor c = isHover(s.state) || isPressed(s.state) || isChecked(s.state) ? accentOf(s)
                                                                             : QColor::fromRgb(Palette::PanelLight);
    if (isDisabled(s.state))
        c = QColor::fromRgb(Palette::Panel);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(112));
    g.setColorAt(1, c.darker(118));
    p.fillRect(r, g);
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
    drawWords(p, QRectF(r).adjusted(6, 0, -6, 0), wordsOf(s, chinese), Qt::white, false,
              Qt::AlignLeft | Qt::AlignVCenter);
}

void paintLabel(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    p.fillRect(r, QColor::fromRgb(Palette::Panel));
    drawWords(p, QRectF(r).adjusted(2, 0, -2, 0), wordsOf(s, chinese),
              isChecked(s.state) ? accentOf(s) : QColor::fromRgb(Palette::Text), true);
}

void paintPicture(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese, bool jack)
{
    // Picture buttons on transparent ground: hover rings it in the accent, pressed and
    // checked give it a green glow.
    const bool glow = isPressed(s.state) || isChecked(s.state);
    const QRectF box = QRectF(r).adjusted(2, 2, -2, -2);
    if (glow) {
        QRadialGradient halo(box.center(), std::max(box.width(), box.height()) * 0.6);
        halo.setColorAt(0, QColor(51, 200, 0, 150));
        halo.setColorAt(1, QColor(51, 200, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawRect(QRectF(r));
    }
    QColor ring = isHover(s.state) ? accentOf(s) : glow ? QColor(51, 200, 0) : QColor(0x5A, 0x61, 0x6C);
    if (!jack) {
        const double d = std::min(box.width(), box.height());
        const QPointF c = box.center();
        QRadialGradient cone(c, d / 2);
        cone.setColorAt(0, QColor(0x4A, 0x50, 0x5A));
        cone.setColorAt(0.55, QColor(0x22, 0x26, 0x2C));
        cone.setColorAt(1, QColor(0x10, 0x12, 0x15));
        p.setPen(QPen(ring, 1.5));
        p.setBrush(cone);
        p.drawEllipse(c, d / 2 - 1, d / 2 - 1);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, d * 0.32, d * 0.32);
        p.setBrush(QColor(0x8C, 0x95, 0xA3));
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, d * 0.12, d * 0.12);
    } else {
        const QString label = wordsOf(s, chinese);
        const double labelH = label.isEmpty() ? 0 : std::min(16.0, box.height() * 0.28);
        QRectF plate = box.adjusted(0, 0, 0, -labelH);
        p.setPen(QPen(ring, 1.5));
        p.setBrush(QColor(0x20, 0x24, 0x2A));
        p.drawRoundedRect(plate, 5, 5);
        const double d = std::min(plate.width(), plate.height()) * 0.62;
        QRadialGradient metal(plate.center() - QPointF(d * 0.15, d * 0.15), d * 0.7);
        metal.setColorAt(0, QColor(0xF0, 0xD9, 0x8A));
        metal.setColorAt(1, QColor(0x8A, 0x6D, 0x24));
        p.setPen(QPen(QColor(0x0A, 0x0B, 0x0D), 1));
        p.setBrush(metal);
        p.drawEllipse(plate.center(), d / 2, d / 2);
        p.setBrush(QColor(0x0A, 0x0B, 0x0D));
        p.drawEllipse(plate.center(), d * 0.18, d * 0.18);
        if (!label.isEmpty())
            drawWords(p, QRectF(box.left(), plate.bottom() + 1, box.width(), labelH), label,
                      glow ? QColor(51, 200, 0) : QColor::fromRgb(Palette::Text), true);
    }
}

void paintStepField(QPainter &p, const QRect &r, const SkinSpec &s)
{
    const QString hot = QString::fromUtf8(s.textEn);
    const QRectF body = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(0x0B, 0x0D, 0x10));
    g.setColorAt(1, QColor(0x15, 0x18, 0x1D));
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 2, 2);
    const double area = r.width() / 5.5;
    const QRectF minus(body.left(), body.top(), area, body.height());
    const QRectF plus(body.right() - area, body.top(), area, body.height());
    const QColor acc = accentOf(s);
    auto lit = [&](const QRectF &a) {
        QColor fill = acc;
        fill.setAlpha(90);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(a.adjusted(1, 1, -1, -1), 2, 2);
    };
    if (hot == QLatin1String("minus"))
        lit(minus);
    else if (hot == QLatin1String("plus"))
        lit(plus);
    else if (hot == QLatin1String("middle")) {
        p.setPen(QPen(acc, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(area, 1, -area, -1), 2, 2);
    }
    // Hairline separators and the two marks.
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawLine(QPointF(minus.right(), body.top() + 3), QPointF(minus.right(), body.bottom() - 3));
    p.drawLine(QPointF(plus.left(), body.top() + 3), QPointF(plus.left(), body.bottom() - 3));
    const double h = std::clamp(std::min(area, body.height()) * 0.22, 2.0, 5.0);
    auto mark = [&](const QRectF &a, bool isPlus, bool isHot) {
        p.setPen(QPen(isHot ? QColor(Qt::white) : QColor::fromRgb(Palette::TextDim), 1.6, Qt::SolidLine, Qt::FlatCap));
        const QPointF c = a.center();
        p.drawLine(QPointF(c.x() - h, c.y()), QPointF(c.x() + h, c.y()));
        if (isPlus)
            p.drawLine(QPointF(c.x(), c.y() - h), QPointF(c.x(), c.y() + h));
    };
    mark(minus, false, hot == QLatin1String("minus"));
    mark(plus, true, hot == QLatin1String("plus"));
}

void paintIcon(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    const QString name = QString::fromUtf8(s.textEn);
    const bool hot = isHover(s.state) || isPressed(s.state) || isChecked(s.state);
    QColor ink = hot ? accentOf(s) : QColor::fromRgb(Palette::Text);
    if (isDisabled(s.state))
        ink = QColor::fromRgb(Palette::TextDim);
    const QRectF a = QRectF(r).adjusted(r.width() * 0.22, r.height() * 0.22, -r.width() * 0.22, -r.height() * 0.22);
    if (name == QLatin1String("close") || name == QLatin1String("min")) {
        p.fillRect(r, isHover(s.state) || isPressed(s.state)
                          ? (name == QLatin1String("close") ? QColor(0xC4, 0x2B, 0x1C) : QColor::fromRgb(Palette::Accent))
                          : QColor::fromRgb(Palette::Background));
        p.setPen(QPen(isHover(s.state) || isPressed(s.state) ? QColor(Qt::white) : ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        if (name == QLatin1String("close")) {
            p.drawLine(a.topLeft(), a.bottomRight());
            p.drawLine(a.topRight(), a.bottomLeft());
        } else {
            p.drawLine(QPointF(a.left(), a.bottom() - 1), QPointF(a.right(), a.bottom() - 1));
        }
        return;
    }
    if (name == QLatin1String("logo")) {
        p.fillRect(r, QColor::fromRgb(Palette::Background));
        QRectF box = QRectF(r).adjusted(4, 4, -4, -4);
        // A stylised sine over a level ladder, with the product name under it.
        QPainterPath wave;
        const double mid = box.top() + box.height() * 0.36, amp = box.height() * 0.18;
        for (int i = 0; i <= 64; ++i) {
            const double x = box.left() + box.width() * i / 64.0;
            const double y = mid - amp * std::sin(i / 64.0 * 2 * 3.14159265 * 1.5) * (1 - i / 96.0);
            i == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
        }
        p.setPen(QPen(accentOf(s), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
        drawWords(p, QRectF(box.left(), box.top() + box.height() * 0.62, box.width(), box.height() * 0.34),
                  QStringLiteral("ZK-470"), QColor::fromRgb(Palette::Text), true);
        return;
    }
    paintFace(p, r, s, 3);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (name == QLatin1String("mute")) {
        QPolygonF spk;
        spk << QPointF(a.left(), a.top() + a.height() * 0.35) << QPointF(a.left() + a.width() * 0.25, a.top() + a.height() * 0.35)
            << QPointF(a.left() + a.width() * 0.5, a.top()) << QPointF(a.left() + a.width() * 0.5, a.bottom())
            << QPointF(a.left() + a.width() * 0.25, a.top() + a.height() * 0.65) << QPointF(a.left(), a.top() + a.height() * 0.65);
        p.drawPolygon(spk);
        if (isChecked(s.state)) {
            p.setPen(QPen(QColor::fromRgb(Palette::Warn), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(a.left() + a.width() * 0.65, a.top() + a.height() * 0.3), QPointF(a.right(), a.bottom() - a.height() * 0.3));
            p.drawLine(QPointF(a.right(), a.top() + a.height() * 0.3), QPointF(a.left() + a.width() * 0.65, a.bottom() - a.height() * 0.3));
        } else {
            p.drawArc(QRectF(a.left() + a.width() * 0.35, a.top() + a.height() * 0.2, a.width() * 0.4, a.height() * 0.6), -50 * 16, 100 * 16);
            p.drawArc(QRectF(a.left() + a.width() * 0.3, a.top(), a.width() * 0.7, a.height()), -50 * 16, 100 * 16);
        }
    } else if (name == QLatin1String("phase")) {
        p.drawEllipse(a.center(), a.width() * 0.38, a.height() * 0.38);
        p.drawLine(QPointF(a.left() + a.width() * 0.12, a.bottom() - a.height() * 0.12),
                   QPointF(a.right() - a.width() * 0.12, a.top() + a.height() * 0.12));
    } else if (name == QLatin1String("link")) {
        const double w = a.width() * 0.55, h = a.height() * 0.42;
        p.drawRoundedRect(QRectF(a.left(), a.center().y() - h / 2, w, h), h / 2, h / 2);
        p.drawRoundedRect(QRectF(a.right() - w, a.center().y() - h / 2, w, h), h / 2, h / 2);
    } else if (name == QLatin1String("tick")) {
        if (isChecked(s.state)) {
            p.drawLine(QPointF(a.left(), a.center().y()), QPointF(a.left() + a.width() * 0.4, a.bottom()));
            p.drawLine(QPointF(a.left() + a.width() * 0.4, a.bottom()), QPointF(a.right(), a.top()));
        }
    } else {
        drawWords(p, QRectF(r), wordsOf(s, chinese), ink, true);
    }
}

}  // namespace

void PaintRecessed(QPainter &p, const QRect &r)
{
    p.fillRect(r, QColor(0x16, 0x19, 0x1d));
    p.setPen(QColor::fromRgb(Palette::Frame));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QColor::fromRgb(Palette::PanelLight));
    p.drawLine(r.bottomLeft() + QPoint(1, 0), r.bottomRight());
}

void PaintCaptionBar(QPainter &p, const QRect &bar)
{
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, QColor::fromRgb(Palette::PanelLight));
    g.setColorAt(1, QColor::fromRgb(Palette::Panel));
    p.fillRect(bar, g);
    p.fillRect(QRect(bar.left(), bar.top(), 3, bar.height()), QColor::fromRgb(Palette::Accent));
}

void Paint(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese)
{
    if (r.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    switch (s.style) {
    case SkinStyle::Panel: paintPanel(p, r, s, chinese); break;
    case SkinStyle::Button: paintButton(p, r, s, chinese); break;
    case SkinStyle::Toggle: paintToggle(p, r, s, chinese); break;
    case SkinStyle::Led:
        p.fillRect(r, QColor::fromRgb(Palette::Background));
        paintLedDot(p, QRectF(r).center(), std::max(1.5, std::min(r.width(), r.height()) / 2.0 - 2), accentOf(s),
                    isChecked(s.state));
        break;
    case SkinStyle::Tab: paintTab(p, r, s, chinese); break;
    case SkinStyle::FaderTrack: paintTrack(p, r, s); break;
    case SkinStyle::FaderThumb: paintThumb(p, r, s); break;
    case SkinStyle::Arrow: paintArrow(p, r, s); break;
    case SkinStyle::Bar: paintBar(p, r, s, chinese); break;
    case SkinStyle::Label: paintLabel(p, r, s, chinese); break;
    case SkinStyle::Icon: paintIcon(p, r, s, chinese); break;
    case SkinStyle::Speaker: paintPicture(p, r, s, chinese, false); break;
    case SkinStyle::Jack: paintPicture(p, r, s, chinese, true); break;
    case SkinStyle::StepField: paintStepField(p, r, s); break;
    }
    p.restore();
}

QPixmap Render(const SkinSpec &spec, QSize size, bool chinese, SkinType type)
{
    if (size.isEmpty())
        size = spec.size;
    if (size.isEmpty())
        return {};
    QPixmap pm(size);
    pm.fill(type == SkinType::Png ? QColor(Qt::transparent) : QColor::fromRgb(Palette::Background));
    QPainter p(&pm);
    Paint(p, QRect(QPoint(0, 0), size), spec, chinese);
    return pm;
}

const SkinSpec *Find(SkinType type, int id)
{
    auto &reg = registry();
    if (auto it = reg.specs.find(slot(type, id)); it != reg.specs.end())
        return &it->second;
    return FindBuiltIn(type, id);
}

bool Has(SkinType type, int id)
{
    if (id == 0)
        return false;
    auto &reg = registry();
    return reg.painters.count(slot(type, id)) != 0 || Find(type, id) != nullptr;
}

QSize NaturalSize(SkinType type, int id)
{
    if (id == 0)
        return {};
    auto &reg = registry();
    if (auto it = reg.painters.find(slot(type, id)); it != reg.painters.end())
        return it->second.size;
    if (const SkinSpec *s = Find(type, id))
        return s->size;
    return UndescribedSize;
}

void Register(SkinType type, int id, const SkinSpec &spec)
{
    auto &reg = registry();
    reg.specs[slot(type, id)] = spec;
    reg.painters.erase(slot(type, id));
    ClearCache();
}

void RegisterPainter(SkinType type, int id, QSize naturalSize, Painter painter)
{
    auto &reg = registry();
    reg.painters[slot(type, id)] = Custom{naturalSize, std::move(painter)};
    ClearCache();
}

void Draw(QPainter &p, const QRect &r, SkinType type, int id, SkinLang lang)
{
    if (id == 0 || r.isEmpty())
        return;
    const bool chinese = wantChinese(lang);
    auto &reg = registry();
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    if (type == SkinType::Bitmap)
        p.fillRect(r, QColor::fromRgb(Palette::Background));  // what Get() starts from
    if (auto it = reg.painters.find(slot(type, id)); it != reg.painters.end()) {
        it->second.painter(p, r, chinese);
    } else {
        const SkinSpec *s = Find(type, id);
        Paint(p, r, s ? *s : SkinSpec{}, chinese);
    }
    p.restore();
}

QPixmap Get(SkinType type, int id, QSize size, SkinLang lang)
{
    if (id == 0)
        return {};
    if (size.isEmpty())
        size = NaturalSize(type, id);
    if (size.isEmpty())
        return {};
    const bool chinese = wantChinese(lang);
    auto &reg = registry();
    const Key key{type, id, size.width(), size.height(), chinese};
    if (const QPixmap *hit = reg.cache.object(key))
        return *hit;
    QPixmap pm;
    if (auto it = reg.painters.find(slot(type, id)); it != reg.painters.end()) {
        pm = QPixmap(size);
        pm.fill(type == SkinType::Png ? QColor(Qt::transparent) : QColor::fromRgb(Palette::Background));
        QPainter p(&pm);
        it->second.painter(p, QRect(QPoint(0, 0), size), chinese);
    } else if (const SkinSpec *s = Find(type, id)) {
        pm = Render(*s, size, chinese, type);
    } else {
        SkinSpec plain;  // undescribed: a neutral button face so nothing shows as a hole
        pm = Render(plain, size, chinese, type);
    }
    // A pixmap above the whole budget is handed out without being kept.
    if (const int cost = costKiB(pm); cost <= reg.cache.maxCost())
        reg.cache.insert(key, new QPixmap(pm), cost);
    return pm;
}

void ClearCache() { registry().cache.clear(); }

namespace {
double relativeLuminance(QColor c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}
}  // namespace

double Contrast(QColor a, QColor b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableBackdrop(QColor text)
{
    // The console's own grounds first, then its light plate; pure black or white as the last word.
    const QColor candidates[] = {QColor::fromRgb(Palette::Panel), QColor::fromRgb(Palette::Frame),
                                 QColor(0xD5, 0xDB, 0xE3), QColor(Qt::white)};
    for (const QColor &c : candidates)
        if (Contrast(text, c) >= MinTextContrast)
            return c;
    return Contrast(text, Qt::black) > Contrast(text, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

qint64 CachedBytes() { return qint64(registry().cache.totalCost()) * 1024; }

qint64 CacheBudgetBytes() { return qint64(kCacheBudgetKiB) * 1024; }

}  // namespace Skins
