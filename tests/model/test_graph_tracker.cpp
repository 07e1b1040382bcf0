// The response graph's layout and its pointer tracker, driven on real output and music-input
// records laid out on the output page's plot.

#include "model/Filter.h"
#include "model/GraphLayout.h"
#include "model/GraphTracker.h"
#include "model/KTV_OutData.h"
#include "model/KTV_Data.h"

#include <gtest/gtest.h>

#include <memory>

using Cursor = CGraphTracker::Cursor;

namespace {

constexpr CRect kClient{0, 0, 950, 156};

CPoint Centre(const CRect &r) { return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
CPoint Offset(CPoint p, int dx, int dy) { return CPoint{p.x + dx, p.y + dy}; }

// One output laid out on the page's plot, with a tracker bound to its equaliser. Band 15 stands
// alone at 1 kHz, +6 dB, so its marker and handles are clear of the others.
struct TrackerFixture : ::testing::Test {
    void SetUp() override
    {
        out = root.GetOut(0);
        root.SetOutPlotRect(graph::ComputeLayout(kClient).plot);
        band = out->GetBand(15);
        band->SetFreq(1000, 1);
        band->SetGainCode(260);
        tracker.Bind(&out->GetEq());
    }
    CPoint MarkerOf(int i) const { return Centre(out->GetBand(i)->GetMarkerRect()); }

    CKTV_Data root;
    CKTV_OutData *out = nullptr;
    CFilter *band = nullptr;
    CGraphTracker tracker;
};

} // namespace

TEST(GraphLayout, PlotGridAndLabelsFollowTheWindowSize)
{
    const graph::GraphLayout l = graph::ComputeLayout(kClient);
    EXPECT_EQ(l.plot, (CRect{40, 10, 940, 136}));
    // Three decades over 900 px: 300 px per decade from 20 Hz at the plot's left edge.
    EXPECT_EQ(l.gridX[0], 40);
    EXPECT_EQ(l.gridX[8], 40 + 209);   // 100 Hz: log10(5) * 300
    EXPECT_EQ(l.gridX[26], 40 + 809);  // 10 kHz

    const auto gain = graph::GainLabels(l);
    EXPECT_EQ(gain[0].text, "+12");
    EXPECT_EQ(gain[0].y, 5);
    EXPECT_EQ(gain[4].text, "0dB");
    EXPECT_EQ(gain[4].y, 126 / 8 * 4 + 3);
    EXPECT_EQ(gain[8].y, 126);
    const auto freq = graph::FreqLabels(l);
    EXPECT_EQ(freq[0].text, "20");
    EXPECT_EQ(freq[0].x, 30);
    EXPECT_EQ(freq[16].text, "20K");
    EXPECT_EQ(freq[16].x, 40 + 900 - 15);
    for (const auto &f : freq)
        EXPECT_EQ(f.y, 136);

    // Lines at eighths or twelfths of the plot height.
    EXPECT_EQ(graph::PlotLineY(l, 1, 8), 10 + 15);
    EXPECT_EQ(graph::PlotLineY(l, 8, 12), 10 + 84);

    // A window smaller than the insets has an empty plot, never an inverted one.
    const graph::GraphLayout tiny = graph::ComputeLayout(CRect{0, 0, 30, 12});
    EXPECT_TRUE(tiny.plot.IsRectEmpty());
    EXPECT_GE(tiny.plot.Width(), 0);
    EXPECT_GE(tiny.plot.Height(), 0);
}

TEST(GraphLayout, MarkerTextAndAlignment)
{
    const CRect plot{40, 10, 940, 136};
    struct Case {
        CRect marker;
        int freq;
        graph::MarkerAlign align;
    } cases[] = {
        {{924, 50, 940, 66}, 16000, graph::MarkerAlign::Left},   // touches the right edge
        {{32, 50, 48, 66}, 20, graph::MarkerAlign::Right},       // at 20 Hz
        {{900, 50, 916, 66}, 20000, graph::MarkerAlign::Left},   // at 20 kHz
        {{300, 50, 316, 66}, 1000, graph::MarkerAlign::Center},
    };
    for (const Case &c : cases)
        EXPECT_EQ(graph::MarkerTextAlign(c.marker, plot, c.freq), c.align) << c.freq;

    char buf[4];
    EXPECT_EQ(graph::MarkerText(0, graph::kTypePeq, buf), "1");
    EXPECT_EQ(graph::MarkerText(30, graph::kTypeHighShelf, buf), "31");
    EXPECT_EQ(graph::MarkerText(31, graph::kTypeHighPass, buf), "H");
    EXPECT_EQ(graph::MarkerText(32, graph::kTypeLowPass, buf), "L");
}

TEST_F(TrackerFixture, HoverSelectsABandThatStaysSelectedWhenThePointerLeaves)
{
    EXPECT_TRUE(tracker.TrackMouse(MarkerOf(15)));
    EXPECT_EQ(tracker.ActiveIndex(), 15);
    EXPECT_EQ(tracker.ItemIndex(), 15);
    EXPECT_TRUE(tracker.Hovering());
    EXPECT_TRUE(tracker.Flags(15).markerHover);
    EXPECT_EQ(tracker.CursorShape(), Cursor::SizeAll);
    // A move within the same marker changes nothing that is drawn.
    EXPECT_FALSE(tracker.TrackMouse(Offset(MarkerOf(15), 1, 0)));

    EXPECT_FALSE(tracker.TrackMouse(CPoint{500, 12}));
    EXPECT_EQ(tracker.ActiveIndex(), 15);
    EXPECT_FALSE(tracker.Hovering());
    EXPECT_EQ(tracker.CursorShape(), Cursor::Arrow);
}

TEST_F(TrackerFixture, OverlappingMarkersPickTheLowerIndex)
{
    out->GetBand(16)->SetFreq(1000, 1);
    out->GetBand(16)->SetGainCode(260);
    ASSERT_EQ(out->GetBand(16)->GetMarkerRect(), band->GetMarkerRect());
    tracker.TrackMouse(MarkerOf(16));
    EXPECT_EQ(tracker.ActiveIndex(), 15);
}

TEST_F(TrackerFixture, MarkerDragMovesTheBandAndIsReportedOnTheNextTick)
{
    const CPoint start = MarkerOf(15);
    tracker.TrackMouse(start);
    tracker.BeginDrag(start);
    EXPECT_TRUE(tracker.Dragging());
    EXPECT_FALSE(tracker.Released());

    // Far past the marker in one move: the drag goes on.
    EXPECT_TRUE(tracker.TrackMouse(Offset(start, 120, 30)));
    EXPECT_GT(band->GetFreq(), 1000);
    EXPECT_LT(band->GetGainCode(), 260);
    EXPECT_TRUE(tracker.Changed());
    tracker.EndDrag();
    EXPECT_FALSE(tracker.Dragging());
    EXPECT_TRUE(tracker.Released());

    EXPECT_EQ(tracker.Tick(), std::vector<int>{15});
    EXPECT_FALSE(tracker.Changed());
    // Until the owner clears the released flag every tick repeats the item.
    EXPECT_EQ(tracker.Tick(), std::vector<int>{15});
    tracker.SetReleased(false);
    EXPECT_TRUE(tracker.Tick().empty());
}

TEST_F(TrackerFixture, PressAndReleaseInPlaceReportsTheLastItemWithoutAChange)
{
    tracker.Select(7);
    tracker.BeginDrag(CPoint{500, 12});  // nothing hovered: no drag
    EXPECT_FALSE(tracker.Dragging());
    tracker.EndDrag();
    EXPECT_EQ(tracker.Tick(), std::vector<int>{7});
}

TEST_F(TrackerFixture, HandleDragChangesOnlyTheBandwidth)
{
    const CRect left = band->GetGeometry().leftHandle;
    const int before = band->GetBandwidthIndex();
    tracker.TrackMouse(MarkerOf(15));
    EXPECT_TRUE(tracker.TrackMouse(Centre(left)) == false);
    EXPECT_TRUE(tracker.Flags(15).leftHover);
    EXPECT_EQ(tracker.CursorShape(), Cursor::SizeWE);
    tracker.BeginDrag(Centre(left));
    EXPECT_TRUE(tracker.Flags(15).leftDrag);
    tracker.TrackMouse(Offset(Centre(left), -40, 0));
    EXPECT_NE(band->GetBandwidthIndex(), before);
    EXPECT_EQ(band->GetFreq(), 1000);
    tracker.EndDrag();
    EXPECT_FALSE(tracker.Flags(15).leftDrag);
}

TEST_F(TrackerFixture, GeqBandsMoveInGainOnlyAndHaveNoHandles)
{
    band->SetShortLabel(1);
    const CRect left = band->GetGeometry().leftHandle;
    tracker.TrackMouse(MarkerOf(15));
    EXPECT_EQ(tracker.CursorShape(), Cursor::SizeNS);
    tracker.TrackMouse(Centre(left));
    EXPECT_FALSE(tracker.Flags(15).leftHover);

    tracker.TrackMouse(MarkerOf(15));
    tracker.BeginDrag(MarkerOf(15));
    tracker.TrackMouse(Offset(MarkerOf(15), 80, 20));
    EXPECT_EQ(band->GetFreq(), 1000);
    EXPECT_LT(band->GetGainCode(), 260);
}

TEST_F(TrackerFixture, CrossoversStopAtEachOtherAndDeselectWhenLeft)
{
    CFilter *hpf = out->GetHpf();
    CFilter *lpf = out->GetLpf();
    hpf->SetFreq(100, 1);
    lpf->SetFreq(500, 1);
    const int hp = out->GetHpfIndex();

    tracker.TrackMouse(Centre(hpf->GetMarkerRect()));
    ASSERT_EQ(tracker.ActiveIndex(), hp);
    EXPECT_EQ(tracker.CursorShape(), Cursor::SizeWE);
    tracker.BeginDrag(Centre(hpf->GetMarkerRect()));
    tracker.TrackMouse(CPoint{900, 90});  // far right of the low-pass
    EXPECT_EQ(hpf->GetFreq(), 500);
    tracker.EndDrag();

    // Released over the marker, it stays selected but a press there drags nothing.
    const CPoint onMarker = Centre(hpf->GetMarkerRect());
    tracker.TrackMouse(onMarker);
    EXPECT_EQ(tracker.ActiveIndex(), hp);
    tracker.BeginDrag(onMarker);
    EXPECT_FALSE(tracker.Dragging());
    // Leaving the marker without a drag deselects the crossover.
    EXPECT_TRUE(tracker.TrackMouse(CPoint{100, 90}));
    EXPECT_EQ(hpf->GetFreq(), 500);
    EXPECT_EQ(tracker.ActiveIndex(), -1);
    EXPECT_FALSE(tracker.Hovering());
    tracker.EndDrag();

    // Back over the marker, the next press drags it again.
    tracker.TrackMouse(Centre(hpf->GetMarkerRect()));
    tracker.BeginDrag(Centre(hpf->GetMarkerRect()));
    EXPECT_TRUE(tracker.Dragging());
    tracker.TrackMouse(CPoint{100, 90});
    EXPECT_LT(hpf->GetFreq(), 500);
    tracker.EndDrag();
    tracker.TrackMouse(CPoint{500, 12});

    // The low-pass stops at the high-pass frequency from the other side.
    const int hpFreq = hpf->GetFreq();
    tracker.TrackMouse(Centre(lpf->GetMarkerRect()));
    tracker.BeginDrag(Centre(lpf->GetMarkerRect()));
    tracker.TrackMouse(CPoint{41, 90});
    EXPECT_EQ(lpf->GetFreq(), hpFreq);
}

TEST_F(TrackerFixture, AChangeIsReportedForTheBandDraggedEvenAfterAnotherIsHovered)
{
    tracker.TrackMouse(MarkerOf(15));
    tracker.BeginDrag(MarkerOf(15));
    tracker.TrackMouse(Offset(MarkerOf(15), 0, 20));
    tracker.EndDrag();
    // Before the tick the pointer reaches another band.
    tracker.TrackMouse(MarkerOf(2));
    EXPECT_EQ(tracker.ItemIndex(), 2);
    EXPECT_EQ(tracker.Tick(), std::vector<int>{15});
    EXPECT_EQ(tracker.Tick(), std::vector<int>{2});  // then the release, with the item now shown
}

TEST_F(TrackerFixture, SelectionAndHoverResets)
{
    EXPECT_FALSE(tracker.Select(33));
    EXPECT_FALSE(tracker.Select(-1));
    EXPECT_TRUE(tracker.Select(31));
    EXPECT_EQ(tracker.Active(), out->GetHpf());

    tracker.TrackMouse(MarkerOf(15));
    tracker.ClearHover();
    EXPECT_FALSE(tracker.Hovering());
    EXPECT_EQ(tracker.Flags(15), CGraphTracker::ItemFlags{});
    tracker.BeginDrag(MarkerOf(15));
    EXPECT_FALSE(tracker.Dragging());

    CGraphTracker unbound;
    EXPECT_FALSE(unbound.TrackMouse(CPoint{100, 100}));
    unbound.BeginDrag(CPoint{100, 100});
    unbound.EndDrag();
    EXPECT_EQ(unbound.Tick(), std::vector<int>{0});
}

TEST(GraphTracker, MusicInputsReactOnlyInTheirFirstFifteenBands)
{
    CKTV_Data root;
    root.SetMusicPlotRect(graph::ComputeLayout(kClient).plot);
    CMusic_InData *in = root.GetMusicIn(0);
    CGraphTracker tracker;
    tracker.Bind(&in->GetEq(), 15);
    // Band 20 alone at 5 kHz, +6 dB.
    in->GetBand(20)->SetFreq(5000, 1);
    in->GetBand(20)->SetGainCode(260);
    tracker.TrackMouse(Centre(in->GetBand(20)->GetMarkerRect()));
    EXPECT_EQ(tracker.ActiveIndex(), -1);
    in->GetBand(3)->SetFreq(5000, 1);
    in->GetBand(3)->SetGainCode(260);
    tracker.TrackMouse(Centre(in->GetBand(3)->GetMarkerRect()));
    EXPECT_EQ(tracker.ActiveIndex(), 3);
}
