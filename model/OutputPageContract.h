#pragma once
// What the model and the link expect of the output page and its response graph. The page lives in
// panels/output and implements IOutputPage; until it registers itself, g_pOutputPage is null and
// callers skip the page. Nothing here needs Qt.

#include <array>
#include <atomic>

class IOutputPage {
public:
    virtual ~IOutputPage() = default;
    // Reloads the 31 band rows, the bypass states and the EQ mode of the selected output
    // (g_nSelOutput). Run after an equaliser reset.
    virtual void RefreshEQ() = 0;
    // With the speaker-type assignment mode on, selects the first output that has a speaker type
    // when the selected one has none; with the mode off, re-synchronises the link buttons. Run
    // after the device's speaker types arrived.
    virtual void SelectAssignedChannel() = 0;
};

// The output page once it exists, else null. Set and cleared on the UI thread; the page's
// operations are called on the UI thread only.
inline std::atomic<IOutputPage *> g_pOutputPage{nullptr};

// Curve-overlay flags: entry i decides whether the graph overlays output i's curve. Twelve
// entries, all 0 at start-up.
constexpr int kCurveOverlayFlagCount = 12;
inline std::array<std::atomic<int>, kCurveOverlayFlagCount> g_CurveOverlayFlags{};

