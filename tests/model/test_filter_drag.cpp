#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "model/DataDefine.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/FilterSlider.h"

void PrintTo(const CRect &r, std::ostream *os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
void PrintTo(const CPoint &p, std::ostream *os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

constexpr int W = 600;
constexpr int H = 240;
const CRect kPlot{40, 10, 40 + W, 10 + H};

class FilterDragTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_online = g_bDeviceOnline.load();
        g_bDeviceOnline = 0;
    }
    void TearDown() override { g_bDeviceOnline = m_online; }

    static void MakeBand(CFilter &f, int type, int freq, int code, int bandIndex = 10)
    {
        f.SetType(type);
        f.SetSlope(0, 0);
        f.SetBandIndex(bandIndex);
        f.SetFreq(freq, 0);
        f.SetGainCode(code);
        f.SetPlotRect(kPlot);
    }
    static void MakeCrossover(CFilter &f, int type, int freq, int dragMode)
    {
        f.SetType(type);
        f.SetPeqLayout(0);
        f.SetSlope(3, 0);
        f.SetDragMode(dragMode);
        f.SetFreq(freq, 0);
        f.SetPlotRect(kPlot);
    }
    static CPoint Centre(const CRect &r) { return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // Window point of a frequency and gain on the plot.
    static CPoint At(int freq, double dB)
    {
        return CPoint{FreqToSliderPos(freq, W) + 40, GainToIndex(dB, H) + 10};
    }
    static bool AllZero(const CFilter &f)
    {
        for (int i = 0; i < kFreqPoints; ++i)
            if (f.GetResponse()[i] != 0.0)
                return false;
        return true;
    }

private:
    int m_online = 0;
};

struct RecordingSlider : IFilterSlider {
    std::vector<int> values;
    void SetPosByFreq(int) override {}
    void SetInvertedPos(int v) override { values.push_back(v); }
};

} // namespace

TEST_F(FilterDragTest, BandMarkerHandlesAndPolygon)
{
    CFilter f;
    MakeBand(f, CFilter::kTypePeq, 1000, 200);
    EXPECT_EQ(f.GetGeometry().marker, (CRect{371, 122, 387, 138}));
    EXPECT_EQ(f.GetGeometry().leftHandle, (CRect{348, 136, 356, 144}));   // handle row y = 140
    EXPECT_EQ(f.GetGeometry().rightHandle, (CRect{402, 136, 410, 144}));

    // Closed along the 0 dB line; x on the log axis, y from the response.
    EXPECT_EQ(f.GetPolygon()[0], (CPoint{40, 130}));
    EXPECT_EQ(f.GetPolygon()[CFilter::kPolyPoints - 1], (CPoint{640, 130}));
    EXPECT_EQ(f.GetPolygon()[1 + kFreqIndex1k], (CPoint{379, 130}));
    f.SetGainCode(260);  // +6 dB
    EXPECT_EQ(f.GetPolygon()[1 + kFreqIndex1k], (CPoint{379, 70}));
    EXPECT_EQ(f.GetGeometry().marker, (CRect{371, 62, 387, 78}));
    f.SetGainCode(140);  // below 0 dB the handles sit above the centre
    EXPECT_EQ(f.GetGeometry().leftHandle.top, Centre(f.GetGeometry().marker).y - 14);
}

TEST_F(FilterDragTest, DraggingABandMovesFrequencyAndGain)
{
    g_bDeviceOnline = 1;
    RecordingSlider slider;
    CFilter f;
    MakeBand(f, CFilter::kTypePeq, 1000, 200);
    f.StepSendFreq(0);
    f.AttachSlider(&slider);
    // Grab the marker 3 px right of its centre: the offset is kept through the drag.
    const CPoint grab{Centre(f.GetGeometry().marker).x + 3, Centre(f.GetGeometry().marker).y};
    f.BeginDrag(grab);
    f.DragPoint(grab);  // the pixel grid holds 990 Hz, not 1000 Hz
    EXPECT_EQ(f.GetFreq(), 990);
    EXPECT_EQ(f.GetSendFreq(), 990);
    EXPECT_EQ(f.GetGainCode(), 200);
    EXPECT_EQ(f.DragPoint(grab), 0);  // no move, no change
    f.StepSendFreq(0);
    EXPECT_EQ(f.GetChanged(), 0);

    CPoint p = At(5000, 6.0);
    p.x += 3;
    EXPECT_EQ(f.DragPoint(p), 1);
    EXPECT_EQ(f.GetFreq(), SliderPosToFreq(FreqToSliderPos(5000, W), W));
    EXPECT_EQ(f.GetGainCode(), 260);
    EXPECT_EQ(f.GetSendFreq(), 990);  // more than an octave: the device follows in steps
    EXPECT_EQ(f.GetChanged(), 1);
    EXPECT_EQ(slider.values.back(), 260);

    // Past the top the gain stops at +12 dB; a point on the top edge always counts as a change.
    p.y = 0;
    EXPECT_EQ(f.DragPoint(p), 1);
    EXPECT_EQ(f.GetGainCode(), 320);
    EXPECT_EQ(f.DragPoint(p), 1);
    // Onto the 0 dB line the band becomes flat.
    p.y = At(1000, 0.0).y;
    f.DragPoint(p);
    EXPECT_TRUE(f.IsNeutral());
    EXPECT_DOUBLE_EQ(f.GetGain(), 0.0);

    CFilter hp;
    MakeCrossover(hp, CFilter::kTypeHighPass, 100, 12);
    hp.BeginDrag(Centre(hp.GetGeometry().marker));
    EXPECT_EQ(hp.DragPoint(At(1000, 0.0)), 0);
    EXPECT_EQ(hp.GetFreq(), 100);
}

TEST_F(FilterDragTest, ShelvesStayOnTheirSideAndGainOnlyBandsKeepTheirFrequency)
{
    CFilter low, high, geq;
    MakeBand(low, CFilter::kTypeLowShelf, 200, 230);
    MakeBand(high, CFilter::kTypeHighShelf, 8000, 230);
    geq.SetShortLabel(1);
    MakeBand(geq, CFilter::kTypePeq, 1000, 230);

    low.BeginDrag(Centre(low.GetGeometry().marker));
    low.DragPoint(At(5000, 3.0));
    EXPECT_EQ(low.GetFreq(), 2000);
    high.BeginDrag(Centre(high.GetGeometry().marker));
    high.DragPoint(At(500, 3.0));
    EXPECT_EQ(high.GetFreq(), 2000);

    geq.BeginDrag(Centre(geq.GetGeometry().marker));
    EXPECT_EQ(geq.DragPoint(At(5000, -4.0)), 1);
    EXPECT_EQ(geq.GetFreq(), 1000);
    EXPECT_EQ(geq.GetGainCode(), 160);
}

TEST_F(FilterDragTest, BandwidthHandles)
{
    CFilter f;
    MakeBand(f, CFilter::kTypePeq, 1000, 260);

    using graph::BandHandle;
    f.BeginHandleDrag(BandHandle::Right, Centre(f.GetGeometry().rightHandle).x);
    EXPECT_EQ(f.DragBandwidthHandle(BandHandle::Right, 700), 1);  // far right
    EXPECT_EQ(f.GetBandwidthIndex(), 295);                          // 3.00 octaves
    EXPECT_EQ(f.GetBandwidthText(), "3.00Oct");

    f.SetBandwidthIndex(kDefaultBandwidthIndex);
    f.BeginHandleDrag(BandHandle::Left, Centre(f.GetGeometry().leftHandle).x);
    // Onto the band's own frequency (the grab offset carried along): the narrowest bandwidth.
    const int grabOffset = Centre(f.GetGeometry().leftHandle).x - (FreqToSliderPos(820, W) + 40);
    EXPECT_EQ(f.DragBandwidthHandle(BandHandle::Left, FreqToSliderPos(1000, W) + 40 + grabOffset + 1), 1);
    EXPECT_EQ(f.GetBandwidthIndex(), 0);

    // With neither handle dragging nothing changes.
    f.SetBandwidthIndex(40);
    EXPECT_EQ(f.DragBandwidthHandle(BandHandle::None, 100), 1);
    EXPECT_EQ(f.GetBandwidthIndex(), 40);
}

// The handles are drawn 10 px outside the band edges; the drag keeps the distance the pointer
// had when it grabbed the handle, so the first move does not change the bandwidth.
TEST_F(FilterDragTest, HandleDragDoesNotJumpOnTheFirstMove)
{
    for (int freq : {20, 100, 1000, 15000, 20000}) {
        for (int index : {0, 52, 150, 295}) {
            for (int side = 0; side < 2; ++side) {
                CFilter f;
                MakeBand(f, CFilter::kTypePeq, freq, 260);
                f.SetBandwidthIndex(index);
                const CRect handle = side ? f.GetGeometry().rightHandle : f.GetGeometry().leftHandle;
                const int x = Centre(handle).x + 2;
                const graph::BandHandle h = side ? graph::BandHandle::Right : graph::BandHandle::Left;
                f.BeginHandleDrag(h, x);
                f.DragBandwidthHandle(h, x);
                EXPECT_EQ(f.GetBandwidthIndex(), index) << freq << " Hz, index " << index << ", side " << side;
                // Moving outward widens, inward narrows.
                f.DragBandwidthHandle(h, side ? x + 6 : x - 6);
                const int wider = f.GetBandwidthIndex();
                f.DragBandwidthHandle(h, side ? x - 6 : x + 6);
                const int narrower = f.GetBandwidthIndex();
                if (index < 295) {
                    EXPECT_GT(wider, index) << freq << " " << index << " " << side;
                }
                if (index > 0) {
                    EXPECT_LT(narrower, index) << freq << " " << index << " " << side;
                }
            }
        }
    }
}

TEST_F(FilterDragTest, CrossoverDragLimits)
{
    // Drag mode 12: the high-pass cannot pass the low-pass.
    CFilter hp;
    MakeCrossover(hp, CFilter::kTypeHighPass, 100, 12);
    hp.BeginDrag(Centre(hp.GetGeometry().marker));
    EXPECT_EQ(hp.DragCrossover(At(12000, 0.0), 8000), 1);
    EXPECT_EQ(hp.GetFreq(), 8000);
    hp.DragCrossover(CPoint{40 + W, 100}, 8000);
    EXPECT_EQ(hp.GetFreq(), 8000);
    hp.DragCrossover(CPoint{40 + W + 30, 100}, 8000);
    EXPECT_EQ(hp.GetFreq(), 8000);

    // Drag mode 11 (tweeter): at the right edge it jumps to 20000 Hz and keeps its curve.
    CFilter tw;
    MakeCrossover(tw, CFilter::kTypeHighPass, 100, 11);
    tw.BeginDrag(Centre(tw.GetGeometry().marker));
    EXPECT_EQ(tw.DragCrossover(At(12000, 0.0), 8000), 1);
    EXPECT_EQ(tw.GetFreq(), 8000);
    EXPECT_EQ(tw.DragCrossover(CPoint{40 + W, 100}, 8000), 1);
    EXPECT_EQ(tw.GetFreq(), 20000);
    EXPECT_FALSE(AllZero(tw));

    // To the left edge a high-pass switches off at 20 Hz (modes other than 10 and 11).
    EXPECT_EQ(hp.DragCrossover(CPoint{35, 100}, 8000), 1);
    EXPECT_EQ(hp.GetFreq(), 20);
    EXPECT_TRUE(AllZero(hp));
    CFilter m10;
    MakeCrossover(m10, CFilter::kTypeHighPass, 100, 10);
    m10.BeginDrag(Centre(m10.GetGeometry().marker));
    EXPECT_EQ(m10.DragCrossover(CPoint{10, 100}, 8000), 1);
    EXPECT_EQ(m10.GetFreq(), 20);
    EXPECT_TRUE(AllZero(m10));

    // The low-pass stays at or above the high-pass and is flat at the right edge.
    CFilter lp;
    MakeCrossover(lp, CFilter::kTypeLowPass, 5000, 12);
    lp.BeginDrag(Centre(lp.GetGeometry().marker));
    EXPECT_EQ(lp.DragCrossover(At(200, 0.0), 400), 1);
    EXPECT_EQ(lp.GetFreq(), 400);
    EXPECT_FALSE(AllZero(lp));
    EXPECT_EQ(lp.DragCrossover(CPoint{40 + W + 20, 100}, 400), 1);
    EXPECT_EQ(lp.GetFreq(), 20000);
    EXPECT_TRUE(AllZero(lp));
    EXPECT_EQ(lp.DragCrossover(CPoint{0, 100}, 20), 1);  // left of the plot: 20 Hz at most
    EXPECT_EQ(lp.GetFreq(), 20);
}

TEST_F(FilterDragTest, UnsetPlotDoesNotBreakLayoutOrDrags)
{
    CFilter f;
    f.SetGainCode(260);
    f.BeginDrag(CPoint{5, 5});
    f.DragPoint(CPoint{100, 100});
    f.BeginHandleDrag(graph::BandHandle::Left, 100);
    f.DragBandwidthHandle(graph::BandHandle::Left, 100);
    CFilter hp;
    hp.SetType(CFilter::kTypeHighPass);
    hp.SetPeqLayout(0);
    EXPECT_EQ(hp.DragCrossover(CPoint{100, 100}, 20000), 1);
    EXPECT_EQ(hp.GetFreq(), 20);
}
