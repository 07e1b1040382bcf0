#include "model/SpeakerGroups.h"

#include "model/SpeakerType.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

class SpeakerGroupTest : public ::testing::Test {
protected:
    void SetTypes(std::array<std::uint8_t, 8> t)
    {
        ResetSpeakerTypeStates();
        LoadWorkingSpeakerTypes(t.data());
    }
};

TEST_F(SpeakerGroupTest, FrontLeftPairingModes)
{
    SetTypes({1, 0, 3, 0, 0, 0, 0, 0});
    RebuildSpeakerGroups();
    const FrontSpeakerGroup &fl = g_SpeakerGroups.frontLeft;
    EXPECT_EQ(fl.state, 0);
    EXPECT_EQ(fl.pairingMode, 2);
    const int members[10] = {0, -1, 2, -1, -1, -1, -1, -1, -1, -1};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(fl.members[k], members[k]) << k;

    struct Case {
        std::array<std::uint8_t, 8> types;
        int state, mode;
    } cases[] = {
        {{1, 2, 0, 0, 0, 0, 0, 0}, 0, 1},   // tweeter without woofer
        {{2, 3, 0, 0, 0, 0, 0, 0}, 0, 3},   // no tweeter
        {{1, 3, 2, 0, 0, 0, 0, 0}, 0, 4},   // three members
        {{1, 3, 2, 4, 0, 0, 0, 0}, -1, -1}, // four: unusable
        {{1, 0, 0, 0, 0, 0, 0, 0}, -1, -1}, // one: unusable
        {{6, 6, 0, 0, 0, 0, 0, 0}, -1, -1}, // the full type belongs to no group
    };
    for (const Case &c : cases) {
        SetTypes(c.types);
        RebuildSpeakerGroups();
        EXPECT_EQ(g_SpeakerGroups.frontLeft.state, c.state);
        EXPECT_EQ(g_SpeakerGroups.frontLeft.pairingMode, c.mode);
    }

    // Front right uses its own tweeter and woofer codes.
    SetTypes({0, 0, 0, 0, 7, 9, 0, 0});
    RebuildSpeakerGroups();
    EXPECT_EQ(g_SpeakerGroups.frontRight.state, 0);
    EXPECT_EQ(g_SpeakerGroups.frontRight.pairingMode, 2);
    EXPECT_EQ(g_SpeakerGroups.frontRight.types[0], 7);
    EXPECT_EQ(g_SpeakerGroups.frontRight.types[1], 9);
    EXPECT_EQ(g_SpeakerGroups.frontRight.types[2], -1);
}

TEST_F(SpeakerGroupTest, PlainGroupsNeedTwoOrThreeMembers)
{
    SetTypes({19, 0, 0, 0, 22, 23, 13, 0});
    bool hidden = false;
    RebuildSpeakerGroups([&] { hidden = true; });
    EXPECT_TRUE(hidden);
    EXPECT_EQ(g_SpeakerGroups.centre.state, -1);
    EXPECT_EQ(g_SpeakerGroups.subwoofer.state, 0);
    EXPECT_EQ(g_SpeakerGroups.rearLeft.state, -1);
    EXPECT_EQ(g_SpeakerGroups.rearRight.state, -1);

    SetTypes({19, 20, 0, 0, 0, 0, 0, 0});
    RebuildSpeakerGroups();
    EXPECT_EQ(g_SpeakerGroups.centre.state, 0);
    SpeakerGroupView v = SpeakerGroupOfOutput(1);
    ASSERT_NE(v.state, nullptr);
    EXPECT_EQ(v.state, &g_SpeakerGroups.centre.state);
    EXPECT_EQ(v.members[0], 0);
    EXPECT_EQ(v.members[1], 1);
    EXPECT_EQ(SpeakerGroupOfOutput(2).state, nullptr);  // NULL type
    EXPECT_EQ(SpeakerGroupOfOutput(9).state, nullptr);

    SetTypes({19, 20, 19, 20, 0, 0, 0, 0});  // more than three
    RebuildSpeakerGroups();
    EXPECT_EQ(g_SpeakerGroups.centre.state, -1);
}

} // namespace
