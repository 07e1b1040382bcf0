#pragma once
// The main view's plain rules, without widgets, so tests can drive them: the preset name taken
// from a typed text, the mix table, the keys the view takes for itself, the input-source list and
// the link look of the output strips.

#include "services/PageRegistry.h"
#include "platform/WinCompat.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Messages the main view receives from the pages and the mixer, by the view's own numbers.
namespace ViewMsg {
// From the output page: show the volume page (it has no window; the tab stays empty).
inline constexpr unsigned ShowVolume = WM_USER + 301;
// From the mixer: one level of the mix table; wParam MixTableWParam(output, row), lParam the level.
inline constexpr unsigned MixTable = WM_USER + 530;
}  // namespace ViewMsg

// ---- preset name ---------------------------------------------------------------------------------

// At most this many bytes of a typed name are taken.
inline constexpr std::size_t kPresetNameTextMax = 13;

// A name typed or taken from a file name, split into what the view shows and what the device
// stores. Both are GBK bytes.
struct PresetNameParts {
    std::string shown;   // whole characters of the first 13 bytes
    std::string stored;  // its single-byte (ASCII) characters; empty when it has none
};

// Walks the GBK text character by character: a lead byte 0x81..0xFE and its trail byte
// (0x40..0x7E or 0x80..0xFE) are one character, shown but not stored; a byte below 0x80 is a
// character of its own, shown and stored. The text is cut at 13 bytes, never inside a character.
// When 13 bytes are taken and a single-byte character stands at position 11, the character at
// position 12 is stored but not shown. Bytes that start no character (0x80, 0xFF, a lead byte
// without its trail) and control characters are dropped.
PresetNameParts SplitPresetName(std::string_view gbk);

// UTF-8 text as GBK bytes; a character GBK cannot hold, or a malformed sequence, is left out.
std::string Utf8ToGbkLossy(std::string_view utf8);

// ---- mix table -----------------------------------------------------------------------------------

// The level of each input source in each output, as the mixer last reported it: 8 outputs by 12
// source rows (1..8 LINE1..LINE8, 9..12 Bluetooth left and right, S/PDIF left and right).
class CMixTable {
public:
    static constexpr int kOutputs = 8;
    static constexpr int kRows = 12;
    static constexpr int kMaxLevel = 100;

    CMixTable() { m_level.fill({}); for (auto &row : m_level) row.fill(kMaxLevel); }

    // Stores a level of output 0..7 and row 1..12, clamped to 0..100; anything else is refused
    // (false) and changes nothing.
    bool Set(int output, int row, int level);
    // The level, or -1 outside the table.
    int Level(int output, int row) const;
    // The message form: output in the low word, row in the high word.
    static WPARAM MessageWParam(int output, int row);
    // Stores what a WM_VIEW_MIX_TABLE message carries.
    bool SetFromMessage(WPARAM wParam, LPARAM lParam);

private:
    std::array<std::array<int, kRows>, kOutputs> m_level;
};

// ---- keys ----------------------------------------------------------------------------------------

enum class ViewKey { Enter, Escape, Tab, Other };
enum class ViewKeyAction {
    PassOn,          // not the view's: the window handles it
    FocusView,       // Enter and Esc: the view takes the focus, nothing else happens
    FocusFirstBand,  // Tab on the output page: the first band's field takes the focus
    Swallow,         // Tab on the other pages: nothing happens
};
// What a key press does on page `page` (0 input, 1 output, 2 volume).
ViewKeyAction ViewKeyActionFor(ViewKey key, int page);

// ---- input-source list ---------------------------------------------------------------------------

inline constexpr int kSourcePositions = 4;
// Source code of list position 0..3 (Hi.Level, AUX, SPDIF, Phone); -1 outside.
int SourceCodeAtPosition(int position);
// List position of a source code; -1 for a code the list does not show.
int PositionOfSourceCode(int code);

// ---- link look of the outputs --------------------------------------------------------------------

struct ChannelAssignments {
    std::array<StripLinkLook, kStripCount> strips{};
    // The selected output's link button is checked.
    bool anchor = false;
};

// The strips' selection and link looks for the outputs' link values and the selected output.
// Strips sharing the selected output's non-zero value are selected with it. A value 1..10 is a
// group number: its strip shows the group's badge, checked. Any other value (0, the link-group
// editor's member masks, stray bytes) has no group: the strip shows the plain link look,
// unchecked, and no group table is indexed with it.
ChannelAssignments ComputeChannelAssignments(const std::array<int, kStripCount> &linkValues, int selected);
