#pragma once
// The grid's comma-separated text file, without a window: a line per row from row 0, the row's
// texts joined by ","; GBK bytes with CRLF line ends, as the program's other files. Texts are
// written as they are, so a comma or line break in a text splits it when read back; formats,
// colours, fonts and sizes are not stored.

#include "grid/GridModel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string GridTextFileBytes(const CGridModel &grid);

// The lines of a file as fields (gridtext::Parse, grid/GridTextLines.h): a line ends at "\n" (a
// "\r" before it goes); an empty field after a final comma counts only when the line has its line
// feed; a line feed at the very end starts no further line; fields beyond the first line's count
// are dropped. nullopt for a file larger than a grid shows.
std::optional<std::vector<QStringList>> ParseGridTextFile(std::string_view bytes);

// Rebuilds `grid` from parsed lines: the first line's fields become the columns (headings in row
// 0, centred), each further line a row whose first field heads it; fields beyond the last column
// are dropped. The rebuilt grid has no fixed rows or columns.
void FillGridFromText(CGridModel &grid, const std::vector<QStringList> &lines);
