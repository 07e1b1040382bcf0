#include "panels/output/OutputDlg.h"
#include "panels/output/BandPageKeys.h"

#include "services/Services.h"
#include "controls/BitButton.h"
#include "panels/input/Link_Dlg.h"
#include "panels/output/CFStatic.h"
#include "panels/output/Changnal_Line.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "model/OutputRoute.h"
#include "controls/BitmapSlider.h"
#include "controls/ComBoxBtn.h"
#include "controls/CtrlMessages.h"
#include "controls/DELAC.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "protocol/CommandFrame.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerType.h"
#include "panels/output/OutputDlgSkins.h"
#include "panels/output/OutputEdits.h"
#include "panels/output/OutputKeyNav.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <mutex>

namespace {

QRect Dlu(int x, int y, int w, int h)
{
    return DluRect(x, y, w, h, kPageUnits);
}

// Left edge (dialog units) of band column i: the template spaces the 31 columns 25 units apart.
int BandX(int i)
{
    return 25 * i;
}

template <class T>
T *Make(QWidget *parent, int id)
{
    auto *w = new T(parent);
    SetCtrlId(w, id);
    return w;
}

bool ValidOutput(int output)
{
    return output >= 0 && output < COutputDlg::kOutputs;
}

}  // namespace

// The page's answers to a strip's link button and its link menu, and to the link-group editor.
class COutputDlg::LinkHost : public ILinkButtonHost, public ILinkMaskHost {
public:
    explicit LinkHost(COutputDlg &page) : m_page(page) {}
    bool IsChannelButtonOn(int output) const override
    {
        const COutRoute_Dlg *s = m_page.Strip(output);
        return s && s->ChannelButton()->GetCheck() != 0;
    }
    void SetChannelButton(int output, bool on) override
    {
        if (COutRoute_Dlg *s = m_page.Strip(output))
            s->SetSelected(on ? 1 : 0);
    }
    bool IsLinkButtonOn(int output) const override
    {
        const COutRoute_Dlg *s = m_page.Strip(output);
        return s && s->LinkButton()->GetCheck() != 0;
    }
    void MuteGroupForCopy(int source, bool mute) override { outedit::MuteGroupForCopy(m_page.Sends(), source, mute); }
    void CopyToLinkGroup(int source, int) override { outedit::CopyToLinkGroup(m_page.Sends(), source); }
    void SyncGroupSelection(int output, int linkValue) override { m_page.SyncGroupSelection(output, linkValue); }
    void RefreshChannel() override { m_page.RefreshChannel(); }
    void RedrawGraph() override { m_page.RedrawGraph(-1); }
    int LinkMask(int output) const override
    {
        const COutRoute_Dlg *s = m_page.Strip(output);
        return s ? s->GetLinkMask() : 0;
    }
    void SetLinkMask(int output, int mask) override
    {
        if (COutRoute_Dlg *s = m_page.Strip(output))
            s->SetLinkMask(mask);
    }
    void SetEditorLink(int output, int mask) override { m_page.SetEditorLink(output, mask); }
    void PostLinkApply(int a, int b) override { m_page.Messages()->PostMessage(WM_LINKDLG_APPLY, WPARAM(a), LPARAM(b)); }
    void OpenLinkEditor(int output, bool create) override
    {
        CLink_Dlg dlg(*this, m_page.Boxes(), m_page.window());
        dlg.m_nOwnOutput = output;
        dlg.m_bCreateMode = create ? 1 : 0;
        dlg.m_bJoinMode = create ? 0 : 1;
        dlg.DoModal();
    }

private:
    COutputDlg &m_page;
};

COutputDlg::COutputDlg(IChannelSends &sends, IDeviceSync &sync, IMessageBoxService &boxes, CPageRegistry &pages,
                       QWidget *parent)
    : QWidget(parent), m_sends(sends), m_sync(sync), m_boxes(boxes), m_pages(pages)
{
    setObjectName(QStringLiteral("OutputDlg"));
    // The page's edits are laid out in this face from the start instead of the default one first.
    setFont(g_fontArial14);
    RegisterOutputPageSkins();
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Escape gives the focus to the page itself.
    setFocusPolicy(Qt::ClickFocus);
    m_table = CMessageTable::Ensure(this);
    InitControls();
    InstallMessageMap();
    resize(kWidth, kHeight);
    m_pages.RegisterOutputPage(*this);
}

COutputDlg::~COutputDlg()
{
    m_pages.WithdrawOutputPage(*this);
}

// ---- geometry --------------------------------------------------------------------------------------

QRect COutputDlg::GraphRect()
{
    return Dlu(116, 3, 811, 141);
}

QRect COutputDlg::StripRect(int i)
{
    // x = trunc(118 + 136.5 i), computed in halves to stay exact.
    return QRect((236 + 273 * i) / 2, 413, 119, 254);
}

void COutputDlg::InitControls()
{
    // The response graph, bound to the records by SetKTVData.
    m_graph = new CCFStatic(this);
    SetCtrlId(m_graph, IDC_GRAPH);
    m_graph->setGeometry(GraphRect());
    m_graph->SetOwner(this);

    // The eight output strips along the bottom, the master volume strip at their left and the
    // curve overlay selector right of the graph.
    m_linkHost = std::make_unique<LinkHost>(*this);
    for (int i = 0; i < kOutputs; ++i) {
        auto *strip = new COutRoute_Dlg(this, i);
        strip->SetBackground(851);
        strip->SetChannelButtonBitmaps(818 + 3 * i, 817 + 3 * i, 819 + 3 * i);
        strip->SetFaderChannelBitmaps(281, 281, 0, CBitmapSlider::kKeyFromPixel, 0, 0);
        strip->SetFaderThumbBitmaps(358, 280, 0, CBitmapSlider::kKeyFromPixel, 0, 0);
        strip->setGeometry(StripRect(i));
        strip->SetChannel(i);
        strip->SetLinkHost(m_linkHost.get());
        strip->SetSelected(0);
        strip->SetLinkMask(1 << i);
        m_strips[std::size_t(i)] = strip;
    }
    if (COutRoute_Dlg *selected = Strip(g_nSelOutput.load()))
        selected->SetSelected(1);
    m_masterStrip = new CGainDlg(m_sync, this);
    m_masterStrip->SetBackgroundBitmap(739);
    m_masterStrip->SetDropDownState(848, 847);
    m_masterStrip->SetSliderChannelBitmaps(357, 357, 0, CBitmapSlider::kKeyFromPixel, 0, 0);
    m_masterStrip->SetSliderThumbBitmaps(358, 282, 1, CBitmapSlider::kKeyFromPixel, 0, 0);
    m_masterStrip->SetSliderRange(0, CGainDlg::kVolumeMax, 0);
    m_masterStrip->setGeometry(MasterStripRect());
    m_overlay = new CChangnal_Line(this);
    m_overlay->setGeometry(OverlaySelectorRect());
    m_overlay->SetPageRefresh([this] { RefreshChannel(); });

    // Crossover column: family list, frequency edit and slope list of the high-pass, then the same
    // of the low-pass.
    const auto makeList = [this](int id, int notifyId, QRect r) {
        auto *list = Make<CComBoxBtn>(this, id);
        list->SetBitmaps(701, 702);
        list->resize(r.size());
        list->move(r.topLeft());
        list->SetFonts(g_fontArial14, g_fontArial14);
        list->CreateDropList(this, notifyId);
        list->SetHoverOpen(1);
        return list;
    };
    m_listHpfFamily = makeList(IDC_HPF_FAMILY, NID_HPF_FAMILY, Dlu(35, 32, 68, 13));
    m_listHpfSlope = makeList(IDC_HPF_SLOPE, NID_HPF_SLOPE, Dlu(35, 83, 68, 13));
    m_listLpfFamily = makeList(IDC_LPF_FAMILY, NID_LPF_FAMILY, Dlu(35, 142, 68, 13));
    m_listLpfSlope = makeList(IDC_LPF_SLOPE, NID_LPF_SLOPE, Dlu(35, 194, 68, 13));
    const auto makeFreq = [this](int editId, int spinId, QRect r, CNumEdit *&edit, CNumSpin *&spin) {
        edit = Make<CNumEdit>(this, editId);
        edit->setGeometry(r);
        edit->SetType(8);
        edit->setFont(g_fontArial14);
        edit->setMaxLength(7);
        edit->installEventFilter(this);
        spin = Make<CNumSpin>(this, spinId);
        spin->SetBuddy(edit);
        spin->SetRange(20, 20000);
        spin->hide();
    };
    makeFreq(IDC_HPF_FREQ, IDC_HPF_FREQ_SPIN, Dlu(35, 59, 68, 11), m_editHpf, m_spinHpf);
    makeFreq(IDC_LPF_FREQ, IDC_LPF_FREQ_SPIN, Dlu(35, 169, 68, 11), m_editLpf, m_spinLpf);
    FillFamilyLists();
    FillHpfSlopeList();
    FillLpfSlopeList();

    // The 31 band columns: label, frequency, Q and gain edits, slider, bypass button. The edits
    // take the size of Arial 12 in its narrow cut: a column is too narrow for five digits of the
    // regular cut ("20000" takes 30 pixels there, the edit shows 26).
    const QFont bandFont = MakeFont(QStringLiteral("Arial Narrow"), 12);
    for (int i = 0; i < kBands; ++i) {
        const int x = BandX(i);
        m_label[i] = new CFontStatic(this, IDC_BAND_LABEL + i, 0x20);
        m_label[i]->SetWindowText(QString::number(i + 1));
        m_label[i]->SetFontStatic(QString(), 14, RGB(255, 255, 255), 1);
        m_label[i]->SetFontStyle(0x20);
        m_label[i]->setGeometry(Dlu(133 + x, 155, 27, 9));

        const auto makeEdit = [this, x, &bandFont](int editId, int spinId, int y, CNumEdit *&edit, CNumSpin *&spin) {
            edit = Make<CNumEdit>(this, editId);
            edit->setGeometry(Dlu(135 + x, y, 25, 10));
            edit->setFont(bandFont);
            edit->installEventFilter(this);
            spin = Make<CNumSpin>(this, spinId);
            spin->SetBuddy(edit);
            spin->hide();
        };
        makeEdit(IDC_BAND_FREQ + i, IDC_BAND_FREQ_SPIN + i, 171, m_editFreq[i], m_spinFreq[i]);
        m_editFreq[i]->SetType(4);
        m_spinFreq[i]->SetRange(20, 20000);
        makeEdit(IDC_BAND_Q + i, IDC_BAND_Q_SPIN + i, 183, m_editQ[i], m_spinQ[i]);
        m_editQ[i]->SetType(11);
        m_spinQ[i]->SetRange(0, 295);
        makeEdit(IDC_BAND_GAIN + i, IDC_BAND_GAIN_SPIN + i, 195, m_editGain[i], m_spinGain[i]);
        m_editGain[i]->SetScale(0.1);
        m_editGain[i]->SetOffset(20.0);
        m_editGain[i]->SetType(10);
        m_spinGain[i]->SetRange(80, 320);

        auto *slider = Make<CBitmapSlider>(this, IDC_BAND_SLIDER + i);
        slider->SetChannelBitmaps(610, 610, 0);
        slider->SetThumbBitmaps(611, 613, 1, CBitmapSlider::kKeyFromPixel);
        slider->SetRange(0, 240);
        slider->EnableMoveNotify(1);
        slider->SetMargin(5, 1, 1, 1);
        slider->SetValueMode(10);
        slider->SetBuddyEdit(m_editGain[i]);
        const QRect column = Dlu(135 + x, 208, 25, 1);
        slider->move(column.center().x() - slider->width() / 2 + 1, column.top());
        m_editGain[i]->SetLinkedWnd(slider);
        m_slider[i] = slider;

        auto *bypass = new CXPButton(this, IDC_BAND_BYPASS + i);
        bypass->SetBitmaps(8832, 8833, 8833, 8830, 8831, 8831);
        bypass->SetHoverRect(1);
        // It has its skin's size since SetBitmaps: centred under the slider by that.
        bypass->move(column.center().x() - bypass->width() / 2 + 1, Dlu(0, 259, 1, 1).top());
        m_btnBypass[i] = bypass;
    }

    // PEQ/GEQ, all-bypass and reset at the right of the band rows; their skins come with the
    // language (SwitchLanguage).
    m_btnEqMode = new CXPButton(this, IDC_EQ_MODE);
    m_btnAllBypass = new CXPButton(this, IDC_ALL_BYPASS);
    m_btnReset = new CXPButton(this, IDC_EQ_RESET);
    for (CXPButton *b : {m_btnEqMode, m_btnAllBypass, m_btnReset})
        b->resize(kEqButtonSize);

    // Hidden controls of the selected output.
    m_editOutGain = Make<CNumEdit>(this, IDC_OUT_GAIN);
    m_editOutGain->SetScale(0.1);
    m_editOutGain->SetOffset(60.0);
    m_editOutGain->SetType(23);
    m_editOutGain->setMaxLength(6);
    m_editOutGain->setFont(g_fontArial14);
    m_spinOutGain = Make<CNumSpin>(this, IDC_OUT_GAIN_SPIN);
    m_spinOutGain->SetBuddy(m_editOutGain);
    m_spinOutGain->SetRange(0, 600);
    m_sliderOutGain = Make<CBitmapSlider>(this, IDC_OUT_GAIN_SLIDER);
    m_sliderOutGain->SetChannelBitmaps(281, 283, 0);
    m_sliderOutGain->SetThumbBitmaps(280, 282, 1, CBitmapSlider::kKeyFromPixel);
    m_sliderOutGain->SetRange(0, 600);
    m_sliderOutGain->SetMargin(38, 0, 1, 2);
    m_sliderOutGain->SetBuddyEdit(m_editOutGain);
    m_sliderOutGain->EnableMoveNotify(1);
    m_editOutGain->SetLinkedWnd(m_sliderOutGain);
    for (QWidget *w : {static_cast<QWidget *>(m_editOutGain), static_cast<QWidget *>(m_spinOutGain),
                       static_cast<QWidget *>(m_sliderOutGain)})
        w->hide();
    m_btnPolarity = new CBitButton(this, IDC_POLARITY);
    m_btnPolarity->hide();
    static constexpr int kDelayIds[3][3] = {{IDC_DELAY_MS, IDC_DELAY_MS_SPIN, 4016},
                                            {IDC_DELAY_CM, IDC_DELAY_CM_SPIN, 4017},
                                            {IDC_DELAY_INCH, IDC_DELAY_INCH_SPIN, 4018}};
    for (int k = 0; k < 3; ++k) {
        m_editDelay[k] = Make<CNumEdit>(this, kDelayIds[k][0]);
        m_spinDelay[k] = Make<CNumSpin>(this, kDelayIds[k][1]);
        m_spinDelay[k]->SetBuddy(m_editDelay[k]);
        m_editDelay[k]->SetType(k);
        m_spinDelay[k]->SetRange(0, 960);
        m_spinDelay[k]->SetMode(2);
        m_editDelay[k]->SetValue(0);
        m_editDelay[k]->setFont(g_fontArial14);
        m_editDelay[k]->setMaxLength(10);
        m_editDelay[k]->CreateSpinButton(kDelayIds[k][2]);
        m_editDelay[k]->AttachSpin(kDelayIds[k][1], m_spinDelay[k]);
        m_editDelay[k]->hide();
        m_spinDelay[k]->hide();
    }
    m_btnLanguage = new CBitButton(this, IDC_LANGUAGE);
    m_btnLanguage->SetDisabledBitmaps(797, 796);
    m_btnLanguage->setEnabled(false);
    m_btnLanguage->hide();
    m_btnVolumePage = new CBitButton(this, IDC_VOLUME_PAGE);
    m_btnVolumePage->hide();
    m_btnInputIndicator = new CBitButton(this, IDC_INPUT_INDICATOR);
    m_btnInputIndicator->setEnabled(false);
    m_btnInputIndicator->hide();

    // The delay-unit selector, milliseconds checked.
    m_delayUnit = new CDELAC(this, IDC_DELAY_UNIT);
    m_delayUnit->setGeometry(DelayUnitRect());

    MakeSpeakerButtons();
    MakePairButtons();

    LayoutControls();
    SwitchLanguage();
}

void COutputDlg::LayoutControls()
{
    // The three equaliser buttons in the column right of the band rows, at the template's heights.
    const auto place = [this](CXPButton *b, int yDlu) { b->move(width() - 4 - b->width(), Dlu(913, yDlu, 21, 14).top()); };
    place(m_btnEqMode, 158);
    place(m_btnAllBypass, 205);
    place(m_btnReset, 250);
}

void COutputDlg::resizeEvent(QResizeEvent *e)
{
    // Every place is fixed relative to the page's top left; the background fills the rest.
    LayoutControls();
    QWidget::resizeEvent(e);
}

QWidget *COutputDlg::Control(int id) const
{
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (GetCtrlId(w) == id)
            return w;
    return nullptr;
}

// ---- messages ------------------------------------------------------------------------------------

void COutputDlg::InstallMessageMap()
{
    CMessageTable &t = *m_table;
    t.On(WM_OUTSTRIP_SELECT, [this](WPARAM w, LPARAM) {
        OnSelectChannel(int(w));
        return LRESULT(0);
    });
    t.On(WM_CURVE_BAND_CHANGED, [this](WPARAM w, LPARAM) {
        SyncFromCurve(int(w));
        return LRESULT(0);
    });
    t.On(WM_CURVE_KILLFOCUS, [](WPARAM, LPARAM) { return LRESULT(0); });
    t.On(WM_CTRL_MOUSEMOVE, [](WPARAM, LPARAM) { return LRESULT(0); });
    t.On(WM_NUMEDIT_KEY, [this](WPARAM w, LPARAM l) { return OnNumEditKey(int(w), int(l)); });
    t.On(WM_NUMEDIT_ENTER, [this](WPARAM w, LPARAM) { return OnNumEditEnter(int(w)); });
    t.On(WM_COMBOXBTN_SELECT, [this](WPARAM w, LPARAM) { return OnFilterListSelect(int(w)); });
    t.On(WM_COMMAND, [this](WPARAM w, LPARAM) { return OnCommand(int(LOWORD(w)), int(HIWORD(w))); });
    InstallEditMessages();
}

LRESULT COutputDlg::OnCommand(int id, int)
{
    switch (id) {
    case IDC_HPF_FREQ:
    case IDC_HPF_FREQ_SPIN:
        OnHpfFreqChanged();
        break;
    case IDC_LPF_FREQ:
    case IDC_LPF_FREQ_SPIN:
        OnLpfFreqChanged();
        break;
    default:
        if (const int type = SpeakerTypeOfButton(id))
            OnSpeakerButton(type);
        else if (const int k = PairOfButton(id); k >= 0)
            OnPairButton(k);
        else
            OnEditCommand(id);
        break;
    }
    return 0;
}

// ---- selection and refresh -----------------------------------------------------------------------

void COutputDlg::SetKTVData(CKTV_Data *root)
{
    m_root = root;
    m_graph->SetData(root, CCFStatic::kDataOutput);
    m_graph->ShowOutput(0);
    m_graph->SetMode(CCFStatic::kModeOutput);
}

void COutputDlg::Show(int showCommand)
{
    setVisible(showCommand != SW_HIDE);
}

CKTV_OutData *COutputDlg::CurrentOutput() const
{
    if (!m_root)
        return nullptr;
    const int sel = g_nSelOutput.load();
    return ValidOutput(sel) ? m_root->GetOut(sel) : nullptr;
}

void COutputDlg::RedrawGraph(int item)
{
    m_graph->Redraw(item);
}

bool COutputDlg::TakeGraphReleased()
{
    if (!m_graph->GetReleased())
        return false;
    m_graph->SetReleased(0);
    return true;
}

void COutputDlg::MarkSelectedModified() const
{
    outedit::MarkModified(g_nSelOutput.load());
}

void COutputDlg::LoadChannelRecords()
{
    if (m_root) {
        // The source levels of every output, copied out of the image in one piece.
        std::array<std::array<std::uint8_t, 16>, kOutputs> levels{};
        {
            std::lock_guard lock(g_csImage);
            for (int i = 0; i < kOutputs; ++i) {
                const auto block = g_CurImage.Block(OBJ_OUTPUT, i);
                std::copy_n(block.begin() + 33 * DeviceImage::kItemSize, 16, levels[i].begin());
            }
        }
        for (int i = 0; i < kOutputs; ++i) {
            if (CKTV_OutData *out = m_root->GetOut(i)) {
                out->SetGroup33(levels[i].data());
                out->SetGroup34(levels[i].data() + 8);
            }
        }
    }
    RefreshChannel();
    AssignSpeakerButtons();
    HideSpeakerButtons();
}

void COutputDlg::RefreshChannel()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    const int sel = g_nSelOutput.load();
    for (int i = 0; i < kOutputs; ++i) {
        COutRoute_Dlg *strip = m_strips[std::size_t(i)];
        if (strip->GetSelectedFlag() != (i == sel ? 1 : 0))
            strip->SetSelectedFlag(i == sel ? 1 : 0);
    }
    CheckLinkedSpeakerButtons(sel);
    RefreshEQ();
    ShowCrossovers();
    HighlightBandLabel(0, false);
    HighlightEdit(0, 0, false);
    m_spinOutGain->SetPos(out->GetGain());
    m_sliderOutGain->SetInvertedPos(out->GetGain());
    // Every strip from its output's record and routing toggles (toggles 1..4 show entries 1, 2,
    // 0 and 4).
    for (int i = 0; i < kOutputs; ++i) {
        CKTV_OutData *o = m_root->GetOut(i);
        COutRoute_Dlg *strip = m_strips[std::size_t(i)];
        if (!o)
            continue;
        strip->SetGain(o->GetGain());
        strip->SetDelay(o->GetDelay());
        strip->SetMute(o->GetOn());
        strip->SetPhase(o->GetPolarity());
        static constexpr int kToggleEntry[4] = {1, 2, 0, 4};
        for (int k = 0; k < 4; ++k)
            strip->SetRoute(k + 1, g_OutRouteBits[std::size_t(i)][std::size_t(kToggleEntry[k])].load());
    }
    m_masterStrip->SetGain(g_nMasterVolume);
    for (int k = 0; 2 * k + 1 < kOutputs; ++k)
        if (BridgedPartner(2 * k) >= 0)
            RefreshPairPanel(k);
    m_btnPolarity->SetCheck(out->GetPolarity());
    m_graph->ShowOutput(sel);
    ShowInputIndicator();
    RefreshMuteButtons();
    update();
}

void COutputDlg::RefreshEQ()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    UpdateAllBypassButton();
    const int geq = out->GetEqMode();
    m_btnEqMode->SetCheck(geq);
    EnableBandRows(geq);
    for (int i = 0; i < kBands; ++i)
        ShowBandRow(i);
    HighlightBandLabel(0, false);
    HighlightEdit(0, 0, false);
}

void COutputDlg::ShowBandRow(int i)
{
    CKTV_OutData *out = CurrentOutput();
    CFilter *band = out ? out->GetBand(i) : nullptr;
    if (!band)
        return;
    m_spinFreq[i]->SetPos(band->GetFreq());
    m_spinQ[i]->SetPos(band->GetBandwidthIndex());
    m_spinGain[i]->SetPos(band->GetGainCode());
    m_slider[i]->SetInvertedPos(band->GetGainCode());
    band->AttachSlider(m_slider[i]);
    ShowBandBypass(band->IsNeutral(), i);
}

void COutputDlg::ShowBandBypass(bool neutral, int i)
{
    if (i < 0 || i >= kBands)
        return;
    m_btnBypass[i]->SetCheck(neutral ? 1 : 0);
    if (!neutral)
        return;
    // A neutral band shows 0 dB; its stored gain stays.
    m_spinGain[i]->SetPos(200);
    m_slider[i]->SetInvertedPos(200);
}

void COutputDlg::EnableBandRows(bool geq)
{
    for (int i = 0; i < kBands; ++i) {
        m_editFreq[i]->EnableWindow(!geq);
        m_editQ[i]->EnableWindow(!geq);
    }
}

void COutputDlg::ColourGeqSliders()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    const bool geq = out->GetEqMode() != 0;
    const int h = out->GetHpf()->GetFreq(), l = out->GetLpf()->GetFreq();
    for (int i = 0; i < kBands; ++i) {
        const int f = g_IsoFreq31[i];
        const bool lit = !geq || (h <= f && f <= l);
        lit ? m_slider[i]->SetThumbBitmaps(611, 613, 1, CBitmapSlider::kKeyFromPixel)
            : m_slider[i]->SetThumbBitmaps(612, 612, 1, CBitmapSlider::kKeyFromPixel);
    }
}

void COutputDlg::UpdateAllBypassButton()
{
    if (CKTV_OutData *out = CurrentOutput()) {
        out->UpdateEqFlat();
        m_btnAllBypass->SetCheck(out->GetEqFlat() ? 1 : 0);
    }
}

void COutputDlg::SelectStripsOf(int c, int on)
{
    const int link = LinkValueOf(c);
    for (int i = 0; i < kOutputs; ++i)
        if (i == c || (link != 0 && LinkValueOf(i) == link))
            m_strips[std::size_t(i)]->SetSelected(on);
}

void COutputDlg::OnSelectChannel(int output)
{
    if (!ValidOutput(output))
        return;
    SelectStripsOf(g_nSelOutput.load(), 0);
    g_nSelOutput = output;
    SelectStripsOf(output, 1);
    if (m_strips[std::size_t(output)]->LinkButton()->GetCheck()) {
        g_bLinkAnchor = 1;
        g_nLinkAnchorChannel = output;
        g_nLinkAnchorGroup = LinkValueOf(output) - 1;
    }
    RefreshChannel();
    update();
}

void COutputDlg::ShowInputIndicator()
{
    const int input = std::clamp(g_nSelInput.load(), 0, 6);
    const int bitmap = (g_bChinese.load() ? 459 : 452) + input;
    m_btnInputIndicator->SetDisabledBitmaps(bitmap, bitmap);
}

void COutputDlg::RefreshMuteButtons()
{
    for (int i = 0; i < kOutputs; ++i)
        if (CKTV_OutData *o = m_root ? m_root->GetOut(i) : nullptr)
            m_strips[std::size_t(i)]->MuteButton()->SetCheck(o->GetOn());
}

void COutputDlg::SelectTypedOutput()
{
    if (GetWorkingSpeakerType(g_nSelOutput.load()) != 0)
        return;
    for (int i = 0; i < kOutputs; ++i) {
        if (GetWorkingSpeakerType(i) != 0) {
            OnSelectChannel(i);
            return;
        }
    }
}

void COutputDlg::CheckChannelSelection()
{
    if (!g_bSpeakerTypeMode.load())
        return;
    bool anyTyped = false;
    for (int i = 0; i < kOutputs; ++i)
        anyTyped = anyTyped || GetWorkingSpeakerType(i) != 0;
    if (!anyTyped) {
        g_bSpeakerTypeMode = 0;
        SelectAssignedChannel();
        return;
    }
    SelectTypedOutput();
}

void COutputDlg::SelectAssignedChannel()
{
    if (!g_bSpeakerTypeMode.load()) {
        if (m_refreshAssignments)
            m_refreshAssignments();
        return;
    }
    SelectTypedOutput();
}

void COutputDlg::SetInputMode(int mode)
{
    for (COutRoute_Dlg *strip : m_strips)
        strip->SetSourceLabelColours(mode);
}

// ---- highlights ----------------------------------------------------------------------------------

void COutputDlg::HighlightBandLabel(int i, bool on)
{
    if (m_pHighlightLabel)
        m_pHighlightLabel->SetFontStatic(QString(), 14, RGB(255, 255, 255), 1);
    m_pHighlightLabel = nullptr;
    if (on && i >= 0 && i < kBands) {
        m_pHighlightLabel = m_label[i];
        m_pHighlightLabel->SetFontStatic(QString(), 14, RGB(255, 0, 0), 1);
    }
}

void COutputDlg::SelectBandLabel(int i)
{
    HighlightBandLabel(i, true);
    RedrawGraph(i);
}

void COutputDlg::HighlightEdit(int i, int kind, bool on)
{
    if (m_pHighlightEdit)
        m_pHighlightEdit->SetHighlight(0);
    m_pHighlightEdit = nullptr;
    if (!on || i < 0 || i >= kBands)
        return;
    CNumEdit *edit = kind == 0 ? m_editFreq[i] : kind == 1 ? m_editQ[i] : m_editGain[i];
    m_pHighlightEdit = edit;
    edit->SetHighlight(1);
}

// ---- keys ----------------------------------------------------------------------------------------

bool COutputDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return HandlePageKey(key->key());
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)
            HandlePageKey(key->key());
    }
    return QWidget::eventFilter(watched, event);
}

bool COutputDlg::HandlePageKey(int key)
{
    return HandleBandPageKey(*this, *m_table, key, m_btnEqMode->GetCheck() != 0);
}

void COutputDlg::SetFocusTo(int id)
{
    // Two steps of the walk leave the page's own edits: Right from the last gain edit reaches the
    // master volume strip's edit, Left from the high-pass edit the delay edit of the last strip.
    QWidget *w = nullptr;
    if (id == outkeys::kMasterVolumeEdit)
        w = m_masterStrip ? m_masterStrip->VolumeEdit() : nullptr;
    else if (id == outkeys::kLastStripDelayEdit)
        w = Strip(kOutputs - 1) ? Strip(kOutputs - 1)->DelayEdit() : nullptr;
    else
        w = Control(id);
    if (w)
        w->setFocus(Qt::TabFocusReason);
}

LRESULT COutputDlg::OnNumEditKey(int id, int key)
{
    if (key == outkeys::kLeft)
        FocusPrevious(id);
    else if (key == outkeys::kRight)
        FocusNext(id);
    // The pointer leaves the graph, so its hover does not fight the keyboard's selection.
    m_graph->MovePointerOutside();
    return 0;
}

LRESULT COutputDlg::OnNumEditEnter(int id)
{
    const outkeys::Step step = outkeys::EnterStep(id, m_btnEqMode->GetCheck() != 0);
    if (step.focus)
        SetFocusTo(step.focus);
    if (step.selectBand >= 0)
        SelectBandLabel(step.selectBand);
    if (step.redrawItem >= 0)
        RedrawGraph(step.redrawItem);
    return 0;
}

void COutputDlg::FocusNext(int id)
{
    const outkeys::Step step = outkeys::KeyStep(outkeys::kRight, id, m_btnEqMode->GetCheck() != 0);
    if (step.focus)
        SetFocusTo(step.focus);
    if (step.selectBand >= 0)
        SelectBandLabel(step.selectBand);
    if (step.redrawItem >= 0)
        RedrawGraph(step.redrawItem);
}

void COutputDlg::FocusPrevious(int id)
{
    const outkeys::Step step = outkeys::KeyStep(outkeys::kLeft, id, m_btnEqMode->GetCheck() != 0);
    if (step.focus)
        SetFocusTo(step.focus);
    if (step.selectBand >= 0)
        SelectBandLabel(step.selectBand);
    if (step.redrawItem >= 0)
        RedrawGraph(step.redrawItem);
}

void COutputDlg::FocusFirstBand()
{
    if (qobject_cast<CNumEdit *>(focusWidget()))
        return;
    const bool geq = m_btnEqMode->GetCheck() != 0;
    m_table->PostMessage(WM_NUMEDIT_KEY, WPARAM(geq ? kBeforeFirstGain : kBeforeFirstFreq), LPARAM(VK_RIGHT));
    HighlightEdit(0, 0, false);
}

// ---- painting and language -----------------------------------------------------------------------

void COutputDlg::paintEvent(QPaintEvent *)
{
    // The page's background straight into the window, clipped to what needs painting: no
    // page-sized pixmap is rendered or kept.
    QPainter p(this);
    const QRect background(QPoint(0, 0), Skins::NaturalSize(SkinType::Bitmap, 286));
    // The console ground only where the page is larger than its background.
    for (const QRect &r : QRegion(rect()).subtracted(background))
        p.fillRect(r, QColor(Skins::Palette::Background));
    p.setClipRect(background, Qt::IntersectClip);
    PaintOutputPageBackground(p, background, g_bChinese.load() != 0);
}

void COutputDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_btnEqMode)
        SwitchLanguage();
    QWidget::changeEvent(e);
}
