// The output page's equaliser edits: the 31 band rows, the band drags on the response graph, the
// bypass buttons, all-bypass, the PEQ/GEQ switch and the reset. The record side of each edit and
// its repetition on the following outputs are in OutputEdits.
#include "panels/output/OutputDlg.h"

#include "services/Services.h"
#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/DELAC.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "model/Filter.h"
#include "model/KTV_OutData.h"
#include "panels/output/CFStatic.h"
#include "panels/output/OutputEdits.h"
#include "platform/GlobalData.h"
#include "platform/qt/WindowMessages.h"
#include "res/Strings.h"

namespace {

bool ValidBand(int i) { return i >= 0 && i < COutputDlg::kBands; }

// The question's caption by language: "提示" (-2) or "Prompting" (-3).
int PromptCode() { return g_bChinese.load() ? -2 : -3; }

}  // namespace

bool COutputDlg::AskYesNo(StrId text)
{
    return m_boxes.ShowMessage(Tr(text), MB_YESNO, PromptCode()) == IDYES;
}

void COutputDlg::InstallEditMessages()
{
    CMessageTable &t = *m_table;
    t.On(WM_CURVE_FOCUS_BAND, [this](WPARAM w, LPARAM) {
        OnCurveFocusBand(int(w));
        return LRESULT(0);
    });
    t.On(WM_SLIDER_POS_CHANGING, [this](WPARAM w, LPARAM) { return OnSliderPosChanging(int(w)); });
    t.On(WM_SLIDER_POS_CHANGED, [this](WPARAM w, LPARAM) { return OnSliderPosChanged(int(w)); });
    t.On(WM_OUTSTRIP_GAIN, [this](WPARAM w, LPARAM l) { return OnStripGain(int(w), int(l)); });
    t.On(WM_OUTSTRIP_MUTE, [this](WPARAM w, LPARAM l) { return OnStripMute(int(w), int(l)); });
    t.On(WM_OUTSTRIP_PHASE, [this](WPARAM w, LPARAM l) { return OnStripPhase(int(w), int(l)); });
    t.On(WM_OUTSTRIP_DELAY, [this](WPARAM w, LPARAM l) { return OnStripDelay(int(w), int(l)); });
    for (unsigned msg : {WM_OUTSTRIP_ROUTE1, WM_OUTSTRIP_ROUTE2, WM_OUTSTRIP_ROUTE3, WM_OUTSTRIP_ROUTE4})
        t.On(msg, [this, msg](WPARAM w, LPARAM l) { return OnStripRoute(msg, int(w), int(l)); });
    t.On(WM_OUTSTRIP_PASTE, [this](WPARAM w, LPARAM l) { return OnStripPaste(int(w), int(l)); });
    t.On(WM_GAINDLG_CHANGED, [this](WPARAM, LPARAM l) { return OnGainDlgChanged(int(l)); });
    t.On(WM_GAINDLG_SELECT, [this](WPARAM, LPARAM l) { return OnGainDlgSelect(int(l)); });
    t.On(WM_NUMSPIN_DELAYSTEP, [this](WPARAM w, LPARAM l) { return OnDelayLockStep(int(w), int(l)); });
    t.On(WM_LINKDLG_APPLY, [this](WPARAM w, LPARAM l) { return OnLinkDlgApply(int(w), int(l)); });
}

bool COutputDlg::OnEditCommand(int id)
{
    const auto in = [id](int base) { return id >= base && id < base + kBands; };
    if (in(IDC_BAND_FREQ) || in(IDC_BAND_FREQ_SPIN))
        OnBandFreqChanged(id - (in(IDC_BAND_FREQ) ? IDC_BAND_FREQ : IDC_BAND_FREQ_SPIN));
    else if (in(IDC_BAND_Q) || in(IDC_BAND_Q_SPIN))
        OnBandQChanged(id - (in(IDC_BAND_Q) ? IDC_BAND_Q : IDC_BAND_Q_SPIN));
    else if (in(IDC_BAND_GAIN) || in(IDC_BAND_GAIN_SPIN))
        OnBandGainChanged(id - (in(IDC_BAND_GAIN) ? IDC_BAND_GAIN : IDC_BAND_GAIN_SPIN));
    else if (in(IDC_BAND_BYPASS))
        OnBandBypass(id - IDC_BAND_BYPASS);
    else if (id == IDC_ALL_BYPASS)
        OnAllBypass();
    else if (id == IDC_EQ_MODE)
        OnEqModeSwitch();
    else if (id == IDC_EQ_RESET)
        OnResetAllEq();
    else if (id == IDC_OUT_GAIN || id == IDC_OUT_GAIN_SPIN)
        OnOutputGainChanged();
    else if (id == IDC_POLARITY)
        OnPolarityButton();
    else if (id == IDC_DELAY_MS || id == IDC_DELAY_MS_SPIN)
        OnDelayEditChanged(0);
    else if (id == IDC_DELAY_CM || id == IDC_DELAY_CM_SPIN)
        OnDelayEditChanged(1);
    else if (id == IDC_DELAY_INCH || id == IDC_DELAY_INCH_SPIN)
        OnDelayEditChanged(2);
    else if (id == IDC_VOLUME_PAGE)
        OnVolumePageButton();
    else
        return false;
    return true;
}

void COutputDlg::OnBandFreqChanged(int i)
{
    if (!ValidBand(i) || !CurrentOutput())
        return;
    outedit::EditBandFreq(g_nSelOutput.load(), i, m_spinFreq[i]->GetPos());
    RedrawGraph(i);
    HighlightBandLabel(i, true);
    HighlightEdit(i, 0, true);
    MarkSelectedModified();
}

void COutputDlg::OnBandQChanged(int i)
{
    if (!ValidBand(i) || !CurrentOutput())
        return;
    outedit::EditBandQ(g_nSelOutput.load(), i, m_spinQ[i]->GetPos());
    RedrawGraph(i);
    HighlightBandLabel(i, true);
    HighlightEdit(i, 1, true);
    MarkSelectedModified();
}

void COutputDlg::ApplyBandGain(int i, int gainCode)
{
    if (outedit::EditBandGain(g_nSelOutput.load(), i, gainCode)) {
        ShowBandBypass(CurrentOutput()->GetBand(i)->IsNeutral(), i);
        UpdateAllBypassButton();
    }
    RedrawGraph(i);
    HighlightBandLabel(i, true);
    HighlightEdit(i, 2, true);
    MarkSelectedModified();
}

void COutputDlg::OnBandGainChanged(int i)
{
    if (!ValidBand(i) || !CurrentOutput())
        return;
    const int g = m_spinGain[i]->GetPos();
    m_slider[i]->SetInvertedPos(g);
    ApplyBandGain(i, g);
}

void COutputDlg::OnBandSliderMoved(int i)
{
    if (!ValidBand(i) || !CurrentOutput())
        return;
    const int g = m_slider[i]->GetInvertedPos();
    m_spinGain[i]->SetPos(g);
    ApplyBandGain(i, g);
}

void COutputDlg::OnBandBypass(int i)
{
    CKTV_OutData *out = CurrentOutput();
    if (!ValidBand(i) || !out)
        return;
    const int state = m_btnBypass[i]->GetCheck() ? 0 : 1;
    const int neutral = outedit::EditBandBypass(g_nSelOutput.load(), i, state);
    if (neutral > 0) {
        ShowBandBypass(true, i);
    } else {
        const int g = out->GetBand(i)->GetGainCode();
        m_spinGain[i]->SetPos(g);
        m_slider[i]->SetInvertedPos(g);
        m_btnBypass[i]->SetCheck(0);
    }
    UpdateAllBypassButton();
    RedrawGraph(i);
    HighlightBandLabel(i, true);
    HighlightEdit(i, 2, true);
    m_editGain[i]->setFocus(Qt::OtherFocusReason);
    MarkSelectedModified();
}

void COutputDlg::OnAllBypass()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    HighlightBandLabel(0, false);
    HighlightEdit(0, 0, false);
    m_graph->ClearActiveItem();
    const int s = g_nSelOutput.load();
    const outedit::AllBypassPlan plan = outedit::PlanAllBypass(s, m_btnAllBypass->GetCheck() != 0);
    if (!plan.ask) {
        // Every band would stay neutral: the equaliser cannot be restored.
        m_btnAllBypass->SetCheck(1);
        return;
    }
    // The question comes first: No leaves the record and the button as they were.
    if (!AskYesNo(plan.flat ? StrId::AskBypassEq : StrId::AskRestoreEq))
        return;
    outedit::ApplyAllBypass(m_sends, s, plan);
    for (int i = 0; i < kBands; ++i) {
        CFilter *band = out->GetBand(i);
        if (!band)
            continue;
        if (!plan.flat) {
            m_spinGain[i]->SetPos(band->GetGainCode());
            m_slider[i]->SetInvertedPos(band->GetGainCode());
        }
        ShowBandBypass(band->IsNeutral(), i);
    }
    m_btnAllBypass->SetCheck(plan.flat);
    RedrawGraph(-1);
    MarkSelectedModified();
}

void COutputDlg::OnEqModeSwitch()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    const int mode = m_btnEqMode->GetCheck() ? 0 : 1;
    if (!AskYesNo(mode ? StrId::AskPeqToGeq : StrId::AskGeqToPeq))
        return;
    m_btnEqMode->SetCheck(mode);
    EnableBandRows(mode != 0);
    out->SetEqMode(mode);
    ColourGeqSliders();
    m_sends.ResetOutputEqLinked();
    RedrawGraph(-1);
}

void COutputDlg::OnResetAllEq()
{
    if (!CurrentOutput() || !AskYesNo(StrId::AskResetEq))
        return;
    m_sends.ResetOutputEqLinked();
    RedrawGraph(-1);
}

void COutputDlg::SyncFromCurve(int item)
{
    if (item == kItemHighPass || item == kItemLowPass) {
        SyncCrossoverFromCurve(item);
        return;
    }
    CKTV_OutData *out = CurrentOutput();
    if (!ValidBand(item) || !out)
        return;
    CFilter *band = out->GetBand(item);
    m_spinFreq[item]->SetPos(band->GetFreq());
    m_spinQ[item]->SetPos(band->GetBandwidthIndex());
    m_spinGain[item]->SetPos(band->GetGainCode());
    m_slider[item]->SetInvertedPos(band->GetGainCode());
    ShowBandBypass(band->IsNeutral(), item);
    // A drag or a bare release: the link group and the partner take the band as it stands.
    outedit::CopyBandToFollowers(g_nSelOutput.load(), item);
    RedrawGraph(-1);
    UpdateAllBypassButton();
    HighlightBandLabel(item, true);
    HighlightEdit(item, 2, true);
    if (TakeGraphReleased())
        m_editGain[item]->setFocus(Qt::OtherFocusReason);
    MarkSelectedModified();
}

void COutputDlg::OnCurveFocusBand(int item)
{
    if (ValidBand(item)) {
        HighlightBandLabel(item, true);
        HighlightEdit(item, 2, true);
        m_editGain[item]->setFocus(Qt::OtherFocusReason);
    } else if (item == kItemHighPass || item == kItemLowPass) {
        HighlightBandLabel(0, false);
        (item == kItemHighPass ? m_editHpf : m_editLpf)->setFocus(Qt::OtherFocusReason);
    }
}

LRESULT COutputDlg::OnSliderPosChanging(int id)
{
    if (id >= IDC_BAND_SLIDER && id < IDC_BAND_SLIDER + kBands)
        OnBandSliderMoved(id - IDC_BAND_SLIDER);
    else if (id == IDC_OUT_GAIN_SLIDER)
        OnOutputGainSlider();
    MarkSelectedModified();
    return 1;
}

LRESULT COutputDlg::OnSliderPosChanged(int id)
{
    OnSliderPosChanging(id);
    if (id >= IDC_BAND_SLIDER && id < IDC_BAND_SLIDER + kBands) {
        if (m_pHighlightEdit)
            m_pHighlightEdit->setFocus(Qt::OtherFocusReason);
    } else if (id == IDC_OUT_GAIN_SLIDER) {
        m_editOutGain->setFocus(Qt::OtherFocusReason);
    }
    return 1;
}
