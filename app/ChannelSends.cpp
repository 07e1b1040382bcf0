#include "app/ChannelSends.h"

#include "app/DeviceSync.h"
#include "services/PageRegistry.h"
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
#include "protocol/CommandFrame.h"

#include <mutex>

CChannelSends::CChannelSends(CKTVCommand &command, const LinkSession &session, CDeviceSync &sync, CKTV_Data &doc,
                             CPageRegistry &pages)
    : m_command(command), m_session(session), m_sync(sync), m_doc(doc), m_pages(pages)
{
}

void CChannelSends::SendInputChannel(int input)
{
    CMusic_InData *in = m_doc.GetMusicIn(input);
    if (!in || !m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    m_sync.SetTransferMute(0);
    const int savedSwitch = in->GetSwitch();
    in->SetSwitch(0);
    in->SetRecordChanged(0);
    m_command.Add(in->SendBasic(true));
    in->FillRecord();
    m_command.Add(BuildImageBlockFrame(0, OBJ_MUSIC, input, true));
    in->SetSwitch(savedSwitch);
    in->SetRecordChanged(0);
    m_command.Add(in->SendBasic(true));
    m_sync.SetTransferMute(1);
}

void CChannelSends::SendOutputBetweenStates(int output, bool stateOnly)
{
    CKTV_OutData *out = m_doc.GetOut(output);
    if (!out || !m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    const int savedOn = out->GetOn();
    out->SetOn(0);
    out->SetBasicStamp(0);
    m_command.Add(out->SendBasic(true));
    if (stateOnly) {
        out->SetOn(savedOn);
        out->SetBasicStamp(0);
        return;
    }
    out->FillRecord();
    m_command.Add(BuildImageBlockFrame(0, OBJ_OUTPUT, output, true));
    out->SetOn(savedOn);
    out->SetBasicStamp(0);
    m_command.Add(out->SendBasic(true));
}

void CChannelSends::SendOutputChannelLinked(int output, int)
{
    SendOutputBetweenStates(output, false);
}

void CChannelSends::SendOutputChannel(int output)
{
    SendOutputBetweenStates(output, false);
}

void CChannelSends::SendOutputChannelState(int output)
{
    SendOutputBetweenStates(output, true);
}

void CChannelSends::ApplySpeakerTypes()
{
    for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
        if (CKTV_OutData *out = m_doc.GetOut(i))
            out->SetSpeakerType(GetWorkingSpeakerType(i));
    }
}

void CChannelSends::SendSpeakerType(int output, int all)
{
    std::lock_guard lock(g_csLink);
    if (all == 0) {
        CKTV_OutData *out = m_doc.GetOut(output);
        if (!out)
            return;
        out->SetSpeakerType(GetWorkingSpeakerType(output));
        if (!m_session.connected)
            return;
        m_sync.SetTransferMute(0);
        m_command.Add(BuildSystemValuesFrame(SYS_SPEAKERS, 0));
        m_command.Add(out->SendCrossover());
        m_sync.SetTransferMute(1);
        return;
    }
    if (!m_session.connected)
        return;
    m_sync.SetTransferMute(0);
    m_command.Add(BuildSystemValuesFrame(SYS_SPEAKERS, 0));
    for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
        if (CKTV_OutData *out = m_doc.GetOut(i))
            m_command.Add(out->SendCrossover());
    }
    m_sync.SetTransferMute(1);
}

void CChannelSends::CopyTail(int target, bool mute)
{
    CKTV_OutData *t = m_doc.GetOut(target);
    if (!t || !m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    if (mute)
        m_sync.SetTransferMute(0);
    t->FillRecord();
    m_command.Add(BuildImageBlockFrame(0, OBJ_OUTPUT, target, true));
    if (mute)
        m_sync.SetTransferMute(1);
}

// The source and target outputs of a copy; both null unless both exist and differ.
std::pair<CKTV_OutData *, CKTV_OutData *> CChannelSends::CopyPair(int source, int target) const
{
    CKTV_OutData *s = m_doc.GetOut(source);
    CKTV_OutData *t = m_doc.GetOut(target);
    if (!s || !t || s == t)
        return {nullptr, nullptr};
    return {s, t};
}

void CChannelSends::CopyOutputChannel(int source, int target)
{
    const auto [s, t] = CopyPair(source, target);
    if (!s)
        return;
    t->CopyEqAndLimitFrom(*s);
    CopyTail(target, false);
}

void CChannelSends::CopyOutputChannelEq(int source, int target)
{
    const auto [s, t] = CopyPair(source, target);
    if (!s)
        return;
    t->CopyChannelFrom(*s);
    CarryHeldOnState(source, target);
    CopyTail(target, false);
}

void CChannelSends::CopyOutputChannelLimited(int source, int target)
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

void CChannelSends::ResetOutputEq(int output)
{
    CKTV_OutData *out = m_doc.GetOut(output);
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

void CChannelSends::ResetOutputEqLinked()
{
    const int sel = g_nSelOutput.load();
    if (sel < 0 || sel >= CKTV_Data::kOutputs)
        return;
    {
        std::lock_guard lock(g_csLink);
        m_sync.SetTransferMute(0);
        ResetOutputEq(sel);
        const int group = g_LinkGroups[sel].load();
        for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
            if (i != sel && group != 0 && g_LinkGroups[i].load() == group)
                ResetOutputEq(i);
        }
        m_sync.SetTransferMute(1);
    }
    m_pages.RefreshOutputEq();
}

void CChannelSends::ResetInputEq(int input)
{
    CMusic_InData *in = m_doc.GetMusicIn(input);
    if (!in)
        return;
    std::lock_guard lock(g_csLink);
    in->ResetEqBands();
    if (m_session.connected) {
        m_sync.SetTransferMute(0);
        in->FillRecord();
        m_command.Add(BuildImageBlockFrame(0, OBJ_MUSIC, input, true));
        m_sync.SetTransferMute(1);
    }
}

void CChannelSends::CarryHeldOnState(int source, int target)
{
    const std::optional<int> sourceOn = m_heldOn[source];
    if (!sourceOn)
        return;
    CKTV_OutData *t = m_doc.GetOut(target);
    if (m_heldOn[target]) {
        // The target stays silent until the copy is over, then sounds as the source did.
        m_heldOn[target] = sourceOn;
        t->SetOn(0);
    } else {
        t->SetOn(*sourceOn);
    }
    t->SetBasicStamp(0);
}

void CChannelSends::MuteOutputsForCopy(unsigned mask, bool mute)
{
    if (!g_bDeviceOnline.load())
        return;
    std::lock_guard lock(g_csLink);
    for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
        CKTV_OutData *out = (mask >> i) & 1u ? m_doc.GetOut(i) : nullptr;
        if (!out)
            continue;
        if (mute) {
            // A second silence keeps the state remembered by the first.
            if (!m_heldOn[i])
                m_heldOn[i] = out->GetOn();
            out->SetOn(0);
        } else {
            if (m_heldOn[i])
                out->SetOn(*m_heldOn[i]);
            m_heldOn[i].reset();
        }
        out->SetBasicStamp(0);
        m_command.Add(out->SendBasic(true));
    }
}
