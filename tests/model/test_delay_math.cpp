#include "model/DelayMath.h"

#include "model/DataDefine.h"

#include <gtest/gtest.h>

namespace {

TEST(DelayStep, CentimetreCases)
{
    struct Case {
        int d, step, expected;
    } cases[] = {
        {0, +1, 1},       // 0.72 cm already shows as 1
        {100, +1, 101},
        {100, -1, 99},
        {958, +1, 959},   // 959 still shows 691 cm and the range ends first
        {959, +1, 960},
        {960, +1, 960},
        {0, -1, 0},
        {500, 0, 500},
        // Code 120 is exactly 86.5 cm, which "%0.0f" shows as 86 (the even neighbour), like 119.
        {119, +1, 121},
        {120, -1, 118},
        {121, -1, 120},
        {120, +1, 121},
        // Out-of-range codes are limited first.
        {2000, -1, 959},
        {-7, +1, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepDelayCm(c.d, c.step), c.expected) << c.d << " step " << c.step;
}

TEST(DelayStep, InchCases)
{
    struct Case {
        int d, step, expected;
    } cases[] = {
        {100, +1, 102},  // 29 inches converted back with 346.4 m/s
        {100, -1, 95},   // the loop stops at 96; its 27 inches convert back to 95
        {958, +1, 960},  // the range ends: its end is the result
        {960, +1, 960},
        {0, -1, 0},
        {1, -1, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepDelayInch(c.d, c.step), c.expected) << c.d << " step " << c.step;
}

TEST(DelayStep, CentimetreStepIsTheFirstCodeThatShowsAChange)
{
    for (int d = 0; d <= 960; ++d) {
        for (int step : {+1, -1}) {
            const int r = StepDelayCm(d, step);
            if ((step > 0 && d == 960) || (step < 0 && d == 0)) {
                EXPECT_EQ(r, d);
                continue;
            }
            ASSERT_EQ((r - d) * step > 0, true) << d << " " << step;
            const double start = ShownDistance(DelayCodeToCm(d));
            for (int k = d + step; k != r; k += step) {
                ASSERT_EQ(ShownDistance(DelayCodeToCm(k)), start) << d << " " << step << " at " << k;
            }
            const bool rangeEnded = step > 0 && r == 959;
            if (!rangeEnded) {
                EXPECT_GE(std::abs(ShownDistance(DelayCodeToCm(r)) - start), 1.0) << d << " " << step;
            }
        }
    }
}

TEST(DelayDistance, RoundingAtExactHalvesAndTheEnds)
{
    EXPECT_DOUBLE_EQ(DelayCodeToCm(120), 86.5);
    struct Case {
        int code;
        double cm, inch;
    } cases[] = {
        {119, 86, 34},
        {120, 86, 34},
        {121, 87, 34},
        {480, 346, 136},
        {960, 692, 273},  // 20 ms; the inches at 20 ms use 346.4 m/s
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ShownDistance(DelayCodeToCm(c.code)), c.cm) << c.code;
        EXPECT_EQ(ShownDistance(DelayCodeToInch(c.code)), c.inch) << c.code;
    }
    EXPECT_EQ(DelayCodeToMs(960), 20.0);
    EXPECT_EQ(DelayCodeToMs(5000), 20.0);
    EXPECT_EQ(DelayCodeToMs(-3), 0.0);
}

} // namespace
