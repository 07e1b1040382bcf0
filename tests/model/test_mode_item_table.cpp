#include "model/ModeItemTable.h"

#include <gtest/gtest.h>

namespace {

class ModeItemTableTest : public ::testing::Test {
protected:
    ModeItemTable t;
    void SetUp() override { t.Init(); }
};

TEST_F(ModeItemTableTest, InitStartsAtOffWithFirstRowOfGroupZero)
{
    EXPECT_EQ(t.mainSource, kModeSourceOff);
    const int expected[kModeSourceCount] = {0, 1, 1, 1, 1, 1, 1};
    for (int s = 0; s < kModeSourceCount; ++s)
        EXPECT_EQ(t.currentRow[s], expected[s]) << "source " << s;
    // OFF is allowed in every row of every group.
    for (auto &row : t.group0) EXPECT_EQ(row[6], 1);
    for (auto &row : t.group1) EXPECT_EQ(row[6], 1);
    for (auto &row : t.group2) EXPECT_EQ(row[6], 1);
}

struct SelectCase {
    int source, input, group;
    int result, sourceAfter;
};

TEST_F(ModeItemTableTest, SelectChecksTheMainSourceAgainstTheRow)
{
    const SelectCase cases[] = {
        {0, 0, 0, 0, 6},  // source 0 not allowed for input 0: falls back to OFF
        {0, 1, 0, 1, 0},  // allowed for input 1: kept
        {5, 0, 1, 0, 6},  // column 5 of group 1 is all 0
        {5, 4, 1, 0, 6},
        {0, 4, 2, 0, 6},  // input 4 does not exist in group 2: the current row (group 0 row 0) decides
        {3, 4, 2, 1, 3},
        {6, 3, 2, 1, 6},  // OFF never changes
        {4, 3, 2, 0, 6},
        {2, 0, 3, 1, 2},  // unknown group: the current row stays (group 0 row 0 allows 2)
        {9, 1, 0, 0, 6},  // an out-of-range source falls back to OFF
        {-1, 1, 0, 0, 6},
    };
    for (const auto &c : cases) {
        t.Init();
        t.mainSource = c.source;
        EXPECT_EQ(t.Select(c.input, c.group), c.result)
            << "source " << c.source << " input " << c.input << " group " << c.group;
        EXPECT_EQ(t.mainSource, c.sourceAfter);
    }
}

TEST_F(ModeItemTableTest, SelectOfAMissingInputKeepsThePreviousRow)
{
    t.Select(1, 1);  // group 1 row 1: 1 0 1 0 0 0 1
    t.mainSource = 0;
    EXPECT_EQ(t.Select(5, 1), 1);  // group 1 has five inputs: row of (1, 1) still current
    EXPECT_EQ(t.currentRow[1], 0);
    EXPECT_EQ(t.currentRow[2], 1);
    t.mainSource = 1;
    EXPECT_EQ(t.Select(5, 1), 0);
}

}  // namespace
