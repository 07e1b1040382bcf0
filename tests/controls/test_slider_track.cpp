// The slider's position-to-pixel arithmetic and the wheel accumulator.

#include "controls/SliderTrack.h"

#include <gtest/gtest.h>

namespace {

TEST(SliderTrack, PositionsAndPixels)
{
    const SliderTrack t{100, 0, 0, 10, 0, 240};
    const struct {
        int pos, pixel;
    } toPixel[] = {{0, 5}, {1, 5}, {2, 5}, {120, 50}, {240, 95}};
    for (const auto &c : toPixel)
        EXPECT_EQ(t.PosToPixel(c.pos), c.pixel) << c.pos;
    EXPECT_EQ(t.PixelToPos(6), 2);
    EXPECT_EQ(t.PixelToPos(94), 237);
    EXPECT_EQ(t.ClampPixel(-40), 5);
    EXPECT_EQ(t.ClampPixel(400), 95);
    // Margins shift the track.
    const SliderTrack m{120, 10, 10, 10, 0, 90};
    EXPECT_EQ(m.PosToPixel(0), 15);
    EXPECT_EQ(m.PosToPixel(90), 105);
}

TEST(SliderTrack, TrackNoLongerThanTheThumbOrAnEmptyRangeIsSafe)
{
    for (const SliderTrack t : {SliderTrack{10, 0, 0, 10, 0, 240}, SliderTrack{20, 8, 8, 10, 0, 240},
                                SliderTrack{100, 0, 0, 10, 0, 0}}) {
        EXPECT_EQ(t.PosToPixel(120), t.FirstPixel());
        EXPECT_EQ(t.PixelToPos(50), t.min);
        if (t.Travel() <= 0) {
            EXPECT_EQ(t.ClampPixel(50), t.FirstPixel());
        }
    }
}

TEST(WheelAccumulator, SmallDeltasAddUpToNotches)
{
    WheelAccumulator w;
    EXPECT_EQ(w.Add(40), 0);
    EXPECT_EQ(w.Add(40), 0);
    EXPECT_EQ(w.Add(40), 1);
    EXPECT_EQ(w.Add(360), 3);
    EXPECT_EQ(w.Add(-60), 0);
    EXPECT_EQ(w.Add(-60), -1);
    EXPECT_EQ(w.Add(-130), -1);
    EXPECT_EQ(w.Pending(), -10);
    EXPECT_EQ(w.Add(10), 0);
    EXPECT_EQ(w.Pending(), 0);
}

}  // namespace
