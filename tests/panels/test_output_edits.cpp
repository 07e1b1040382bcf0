// The output page's edits over the real record tree: what an edit changes on the selected output
// and on the outputs that follow it, the all-bypass question, the strips' partner rule, the delay
// lock and the silenced copies, with a recording channel-send service.
#include "panels/output/OutputEdits.h"

#include "services/Services.h"
#include "model/DataDefine.h"
#include "model/DelayMath.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerGroups.h"
#include "model/SpeakerType.h"
#include "tests/support/ServiceDoubles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace outedit;

namespace {

using RecordingSends = CRecordingChannelSends;

struct RecordingSync : CQuietDeviceSync {
    int block5 = -1;
    void SetPendingBlock5(int flag) override { block5 = flag; }
};

struct Edits : ::testing::Test {
    std::unique_ptr<CKTV_Data> tree;
    RecordingSends sends;
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        tree = std::make_unique<CKTV_Data>();
    }
    void TearDown() override
    {
        tree.reset();
        ResetDeviceImageGlobals();
    }
    CKTV_OutData &Out(int c) { return *tree->GetOut(c); }
    CFilter &BandOf(int c, int b) { return *Out(c).GetBand(b); }
    static void Links(const std::array<int, 8> &values)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            g_LinkGroups[i] = values[i];
    }
};

}  // namespace

TEST_F(Edits, ABandEditReachesTheLinkGroupOnlyWhenTheValueIsNew)
{
    Links({0, 4, 0, 4, 0, 4, 0, 0});
    g_bDeviceOnline = 1;
    struct Case {
        const char *what;
        std::function<bool()> edit;
        std::function<int(CFilter &)> read;
        int expected;
    };
    const Case cases[] = {
        {"frequency", [] { return EditBandFreq(3, 7, 1234); }, [](CFilter &f) { return f.GetFreq(); }, 1234},
        {"Q", [] { return EditBandQ(3, 7, 120); }, [](CFilter &f) { return f.GetBandwidthIndex(); }, 120},
        {"gain", [] { return EditBandGain(3, 7, 260); }, [](CFilter &f) { return f.GetGainCode(); }, 260},
    };
    for (const Case &c : cases) {
        for (int i = 0; i < 8; ++i)
            BandOf(i, 7).StepSendFreq(0);
        EXPECT_TRUE(c.edit()) << c.what;
        for (int i : {1, 3, 5})
            EXPECT_EQ(c.read(BandOf(i, 7)), c.expected) << c.what << " output " << i;
        for (int i : {0, 2, 4, 6, 7})
            EXPECT_NE(c.read(BandOf(i, 7)), c.expected) << c.what << " output " << i;
        EXPECT_FALSE(c.edit()) << c.what << ": the same value again changes nothing";
    }
    // Bands and outputs that do not exist are refused.
    EXPECT_FALSE(EditBandGain(3, 31, 250));
    EXPECT_FALSE(EditBandGain(8, 0, 250));
    EXPECT_FALSE(EditBandGain(-1, 0, 250));
}

TEST_F(Edits, BypassPassesTheBandsResultingStateOn)
{
    Links({2, 2, 0, 0, 0, 0, 0, 0});
    // A band at exactly 0 dB stays neutral when un-bypassed.
    EXPECT_EQ(EditBandBypass(0, 4, 0), 1);
    BandOf(0, 4).SetGainCode(240);
    BandOf(1, 4).SetGainCode(150);
    EXPECT_EQ(EditBandBypass(0, 4, 1), 1);
    EXPECT_EQ(BandOf(1, 4).IsNeutral(), 1);
    EXPECT_EQ(EditBandBypass(0, 4, 0), 0);
    EXPECT_EQ(BandOf(0, 4).GetGainCode(), 240) << "the stored gain comes back";
    EXPECT_EQ(BandOf(1, 4).GetGainCode(), 150) << "so does the follower's own";
    EXPECT_EQ(EditBandBypass(0, 40, 1), -1);
}

TEST_F(Edits, TheGraphsReportCopiesTheWholeBandAndABypassedBandsStoredGain)
{
    Links({0, 0, 6, 0, 0, 0, 6, 0});
    BandOf(6, 3).SetFreq(500, 1);
    BandOf(6, 3).SetBandwidthIndex(40);
    BandOf(6, 3).SetGainCode(170);
    BandOf(2, 3).SetFreq(800, 1);
    BandOf(2, 3).SetBandwidthIndex(90);
    BandOf(2, 3).SetGainCode(230);
    const int unlinked = BandOf(1, 3).GetFreq();

    // A drag of one value or a bare release alike: the follower takes all three.
    EXPECT_TRUE(CopyBandToFollowers(2, 3));
    EXPECT_EQ(BandOf(6, 3).GetFreq(), 800);
    EXPECT_EQ(BandOf(6, 3).GetBandwidthIndex(), 90);
    EXPECT_EQ(BandOf(6, 3).GetGainCode(), 230);
    EXPECT_EQ(BandOf(1, 3).GetFreq(), unlinked);

    // Bypassed bands report 0 dB; the group still gets its gain back when they come back.
    ASSERT_EQ(EditBandBypass(2, 3, 1), 1);
    EXPECT_TRUE(CopyBandToFollowers(2, 3));
    EXPECT_EQ(BandOf(6, 3).IsNeutral(), 1);
    EXPECT_EQ(EditBandBypass(2, 3, 0), 0);
    EXPECT_EQ(BandOf(6, 3).GetGainCode(), 230);
    Out(2).SetEqBypass(1);
    Out(6).SetEqBypass(1);
    EXPECT_TRUE(CopyBandToFollowers(2, 3));
    Out(2).SetEqBypass(0);
    Out(6).SetEqBypass(0);
    EXPECT_EQ(BandOf(6, 3).GetGainCode(), 230);

    // A band at 0 dB passes 0 dB on.
    BandOf(2, 3).SetGainCode(200);
    EXPECT_TRUE(CopyBandToFollowers(2, 3));
    EXPECT_EQ(BandOf(6, 3).GetGainCode(), 200);
    EXPECT_FALSE(CopyBandToFollowers(2, 31)) << "the crossovers have their own report";
}

TEST_F(Edits, AllBypassAsksBeforeItChangesAnything)
{
    Out(2).GetBand(0)->SetGainCode(260);
    Out(2).GetBand(5)->SetGainCode(120);
    Out(2).GetBand(5)->SetZero(1);  // bypassed by its own button

    // Pressing the unchecked button plans a bypass of every band; the record is untouched.
    AllBypassPlan plan = PlanAllBypass(2, false);
    EXPECT_EQ(plan.state, 1);
    EXPECT_EQ(plan.flat, 1);
    EXPECT_TRUE(plan.ask);
    EXPECT_EQ(Out(2).GetBand(0)->IsNeutral(), 0) << "nothing changes before the answer";

    // Yes: bypassed; pressing the checked button then plans a restore.
    ApplyAllBypass(sends, 2, plan);
    EXPECT_EQ(Out(2).GetBand(0)->IsNeutral(), 1);
    plan = PlanAllBypass(2, true);
    EXPECT_EQ(plan.state, 0);
    EXPECT_EQ(plan.flat, 0);
    ASSERT_TRUE(plan.ask);
    ApplyAllBypass(sends, 2, plan);
    EXPECT_EQ(Out(2).GetBand(0)->GetGainCode(), 260);
    EXPECT_EQ(Out(2).GetBand(5)->IsNeutral(), 1) << "the band bypassed on its own stays so";

    // An equaliser whose bands are all neutral cannot be restored: no question.
    ApplyAllBypass(sends, 4, PlanAllBypass(4, false));
    plan = PlanAllBypass(4, true);
    EXPECT_FALSE(plan.ask);
}

TEST_F(Edits, AllBypassSendsTheSelectedOutputThenItsGroupAndPartner)
{
    Links({0, 0, 5, 0, 5, 0, 0, 0});
    g_BtlPair[4] = g_BtlPair[5] = 1;
    g_BtlPair[2] = g_BtlPair[3] = 1;
    ApplyAllBypass(sends, 2, PlanAllBypass(2, false));
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"state 2", "channel 2", "linked 2", "linked 5", "linked 4",
                                                     "linked 3"}));
    for (int c : {3, 4, 5})
        EXPECT_EQ(Out(c).GetBand(0)->IsNeutral(), 1) << c;
    EXPECT_EQ(Out(6).GetBand(0)->GetBypass(), 0);

    // Unlinked and unpaired: the output alone.
    sends.calls.clear();
    ApplyAllBypass(sends, 7, PlanAllBypass(7, false));
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"state 7", "channel 7"}));
}

TEST_F(Edits, StripEditsFollowOnlyAnEvenFirstMembersPartner)
{
    g_BtlPair[2] = g_BtlPair[3] = 1;
    struct Case {
        int c;
        int partner;
    };
    for (const Case k : {Case{2, 3}, Case{3, -1}, Case{5, -1}}) {
        EXPECT_EQ(EditStripMute(k.c, 0), k.partner) << k.c;
        EXPECT_EQ(EditStripPhase(k.c, 1), k.partner) << k.c;
        EXPECT_EQ(EditStripDelay(k.c, 480), k.partner) << k.c;
    }
    EXPECT_EQ(Out(3).GetOn(), 0);
    EXPECT_EQ(Out(3).GetPolarity(), 1);
    EXPECT_EQ(Out(3).GetDelay(), 480);
    EXPECT_EQ(Out(4).GetOn(), 1) << "output 3's edit does not reach output 4";
    EXPECT_EQ(Out(4).GetDelay(), 0);
    EXPECT_EQ(EditStripMute(8, 0), -1);
    EXPECT_EQ(EditStripDelay(1, 5000), -1);
    EXPECT_EQ(Out(1).GetDelay(), 960) << "a delay from a message is limited to its range";
}

TEST_F(Edits, AStripGainUnmutesAndReachesTheLinkGroupThroughTheRecord)
{
    Links({0, 3, 3, 0, 0, 0, 0, 0});
    Out(1).SetOn(0);
    EXPECT_TRUE(EditStripGain(1, 420));
    EXPECT_EQ(Out(1).GetOn(), 1);
    EXPECT_EQ(Out(2).GetGain(), 420);
    Out(1).SetOn(0);
    EXPECT_FALSE(EditStripGain(1, 420));
    EXPECT_EQ(Out(1).GetOn(), 0) << "an unchanged gain changes nothing";
}

TEST_F(Edits, MasterVolumeTakesTheMessagesValueAndUnmutes)
{
    RecordingSync sync;
    g_bMasterOn = 0;
    EXPECT_TRUE(EditMasterVolume(sync, 40));
    EXPECT_EQ(static_cast<int>(g_nMasterVolume), 40);
    EXPECT_EQ(g_bMasterOn.load(), 1);
    EXPECT_EQ(sync.block5, 1);
    sync.block5 = -1;
    EXPECT_FALSE(EditMasterVolume(sync, 40));
    EXPECT_EQ(sync.block5, -1);
    EXPECT_TRUE(EditMasterVolume(sync, 500));
    EXPECT_EQ(static_cast<int>(g_nMasterVolume), 66);
}

TEST_F(Edits, TheDelayLockStepsTheOtherMembersOfALockedGroup)
{
    for (int c : {0, 1, 2})
        SetWorkingSpeakerType(c, c + 1);  // front left tweeter, midrange, woofer
    RebuildSpeakerGroups();
    Out(1).SetDelay(959);
    Out(2).SetDelay(100);
    StepLockedGroup(0, 2, kDelaySpinMs);
    EXPECT_EQ(Out(1).GetDelay(), 959) << "the lock is off";
    *SpeakerGroupOfOutput(0).state = 1;
    StepLockedGroup(0, 2, kDelaySpinMs);
    EXPECT_EQ(Out(0).GetDelay(), 0) << "the selected output steps by its own handler";
    EXPECT_EQ(Out(1).GetDelay(), 960);
    EXPECT_EQ(Out(2).GetDelay(), 102);
    StepLockedGroup(0, 1, kDelaySpinCm);
    EXPECT_EQ(Out(2).GetDelay(), StepDelayCm(102, 1));
    StepLockedGroup(0, 1, 4999);
    EXPECT_EQ(Out(2).GetDelay(), StepDelayCm(102, 1)) << "another spin changes nothing";
    for (int c : {0, 1, 2})
        SetWorkingSpeakerType(c, 0);
    RebuildSpeakerGroups();
}

TEST_F(Edits, AJoinCopySilencesEveryOutputItReaches)
{
    // Output 1 joins output 4's group, which holds output 6 and the pair 2, 3.
    Links({0, 2, 2, 0, 2, 0, 2, 0});
    g_BtlPair[2] = g_BtlPair[3] = 1;
    CopyToLinkGroupMuted(sends, 4);
    const unsigned mask = 0b1001110 | (1u << 4);
    EXPECT_EQ(sends.calls,
              (std::vector<std::string>{"mute " + std::to_string(mask), "copy-all 4,1", "copy-all 4,2",
                                        "copy-all 2,3", "copy-all 4,6", "unmute " + std::to_string(mask)}));
    EXPECT_EQ(g_bAnyLink.load(), 1);

    // An unlinked output designates no group: nothing is silenced or copied.
    sends.calls.clear();
    CopyToLinkGroupMuted(sends, 0);
    EXPECT_TRUE(sends.calls.empty());
}

TEST_F(Edits, PairingLeavesTheGroupsAndCopiesTheEqualiserSilently)
{
    JoinNewLinkGroup(2, false);
    JoinLinkGroup(5, LinkValueOf(2));
    JoinLinkGroup(3, LinkValueOf(2));
    g_nSelOutput = 3;
    ASSERT_TRUE(PairOutputs(sends, 2));
    EXPECT_EQ(g_nSelOutput.load(), 2);
    EXPECT_EQ(LinkValueOf(2), 0);
    EXPECT_EQ(LinkValueOf(3), 0);
    EXPECT_EQ(LinkValueOf(5), 1);
    EXPECT_EQ(g_LinkGroupCount[0].load(), 1);
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"mute 12", "copy-eq 2,3", "unmute 12"}));
    EXPECT_EQ(Out(2).GetLimitChanged(), 1);

    EXPECT_FALSE(PairOutputs(sends, 3));
    EXPECT_FALSE(PairOutputs(sends, 8)) << "the fifth pair names outputs the page does not have";
    EXPECT_TRUE(UnpairOutputs(2));
    EXPECT_EQ(g_BtlPair[3].load(), 0);
    EXPECT_FALSE(UnpairOutputs(8));
}
