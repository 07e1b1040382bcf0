#include "app/ViewLogic.h"

#include "platform/Gbk.h"

#include <algorithm>
#include <cstdint>

// ---- preset name ---------------------------------------------------------------------------------

namespace {

bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }
bool IsControl(unsigned char b) { return b < 0x20 || b == 0x7F; }

}  // namespace

PresetNameParts SplitPresetName(std::string_view gbk)
{
    const std::size_t n = std::min(gbk.size(), kPresetNameTextMax);
    PresetNameParts parts;
    bool singleAt11 = false;
    std::size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            if (!IsControl(b)) {
                parts.stored.push_back(char(b));
                // The character after a single-byte one at the last but one place is not shown.
                if (!(n == kPresetNameTextMax && i == kPresetNameTextMax - 1 && singleAt11))
                    parts.shown.push_back(char(b));
            }
            singleAt11 = i == kPresetNameTextMax - 2;
            ++i;
        } else if (IsLeadByte(b) && i + 1 < n && IsTrailByte(static_cast<unsigned char>(gbk[i + 1]))) {
            parts.shown.append(gbk.substr(i, 2));
            singleAt11 = false;
            i += 2;
        } else {
            // 0x80, 0xFF, or a lead byte whose trail is missing or cut off: no character.
            singleAt11 = false;
            ++i;
        }
    }
    return parts;
}

std::string Utf8ToGbkLossy(std::string_view utf8)
{
    if (auto whole = Utf8ToGbk(utf8))
        return *whole;
    // Character by character: the length of each sequence from its lead byte.
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
        // A sequence cut short or broken by a byte that does not continue it is its lead byte alone.
        for (std::size_t k = 1; k < len; ++k) {
            if (i + k >= utf8.size() || (static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        }
        if (auto one = Utf8ToGbk(utf8.substr(i, len)))
            out += *one;
        i += len;
    }
    return out;
}

// ---- mix table -----------------------------------------------------------------------------------

bool CMixTable::Set(int output, int row, int level)
{
    if (output < 0 || output >= kOutputs || row < 1 || row > kRows)
        return false;
    m_level[std::size_t(output)][std::size_t(row - 1)] = std::clamp(level, 0, kMaxLevel);
    return true;
}

int CMixTable::Level(int output, int row) const
{
    if (output < 0 || output >= kOutputs || row < 1 || row > kRows)
        return -1;
    return m_level[std::size_t(output)][std::size_t(row - 1)];
}

WPARAM CMixTable::MessageWParam(int output, int row)
{
    return WPARAM(unsigned(output) & 0xFFFFu) | (WPARAM(unsigned(row) & 0xFFFFu) << 16);
}

bool CMixTable::SetFromMessage(WPARAM wParam, LPARAM lParam)
{
    // Each word is read as a signed 16-bit value, so a negative index stays negative.
    const int output = static_cast<std::int16_t>(wParam & 0xFFFFu);
    const int row = static_cast<std::int16_t>((wParam >> 16) & 0xFFFFu);
    if (wParam > 0xFFFFFFFFu)
        return false;
    const LPARAM level = std::clamp<LPARAM>(lParam, -1, kMaxLevel + 1);
    return Set(output, row, int(level));
}

// ---- keys ----------------------------------------------------------------------------------------

ViewKeyAction ViewKeyActionFor(ViewKey key, int page)
{
    switch (key) {
    case ViewKey::Enter:
    case ViewKey::Escape: return ViewKeyAction::FocusView;
    case ViewKey::Tab: return page == 1 ? ViewKeyAction::FocusFirstBand : ViewKeyAction::Swallow;
    case ViewKey::Other: break;
    }
    return ViewKeyAction::PassOn;
}

// ---- input-source list ---------------------------------------------------------------------------

namespace {
constexpr std::array<int, kSourcePositions> kSourceAtPosition{1, 3, 0, 2};
}

int SourceCodeAtPosition(int position)
{
    if (position < 0 || position >= kSourcePositions)
        return -1;
    return kSourceAtPosition[std::size_t(position)];
}

int PositionOfSourceCode(int code)
{
    for (int p = 0; p < kSourcePositions; ++p) {
        if (kSourceAtPosition[std::size_t(p)] == code)
            return p;
    }
    return -1;
}

// ---- link look of the outputs --------------------------------------------------------------------

ChannelAssignments ComputeChannelAssignments(const std::array<int, kStripCount> &linkValues, int selected)
{
    ChannelAssignments out;
    const bool selValid = selected >= 0 && selected < kStripCount;
    const int selValue = selValid ? linkValues[std::size_t(selected)] : 0;
    for (int i = 0; i < kStripCount; ++i) {
        StripLinkLook &look = out.strips[std::size_t(i)];
        const int v = linkValues[std::size_t(i)];
        look.linkValue = v;
        look.group = (v >= 1 && v <= kLinkGroupCount) ? v - 1 : -1;
        look.selected = selValid && (i == selected || (v != 0 && v == selValue));
    }
    out.anchor = selValid && out.strips[std::size_t(selected)].group >= 0;
    return out;
}
