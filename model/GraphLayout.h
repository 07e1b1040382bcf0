#pragma once
// Layout of the response graph's window: the plot rectangle inside the client rectangle, the x of
// the vertical grid lines, where the gain and frequency labels of the frame go, and how a marker's
// number sits in its box. Pure functions of the window size; the widget only draws what they say.

#include <array>
#include <string_view>

#include "model/GraphGeometry.h"
#include "platform/WinCompat.h"

namespace graph {

struct GraphLayout {
    CRect client;
    CRect plot;
    std::array<int, kGridLines> gridX{};  // window x of kGridFreqs[k]
};

// The plot inset into the client rectangle and the grid x of every grid frequency. An empty or
// inverted client gives an empty plot (width and height 0) instead of a negative one.
GraphLayout ComputeLayout(const CRect &client);

// One label of the frame: its text and the top-left corner of its text cell.
struct FrameLabel {
    std::string_view text;
    int x = 0;
    int y = 0;
};

// The nine gain labels +12 .. -12 dB at the left of the plot.
inline constexpr int kGainLabels = 9;
std::array<FrameLabel, kGainLabels> GainLabels(const GraphLayout &layout);
// The seventeen frequency labels 20 .. 20K below the plot.
inline constexpr int kFreqLabels = 17;
std::array<FrameLabel, kFreqLabels> FreqLabels(const GraphLayout &layout);

// Window y of horizontal grid line k of a plot divided into `divisions` rows.
int PlotLineY(const GraphLayout &layout, int k, int divisions);

// How an element's number sits in its marker box.
enum class MarkerAlign { Left, Center, Right };
MarkerAlign MarkerTextAlign(const CRect &marker, const CRect &plot, int freq);
// The text of an element's marker: its number from 1 for bands and shelves, "H" for the
// high-pass and "L" for the low-pass crossover. buf must hold 4 characters.
std::string_view MarkerText(int index, int type, char (&buf)[4]);

} // namespace graph
