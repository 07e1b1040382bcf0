// The input page's equaliser: the band strips of the selected input, their PEQ and GEQ layouts,
// the band toggles, all-bypass, reset, the PEQ/GEQ switch, the bands the graph reports and the
// keyboard walk between the band fields.
#include "panels/input/InPutDlg.h"
#include "panels/output/BandPageKeys.h"

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/Music_InData.h"
#include "panels/input/InPutDlgSkins.h"
#include "panels/output/CFStatic.h"
#include "panels/output/OutputMessages.h"
#include "res/Skins.h"
#include "platform/GlobalData.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Strings.h"
#include "services/Services.h"

#include <QKeyEvent>

namespace {

constexpr int kLeft = 37, kRight = 39;  // VK_LEFT, VK_RIGHT
constexpr int kGainZero = 200;          // gain code of 0 dB
// Band numbers: light on the console's dark ground (red while selected).
constexpr COLORREF kLabelColour = RGB(255, 255, 255);

bool ValidBand(int i) { return i >= 0 && i < CInPutDlg::kBands; }

// Template columns (dialog units) of the visible strips 0..14: label, edits, slider, toggle.
struct Column {
    int label, edit, slider, toggle;
};
constexpr Column kColumns[CInPutDlg::kShownBands] = {
    {193, 197, 201, 201}, {247, 251, 242, 256}, {301, 305, 296, 309}, {355, 360, 351, 355},
    {409, 412, 402, 406}, {463, 467, 458, 462}, {517, 520, 510, 515}, {571, 575, 566, 570},
    {625, 629, 619, 623}, {679, 685, 676, 681}, {733, 737, 727, 733}, {787, 793, 784, 786},
    {841, 847, 838, 840}, {895, 901, 891, 893}, {930, 935, 926, 946}};

// Sizes in pixels: the edits hold five digits in the band font.
constexpr int kEditW = 42, kEditH = 17, kLabelW = 36, kLabelH = 16;

QRect Dlu(int x, int y) { return DluRect(x, y, 1, 1, kInputPageUnits); }

// The centre (pixels) of strip i's column: the template's edit column for the visible strips,
// an even spread from x 402 to 786 for the hidden second row.
int ColumnCentre(int i)
{
    const int x = i < CInPutDlg::kShownBands ? kColumns[i].edit : 402 + (i - CInPutDlg::kShownBands) * 24;
    return Dlu(x, 0).left() + DluRect(0, 0, 21, 8, kInputPageUnits).width() / 2;
}

}  // namespace

// ---- set-up --------------------------------------------------------------------------------------

void CInPutDlg::InitBandStrips()
{
    QFont bandFont = g_fontArial12;
    bandFont.setPixelSize(11);
    for (int i = 0; i < kBands; ++i) {
        const std::size_t k = std::size_t(i);
        const bool shown = i < kShownBands;
        const int cx = ColumnCentre(i);
        const int labelY = Dlu(0, shown ? 182 : 348).top();
        const int rowY[3] = {Dlu(0, shown ? 196 : 362).top(), Dlu(0, shown ? 210 : 376).top(),
                             Dlu(0, shown ? 224 : 390).top()};
        const int sliderY = Dlu(0, shown ? 235 : 402).top();
        const int toggleY = Dlu(0, shown ? 291 : 417).top();

        m_label[k] = new CFontStatic(this, IDC_BAND_LABEL + i, SS_CENTER);
        m_label[k]->SetWindowText(QString::number(i + 1));
        m_label[k]->SetFontStatic(QString(), 14, kLabelColour, 1);
        m_label[k]->setGeometry(cx - kLabelW / 2, labelY, kLabelW, kLabelH);

        const auto makeEdit = [&](int editId, int spinId, int row, CNumEdit *&edit, CNumSpin *&spin) {
            edit = new CNumEdit(this);
            SetCtrlId(edit, editId);
            edit->setGeometry(cx - kEditW / 2, rowY[row], kEditW, kEditH);
            edit->setFont(bandFont);
            edit->setMaxLength(5);
            edit->installEventFilter(this);
            spin = new CNumSpin(this);
            SetCtrlId(spin, spinId);
            spin->SetBuddy(edit);
            spin->hide();
        };
        makeEdit(IDC_BAND_FREQ + i, IDC_BAND_FREQ_SPIN + i, 0, m_editFreq[k], m_spinFreq[k]);
        m_spinFreq[k]->SetRange(20, 20000);
        m_editFreq[k]->SetType(4, QString());
        m_rcFreq[k] = m_editFreq[k]->geometry();
        makeEdit(IDC_BAND_Q + i, IDC_BAND_Q_SPIN + i, 1, m_editQ[k], m_spinQ[k]);
        m_editQ[k]->SetType(11);
        m_spinQ[k]->SetRange(0, 295);
        makeEdit(IDC_BAND_GAIN + i, IDC_BAND_GAIN_SPIN + i, 2, m_editGain[k], m_spinGain[k]);
        m_spinGain[k]->SetRange(80, 320);
        m_editGain[k]->SetScale(0.1);
        m_editGain[k]->SetOffset(20.0);
        m_editGain[k]->SetType(10);
        m_rcPeqGain[k] = m_editGain[k]->geometry();

        auto *slider = new CBitmapSlider(this);
        SetCtrlId(slider, IDC_BAND_SLIDER + i);
        slider->SetChannelBitmaps(610, 610, 0, CBitmapSlider::kKeyFromPixel);
        slider->SetThumbBitmaps(626, 627, 1, CBitmapSlider::kKeyFromPixel);
        slider->SetThumbMaskBitmap(628);
        slider->SetRange(0, 240);
        slider->EnableMoveNotify(1);
        slider->SetMargin(2, 1, 1, 1);
        slider->SetValueMode(10);
        slider->SetBuddyEdit(m_editGain[k]);
        m_editGain[k]->SetLinkedWnd(slider);
        m_slider[k] = slider;
        const QSize peq = Skins::NaturalSize(SkinType::Bitmap, 623);
        m_rcPeqSlider[k] = QRect(QPoint(cx - peq.width() / 2, sliderY), peq);
        m_rcGeqSlider[k] = QRect(QPoint(cx - peq.width() / 2, rowY[1]), Skins::NaturalSize(SkinType::Bitmap, 620));
        slider->move(m_rcPeqSlider[k].topLeft());

        auto *work = new CXPButton(this, IDC_BAND_WORK + i);
        work->SetBitmaps(8832, 8833, 8833, 8830, 8831, 8831);
        work->SetHoverRect(1);
        work->move(cx - Skins::NaturalSize(SkinType::Bitmap, 8832).width() / 2, toggleY);
        m_btnWork[k] = work;

        if (!shown)
            for (QWidget *w : std::initializer_list<QWidget *>{m_label[k], m_editFreq[k], m_editQ[k], m_editGain[k],
                                                              slider, work})
                w->hide();
    }
}

// ---- showing the bands ---------------------------------------------------------------------------

void CInPutDlg::LoadStrip(int i, bool attach)
{
    CMusic_InData *in = ShownInput();
    CFilter *band = in && ValidBand(i) ? in->GetBand(i) : nullptr;
    if (!band)
        return;
    const std::size_t k = std::size_t(i);
    m_spinFreq[k]->SetPos(band->GetFreq());
    m_spinQ[k]->SetPos(band->GetBandwidthIndex());
    m_spinGain[k]->SetPos(band->GetGainCode());
    m_slider[k]->SetInvertedPos(band->GetGainCode());
    if (attach)
        band->AttachSlider(m_slider[k]);
    ShowBandWork(band->IsNeutral() != 0, i);
}

void CInPutDlg::CommitTypedBandValues()
{
    for (int i = 0; i < kShownBands; ++i) {
        const std::size_t k = std::size_t(i);
        for (CNumEdit *edit : {m_editFreq[k], m_editQ[k], m_editGain[k]})
            if (edit->IsPending())
                edit->Commit();
    }
}

void CInPutDlg::ShowBandWork(bool neutral, int i)
{
    if (!ValidBand(i))
        return;
    const std::size_t k = std::size_t(i);
    m_btnWork[k]->SetCheck(neutral ? 1 : 0);
    if (!neutral)
        return;
    // A neutral band shows 0 dB; the record keeps its gain.
    m_spinGain[k]->SetPos(kGainZero);
    m_slider[k]->SetInvertedPos(kGainZero);
}

void CInPutDlg::RefreshBypassAll()
{
    CMusic_InData *in = ShownInput();
    if (!in)
        return;
    m_nAllBypass = in->IsAllBypassed() ? 1 : 0;
    m_btnAllBypass->SetCheck(m_nAllBypass);
}

bool CInPutDlg::GeqShown() const
{
    return m_btnEqMode->GetCheck() != 0;
}

void CInPutDlg::ApplyEqModeLayout(int mode)
{
    const bool geq = mode != 0;
    for (int i = 0; i < kShownBands; ++i) {
        const std::size_t k = std::size_t(i);
        m_editFreq[k]->setVisible(!geq);
        m_editQ[k]->setVisible(!geq);
        m_editGain[k]->move(geq ? m_rcFreq[k].topLeft() : m_rcPeqGain[k].topLeft());
        const int channel = geq ? (i == 0 ? 621 : i == kShownBands - 1 ? 622 : 620)
                                : (i == 0 ? 624 : i == kShownBands - 1 ? 625 : 623);
        m_slider[k]->SetChannelBitmaps(channel, channel, 0, CBitmapSlider::kKeyFromPixel);
        if (geq)
            m_slider[k]->SetThumbBitmaps(626, 627, 1, CBitmapSlider::kKeyFromPixel);
        m_slider[k]->move(geq ? m_rcGeqSlider[k].topLeft() : m_rcPeqSlider[k].topLeft());
    }
    m_btnGeqLabel->setVisible(geq);
}

// ---- highlights ----------------------------------------------------------------------------------

void CInPutDlg::HighlightLabel(int i, bool on)
{
    if (m_pHighlightLabel)
        m_pHighlightLabel->SetFontStatic(QString(), 14, kLabelColour, 1);
    m_pHighlightLabel = nullptr;
    if (on && ValidBand(i)) {
        m_pHighlightLabel = m_label[std::size_t(i)];
        m_pHighlightLabel->SetFontStatic(QString(), 14, RGB(255, 0, 0), 1);
    }
}

void CInPutDlg::HighlightEdit(int i, int kind, bool on)
{
    if (m_pHighlightEdit)
        m_pHighlightEdit->SetHighlight(0);
    m_pHighlightEdit = nullptr;
    if (!on || !ValidBand(i))
        return;
    const std::size_t k = std::size_t(i);
    m_pHighlightEdit = kind == 0 ? m_editFreq[k] : kind == 1 ? m_editQ[k] : m_editGain[k];
    m_pHighlightEdit->SetHighlight(1);
}

void CInPutDlg::ClearHighlights()
{
    HighlightLabel(0, false);
    HighlightEdit(0, 0, false);
}

void CInPutDlg::RedrawGraph(int item)
{
    m_graph->Redraw(item);
}

void CInPutDlg::FocusBand(int i)
{
    HighlightLabel(i, true);
    RedrawGraph(i);
}

void CInPutDlg::FocusFirstBand()
{
    if (qobject_cast<CNumEdit *>(focusWidget()))
        return;
    m_table->PostMessage(WM_NUMEDIT_KEY, WPARAM((GeqShown() ? IDC_BAND_GAIN : IDC_BAND_FREQ) - 1), LPARAM(kRight));
    HighlightEdit(0, 0, false);
    FocusBand(0);
}

// ---- band edits ----------------------------------------------------------------------------------

bool CInPutDlg::OnEqCommand(int id)
{
    const auto in = [id](int base) { return id >= base && id < base + kBands; };
    if (in(IDC_BAND_FREQ) || in(IDC_BAND_FREQ_SPIN))
        OnBandFreq(id - (in(IDC_BAND_FREQ) ? IDC_BAND_FREQ : IDC_BAND_FREQ_SPIN));
    else if (in(IDC_BAND_Q) || in(IDC_BAND_Q_SPIN))
        OnBandQ(id - (in(IDC_BAND_Q) ? IDC_BAND_Q : IDC_BAND_Q_SPIN));
    else if (in(IDC_BAND_GAIN) || in(IDC_BAND_GAIN_SPIN))
        OnBandGain(id - (in(IDC_BAND_GAIN) ? IDC_BAND_GAIN : IDC_BAND_GAIN_SPIN));
    else if (in(IDC_BAND_WORK))
        OnBandWork(id - IDC_BAND_WORK);
    else if (id == IDC_ALL_BYPASS)
        OnBypassAll();
    else if (id == IDC_EQ_RESET)
        OnResetEq();
    else if (id == IDC_EQ_MODE)
        OnEqModeSwitch();
    else
        return false;
    return true;
}

void CInPutDlg::AfterBandEdit(int i, int kind)
{
    RedrawGraph(i);
    HighlightLabel(i, true);
    HighlightEdit(i, kind, true);
}

void CInPutDlg::OnBandFreq(int i)
{
    CMusic_InData *in = ShownInput();
    if (!in || !ValidBand(i))
        return;
    CFilter *band = in->GetBand(i);
    const int f = m_spinFreq[std::size_t(i)]->GetPos();
    if (f != band->GetFreq())
        band->SetFreq(f, 1);
    AfterBandEdit(i, 0);
}

void CInPutDlg::OnBandQ(int i)
{
    CMusic_InData *in = ShownInput();
    if (!in || !ValidBand(i))
        return;
    CFilter *band = in->GetBand(i);
    const int q = m_spinQ[std::size_t(i)]->GetPos();
    if (q != band->GetBandwidthIndex())
        band->SetBandwidthIndex(q);
    AfterBandEdit(i, 1);
}

void CInPutDlg::ApplyBandGain(int i, int code)
{
    CFilter *band = ShownInput()->GetBand(i);
    if (code != band->GetGainCode()) {
        band->SetGainCode(code);
        ShowBandWork(band->IsNeutral() != 0, i);
        RefreshBypassAll();
    }
    AfterBandEdit(i, 2);
}

void CInPutDlg::OnBandGain(int i)
{
    if (!ShownInput() || !ValidBand(i))
        return;
    const int code = m_spinGain[std::size_t(i)]->GetPos();
    m_slider[std::size_t(i)]->SetInvertedPos(code);
    ApplyBandGain(i, code);
}

void CInPutDlg::OnBandSlider(int i)
{
    if (!ShownInput() || !ValidBand(i))
        return;
    const int code = m_slider[std::size_t(i)]->GetInvertedPos();
    m_spinGain[std::size_t(i)]->SetPos(code);
    ApplyBandGain(i, code);
}

LRESULT CInPutDlg::OnSliderPos(int id, bool changed)
{
    if (id < IDC_BAND_SLIDER || id >= IDC_BAND_SLIDER + kBands)
        return 1;
    OnBandSlider(id - IDC_BAND_SLIDER);
    if (changed && m_pHighlightEdit)
        m_pHighlightEdit->setFocus(Qt::OtherFocusReason);
    return 1;
}

void CInPutDlg::OnBandWork(int i)
{
    CMusic_InData *in = ShownInput();
    if (!in || !ValidBand(i))
        return;
    const std::size_t k = std::size_t(i);
    CFilter *band = in->GetBand(i);
    band->SetZero(m_btnWork[k]->GetCheck() ? 0 : 1);
    if (band->IsNeutral()) {
        ShowBandWork(true, i);
    } else {
        m_spinGain[k]->SetPos(band->GetGainCode());
        m_slider[k]->SetInvertedPos(band->GetGainCode());
        m_btnWork[k]->SetCheck(0);
    }
    RefreshBypassAll();
    AfterBandEdit(i, 2);
    if (m_pHighlightEdit)
        m_pHighlightEdit->setFocus(Qt::OtherFocusReason);
}

// ---- all-bypass, reset, PEQ/GEQ ------------------------------------------------------------------

bool CInPutDlg::AskYesNo(StrId text)
{
    return m_boxes.ShowMessage(Tr(text), MB_YESNO, g_bChinese.load() ? -2 : -3) == IDYES;
}

void CInPutDlg::OnBypassAll()
{
    CMusic_InData *in = ShownInput();
    if (!in)
        return;
    ClearHighlights();
    m_graph->ClearActiveItem();
    RedrawGraph(-1);
    const int want = m_btnAllBypass->GetCheck() ? 0 : 1;
    in->SetAllBypass(want);
    if (want == 0 && in->IsAllBypassed()) {
        // Every band is neutral anyway: there is nothing to restore.
        in->SetAllBypass(1);
        m_btnAllBypass->SetCheck(1);
        return;
    }
    const int state = in->IsAllBypassed() ? 1 : 0;
    if (!AskYesNo(state ? StrId::AskBypassEq : StrId::AskRestoreEq)) {
        in->SetAllBypass(state ? 0 : 1);
        m_btnAllBypass->SetCheck(state ? 0 : 1);
        return;
    }
    for (int i = 0; i < kBands; ++i) {
        CFilter *band = in->GetBand(i);
        if (!state) {
            m_spinGain[std::size_t(i)]->SetPos(band->GetGainCode());
            m_slider[std::size_t(i)]->SetInvertedPos(band->GetGainCode());
        }
        ShowBandWork(band->IsNeutral() != 0, i);
    }
    m_sends.SendInputChannel(g_nSelInput.load());
    m_nAllBypass = state;
    m_btnAllBypass->SetCheck(state);
    RedrawGraph(-1);
}

void CInPutDlg::OnResetEq()
{
    if (!ShownInput() || !AskYesNo(StrId::AskResetEq))
        return;
    m_sends.ResetInputEq(g_nSelInput.load());
    RefreshInput();
}

void CInPutDlg::OnEqModeSwitch()
{
    CMusic_InData *in = ShownInput();
    if (!in)
        return;
    const int mode = m_btnEqMode->GetCheck() ? 0 : 1;
    if (!AskYesNo(mode ? StrId::AskPeqToGeq : StrId::AskGeqToPeq))
        return;
    m_btnEqMode->SetCheck(mode);
    ApplyEqModeLayout(mode);
    in->SetEqMode(mode);
    m_sends.ResetInputEq(g_nSelInput.load());
    RedrawGraph(-1);
    RefreshInput();
}

// ---- the graph's reports -------------------------------------------------------------------------

void CInPutDlg::SelectBand(int i)
{
    if (i < 0 || i >= kBands)
        return;
    LoadStrip(i, false);
    RefreshBypassAll();
    HighlightLabel(i, true);
    HighlightEdit(i, 2, true);
    if (m_graph->GetReleased()) {
        m_graph->SetReleased(0);
        if (m_pHighlightEdit)
            m_pHighlightEdit->setFocus(Qt::OtherFocusReason);
    }
}

// ---- keys ----------------------------------------------------------------------------------------

namespace {

// The band and field (0 frequency, 1 Q, 2 gain) of a visible band edit, or -1.
int FieldBand(int id, int &field)
{
    for (field = 0; field < 3; ++field) {
        const int base = CInPutDlg::IDC_BAND_FREQ + 50 * field;
        if (id >= base && id < base + CInPutDlg::kShownBands)
            return id - base;
    }
    return -1;
}

}  // namespace

void CInPutDlg::FocusField(int id)
{
    if (QWidget *w = Control(id))
        w->setFocus(Qt::TabFocusReason);
}

void CInPutDlg::MoveFocus(int id, bool right)
{
    int field = 0;
    const int band = FieldBand(id, field);
    const bool geq = GeqShown();
    if (band < 0 || (geq && field != 2)) {
        // Outside the visible fields: the neighbouring control, no band selected.
        FocusField(right ? id + 1 : id - 1);
        return;
    }
    int next = 0;
    if (geq) {
        next = IDC_BAND_GAIN + (band + (right ? 1 : kShownBands - 1)) % kShownBands;
    } else {
        // One cycle of 45: the frequency row, the Q row, the gain row.
        const int pos = field * kShownBands + band;
        const int to = (pos + (right ? 1 : 3 * kShownBands - 1)) % (3 * kShownBands);
        next = IDC_BAND_FREQ + 50 * (to / kShownBands) + to % kShownBands;
    }
    FocusField(next);
    FocusBand(FieldBand(next, field));
}

LRESULT CInPutDlg::OnNumEditKey(int id, int key)
{
    if (key == kLeft)
        MoveFocus(id, false);
    else if (key == kRight)
        MoveFocus(id, true);
    // The pointer leaves the graph, so its hover does not fight the keyboard's selection.
    m_graph->MovePointerOutside();
    return 0;
}

LRESULT CInPutDlg::OnNumEditEnter(int id)
{
    int field = 0;
    const int band = FieldBand(id, field);
    if (band < 0)
        return 0;
    const int next = field < 2 ? id + 50 : IDC_BAND_FREQ + (band + 1) % kShownBands;
    FocusField(next);
    FocusBand(FieldBand(next, field));
    return 0;
}

bool CInPutDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape)
            return HandlePageKey(key);
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            HandlePageKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

bool CInPutDlg::HandlePageKey(int key)
{
    return HandleBandPageKey(*this, *m_table, key, GeqShown());
}
