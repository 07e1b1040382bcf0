#pragma once
// The three Hi.Level mixing values of the input block (SYS_INPUT bytes 5..7) as the mixing dialog
// edits them: their control ids, ranges and display set-up. The on/off byte is 4: 1 on, 0xFF off.
// Plain data, so the displays can be checked as a table without a window.

#include "model/DeviceImage.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace hilevel {

inline constexpr std::uint8_t kOn = 1;
inline constexpr std::uint8_t kOff = 0xFF;

struct Field {
    int edit;            // numeric edit id
    int spin;            // its hidden spin
    int byte;            // index into the input block (g_SysBlock2)
    int min, max;
    int type;            // numeric edit display type
    double scale, offset;
    const char *unit;
    int maxChars;
    int x, y, w, h;      // edit rectangle in dialog units
};

enum FieldIndex { Threshold, Attenuation, Release, FieldCount };

// Threshold v − 120 dBu, attenuation 120 − v dB, release v seconds.
inline constexpr std::array<Field, FieldCount> kFields{{
    {2818, 2858, 5, 0, 120, 26, 1.0, 120.0, "", 8, 110, 39, 54, 11},
    {2819, 2859, 6, 0, 120, 38, 1.0, 120.0, "dB", 8, 110, 65, 54, 11},
    {2820, 2860, 7, 2, 30, 20, 1.0, 1.0, "s", 6, 110, 92, 54, 11},
}};

inline std::atomic<std::uint8_t> &Byte(const Field &f)
{
    return g_SysBlock2[static_cast<std::size_t>(f.byte)];
}

inline bool MixingOn()
{
    return g_nNoiseGateOn.load() != kOff;
}

}  // namespace hilevel
