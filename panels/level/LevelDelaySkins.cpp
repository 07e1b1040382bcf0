#include "panels/level/LevelDelaySkins.h"

#include "panels/level/LevelDelayDlg.h"
#include "panels/level/LevelPageTables.h"
#include "panels/output/OutputDlgSkins.h"
#include "model/SpeakerType.h"
#include "platform/qt/Fonts.h"
#include "res/Skins.h"
#include "res/StripSkins.h"
#include "res/Strings.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <string>

using namespace levelpage;
namespace Pal = Skins::Palette;

namespace {

constexpr QRgb Green = 0xFF33C800;
constexpr QRgb Orange = 0xFFFF8C1A;
constexpr QRgb Locked = 0xFF2F8FE6;

QRect D(int x, int y, int w, int h) { return CLevel_Delay_Dlg::Dlu(x, y, w, h); }

void caption(QPainter &p, const QRect &r, const QString &text, bool chinese, int align, int px, QRgb colour)
{
    QFont f = MakeFont(chinese ? QStringLiteral("SimSun") : QStringLiteral("Arial"), -std::max(px, chinese ? 12 : px),
                       chinese ? 400 : 700);
    f.setLetterSpacing(QFont::AbsoluteSpacing, chinese ? 1.0 : 0.6);
    p.setFont(f);
    p.setPen(QColor::fromRgb(colour));
    p.drawText(r, align, text);
}

QString words(StrId id, bool chinese) { return QString::fromUtf8(Tr(id, chinese)); }

// A recessed area with a title bar.
void section(QPainter &p, const QRect &r, StrId title, bool chinese)
{
    Skins::PaintRecessed(p, r);
    const QRect bar(r.left() + 1, r.top() + 1, r.width() - 2, 20);
    Skins::PaintCaptionBar(p, bar);
    caption(p, bar.adjusted(8, 0, -4, 0), words(title, chinese), chinese, Qt::AlignVCenter | Qt::AlignLeft, 12, Pal::Text);
}

// The car seen from above, nose up, inside the delay area.
void paintCar(QPainter &p, const QRect &body)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF b(body);
    // Wheels under the body's sides.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0b, 0x0c, 0x0e));
    const double ww = 12, wh = b.height() * 0.13;
    for (double y : {b.top() + b.height() * 0.14, b.bottom() - b.height() * 0.14 - wh}) {
        p.drawRoundedRect(QRectF(b.left() - ww * 0.55, y, ww, wh), 3, 3);
        p.drawRoundedRect(QRectF(b.right() - ww * 0.45, y, ww, wh), 3, 3);
    }
    // Body.
    QLinearGradient shell(b.topLeft(), b.topRight());
    shell.setColorAt(0, QColor(0x2b, 0x31, 0x3a));
    shell.setColorAt(0.5, QColor(0x3a, 0x41, 0x4c));
    shell.setColorAt(1, QColor(0x2b, 0x31, 0x3a));
    p.setBrush(shell);
    p.setPen(QPen(QColor(0x55, 0x5e, 0x6b), 1.5));
    p.drawRoundedRect(b, b.width() * 0.28, b.height() * 0.12);
    // Cabin: windscreen, roof and rear window.
    const double inset = b.width() * 0.16;
    const QRectF cabin(b.left() + inset, b.top() + b.height() * 0.2, b.width() - 2 * inset, b.height() * 0.62);
    p.setBrush(QColor(0x20, 0x25, 0x2c));
    p.setPen(QPen(QColor(0x4a, 0x52, 0x5e), 1));
    p.drawRoundedRect(cabin, 10, 10);
    QPainterPath screen;
    screen.moveTo(cabin.left() + 4, cabin.top() + 4);
    screen.lineTo(cabin.right() - 4, cabin.top() + 4);
    screen.lineTo(cabin.right() - 14, cabin.top() + cabin.height() * 0.16);
    screen.lineTo(cabin.left() + 14, cabin.top() + cabin.height() * 0.16);
    screen.closeSubpath();
    p.setBrush(QColor(0x1d, 0x3a, 0x4d));
    p.drawPath(screen);
    QPainterPath rear;
    rear.moveTo(cabin.left() + 14, cabin.bottom() - cabin.height() * 0.12);
    rear.lineTo(cabin.right() - 14, cabin.bottom() - cabin.height() * 0.12);
    rear.lineTo(cabin.right() - 4, cabin.bottom() - 4);
    rear.lineTo(cabin.left() + 4, cabin.bottom() - 4);
    rear.closeSubpath();
    p.drawPath(rear);
    // Seats: two front, a bench behind.
    p.setBrush(QColor(0x2c, 0x32, 0x3b));
    p.setPen(Qt::NoPen);
    const double sw = cabin.width() * 0.3, sh = cabin.height() * 0.16;
    const double sy = cabin.top() + cabin.height() * 0.3;
    p.drawRoundedRect(QRectF(cabin.left() + cabin.width() * 0.12, sy, sw, sh), 5, 5);
    p.drawRoundedRect(QRectF(cabin.right() - cabin.width() * 0.12 - sw, sy, sw, sh), 5, 5);
    p.drawRoundedRect(QRectF(cabin.left() + cabin.width() * 0.12, cabin.top() + cabin.height() * 0.62,
                             cabin.width() * 0.76, sh),
                      5, 5);
    p.restore();
}

void paintBackground(QPainter &p, const QRect &r, bool chinese)
{
    Skins::Paint(p, r, SkinSpec{SkinStyle::Panel, SkinState::Normal, r.size(), "", "", 0}, chinese);

    // Brand at the top left.
    {
        SkinSpec logo;
        logo.style = SkinStyle::Icon;
        logo.size = QSize(26, 26);
        logo.textEn = "logo";
        Skins::Paint(p, QRect(16, 16, 26, 26), logo, chinese);
        QFont brand = MakeFont(QStringLiteral("Arial"), -22, 700);
        p.setFont(brand);
        p.setPen(QColor::fromRgb(Pal::Accent));
        p.drawText(QRect(50, 12, 220, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZK-470"));
        caption(p, QRect(16, 48, 260, 20), chinese ? QStringLiteral("车载音频处理器") : QStringLiteral("CAR AUDIO DSP"),
                chinese, Qt::AlignLeft | Qt::AlignVCenter, 12, Pal::TextDim);
    }

    // Master and inputs along the top.
    const QRect master(D(205, 3, 80, 126));
    section(p, master, StrId::LevelMaster, chinese);
    const QRect inputs(D(315, 3, 535, 126).left(), master.top(), r.width() - 8 - D(315, 3, 1, 1).left(), master.height());
    section(p, inputs, StrId::LevelInputs, chinese);

    // Delays with the car at the left, outputs at the bottom right.
    const QRect delays(8, D(0, 136, 1, 1).top(), D(290, 0, 1, 1).left() - 8, r.height() - 6 - D(0, 136, 1, 1).top());
    section(p, delays, StrId::LevelDelays, chinese);
    paintCar(p, QRect(D(76, 160, 1, 1).left() + 4, D(0, 160, 1, 1).top(), D(212, 0, 1, 1).left() - D(76, 0, 1, 1).left() - 8,
                      D(0, 160, 1, 185).height()));
    caption(p, QRect(D(228, 312, 1, 1).left(), D(0, 312, 1, 1).top() - 6, 90, 16), words(StrId::OutDelayUnit, chinese),
            chinese, Qt::AlignLeft | Qt::AlignVCenter, 11, Pal::TextDim);

    const QRect outputs(D(306, 0, 1, 1).left(), delays.top(), r.width() - 8 - D(306, 0, 1, 1).left(), delays.height());
    section(p, outputs, StrId::LevelOutputs, chinese);
    static constexpr int kEditX[8] = {322, 384, 447, 510, 572, 635, 697, 760};
    for (int i = 0; i < 8; ++i) {
        const QRect column = D(kEditX[i], 358, 40, 9);
        const QRect label(column.center().x() - 40, column.top() + 2, 80, 18);
        caption(p, label, QString::fromStdString(TrArgs(StrId::LevelChannel, chinese, {std::to_string(i + 1)})),
                chinese, Qt::AlignCenter, 12, Pal::Text);
    }
    // Scale beside the output faders' column: 0 dB at the top.
    QFont f = MakeFont(QStringLiteral("Arial"), -10);
    p.setFont(f);
    p.setPen(QColor::fromRgb(Pal::TextDim));
}

// A delay-lock toggle: a bracket joining the group's icons with a chain link at its middle; grey
// and open while unlocked, blue and closed while locked.
void paintToggle(QPainter &p, const QRect &r, bool locked, int look /* 0 normal, 1 hover, 2 down */)
{
    p.setRenderHint(QPainter::Antialiasing);
    QColor ink = locked ? QColor::fromRgb(Locked) : QColor(0x8c, 0x95, 0xa3);
    if (look == 1)
        ink = ink.lighter(135);
    else if (look == 2)
        ink = ink.darker(125);
    const bool across = r.width() > r.height();
    const QRectF b = QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath bracket;
    if (across) {
        bracket.moveTo(b.left(), b.top());
        bracket.lineTo(b.left(), b.center().y());
        bracket.lineTo(b.right(), b.center().y());
        bracket.lineTo(b.right(), b.top());
    } else {
        bracket.moveTo(b.left(), b.top());
        bracket.lineTo(b.center().x(), b.top());
        bracket.lineTo(b.center().x(), b.bottom());
        bracket.lineTo(b.left(), b.bottom());
    }
    p.drawPath(bracket);
    // The link at the middle: two rounded links, joined when locked.
    const QPointF c = across ? QPointF(b.center().x(), b.center().y()) : QPointF(b.center().x(), b.center().y());
    const double lw = 11, lh = 6, gap = locked ? 3.0 : 6.0;
    p.setBrush(QColor::fromRgb(Pal::Background));
    p.save();
    p.translate(c);
    if (!across)
        p.rotate(90);
    p.drawRoundedRect(QRectF(-lw + gap / 2 - (locked ? 1 : 0), -lh / 2, lw, lh), 3, 3);
    p.drawRoundedRect(QRectF(-gap / 2 + (locked ? 1 : 0), -lh / 2, lw, lh), 3, 3);
    p.restore();
}

// A level fader's track for codes 0..600 (-60..0 dB): a dB scale left of the slot the thumb (26 x
// 13) travels along, with the fader's margins.
void paintLevelTrack(QPainter &p, const QRect &r, int marginLeft, int marginTop, int marginBottom)
{
    p.fillRect(r, QColor::fromRgb(Pal::Panel).darker(125));
    p.setRenderHint(QPainter::Antialiasing);
    constexpr int kThumbH = 13;
    const int first = marginTop + kThumbH / 2;
    const int travel = r.height() - marginTop - marginBottom - kThumbH;
    const double slotX = marginLeft + 13;
    const QRectF slot(slotX - 2, first - 4, 4, travel + 8);
    p.setPen(QPen(QColor::fromRgb(Pal::Frame), 1));
    p.setBrush(QColor(0x08, 0x09, 0x0B));
    p.drawRoundedRect(slot, 2, 2);
    QColor acc = QColor::fromRgb(Pal::Accent);
    acc.setAlpha(90);
    p.setPen(QPen(acc, 1));
    p.drawLine(QPointF(slotX, slot.top() + 2), QPointF(slotX, slot.bottom() - 2));
    p.setFont(MakeFont(QStringLiteral("Arial"), -10));
    for (int db : {0, -10, -20, -30, -40, -60}) {
        const int pos = -db * 10;  // fader position of the code (db + 60) * 10
        const double y = first + std::trunc(double(travel) * pos / 600.0) + 0.5;
        p.setPen(QPen(QColor(255, 255, 255, db == 0 ? 150 : 70), 1));
        p.drawLine(QPointF(slotX - 12, y), QPointF(slotX - 5, y));
        p.setPen(QColor::fromRgb(db == 0 ? Pal::Text : Pal::TextDim));
        p.drawText(QRectF(slotX - 40, y - 7, 26, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(db));
    }
}

SkinSpec spec(SkinStyle style, SkinState state, QSize size, const char *en, const char *cn, QRgb accent = 0)
{
    return SkinSpec{style, state, size, en, cn, accent};
}

}  // namespace

QSize InputButtonSize() { return QSize(78, 20); }
QSize MasterSwitchSize() { return QSize(44, 20); }

void RegisterLevelPageSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using S = SkinStyle;
    using St = SkinState;
    using Skins::Register;
    using Skins::RegisterPainter;

    // What the output page and the strips describe: units, polarity, on looks, master fader.
    RegisterOutputPageSkins();
    Skins::RegisterStripSkins();

    const QSize page(CLevel_Delay_Dlg::kWidth, CLevel_Delay_Dlg::kHeight);
    RegisterPainter(SkinType::Bitmap, 523, page, [](QPainter &p, const QRect &r, bool) { paintBackground(p, r, false); });
    RegisterPainter(SkinType::Bitmap, 7030, page, [](QPainter &p, const QRect &r, bool) { paintBackground(p, r, true); });

    // Faders of the input and output columns.
    RegisterPainter(SkinType::Bitmap, 388, QSize(66, 122),
                    [](QPainter &p, const QRect &r, bool) { paintLevelTrack(p, r, 38, 0, 2); });
    Register(SkinType::Bitmap, 387, spec(S::FaderThumb, St::Normal, QSize(26, 13), "", ""));
    RegisterPainter(SkinType::Bitmap, 539, QSize(64, 190),
                    [](QPainter &p, const QRect &r, bool) { paintLevelTrack(p, r, 35, 4, 4); });
    Register(SkinType::Bitmap, 538, spec(S::FaderThumb, St::Normal, QSize(26, 13), "", ""));

    // On/off: the off looks are the strips' crossed speaker (531 the pressed one); disabled.
    RegisterPainter(SkinType::Bitmap, 529, QSize(44, 20),
                    [](QPainter &p, const QRect &r, bool) { p.drawPixmap(r, Skins::Bitmap(528, r.size())); });
    RegisterPainter(SkinType::Bitmap, 531, QSize(44, 20),
                    [](QPainter &p, const QRect &r, bool) { p.drawPixmap(r, Skins::Bitmap(530, r.size())); });
    Register(SkinType::Bitmap, 4376, spec(S::Toggle, St::Disabled, QSize(44, 20), "OFF", "关"));
    Register(SkinType::Bitmap, 4377, spec(S::Toggle, St::DisabledChecked, QSize(44, 20), "ON", "开"));

    // Polarity: the pressed looks and the disabled ones the strips leave out.
    static const std::string nor[2] = {Tr(StrId::StripPhaseNormal, false), Tr(StrId::StripPhaseNormal, true)};
    static const std::string inv[2] = {Tr(StrId::StripPhaseInverted, false), Tr(StrId::StripPhaseInverted, true)};
    for (int cn = 0; cn < 2; ++cn) {
        const int base = cn ? 4380 : 4370;
        const char *n = nor[cn].c_str(), *v = inv[cn].c_str();
        Register(SkinType::Bitmap, base + 2, spec(S::Button, St::Pressed, QSize(44, 20), n, n));
        Register(SkinType::Bitmap, base + 5, spec(S::Button, St::CheckedPressed, QSize(44, 20), v, v, Pal::Warn));
        Register(SkinType::Bitmap, base + 8, spec(S::Button, St::Disabled, QSize(44, 20), n, n));
        Register(SkinType::Bitmap, base + 9, spec(S::Button, St::DisabledChecked, QSize(44, 20), v, v, Pal::Warn));
    }

    // Speaker-type labels: English from 4200, Chinese from 4230; type 0 is blank.
    static std::array<std::string, 25> en, cn;
    for (int t = 0; t <= kSpeakerTypes; ++t) {
        if (t > 0) {
            en[std::size_t(t)] = SpeakerTypeName(t, false);
            for (auto at = en[std::size_t(t)].find("&&"); at != std::string::npos; at = en[std::size_t(t)].find("&&"))
                en[std::size_t(t)].replace(at, 2, "&");
            cn[std::size_t(t)] = SpeakerTypeName(t, true);
        }
        const char *e = en[std::size_t(t)].c_str(), *c = cn[std::size_t(t)].c_str();
        Register(SkinType::Bitmap, 4200 + t, spec(S::Label, St::Normal, QSize(86, 20), e, e));
        Register(SkinType::Bitmap, 4230 + t, spec(S::Label, St::Normal, QSize(86, 20), c, c));
    }

    // Input buttons: grey, orange under the mouse, green when pressed or selected, dark when
    // selected in the alternate input mode; English from 4810, Chinese from 4850.
    static const std::string names[2][6] = {
        {Tr(StrId::LevelInputSpdif, false), Tr(StrId::LevelInputHiLevel, false), Tr(StrId::LevelInputPhone, false),
         "AUX1", "AUX2", "AUX3"},
        {Tr(StrId::LevelInputSpdif, true), Tr(StrId::LevelInputHiLevel, true), Tr(StrId::LevelInputPhone, true), "AUX1",
         "AUX2", "AUX3"}};
    for (int lang = 0; lang < 2; ++lang) {
        for (int i = 0; i < 6; ++i) {
            const int b = (lang ? 4850 : 4810) + i;
            const char *w = names[lang][i].c_str();
            const QSize size = InputButtonSize();
            Register(SkinType::Bitmap, b, spec(S::Button, St::Normal, size, w, w));
            Register(SkinType::Bitmap, b + 10, spec(S::Button, St::Hover, size, w, w, Orange));
            Register(SkinType::Bitmap, b + 20, spec(S::Button, St::Checked, size, w, w, Green));
            Register(SkinType::Bitmap, b + 30, spec(S::Button, St::CheckedPressed, size, w, w, 0xFF3A4A5C));
        }
    }

    // Master switch: off (normal, hover, down), on; English from 4890, Chinese from 4900.
    for (int lang = 0; lang < 2; ++lang) {
        const int b = lang ? 4900 : 4890;
        const char *off = lang ? "关" : "OFF", *on = lang ? "开" : "ON";
        const QSize size = MasterSwitchSize();
        Register(SkinType::Bitmap, b, spec(S::Toggle, St::Normal, size, off, off));
        Register(SkinType::Bitmap, b + 1, spec(S::Toggle, St::Hover, size, off, off));
        Register(SkinType::Bitmap, b + 2, spec(S::Toggle, St::Pressed, size, off, off));
        Register(SkinType::Bitmap, b + 3, spec(S::Toggle, St::Checked, size, on, on, Green));
        Register(SkinType::Bitmap, b + 4, spec(S::Toggle, St::CheckedHover, size, on, on, Green));
        Register(SkinType::Bitmap, b + 5, spec(S::Toggle, St::CheckedPressed, size, on, on, Green));
    }

    // The link indicator: shown while outputs are linked.
    Register(SkinType::Bitmap, 710, spec(S::Button, St::Checked, QSize(48, 18), Tr(StrId::LevelLinked, false),
                                         Tr(StrId::LevelLinked, true)));

    // Speaker icons at the sizes of the car picture: tweeters 25 x 29, midranges and woofers 24 x 35.
    const St looks[3] = {St::Normal, St::Hover, St::Pressed};
    for (int base : {7100, 7110, 7120})
        for (int k = 0; k < 3; ++k)
            Register(SkinType::Png, base + k, spec(S::Speaker, looks[k], QSize(25, 29), "", ""));
    for (int base : {7103, 7106, 7113, 7116, 7123})
        for (int k = 0; k < 3; ++k)
            Register(SkinType::Png, base + k, spec(S::Speaker, looks[k], QSize(24, 35), "", ""));

    // Delay-lock toggles.
    for (const ToggleSpec &t : Toggles()) {
        for (int k = 0; k < 6; ++k) {
            const bool locked = k >= 3;
            const int look = k % 3;
            RegisterPainter(SkinType::Png, t.images[k], QSize(t.width, t.height),
                            [locked, look](QPainter &p, const QRect &r, bool) { paintToggle(p, r, locked, look); });
        }
    }
}
