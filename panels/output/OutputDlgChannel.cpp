// The output page's channel edits: what the strips report (gain, mute, polarity, delay, routing),
// the master volume and the delay unit, the hidden controls of the selected output with the delay
// lock, and the volume-page button. The record side of each edit is in OutputEdits.
#include "panels/output/OutputDlg.h"

#include "services/Services.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/KTV_OutData.h"
#include "model/OutputRoute.h"
#include "panels/output/BTLRouteDlg.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputEdits.h"
#include "controls/BitButton.h"
#include "platform/qt/WindowMessages.h"

namespace {

bool ValidOutput(int c) { return c >= 0 && c < COutputDlg::kOutputs; }

}  // namespace

LRESULT COutputDlg::OnStripGain(int c, int gain)
{
    if (!ValidOutput(c))
        return 0;
    // A new gain makes the output sound again; the record setter gives it to the link group,
    // whose strips show it (even when this output's gain was unchanged).
    if (outedit::EditStripGain(c, gain)) {
        if (COutRoute_Dlg *strip = Strip(c))
            strip->SetMute(1);
    }
    for (int i : LinkedOutputs(c)) {
        if (COutRoute_Dlg *strip = Strip(i))
            strip->SetGain(outedit::Output(i)->GetGain());
    }
    // The partner keeps its own gain, but the pair panel shows the pair's, which is c's.
    if (CBTLRouteDlg *panel = PairPanelOf(c)) {
        panel->SetGainText(Strip(c)->GainEdit()->text());
        panel->SetGain(outedit::Output(c)->GetGain());
        panel->SetOn(outedit::Output(c)->GetOn());
    }
    return 0;
}

LRESULT COutputDlg::OnStripMute(int c, int on)
{
    if (ValidOutput(c) && outedit::EditStripMute(c, on) >= 0) {
        if (CBTLRouteDlg *panel = PairPanelOf(c))
            panel->SetOn(on ? 1 : 0);
    }
    return 0;
}

LRESULT COutputDlg::OnStripPhase(int c, int polarity)
{
    if (ValidOutput(c) && outedit::EditStripPhase(c, polarity) >= 0) {
        if (CBTLRouteDlg *panel = PairPanelOf(c))
            panel->SetPolarity(polarity ? 1 : 0);
    }
    return 0;
}

LRESULT COutputDlg::OnStripDelay(int c, int delay)
{
    if (ValidOutput(c) && outedit::EditStripDelay(c, delay) >= 0) {
        if (CBTLRouteDlg *panel = PairPanelOf(c))
            panel->SetDelayText(Strip(c)->DelayEdit()->text());
    }
    return 0;
}

LRESULT COutputDlg::OnStripRoute(unsigned msg, int c, int state)
{
    // Toggles 1..4 are entries 1, 2, 0 and 4; toggles 5..12 are reported and ignored.
    static constexpr int kEntry[4] = {1, 2, 0, 4};
    const unsigned k = msg - WM_OUTSTRIP_ROUTE1;
    if (k < 4)
        SetOutputRouteBit(c, kEntry[k], state);
    return 0;
}

LRESULT COutputDlg::OnGainDlgChanged(int volume)
{
    // The message carries the volume; the fader's own position runs the other way.
    if (outedit::EditMasterVolume(m_sync, volume) && MasterStrip() && MasterStrip()->MuteButton())
        MasterStrip()->MuteButton()->SetCheck(0);
    return 0;
}

LRESULT COutputDlg::OnGainDlgSelect(int unit)
{
    if (unit < 1 || unit > 3)
        return 0;
    m_nDelayUnit = unit;
    for (int i = 0; i < kOutputs; ++i) {
        if (COutRoute_Dlg *strip = Strip(i))
            strip->SetDelayUnit(unit);
    }
    // The shown pair panels take their first output's delay in the new unit.
    for (int i = 0; i < kOutputs; i += 2) {
        if (CBTLRouteDlg *panel = PairPanelOf(i))
            panel->SetDelayText(Strip(i)->DelayEdit()->text());
    }
    return 0;
}

void COutputDlg::OnOutputGainChanged()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    const int g = m_spinOutGain->GetPos();
    if (g != out->GetGain()) {
        out->SetGain(g);
        SoundAgain(*out);
    }
    m_sliderOutGain->SetInvertedPos(g);
    MarkSelectedModified();
}

void COutputDlg::OnOutputGainSlider()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    const int g = m_sliderOutGain->GetInvertedPos();
    if (g == out->GetGain())
        return;
    out->SetGain(g);
    m_spinOutGain->SetPos(g);
    SoundAgain(*out);
}

void COutputDlg::SoundAgain(CKTV_OutData &out)
{
    if (out.GetOn())
        return;
    out.SetOn(1);
    if (COutRoute_Dlg *strip = Strip(g_nSelOutput.load()))
        strip->SetMute(1);
}

void COutputDlg::OnPolarityButton()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    const int p = m_btnPolarity->GetCheck() ? 0 : 1;
    m_btnPolarity->SetCheck(p);
    out->SetPolarity(p);
}

void COutputDlg::OnDelayEditChanged(int k)
{
    CKTV_OutData *out = CurrentOutput();
    if (!out || k < 0 || k > 2)
        return;
    const int d = m_spinDelay[std::size_t(k)]->GetPos();
    for (int j = 0; j < 3; ++j) {
        if (j != k)
            m_spinDelay[std::size_t(j)]->SetPos(d);
    }
    if (d != out->GetDelay())
        out->SetDelay(d);
}

LRESULT COutputDlg::OnDelayLockStep(int spinId, int step)
{
    outedit::StepLockedGroup(g_nSelOutput.load(), step, spinId);
    return 0;
}

void COutputDlg::OnVolumePageButton()
{
    // The page sits in the view's tab control; the request goes to the view itself.
    if (m_viewTarget)
        m_viewTarget->PostMessage(WM_VIEW_SHOW_VOLUME, 0, 0);
}
