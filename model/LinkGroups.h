#pragma once
// Link groups of the output strips' link buttons and the rule by which an edit of one output
// reaches the others.
//
// Link values (g_LinkGroups) are group numbers 1..10 written by the link buttons, or member bit
// masks written by the link-group editor; two outputs with the same non-zero value are linked,
// whatever scheme wrote the value. Only the numbers 1..10 index the group tables (g_LinkGroupUsed,
// g_LinkGroupCount, g_LinkGroupMask, index number - 1); any other value leaves them alone.
//
// A membership can be suspended: the output stops following its group but remembers the group it
// last joined and stays in the group's mask, so that a click without an edit in between brings it
// back. The remembered group is always the one the output last actually joined.
//
// Threads: the UI thread changes the tables; the link worker reads link values while it builds
// the limiter item. Every value is an atomic.

#include "model/DeviceImage.h"

#include <array>
#include <atomic>
#include <cstddef>

constexpr int kLinkOutputs = static_cast<int>(DeviceImage::kOutCount);

// An output's suspended membership: the flag, and the group index (0..9) it last joined.
struct LinkSuspendState {
    std::atomic<int> suspended{0};
    std::atomic<int> group{0};
};
extern std::array<LinkSuspendState, DeviceImage::kOutCount> g_LinkSuspend;

// An anchor output is set (a new anchored group, or a selected output whose link button is on).
extern std::atomic<int> g_bLinkAnchor;
// The anchor output and its link value minus 1; both -1 at start.
extern std::atomic<int> g_nLinkAnchorChannel;
extern std::atomic<int> g_nLinkAnchorGroup;

// Outputs 0..7 in a fixed order, each at most once.
class OutputSet {
public:
    void Add(int output)
    {
        if (output < 0 || output >= kLinkOutputs || Contains(output))
            return;
        m_items[static_cast<std::size_t>(m_count++)] = output;
        m_mask |= 1u << output;
    }
    bool Contains(int output) const { return output >= 0 && output < kLinkOutputs && ((m_mask >> output) & 1u); }
    unsigned Mask() const { return m_mask; }
    int Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    int operator[](int k) const { return m_items[static_cast<std::size_t>(k)]; }
    const int *begin() const { return m_items.data(); }
    const int *end() const { return m_items.data() + m_count; }

private:
    std::array<int, DeviceImage::kOutCount> m_items{};
    int m_count = 0;
    unsigned m_mask = 0;
};

// The group index 0..9 of a link value that is a group number 1..10, else -1.
int LinkGroupIndex(int linkValue);
// The link value of output c, 0 for an output out of range.
int LinkValueOf(int c);

// The first group index 0..9 not in use; 0 when every one is (eight outputs cannot fill ten).
int FindFreeSlot();

// Output c + 1 when c is the even first member of a bridged pair (c + 1 <= 7), else -1.
int BridgedPartner(int c);
// The other outputs with c's non-zero link value, in index order; empty when c is not linked.
OutputSet LinkedOutputs(int c);
// The outputs an edit of output s is repeated on, in order: each other output with s's non-zero
// link value, in index order, followed by its bridged partner when it is the even first member of
// a pair; then s's own partner when s is one. Never s itself and never an index above 7.
OutputSet PropagationTargets(int s);
// The outputs a copy of output a to its group writes (the other members, each followed by its
// bridged partner), without a. Empty when a is not linked: a zero link value designates no group.
OutputSet GroupCopyTargets(int a);

// ---- memberships (the link buttons) ----
// Each keeps the group tables consistent; none touches the image or the strips. A group whose
// last active member goes releases its suspended members, so a remembered group always has an
// active member while anyone remembers it.

// c joins the group of link value v (JOIN of the selected or the anchor output): c's value
// becomes v and, for a group number, the group counts c. Returns the group index or -1.
int JoinLinkGroup(int c, int linkValue);
// c forms a new group in the first free slot; with anchor set it becomes the link anchor.
// Returns the group index.
int JoinNewLinkGroup(int c, bool anchor);
// The output c copies from when it rejoins the group it suspended: the first output of that
// group that is active. -1 when c cannot rejoin: it is not suspended, was edited since
// (g_ChannelModified), or its group has no active member left.
int RejoinSource(int c);
// c rejoins its remembered group; returns the output to copy from, or -1 (nothing changed) when
// RejoinSource says it cannot.
int RejoinLinkGroup(int c);
// c suspends its membership: value 0, the group stops counting it, c stays in the group's mask
// and remembers the group. The anchor is dropped.
void SuspendLinkGroup(int c);
// c leaves its group for good: value 0, out of the group's count and mask, not suspended, not
// modified. clearAnchor drops the anchor too (the link button's leave; a bridged pair keeps it).
void LeaveLinkGroup(int c, bool clearAnchor);
// c leaves its group and forms a new anchored one. Returns the group index.
int MoveToNewLinkGroup(int c);
// The link-group editor's scheme: c takes `value` (a member bit mask) as its link value. A group
// number c held before is left first; a new value that is itself a group number 1..10 counts c
// as a member of that group, so the tables stay true for whatever equal values link. Nothing
// when the value is unchanged or c is out of range.
void SetEditorLinkValue(int c, int value);

// Byte 6 of item 35 of output c in g_CurImage takes the low byte of c's link value and the
// record's limiter item is marked for sending. Nothing for an output out of range.
void StoreLinkValue(int c);

// The group tables from the link values as they stand (after the device's blocks were loaded):
// every group number held counts its outputs; no membership stays suspended.
void RebuildLinkGroupTables();

// Start-up values of everything above. For start-up and tests.
void ResetLinkGroupGlobals();
