#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "model/DataDefine.h"
#include "model/FilterResponse.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// |H(e^jw)| in dB by complex arithmetic, as an independent check of the section evaluation.
double SectionDb(const BiquadSection &s, double w)
{
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> h = (s.b0 + s.b1 * z1 + s.b2 * z2) / (s.a0 + s.a1 * z1 + s.a2 * z2);
    return 20.0 * std::log10(std::abs(h));
}

bool AllZero(const double *r)
{
    for (int i = 0; i < kFreqPoints; ++i)
        if (r[i] != 0.0)
            return false;
    return true;
}

// Slope in dB per octave between two grid points.
double SlopePerOctave(const double *r, int i1, int i2)
{
    return (r[i2] - r[i1]) / std::log2(g_FreqTable241[i2] / g_FreqTable241[i1]);
}

} // namespace

TEST(FilterResponse, SectionEvaluationMatchesComplexMagnitude)
{
    const BiquadSection sections[] = {
        {1.2, -1.9, 0.8, 1.1, -1.85, 0.87},
        {0.3, 0.6, 0.3, 2.0, -0.4, 0.1},
        {1.0, -1.0, 0.0, 1.05, -0.95, 0.0},
    };
    double out[kFreqPoints];
    EvalSections(sections, 3, out);
    for (int i = 0; i < kFreqPoints; i += 7) {
        const double w = GridAngle(i);
        const double expected = SectionDb(sections[0], w) + SectionDb(sections[1], w) + SectionDb(sections[2], w);
        EXPECT_NEAR(out[i], expected, 1e-9) << i;
    }
    // A zero leading coefficient is replaced by 1e-10 rather than dividing by zero.
    const BiquadSection degenerate{1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    EvalSections(&degenerate, 1, out);
    for (int i = 0; i < kFreqPoints; ++i)
        ASSERT_TRUE(std::isfinite(out[i])) << i;
}

TEST(FilterResponse, PeakingBand)
{
    double r[kFreqPoints];
    PeqResponse(1000, 6.0, 0.57, r);
    EXPECT_NEAR(r[kFreqIndex1k], 6.0, 0.005);
    for (int i = 0; i < kFreqPoints; ++i)
        EXPECT_LE(r[i], r[kFreqIndex1k]) << i;
    EXPECT_NEAR(r[112], 0.42, 0.01);  // an octave below
    EXPECT_NEAR(r[160], 0.42, 0.01);  // an octave above

    // The centre snaps to the grid: 1010 Hz is computed as 1000 Hz.
    double snapped[kFreqPoints];
    PeqResponse(1010, 6.0, 0.57, snapped);
    for (int i = 0; i < kFreqPoints; ++i)
        EXPECT_EQ(snapped[i], r[i]) << i;

    PeqResponse(1000, -6.0, 0.57, r);
    EXPECT_NEAR(r[kFreqIndex1k], -6.0, 0.005);
}

TEST(FilterResponse, Shelves)
{
    double r[kFreqPoints];
    for (int slope = 0; slope <= 1; ++slope) {
        ASSERT_TRUE(ShelfResponse(1, slope, 200, 6.0, r));
        EXPECT_NEAR(r[0], 6.0, 0.5) << "low shelf, slope " << slope;
        EXPECT_NEAR(r[240], 0.0, 0.5) << "low shelf, slope " << slope;
        ASSERT_TRUE(ShelfResponse(2, slope, 5000, -6.0, r));
        EXPECT_NEAR(r[0], 0.0, 0.5) << "high shelf, slope " << slope;
        EXPECT_NEAR(r[240], -6.0, 0.5) << "high shelf, slope " << slope;
    }
    // +6 dB shelves at 800 Hz, at 500 and 2000 Hz: values worked out separately from the design
    // rules, so a wrong corner factor or slope parameter shows.
    struct Case { int type; int slope; double at500; double at2000; } cases[] = {
        {1, 0, 5.4352, 2.3639}, {1, 1, 5.9831, 0.0492}, {2, 0, 3.8925, 5.7945}, {2, 1, 1.5467, 6.0868}};
    for (const auto &c : cases) {
        ASSERT_TRUE(ShelfResponse(c.type, c.slope, 800, 6.0, r));
        EXPECT_NEAR(r[112], c.at500, 5e-5) << "type " << c.type << " slope " << c.slope;
        EXPECT_NEAR(r[160], c.at2000, 5e-5) << "type " << c.type << " slope " << c.slope;
    }
    // Exactly 0 dB is the unity section.
    ASSERT_TRUE(ShelfResponse(1, 0, 200, 0.0, r));
    EXPECT_TRUE(AllZero(r));
}

TEST(FilterResponse, CrossoverValuesAtTheCorner)
{
    double r[kFreqPoints];
    CrossoverResponse(true, 1000, 0, 3, 0, r);  // Linkwitz-Riley 24 dB/oct
    EXPECT_NEAR(r[kFreqIndex1k], -5.95, 0.005);
    CrossoverResponse(true, 1000, 1, 1, 0, r);  // Butterworth 12 dB/oct
    EXPECT_NEAR(r[kFreqIndex1k], -2.97, 0.005);
    CrossoverResponse(false, 1000, 0, 3, 0, r);
    EXPECT_NEAR(r[kFreqIndex1k], -5.95, 0.05);
}

// Every row of the crossover tables, checked against values worked out separately from the
// design rules: the gain at a 1000 Hz corner, and one octave into the stop band (500 Hz for a
// high-pass, 2000 Hz for a low-pass). A mistyped coefficient or a row drawn from the wrong table
// moves at least one of them.
TEST(FilterResponse, EveryCrossoverRowAtTheCornerAndAnOctaveOut)
{
    struct Value { double corner; double octave; };
    struct Row { bool high; int family; Value bySlope[8]; } rows[] = {
        {true, 0, {{-3.0103, -6.9916}, {-6.0206, -13.9831}, {-5.9851, -19.2838}, {-5.9497, -24.5844},
                   {-6.7472, -30.6093}, {-6.0206, -36.2720}, {-6.6527, -42.3571}, {-5.6201, -48.1516}}},
        {true, 1, {{-1.7491, -4.7491}, {-2.9748, -12.2922}, {-3.0103, -18.1360}, {-3.0067, -24.1155},
                   {-2.9723, -30.1026}, {-2.9436, -36.0982}, {-3.0976, -42.2146}, {-3.0359, -48.1926}}},
        {true, 2, {{-1.1668, -3.4899}, {-1.3866, -8.5407}, {-2.8331, -12.2884}, {-2.8402, -13.7560},
                   {-2.5424, -18.6119}, {-3.0261, -19.4486}, {-2.9350, -17.3818}, {-3.1905, -18.2352}}},
        {false, 0, {{-3.0103, -6.9972}, {-6.0206, -13.9943}, {-5.9851, -19.3026}, {-5.9497, -24.6108},
                    {-6.7472, -30.6427}, {-6.0206, -36.3133}, {-6.6527, -42.4053}, {-5.6201, -48.2074}}},
        {false, 1, {{-3.0103, -6.9972}, {-2.9748, -12.3054}, {-3.0103, -18.1566}, {-3.0067, -24.1433},
                    {-2.9723, -30.1375}, {-2.9436, -36.1402}, {-3.0976, -42.2634}, {-3.0359, -48.2484}}},
        {false, 2, {{-3.0103, -6.9972}, {-3.0113, -9.8318}, {-3.0119, -12.0259}, {-2.9616, -13.4502},
                    {-3.0123, -13.7213}, {-3.0098, -14.0133}, {-3.0107, -14.0936}, {-3.0106, -14.2067}}},
    };
    double r[kFreqPoints];
    for (const auto &row : rows) {
        for (int slope = 0; slope < 8; ++slope) {
            ASSERT_TRUE(CrossoverResponse(row.high, 1000, row.family, slope, 0, r));
            const Value &v = row.bySlope[slope];
            const char *dir = row.high ? "high-pass" : "low-pass";
            EXPECT_NEAR(r[kFreqIndex1k], v.corner, 5e-5) << dir << " family " << row.family << " slope " << slope;
            EXPECT_NEAR(r[row.high ? 112 : 160], v.octave, 5e-5)
                << dir << " family " << row.family << " slope " << slope;
        }
    }
}

TEST(FilterResponse, EffectiveSlopeRows)
{
    struct Case { bool high; int family; int slope; int reduced; int row; } cases[] = {
        // Bessel rows are swapped for the longer slopes.
        {true, 2, 4, 0, 6}, {true, 2, 5, 0, 7}, {true, 2, 6, 0, 4}, {true, 2, 7, 0, 5},
        {false, 2, 4, 0, 7}, {false, 2, 5, 0, 6}, {false, 2, 6, 0, 4}, {false, 2, 7, 0, 5},
        {true, 2, 3, 0, 3}, {true, 0, 4, 0, 4}, {true, 1, 7, 0, 7},
        // The reduced set draws slope 1 from the 18 dB/oct row.
        {true, 0, 1, 1, 2}, {false, 1, 1, 1, 2}, {true, 2, 1, 1, 2}, {true, 0, 2, 1, 2},
        // Outside the tables.
        {true, 3, 1, 0, -1}, {true, -1, 1, 0, -1}, {false, 0, 8, 0, -1}, {false, 0, -1, 0, -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EffectiveCrossoverSlope(c.high, c.family, c.slope, c.reduced), c.row)
            << c.high << " family " << c.family << " slope " << c.slope << " reduced " << c.reduced;

    double full[kFreqPoints], reduced[kFreqPoints];
    CrossoverResponse(true, 500, 0, 1, 1, reduced);
    CrossoverResponse(true, 500, 0, 2, 0, full);
    for (int i = 0; i < kFreqPoints; ++i)
        EXPECT_EQ(reduced[i], full[i]) << i;
}

TEST(FilterResponse, AsymptoticSlopeOfEveryFamilyAndSlope)
{
    // Far from the corner every cascade falls by 6 dB/oct per order of the row it is drawn from.
    // High-pass: corner near 20 kHz, measured between 40 and 80 Hz. Low-pass: corner at 25 Hz,
    // measured between 1 and 2 kHz.
    double r[kFreqPoints];
    for (int family = 0; family <= 2; ++family) {
        for (int slope = 0; slope <= 7; ++slope) {
            for (bool high : {true, false}) {
                const int row = EffectiveCrossoverSlope(high, family, slope, 0);
                const double expected = 6.0 * (row + 1);
                ASSERT_TRUE(CrossoverResponse(high, high ? 16000 : 25, family, slope, 0, r));
                const double s = high ? SlopePerOctave(r, 25, 49) : -SlopePerOctave(r, 136, 160);
                EXPECT_NEAR(s, expected, 0.5)
                    << (high ? "high-pass" : "low-pass") << " family " << family << " slope " << slope;
            }
        }
    }
}

TEST(FilterResponse, PassBandIsFlatFarFromTheCorner)
{
    double r[kFreqPoints];
    for (int family = 0; family <= 2; ++family) {
        for (int slope = 0; slope <= 7; ++slope) {
            CrossoverResponse(true, 25, family, slope, 0, r);
            EXPECT_NEAR(r[160], 0.0, 0.05) << "high-pass family " << family << " slope " << slope;
            CrossoverResponse(false, 16000, family, slope, 0, r);
            EXPECT_NEAR(r[40], 0.0, 0.05) << "low-pass family " << family << " slope " << slope;
        }
    }
}

TEST(FilterResponse, ValuesOutsideTheTablesAreFlat)
{
    double r[kFreqPoints];
    for (int i = 0; i < kFreqPoints; ++i)
        r[i] = kNaN;
    EXPECT_FALSE(ShelfResponse(1, 2, 1000, 6.0, r));
    EXPECT_TRUE(AllZero(r));
    EXPECT_FALSE(ShelfResponse(0, 0, 1000, 6.0, r));
    EXPECT_TRUE(AllZero(r));
    EXPECT_FALSE(CrossoverResponse(true, 1000, 3, 2, 0, r));
    EXPECT_TRUE(AllZero(r));
    EXPECT_FALSE(CrossoverResponse(false, 1000, 0, 200, 0, r));
    EXPECT_TRUE(AllZero(r));
}
