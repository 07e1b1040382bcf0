// The channel sends, copies and equaliser resets over the real record tree: the frames they queue,
// the records they leave, and the output page they tell.
#include "app/ChannelSends.h"

#include "services/PageRegistry.h"
#include "protocol/CommandFrame.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerType.h"
#include "platform/GlobalData.h"
#include "tests/app/SyncTestKit.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct CountingPage : IOutputPage {
    int eq = 0, select = 0;
    void RefreshEQ() override { ++eq; }
    void SelectAssignedChannel() override { ++select; }
};

struct ChannelRig : ::testing::Test {
    CKTVCommand command;
    LinkSession session;
    FakeHost host;
    CDeviceSync sync{command, session, host};
    CKTV_Data doc;
    CPageRegistry pages;
    CChannelSends sends{command, session, sync, doc, pages};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_nLinkMode = LINK_TCP;
        session.connected = 1;
        for (auto &g : g_LinkGroups)
            g = 0;
    }
};

}  // namespace

TEST_F(ChannelRig, ResettingAGroupedOutputResetsTheGroupBetweenMutesThenTellsThePage)
{
    CountingPage page;
    pages.RegisterOutputPage(page);
    g_LinkGroups[2] = g_LinkGroups[5] = g_LinkGroups[6] = 3;
    g_nSelOutput = 2;
    sends.ResetOutputEqLinked();
    const auto q = Drain(command);
    ASSERT_EQ(q.size(), 5u);
    EXPECT_EQ(q[0].channel, SYS_VOLUME);
    EXPECT_EQ((std::vector<int>{q[1].channel, q[2].channel, q[3].channel}), (std::vector<int>{2, 5, 6}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(q[i].type, OBJ_OUTPUT);
    EXPECT_EQ(q[4].channel, SYS_VOLUME);
    EXPECT_EQ(page.eq, 1);

    // A page that withdrew is not called; another page cannot withdraw the registered one.
    CountingPage other;
    pages.WithdrawOutputPage(other);
    EXPECT_EQ(pages.OutputPage(), &page);
    pages.WithdrawOutputPage(page);
    sends.ResetOutputEqLinked();
    EXPECT_EQ(page.eq, 1);
    EXPECT_EQ(pages.OutputPage(), nullptr);
}

TEST_F(ChannelRig, ChannelBlockTravelsBetweenSwitchedOffStateItems)
{
    doc.GetOut(4)->SetOn(1);
    sends.SendOutputChannel(4);
    const auto q = Drain(command);
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0].param, 31);
    EXPECT_EQ(q[1].payload.size(), 296u);
    EXPECT_EQ(q[2].param, 31);
    EXPECT_NE(q[0].payload, q[2].payload) << "the switch is off in the first state item only";
    EXPECT_EQ(doc.GetOut(4)->GetOn(), 1);
    EXPECT_EQ(doc.GetOut(4)->GetBasicChanged(), 0);

    session.connected = 0;
    sends.SendOutputChannel(4);
    EXPECT_EQ(command.GetCount(), 0);
}

TEST_F(ChannelRig, CopyToATweeterKeepsItsHighPass)
{
    CrossoverRecord x = doc.GetOut(0)->GetCrossoverBlock();
    x.highFreq = 10;
    x.highSlope = 8;
    x.lowFreq = 15;
    const auto bytes = x.ToBytes();
    doc.GetOut(0)->LoadCrossover(bytes.data());
    doc.GetOut(1)->LoadCrossover(bytes.data());
    SetWorkingSpeakerType(1, 7);
    sends.CopyOutputChannelLimited(0, 1);
    EXPECT_EQ(doc.GetOut(1)->GetHpf()->GetFreq(), 20);
    EXPECT_EQ(doc.GetOut(1)->GetHpf()->GetSlope(), 7);
    EXPECT_GE(doc.GetOut(1)->GetLpf()->GetFreq(), doc.GetOut(1)->GetHpf()->GetFreq());
    const auto q = Drain(command);
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[1].channel, 1);
    SetWorkingSpeakerType(1, 0);
}

TEST_F(ChannelRig, OutputsSilencedForACopyEndAsTheirRecordsSay)
{
    // Offline nothing is silenced and nothing is queued.
    doc.GetOut(1)->SetOn(1);
    doc.GetOut(3)->SetOn(0);
    g_bDeviceOnline = 0;
    sends.MuteOutputsForCopy(0b1010, true);
    EXPECT_EQ(command.GetCount(), 0);
    EXPECT_EQ(doc.GetOut(1)->GetOn(), 1);

    g_bDeviceOnline = 1;
    sends.MuteOutputsForCopy(0b1010, true);
    sends.MuteOutputsForCopy(0b1010, true);  // a second silence keeps what the first remembered
    auto q = Drain(command);
    ASSERT_EQ(q.size(), 4u);
    for (const Q &f : q)
        EXPECT_EQ(f.param, 31);
    EXPECT_EQ((std::vector<int>{q[0].channel, q[1].channel}), (std::vector<int>{1, 3}));
    EXPECT_EQ(doc.GetOut(1)->GetOn(), 0);
    EXPECT_EQ(doc.GetOut(3)->GetOn(), 0);

    // The whole-channel copy carries output 1's own on state, not its silence; output 3 stays
    // silent until the copy is over.
    sends.CopyOutputChannelEq(1, 3);
    EXPECT_EQ(doc.GetOut(3)->GetOn(), 0);
    q = Drain(command);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].channel, 3);

    sends.MuteOutputsForCopy(0b1010, false);
    q = Drain(command);
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(doc.GetOut(1)->GetOn(), 1);
    EXPECT_EQ(doc.GetOut(3)->GetOn(), 1) << "the joined output sounds as the output it copied";
    EXPECT_EQ(doc.GetOut(1)->GetBasicChanged(), 0);
}
