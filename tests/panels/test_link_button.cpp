// The strip link button's state machine, driven as a user clicks: single, double and right
// clicks on the outputs' link buttons, with a page that records what it is asked to do.

#include "model/DeviceImage.h"
#include "model/KTV_OutData.h"
#include "model/LinkGroups.h"
#include "panels/output/LinkButtonLogic.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

class FakePage : public ILinkButtonHost {
public:
    bool IsChannelButtonOn(int o) const override { return channel[o]; }
    void SetChannelButton(int o, bool on) override { channel[o] = on; }
    bool IsLinkButtonOn(int o) const override { return link[o]; }
    void MuteGroupForCopy(int s, bool mute) override { calls.push_back("mute " + std::to_string(s) + (mute ? " on" : " off")); }
    void CopyToLinkGroup(int s, int t) override { calls.push_back("copy " + std::to_string(s) + ">" + std::to_string(t)); }
    void SyncGroupSelection(int o, int v) override { calls.push_back("sync " + std::to_string(o) + " " + std::to_string(v)); }
    void RefreshChannel() override { calls.push_back("refresh " + std::to_string(g_nSelOutput.load())); }
    void RedrawGraph() override { calls.push_back("redraw"); }

    std::array<bool, 8> channel{};
    std::array<bool, 8> link{};
    std::vector<std::string> calls;
};

class LinkButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        for (std::size_t i = 0; i < 8; ++i) {
            outs[i] = std::make_unique<CKTV_OutData>();
            g_OutChannelTable[i] = outs[i].get();
        }
    }
    void TearDown() override
    {
        for (auto &p : g_OutChannelTable)
            p = nullptr;
        ResetDeviceImageGlobals();
    }
    // One press as the strip makes it: the button takes the state the machine gives.
    LinkPressResult Press(int c, LinkClick click)
    {
        const LinkPressResult r = CLinkButtonLogic::Press(page, c, page.link[c], click);
        if (r.changed)
            page.link[c] = r.checked;
        return r;
    }
    std::array<int, 8> Values() const
    {
        std::array<int, 8> v{};
        for (std::size_t i = 0; i < 8; ++i)
            v[i] = g_LinkGroups[i].load();
        return v;
    }
    static std::vector<std::string> CopyCalls(int s, int c, int value)
    {
        const std::string S = std::to_string(s);
        return {"mute " + S + " on", "copy " + S + ">" + std::to_string(c), "mute " + S + " off",
                "sync " + S + " " + std::to_string(value), "redraw"};
    }

    FakePage page;
    std::array<std::unique_ptr<CKTV_OutData>, 8> outs;
};

TEST_F(LinkButton, NewGroupThenJoinTheAnchorCopyingItsSettings)
{
    auto r = Press(3, LinkClick::Single);
    EXPECT_TRUE(r.checked);
    EXPECT_EQ(r.linkValue, 1);
    EXPECT_EQ(g_nLinkAnchorChannel.load(), 3);
    EXPECT_EQ(g_bLinkAnchor.load(), 1);
    EXPECT_TRUE(page.calls.empty()) << "a new group copies nothing";
    EXPECT_EQ(g_nSelOutput.load(), 0) << "a single click keeps the selection";

    r = Press(4, LinkClick::Single);
    EXPECT_EQ(r.linkValue, 1);
    EXPECT_EQ(page.calls, CopyCalls(3, 4, 1));
    EXPECT_EQ(Values(), (std::array<int, 8>{0, 0, 0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(g_LinkGroupCount[0].load(), 2);
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0x18);
    EXPECT_EQ(g_bAnyLink.load(), 1);
}

TEST_F(LinkButton, JoinsTheSelectedOutputsGroupBeforeTheAnchor)
{
    Press(3, LinkClick::Single);  // group 1, anchor 3
    Press(6, LinkClick::Single);  // joins the anchor: group 1
    Press(2, LinkClick::Double);  // group 2 anchored on 2, which becomes the selected output
    EXPECT_EQ(g_nSelOutput.load(), 2);
    g_nSelOutput.store(6);        // the user selects output 6 (link button on, group 1)
    page.calls.clear();
    const auto r = Press(7, LinkClick::Single);
    EXPECT_EQ(r.linkValue, 1);
    EXPECT_EQ(page.calls, CopyCalls(6, 7, 1));
}

TEST_F(LinkButton, RightClickLeavesTheGroupAndDoesNothingOnAClearButton)
{
    Press(3, LinkClick::Single);
    Press(4, LinkClick::Single);
    page.channel = {false, true, true, true, true, false, false, true};
    auto r = Press(4, LinkClick::Right);
    EXPECT_TRUE(r.changed);
    EXPECT_FALSE(r.checked);
    EXPECT_EQ(g_LinkGroups[4].load(), 0);
    EXPECT_EQ(g_LinkGroupCount[0].load(), 1);
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0x08);
    EXPECT_FALSE(page.channel[4]) << "a leaving output that is not selected loses its channel button";
    EXPECT_TRUE(page.channel[1]);
    EXPECT_EQ(g_bLinkAnchor.load(), 0);

    outs[5]->SetLimitStamp(0);
    r = Press(5, LinkClick::Right);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(outs[5]->GetLimitChanged(), 0) << "nothing is sent for a right click on a clear button";

    // The selected output leaving clears every other channel button.
    g_nSelOutput.store(3);
    Press(3, LinkClick::Right);
    EXPECT_EQ(page.channel, (std::array<bool, 8>{false, false, false, true, false, false, false, false}));
    EXPECT_EQ(g_LinkGroupUsed[0].load(), 0);
}

TEST_F(LinkButton, SuspendAndRejoinUneditedTakesTheFirstActiveMember)
{
    Press(3, LinkClick::Single);
    Press(4, LinkClick::Single);
    Press(5, LinkClick::Single);  // 3, 4, 5 in group 1
    auto r = Press(3, LinkClick::Single);
    EXPECT_FALSE(r.checked);
    EXPECT_EQ(g_LinkGroups[3].load(), 0);
    EXPECT_EQ(g_LinkSuspend[3].suspended.load(), 1);
    EXPECT_EQ(g_LinkSuspend[3].group.load(), 0);
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0x38) << "a suspended output keeps its place in the mask";
    EXPECT_EQ(g_LinkGroupCount[0].load(), 2);

    page.calls.clear();
    r = Press(3, LinkClick::Single);
    EXPECT_TRUE(r.checked);
    EXPECT_EQ(r.linkValue, 1);
    EXPECT_EQ(page.calls, CopyCalls(4, 3, 1));
    EXPECT_EQ(g_LinkSuspend[3].suspended.load(), 0);
    EXPECT_EQ(g_LinkGroupCount[0].load(), 3);
}

TEST_F(LinkButton, SuspendedAfterAnEditJoinsElsewhere)
{
    Press(3, LinkClick::Single);
    Press(4, LinkClick::Single);
    Press(4, LinkClick::Single);  // suspend 4 (clears the anchor)
    g_ChannelModified[4].store(1);
    const auto r = Press(4, LinkClick::Single);
    EXPECT_EQ(r.linkValue, 2) << "no selected group, no anchor: a new group";
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0x08) << "the old group forgets the output";
    EXPECT_EQ(g_LinkGroupMask[1].load(), 0x10);
}

TEST_F(LinkButton, DoubleClickMovesToANewGroupAndSelectsTheOutput)
{
    Press(3, LinkClick::Single);
    Press(4, LinkClick::Single);
    page.channel = {true, false, false, true, true, false, false, false};
    page.calls.clear();
    const auto r = Press(4, LinkClick::Double);
    EXPECT_TRUE(r.checked);
    EXPECT_EQ(r.linkValue, 2);
    EXPECT_EQ(g_nSelOutput.load(), 4);
    EXPECT_EQ(page.calls, std::vector<std::string>{"refresh 4"});
    EXPECT_EQ(page.channel, (std::array<bool, 8>{false, false, false, false, true, false, false, false}));
    EXPECT_EQ(g_LinkGroupCount[0].load(), 1);
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0x08);
    EXPECT_EQ(g_nLinkAnchorChannel.load(), 4);
}

// A new group and a move to a new group remember the group actually joined, so a later rejoin
// enters that group and copies from one of its members, never from an older group.
TEST_F(LinkButton, RejoinFindsTheGroupJoinedLastNotAnOlderOne)
{
    Press(1, LinkClick::Single);  // group 1: 1
    Press(3, LinkClick::Single);  // group 1: 1, 3
    Press(3, LinkClick::Double);  // 3 moves to group 2 and is the anchor
    Press(5, LinkClick::Single);  // group 2: 3, 5
    Press(3, LinkClick::Single);  // 3 suspended
    page.calls.clear();
    const auto r = Press(3, LinkClick::Single);
    EXPECT_EQ(r.linkValue, 2);
    EXPECT_EQ(page.calls, CopyCalls(5, 3, 2));
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0x02);
    EXPECT_EQ(g_LinkGroupMask[1].load(), 0x28);
}

TEST_F(LinkButton, RejoinWithoutAnActiveMemberFormsANewGroup)
{
    Press(3, LinkClick::Single);
    Press(4, LinkClick::Single);
    Press(4, LinkClick::Single);  // 4 suspended in group 1
    g_LinkGroups[3].store(0x18);  // the link editor rewrote output 3 as a member mask
    page.calls.clear();
    const auto r = Press(4, LinkClick::Single);
    EXPECT_EQ(r.linkValue, 2);
    EXPECT_TRUE(page.calls.empty()) << "nothing to copy from";
    EXPECT_EQ(g_LinkSuspend[4].suspended.load(), 0);
    EXPECT_EQ(g_LinkSuspend[4].group.load(), 1);
}

TEST_F(LinkButton, LastActiveMemberSuspendedReleasesTheGroup)
{
    Press(3, LinkClick::Single);
    Press(4, LinkClick::Single);
    Press(4, LinkClick::Single);  // 4 suspended
    Press(3, LinkClick::Single);  // 3 suspended too: group 1 has no active member
    EXPECT_EQ(g_LinkGroupUsed[0].load(), 0);
    EXPECT_EQ(g_LinkGroupMask[0].load(), 0);
    EXPECT_EQ(g_LinkSuspend[3].suspended.load(), 0);
    EXPECT_EQ(g_LinkSuspend[4].suspended.load(), 0);
    EXPECT_EQ(FindFreeSlot(), 0);
}

TEST_F(LinkButton, EveryChangeWritesTheLinkByteAndMarksTheLimiterItem)
{
    struct Step {
        int output;
        LinkClick click;
        int byte;
    } steps[] = {{2, LinkClick::Single, 1}, {6, LinkClick::Single, 1}, {6, LinkClick::Double, 2},
                 {6, LinkClick::Single, 0}, {2, LinkClick::Right, 0}};
    for (const Step &s : steps) {
        outs[static_cast<std::size_t>(s.output)]->SetLimitStamp(0);
        Press(s.output, s.click);
        const auto item = g_CurImage.Item(OBJ_OUTPUT, s.output, 35);
        EXPECT_EQ(item[6], s.byte) << "output " << s.output;
        EXPECT_EQ(outs[static_cast<std::size_t>(s.output)]->GetLimitChanged(), 1) << "output " << s.output;
    }
}

TEST_F(LinkButton, OutputsOutsideTheStripsChangeNothing)
{
    for (int c : {-1, 8, 1000}) {
        const auto r = CLinkButtonLogic::Press(page, c, false, LinkClick::Single);
        EXPECT_FALSE(r.changed);
    }
    EXPECT_EQ(Values(), (std::array<int, 8>{}));
}

TEST(LinkBadge, GroupNumbersPickTheirBadgeEverythingElseThePlainBitmap)
{
    struct Row {
        int value;
        bool chinese;
        int bitmap;
    } rows[] = {{1, true, 934},  {2, true, 939},   {3, false, 948},    {8, false, 940}, {10, true, 931},
                {0, true, 890},  {0, false, 892},  {11, true, 890},    {0x18, false, 892}, {1023, true, 890},
                {-1, false, 892}};
    for (const Row &r : rows)
        EXPECT_EQ(CLinkButtonLogic::BadgeBitmap(r.value, r.chinese), r.bitmap) << r.value << " " << r.chinese;
}

}  // namespace
