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

// The take and release rule of every code, from all states free and from a busy layout (outputs
// typed 1, 3, 8, 13, 17, 19, 22 and 0). States of codes 0..24, one digit each: 1 blocked, 2 used,
// 3 free.
TEST_F(SpeakerTypeTest, TakeAndReleaseOfEveryCode)
{
    struct Row { int code; const char *afterTake; const char *afterRelease; };
    auto states = [] {
        std::string s;
        for (int k = 0; k < kSpeakerTypeCount; ++k)
            s.push_back(static_cast<char>('0' + g_SpeakerTypeStates.State(k)));
        return s;
    };
    const Row fromFree[] = {
        {0, "2333333333333333333333333", "2333333333333333333333333"},
        {1, "3233131333131333333333333", "3333333333333333333333333"},
        {2, "3323111333111333333333333", "3333333333333333333333333"},
        {3, "3332311333311333333333333", "3333333333333333333333333"},
        {4, "3113211113311333333333333", "3333333333333333333333333"},
        {5, "3311121311131333333333333", "3333333333333333333333333"},
        {6, "3111112111113333333333333", "3333333333333333333333333"},
        {7, "3333131233131333333333333", "3333333333333333333333333"},
        {8, "3333111323111333333333333", "3333333333333333333333333"},
        {9, "3333311332311333333333333", "3333333333333333333333333"},
        {10, "3113311113211333333333333", "3333333333333333333333333"},
        {11, "3311131311121333333333333", "3333333333333333333333333"},
        {12, "3111113111112333333333333", "3333333333333333333333333"},
        {13, "3333333333333231331333333", "3333333333333333333333333"},
        {14, "3333333333333321331333333", "3333333333333333333333333"},
        {15, "3333333333333112113333333", "3333333333333333333333333"},
        {16, "3333333333333331231333333", "3333333333333333333333333"},
        {17, "3333333333333331321333333", "3333333333333333333333333"},
        {18, "3333333333333113112333333", "3333333333333333333333333"},
        {19, "3333333333333333333231333", "3333333333333333333333333"},
        {20, "3333333333333333333321333", "3333333333333333333333333"},
        {21, "3333333333333333333112333", "3333333333333333333333333"},
        {22, "3333333333333333333333231", "3333333333333333333333333"},
        {23, "3333333333333333333333321", "3333333333333333333333333"},
        {24, "3333333333333333333333112", "3333333333333333333333333"},
    };
    for (const Row &r : fromFree) {
        ResetSpeakerTypeStates();
        SetTypes({static_cast<std::uint8_t>(r.code), 0, 0, 0, 0, 0, 0, 0});
        TakeSpeakerType(r.code, 0);
        EXPECT_EQ(states(), r.afterTake) << "take " << r.code;
        ReleaseSpeakerType(r.code, 0);
        EXPECT_EQ(states(), r.afterRelease) << "release " << r.code;
    }

    const Types busy = {1, 3, 8, 13, 17, 19, 22, 0};
    auto busyStates = [&] {
        ResetSpeakerTypeStates();
        SetTypes(busy);
        RecomputeSpeakerTypeStates();
    };
    busyStates();
    EXPECT_EQ(states(), "2232111323111231321231231");
    const Row fromBusy[] = {
        {0, "2232111323111231321231231", "3232111323111231321231231"},
        {1, "2232111323111231321231231", "2332111323111231321231231"},
        {2, "2222111323111231321231231", "2232111323111231321231231"},
        {3, "2232111323111231321231231", "2233111323111231321231231"},
        {4, "2112211123311231321231231", "2332311323311231321231231"},
        {5, "2211121321131231321231231", "2233131323131231321231231"},
        {6, "2111112121113231321231231", "2333333323333231321231231"},
        {7, "2232111223111231321231231", "2232111323111231321231231"},
        {8, "2232111323111231321231231", "2232331333331231321231231"},
        {9, "2232111322111231321231231", "2232111323111231321231231"},
        {10, "2212311113211231321231231", "2232311333311231321231231"},
        {11, "2212131311121231321231231", "2232131333131231321231231"},
        {12, "2212113111112231321231231", "2232333333333231321231231"},
        {13, "2232111323111231321231231", "2232111323111331321231231"},
        {14, "2232111323111221321231231", "2232111323111231321231231"},
        {15, "2232111323111112123231231", "2232111323111333323231231"},
        {16, "2232111323111231221231231", "2232111323111231321231231"},
        {17, "2232111323111231321231231", "2232111323111231331231231"},
        {18, "2232111323111213112231231", "2232111323111233333231231"},
        {19, "2232111323111231321231231", "2232111323111231321333231"},
        {20, "2232111323111231321221231", "2232111323111231321231231"},
        {21, "2232111323111231321112231", "2232111323111231321333231"},
        {22, "2232111323111231321231231", "2232111323111231321231333"},
        {23, "2232111323111231321231221", "2232111323111231321231231"},
        {24, "2232111323111231321231112", "2232111323111231321231333"},
    };
    for (const Row &r : fromBusy) {
        busyStates();
        TakeSpeakerType(r.code, 7);
        EXPECT_EQ(states(), r.afterTake) << "take " << r.code;
        busyStates();
        ReleaseSpeakerType(r.code, 7);
        EXPECT_EQ(states(), r.afterRelease) << "release " << r.code;
    }
}

} // namespace
