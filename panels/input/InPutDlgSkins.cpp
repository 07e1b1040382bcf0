#include "panels/input/InPutDlgSkins.h"

#include "panels/input/InPutDlg.h"
#include "panels/output/EqButtonSkins.h"
#include "res/Skins.h"
#include "res/Strings.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

using S = SkinStyle;
using St = SkinState;
constexpr QRgb Green = 0xFF33C800;
constexpr QRgb Amber = 0xFFFFB020;

// Main sources 0..6 and inputs 0..5 share their names; 6 is OFF as a source.
constexpr StrId kSourceNames[7] = {StrId::InSourceSpdif, StrId::InSourceHiLevel, StrId::InSourcePhone,
                                   StrId::InSourceAux1,  StrId::InSourceAux2,    StrId::InSourceAux3,
                                   StrId::InSourceOff};

constexpr QSize kColumnButton{150, 30};

QRect Dlu(int x, int y, int w, int h) { return DluRect(x, y, w, h, kInputPageUnits); }

void caption(QPainter &p, const QRect &r, StrId id, bool chinese, int align, int px = 12,
             QRgb colour = Skins::Palette::TextDim)
{
    QFont f = MakeFont(chinese ? QStringLiteral("SimSun") : QStringLiteral("Arial"), -std::max(px, chinese ? 12 : px),
                       chinese ? 400 : 700);
    f.setLetterSpacing(QFont::AbsoluteSpacing, chinese ? 1.0 : 0.5);
    p.setFont(f);
    p.setPen(QColor::fromRgb(colour));
    p.drawText(r, align, QString::fromUtf8(Tr(id, chinese)));
}

void section(QPainter &p, const QRect &r)
{
    Skins::PaintRecessed(p, r);
}

// A caption bar with the accent at its left, over a column group.
void title(QPainter &p, const QRect &r, StrId id, bool chinese)
{
    Skins::PaintCaptionBar(p, r);
    caption(p, r.adjusted(8, 0, -4, 0), id, chinese, Qt::AlignVCenter | Qt::AlignLeft, 12, Skins::Palette::Text);
}

void paintBackground(QPainter &p, const QRect &r, bool chinese)
{
    Skins::Paint(p, r, SkinSpec{S::Panel, St::Normal, r.size(), "", "", 0}, chinese);

    // Left column: input selection, the main source, the Hi.Level and AUX modes.
    const int colL = 12, colW = 186;
    const QRect inputs(colL, 6, colW, CInPutDlg::InputSlot(5).bottom() + 8 - 6);
    const QRect mixer(colL, Dlu(0, 209, 1, 1).top() - 30, colW, 30 + 34 + 12);
    const QRect hiLevel(colL, Dlu(0, 264, 1, 1).top() - 30, colW, Dlu(0, 291, 1, 1).top() + 30 + 8 - (Dlu(0, 264, 1, 1).top() - 30));
    const QRect aux(colL, Dlu(0, 342, 1, 1).top() - 30, colW, Dlu(0, 394, 1, 1).top() + 30 + 8 - (Dlu(0, 342, 1, 1).top() - 30));
    const std::pair<QRect, StrId> groups[] = {{inputs, StrId::InSelectCaption}, {mixer, StrId::InMixerCaption},
                                              {hiLevel, StrId::InHiLevelCaption}, {aux, StrId::InAuxCaption}};
    for (const auto &[box, id] : groups) {
        section(p, box);
        title(p, QRect(box.left() + 1, box.top() + 1, box.width() - 2, 22), id, chinese);
    }
    // The input buttons' well starts under its title.
    (void)inputs;

    // The graph's well.
    section(p, CInPutDlg::GraphRect().adjusted(-2, -2, 2, 2));

    // Band rows: a well behind the fifteen strips with the row captions at its left.
    const int rowsL = 206, rowsR = r.width() - 8;
    const QRect rows(rowsL, Dlu(0, 182, 1, 1).top() - 6, rowsR - rowsL, Dlu(0, 291, 1, 1).top() + 24 - (Dlu(0, 182, 1, 1).top() - 6));
    section(p, rows);
    const std::pair<StrId, int> rowCaptions[] = {{StrId::InRowId, 182}, {StrId::InRowFreq, 196}, {StrId::InRowQ, 210},
                                                 {StrId::InRowGain, 224}, {StrId::InRowWork, 291}};
    for (const auto &[id, y] : rowCaptions)
        caption(p, QRect(Dlu(170, 0, 1, 1).left(), Dlu(0, y, 1, 1).top(), 34, 17), id, chinese, Qt::AlignLeft | Qt::AlignVCenter, 11);

    // The connector picture's well, and the selected input's name at the right.
    section(p, QRect(CInPutDlg::kConnectorX - 4, CInPutDlg::kConnectorY - 4, 868, 183));
    const QRect titleAt = Dlu(887, 405, 1, 1);
    caption(p, QRect(titleAt.left() - 8, titleAt.top() - 24, r.width() - titleAt.left(), 20), StrId::InSelectedInput,
            chinese, Qt::AlignLeft | Qt::AlignVCenter, 12);
}

void registerColumnButton(int normal, int hover, int checked, StrId words, QRgb accent = 0)
{
    Skins::Register(SkinType::Bitmap, normal, SkinWords(S::Toggle, St::Normal, kColumnButton, words));
    Skins::Register(SkinType::Bitmap, hover, SkinWords(S::Toggle, St::Hover, kColumnButton, words));
    Skins::Register(SkinType::Bitmap, checked, SkinWords(S::Toggle, St::Checked, kColumnButton, words, accent));
}

}  // namespace

void RegisterInputPageSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterEqButtonSkins();

    const QSize page(CInPutDlg::kWidth, CInPutDlg::kHeight);
    Skins::RegisterPainter(SkinType::Bitmap, 383, page, [](QPainter &p, const QRect &r, bool) { paintBackground(p, r, false); });
    Skins::RegisterPainter(SkinType::Bitmap, 389, page, [](QPainter &p, const QRect &r, bool) { paintBackground(p, r, true); });

    // Input buttons: normal, hover, checked from 8100 (English) and 8130 (Chinese); the checked
    // look of the alternate input mode from 8210 (English) and 8200 (Chinese).
    for (int n = 0; n < CInPutDlg::kInputs; ++n) {
        registerColumnButton(8100 + n, 8110 + n, 8120 + n, kSourceNames[n], Green);
        registerColumnButton(8130 + n, 8140 + n, 8150 + n, kSourceNames[n], Green);
        for (int alt : {8200 + n, 8210 + n})
            Skins::Register(SkinType::Bitmap, alt, SkinWords(S::Toggle, St::Checked, kColumnButton, kSourceNames[n], Amber));
    }

    // Main-source button: the source's name with the menu's arrow; 3100/3110 Chinese, 3120/3130
    // English (normal, hover); 722 and 723 before a source is shown.
    const QSize source(150, 34);
    for (int s = 0; s < 7; ++s) {
        for (int base : {3100, 3120}) {
            Skins::Register(SkinType::Bitmap, base + s, SkinWords(S::Button, St::Normal, source, kSourceNames[s]));
            Skins::Register(SkinType::Bitmap, base + 10 + s, SkinWords(S::Button, St::Hover, source, kSourceNames[s]));
        }
    }
    Skins::Register(SkinType::Bitmap, 722, SkinWords(S::Button, St::Normal, source, StrId::InSourceOff));
    Skins::Register(SkinType::Bitmap, 723, SkinWords(S::Button, St::Hover, source, StrId::InSourceOff));

    // The selected input's name: 452 + n English, 459 + n Chinese; n = 6 is none.
    for (int n = 0; n <= 6; ++n) {
        const StrId words = n < 6 ? kSourceNames[n] : StrId::InNoInput;
        for (int base : {452, 459})
            Skins::Register(SkinType::Bitmap, base + n, SkinWords(S::Bar, St::Disabled, QSize(118, 26), words));
    }

    // Hi.Level modes (one-way 3140.., two-way 3143.. Chinese; 3150.., 3153.. English) and the
    // AUX modes (4420.. Chinese, 679.. English): normal, hover, checked.
    for (int base : {3140, 3150}) {
        registerColumnButton(base, base + 1, base + 2, StrId::InHiLevel1Way, Green);
        registerColumnButton(base + 3, base + 4, base + 5, StrId::InHiLevel2Way, Green);
    }
    static constexpr StrId kAuxModes[3] = {StrId::InAuxMode0, StrId::InAuxMode1, StrId::InAuxMode2};
    for (int base : {4420, 679})
        for (int m = 0; m < 3; ++m)
            registerColumnButton(base + 3 * m, base + 3 * m + 1, base + 3 * m + 2, kAuxModes[m], Green);

    // The GEQ gain row's caption, in place of the frequency row's: 797 English, 796 Chinese.
    Skins::Register(SkinType::Bitmap, 797, SkinWords(S::Label, St::Disabled, QSize(34, 22), StrId::InRowGain));
    Skins::Register(SkinType::Bitmap, 796, SkinWords(S::Label, St::DisabledChecked, QSize(34, 22), StrId::InRowGain));

    // Band slider channels: GEQ (620 the others, 621 band 0, 622 band 14) fill the rows the
    // hidden frequency and Q edits leave; PEQ (623, 624, 625) sit below the gain edits.
    for (int id : {620, 621, 622})
        Skins::Register(SkinType::Bitmap, id, SkinSpec{S::FaderTrack, St::Normal, QSize(22, 121), "", "", 0});
    for (int id : {623, 624, 625})
        Skins::Register(SkinType::Bitmap, id, SkinSpec{S::FaderTrack, St::Normal, QSize(22, 83), "", "", 0});
}
