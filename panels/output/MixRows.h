#pragma once
// The twelve rows of a source mix panel and the rules around them, without widgets: which record
// byte each row shows and writes, its control ids and tip, which rows stand for the active input
// source, and how a change's output and row travel in a message.
//
// Rows 1..8 are LINE1..LINE8 (item 33, bytes 0..7), rows 9 and 10 Bluetooth left and right
// (item 34, bytes 6 and 7), rows 11 and 12 S/PDIF left and right (item 34, bytes 4 and 5).

#include "platform/WinCompat.h"
#include "res/Strings.h"

#include <cstdint>
#include <string>

class CKTV_OutData;

namespace mixrow {

inline constexpr int kRows = 12;
inline constexpr int kMaxLevel = 100;

struct Row {
    int edit;     // numeric edit
    int slider;   // horizontal slider
    int spin;     // hidden step control bound to the edit
    StrId tip;    // the tip of edit and slider (MixTipLine takes the row number)
    int item;     // 33 or 34
    int byte;     // byte of that item
};

// Row 1..12; nullptr outside.
const Row *RowAt(int row);
// The row (1..12) a control id belongs to; 0 for an id of no row.
int RowOfEdit(int id);
int RowOfSlider(int id);
int RowOfSpin(int id);

// The tip of a row in a language.
std::string TipText(int row, bool chinese);

// The stored byte of the row (0..255), or -1 for a row outside 1..12.
int Level(const CKTV_OutData &out, int row);
// Writes the row's byte through the record's setter (stores and stamps when it changed).
void SetLevel(CKTV_OutData &out, int row, int level);

// Whether the row stands for input source `source` (g_nInputSource): Hi.Level (1) marks LINE1..6,
// AUX (3) LINE7 and LINE8, S/PDIF (0) the S/PDIF rows, Phone (2, the Bluetooth source) the
// Bluetooth rows; any other source marks none.
bool IsActiveRow(int source, int row);

// A change's output and row as one message parameter: output in the low word, row in the high
// word (the form the main view's mix table reads).
inline WPARAM ChangeWParam(int output, int row)
{
    return WPARAM(unsigned(output) & 0xFFFFu) | (WPARAM(unsigned(row) & 0xFFFFu) << 16);
}
inline int ChangeOutput(WPARAM w) { return static_cast<std::int16_t>(w & 0xFFFFu); }
inline int ChangeRow(WPARAM w) { return static_cast<std::int16_t>((w >> 16) & 0xFFFFu); }

}  // namespace mixrow
