#pragma once
// Geometry of the limiter curve: the static transfer curve of one output's limiter, input level to
// the right and output level upwards, both from -30 dB to +12 dB. Below the threshold the output
// follows the input; above it the output stays at the threshold. The threshold code T (0..420,
// level = T x 0.1 - 30 dB) places the knee; dragging the knee up or down sets a new one.
//
// Pure functions over window pixels, and the knee's pointer state (CKneeTracker); the widget
// (panels/output/COM_EXT_LIMStatic) holds one tracker and paints what these give.

#include "platform/WinCompat.h"

#include <array>
#include <optional>
#include <vector>

namespace limcurve {

// The plot is the client rectangle inset by 20 on the left, 5 at the top, 10 on the right and 15
// at the bottom; the left inset holds the output-level labels, the bottom one the input-level ones.
inline constexpr int kInsetLeft = 20;
inline constexpr int kInsetTop = 5;
inline constexpr int kInsetRight = 10;
inline constexpr int kInsetBottom = 15;
// Threshold codes: 0 is -30 dB, 300 is 0 dB, 420 is +12 dB; both axes span 420 steps.
inline constexpr int kThresholdMax = 420;
// The knee's hit area and dot, centred on the knee.
inline constexpr int kKneeSize = 6;

struct PointF {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const PointF &) const = default;
};

struct Layout {
    CRect client;
    CRect plot;
    double vs = 0.0;  // pixels per threshold step, upwards (plot height / 420)
    double hs = 0.0;  // pixels per threshold step, to the right (plot width / 420)
    PointF start;     // S: where the curve starts, 2 px above the plot's bottom-left corner
    PointF refEnd;    // R: the unity line's end at the plot's top-right corner
};

// The layout of a client rectangle. A client smaller than the insets gives an empty plot and
// zero scales, never an inverted plot.
Layout ComputeLayout(const CRect &client);

// The knee K of threshold t (limited to 0..420) and the curve's end E at the plot's right edge.
PointF Knee(const Layout &l, int threshold);
PointF CurveEnd(const Layout &l, int threshold);
// The knee's hit area as it is drawn: (trunc(K.x - 3), trunc(K.y - 3)), 6 x 6.
CRect KneeRect(const Layout &l, int threshold);
// x <= px < x + 6 and y <= py < y + 6; an empty rectangle contains nothing.
bool InKnee(const CRect &knee, CPoint p);
// The threshold under pointer y: trunc((plot bottom - y) / vs) limited to 0..420. A layout
// without height has no threshold to give.
std::optional<int> ThresholdAtY(const Layout &l, int y);

// The grid: output lines at 0, -10 and -20 dB (y), input lines at -20, -10 and 0 dB (x).
std::array<int, 3> GridLinesY(const Layout &l);
std::array<int, 3> GridLinesX(const Layout &l);

// The axis labels with the top-left corner each is drawn at: five output levels down the left
// edge (from the top) and four input levels under the plot (from the left; none at its left edge).
struct Label {
    const char *text;
    int x;
    int y;
};
std::array<Label, 9> Labels(const Layout &l);

// The labels a curve of this size has room for, in the order of Labels: every one where they
// fit; on a small curve those that would touch a label already kept are left out, the most
// telling kept first: 0 dB on both axes, the edges (+12 dB, -30 dB), then -20 and -10 dB. Kept
// labels are at least kLabelGap pixels apart. `textWidth` gives a text's width in pixels and
// `textHeight` the height of its digits.
inline constexpr int kLabelGap = 3;
template <typename Width>
std::vector<Label> FittingLabels(const Layout &l, Width &&textWidth, int textHeight);
// The box a label's text covers, with the width and digit height given.
CRect LabelBox(const Label &label, int width, int height);

// The knee's pointer state: idle, over the knee (a move into its rectangle), dragging (a press
// while over it), idle again at the release. While dragging only the pointer's y counts: the knee
// slides along the rising line.
class CKneeTracker {
public:
    // The pointer moved to p. Without a drag: the hover follows p and the knee rectangle, and the
    // result is empty. During a drag: the threshold under p when it differs from `threshold`.
    std::optional<int> Move(const Layout &l, const CRect &knee, CPoint p, int threshold);
    // Left button down: a drag starts when the pointer is over the knee. True when it started.
    bool Press();
    // Left button up: ends a drag. The hover is not tested again during a drag, so a release
    // always ends it.
    void Release();
    // Back to idle (another output shown, the window hidden).
    void Reset();

    bool Hover() const { return m_bHover; }
    bool Dragging() const { return m_bDrag; }

private:
    bool m_bHover = false;
    bool m_bDrag = false;
};

// ---- FittingLabels ----
namespace detail {
std::vector<Label> KeepApart(const std::array<Label, 9> &all, const std::array<CRect, 9> &boxes);
}

template <typename Width>
std::vector<Label> FittingLabels(const Layout &l, Width &&textWidth, int textHeight)
{
    const std::array<Label, 9> all = Labels(l);
    std::array<CRect, 9> boxes;
    for (std::size_t i = 0; i < all.size(); ++i)
        boxes[i] = LabelBox(all[i], textWidth(all[i].text), textHeight);
    return detail::KeepApart(all, boxes);
}

}  // namespace limcurve
