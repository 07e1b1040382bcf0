#include "panels/output/OutputKeyNav.h"

#include <iterator>

namespace outkeys {
namespace {

enum class Mode { Any, Peq, Geq };

// Focus ids lo..hi under `mode`: the new focus is target (+ id − lo when relative); the selected
// band is band (+ id − lo when relative, −1 for none).
struct Row {
    int key;
    int lo, hi;
    Mode mode;
    int target;
    bool relative;
    int band;
    int redraw;
};

constexpr Row kRows[] = {
    {kRight, 4002, 4002, Mode::Any, 1004, false, -1, 31},
    {kRight, 1004, 1004, Mode::Any, 1005, false, -1, 32},
    {kRight, 1005, 1005, Mode::Peq, 5200, false, -1, -1},
    {kRight, 1005, 1005, Mode::Geq, 5000, false, -1, -1},
    {kRight, 5199, 5229, Mode::Peq, 5200, true, 0, -1},
    {kRight, 5230, 5230, Mode::Peq, 4500, false, 0, -1},
    {kRight, 4500, 4529, Mode::Peq, 4501, true, 1, -1},
    {kRight, 4530, 4530, Mode::Peq, 5000, false, 0, -1},
    {kRight, 4999, 5029, Mode::Any, 5000, true, 0, -1},
    {kRight, 5030, 5030, Mode::Any, kMasterVolumeEdit, false, -1, -1},
    {kLeft, 4002, 4002, Mode::Any, 5030, false, 30, -1},
    {kLeft, 1004, 1004, Mode::Any, kLastStripDelayEdit, false, -1, -1},
    {kLeft, 1005, 1005, Mode::Any, 1004, false, -1, 31},
    {kLeft, 5200, 5200, Mode::Peq, 1005, false, -1, -1},
    {kLeft, 5201, 5230, Mode::Peq, 5200, true, 0, -1},
    {kLeft, 4500, 4500, Mode::Peq, 5230, false, 30, -1},
    {kLeft, 4501, 4530, Mode::Peq, 4500, true, 0, -1},
    {kLeft, 5000, 5000, Mode::Peq, 4530, false, 30, -1},
    {kLeft, 5000, 5000, Mode::Geq, 1005, false, -1, -1},
    {kLeft, 5001, 5030, Mode::Any, 5000, true, 0, -1},
};

bool Matches(Mode m, bool geq)
{
    return m == Mode::Any || (m == Mode::Geq) == geq;
}

}  // namespace

Step KeyStep(int key, int focusId, bool geq)
{
    for (const Row &r : kRows) {
        if (r.key != key || focusId < r.lo || focusId > r.hi || !Matches(r.mode, geq))
            continue;
        const int offset = r.relative ? focusId - r.lo : 0;
        return Step{r.target + offset, r.band < 0 ? -1 : r.band + offset, r.redraw};
    }
    return {};
}

Step EnterStep(int focusId, bool geq)
{
    if (!geq) {
        if (focusId >= 5200 && focusId <= 5230)
            return Step{4500 + (focusId - 5200), focusId - 5200, -1};
        if (focusId >= 4500 && focusId <= 4530)
            return Step{5000 + (focusId - 4500), focusId - 4500, -1};
        if (focusId >= 5000 && focusId < 5030)
            return Step{5201 + (focusId - 5000), focusId - 5000 + 1, -1};
    }
    return KeyStep(kRight, focusId, geq);
}

}  // namespace outkeys
