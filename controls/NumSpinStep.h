#pragma once
// The stepping rules of the numeric spin, without Qt: ratio steps, steps along the frequency
// grid and the delay steps that follow the shown centimetres or inches.

#include <optional>

namespace numspin {

// Stepping modes: the display type of the buddy edit when the range was set, or 2 for delays.
constexpr int kModeDelay = 2;
constexpr int kModeRatio = 40;
bool IsGridMode(int mode);  // 4, 8 and 9

// The arrow step from a before limiting: ratio steps in mode 40, otherwise a + delta.
int ArrowTarget(int mode, int a, int delta);

// After a step moved the position from `shown` (the buddy's value) to `pos`: the grid entry
// beyond the nearest one in the direction of the move, kept within [min, max]; nothing when
// the step did not move.
std::optional<int> SnapToFreqGrid(int shown, int pos, int min, int max);

// The delay step in the buddy's unit (display type 0 ms, 1 cm, 2 inch) from a by delta: the
// new position, or nothing for display types that do not step delays.
std::optional<int> DelayStep(int displayType, int a, int pos, int delta);

}  // namespace numspin
