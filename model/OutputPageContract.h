#pragma once
// What the model expects of the output page and its response graph: the curve-overlay flags and
// the plot area. (What the link and the view call on the page is services/PageRegistry.h.) Nothing
// here needs Qt.

#include <array>
#include <atomic>

// Curve-overlay flags: entry i decides whether the graph overlays output i's curve. Twelve
// entries, all 0 at start-up.
constexpr int kCurveOverlayFlagCount = 12;
inline std::array<std::atomic<int>, kCurveOverlayFlagCount> g_CurveOverlayFlags{};

