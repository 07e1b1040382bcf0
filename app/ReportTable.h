#pragma once
// What the parameter report lists: one row per parameter of an output, one column per output.
// Each equaliser band takes five rows (type, gain, frequency, Q or shelf slope, a blank), the 31
// bands rows 0..154; the crossovers, polarity, delay, gain, the two input levels, the mute state
// and the limiter follow from row 155. Qt-free: the texts are the records' own report texts in
// the interface language.

#include <string>
#include <vector>

class CKTV_Data;

namespace report {

inline constexpr int kRows = 174;
inline constexpr int kBands = 31;
inline constexpr int kRowsPerBand = 5;
inline constexpr int kOutputs = 8;
inline constexpr int kColumns = kOutputs + 1;  // the labels, then one column per output

// The rows after the bands.
enum Row : int {
    HpfType = kBands * kRowsPerBand,
    HpfFreq,
    HpfSlope,
    LpfType = HpfSlope + 2,
    LpfFreq,
    LpfSlope,
    Polarity = LpfSlope + 2,
    Delay,
    Gain,
    InLeft,
    InRight,
    Mute,
    Threshold = Mute + 2,
    Attack,
    Release,
};

// The first row of band b (0-based).
constexpr int BandRow(int band) { return band * kRowsPerBand; }

// The 174 row labels, in the language asked for.
std::vector<std::string> RowLabels(bool chinese);
// The column headers: "Args", then "CH1".."CH8".
std::vector<std::string> ColumnHeaders(bool chinese);

// The cells of the report in the interface language: kRows rows of kColumns texts, the first
// column the labels.
std::vector<std::vector<std::string>> Cells(CKTV_Data &tree);

}  // namespace report
