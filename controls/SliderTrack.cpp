#include "controls/SliderTrack.h"

#include <algorithm>
#include <cmath>

int SliderTrack::PosToPixel(int p) const
{
    const int span = max - min;
    const int travel = Travel();
    if (span <= 0 || travel <= 0)
        return FirstPixel();
    return static_cast<int>(std::trunc(static_cast<double>(travel) * (p - min) / span)) + FirstPixel();
}

int SliderTrack::PixelToPos(int x) const
{
    const int travel = Travel();
    if (max - min <= 0 || travel <= 0)
        return min;
    return static_cast<int>(std::trunc(min + static_cast<double>(x - FirstPixel()) / travel * (max - min)));
}

int SliderTrack::ClampPixel(int x) const
{
    const int lo = FirstPixel();
    const int hi = std::max(lo, LastPixel());
    return std::clamp(x, lo, hi);
}

int WheelAccumulator::Add(int delta)
{
    // Keep far from overflow whatever the caller sends.
    const long long total = static_cast<long long>(m_total) + delta;
    const long long notches = total / kNotch;
    m_total = static_cast<int>(total - notches * kNotch);
    return static_cast<int>(std::clamp<long long>(notches, -1'000'000, 1'000'000));
}
