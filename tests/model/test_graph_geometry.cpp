#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "model/GraphGeometry.h"

void PrintTo(const CRect &r, std::ostream *os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
void PrintTo(const CPoint &p, std::ostream *os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

using namespace graph;

// The plot of these tables: 600 x 240 pixels, 200 px per decade, 10 px per dB.
constexpr int W = 600;
constexpr int H = 240;

TEST(GraphGeometry, PlotRectangleAndGridLines)
{
    EXPECT_EQ(PlotRectFromClient(CRect{0, 0, 700, 300}), (CRect{40, 10, 690, 280}));
    EXPECT_EQ(PlotRectFromClient(CRect{5, 7, 105, 57}), (CRect{45, 17, 95, 37}));

    struct Case { int k; int x; } lines[] = {
        {0, 40},    // 20 Hz at the plot's left edge
        {8, 179},   // 100 Hz: trunc(log10(5) * 200) = 139
        {17, 379},  // 1 kHz
        {26, 579},  // 10 kHz
    };
    for (const auto &c : lines)
        EXPECT_EQ(GridLineX(c.k, W), c.x) << c.k;
    EXPECT_EQ(FreqToWindowX(20000, W), 640);
    EXPECT_EQ(GainToWindowY(12.0, H), 10);
    EXPECT_EQ(GainToWindowY(-12.0, H), 250);
    EXPECT_EQ(GainLineY(1, 8, 10, H), 40);
    EXPECT_EQ(GainLineY(8, 8, 10, H), 250);
    EXPECT_EQ(GainLineY(1, 12, 10, H), 30);
    EXPECT_EQ(GainLineY(3, 0, 10, H), 10);  // no divisions: no place to put a line
}

TEST(GraphGeometry, BandMarkerAndLabel)
{
    struct Case {
        int type; int freq; double gain; bool neutral; int bandIndex; bool gainOnly;
        CRect marker; CRect label;
    } cases[] = {
        // 1000 Hz at 0 dB: x = 339 - 8, y = 120 - 8, then into window coordinates.
        {kTypePeq, 1000, 0.0, true, 10, false, {371, 122, 387, 138}, {291, 147, 467, 163}},
        {kTypePeq, 1000, 0.0, true, 10, true, {371, 122, 387, 138}, {346, 147, 412, 163}},
        // A neutral band sits on 0 dB whatever its gain.
        {kTypePeq, 1000, 6.0, true, 10, false, {371, 122, 387, 138}, {291, 147, 467, 163}},
        {kTypePeq, 1000, 6.0, false, 10, false, {371, 62, 387, 78}, {291, 87, 467, 103}},
        // Low bands may overhang the left edge; from band 9 on they are pushed inside.
        {kTypePeq, 20, 0.0, true, 0, false, {32, 122, 48, 138}, {40, 147, 176, 163}},
        {kTypePeq, 20, 0.0, true, 0, true, {32, 122, 48, 138}, {40, 147, 86, 163}},
        {kTypePeq, 20, 0.0, true, 9, false, {40, 122, 56, 138}, {40, 147, 176, 163}},
        {kTypePeq, 20000, 0.0, true, 30, false, {624, 122, 640, 138}, {480, 147, 640, 163}},
        {kTypePeq, 20000, 0.0, true, 30, true, {624, 122, 640, 138}, {590, 147, 640, 163}},
        // +20 dB stops at the top; -20 dB at the bottom, where the label moves above.
        {kTypePeq, 1000, 20.0, false, 10, false, {371, 10, 387, 26}, {291, 35, 467, 51}},
        {kTypePeq, 1000, -20.0, false, 10, false, {371, 234, 387, 250}, {291, 209, 467, 225}},
        {kTypeLowShelf, 200, 0.0, true, 0, false, {232, 122, 248, 138}, {232, 147, 338, 163}},
        {kTypeHighShelf, 20000, 0.0, true, 8, false, {624, 122, 640, 138}, {524, 147, 640, 163}},
    };
    for (const auto &c : cases) {
        BandMarkerInput in{c.type, c.freq, c.gain, c.neutral, c.bandIndex, c.gainOnly};
        CRect marker, label;
        LayoutBandMarker(in, W, H, marker, label);
        EXPECT_EQ(marker, c.marker) << c.type << " " << c.freq << " Hz " << c.gain << " dB band " << c.bandIndex;
        EXPECT_EQ(label, c.label) << c.type << " " << c.freq << " Hz " << c.gain << " dB gain-only " << c.gainOnly;
    }
    // Crossovers laid out as bands keep the label box they had.
    CRect marker, label{1, 2, 3, 4};
    LayoutBandMarker(BandMarkerInput{kTypeHighPass, 1000, 0.0, true, 31, false}, W, H, marker, label);
    EXPECT_EQ(label, (CRect{1, 2, 3, 4}));
}

TEST(GraphGeometry, ASelectedLabelCoversNoOtherMarker)
{
    // A 60 x 14 plate 25 px below a marker at (300, 100); the plot is 0..640 x 0..260.
    const CRect plot{0, 0, 640, 260}, marker{292, 92, 308, 108};
    const CRect plate{270, 118, 330, 132};
    const CRect above{270, 68, 330, 82}, right{311, 93, 371, 107}, left{229, 93, 289, 107};
    struct Case { const char *what; std::vector<CRect> others; CRect placed; } cases[] = {
        {"nothing in the way: below", {{100, 100, 116, 116}}, plate},
        {"a neighbour below: above", {{310, 120, 326, 136}}, above},
        {"neighbours below and above: right", {{310, 120, 326, 136}, {280, 70, 296, 86}}, right},
        {"below, above and right taken: left",
         {{310, 120, 326, 136}, {280, 70, 296, 86}, {330, 95, 346, 111}}, left},
        {"everywhere taken: the usual place",
         {{310, 120, 326, 136}, {280, 70, 296, 86}, {330, 95, 346, 111}, {240, 95, 256, 111}}, plate},
        {"the marker itself is no obstacle", {marker}, plate},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PlaceLabelClearOfMarkers(plate, marker, c.others, plot), c.placed) << c.what;

    // Near the plot's bottom the plate below would leave the plot: it goes above.
    const CRect low{292, 236, 308, 252}, lowPlate{270, 262, 330, 276};
    EXPECT_EQ(PlaceLabelClearOfMarkers(lowPlate, low, {}, plot), (CRect{270, 212, 330, 226}));
}

TEST(GraphGeometry, CrossoverMarkerAndLabel)
{
    struct Case { int type; int freq; CRect marker; CRect label; } cases[] = {
        {kTypeHighPass, 1000, {371, 200, 387, 216}, {371, 185, 437, 241}},  // on the -7 dB line
        {kTypeLowPass, 1000, {371, 200, 387, 216}, {371, 185, 437, 236}},
        {kTypeLowPass, 20000, {632, 200, 648, 216}, {574, 185, 640, 236}},  // past the edge by 8
        {kTypeHighPass, 20, {32, 200, 48, 216}, {32, 185, 98, 241}},
    };
    for (const auto &c : cases) {
        CRect marker, label;
        LayoutCrossoverMarker(c.type, c.freq, W, H, marker, label);
        EXPECT_EQ(marker, c.marker) << c.type << " " << c.freq;
        EXPECT_EQ(label, c.label) << c.type << " " << c.freq;
    }
}

TEST(GraphGeometry, BandwidthHandles)
{
    struct Case { CRect marker; int freq; double gain; double bw; CRect left; CRect right; } cases[] = {
        // 1000 Hz, 0.57 octave: edges 820 and 1218 Hz, 10 px outside, on the row 10 px below.
        {{371, 122, 387, 138}, 1000, 0.0, 0.57, {348, 136, 356, 144}, {402, 136, 410, 144}},
        // Below 0 dB the row is 10 px above the centre.
        {{371, 182, 387, 198}, 1000, -6.0, 0.57, {348, 176, 356, 184}, {402, 176, 410, 184}},
        // Two octaves around 400 Hz: 200 and 800 Hz.
        {{292, 122, 308, 138}, 400, 3.0, 2.0, {226, 136, 234, 144}, {366, 136, 374, 144}},
    };
    for (const auto &c : cases) {
        CRect left, right;
        LayoutHandles(c.marker, c.freq, c.gain, c.bw, W, left, right);
        EXPECT_EQ(left, c.left) << c.freq << " " << c.bw;
        EXPECT_EQ(right, c.right) << c.freq << " " << c.bw;
    }
}

TEST(GraphGeometry, ResponsePolygonClosesAlongTheZeroLine)
{
    CPoint poly[kPolyPoints];
    PolygonFrame(W, H, poly);
    double response[kFreqPoints] = {};
    response[kFreqIndex1k] = 6.0;
    response[0] = -30.0;  // below the plot: the polygon follows it outside
    PolygonY(response, H, poly);
    EXPECT_EQ(poly[0], (CPoint{40, 130}));
    EXPECT_EQ(poly[kPolyPoints - 1], (CPoint{640, 130}));
    EXPECT_EQ(poly[1 + kFreqIndex1k], (CPoint{379, 70}));
    EXPECT_EQ(poly[1], (CPoint{39, 430}));  // 19.7 Hz lies left of the 20 Hz edge
    EXPECT_EQ(poly[2].y, 130);

    // Another width, then the first again: each frame has its own width's columns.
    CPoint wide[kPolyPoints], again[kPolyPoints];
    PolygonFrame(2 * W, H, wide);
    PolygonFrame(W, H, again);
    for (int i = 0; i < kFreqPoints; ++i) {
        EXPECT_EQ(wide[i + 1].x, FreqToWindowX(g_FreqTable241[i], 2 * W)) << i;
        EXPECT_EQ(again[i + 1].x, poly[i + 1].x) << i;
    }
    EXPECT_EQ(wide[kPolyPoints - 1].x, 2 * W + kPlotLeft);
}

TEST(GraphGeometry, HitTests)
{
    const ElementGeometry g{{371, 122, 387, 138}, {291, 147, 467, 163}, {348, 136, 356, 144}, {402, 136, 410, 144}};
    struct Case { CPoint p; bool handles; HitPart hit; } cases[] = {
        {{371, 122}, true, HitPart::Marker},
        {{386, 137}, false, HitPart::Marker},
        {{387, 130}, true, HitPart::None},  // right and bottom edges are outside
        {{379, 138}, true, HitPart::None},
        {{350, 140}, true, HitPart::LeftHandle},
        {{350, 140}, false, HitPart::None},  // GEQ bands and crossovers have no handles
        {{409, 143}, true, HitPart::RightHandle},
        {{300, 150}, true, HitPart::None},   // the label is not a target
    };
    for (const auto &c : cases)
        EXPECT_EQ(HitTest(g, c.p, c.handles), c.hit) << c.p.x << "," << c.p.y;

    const std::vector<CRect> markers = {{0, 0, 16, 16}, {8, 0, 24, 16}, {100, 100, 116, 116}};
    EXPECT_EQ(FirstMarkerAt(markers, CPoint{10, 5}), 0);  // overlap: the lower index wins
    EXPECT_EQ(FirstMarkerAt(markers, CPoint{20, 5}), 1);
    EXPECT_EQ(FirstMarkerAt(markers, CPoint{115, 115}), 2);
    EXPECT_EQ(FirstMarkerAt(markers, CPoint{50, 50}), -1);
    EXPECT_EQ(FirstMarkerAt({}, CPoint{0, 0}), -1);
}

TEST(GraphGeometry, BandDragTargets)
{
    EXPECT_EQ(GrabOffset(CRect{371, 122, 387, 138}, CPoint{382, 128}), (CPoint{3, -2}));

    struct Case {
        CPoint p; CPoint grab; int w; int h; int freq; bool gainOnly;
        int toFreq; double toGain; bool top;
    } cases[] = {
        // The pixel grid holds 990 Hz, not 1000 Hz.
        {{379, 130}, {0, 0}, W, H, 1000, false, 990, 0.0, false},
        {{382, 128}, {3, -2}, W, H, 1000, false, 990, 0.0, false},
        {{440, 70}, {0, 0}, W, H, 1000, false, 2000, 6.0, false},
        {{379, 20}, {0, 0}, W, H, 1000, false, 990, 11.0, false},
        {{379, 14}, {0, 0}, W, H, 1000, false, 990, 12.0, false},  // 11.6 rounds to 12
        // Outside the plot the pointer is clamped to it; the top edge always counts as a change.
        {{0, 0}, {0, 0}, W, H, 1000, false, 20, 12.0, true},
        {{1000, 1000}, {0, 0}, W, H, 1000, false, 20000, -12.0, false},
        // Gain only: the frequency stays.
        {{600, 70}, {0, 0}, W, H, 1234, true, 1234, 6.0, false},
        // No plot yet: the lowest frequency and 0 dB, without a fault.
        {{100, 100}, {0, 0}, 0, 0, 1000, false, 20, 0.0, true},
    };
    for (const auto &c : cases) {
        const BandDragTarget t = BandDrag(c.p, c.grab, c.w, c.h, c.freq, c.gainOnly);
        EXPECT_EQ(t.freq, c.toFreq) << c.p.x << "," << c.p.y;
        EXPECT_DOUBLE_EQ(t.gain, c.toGain) << c.p.x << "," << c.p.y;
        EXPECT_EQ(t.onTopEdge, c.top) << c.p.x << "," << c.p.y;
    }

    struct Shelf { int type; int freq; int limited; } shelves[] = {
        {kTypeLowShelf, 5000, 2000}, {kTypeLowShelf, 1500, 1500}, {kTypeLowShelf, 2000, 2000},
        {kTypeHighShelf, 500, 2000}, {kTypeHighShelf, 8000, 8000}, {kTypePeq, 5000, 5000},
    };
    for (const auto &c : shelves)
        EXPECT_EQ(ShelfDragLimit(c.type, c.freq), c.limited) << c.type << " " << c.freq;
}

TEST(GraphGeometry, HandleDragBandwidth)
{
    EXPECT_DOUBLE_EQ(HandleGrab(BandHandle::Right, 440, 1000, 2.0, W), 0.0);  // 2000 Hz lies at x 440
    EXPECT_NEAR(HandleGrab(BandHandle::Left, 245, 400, 2.0, W), 5.0, 1e-9);  // 200 Hz at x 240
    EXPECT_DOUBLE_EQ(HandleGrab(BandHandle::None, 245, 400, 2.0, W), 0.0);

    struct Case { BandHandle side; int x; double grab; int freq; int w; double bw; } cases[] = {
        {BandHandle::Right, 440, 0.0, 1000, W, 2.0},             // one octave above: 2 octaves wide
        {BandHandle::Left, 240, 0.0, 400, W, 2.0},               // one octave below
        {BandHandle::Right, 440, 0.5, 1000, W, 1.9833904},       // the grab offset is kept
        {BandHandle::Right, 700, 0.0, 1000, W, 3.0},             // past 3 octaves
        {BandHandle::Left, 0, 0.0, 20, W, 1.3287712},            // 12.6 Hz: left of the plot, not clamped
        {BandHandle::Left, 380, 0.0, 1000, W, 0.05},             // onto the band: the narrowest
        {BandHandle::Right, 100, 0.0, 1000, W, 0.05},            // crossed over to the other side
        {BandHandle::None, 440, 0.0, 1000, W, -1.0},             // no handle: nothing to change
        {BandHandle::Right, 440, 0.0, 1000, 2, -1.0},            // no plot yet
    };
    for (const auto &c : cases)
        EXPECT_NEAR(HandleDragBandwidth(c.side, c.x, c.grab, c.freq, c.w), c.bw, 1e-6)
            << static_cast<int>(c.side) << " " << c.x << " " << c.freq;
}

TEST(GraphGeometry, CrossoverDragLimits)
{
    const int at12k = FreqToWindowX(12000, W);
    const int at200 = FreqToWindowX(200, W);
    struct Case { int type; int mode; int x; int freq; int other; int changed; int to; } cases[] = {
        // The high-pass stops at the low-pass, also at the right edge and beyond.
        {kTypeHighPass, 12, at12k, 100, 8000, 1, 8000},
        {kTypeHighPass, 12, 640, 100, 8000, 1, 8000},
        {kTypeHighPass, 12, 700, 100, 8000, 1, 8000},
        {kTypeHighPass, 12, at200, 100, 8000, 1, 200},
        {kTypeHighPass, 12, at200, 200, 8000, 0, 0},  // where it already is: no change
        // A tweeter's high-pass (mode 11) may jump to 20000 Hz at the right edge only.
        {kTypeHighPass, 11, 640, 100, 8000, 1, 20000},
        {kTypeHighPass, 11, at12k, 100, 8000, 1, 8000},
        // Left of the plot a high-pass switches off at 20 Hz, even when it is there already;
        // in modes 10 and 11 it only goes to the lowest frequency.
        {kTypeHighPass, 12, 35, 100, 8000, 1, 20},
        {kTypeHighPass, 0, 40, 20, 8000, 1, 20},
        {kTypeHighPass, 10, 10, 100, 8000, 1, 20},
        {kTypeHighPass, 10, 10, 20, 8000, 0, 0},
        // The low-pass stops at the high-pass and reaches 20000 Hz at the right edge.
        {kTypeLowPass, 12, at200, 5000, 400, 1, 400},
        {kTypeLowPass, 12, 660, 400, 400, 1, 20000},
        {kTypeLowPass, 12, 0, 5000, 20, 1, 20},
        {kTypeLowPass, 12, 640, 20000, 400, 0, 0},
        // Bands are not crossovers.
        {kTypePeq, 12, at200, 1000, 400, 0, 0},
    };
    for (const auto &c : cases) {
        const CrossoverDragTarget t = CrossoverDrag(c.type, c.mode, CPoint{c.x, 100}, CPoint{}, W, c.freq, c.other);
        EXPECT_EQ(t.changed, c.changed) << c.type << " mode " << c.mode << " x " << c.x << " from " << c.freq;
        EXPECT_EQ(t.freq, c.to) << c.type << " mode " << c.mode << " x " << c.x << " from " << c.freq;
    }
    // The grab offset moves the pointer's meaning: grabbed 4 px right of the centre.
    EXPECT_EQ(CrossoverDrag(kTypeHighPass, 12, CPoint{at200 + 4, 0}, CPoint{4, 0}, W, 100, 8000).freq, 200);
}

} // namespace
