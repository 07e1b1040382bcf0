#include "model/ModeItemTable.h"

#include <algorithm>
#include <iterator>

ModeItemTable g_ModeItemTable;

namespace {

constexpr int kGroup0[6][kModeSourceCount] = {
    {0, 1, 1, 1, 1, 1, 1},
    {1, 0, 1, 1, 0, 0, 1},
    {1, 1, 0, 0, 1, 1, 1},
    {1, 1, 0, 0, 1, 1, 1},
    {1, 0, 1, 1, 0, 1, 1},
    {1, 0, 1, 1, 1, 0, 1},
};

constexpr int kGroup1[5][kModeSourceCount] = {
    {0, 1, 1, 1, 1, 0, 1},
    {1, 0, 1, 0, 0, 0, 1},
    {1, 1, 0, 0, 1, 0, 1},
    {1, 0, 0, 0, 1, 0, 1},
    {1, 0, 1, 1, 0, 0, 1},
};

constexpr int kGroup2[4][kModeSourceCount] = {
    {0, 1, 1, 1, 0, 0, 1},
    {1, 0, 1, 0, 0, 0, 1},
    {1, 1, 0, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 0, 1},
};

template <std::size_t R>
void CopyRows(int (&dst)[R][kModeSourceCount], const int (&src)[R][kModeSourceCount])
{
    for (std::size_t r = 0; r < R; ++r)
        std::copy(std::begin(src[r]), std::end(src[r]), std::begin(dst[r]));
}

}  // namespace

void ModeItemTable::Init()
{
    CopyRows(group0, kGroup0);
    CopyRows(group1, kGroup1);
    CopyRows(group2, kGroup2);
    mainSource = kModeSourceOff;
    std::copy(std::begin(group0[0]), std::end(group0[0]), std::begin(currentRow));
}

int ModeItemTable::Select(int input, int group)
{
    const int *row = nullptr;
    if (group == 0 && input >= 0 && input < 6)
        row = group0[input];
    else if (group == 1 && input >= 0 && input < 5)
        row = group1[input];
    else if (group == 2 && input >= 0 && input < 4)
        row = group2[input];
    if (row)
        std::copy(row, row + kModeSourceCount, currentRow);

    // A main source outside 0..6 (it is written directly by the input page) counts as not
    // allowed, so it falls back to OFF instead of indexing past the row.
    if (mainSource >= 0 && mainSource < kModeSourceCount && currentRow[mainSource] == 1)
        return 1;
    mainSource = kModeSourceOff;
    return 0;
}
