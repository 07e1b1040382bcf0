#include "model/GraphGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace graph {

int FreqToWindowX(double freq, int W)
{
    return FreqToSliderPos(freq, W) + kPlotLeft;
}

int GainToWindowY(double dB, int H)
{
    return GainToIndex(dB, H) + kPlotTop;
}

int GridLineX(int k, int W)
{
    return FreqToWindowX(kGridFreqs[std::clamp(k, 0, kGridLines - 1)], W);
}

int GainLineY(int k, int divisions, int plotTop, int H)
{
    if (divisions <= 0)
        return plotTop;
    return plotTop + H * k / divisions;
}

// ---- Element layout -----------------------------------------------------------------------------

CRect PlaceLabelClearOfMarkers(const CRect &plate, const CRect &marker, std::span<const CRect> others,
                               const CRect &plot)
{
    const auto overlaps = [](const CRect &a, const CRect &b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    const auto clear = [&](const CRect &r) {
        if (r.left < plot.left || r.right > plot.right || r.top < plot.top || r.bottom > plot.bottom)
            return false;
        for (const CRect &m : others)
            if (!(m == marker) && !m.IsRectEmpty() && overlaps(r, m))
                return false;
        return true;
    };
    const int w = plate.Width(), h = plate.Height();
    const int midY = (marker.top + marker.bottom) / 2;
    constexpr int gap = 3;
    const auto at = [&](int left, int top) {
        // Kept inside the plot across, where the usual place keeps it too.
        left = std::clamp(left, plot.left, std::max(plot.left, plot.right - w));
        return CRect{left, top, left + w, top + h};
    };
    const CRect below = at(plate.left, plate.top);
    const int drop = (plate.top + plate.bottom) / 2 - midY;
    const CRect candidates[] = {
        below,
        at(plate.left, midY - drop - h / 2),       // mirrored above the marker
        at(marker.right + gap, midY - h / 2),      // right of it
        at(marker.left - gap - w, midY - h / 2),   // left of it
    };
    for (const CRect &c : candidates)
        if (clear(c))
            return c;
    return plate;
}

void LayoutBandMarker(const BandMarkerInput &in, int W, int H, CRect &marker, CRect &label)
{
    constexpr int half = kMarkerSize / 2;
    int x = FreqToSliderPos(in.freq, W) - half;
    int y = GainToIndex(in.neutral ? 0.0 : in.gain, H) - half;
    if (x < -half)
        x = -half;
    if (y < -half)
        y = -half;
    if (y <= 0)
        y = 0;
    if (x <= 0 && in.bandIndex >= kFirstInsideBand)
        x = 0;
    int right = x + kMarkerSize;
    int bottom = y + kMarkerSize;
    if (right > W) {
        right = W;
        x = W - kMarkerSize;
    }
    if (bottom > H) {
        bottom = H;
        y = H - kMarkerSize;
    }
    marker = CRect{x + kPlotLeft, y + kPlotTop, right + kPlotLeft, bottom + kPlotTop};

    const int plotRight = W + kPlotLeft;
    if (in.type == kTypePeq) {
        label.top = marker.top + 25;
        label.bottom = marker.bottom + 25;
        if (in.gainOnlyLabel) {
            if (marker.right + 20 > plotRight) {
                label.left = plotRight - 50;
                label.right = plotRight;
            } else if (marker.left - 20 < kPlotLeft) {
                label.left = kPlotLeft;
                label.right = kMarkerSize + 70;
            } else {
                label.left = marker.left - 25;
                label.right = marker.right + 25;
            }
        } else {
            if (marker.right + 80 > plotRight) {
                label.left = plotRight - 160;
                label.right = plotRight;
            } else if (marker.left - 60 < kPlotLeft) {
                label.left = kPlotLeft;
                label.right = kMarkerSize + 160;
            } else {
                label.left = marker.left - 80;
                label.right = marker.right + 80;
            }
        }
    } else if (in.type == kTypeLowShelf || in.type == kTypeHighShelf) {
        label.top = marker.top + 25;
        label.bottom = marker.bottom + 25;
        if (marker.right + 110 > plotRight) {
            label.left = plotRight - 116;
            label.right = plotRight;
        } else {
            label.left = marker.left;
            label.right = marker.right + 90;
        }
    }
    // Near the bottom the label moves above the marker.
    if (in.type >= kTypePeq && in.type <= kTypeHighShelf && marker.bottom >= H - 15) {
        label.top = marker.top - 25;
        label.bottom = marker.bottom - 25;
    }
}

void LayoutCrossoverMarker(int type, int freq, int W, int H, CRect &marker, CRect &label)
{
    constexpr int half = kMarkerSize / 2;
    int x = FreqToSliderPos(freq, W) - half;
    const int y = GainToIndex(kCrossoverMarkerGain, H);
    if (x <= -half)
        x = -half;
    int right = x + kMarkerSize;
    const int bottom = y + kMarkerSize;
    if (right > W + half) {
        right = W + half;
        x = right - kMarkerSize;
    }
    marker = CRect{x + kPlotLeft, y + kPlotTop, right + kPlotLeft, bottom + kPlotTop};

    if (type == kTypeHighPass || type == kTypeLowPass) {
        const int plotRight = W + kPlotLeft;
        label.top = marker.top - 15;
        if (marker.right + 50 > plotRight) {
            label.left = plotRight - 66;
            label.right = plotRight;
        } else {
            label.left = marker.left;
            label.right = marker.right + 50;
        }
        label.bottom = marker.bottom + (type == kTypeHighPass ? 25 : 20);
    }
}

void LayoutHandles(const CRect &marker, int freq, double gain, double bandwidth, int W, CRect &left,
                   CRect &right)
{
    constexpr int half = kHandleSize / 2;
    const int cy = (marker.top + marker.bottom) / 2;
    const int y = gain >= 0.0 ? cy + 10 : cy - 10;
    const double edge = std::pow(2.0, bandwidth * 0.5);

    // The upper edge is truncated to whole hertz, the lower one is not.
    const int fHi = static_cast<int>(freq * edge);
    const int xr = FreqToSliderPos(fHi, W) + kPlotLeft + 10;
    right = CRect{xr - half, y - half, xr + half, y + half};

    const double fLo = freq / edge;
    const int xl = FreqToSliderPos(fLo, W) + kPlotLeft - 10;
    left = CRect{xl - half, y - half, xl + half, y + half};
}

void PolygonFrame(int W, int H, CPoint poly[kPolyPoints])
{
    // Every element of every record lays its polygon on the same frequency grid, and the
    // logarithms are most of a layout's cost: the columns of a width are worked out once.
    thread_local int columnsWidth = -1;
    thread_local std::array<int, kFreqPoints> columns{};
    if (W != columnsWidth) {
        for (int i = 0; i < kFreqPoints; ++i)
            columns[std::size_t(i)] = FreqToWindowX(g_FreqTable241[i], W);
        columnsWidth = W;
    }
    const int y0 = GainToWindowY(0.0, H);
    poly[0] = CPoint{kPlotLeft, y0};
    poly[kPolyPoints - 1] = CPoint{W + kPlotLeft, y0};
    for (int i = 0; i < kFreqPoints; ++i)
        poly[i + 1].x = columns[std::size_t(i)];
}

void CurveY(const double dB[kFreqPoints], int H, CPoint points[kFreqPoints])
{
    // GainToIndex's rounding, four points at a time: truncation toward zero, NaN to 0, values
    // beyond the int range saturated.
    using v4d = double __attribute__((vector_size(32)));
    using v4i = std::int64_t __attribute__((vector_size(32)));
    using v4s = std::int32_t __attribute__((vector_size(16)));
    constexpr double lo = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<int>::max());
    const double scale = H / 24.0;
    int i = 0;
    for (; i + 4 <= kFreqPoints; i += 4) {
        v4d g;
        std::memcpy(&g, dB + i, sizeof g);
        v4d v = scale * (12.0 - g) + 0.5;
        const v4i number = (v4i)(v == v);
        v = (v4d)((v4i)v & number);  // NaN gives 0
        const v4i below = (v4i)(v < lo);
        v = (v4d)(((v4i)v & ~below) | ((v4i)(v4d{lo, lo, lo, lo}) & below));
        const v4i above = (v4i)(v > hi);
        v = (v4d)(((v4i)v & ~above) | ((v4i)(v4d{hi, hi, hi, hi}) & above));
        const v4s y = __builtin_convertvector(v, v4s);
        for (int k = 0; k < 4; ++k)
            points[i + k].y = y[k] + kPlotTop;
    }
    for (; i < kFreqPoints; ++i)
        points[i].y = GainToWindowY(dB[i], H);
}

void PolygonY(const double response[kFreqPoints], int H, CPoint poly[kPolyPoints])
{
    CurveY(response, H, poly + 1);
}

// ---- Hit testing --------------------------------------------------------------------------------

HitPart HitTest(const ElementGeometry &g, CPoint p, bool withHandles)
{
    if (g.marker.PtInRect(p))
        return HitPart::Marker;
    if (withHandles) {
        if (g.leftHandle.PtInRect(p))
            return HitPart::LeftHandle;
        if (g.rightHandle.PtInRect(p))
            return HitPart::RightHandle;
    }
    return HitPart::None;
}

int FirstMarkerAt(std::span<const CRect> markers, CPoint p)
{
    for (std::size_t i = 0; i < markers.size(); ++i) {
        if (markers[i].PtInRect(p))
            return static_cast<int>(i);
    }
    return -1;
}

// ---- Drags --------------------------------------------------------------------------------------

CPoint GrabOffset(const CRect &marker, CPoint p)
{
    const int cx = (marker.left + marker.right) / 2;
    const int cy = (marker.top + marker.bottom) / 2;
    return CPoint{p.x - cx, p.y - cy};
}

BandDragTarget BandDrag(CPoint p, CPoint grab, int W, int H, int freq, bool gainOnly)
{
    const int x = std::clamp(p.x - grab.x - kPlotLeft, 0, std::max(W, 0));
    const int y = std::clamp(p.y - grab.y - kPlotTop, 0, std::max(H, 0));
    BandDragTarget t;
    t.freq = gainOnly ? freq : SliderPosToFreq(x, W);
    t.gain = std::clamp(IndexToGain(y, H), -12.0, 12.0);
    t.onTopEdge = y == 0;
    return t;
}

int ShelfDragLimit(int type, int freq)
{
    constexpr int kShelfSplit = 2000;
    if (type == kTypeLowShelf && freq > kShelfSplit)
        return kShelfSplit;
    if (type == kTypeHighShelf && freq < kShelfSplit)
        return kShelfSplit;
    return freq;
}

double HandleGrab(BandHandle side, int x, int freq, double bandwidth, int W)
{
    const double edge = std::pow(2.0, bandwidth * 0.5);
    if (side == BandHandle::Left)
        return x - (FreqToSliderPosExact(freq / edge, W) + kPlotLeft);
    if (side == BandHandle::Right)
        return x - (FreqToSliderPosExact(freq * edge, W) + kPlotLeft);
    return 0.0;
}

double HandleDragBandwidth(BandHandle side, int x, double grab, int freq, int W)
{
    const int decade = W / 3;
    if (side == BandHandle::None || decade <= 0 || freq <= 0)
        return -1.0;
    // Positions between pixels keep the bandwidth continuous.
    const double pos = x - kPlotLeft - grab;
    const double f = 20.0 * std::pow(10.0, pos / decade);
    const double bw = side == BandHandle::Left ? 2.0 * std::log10(freq / f) / std::log10(2.0)
                                               : 2.0 * std::log10(f / freq) / std::log10(2.0);
    if (std::isnan(bw))
        return kBandwidthMin;
    return std::clamp(bw, kBandwidthMin, kBandwidthMax);
}

CrossoverDragTarget CrossoverDrag(int type, int dragMode, CPoint p, CPoint grab, int W, int freq, int other)
{
    if (type != kTypeHighPass && type != kTypeLowPass)
        return {};
    int x = p.x - grab.x - kPlotLeft;
    if (dragMode != 10 && dragMode != 11 && x <= 0) {
        // Left of the plot a high-pass switches off.
        if (type == kTypeHighPass)
            return {1, kFreqMin};
        x = 0;
    }
    if (x >= W)
        x = W;
    const int fNew = SliderPosToFreq(x, W);
    if (fNew == freq)
        return {};
    if (type == kTypeHighPass) {
        if (fNew <= other)
            return {1, fNew};
        const bool tweeterToTop = dragMode == 11 && fNew == kFreqMax;
        return {1, tweeterToTop ? kFreqMax : other};
    }
    return {1, fNew < other ? other : fNew};
}

} // namespace graph
