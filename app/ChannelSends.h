#pragma once
// The channel sends, copies between outputs and equaliser resets that the pages call: a channel's
// whole block goes out between two state items that switch the channel off for its duration,
// and a reset or copy changes the records and, while a link is open, queues the blocks. Each
// operation takes g_csLink itself for the whole change. Nothing here needs a display.

#include "services/Services.h"

#include <array>
#include <optional>

class CDeviceSync;
class CKTVCommand;
class CKTV_Data;
class CKTV_OutData;
class CPageRegistry;
struct LinkSession;

class CChannelSends final : public IChannelSends {
public:
    // sync gives the master mute around transfers; pages is told when an output's equaliser was
    // reset.
    CChannelSends(CKTVCommand &command, const LinkSession &session, CDeviceSync &sync, CKTV_Data &doc,
                  CPageRegistry &pages);

    void SendInputChannel(int input) override;
    void SendOutputChannelLinked(int output, int unused) override;
    void SendOutputChannel(int output) override;
    void SendOutputChannelState(int output) override;
    void SendSpeakerType(int output, int all) override;
    void CopyOutputChannel(int source, int target) override;
    void CopyOutputChannelEq(int source, int target) override;
    void CopyOutputChannelLimited(int source, int target) override;
    void ResetOutputEqLinked() override;
    void ResetInputEq(int input) override;
    void MuteOutputsForCopy(unsigned mask, bool mute) override;

    // Resets output's 31 bands and, with a link open, queues its block.
    void ResetOutputEq(int output);
    // Each output record takes its working speaker type.
    void ApplySpeakerTypes();

private:
    void SendOutputBetweenStates(int output, bool stateOnly);
    void CopyTail(int target, bool mute);
    // Source and target of a copy; both null unless both exist and differ.
    std::pair<CKTV_OutData *, CKTV_OutData *> CopyPair(int source, int target) const;
    // A copy carries the source's own on state, not the silence it is held in for the copy.
    void CarryHeldOnState(int source, int target);

    CKTVCommand &m_command;
    const LinkSession &m_session;
    CDeviceSync &m_sync;
    CKTV_Data &m_doc;
    CPageRegistry &m_pages;
    // The on state of each output silenced for a copy, until it is given back.
    std::array<std::optional<int>, 8> m_heldOn{};
};
