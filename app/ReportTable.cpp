#include "app/ReportTable.h"

#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "res/Strings.h"

#include <algorithm>

namespace report {

std::vector<std::string> RowLabels(bool chinese)
{
    std::vector<std::string> labels(kRows);
    for (int b = 0; b < kBands; ++b) {
        const std::string n = std::to_string(b + 1);
        // Three bands carry their labels without the blank, as the product always showed them.
        const bool tight = b + 1 == 15 || b + 1 == 30 || b + 1 == 31;
        const int row = BandRow(b);
        labels[row] = TrArgs(StrId::ReportEqType, chinese, {n});
        labels[row + 1] = TrArgs(tight ? StrId::ReportEqGainTight : StrId::ReportEqGain, chinese, {n});
        labels[row + 2] = TrArgs(tight ? StrId::ReportEqFreqTight : StrId::ReportEqFreq, chinese, {n});
        labels[row + 3] = TrArgs(tight ? StrId::ReportEqQTight : StrId::ReportEqQ, chinese, {n});
    }
    const struct {
        int row;
        StrId id;
    } kFurther[] = {
        {HpfType, StrId::ReportHpfType},     {HpfFreq, StrId::ReportHpfFreq},   {HpfSlope, StrId::ReportHpfSlope},
        {LpfType, StrId::ReportLpfType},     {LpfFreq, StrId::ReportLpfFreq},   {LpfSlope, StrId::ReportLpfSlope},
        {Polarity, StrId::ReportPolarity},   {Delay, StrId::ReportDelay},       {Gain, StrId::ReportGain},
        {InLeft, StrId::ReportInLeft},       {InRight, StrId::ReportInRight},   {Mute, StrId::ReportMute},
        {Threshold, StrId::ReportThreshold}, {Attack, StrId::ReportAttack},     {Release, StrId::ReportRelease},
    };
    for (const auto &f : kFurther)
        labels[static_cast<std::size_t>(f.row)] = Tr(f.id, chinese);
    return labels;
}

std::vector<std::string> ColumnHeaders(bool chinese)
{
    std::vector<std::string> headers{Tr(StrId::ReportArgs, chinese)};
    for (int i = 1; i <= kOutputs; ++i)
        headers.push_back(TrArgs(StrId::ReportChannel, chinese, {std::to_string(i)}));
    return headers;
}

std::vector<std::vector<std::string>> Cells(CKTV_Data &tree)
{
    std::vector<std::vector<std::string>> cells(kRows, std::vector<std::string>(kColumns));
    const std::vector<std::string> labels = RowLabels(g_bChinese.load() != 0);
    for (int r = 0; r < kRows; ++r)
        cells[static_cast<std::size_t>(r)][0] = labels[static_cast<std::size_t>(r)];

    for (int o = 0; o < kOutputs; ++o) {
        const CKTV_OutData *out = tree.GetOut(o);
        if (!out)
            continue;
        const auto col = static_cast<std::size_t>(o + 1);
        const auto set = [&](int row, std::string text) { cells[static_cast<std::size_t>(row)][col] = std::move(text); };
        const int bands = std::min(kBands, out->GetEq().GetBandCount());
        for (int b = 0; b < bands; ++b) {
            const CFilter *band = out->GetBand(b);
            if (!band)
                continue;
            const int row = BandRow(b);
            set(row, band->GetTypeText());
            set(row + 1, band->GetGainText());
            set(row + 2, band->GetFreqText());
            // A peaking band shows its Q; a shelf its slope.
            set(row + 3, band->GetType() == CFilter::kTypePeq ? band->GetQText() : band->GetShelfSlopeText());
        }
        if (const CFilter *hpf = out->GetHpf()) {
            set(HpfType, hpf->GetFamilyText());
            set(HpfFreq, hpf->GetFreqText());
            set(HpfSlope, hpf->GetSlopeText());
        }
        if (const CFilter *lpf = out->GetLpf()) {
            set(LpfType, lpf->GetFamilyText());
            set(LpfFreq, lpf->GetFreqText());
            set(LpfSlope, lpf->GetSlopeText());
        }
        set(Polarity, out->GetPolarityText());
        set(Delay, out->GetDelayText());
        set(Gain, out->GetGainText());
        set(InLeft, out->GetMix0Text());
        set(InRight, out->GetMix1Text());
        set(Mute, out->GetOnText());
        set(Threshold, out->GetThresholdText());
        set(Attack, out->GetAttackText());
        set(Release, out->GetReleaseText());
    }
    return cells;
}

}  // namespace report
