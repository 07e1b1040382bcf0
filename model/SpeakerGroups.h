#pragma once
// The speaker groups of the delay lock: which outputs share a speaker position, built from the
// outputs' working speaker types.

#include <functional>

// A group's state word: -1 not usable, 0 usable, 1 delay lock on. Member slot k holds k when
// output k belongs to the group, else -1 (slots 8 and 9 are always -1).
struct SpeakerGroup {
    int state;
    int members[10];
};
// The front groups also record a pairing mode and the types of their first three members.
struct FrontSpeakerGroup {
    int state;
    int pairingMode;
    int types[3];
    int members[10];
};
// Centre (types 19, 20), front left (1..5), front right (7..11), rear left (13, 14), rear right
// (16, 17), subwoofer (22, 23). The full types and the plain subwoofer belong to no group.
struct SpeakerGroupTable {
    SpeakerGroup centre;
    FrontSpeakerGroup frontLeft;
    FrontSpeakerGroup frontRight;
    SpeakerGroup rearLeft;
    SpeakerGroup rearRight;
    SpeakerGroup subwoofer;
};
static_assert(sizeof(SpeakerGroupTable) == 74 * sizeof(int));

// UI thread only.
extern SpeakerGroupTable g_SpeakerGroups;

// Rebuilds g_SpeakerGroups from the outputs' working speaker types (SpeakerTypeStates), then calls
// hideWindow when one is given.
void RebuildSpeakerGroups(const std::function<void()> &hideWindow = {});

// The group an output belongs to by its working type: its state word and members, or null
// (state -1) when the type belongs to no group. The output page reads these for the delay lock.
struct SpeakerGroupView {
    int *state = nullptr;
    int *members = nullptr;  // 10 slots
};
SpeakerGroupView SpeakerGroupOfOutput(int output);
