// The output page's language switch and its skins.

#include "panels/output/OutputDlg.h"
#include "panels/output/OutputDlgSkins.h"
#include "panels/output/EqButtonSkins.h"

#include "controls/BitButton.h"
#include "controls/ComBoxBtn.h"
#include "controls/DELAC.h"
#include "controls/NumEdit.h"
#include "controls/SpeakerTypeMenu.h"
#include "controls/XPButton.h"
#include "panels/output/BTLRouteDlg.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "res/Skins.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

using Pal = QRgb;
constexpr QRgb Amber = 0xFFFFB020;
constexpr QRgb Green = 0xFF33C800;
constexpr QRgb Red = 0xFFFF3B30;

// ---- the page background -----------------------------------------------------------------------

void caption(QPainter &p, const QRect &r, StrId id, bool chinese, int align = Qt::AlignCenter, int px = 12,
             QRgb colour = Skins::Palette::TextDim)
{
    QFont f = MakeFont(chinese ? QStringLiteral("SimSun") : QStringLiteral("Arial"), -std::max(px, chinese ? 12 : px),
                       chinese ? 400 : 700);
    f.setLetterSpacing(QFont::AbsoluteSpacing, chinese ? 1.0 : px <= 10 ? 0.0 : 0.6);
    p.setFont(f);
    p.setPen(QColor::fromRgb(colour));
    p.drawText(r, align, QString::fromUtf8(Tr(id, chinese)));
}

// A recessed section: darker ground, a hairline frame and a lighter top edge.
void section(QPainter &p, const QRect &r)
{
    Skins::PaintRecessed(p, r);
}

void sectionTitle(QPainter &p, const QRect &r, StrId id, bool chinese)
{
    Skins::PaintCaptionBar(p, r);
    caption(p, r.adjusted(8, 0, -4, 0), id, chinese, Qt::AlignVCenter | Qt::AlignLeft, 12, Skins::Palette::Text);
}

void paintPageBackground(QPainter &p, const QRect &r, bool chinese)
{
    Skins::Paint(p, r, SkinSpec{SkinStyle::Panel, SkinState::Normal, r.size(), "", "", 0}, chinese);
    const QRect graph = COutputDlg::GraphRect();

    // Crossover column at the left of the graph and the band rows.
    const int colL = 36, colR = 133;
    const QRect hp(colL, 4, colR - colL, 146), lp(colL, 178, colR - colL, 146);
    for (const auto &[box, title] : {std::pair{hp, StrId::OutHighPass}, std::pair{lp, StrId::OutLowPass}}) {
        section(p, box);
        sectionTitle(p, QRect(box.left() + 1, box.top() + 1, box.width() - 2, 20), title, chinese);
    }
    for (const auto &[freqY, slopeY] : {std::pair{59, 83}, std::pair{169, 194}}) {
        // Captions over the frequency edit and the slope list, and a field behind the edit.
        const QRect freq = DluRect(35, freqY, 68, 11, kPageUnits), slope = DluRect(35, slopeY, 68, 13, kPageUnits);
        caption(p, QRect(colL + 6, freq.top() - 18, colR - colL - 10, 16), StrId::OutFrequency, chinese,
                Qt::AlignLeft | Qt::AlignVCenter, 11);
        caption(p, QRect(colL + 6, slope.top() - 18, colR - colL - 10, 16), StrId::OutSlope, chinese,
                Qt::AlignLeft | Qt::AlignVCenter, 11);
        const QRect field = freq.adjusted(0, -1, 0, 1);
        p.fillRect(field, QColor(0x0e, 0x10, 0x13));
        p.setPen(QColor::fromRgb(Skins::Palette::PanelLight));
        p.drawRect(field.adjusted(0, 0, -1, -1));
    }
    caption(p, QRect(8, 350, 125, 18), StrId::OutDelayUnit, chinese, Qt::AlignLeft | Qt::AlignVCenter, 11);

    // The graph's well.
    section(p, graph.adjusted(-2, -2, 2, 2));

    // Band rows: a well behind the 31 columns with the row captions at its left.
    const QRect rows(colR + 3, 226, 1137 - colR, 176);
    section(p, rows);
    const struct {
        StrId id;
        int y;
    } rowCaptions[] = {{StrId::OutBandRow, 232}, {StrId::OutFreqRow, 256}, {StrId::OutQRow, 274}, {StrId::OutGainRow, 292}};
    for (const auto &c : rowCaptions)
        caption(p, QRect(rows.left() + 1, c.y - 1, 165 - rows.left() - 1, 17), c.id, chinese,
                Qt::AlignRight | Qt::AlignVCenter, 10);
    // Scale beside the band sliders: +12, 0 and −12 dB.
    {
        QFont f = MakeFont(QStringLiteral("Arial"), -10);
        p.setFont(f);
        const int top = 312 + 6, bottom = 312 + 72 - 6;
        const struct {
            const char *text;
            int y;
        } marks[] = {{"+12", top}, {"0", (top + bottom) / 2}, {"-12", bottom}};
        for (const auto &m : marks) {
            p.setPen(QColor::fromRgb(Skins::Palette::TextDim));
            p.drawText(QRect(rows.left() + 2, m.y - 7, 164 - rows.left() - 2, 14), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromLatin1(m.text));
            p.setPen(QColor(0x2a, 0x2f, 0x37));
            p.drawLine(QPoint(167, m.y), QPoint(rows.right() - 4, m.y));
        }
    }
    // Separator over the strips.
    p.fillRect(QRect(0, 406, r.width(), 1), QColor::fromRgb(Skins::Palette::Frame));
    p.fillRect(QRect(0, 407, r.width(), 1), QColor::fromRgb(Skins::Palette::PanelLight));
}

}  // namespace

void PaintOutputPageBackground(QPainter &p, const QRect &r, bool chinese)
{
    paintPageBackground(p, r, chinese);
}

void RegisterOutputPageSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using S = SkinStyle;
    using St = SkinState;

    Skins::RegisterPainter(SkinType::Bitmap, 286, QSize(COutputDlg::kWidth, COutputDlg::kHeight),
                           [](QPainter &p, const QRect &r, bool) { paintPageBackground(p, r, false); });
    Skins::RegisterPainter(SkinType::Bitmap, 287, QSize(COutputDlg::kWidth, COutputDlg::kHeight),
                           [](QPainter &p, const QRect &r, bool) { paintPageBackground(p, r, true); });

    // Equaliser buttons right of the band rows and the band bypass buttons.
    RegisterEqButtonSkins();
    // The band sliders' channel fits between the gain edits and the bypass buttons.
    Skins::Register(SkinType::Bitmap, 610, SkinSpec{S::FaderTrack, St::Normal, QSize(22, 72), "", "", 0});

    // Polarity of the selected output (hidden): normal, hover, down, then the inverted looks.
    static constexpr int kPolEn[6] = {4353, 4354, 4355, 4350, 4351, 4352};
    static constexpr int kPolCn[6] = {4363, 4364, 4365, 4360, 4361, 4362};
    RegisterSixSkins(kPolEn, S::Button, QSize(48, 18), StrId::OutPolarityInverted, StrId::OutPolarityNormal, Red);
    RegisterSixSkins(kPolCn, S::Button, QSize(48, 18), StrId::OutPolarityInverted, StrId::OutPolarityNormal, Red);

    // Delay-unit selector buttons, at the selector's own button size: ms, cm, inch × normal,
    // hover, checked; English from 4320, Chinese from 4330.
    const QSize unit = DluSize(CDELAC::kButtonWidthDlu, 10);
    const StrId units[3] = {StrId::OutUnitMs, StrId::OutUnitCm, StrId::OutUnitInchShort};
    for (int base : {4320, 4330}) {
        for (int u = 0; u < 3; ++u) {
            Skins::Register(SkinType::Bitmap, base + 3 * u, SkinWords(S::Button, St::Normal, unit, units[u]));
            Skins::Register(SkinType::Bitmap, base + 3 * u + 1, SkinWords(S::Button, St::Hover, unit, units[u]));
            Skins::Register(SkinType::Bitmap, base + 3 * u + 2, SkinWords(S::Button, St::Checked, unit, units[u], Green));
        }
    }
    // Pair buttons of the English UI (the Chinese ones are the built-in link icons).
    Skins::Register(SkinType::Bitmap, 955, SkinSpec{S::Icon, St::Normal, QSize(24, 16), "link", "", 0});
    Skins::Register(SkinType::Bitmap, 956, SkinSpec{S::Icon, St::Hover, QSize(24, 16), "link", "", 0});
    Skins::Register(SkinType::Bitmap, 957, SkinSpec{S::Icon, St::Checked, QSize(24, 16), "link", "", 0});
}

// ---- the language switch ---------------------------------------------------------------------------

void COutputDlg::ApplyPairPanelLanguage(int k)
{
    // The link mark and the source labels in the language, the polarity of the pair's first output.
    CBTLRouteDlg *panel = m_pairPanels[std::size_t(k)];
    panel->SetLinkLook();
    const CKTV_OutData *first = 2 * k < kOutputs && m_root ? m_root->GetOut(2 * k) : nullptr;
    panel->SetPolarity(first ? first->GetPolarity() : panel->Polarity());
    panel->SetSourceLabels();
}

void COutputDlg::SwitchLanguage()
{
    const bool cn = g_bChinese.load() != 0;

    // Master volume strip: its value shown again, its mute button in the language.
    m_masterStrip->VolumeEdit()->RefreshOffText();
    m_masterStrip->MuteButton()->SetBitmaps(882, 883, 884, 884, 885, 882);

    // Delay-unit selector buttons.
    const int unitBase = cn ? 4330 : 4320;
    const int unitIds[3] = {CDELAC::IDC_MS, CDELAC::IDC_CM, CDELAC::IDC_INCH};
    for (int u = 0; u < 3; ++u) {
        if (CBitButton *b = m_delayUnit->Button(unitIds[u])) {
            const int s = unitBase + 3 * u;
            b->SetBitmaps(s, s + 1, s + 1, s + 2, s + 2, s + 2);
        }
    }
    // Crossover lists, each keeping its selection.
    FillFamilyLists();
    FillHpfSlopeList();
    FillLpfSlopeList();
    {
        const int unit = m_masterStrip->GetDropDownSel();
        m_masterStrip->ResetDropDown();
        for (StrId id : {StrId::OutUnitMillisecond, StrId::OutUnitCentimeter, StrId::OutUnitInch})
            m_masterStrip->AddDropDownString(QTr(id));
        m_masterStrip->SetDropDownSel(unit);
    }
    g_menuSpeakerType.LoadMenu(cn ? CSpeakerTypeMenu::IDR_CHINESE : CSpeakerTypeMenu::IDR_ENGLISH);
    // Equaliser and polarity buttons.
    cn ? m_btnPolarity->SetBitmaps(4360, 4361, 4362, 4363, 4364, 4365)
       : m_btnPolarity->SetBitmaps(4350, 4351, 4352, 4353, 4354, 4355);
    cn ? m_btnReset->SetBitmaps(7004, 7003, 7003, 7004, 7003, 7003)
       : m_btnReset->SetBitmaps(359, 360, 360, 359, 360, 360);
    cn ? m_btnAllBypass->SetBitmaps(7002, 7001, 7001, 7000, 7005, 7005)
       : m_btnAllBypass->SetBitmaps(8822, 8823, 8823, 8820, 8821, 8821);
    cn ? m_btnEqMode->SetBitmaps(746, 745, 745, 744, 747, 747)
       : m_btnEqMode->SetBitmaps(742, 741, 741, 740, 743, 743);
    for (CBitButton *b : m_btnPair)
        cn ? b->SetBitmaps(952, 953, 954, 954, 954, 952) : b->SetBitmaps(955, 956, 957, 957, 957, 955);

    // Strips: values, link button with its badge, background and language; master background.
    for (COutRoute_Dlg *strip : m_strips) {
        strip->GainEdit()->RefreshOffText();
        cn ? strip->LinkButton()->SetBitmaps(890, 890, 890, 891, 950, 890)
           : strip->LinkButton()->SetBitmaps(892, 892, 892, 893, 951, 892);
        strip->UpdateLinkButtonLook();
        strip->SetBackground(cn ? 851 : 852);
        strip->SetLanguage(cn ? 1 : 0);
    }
    m_masterStrip->SetBackgroundBitmap(cn ? CGainDlg::kBackgroundChinese : CGainDlg::kBackgroundEnglish);
    // Pair panels made so far; one made later takes the language then.
    for (int k = 0; k < kPairButtons; ++k)
        if (m_pairPanels[std::size_t(k)])
            ApplyPairPanelLanguage(k);

    m_btnLanguage->SetCheck(cn ? 1 : 0);
    for (CNumEdit *e : {m_editDelay[0], m_editDelay[1], m_editDelay[2], m_editOutGain})
        e->RefreshOffText();
    ShowInputIndicator();
    const int sel = g_nSelOutput.load();
    for (int i = 0; i < kOutputs; ++i) {
        COutRoute_Dlg *strip = m_strips[std::size_t(i)];
        if (strip->GetSelectedFlag() != (i == sel ? 1 : 0))
            strip->SetSelectedFlag(i == sel ? 1 : 0);
        strip->SetSourceLabelTexts();
    }
    LayoutControls();
    update();
}
