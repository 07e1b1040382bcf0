// Link groups: which outputs an edit reaches, and the group tables through joins, suspensions,
// rejoins and leaves.
#include "model/LinkGroups.h"

#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

std::vector<int> Items(const OutputSet &set) { return {set.begin(), set.end()}; }

struct LinkTables : ::testing::Test {
    void SetUp() override { ResetDeviceImageGlobals(); }
    void TearDown() override { ResetDeviceImageGlobals(); }

    static void Links(const std::array<int, 8> &values)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            g_LinkGroups[i] = values[i];
    }
    // Pairing sets the entries of both outputs of a pair.
    static void Pair(int a)
    {
        g_BtlPair[static_cast<std::size_t>(a)] = 1;
        g_BtlPair[static_cast<std::size_t>(a + 1)] = 1;
    }
    static int Count(int g) { return g_LinkGroupCount[static_cast<std::size_t>(g)]; }
    static int Mask(int g) { return g_LinkGroupMask[static_cast<std::size_t>(g)]; }
    static int Used(int g) { return g_LinkGroupUsed[static_cast<std::size_t>(g)]; }
    static int Value(int c) { return g_LinkGroups[static_cast<std::size_t>(c)]; }
    static bool Suspended(int c) { return g_LinkSuspend[static_cast<std::size_t>(c)].suspended.load() != 0; }
};

}  // namespace

TEST_F(LinkTables, AnEditReachesItsGroupAndOnlyTheEvenFirstMembersPartners)
{
    struct Case {
        const char *what;
        std::array<int, 8> links;
        std::vector<int> pairs;  // first members of bridged pairs
        int s;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"group of three", {0, 7, 0, 7, 0, 7, 0, 0}, {}, 3, {1, 5}},
        {"not linked", {0, 0, 0, 0, 0, 0, 0, 0}, {}, 3, {}},
        {"own partner only", {0, 0, 0, 0, 0, 0, 0, 0}, {2}, 2, {3}},
        {"the second of a pair has no partner", {0, 0, 0, 0, 0, 0, 0, 0}, {2}, 3, {}},
        {"a member that is the second of a pair brings no one", {0, 4, 0, 4, 0, 0, 0, 0}, {2}, 1, {3}},
        {"a member that is the first brings its partner", {4, 0, 4, 0, 0, 0, 0, 0}, {2}, 0, {2, 3}},
        {"the last pair never reaches past 7", {0, 0, 0, 0, 0, 0, 9, 9}, {6}, 7, {6}},
        {"a partner that is s itself is skipped", {0, 0, 1, 1, 0, 0, 0, 0}, {2}, 3, {2}},
        {"group and own partner", {2, 0, 0, 0, 2, 0, 0, 0}, {0, 4}, 0, {4, 5, 1}},
        {"a mask and a group number that are equal link", {5, 0, 5, 0, 5, 0, 0, 0}, {}, 0, {2, 4}},
        {"s out of range", {1, 1, 1, 1, 1, 1, 1, 1}, {}, 8, {}},
        {"negative s", {1, 1, 1, 1, 1, 1, 1, 1}, {}, -1, {}},
    };
    for (const Case &c : cases) {
        ResetDeviceImageGlobals();
        Links(c.links);
        for (int a : c.pairs)
            Pair(a);
        EXPECT_EQ(Items(PropagationTargets(c.s)), c.expected) << c.what;
    }

    // A stray pair entry on the last output reaches nothing.
    ResetDeviceImageGlobals();
    g_BtlPair[7] = g_BtlPair[8] = g_BtlPair[9] = 1;
    EXPECT_EQ(BridgedPartner(7), -1);
    EXPECT_EQ(BridgedPartner(8), -1);
}

TEST_F(LinkTables, AGroupCopyNeedsALinkValue)
{
    // Unlinked outputs share the value 0, which designates no group.
    EXPECT_TRUE(GroupCopyTargets(2).Empty());
    EXPECT_TRUE(LinkedOutputs(2).Empty());

    Links({3, 0, 3, 0, 3, 0, 0, 0});
    Pair(2);
    Pair(0);
    // Each member followed by its partner; the source's own partner is not a copy target.
    EXPECT_EQ(Items(GroupCopyTargets(0)), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(GroupCopyTargets(0).Mask(), 0b11100u);
}

TEST_F(LinkTables, FreeSlotIsTheFirstNotInUseNorHeldByAnOutput)
{
    EXPECT_EQ(FindFreeSlot(), 0);
    g_LinkGroupUsed[0] = 1;
    g_LinkGroupUsed[2] = 1;
    EXPECT_EQ(FindFreeSlot(), 1);
    // A group number read from the device is taken even though the tables do not count it.
    g_LinkGroups[5] = 2;
    EXPECT_EQ(FindFreeSlot(), 3);
    for (auto &u : g_LinkGroupUsed)
        u = 1;
    EXPECT_EQ(FindFreeSlot(), 0);
}

TEST_F(LinkTables, JoinSuspendRejoinAndLeaveKeepTheTablesInStep)
{
    // Output 3 forms an anchored group, output 4 joins it.
    EXPECT_EQ(JoinNewLinkGroup(3, true), 0);
    EXPECT_EQ(g_bLinkAnchor.load(), 1);
    EXPECT_EQ(g_nLinkAnchorChannel.load(), 3);
    EXPECT_EQ(JoinLinkGroup(4, Value(3)), 0);
    EXPECT_EQ(Value(4), 1);
    EXPECT_EQ(Count(0), 2);
    EXPECT_EQ(Mask(0), 0b11000);

    // Output 3 suspends: it stays in the mask, out of the count, and drops the anchor.
    SuspendLinkGroup(3);
    EXPECT_EQ(Value(3), 0);
    EXPECT_TRUE(Suspended(3));
    EXPECT_EQ(Count(0), 1);
    EXPECT_EQ(Mask(0), 0b11000);
    EXPECT_EQ(g_bLinkAnchor.load(), 0);
    // Without an edit it rejoins and copies the first active member.
    EXPECT_EQ(RejoinSource(3), 4);
    EXPECT_EQ(RejoinLinkGroup(3), 4);
    EXPECT_EQ(Value(3), 1);
    EXPECT_EQ(Count(0), 2);
    EXPECT_FALSE(Suspended(3));

    // After an edit the suspended output cannot rejoin.
    SuspendLinkGroup(3);
    g_ChannelModified[3] = 1;
    EXPECT_EQ(RejoinLinkGroup(3), -1);
    EXPECT_EQ(Value(3), 0);

    // A right click of the last active member frees the group and its suspended members.
    LeaveLinkGroup(4, true);
    EXPECT_EQ(Value(4), 0);
    EXPECT_EQ(Used(0), 0);
    EXPECT_EQ(Count(0), 0);
    EXPECT_EQ(Mask(0), 0);
    EXPECT_FALSE(Suspended(3));
}

TEST_F(LinkTables, ANewGroupIsRememberedAsTheGroupLastJoined)
{
    // Outputs 0 and 1 in group 1; output 1 suspends, is edited, then starts a group of its own.
    JoinNewLinkGroup(0, true);
    JoinLinkGroup(1, Value(0));
    SuspendLinkGroup(1);
    g_ChannelModified[1] = 1;
    EXPECT_EQ(JoinNewLinkGroup(1, false), 1);
    EXPECT_EQ(Mask(0), 0b01) << "the old group lets go of output 1";
    EXPECT_FALSE(Suspended(1));

    // Output 2 joins output 1's new group; output 1 suspends and rejoins that group, not group 1.
    JoinLinkGroup(2, Value(1));
    SuspendLinkGroup(1);
    g_ChannelModified[1] = 0;
    EXPECT_EQ(RejoinLinkGroup(1), 2);
    EXPECT_EQ(Value(1), 2);
    EXPECT_EQ(Count(0), 1);
    EXPECT_EQ(Count(1), 2);

    // Moving to a new group leaves the old one behind the same way.
    EXPECT_EQ(MoveToNewLinkGroup(1), 2);
    EXPECT_EQ(Value(1), 3);
    EXPECT_EQ(Mask(1), 0b100);
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(g_nLinkAnchorChannel.load(), 1);
    SuspendLinkGroup(1);
    EXPECT_EQ(RejoinSource(1), -1) << "the moved output's new group has no other active member";
    EXPECT_EQ(Used(2), 0);
}

TEST_F(LinkTables, ARejoinNeedsAnActiveMemberOfTheRememberedGroup)
{
    // A remembered group that another output now holds under the same number, after the tables
    // were rebuilt from the device, is no group to rejoin.
    g_LinkSuspend[5].suspended = 1;
    g_LinkSuspend[5].group = 0;
    g_LinkGroupUsed[0] = 1;
    g_LinkGroupMask[0] = 1 << 5 | 1 << 6;  // output 6 is in the mask but no longer holds value 1
    EXPECT_EQ(RejoinSource(5), -1);
    g_LinkGroups[6] = 1;
    EXPECT_EQ(RejoinSource(5), 6);

    // A remembered group index outside the tables is refused.
    g_LinkSuspend[5].group = 40;
    EXPECT_EQ(RejoinSource(5), -1);
    EXPECT_EQ(RejoinSource(9), -1);
}

TEST_F(LinkTables, LinkValuesOutsideTheTablesNeverIndexThem)
{
    // Masks written by the link editor: suspending or leaving touches no table.
    Links({0b110000, 0, 0, 0, 0b110000, 0b110000, 0, 0});
    SuspendLinkGroup(4);
    EXPECT_EQ(Value(4), 0);
    EXPECT_FALSE(Suspended(4));
    LeaveLinkGroup(5, true);
    EXPECT_EQ(Value(5), 0);
    for (std::size_t g = 0; g < kLinkGroupSlots; ++g)
        EXPECT_EQ(g_LinkGroupCount[g].load(), 0) << g;
    EXPECT_EQ(JoinLinkGroup(1, 0b110000), -1);
    EXPECT_EQ(Value(1), 0b110000);
    EXPECT_EQ(JoinLinkGroup(1, 0), -1);
    EXPECT_EQ(LinkGroupIndex(11), -1);
    EXPECT_EQ(LinkGroupIndex(10), 9);
    EXPECT_EQ(LinkGroupIndex(0), -1);
}

TEST_F(LinkTables, TablesRebuiltFromTheDevicesValues)
{
    Links({2, 0, 2, 5, 0, 0, 0x41, 5});
    g_LinkSuspend[1].suspended = 1;
    g_LinkGroupUsed[7] = 1;
    RebuildLinkGroupTables();
    EXPECT_EQ(Count(1), 2);
    EXPECT_EQ(Mask(1), 0b101);
    EXPECT_EQ(Count(4), 2);
    EXPECT_EQ(Mask(4), 0b10001000);
    EXPECT_EQ(Used(7), 0);
    EXPECT_FALSE(Suspended(1));
    EXPECT_EQ(FindFreeSlot(), 0);
}

TEST_F(LinkTables, TheLinkValueReachesTheImageAndMarksTheLimiterItem)
{
    CKTV_Data tree;
    g_LinkGroups[6] = 0x103;  // only the low byte fits the item
    StoreLinkValue(6);
    {
        std::lock_guard lock(g_csImage);
        EXPECT_EQ(g_CurImage.Item(OBJ_OUTPUT, 6, CKTV_OutData::kLimitItem)[6], 0x03);
    }
    EXPECT_EQ(tree.GetOut(6)->GetLimitChanged(), 1);
    StoreLinkValue(8);  // out of range: nothing
}
