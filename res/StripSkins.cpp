#include "res/StripSkins.h"

#include "res/Skins.h"
#include "res/Strings.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace Skins {
namespace {

QString text(StrId id, bool chinese) { return QString::fromUtf8(Tr(id, chinese)); }

QFont wordsFont(int px, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Words on a background, shrunk to fit the width but never below the legible floor (12 px for
// Chinese).
void drawCaption(QPainter &p, const QRectF &r, const QString &words, QColor colour, int align, int px = 12,
                 bool bold = true)
{
    const int floor = HasChineseWords(words) ? MinChinesePixels : 8;
    px = std::max(px, HasChineseWords(words) ? MinChinesePixels : 0);
    QFont f = wordsFont(px, bold);
    while (px > floor && QFontMetrics(f).horizontalAdvance(words) > r.width())
        f.setPixelSize(--px);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(r, align, words);
}

// A recessed field for a numeric edit that paints transparently over the background.
void drawField(QPainter &p, const QRect &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF f = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(QColor(0x0F, 0x11, 0x14));
    p.drawRoundedRect(f, 3, 3);
    p.setPen(QPen(QColor(255, 255, 255, 26), 1));
    p.drawLine(QPointF(f.left() + 3, f.bottom() + 0.5), QPointF(f.right() - 3, f.bottom() + 0.5));
    p.restore();
}

void drawPanel(QPainter &p, const QRect &r)
{
    SkinSpec panel;
    panel.style = SkinStyle::Panel;
    Paint(p, r, panel, false);
}

void drawRule(QPainter &p, int x1, int x2, int y)
{
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(x1, y, x2, y);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.drawLine(x1, y + 1, x2, y + 1);
}

void paintStripBackground(QPainter &p, const QRect &r, bool chinese)
{
    using namespace StripLayout;
    drawPanel(p, r);
    const QColor dim = QColor::fromRgb(Palette::TextDim);
    drawCaption(p, QRectF(kGainCaption), text(StrId::StripGain, chinese), dim, Qt::AlignLeft | Qt::AlignVCenter);
    drawField(p, kGainEdit);
    const StrId routes[3] = {StrId::StripRouteLine, StrId::StripRouteBluetooth, StrId::StripRouteDigital};
    for (int i = 0; i < 3; ++i)
        drawCaption(p, QRectF(kRouteCaptionX, kRouteY[i] - 1, kRouteCaptionW, 18), text(routes[i], chinese), dim,
                    Qt::AlignLeft | Qt::AlignVCenter);
    drawRule(p, 6, r.width() - 7, kPhase.y() - 7);
    drawCaption(p, QRectF(kDelayCaption), text(StrId::StripDelay, chinese), dim, Qt::AlignCenter);
    drawField(p, kDelayEdit);
}

// The master fader's track: a scale in dB left of the slot the thumb travels along.
void paintMasterTrack(QPainter &p, const QRect &r)
{
    using namespace MasterLayout;
    p.fillRect(r, QColor::fromRgb(Palette::Panel).darker(125));
    p.setRenderHint(QPainter::Antialiasing);
    const int first = kMarginTop + kThumbH / 2;
    const int travel = r.height() - kMarginTop - kMarginBottom - kThumbH;
    const double slotX = kMarginLeft + 13;  // the thumb's centre line (thumb 26 wide)
    QRectF slot(slotX - 2, first - 4, 4, travel + 8);
    p.setPen(QPen(QColor::fromRgb(Palette::Frame), 1));
    p.setBrush(QColor(0x08, 0x09, 0x0B));
    p.drawRoundedRect(slot, 2, 2);
    QColor acc = QColor::fromRgb(Palette::Accent);
    acc.setAlpha(90);
    p.setPen(QPen(acc, 1));
    p.drawLine(QPointF(slotX, slot.top() + 2), QPointF(slotX, slot.bottom() - 2));
    // value 0..66 is -60..+6 dB; the top of the track is the maximum.
    const int marks[] = {6, 0, -10, -20, -30, -40, -60};
    QFont f = wordsFont(10, false);
    p.setFont(f);
    for (int db : marks) {
        const int pos = 66 - (db + 60);
        const double y = first + std::trunc(double(travel) * pos / 66.0) + 0.5;
        p.setPen(QPen(QColor(255, 255, 255, db == 0 ? 150 : 70), 1));
        p.drawLine(QPointF(25, y), QPointF(slotX - 5, y));
        p.setPen(QColor::fromRgb(db == 0 ? Palette::Text : Palette::TextDim));
        if (db > 0)
            continue;  // the top mark is too close to 0 dB for a label of its own
        const QString label = QString::number(db);
        p.drawText(QRectF(0, y - 7, 23, 14), Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

void paintMasterBackground(QPainter &p, const QRect &r, bool chinese)
{
    using namespace MasterLayout;
    drawPanel(p, r);
    drawCaption(p, QRectF(kCaption), text(StrId::StripMaster, chinese), QColor::fromRgb(Palette::Text),
                Qt::AlignCenter, 13);
    QColor acc = QColor::fromRgb(Palette::Accent);
    acc.setAlpha(160);
    p.setPen(QPen(acc, 1));
    p.drawLine(kCaption.left() + 4, kCaption.bottom() + 2, kCaption.right() - 4, kCaption.bottom() + 2);
    drawField(p, kEdit);
    drawRule(p, 6, r.width() - 7, kMute.y() - 6);
}

void paintOverlayBackground(QPainter &p, const QRect &r, bool chinese)
{
    using namespace OverlayLayout;
    drawPanel(p, r);
    drawCaption(p, QRectF(kCaption), text(StrId::StripOverlay, chinese), QColor::fromRgb(Palette::TextDim),
                Qt::AlignCenter, 11);
}

// The mute button's speaker: grey at rest, blue under the mouse, crossed out in red while muted.
void paintSpeaker(QPainter &p, const QRect &r, bool crossed, bool hover)
{
    SkinSpec face;
    face.style = SkinStyle::Button;
    face.state = hover ? SkinState::Hover : SkinState::Normal;
    face.accent = crossed && !hover ? Palette::Warn : 0;
    if (crossed && !hover)
        face.state = SkinState::Checked;
    Paint(p, r, face, false);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = hover ? QColor::fromRgb(Palette::Accent).lighter(130) : crossed ? QColor(Qt::white)
                                                                                   : QColor::fromRgb(Palette::Text);
    const double h = r.height() * 0.56, cx = r.center().x() - h * 0.35, cy = r.center().y() + 0.5;
    QPainterPath spk;
    spk.moveTo(cx - h * 0.55, cy - h * 0.22);
    spk.lineTo(cx - h * 0.2, cy - h * 0.22);
    spk.lineTo(cx + h * 0.2, cy - h * 0.55);
    spk.lineTo(cx + h * 0.2, cy + h * 0.55);
    spk.lineTo(cx - h * 0.2, cy + h * 0.22);
    spk.lineTo(cx - h * 0.55, cy + h * 0.22);
    spk.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(spk);
    const double wx = cx + h * 0.45;
    if (crossed) {
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(wx, cy - h * 0.32), QPointF(wx + h * 0.64, cy + h * 0.32));
        p.drawLine(QPointF(wx + h * 0.64, cy - h * 0.32), QPointF(wx, cy + h * 0.32));
    } else {
        p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(wx - h * 0.3, cy - h * 0.3, h * 0.6, h * 0.6), -50 * 16, 100 * 16);
        p.drawArc(QRectF(wx - h * 0.3, cy - h * 0.58, h * 1.05, h * 1.16), -50 * 16, 100 * 16);
    }
}

// Texts with a number, kept for the life of the program (skin descriptions hold pointers).
const char *numbered(StrId id, bool chinese, int n)
{
    static std::array<std::array<std::string, 10>, 2> cache[2];
    auto &slot = cache[id == StrId::StripChannel ? 0 : 1][chinese ? 1 : 0][static_cast<std::size_t>(n - 1)];
    if (slot.empty())
        slot = TrArgs(id, chinese, {std::to_string(n)});
    return slot.c_str();
}

SkinSpec spec(SkinStyle style, SkinState state, int w, int h, const char *en, const char *cn, QRgb accent = 0)
{
    return SkinSpec{style, state, QSize(w, h), en, cn, accent};
}

// Group colours of the link badges, by bitmap id 930 + k (Chinese) and 940 + k (English).
constexpr std::array<QRgb, 10> kBadgeColours{0xFF2E9A48, 0xFFD4512A, 0xFFB8860B, 0xFF2A7FD4, 0xFFC0392B,
                                             0xFF8E44AD, 0xFF16A085, 0xFFD35400, 0xFF3D6CB9, 0xFFA93279};

}  // namespace

void RegisterStripSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using S = SkinStyle;
    using St = SkinState;
    const char *linkCn = Tr(StrId::StripLink, true);
    const char *linkEn = Tr(StrId::StripLink, false);

    // Backgrounds: strip (Chinese 851, English 852), master (739, 853), overlay selector (983).
    RegisterPainter(SkinType::Bitmap, 851, StripLayout::kSize,
                    [](QPainter &p, const QRect &r, bool) { paintStripBackground(p, r, true); });
    RegisterPainter(SkinType::Bitmap, 852, StripLayout::kSize,
                    [](QPainter &p, const QRect &r, bool) { paintStripBackground(p, r, false); });
    RegisterPainter(SkinType::Bitmap, 739, MasterLayout::kSize,
                    [](QPainter &p, const QRect &r, bool) { paintMasterBackground(p, r, true); });
    RegisterPainter(SkinType::Bitmap, 853, MasterLayout::kSize,
                    [](QPainter &p, const QRect &r, bool) { paintMasterBackground(p, r, false); });
    RegisterPainter(SkinType::Bitmap, 983, OverlayLayout::kSize, paintOverlayBackground);

    // Fader tracks: the strips' (thumb margins 7 and 8 around a 26-pixel thumb) and the master's.
    Register(SkinType::Bitmap, 281, spec(S::FaderTrack, St::Normal, 41, 118, "", ""));
    RegisterPainter(SkinType::Bitmap, 357, QSize(MasterLayout::kTrackW, MasterLayout::kTrackH),
                    [](QPainter &p, const QRect &r, bool) { paintMasterTrack(p, r); });

    // Mute: grey speaker, blue speaker, red crossed speaker, blue crossed speaker.
    struct Speaker {
        int id;
        bool crossed, hover;
    };
    for (const Speaker s : {Speaker{526, false, false}, Speaker{527, false, true}, Speaker{528, true, false},
                            Speaker{530, true, true}})
        RegisterPainter(SkinType::Bitmap, s.id, QSize(44, 20),
                        [s](QPainter &p, const QRect &r, bool) { paintSpeaker(p, r, s.crossed, s.hover); });

    // Polarity: English 0° / 180°, Chinese words.
    const char *norEn = Tr(StrId::StripPhaseNormal, false), *invEn = Tr(StrId::StripPhaseInverted, false);
    const char *norCn = Tr(StrId::StripPhaseNormal, true), *invCn = Tr(StrId::StripPhaseInverted, true);
    Register(SkinType::Bitmap, 4370, spec(S::Button, St::Normal, 44, 20, norEn, norEn));
    Register(SkinType::Bitmap, 4371, spec(S::Button, St::Hover, 44, 20, norEn, norEn));
    Register(SkinType::Bitmap, 4373, spec(S::Button, St::Checked, 44, 20, invEn, invEn, Palette::Warn));
    Register(SkinType::Bitmap, 4374, spec(S::Button, St::CheckedHover, 44, 20, invEn, invEn, Palette::Warn));
    Register(SkinType::Bitmap, 4380, spec(S::Button, St::Normal, 44, 20, norCn, norCn));
    Register(SkinType::Bitmap, 4381, spec(S::Button, St::Hover, 44, 20, norCn, norCn));
    Register(SkinType::Bitmap, 4383, spec(S::Button, St::Checked, 44, 20, invCn, invCn, Palette::Warn));
    Register(SkinType::Bitmap, 4384, spec(S::Button, St::CheckedHover, 44, 20, invCn, invCn, Palette::Warn));

    // Routing toggles: empty, ticked (lit), disabled.
    Register(SkinType::Bitmap, 854, spec(S::Toggle, St::Normal, 18, 16, "", ""));
    Register(SkinType::Bitmap, 855, spec(S::Toggle, St::Checked, 18, 16, "", "", Palette::Ok));
    Register(SkinType::Bitmap, 1048, spec(S::Toggle, St::Disabled, 18, 16, "", ""));

    // Channel buttons of output i: hover 817 + 3i, normal 818 + 3i, on 819 + 3i.
    for (int i = 0; i < 8; ++i) {
        const char *en = numbered(StrId::StripChannel, false, i + 1), *cn = numbered(StrId::StripChannel, true, i + 1);
        Register(SkinType::Bitmap, 817 + 3 * i, spec(S::Button, St::Hover, 79, 20, en, cn));
        Register(SkinType::Bitmap, 818 + 3 * i, spec(S::Button, St::Normal, 79, 20, en, cn));
        Register(SkinType::Bitmap, 819 + 3 * i, spec(S::Button, St::Checked, 79, 20, en, cn));
    }

    // Link button: plain (Chinese 890, English 892), checked (891, 893), checked hover (950, 951),
    // and the badges of the ten groups.
    Register(SkinType::Bitmap, 890, spec(S::Button, St::Normal, 44, 18, linkCn, linkCn));
    Register(SkinType::Bitmap, 891, spec(S::Button, St::Checked, 44, 18, linkCn, linkCn));
    Register(SkinType::Bitmap, 950, spec(S::Button, St::CheckedHover, 44, 18, linkCn, linkCn));
    Register(SkinType::Bitmap, 892, spec(S::Button, St::Normal, 44, 18, linkEn, linkEn));
    Register(SkinType::Bitmap, 893, spec(S::Button, St::Checked, 44, 18, linkEn, linkEn));
    Register(SkinType::Bitmap, 951, spec(S::Button, St::CheckedHover, 44, 18, linkEn, linkEn));
    for (int k = 0; k < 10; ++k) {
        const QRgb c = kBadgeColours[static_cast<std::size_t>(k)];
        Register(SkinType::Bitmap, 930 + k, spec(S::Button, St::Checked, 44, 18, linkCn, linkCn, c));
        Register(SkinType::Bitmap, 940 + k, spec(S::Button, St::Checked, 44, 18, linkEn, linkEn, c));
    }

    // Overlay toggles of outputs 1..10: normal 984 + 3i, hover 985 + 3i, on 986 + 3i. The
    // selector is narrow: the channel name is drawn in the regular weight so that the Chinese
    // name keeps its 12 pixels.
    for (int i = 0; i < 10; ++i) {
        const St states[3] = {St::Normal, St::Hover, St::Checked};
        for (int k = 0; k < 3; ++k) {
            const St state = states[k];
            RegisterPainter(SkinType::Bitmap, 984 + 3 * i + k, OverlayLayout::kToggle,
                            [i, state](QPainter &p, const QRect &r, bool chinese) {
                                SkinSpec face = spec(S::Button, state, r.width(), r.height(), "", "", 0xFFB4BCC8);
                                Paint(p, r, face, chinese);
                                const bool lit = state != St::Normal;
                                drawCaption(p, QRectF(r).adjusted(1, 0, -1, 0),
                                            QString::fromUtf8(numbered(StrId::StripChannel, chinese, i + 1)),
                                            lit ? QColor(Qt::white) : QColor::fromRgb(Palette::Text), Qt::AlignCenter,
                                            12, false);
                            });
        }
    }
}

}  // namespace Skins
