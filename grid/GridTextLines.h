#pragma once
// The grid's comma-separated text file split into lines and fields, without Qt, so the loader's
// parsing can be fuzzed and tested on its own. A file is bounded by what a grid shows: at most
// kMaxFileBytes are read and the grid it makes has at most kMaxCells cells (the first line's
// fields times the number of lines). Anything larger is refused whole, as soon as the bound is
// passed, so the work is linear in the bytes read and the memory linear in the cells kept.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gridtext {

inline constexpr std::size_t kMaxFileBytes = 4u << 20;
inline constexpr std::size_t kMaxCells = 1u << 18;

// UTF-8 fields, one vector per line.
using Lines = std::vector<std::vector<std::string>>;

// The lines of a file (GBK bytes) as UTF-8 fields. A line ends at "\n" (a "\r" before it goes); a
// line feed at the very end starts no further line. A line's fields are cut at every comma; an
// empty field after a final comma counts only when the line has its line feed. The first line
// sets the number of columns: fields of a further line beyond it are dropped (they would be
// dropped by the grid anyway) and never stored. nullopt when the file or the grid it makes passes
// a bound above.
std::optional<Lines> Parse(std::string_view bytes);

}  // namespace gridtext
