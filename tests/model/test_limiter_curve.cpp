// The limiter curve's geometry and its knee drag, on a client whose plot is 420 x 420 pixels (one
// pixel per threshold step) and on the dynamics dialog's small one.

#include "model/LimiterCurve.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace limcurve;

namespace {
// Plot (20, 5) .. (440, 425): one pixel per step on both axes.
const Layout kUnit = ComputeLayout(CRect{0, 0, 450, 440});
// The dynamics dialog's curve, 100 x 157: plot 70 x 137.
const Layout kSmall = ComputeLayout(CRect{0, 0, 100, 157});
}  // namespace

TEST(LimiterCurveLayout, PlotScalesAndFixedPoints)
{
    EXPECT_EQ(kUnit.plot, (CRect{20, 5, 440, 425}));
    EXPECT_DOUBLE_EQ(kUnit.vs, 1.0);
    EXPECT_DOUBLE_EQ(kUnit.hs, 1.0);
    EXPECT_EQ(kUnit.start, (PointF{20, 423}));  // 2 px above the bottom-left corner
    EXPECT_EQ(kUnit.refEnd, (PointF{440, 5}));

    EXPECT_EQ(kSmall.plot, (CRect{20, 5, 90, 142}));
    EXPECT_DOUBLE_EQ(kSmall.vs, 137.0 / 420);
    EXPECT_DOUBLE_EQ(kSmall.hs, 70.0 / 420);

    // A window smaller than the insets has an empty plot and no threshold under the pointer.
    const Layout tiny = ComputeLayout(CRect{0, 0, 25, 12});
    EXPECT_TRUE(tiny.plot.IsRectEmpty());
    EXPECT_GE(tiny.plot.Width(), 0);
    EXPECT_GE(tiny.plot.Height(), 0);
    EXPECT_EQ(ThresholdAtY(tiny, 3), std::nullopt);
}

TEST(LimiterCurveLayout, KneeEndAndHitAreaByThreshold)
{
    struct Case {
        int threshold;
        PointF knee;
        CRect rect;
    };
    const Case cases[] = {
        // -30 dB: the bottom-left corner; the line runs 2 px down from S, then along the bottom.
        {0, {20, 425}, {17, 422, 23, 428}},
        // 0 dB: on the crossing of the grid lines labelled "0" and "  0".
        {300, {320, 125}, {317, 122, 323, 128}},
        // +12 dB: the top-right corner; the flat part has no length.
        {420, {440, 5}, {437, 2, 443, 8}},
        // Codes outside 0..420 (a record read from a device) stay on the plot.
        {-7, {20, 425}, {17, 422, 23, 428}},
        {999, {440, 5}, {437, 2, 443, 8}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.threshold);
        EXPECT_EQ(Knee(kUnit, c.threshold), c.knee);
        EXPECT_EQ(CurveEnd(kUnit, c.threshold), (PointF{440, c.knee.y}));
        EXPECT_EQ(KneeRect(kUnit, c.threshold), c.rect);
    }
    EXPECT_EQ(GridLinesX(kUnit)[2], 320);
    EXPECT_EQ(GridLinesY(kUnit)[0], 125);
    EXPECT_EQ(CurveEnd(kUnit, 420), Knee(kUnit, 420));

    // Fractional knees are cut toward zero: T 100 on the small plot is (36.67, 109.38).
    EXPECT_EQ(KneeRect(kSmall, 100), (CRect{33, 106, 39, 112}));
}

TEST(LimiterCurveLayout, HitAreaIncludesTopLeftOnly)
{
    const CRect knee{17, 422, 23, 428};
    EXPECT_TRUE(InKnee(knee, CPoint{17, 422}));
    EXPECT_TRUE(InKnee(knee, CPoint{22, 427}));
    EXPECT_FALSE(InKnee(knee, CPoint{23, 425}));
    EXPECT_FALSE(InKnee(knee, CPoint{20, 428}));
    EXPECT_FALSE(InKnee(knee, CPoint{16, 425}));
    EXPECT_FALSE(InKnee(CRect{}, CPoint{0, 0}));
}

TEST(LimiterCurveLayout, ThresholdUnderPointer)
{
    struct Case {
        const Layout *l;
        int y;
        int threshold;
    };
    const Case cases[] = {
        {&kUnit, 425, 0},    {&kUnit, 5, 420},     {&kUnit, 125, 300},  {&kUnit, 424, 1},
        {&kUnit, -40, 420},  {&kUnit, 900, 0},     {&kUnit, -2000000000, 420}, {&kUnit, 2000000000, 0},
        // 50 px above the bottom at 137/420 px per step: trunc(153.28).
        {&kSmall, 92, 153},  {&kSmall, 142, 0},    {&kSmall, 5, 420},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.y);
        EXPECT_EQ(ThresholdAtY(*c.l, c.y), c.threshold);
    }
}

TEST(LimiterCurveLayout, AxisLabels)
{
    const auto labels = Labels(kUnit);
    struct Want {
        const char *text;
        int x, y;
    };
    const Want want[] = {
        {" 12", 2, 0},   {"  0", 2, 118},   {"-10", 2, 218},  {"-20", 2, 318}, {"-30", 2, 418},
        {"-20", 112, 425}, {"-10", 212, 425}, {"0", 317, 425}, {"12", 433, 425},
    };
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(labels[i].text, want[i].text);
        EXPECT_EQ(labels[i].x, want[i].x);
        EXPECT_EQ(labels[i].y, want[i].y);
    }
}

TEST(LimiterCurveLayout, LabelsNeverTouchAndSmallCurvesDropTheLeastTelling)
{
    // About the label font's figures: 7 px a character, digits 12 px high.
    const auto width = [](const char *text) { return 7 * int(std::strlen(text)); };
    constexpr int kHeight = 12;
    struct Case {
        const char *name;
        CRect client;
        std::vector<std::string> want;  // texts kept, in table order
    };
    const Case cases[] = {
        {"one pixel a step", CRect{0, 0, 450, 440}, {" 12", "  0", "-10", "-20", "-30", "-20", "-10", "0", "12"}},
        {"advanced settings", CRect{0, 0, 260, 200}, {" 12", "  0", "-10", "-20", "-30", "-20", "-10", "0", "12"}},
        {"dynamics dialog", CRect{0, 0, 100, 157}, {" 12", "  0", "-10", "-20", "-30", "-20", "0", "12"}},
        {"flat", CRect{0, 0, 100, 60}, {"  0", "-30", "-20", "0", "12"}},
        {"narrow", CRect{0, 0, 50, 157}, {" 12", "  0", "-10", "-20", "-30", "0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Label> kept = FittingLabels(ComputeLayout(c.client), width, kHeight);
        std::vector<std::string> texts;
        for (const Label &l : kept)
            texts.emplace_back(l.text);
        EXPECT_EQ(texts, c.want);
        for (std::size_t i = 0; i < kept.size(); ++i) {
            for (std::size_t k = i + 1; k < kept.size(); ++k) {
                CRect a = LabelBox(kept[i], width(kept[i].text), kHeight), b = LabelBox(kept[k], width(kept[k].text), kHeight);
                a.InflateRect(kLabelGap, kLabelGap);
                const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
                EXPECT_FALSE(overlap) << kept[i].text << " touches " << kept[k].text;
            }
        }
    }
}

TEST(KneeTracker, HoverPressDragRelease)
{
    CKneeTracker t;
    const CRect knee = KneeRect(kUnit, 300);  // (317, 122) .. (323, 128)

    // A press away from the knee starts no drag.
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{100, 100}, 300), std::nullopt);
    EXPECT_FALSE(t.Hover());
    EXPECT_FALSE(t.Press());
    t.Release();

    // Over the knee, press: dragging. Only y counts; a move that gives the shown step is no change.
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{320, 125}, 300), std::nullopt);
    EXPECT_TRUE(t.Hover());
    EXPECT_TRUE(t.Press());
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{320, 125}, 300), std::nullopt);
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{5, 125}, 300), std::nullopt);  // sideways
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{320, 225}, 300), 200);
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{320, -50}, 200), 420);         // above the plot
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{320, 700}, 420), 0);           // below it
    EXPECT_TRUE(t.Hover());  // not tested again during the drag

    // The release ends the drag wherever the pointer is; the next move tests the hover again.
    t.Release();
    EXPECT_FALSE(t.Dragging());
    EXPECT_EQ(t.Move(kUnit, knee, CPoint{320, 225}, 0), std::nullopt);
    EXPECT_FALSE(t.Hover());

    // Reset leaves nothing hovered or dragged.
    t.Move(kUnit, knee, CPoint{318, 123}, 300);
    t.Press();
    t.Reset();
    EXPECT_FALSE(t.Hover());
    EXPECT_FALSE(t.Dragging());
}
