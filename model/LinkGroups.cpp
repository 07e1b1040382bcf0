#include "model/LinkGroups.h"

#include "model/KTV_OutData.h"

#include <cstdint>
#include <mutex>

std::array<LinkSuspendState, DeviceImage::kOutCount> g_LinkSuspend{};
std::atomic<int> g_bLinkAnchor{0};
std::atomic<int> g_nLinkAnchorChannel{-1};
std::atomic<int> g_nLinkAnchorGroup{-1};

namespace {

constexpr int kSlots = static_cast<int>(kLinkGroupSlots);

bool ValidOutput(int c) { return c >= 0 && c < kLinkOutputs; }
bool ValidSlot(int g) { return g >= 0 && g < kSlots; }
std::size_t At(int i) { return static_cast<std::size_t>(i); }

// Group g has lost an active member; at none it is free again and lets its suspended members go.
void DropCount(int g)
{
    const int count = g_LinkGroupCount[At(g)].load() - 1;
    g_LinkGroupCount[At(g)] = count > 0 ? count : 0;
    if (count > 0)
        return;
    g_LinkGroupUsed[At(g)] = 0;
    const int mask = g_LinkGroupMask[At(g)].load();
    for (int i = 0; i < kLinkOutputs; ++i) {
        if (((mask >> i) & 1) && g_LinkSuspend[At(i)].group.load() == g)
            g_LinkSuspend[At(i)].suspended = 0;
    }
    g_LinkGroupMask[At(g)] = 0;
}

// c no longer belongs to the group it suspended, if any.
void ForgetSuspendedGroup(int c)
{
    LinkSuspendState &s = g_LinkSuspend[At(c)];
    if (!s.suspended.load())
        return;
    const int g = s.group.load();
    if (ValidSlot(g))
        g_LinkGroupMask[At(g)] &= ~(1 << c);
    s.suspended = 0;
}

// c's current group (by its link value) stops counting it; c's value becomes 0.
void LeaveCurrent(int c, bool keepInMask)
{
    const int g = LinkGroupIndex(g_LinkGroups[At(c)].load());
    g_LinkGroups[At(c)] = 0;
    if (!ValidSlot(g))
        return;
    if (!keepInMask)
        g_LinkGroupMask[At(g)] &= ~(1 << c);
    DropCount(g);
}

void AddMember(int c, int g)
{
    g_LinkGroupUsed[At(g)] = 1;
    g_LinkGroupCount[At(g)] += 1;
    g_LinkGroupMask[At(g)] |= 1 << c;
    g_LinkSuspend[At(c)].suspended = 0;
    g_LinkSuspend[At(c)].group = g;
}

bool AnyGroupUsed()
{
    for (const auto &used : g_LinkGroupUsed)
        if (used.load())
            return true;
    return false;
}

}  // namespace

int LinkGroupIndex(int linkValue) { return linkValue >= 1 && linkValue <= kSlots ? linkValue - 1 : -1; }

int LinkValueOf(int c) { return ValidOutput(c) ? g_LinkGroups[At(c)].load() : 0; }

int FindFreeSlot()
{
    for (int g = 0; g < kSlots; ++g) {
        if (g_LinkGroupUsed[At(g)].load())
            continue;
        // A group number some output holds (read from the device, say) is taken all the same.
        bool held = false;
        for (int i = 0; i < kLinkOutputs && !held; ++i)
            held = g_LinkGroups[At(i)].load() == g + 1;
        if (!held)
            return g;
    }
    return 0;
}

int BridgedPartner(int c)
{
    if (!ValidOutput(c) || c % 2 != 0 || c + 1 >= kLinkOutputs)
        return -1;
    return g_BtlPair[At(c)].load() ? c + 1 : -1;
}

OutputSet LinkedOutputs(int c)
{
    OutputSet set;
    const int v = LinkValueOf(c);
    if (v == 0)
        return set;
    for (int i = 0; i < kLinkOutputs; ++i)
        if (i != c && g_LinkGroups[At(i)].load() == v)
            set.Add(i);
    return set;
}

OutputSet GroupCopyTargets(int a)
{
    OutputSet set;
    for (int i : LinkedOutputs(a)) {
        set.Add(i);
        const int partner = BridgedPartner(i);
        if (partner != a)
            set.Add(partner);
    }
    return set;
}

OutputSet PropagationTargets(int s)
{
    OutputSet set = GroupCopyTargets(s);
    set.Add(BridgedPartner(s));
    return set;
}

int JoinLinkGroup(int c, int linkValue)
{
    if (!ValidOutput(c) || linkValue == 0)
        return -1;
    if (g_LinkGroups[At(c)].load() != 0)
        LeaveCurrent(c, false);
    ForgetSuspendedGroup(c);
    g_LinkGroups[At(c)] = linkValue;
    const int g = LinkGroupIndex(linkValue);
    if (ValidSlot(g))
        AddMember(c, g);
    return g;
}

int JoinNewLinkGroup(int c, bool anchor)
{
    if (!ValidOutput(c))
        return -1;
    if (g_LinkGroups[At(c)].load() != 0)
        LeaveCurrent(c, false);
    ForgetSuspendedGroup(c);
    const int g = FindFreeSlot();
    g_LinkGroups[At(c)] = g + 1;
    AddMember(c, g);
    if (anchor) {
        g_bLinkAnchor = 1;
        g_nLinkAnchorChannel = c;
        g_nLinkAnchorGroup = g;
    }
    return g;
}

int RejoinSource(int c)
{
    if (!ValidOutput(c) || !g_LinkSuspend[At(c)].suspended.load() || g_ChannelModified[At(c)].load())
        return -1;
    const int g = g_LinkSuspend[At(c)].group.load();
    if (!ValidSlot(g) || !g_LinkGroupUsed[At(g)].load())
        return -1;
    const int mask = g_LinkGroupMask[At(g)].load();
    for (int i = 0; i < kLinkOutputs; ++i) {
        if (i == c || !((mask >> i) & 1))
            continue;
        if (!g_LinkSuspend[At(i)].suspended.load() && g_LinkGroups[At(i)].load() == g + 1)
            return i;
    }
    return -1;
}

int RejoinLinkGroup(int c)
{
    const int source = RejoinSource(c);
    if (source < 0)
        return -1;
    const int g = g_LinkSuspend[At(c)].group.load();
    g_LinkGroups[At(c)] = g + 1;
    AddMember(c, g);
    return source;
}

void SuspendLinkGroup(int c)
{
    if (!ValidOutput(c))
        return;
    const int g = LinkGroupIndex(g_LinkGroups[At(c)].load());
    if (ValidSlot(g)) {
        ForgetSuspendedGroup(c);
        g_LinkSuspend[At(c)].suspended = 1;
        g_LinkSuspend[At(c)].group = g;
    }
    LeaveCurrent(c, true);
    g_ChannelModified[At(c)] = 0;
    g_bLinkAnchor = 0;
    if (!AnyGroupUsed()) {
        for (auto &s : g_LinkSuspend)
            s.suspended = 0;
    }
}

void LeaveLinkGroup(int c, bool clearAnchor)
{
    if (!ValidOutput(c))
        return;
    LeaveCurrent(c, false);
    ForgetSuspendedGroup(c);
    g_ChannelModified[At(c)] = 0;
    if (clearAnchor)
        g_bLinkAnchor = 0;
}

int MoveToNewLinkGroup(int c)
{
    if (!ValidOutput(c))
        return -1;
    LeaveLinkGroup(c, true);
    return JoinNewLinkGroup(c, true);
}

void SetEditorLinkValue(int c, int value)
{
    if (!ValidOutput(c) || g_LinkGroups[At(c)].load() == value)
        return;
    ForgetSuspendedGroup(c);
    LeaveCurrent(c, false);
    g_LinkGroups[At(c)] = value;
    if (const int g = LinkGroupIndex(value); ValidSlot(g))
        AddMember(c, g);
}

void StoreLinkValue(int c)
{
    if (!ValidOutput(c))
        return;
    {
        std::lock_guard lock(g_csImage);
        auto item = g_CurImage.Item(OBJ_OUTPUT, c, CKTV_OutData::kLimitItem);
        if (item.size() > 6)
            item[6] = static_cast<std::uint8_t>(g_LinkGroups[At(c)].load() & 0xFF);
    }
    if (CKTV_OutData *out = g_OutChannelTable[At(c)])
        out->SetLimitStamp(1);
}

void RebuildLinkGroupTables()
{
    for (std::size_t g = 0; g < kLinkGroupSlots; ++g) {
        g_LinkGroupUsed[g] = 0;
        g_LinkGroupCount[g] = 0;
        g_LinkGroupMask[g] = 0;
    }
    for (int c = 0; c < kLinkOutputs; ++c) {
        g_LinkSuspend[At(c)].suspended = 0;
        const int g = LinkGroupIndex(g_LinkGroups[At(c)].load());
        if (ValidSlot(g))
            AddMember(c, g);
    }
}

void ResetLinkGroupGlobals()
{
    for (auto &s : g_LinkSuspend) {
        s.suspended = 0;
        s.group = 0;
    }
    g_bLinkAnchor = 0;
    g_nLinkAnchorChannel = -1;
    g_nLinkAnchorGroup = -1;
}
