#include "panels/output/OutputEdits.h"

#include "services/Services.h"
#include "model/DelayMath.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerGroups.h"

#include <algorithm>

namespace outedit {

namespace {

constexpr int kDelayMax = 960;
constexpr int kMasterVolumeMax = 66;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

CFilter *Band(int s, int band) { return band >= 0 && band < kBands ? Element(s, band) : nullptr; }

// A band edit: the setter on band `band` of s and its followers, when the value is new.
bool EditBand(int s, int band, int value, int (CFilter::*get)() const, const std::function<void(CFilter &)> &set)
{
    CFilter *b = Band(s, band);
    if (!b || (b->*get)() == value)
        return false;
    set(*b);
    RepeatOnFollowers(s, band, set);
    return true;
}

}  // namespace

CKTV_OutData *Output(int c)
{
    if (c < 0 || c >= kLinkOutputs)
        return nullptr;
    return g_OutChannelTable[At(c)];
}

CFilter *Element(int c, int item)
{
    CKTV_OutData *out = Output(c);
    if (!out || item < 0)
        return nullptr;
    if (item < kBands)
        return out->GetBand(item);
    if (item == kItemHighPass)
        return out->GetHpf();
    if (item == kItemLowPass)
        return out->GetLpf();
    return nullptr;
}

void MarkModified(int c)
{
    if (c >= 0 && c < kLinkOutputs)
        g_ChannelModified[At(c)] = 1;
}

void RepeatOnFollowers(int s, int item, const std::function<void(CFilter &)> &set)
{
    for (int i : PropagationTargets(s)) {
        if (CFilter *f = Element(i, item))
            set(*f);
    }
}

bool EditBandFreq(int s, int band, int freq)
{
    return EditBand(s, band, freq, &CFilter::GetFreq, [freq](CFilter &f) { f.SetFreq(freq, 1); });
}

bool EditBandQ(int s, int band, int q)
{
    return EditBand(s, band, q, &CFilter::GetBandwidthIndex, [q](CFilter &f) { f.SetBandwidthIndex(q); });
}

bool EditBandGain(int s, int band, int gainCode)
{
    return EditBand(s, band, gainCode, &CFilter::GetGainCode, [gainCode](CFilter &f) { f.SetGainCode(gainCode); });
}

int EditBandBypass(int s, int band, int state)
{
    CFilter *b = Band(s, band);
    if (!b)
        return -1;
    b->SetZero(state);
    const int neutral = b->IsNeutral();
    RepeatOnFollowers(s, band, [neutral](CFilter &f) { f.SetZero(neutral); });
    return neutral;
}

bool CopyBandToFollowers(int s, int band)
{
    const CFilter *b = Band(s, band);
    if (!b)
        return false;
    const int f = b->GetFreq(), bw = b->GetBandwidthIndex(), g = b->GetGainCode();
    // A bypassed band reports 0 dB but keeps its gain for the day it comes back: the followers
    // store that gain and stay neutral, as the bypass buttons left them.
    const double stored = b->GetGain();
    const bool held = b->IsNeutral() && stored != 0.0;
    const bool zero = b->GetZero() != 0;
    RepeatOnFollowers(s, band, [&](CFilter &e) {
        e.SetFreq(f, 1);
        e.SetBandwidthIndex(bw);
        if (!held) {
            e.SetGainCode(g);
            return;
        }
        e.SetGain(stored);
        if (zero)
            e.SetZero(1);
    });
    return true;
}

AllBypassPlan PlanAllBypass(int s, bool buttonChecked)
{
    AllBypassPlan plan;
    plan.state = buttonChecked ? 0 : 1;
    const CKTV_OutData *out = Output(s);
    if (!out)
        return plan;
    plan.flat = out->EqFlatAfterBypass(plan.state);
    // Restoring bands that would all stay neutral: the button stays checked.
    plan.ask = !(plan.state == 0 && plan.flat);
    return plan;
}

void ApplyAllBypass(IChannelSends &sends, int s, const AllBypassPlan &plan)
{
    CKTV_OutData *out = Output(s);
    if (!out)
        return;
    out->SetEqBypass(plan.state);
    out->UpdateEqFlat();
    sends.SendOutputChannelState(s);
    sends.SendOutputChannel(s);
    auto follow = [&](int i) {
        if (CKTV_OutData *o = Output(i)) {
            o->SetEqBypass(plan.flat);
            o->UpdateEqFlat();
        }
    };
    const int value = LinkValueOf(s);
    for (int i = 0; i < kLinkOutputs && value != 0; ++i) {
        if (LinkValueOf(i) != value)
            continue;
        if (i != s) {
            follow(i);
            // The partner's record changed too: its block goes out as well.
            const int partner = BridgedPartner(i);
            if (partner >= 0 && partner != s) {
                follow(partner);
                sends.SendOutputChannelLinked(partner, 0);
            }
        }
        sends.SendOutputChannelLinked(i, 0);
    }
    const int partner = BridgedPartner(s);
    if (partner >= 0) {
        follow(partner);
        sends.SendOutputChannelLinked(partner, 0);
    }
}

bool EditStripGain(int c, int gain)
{
    CKTV_OutData *out = Output(c);
    if (!out || out->GetGain() == gain)
        return false;
    out->SetGain(std::clamp(gain, 0, CKTV_OutData::kGainMax));
    out->SetOn(1);
    return true;
}

int EditStripMute(int c, int on)
{
    CKTV_OutData *out = Output(c);
    if (!out)
        return -1;
    out->SetOn(on ? 1 : 0);
    const int partner = BridgedPartner(c);
    if (CKTV_OutData *p = Output(partner))
        p->SetOn(on ? 1 : 0);
    return partner;
}

int EditStripPhase(int c, int polarity)
{
    CKTV_OutData *out = Output(c);
    if (!out)
        return -1;
    const int p = polarity ? 1 : 0;
    if (out->GetPolarity() != p)
        out->SetPolarity(p);
    const int partner = BridgedPartner(c);
    if (CKTV_OutData *o = Output(partner))
        o->SetPolarity(p);
    return partner;
}

int EditStripDelay(int c, int delay)
{
    CKTV_OutData *out = Output(c);
    if (!out)
        return -1;
    const int d = std::clamp(delay, 0, kDelayMax);
    if (out->GetDelay() != d)
        out->SetDelay(d);
    const int partner = BridgedPartner(c);
    if (CKTV_OutData *o = Output(partner)) {
        if (o->GetDelay() != d)
            o->SetDelay(d);
    }
    return partner;
}

bool EditMasterVolume(IDeviceSync &sync, int volume)
{
    const int v = std::clamp(volume, 0, kMasterVolumeMax);
    if (v == static_cast<int>(g_nMasterVolume))
        return false;
    g_nMasterVolume = v;
    if (!g_bMasterOn.load())
        g_bMasterOn = 1;
    sync.SetPendingBlock5(1);
    return true;
}

void StepLinkedDelay(int c, int step, int spinId)
{
    CKTV_OutData *out = Output(c);
    if (!out)
        return;
    const int d = out->GetDelay();
    int next = d;
    if (spinId == kDelaySpinMs)
        next = d + step;
    else if (spinId == kDelaySpinCm)
        next = StepDelayCm(d, step);
    else if (spinId == kDelaySpinInch)
        next = StepDelayInch(d, step);
    next = std::clamp(next, 0, kDelayMax);
    if (next != d)
        out->SetDelay(next);
}

void StepLockedGroup(int selected, int step, int spinId)
{
    const SpeakerGroupView group = SpeakerGroupOfOutput(selected);
    if (!group.state || *group.state != 1 || !group.members)
        return;
    for (int k = 0; k < kLinkOutputs; ++k) {
        const int c = group.members[k];
        if (c >= 0 && c < kLinkOutputs && c != selected)
            StepLinkedDelay(c, step, spinId);
    }
}

unsigned CopySilenceMask(int a)
{
    if (a < 0 || a >= kLinkOutputs)
        return 0;
    return (1u << a) | GroupCopyTargets(a).Mask();
}

void MuteGroupForCopy(IChannelSends &sends, int a, bool mute)
{
    const unsigned mask = CopySilenceMask(a);
    if (mask)
        sends.MuteOutputsForCopy(mask, mute);
}

void CopyToLinkGroup(IChannelSends &sends, int a)
{
    for (int i : LinkedOutputs(a)) {
        sends.CopyOutputChannelEq(a, i);
        const int partner = BridgedPartner(i);
        if (partner >= 0 && partner != a)
            sends.CopyOutputChannelEq(i, partner);
        g_bAnyLink = 1;
    }
}

void CopyToLinkGroupMuted(IChannelSends &sends, int a)
{
    if (LinkedOutputs(a).Empty())
        return;
    MuteGroupForCopy(sends, a, true);
    CopyToLinkGroup(sends, a);
    MuteGroupForCopy(sends, a, false);
}

bool PairOutputs(IChannelSends &sends, int a)
{
    if (a < 0 || a % 2 != 0 || a + 1 >= kLinkOutputs)
        return false;
    const int b = a + 1;
    g_BtlPair[At(a)] = 1;
    g_BtlPair[At(b)] = 1;
    if (g_nSelOutput.load() == b)
        g_nSelOutput = a;
    for (int c : {a, b}) {
        if (LinkValueOf(c) == 0)
            continue;
        LeaveLinkGroup(c, false);
        StoreLinkValue(c);
    }
    // The copy reaches b: both play silence while it is sent.
    const unsigned mask = (1u << a) | (1u << b);
    sends.MuteOutputsForCopy(mask, true);
    sends.CopyOutputChannel(a, b);
    sends.MuteOutputsForCopy(mask, false);
    return true;
}

bool UnpairOutputs(int a)
{
    if (a < 0 || a % 2 != 0 || a + 1 >= kLinkOutputs)
        return false;
    g_BtlPair[At(a)] = 0;
    g_BtlPair[At(a + 1)] = 0;
    if (LinkValueOf(a) != 0) {
        LeaveLinkGroup(a, true);
        StoreLinkValue(a);
    }
    return true;
}

}  // namespace outedit
