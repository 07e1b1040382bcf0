#pragma once
// The routing toggles of each output: g_OutRouteBits row i holds output i's toggles (entries 0, 1,
// 2 and 4 are used), mirrored as bits 0..7 of byte 7 of item 35 of output i's block in the current
// image, which the limiter item carries to the device.
//
// Threads: the UI thread writes; the table entries are atomics and the image byte is written
// under g_csImage.

#include "model/DeviceImage.h"

#include <array>
#include <atomic>

constexpr int kRouteEntries = 8;
extern std::array<std::array<std::atomic<int>, kRouteEntries>, DeviceImage::kOutCount> g_OutRouteBits;

// Entry e of output c becomes v (0 or 1) in the table and in the image byte, and the output's
// limiter item is marked for sending. False, and nothing changes, when the entry already holds the
// value or c or e is out of range.
bool SetOutputRouteBit(int c, int entry, int value);
// Every output's entries from byte 7 of its item 35 in the current image (after a device read).
void LoadOutputRouteBits();
