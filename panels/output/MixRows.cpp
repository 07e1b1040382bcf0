#include "panels/output/MixRows.h"

#include "model/KTV_OutData.h"

#include <array>
#include <string>

namespace mixrow {
namespace {

constexpr std::array<Row, kRows> kTable{{
    {2818, 2848, 2849, StrId::MixTipLine, 33, 0},
    {2819, 2850, 2851, StrId::MixTipLine, 33, 1},
    {2820, 2852, 2853, StrId::MixTipLine, 33, 2},
    {2821, 2854, 2855, StrId::MixTipLine, 33, 3},
    {2822, 2856, 2857, StrId::MixTipLine, 33, 4},
    {2823, 2858, 2859, StrId::MixTipLine, 33, 5},
    {2824, 2860, 2861, StrId::MixTipLine, 33, 6},
    {2825, 2862, 2863, StrId::MixTipLine, 33, 7},
    {2826, 2864, 2865, StrId::MixTipBluetoothLeft, 34, 6},
    {2827, 2866, 2867, StrId::MixTipBluetoothRight, 34, 7},
    {2828, 2868, 2870, StrId::MixTipSpdifLeft, 34, 4},
    {2829, 2869, 2871, StrId::MixTipSpdifRight, 34, 5},
}};

template <class Field>
int Find(int id, Field field)
{
    for (std::size_t i = 0; i < kTable.size(); ++i)
        if (kTable[i].*field == id)
            return int(i) + 1;
    return 0;
}

}  // namespace

const Row *RowAt(int row) { return row >= 1 && row <= kRows ? &kTable[std::size_t(row - 1)] : nullptr; }
int RowOfEdit(int id) { return Find(id, &Row::edit); }
int RowOfSlider(int id) { return Find(id, &Row::slider); }
int RowOfSpin(int id) { return Find(id, &Row::spin); }

std::string TipText(int row, bool chinese)
{
    const Row *r = RowAt(row);
    if (!r)
        return {};
    if (r->tip == StrId::MixTipLine)
        return TrArgs(r->tip, chinese, {std::to_string(row)});
    return Tr(r->tip, chinese);
}

int Level(const CKTV_OutData &out, int row)
{
    const Row *r = RowAt(row);
    if (!r)
        return -1;
    return r->item == 33 ? out.GetGroup33Byte(r->byte) : out.GetGroup34Byte(r->byte);
}

void SetLevel(CKTV_OutData &out, int row, int level)
{
    const Row *r = RowAt(row);
    if (!r)
        return;
    if (r->item == 33)
        out.SetGroup33Byte(r->byte, level);
    else
        out.SetGroup34Byte(r->byte, level);
}

bool IsActiveRow(int source, int row)
{
    switch (source) {
    case 0: return row == 11 || row == 12;  // S/PDIF
    case 1: return row >= 1 && row <= 6;    // Hi.Level
    case 2: return row == 9 || row == 10;   // Phone: Bluetooth
    case 3: return row == 7 || row == 8;    // AUX
    default: return false;
    }
}

}  // namespace mixrow
