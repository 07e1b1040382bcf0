#pragma once
// Geometry of the frequency-response graph, in graph-window pixels: where the plot lies in the
// window, how frequency and gain map onto it, where an equaliser element's marker, label box,
// bandwidth handles and response polygon sit, what a pointer hits, and what a pointer position
// means while a marker or a handle is dragged. Pure functions without state; the element keeps
// its parameters and the graph widget keeps its hover and drag state.
//
// The plot is W pixels wide and H pixels high and starts at (kPlotLeft, kPlotTop) in the window.
// Plot x grows with log frequency (FreqToSliderPos, 20 Hz at 0, three decades over the width),
// plot y grows downward with falling gain (GainToIndex, +12 dB at 0, -12 dB at H).

#include "model/DataDefine.h"
#include "platform/WinCompat.h"

#include <span>

namespace graph {

// ---- Plot rectangle -----------------------------------------------------------------------------

// The plot is the client rectangle inset by 40 on the left, 10 at the top, 10 on the right and 20
// at the bottom. Window coordinates are plot coordinates plus (kPlotLeft, kPlotTop).
inline constexpr int kPlotLeft = 40;
inline constexpr int kPlotTop = 10;
inline constexpr int kPlotInsetRight = 10;
inline constexpr int kPlotInsetBottom = 20;

constexpr CRect PlotRectFromClient(const CRect &client)
{
    return CRect{client.left + kPlotLeft, client.top + kPlotTop, client.right - kPlotInsetRight,
                 client.bottom - kPlotInsetBottom};
}

// Window x of a frequency on a plot W wide, and window y of a gain on a plot H high.
int FreqToWindowX(double freq, int W);
int GainToWindowY(double dB, int H);

// The frame's vertical grid lines: 20, 30 .. 100 Hz, 200 .. 1000 Hz, 2000 .. 10000 Hz.
inline constexpr int kGridLines = 27;
inline constexpr int kGridFreqs[kGridLines] = {20,   30,   40,   50,   60,   70,   80,   90,   100,
                                               200,  300,  400,  500,  600,  700,  800,  900,  1000,
                                               2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000};
// Window x of grid line k (kGridFreqs[k]).
int GridLineX(int k, int W);
// Window y of horizontal line k of `divisions` over a plot whose top is plotTop.
int GainLineY(int k, int divisions, int plotTop, int H);

// ---- Element layout -----------------------------------------------------------------------------

// Element types, as the equaliser elements number them.
inline constexpr int kTypePeq = 0;
inline constexpr int kTypeLowShelf = 1;
inline constexpr int kTypeHighShelf = 2;
inline constexpr int kTypeHighPass = 3;
inline constexpr int kTypeLowPass = 4;

inline constexpr int kMarkerSize = 16;
inline constexpr int kHandleSize = 8;
// The crossover markers sit on this gain line whatever their gain.
inline constexpr double kCrossoverMarkerGain = -7.0;
// Bands below this index may overhang the plot's left edge by half a marker.
inline constexpr int kFirstInsideBand = 9;

// Where an element is drawn: its marker, the box its value label is drawn in, and, for a band,
// its two bandwidth handles.
struct ElementGeometry {
    CRect marker;
    CRect label;
    CRect leftHandle;
    CRect rightHandle;
    bool operator==(const ElementGeometry &) const = default;
};

// What the marker layout of a band or shelf needs of it.
struct BandMarkerInput {
    int type = kTypePeq;
    int freq = 1000;
    double gain = 0.0;       // dB; the marker of a neutral band sits on 0 dB
    bool neutral = true;     // bypassed or flat
    int bandIndex = 0;
    bool gainOnlyLabel = false;
};

// Marker and label box of a band or shelf. The label box is set for PEQ and shelves only;
// other types keep the one they had (label is returned unchanged).
void LayoutBandMarker(const BandMarkerInput &in, int W, int H, CRect &marker, CRect &label);
// Where the value label of a selected marker is drawn: plate is the label's text plate at its
// usual place (below the marker); the first of below, above, right and left of the marker that
// stays inside the plot and covers none of the other markers is taken, else the usual place.
// others may hold the marker itself; it is skipped.
CRect PlaceLabelClearOfMarkers(const CRect &plate, const CRect &marker, std::span<const CRect> others,
                               const CRect &plot);
// Marker and label box of a crossover, on the -7 dB line; it may pass the plot's right edge by
// half a marker. The label box is set for high-pass and low-pass elements only.
void LayoutCrossoverMarker(int type, int freq, int W, int H, CRect &marker, CRect &label);
// The bandwidth handles of a band: 10 px below the marker centre (above it for a negative gain),
// 10 px outside the band edges freq * 2^(+-bandwidth / 2).
void LayoutHandles(const CRect &marker, int freq, double gain, double bandwidth, int W, CRect &left,
                   CRect &right);

// Response polygon: the 241 grid points closed along the 0 dB line.
inline constexpr int kPolyPoints = kFreqPoints + 2;
// Every x, and the y of the two closing points.
void PolygonFrame(int W, int H, CPoint poly[kPolyPoints]);
// The y of the 241 response points.
void PolygonY(const double response[kFreqPoints], int H, CPoint poly[kPolyPoints]);
// GainToWindowY of each of the 241 gains into points[i].y, for a whole curve at once.
void CurveY(const double dB[kFreqPoints], int H, CPoint points[kFreqPoints]);

// ---- Hit testing --------------------------------------------------------------------------------

enum class HitPart { None, Marker, LeftHandle, RightHandle };

// The part of one element under p: its marker first, then (with handles) the left and the
// right handle.
HitPart HitTest(const ElementGeometry &g, CPoint p, bool withHandles);
// Index of the first marker that contains p, or -1. Where markers overlap the lower index wins.
int FirstMarkerAt(std::span<const CRect> markers, CPoint p);

// ---- Drags --------------------------------------------------------------------------------------

enum class BandHandle { None, Left, Right };

// Pointer minus marker centre, remembered when a marker drag starts.
CPoint GrabOffset(const CRect &marker, CPoint p);

// Where a band or shelf goes when its marker is dragged to p: the frequency under the pointer
// (kept in gain-only mode), the gain under it in whole dB limited to +-12, and whether the
// pointer is on the plot's top edge (which always counts as a change).
struct BandDragTarget {
    int freq = 0;
    double gain = 0.0;
    bool onTopEdge = false;
};
BandDragTarget BandDrag(CPoint p, CPoint grab, int W, int H, int freq, bool gainOnly);
// A low shelf stays at or below 2000 Hz and a high shelf at or above: the frequency a shelf
// dragged to freq must take, or freq itself.
int ShelfDragLimit(int type, int freq);

// Pointer x minus the exact window x of the dragged band edge when a handle drag starts; the
// drag keeps this distance so the band does not jump on the first move.
double HandleGrab(BandHandle side, int x, int freq, double bandwidth, int W);
// Bandwidth in octaves, limited to 0.05..3.00, for a handle dragged to x; negative with
// BandHandle::None. The pointer frequency is not limited to the plot's 20..20000 Hz: a handle of
// a band near either end sits beyond it, and the bandwidth limits bound the result.
double HandleDragBandwidth(BandHandle side, int x, double grab, int freq, int W);

// The crossover drag limits: a high-pass stays at or below the partner (low-pass) frequency, a
// low-pass at or above the partner (high-pass) frequency. Drag mode 11 (a tweeter's high-pass)
// may jump to 20000 Hz at the right edge; modes other than 10 and 11 switch a high-pass off
// (20 Hz) left of the plot. changed is 0 when the pointer names the frequency the element has.
struct CrossoverDragTarget {
    int changed = 0;
    int freq = 0;
};
CrossoverDragTarget CrossoverDrag(int type, int dragMode, CPoint p, CPoint grab, int W, int freq, int other);

} // namespace graph
