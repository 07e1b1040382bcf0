#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/DataDefine.h"

TEST(FreqGrid, AnchorsAndShape)
{
    EXPECT_DOUBLE_EQ(g_FreqTable241[0], 19.7);
    EXPECT_DOUBLE_EQ(g_FreqTable241[76], 179.0);   // off the 1/24-octave rule
    EXPECT_DOUBLE_EQ(g_FreqTable241[112], 500.0);
    EXPECT_DOUBLE_EQ(g_FreqTable241[kFreqIndex1k], 1000.0);
    EXPECT_DOUBLE_EQ(g_FreqTable241[160], 2000.0);
    EXPECT_DOUBLE_EQ(g_FreqTable241[192], 5000.0);
    EXPECT_DOUBLE_EQ(g_FreqTable241[240], 20000.0);
    for (int i = 1; i < kFreqPoints; ++i)
        EXPECT_LT(g_FreqTable241[i - 1], g_FreqTable241[i]) << i;
    // Every entry follows 1000 * 2^((i - 136) / 24), rounded to 0.1 Hz below 100 Hz and to 1 Hz
    // above (halves up, so 31.25 gives 31.3), except these, which the table holds as they are.
    struct OffRule { int index; double value; };
    const std::vector<OffRule> expected = {
        {72, 158},    {76, 179},    {99, 344},    {105, 409},
        {137, 1030},  {138, 1060},  {139, 1090},  {140, 1123},  {142, 1190},
        {182, 3776},  {192, 5000},  {217, 10374}, {222, 11987}, {240, 20000},
    };
    std::vector<int> offRule;
    for (int i = 0; i < kFreqPoints; ++i) {
        const double exact = 1000.0 * std::pow(2.0, (i - 136) / 24.0);
        const double rounded = exact < 100.0 ? std::round(exact * 10.0) / 10.0 : std::round(exact);
        if (std::fabs(rounded - g_FreqTable241[i]) > 1e-9)
            offRule.push_back(i);
    }
    ASSERT_EQ(offRule.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(offRule[k], expected[k].index);
        EXPECT_DOUBLE_EQ(g_FreqTable241[expected[k].index], expected[k].value);
    }
}

TEST(QTable, EveryEntryFollowsTheRule)
{
    for (int k = 0; k < kQSteps; ++k) {
        const double b = 0.05 + 0.01 * k;
        const double t = std::pow(2.0, b);
        const double q = std::sqrt(t) / (t - 1.0);
        EXPECT_NEAR(g_QTable[k], std::round(q * 1000.0) / 1000.0, 1e-9) << k;
    }
    EXPECT_DOUBLE_EQ(g_QTable[0], 28.852);
    EXPECT_DOUBLE_EQ(g_QTable[kDefaultBandwidthIndex], 2.515);
    EXPECT_DOUBLE_EQ(g_QTable[95], 1.414);
    EXPECT_DOUBLE_EQ(g_QTable[295], 0.404);
}

TEST(NearestFreqIndex, EdgeCases)
{
    struct Case { double f; int index; } cases[] = {
        {1010, 136},   // 10 Hz below against 20 Hz above
        {1015, 137},   // a tie goes up
        {25000, 240},  // above the grid
        {5, 0},        // below the grid
        {-100, 0},
        {19.7, 0},
        {20000, 240},
        {1000, 136},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NearestFreqIndex(c.f), c.index) << c.f;
    EXPECT_EQ(NearestFreqIndex(std::nan("")), 240);
    for (int i = 0; i < kFreqPoints; ++i)
        EXPECT_EQ(NearestFreqIndex(g_FreqTable241[i]), i);
}

TEST(PlotConversions, EdgeCases)
{
    EXPECT_EQ(FreqToSliderPos(1000, 600), 339);
    EXPECT_EQ(SliderPosToFreq(339, 600), 990);  // the way back loses precision
    EXPECT_EQ(SliderPosToFreq(0, 600), 20);
    EXPECT_EQ(SliderPosToFreq(700, 600), 20000);
    EXPECT_EQ(SliderPosToFreq(-50, 600), 20);
    EXPECT_EQ(FreqToSliderPos(20, 600), 0);
    EXPECT_EQ(FreqToSliderPos(20000, 600), 600);

    EXPECT_EQ(GainToIndex(0, 240), 120);
    EXPECT_EQ(GainToIndex(12, 240), 0);
    EXPECT_EQ(GainToIndex(-12, 240), 240);
    EXPECT_DOUBLE_EQ(GainToIndexExact(-7, 240), 190.0);

    struct Case { int i; double gain; } cases[] = {
        {120, 0}, {119, 0}, {114, 1}, {126, -1}, {0, 12}, {240, -12}, {115, 1}, {125, -1},  // halves go away from zero
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(IndexToGain(c.i, 240), c.gain) << c.i;
}

TEST(PlotConversions, DegenerateInputsStayDefined)
{
    // A frequency of 0 or below never reaches the logarithm; a plot narrower than 3 pixels has no
    // decade to divide by.
    EXPECT_EQ(FreqToSliderPos(0, 600), 0);
    EXPECT_EQ(FreqToSliderPos(-5, 600), 0);
    EXPECT_EQ(SliderPosToFreq(100, 0), 20);
    EXPECT_EQ(SliderPosToFreq(100, 2), 20);
    EXPECT_DOUBLE_EQ(IndexToGain(10, 0), 0.0);
    EXPECT_EQ(GainToIndex(std::nan(""), 240), 0);
    EXPECT_EQ(GainToIndex(-1e300, 240), std::numeric_limits<int>::max());
}

TEST(FindQIndex, EdgeCases)
{
    EXPECT_EQ(FindQIndex(1.414), 95);
    EXPECT_EQ(FindQIndex(100), 0);
    EXPECT_EQ(FindQIndex(0.1), 295);
    for (int k = 0; k < kQSteps; ++k)
        EXPECT_EQ(FindQIndex(g_QTable[k]), k);
}

TEST(ValueCodes, GainCodesRoundTrip)
{
    for (int code = kGainCodeMin; code <= kGainCodeMax; ++code)
        EXPECT_EQ(GainDbToCode(GainCodeToDb(code)), code) << code;
    EXPECT_DOUBLE_EQ(GainCodeToDb(kGainCodeZero), 0.0);
    EXPECT_DOUBLE_EQ(GainCodeToDb(0), -20.0);
    EXPECT_EQ(GainDbToCode(-3.5), 165);
}

TEST(ValueCodes, BandwidthIndexesRoundTrip)
{
    for (int k = 0; k < kQSteps; ++k)
        EXPECT_EQ(BandwidthOctToIndex(BandwidthIndexToOct(k)), k) << k;
    EXPECT_EQ(BandwidthOctToIndex(0.57), kDefaultBandwidthIndex);
}

TEST(ValueCodes, ClampsForOutsideValues)
{
    EXPECT_EQ(ClampGainCode(-400), 0);
    EXPECT_EQ(ClampGainCode(401), 400);
    EXPECT_EQ(ClampBandwidthIndex(-1), 0);
    EXPECT_EQ(ClampBandwidthIndex(32767), 295);
    EXPECT_EQ(ClampFreq(0), 20);
    EXPECT_EQ(ClampFreq(-32768), 20);
    EXPECT_EQ(ClampFreq(65535), 20000);
    EXPECT_EQ(ClampFreq(1000), 1000);
}

TEST(FormatTimeMs, Texts)
{
    EXPECT_EQ(FormatTimeMs(100), "2.100ms");
    EXPECT_EQ(FormatTimeMs(500), "34.0ms");
    EXPECT_EQ(FormatTimeMs(476), "9.996ms");
    EXPECT_EQ(FormatTimeMs(477), "11.0ms");
    EXPECT_EQ(FormatTimeMs(0), "0.000ms");
}
