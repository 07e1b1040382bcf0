#pragma once
// The output page's keyboard walk across its edits, as one table: Right and Left step between
// the crossover frequency edits, the 31 frequency, Q and gain edits of the bands and the master
// volume edit; in GEQ mode the frequency and Q columns are skipped. Enter walks down a band's
// column (frequency, Q, gain, then the next band's frequency) in PEQ mode.

namespace outkeys {

inline constexpr int kLeft = 37;
inline constexpr int kRight = 39;

// Focus targets outside the page's own edits.
inline constexpr int kMasterVolumeEdit = 2812;  // the master volume strip's edit
inline constexpr int kLastStripDelayEdit = 2818;  // the delay edit of output 7's strip

// One step: the control that takes the focus (0: none, the key does nothing), the band whose
// label is selected (−1: none) and the graph item redrawn without a band (−1: none).
struct Step {
    int focus = 0;
    int selectBand = -1;
    int redrawItem = -1;
    bool operator==(const Step &) const = default;
};

Step KeyStep(int key, int focusId, bool geq);
// Enter in PEQ mode; ids outside the band columns step as Right.
Step EnterStep(int focusId, bool geq);

}  // namespace outkeys
