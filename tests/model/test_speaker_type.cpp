#include "model/SpeakerType.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Types = std::array<std::uint8_t, 8>;

void SetTypes(const Types &t)
{
    LoadWorkingSpeakerTypes(t.data());
}

Types GetTypes()
{
    Types t{};
    StoreWorkingSpeakerTypes(t.data());
    return t;
}

// States of codes from..to as a vector, for compact comparisons.
std::vector<int> States(int from, int to)
{
    std::vector<int> v;
    for (int k = from; k <= to; ++k)
        v.push_back(g_SpeakerTypeStates.State(k));
    return v;
}

class SpeakerTypeTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSpeakerTypeStates(); }
};

TEST_F(SpeakerTypeTest, ResetMakesEveryByteFreeIncludingTheWorkingTypes)
{
    g_SpeakerTypeStates.bytes.fill(0);
    ResetSpeakerTypeStates();
    for (std::uint8_t b : g_SpeakerTypeStates.bytes)
        EXPECT_EQ(b, 3);
    EXPECT_EQ(GetWorkingSpeakerType(0), SPK_FL_WOOFER);
    EXPECT_STREQ(SpeakerTypeName(GetWorkingSpeakerType(7), false), "FL-Woofer");
}

TEST_F(SpeakerTypeTest, NamesInBothLanguages)
{
    struct Case {
        int code;
        const char *en;
        const char *cn;
    } cases[] = {
        {0, "NULL", "空"},
        {4, "FL-M && T", "前置左中高频"},
        {11, "FR-M && WF", "前置右中低频"},
        {18, "RR-Full", "后置右全频"},
        {24, "Subwoofer", "超低频"},
        {25, "", ""},
        {-1, "", ""},
    };
    for (const Case &c : cases) {
        EXPECT_STREQ(SpeakerTypeName(c.code, false), c.en) << c.code;
        EXPECT_STREQ(SpeakerTypeName(c.code, true), c.cn) << c.code;
    }
}

TEST_F(SpeakerTypeTest, RemoveDuplicatesKeepsTheFirstHolder)
{
    SetTypes({3, 3, 0, 3, 7, 7, 0, 0});
    EXPECT_TRUE(RemoveDuplicateSpeakerTypes());
    EXPECT_EQ(GetTypes(), (Types{3, 0, 0, 0, 7, 0, 0, 0}));

    SetTypes({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(RemoveDuplicateSpeakerTypes());
    EXPECT_FALSE(AnyOutputTyped());

    SetTypes({0, 0, 0, 0, 0, 0, 0, 24});
    EXPECT_FALSE(RemoveDuplicateSpeakerTypes());
    EXPECT_TRUE(AnyOutputTyped());
}

TEST_F(SpeakerTypeTest, RecomputeFrontTweeterThenWoofer)
{
    SetTypes({1, 0, 0, 0, 0, 0, 0, 0});
    // Only output 1: take code 1 and watch the mirror.
    TakeSpeakerType(1, 0);
    EXPECT_EQ(States(1, 6), (std::vector<int>{2, 3, 3, 1, 3, 1}));
    EXPECT_EQ(States(7, 12), (std::vector<int>{3, 3, 3, 1, 3, 1}));

    TakeSpeakerType(3, 1);
    EXPECT_EQ(States(1, 6), (std::vector<int>{2, 3, 2, 1, 1, 1}));
    EXPECT_EQ(States(7, 12), (std::vector<int>{3, 3, 3, 1, 1, 1}));

    // The same through the full recompute of the working types.
    ResetSpeakerTypeStates();
    SetTypes({1, 3, 0, 0, 0, 0, 0, 0});
    RecomputeSpeakerTypeStates();
    EXPECT_EQ(States(1, 12), (std::vector<int>{2, 3, 2, 1, 1, 1, 3, 3, 3, 1, 1, 1}));
    EXPECT_EQ(g_SpeakerTypeStates.State(0), 2);  // outputs 3..8 hold NULL
}

TEST_F(SpeakerTypeTest, FrontRightFullLeavesOnlyTheLeftFull)
{
    TakeSpeakerType(12, 0);
    EXPECT_EQ(States(7, 12), (std::vector<int>{1, 1, 1, 1, 1, 2}));
    EXPECT_EQ(States(1, 6), (std::vector<int>{1, 1, 1, 1, 1, 3}));
}

TEST_F(SpeakerTypeTest, TakeThenReleaseRestoresFreeStates)
{
    // Each single code taken and released again leaves every state free (except the spares,
    // which nothing touches).
    for (int code = 1; code <= 24; ++code) {
        ResetSpeakerTypeStates();
        SetTypes({static_cast<std::uint8_t>(code), 0, 0, 0, 0, 0, 0, 0});
        TakeSpeakerType(code, 0);
        EXPECT_EQ(g_SpeakerTypeStates.State(code), 2) << code;
        ReleaseSpeakerType(code, 0);
        for (int k = 1; k <= 24; ++k)
            EXPECT_EQ(g_SpeakerTypeStates.State(k), 3) << "code " << code << " state " << k;
    }
}

TEST_F(SpeakerTypeTest, ReleaseKeepsWhatTheOtherSideStillBlocks)
{
    // Both front fulls used: releasing the left one keeps its parts blocked.
    TakeSpeakerType(6, 0);
    TakeSpeakerType(12, 1);
    ReleaseSpeakerType(6, 0);
    EXPECT_EQ(States(1, 6), (std::vector<int>{1, 1, 1, 1, 1, 3}));
    EXPECT_EQ(States(7, 12), (std::vector<int>{1, 1, 1, 1, 1, 2}));

    // Centre tweeter and woofer used: releasing the tweeter keeps the full blocked.
    ResetSpeakerTypeStates();
    TakeSpeakerType(19, 0);
    TakeSpeakerType(20, 1);
    EXPECT_EQ(States(19, 21), (std::vector<int>{2, 2, 1}));
    ReleaseSpeakerType(19, 0);
    EXPECT_EQ(States(19, 21), (std::vector<int>{3, 2, 1}));

    // Rear: the right tweeter used keeps the left full blocked after the left tweeter goes.
    ResetSpeakerTypeStates();
    TakeSpeakerType(13, 0);
    TakeSpeakerType(16, 1);
    ReleaseSpeakerType(13, 0);
    EXPECT_EQ(States(13, 18), (std::vector<int>{3, 3, 1, 2, 3, 1}));
}

TEST_F(SpeakerTypeTest, NullReleaseLooksAtTheOtherOutputs)
{
    SetTypes({0, 1, 2, 3, 4, 5, 7, 8});
    ReleaseSpeakerType(0, 0);
    EXPECT_EQ(g_SpeakerTypeStates.State(0), 3);
    SetTypes({0, 1, 2, 3, 0, 5, 7, 8});
    ReleaseSpeakerType(0, 0);
    EXPECT_EQ(g_SpeakerTypeStates.State(0), 2);
}

TEST_F(SpeakerTypeTest, CodesAbove24AreIgnored)
{
    const auto before = g_SpeakerTypeStates.bytes;
    TakeSpeakerType(25, 0);
    ReleaseSpeakerType(200, 0);
    EXPECT_EQ(g_SpeakerTypeStates.bytes, before);

    SetTypes({99, 1, 0, 0, 0, 0, 0, 0});
    RecomputeSpeakerTypeStates();
    EXPECT_EQ(g_SpeakerTypeStates.State(1), 2);
    EXPECT_EQ(GetOutputSide(0), -1);
    EXPECT_FALSE(FindSpeakerPairs());
}

TEST_F(SpeakerTypeTest, SidesAndComponentSets)
{
    SetTypes({1, 7, 15, 18, 21, 22, 23, 24});
    const int sides[] = {0, 1, 0, 1, -1, 0, 1, -1};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(GetOutputSide(i), sides[i]) << i;
    EXPECT_EQ(GetOutputSide(8), -1);

    SetTypes({1, 5, 6, 19, 20, 13, 14, 11});
    EXPECT_TRUE(IsSameComponentSet(0, 1));
    EXPECT_FALSE(IsSameComponentSet(0, 2));  // the full type is no part
    EXPECT_FALSE(IsSameComponentSet(2, 0));
    EXPECT_TRUE(IsSameComponentSet(3, 4));
    EXPECT_TRUE(IsSameComponentSet(5, 6));
    EXPECT_FALSE(IsSameComponentSet(0, 7));
    EXPECT_FALSE(IsSameComponentSet(0, 9));
}

TEST_F(SpeakerTypeTest, PairSearch)
{
    // Output 0 right tweeter pairs with output 3 left tweeter; rear fulls pair; centre and the
    // plain subwoofer never pair.
    SetTypes({7, 19, 24, 1, 15, 18, 21, 0});
    EXPECT_TRUE(FindSpeakerPairs());
    EXPECT_TRUE(AnySpeakerPair());
    EXPECT_EQ(g_SpeakerPairs[0].first, 0);
    EXPECT_EQ(g_SpeakerPairs[0].second, 3);
    EXPECT_EQ(g_SpeakerPairs[1].first, 4);
    EXPECT_EQ(g_SpeakerPairs[1].second, 5);
    EXPECT_EQ(g_SpeakerPairs[2].used, 0);

    EXPECT_TRUE(FindOrderedSpeakerPairs());
    EXPECT_EQ(g_SpeakerPairsOrdered[0].first, 3);  // left first
    EXPECT_EQ(g_SpeakerPairsOrdered[0].second, 0);
    EXPECT_EQ(g_SpeakerPairsOrdered[1].first, 4);

    // Nothing pairable clears both tables' used flags.
    SetTypes({19, 20, 21, 24, 0, 0, 0, 0});
    EXPECT_FALSE(FindSpeakerPairs());
    EXPECT_FALSE(FindOrderedSpeakerPairs());
    EXPECT_FALSE(AnySpeakerPair());
    EXPECT_FALSE(AnyOrderedSpeakerPair());
}

TEST_F(SpeakerTypeTest, AtMostFourPairsAreStored)
{
    SetTypes({1, 7, 2, 8, 22, 23, 13, 16});
    EXPECT_TRUE(FindSpeakerPairs());
    for (const SpeakerPair &p : g_SpeakerPairs) {
        EXPECT_EQ(p.used, 1);
        EXPECT_EQ(p.second, p.first + 1);
    }
}

} // namespace
