// The spin's stepping rules: ratio steps, grid snapping and delay steps in the shown unit.

#include "controls/NumSpinStep.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(NumSpinStep, RatioSteps)
{
    const struct {
        int a, delta, b;
    } cases[] = {{10, 1, 11}, {11, 1, 16}, {16, -1, 11}, {11, -1, 6}, {1, -1, 1}, {191, 1, 191}, {5, 0, 5}};
    for (const auto &c : cases)
        EXPECT_EQ(std::clamp(numspin::ArrowTarget(numspin::kModeRatio, c.a, c.delta), 1, 191), c.b)
            << c.a << " by " << c.delta;
    EXPECT_EQ(numspin::ArrowTarget(8, 11, 1), 12);
}

TEST(NumSpinStep, GridSnapMovesToTheEntryBeyondTheNearest)
{
    EXPECT_EQ(numspin::SnapToFreqGrid(1000, 1001, 20, 20000), 1030);
    EXPECT_EQ(numspin::SnapToFreqGrid(1000, 999, 20, 20000), 972);
    EXPECT_EQ(numspin::SnapToFreqGrid(19585, 19586, 20, 20000), 20000);
    EXPECT_EQ(numspin::SnapToFreqGrid(20000, 20000, 20, 20000), std::nullopt);  // held at the top
    EXPECT_EQ(numspin::SnapToFreqGrid(21, 20, 20, 20000), 20);                   // raised to min
    EXPECT_EQ(numspin::SnapToFreqGrid(100, 101, 20, 104), 104);                  // lowered to max
}

TEST(NumSpinStep, DelayStepsFollowTheShownUnit)
{
    EXPECT_EQ(numspin::DelayStep(0, 100, 101, 1), 101);
    EXPECT_EQ(numspin::DelayStep(1, 100, 101, 1), 101);
    EXPECT_EQ(numspin::DelayStep(2, 100, 101, 1), 102);
    EXPECT_EQ(numspin::DelayStep(2, 100, 99, -1), 95);
    EXPECT_EQ(numspin::DelayStep(4, 100, 101, 1), std::nullopt);
}

}  // namespace
