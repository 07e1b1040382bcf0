#include "controls/NumSpinStep.h"

#include "model/DataDefine.h"
#include "model/DelayMath.h"

#include <algorithm>

namespace numspin {

bool IsGridMode(int mode) { return mode == 4 || mode == 8 || mode == 9; }

int ArrowTarget(int mode, int a, int delta)
{
    if (mode != kModeRatio)
        return a + delta;
    if (delta >= 1)
        return a <= 10 ? a + 1 : a + 5;
    if (delta < 0)
        return (a >= 1 && a <= 10) ? a - 1 : a - 5;
    return a;
}

std::optional<int> SnapToFreqGrid(int shown, int pos, int min, int max)
{
    if (shown == pos)
        return std::nullopt;
    const int last = 240;
    const int i = NearestFreqIndex(pos);
    int next = 0;
    if (shown < pos) {
        next = static_cast<int>(g_FreqTable241[std::min(i + 1, last)]);
        next = std::min(next, max);
    } else {
        next = i == 0 ? 0 : static_cast<int>(g_FreqTable241[i == 1 ? 1 : i - 1]);
        next = std::max(next, min);
    }
    return next;
}

std::optional<int> DelayStep(int displayType, int a, int pos, int delta)
{
    switch (displayType) {
    case 0:
        return pos;
    case 1:
        return StepDelayCm(a, delta);
    case 2:
        return StepDelayInch(a, delta);
    default:
        return std::nullopt;
    }
}

}  // namespace numspin
