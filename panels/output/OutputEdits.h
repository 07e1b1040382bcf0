#pragma once
// What the output page's edits do to the records, apart from the controls that show them: an
// edit of one output and its repetition on the outputs that follow it (its link group and its
// bridged partner), the all-bypass question and its sends, the strips' gain, mute, polarity and
// delay, the delay lock, the master volume, and the copies that bring outputs into a group or a
// bridged pair while the device plays silence. The page's handlers read their controls, call
// these, and show the result.
//
// Plain functions over the output records (g_OutChannelTable) and the channel-send service; no
// widget, no lock of the link: every change that queues frames is a service call. UI thread.

#include "model/LinkGroups.h"

#include <functional>

class CFilter;
class CKTV_OutData;
class IChannelSends;
class IDeviceSync;

namespace outedit {

constexpr int kBands = 31;
constexpr int kItemHighPass = 31;
constexpr int kItemLowPass = 32;

// Output c's record; null for an index out of range or before the record tree exists.
CKTV_OutData *Output(int c);
// Graph item `item` of output c: bands 0..30, the high-pass 31, the low-pass 32; else null.
CFilter *Element(int c, int item);
// g_ChannelModified of output c (nothing for an index out of range).
void MarkModified(int c);
// Calls set on element `item` of every output an edit of s reaches (PropagationTargets).
void RepeatOnFollowers(int s, int item, const std::function<void(CFilter &)> &set);

// ---- equaliser bands of output s ----
// Each returns false, and changes and repeats nothing, when the band already has the value or
// does not exist; otherwise the band and its followers take it.
bool EditBandFreq(int s, int band, int freq);
bool EditBandQ(int s, int band, int q);
bool EditBandGain(int s, int band, int gainCode);
// The bypass button: the band's zero flag becomes `state`; its followers take the band's
// resulting neutral state, which is returned (-1 when there is no such band).
int EditBandBypass(int s, int band, int state);

// After the graph reported band `band` of s (a drag, or a release of the button): the followers
// take its frequency, Q and gain, in that order, whatever the drag changed. Of a bypassed band
// (its own button or the all-bypass) they take the gain it keeps, not the 0 dB it reports, and
// its button's neutral state, so that bringing the band back brings theirs back too.
// False (nothing copied) when there is no such band.
bool CopyBandToFollowers(int s, int band);

// ---- all-bypass ----
struct AllBypassPlan {
    int state = 0;      // 1 bypass every band, 0 restore them
    int flat = 0;       // every band neutral once the state is applied
    bool ask = false;   // false: nothing to do, the button stays checked
};
// What pressing all-bypass on output s would do, from the button's check state; changes nothing.
// Restoring an equaliser whose every band would stay neutral asks nothing.
AllBypassPlan PlanAllBypass(int s, bool buttonChecked);
// After the user said Yes: output s and its followers take the state, and while a link is open
// their blocks are queued with each output switched off around its block.
void ApplyAllBypass(IChannelSends &sends, int s, const AllBypassPlan &plan);

// ---- strips (output c as the strip reports it) ----
// A new gain; the output sounds again. False when the gain is unchanged.
bool EditStripGain(int c, int gain);
// On state, polarity, delay of c and of its bridged partner; each returns the partner that
// followed, or -1.
int EditStripMute(int c, int on);
int EditStripPhase(int c, int polarity);
int EditStripDelay(int c, int delay);
// Master volume from the master strip's message (0..66): false when unchanged; otherwise the
// master sounds again and system block 5 is marked for sending.
bool EditMasterVolume(IDeviceSync &sync, int volume);

// ---- delay lock ----
// Spin ids of the hidden delay edits: ms, cm, inch.
constexpr int kDelaySpinMs = 4013, kDelaySpinCm = 4014, kDelaySpinInch = 4015;
// Output c's delay stepped as the spin `spinId` steps (1/48 ms, a shown cm, a shown inch),
// limited to 0..960; any other spin leaves it.
void StepLinkedDelay(int c, int step, int spinId);
// With the delay lock of the selected output's speaker group on, steps every other member.
void StepLockedGroup(int selected, int step, int spinId);

// ---- link groups and bridged pairs ----
// Every output a copy of a to its group reaches, and a itself.
unsigned CopySilenceMask(int a);
// Silences (mute true) or gives back (false) every output a copy of a reaches.
void MuteGroupForCopy(IChannelSends &sends, int a, bool mute);
// The whole channel of a into the other members of its group, and each even member into its
// partner. Nothing when a is not linked.
void CopyToLinkGroup(IChannelSends &sends, int a);
// The copy above with every output it reaches silent while it runs.
void CopyToLinkGroupMuted(IChannelSends &sends, int a);
// Bridges a (even) and a + 1: both leave their link groups, and a's equaliser is copied into
// a + 1 while both are silent. False (nothing changes) unless a is even and a + 1 <= 7.
bool PairOutputs(IChannelSends &sends, int a);
// Dissolves the pair a, a + 1; a leaves its link group. False for an a that names no pair.
bool UnpairOutputs(int a);

}  // namespace outedit
