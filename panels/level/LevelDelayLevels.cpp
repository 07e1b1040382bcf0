// The level page's levels: the master volume and its switch, the six input levels, the eight
// outputs' gains, on states and polarities, and the meters.
#include "panels/level/LevelDelayDlg.h"

#include "controls/BitButton.h"
#include "controls/CtrlMessages.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SLamp.h"
#include "model/DeviceImage.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "model/SpeakerType.h"
#include "services/Services.h"

#include <algorithm>

using namespace levelpage;

namespace {

bool Linked(int i, int j)
{
    const int link = g_LinkGroups[std::size_t(i)].load();
    return j != i && link != 0 && g_LinkGroups[std::size_t(j)].load() == link;
}

}  // namespace

// ---- master --------------------------------------------------------------------------------------

void CLevel_Delay_Dlg::OnMasterChanged()
{
    const int v = Spin(IDC_MASTER_SPIN)->GetPos();
    if (v != int(g_nMasterVolume)) {
        g_nMasterVolume = v;
        if (!g_bMasterOn.load()) {
            g_bMasterOn = 1;
            Button(IDC_MASTER_SWITCH)->SetCheck(1);
        }
        Fader(IDC_MASTER_FADER)->SetInvertedPos(v);
        m_sync.SetPendingBlock5(1);
    }
    SelectOutput(-1);
}

void CLevel_Delay_Dlg::OnMasterFader(bool changed)
{
    const int v = Fader(IDC_MASTER_FADER)->GetInvertedPos();
    if (v != int(g_nMasterVolume)) {
        g_nMasterVolume = v;
        if (!g_bMasterOn.load()) {
            g_bMasterOn = 1;
            Button(IDC_MASTER_SWITCH)->SetCheck(1);
        }
        Spin(IDC_MASTER_SPIN)->SetPos(v);
        m_sync.SetPendingBlock5(1);
    }
    SelectOutput(-1);
    if (changed)
        FocusControl(IDC_MASTER_EDIT);
}

void CLevel_Delay_Dlg::OnMasterSwitch()
{
    CBitButton *sw = Button(IDC_MASTER_SWITCH);
    const int on = sw->GetCheck() ? 0 : 1;
    g_bMasterOn = std::uint8_t(on);
    m_sync.SetPendingBlock5(1);
    sw->SetCheck(on);
    SelectOutput(-1);
}

// ---- inputs --------------------------------------------------------------------------------------

void CLevel_Delay_Dlg::OnInputLevelChanged(int i)
{
    CMusic_InData *in = In(i);
    if (!in)
        return;
    const int v = Spin(IDC_INPUT_SPIN + i)->GetPos();
    if (in->GetGain() != v)
        in->SetGain(v);
    Fader(IDC_INPUT_FADER + i)->SetInvertedPos(v);
    SelectOutput(-1);
}

void CLevel_Delay_Dlg::OnInputFader(int i, bool changed)
{
    CMusic_InData *in = In(i);
    if (!in)
        return;
    const int v = Fader(IDC_INPUT_FADER + i)->GetInvertedPos();
    if (in->GetGain() != v) {
        in->SetGain(v);
        Spin(IDC_INPUT_SPIN + i)->SetPos(v);
    }
    SelectOutput(-1);
    if (changed)
        FocusControl(IDC_INPUT_EDIT + i);
}

// ---- outputs -------------------------------------------------------------------------------------

void CLevel_Delay_Dlg::RefreshLinkedGains(int i)
{
    for (int j = 0; j < kOutputs; ++j) {
        if (!Linked(i, j))
            continue;
        CKTV_OutData *out = Out(j);
        if (!out)
            continue;
        const int v = out->GetGain();
        Spin(IDC_OUT_SPIN + j)->SetPos(std::clamp(v, 0, 600));
        Fader(IDC_OUT_FADER + j)->SetInvertedPos(v);
        CheckIcon(j, 1);
    }
}

void CLevel_Delay_Dlg::OnOutputGainChanged(int i)
{
    CKTV_OutData *out = Out(i);
    if (!out)
        return;
    const int v = Spin(IDC_OUT_SPIN + i)->GetPos();
    if (out->GetGain() != v) {
        out->SetGain(v);
        Fader(IDC_OUT_FADER + i)->SetInvertedPos(v);
        if (!out->GetOn()) {
            out->SetOn(1);
            Button(IDC_OUT_ON + i)->SetCheck(1);
        }
    }
    RefreshLinkedGains(i);
    SelectOutputIfChanged(i);
}

void CLevel_Delay_Dlg::OnOutputFader(int i, bool changed)
{
    CKTV_OutData *out = Out(i);
    if (!out)
        return;
    const int v = Fader(IDC_OUT_FADER + i)->GetInvertedPos();
    if (out->GetGain() != v) {
        out->SetGain(v);
        Spin(IDC_OUT_SPIN + i)->SetPos(v);
        if (!out->GetOn()) {
            out->SetOn(1);
            Button(IDC_OUT_ON + i)->SetCheck(1);
        }
    }
    RefreshLinkedGains(i);
    SelectOutputIfChanged(i);
    if (changed)
        FocusControl(IDC_OUT_EDIT + i);
}

void CLevel_Delay_Dlg::OnOutputOn(int i)
{
    CKTV_OutData *out = Out(i);
    if (!out)
        return;
    CBitButton *button = Button(IDC_OUT_ON + i);
    const int on = button->GetCheck() ? 0 : 1;
    m_nLastOn = on;
    out->SetOn(on);
    button->SetCheck(on);
    SelectOutput(i);
}

void CLevel_Delay_Dlg::OnOutputPolarity(int i)
{
    CKTV_OutData *out = Out(i);
    if (!out)
        return;
    CBitButton *button = Button(IDC_OUT_POLARITY + i);
    const int p = button->GetCheck() ? 0 : 1;
    m_nLastPolarity = p;
    // The polarity is this output's alone: the record's setter copies only the gain and the EQ mode
    // to the link group.
    out->SetPolarity(p);
    button->SetCheck(p);
    // The linked outputs' buttons show their own polarity again.
    for (int j = 0; j < kOutputs; ++j)
        if (Linked(i, j))
            if (CKTV_OutData *o = Out(j))
                Button(IDC_OUT_POLARITY + j)->SetCheck(o->GetPolarity());
    SelectOutput(i);
}

void CLevel_Delay_Dlg::PropagateOnState(int i, int noMark)
{
    for (int j = 0; j < kOutputs; ++j) {
        if (!Valid(i) || !Linked(i, j))
            continue;
        if (CKTV_OutData *out = Out(j)) {
            out->SetOn(m_nLastOn);
            Button(IDC_OUT_ON + j)->SetCheck(m_nLastOn);
            if (noMark == 0)
                CheckIcon(j, 1);
        }
    }
}

void CLevel_Delay_Dlg::UpdateMeters()
{
    for (int i = 0; i < kOutputs; ++i)
        Meter(i)->SetLevel(static_cast<std::uint8_t>(g_MeterLevels[std::size_t(6 + i)].load() & 0xFF));
}

// ---- loading -------------------------------------------------------------------------------------

void CLevel_Delay_Dlg::LoadLevels()
{
    for (int i = 0; i < kInputs; ++i) {
        CMusic_InData *in = In(i);
        const int v = in ? std::clamp(in->GetGain(), 0, 600) : 0;
        Spin(IDC_INPUT_SPIN + i)->SetPos(v);
        Fader(IDC_INPUT_FADER + i)->SetInvertedPos(v);
        Spin(IDC_INPUT_SPIN + i)->setEnabled(true);
        Fader(IDC_INPUT_FADER + i)->Enable(1);
    }
    const bool cn = g_bChinese.load() != 0;
    for (int i = 0; i < kOutputs; ++i) {
        CKTV_OutData *out = Out(i);
        if (!out)
            continue;
        const int v = std::clamp(out->GetGain(), 0, 600);
        Spin(IDC_OUT_SPIN + i)->SetPos(v);
        Fader(IDC_OUT_FADER + i)->SetInvertedPos(v);
        CBitButton *on = Button(IDC_OUT_ON + i);
        CBitButton *polarity = Button(IDC_OUT_POLARITY + i);
        on->SetCheck(out->GetOn() ? 1 : 0);
        polarity->SetCheck(out->GetPolarity() ? 1 : 0);
        const int t = std::clamp(GetWorkingSpeakerType(i), 0, kSpeakerTypes);
        const int label = (cn ? 4230 : 4200) + t;
        Button(IDC_TYPE_LABEL + i)->SetDisabledBitmaps(label, label);
        // An output without a speaker type shows only its blank label and the placeholder.
        const bool typed = t != 0;
        const int show = typed ? SW_SHOW : SW_HIDE;
        Edit(IDC_OUT_EDIT + i)->ShowWindow(show);
        Control(IDC_OUT_FADER + i)->setVisible(typed);
        on->ShowWindow(show);
        polarity->ShowWindow(show);
        Control(IDC_METER + i)->setVisible(typed);
        Button(IDC_PLACEHOLDER + i)->ShowWindow(typed ? SW_HIDE : SW_SHOW);
        Button(IDC_TYPE_LABEL + i)->ShowWindow(SW_SHOW);
    }
}
