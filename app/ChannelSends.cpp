// The view's channel sends, copies between outputs and equaliser resets: a channel's whole block
// goes out between two state items that switch the channel off for its duration.
#include "app/DeviceSync.h"

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "model/DataDefine.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/ImageFrames.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "model/SpeakerType.h"
#include "platform/GlobalData.h"

#include <mutex>

void CDeviceSync::SendInputChannel(int input)
{
    CMusic_InData *in = m_doc ? m_doc->GetMusicIn(input) : nullptr;
    if (!in || !m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    SetTransferMute(0);
    m_savedSwitch = in->GetSwitch();
    in->SetSwitch(0);
    in->SetRecordChanged(0);
    m_command.Add(in->SendBasic(true));
    in->FillRecord();
    m_command.Add(BuildImageBlockFrame(0, OBJ_MUSIC, input, true));
    in->SetSwitch(m_savedSwitch);
    in->SetRecordChanged(0);
    m_command.Add(in->SendBasic(true));
    SetTransferMute(1);
}

void CDeviceSync::SendOutputBetweenStates(int output, bool stateOnly)
{
    CKTV_OutData *out = m_doc ? m_doc->GetOut(output) : nullptr;
    if (!out || !m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    m_savedSwitch = out->GetOn();
    out->SetOn(0);
    out->SetBasicStamp(0);
    m_command.Add(out->SendBasic(true));
    if (stateOnly) {
        out->SetOn(m_savedSwitch);
        out->SetBasicStamp(0);
        return;
    }
    out->FillRecord();
    m_command.Add(BuildImageBlockFrame(0, OBJ_OUTPUT, output, true));
    out->SetOn(m_savedSwitch);
    out->SetBasicStamp(0);
    m_command.Add(out->SendBasic(true));
}

void CDeviceSync::SendOutputChannelLinked(int output, int)
{
    SendOutputBetweenStates(output, false);
}

void CDeviceSync::SendOutputChannel(int output)
{
    SendOutputBetweenStates(output, false);
}

void CDeviceSync::SendOutputChannelState(int output)
{
    SendOutputBetweenStates(output, true);
}

void CDeviceSync::ApplySpeakerTypes()
{
    if (!m_doc)
        return;
    for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
        if (CKTV_OutData *out = m_doc->GetOut(i))
            out->SetSpeakerType(GetWorkingSpeakerType(i));
    }
}

void CDeviceSync::SendSpeakerType(int output, int all)
{
    if (!m_doc)
        return;
    std::lock_guard lock(g_csLink);
    if (all == 0) {
        CKTV_OutData *out = m_doc->GetOut(output);
        if (!out)
            return;
        out->SetSpeakerType(GetWorkingSpeakerType(output));
        if (!m_session.connected)
            return;
        SetTransferMute(0);
        m_command.Add(BuildSystemValuesFrame(SYS_SPEAKERS, 0));
        m_command.Add(out->SendCrossover());
        SetTransferMute(1);
        return;
    }
    if (!m_session.connected)
        return;
    SetTransferMute(0);
    m_command.Add(BuildSystemValuesFrame(SYS_SPEAKERS, 0));
    for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
        if (CKTV_OutData *out = m_doc->GetOut(i))
            m_command.Add(out->SendCrossover());
    }
    SetTransferMute(1);
}

void CDeviceSync::CopyTail(int target, bool mute)
{
    CKTV_OutData *t = m_doc->GetOut(target);
    if (!t || !m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    if (mute)
        SetTransferMute(0);
    t->FillRecord();
    m_command.Add(BuildImageBlockFrame(0, OBJ_OUTPUT, target, true));
    if (mute)
        SetTransferMute(1);
}

// The source and target outputs of a copy; both null unless both exist and differ.
std::pair<CKTV_OutData *, CKTV_OutData *> CDeviceSync::CopyPair(int source, int target) const
{
    CKTV_OutData *s = m_doc ? m_doc->GetOut(source) : nullptr;
    CKTV_OutData *t = m_doc ? m_doc->GetOut(target) : nullptr;
    if (!s || !t || s == t)
        return {nullptr, nullptr};
    return {s, t};
}

void CDeviceSync::CopyOutputChannel(int source, int target)
{
    const auto [s, t] = CopyPair(source, target);
    if (!s)
        return;
    t->CopyEqAndLimitFrom(*s);
    CopyTail(target, false);
}

void CDeviceSync::CopyOutputChannelEq(int source, int target)
{
    const auto [s, t] = CopyPair(source, target);
    if (!s)
        return;
    t->CopyChannelFrom(*s);
    CopyTail(target, false);
}

void CDeviceSync::CopyOutputChannelLimited(int source, int target)
{
    const auto [s, t] = CopyPair(source, target);
    if (!s)
        return;
    t->CopyEqAndLimitFrom(*s);
    // A tweeter must not be left without its high-pass.
    if (IsTweeterSpeakerType(GetWorkingSpeakerType(target))) {
        CrossoverRecord x = t->GetCrossoverBlock();
        if (x.highFreq < 20) {
            x.highFreq = 20;
            if (x.lowFreq < x.highFreq)
                x.lowFreq = 20000;
        }
        if (x.highSlope == 8)
            x.highSlope = 7;
        const auto bytes = x.ToBytes();
        t->LoadCrossover(bytes.data());
    }
    CopyTail(target, true);
}

void CDeviceSync::ResetOutputEq(int output)
{
    CKTV_OutData *out = m_doc ? m_doc->GetOut(output) : nullptr;
    if (!out)
        return;
    for (int i = 0; i < 31; ++i) {
        if (CFilter *band = out->GetBand(i))
            band->Reset(g_IsoFreq31[i]);
    }
    if (m_session.connected) {
        std::lock_guard lock(g_csLink);
        out->FillRecord();
        m_command.Add(BuildImageBlockFrame(0, OBJ_OUTPUT, output, true));
    }
}

void CDeviceSync::ResetOutputEqLinked(void (*refresh)())
{
    const int sel = g_nSelOutput.load();
    if (sel < 0 || sel >= CKTV_Data::kOutputs)
        return;
    {
        std::lock_guard lock(g_csLink);
        SetTransferMute(0);
        ResetOutputEq(sel);
        const int group = g_LinkGroups[sel].load();
        for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
            if (i != sel && group != 0 && g_LinkGroups[i].load() == group)
                ResetOutputEq(i);
        }
        SetTransferMute(1);
    }
    if (refresh)
        refresh();
}

void CDeviceSync::ResetInputEq(int input)
{
    CMusic_InData *in = m_doc ? m_doc->GetMusicIn(input) : nullptr;
    if (!in)
        return;
    std::lock_guard lock(g_csLink);
    for (int i = 0; i < 31; ++i) {
        if (CFilter *band = in->GetBand(i))
            band->Reset(i < 15 ? g_GeqFreq15[i] : g_IsoFreq31[i]);
    }
    if (m_session.connected) {
        SetTransferMute(0);
        in->FillRecord();
        m_command.Add(BuildImageBlockFrame(0, OBJ_MUSIC, input, true));
        SetTransferMute(1);
    }
}
