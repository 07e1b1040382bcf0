#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <string>
#include <vector>

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

// ---- Reference ------------------------------------------------------------------------------------
// The responses worked out again from the design rules and tables as the system states them, one
// section at a time with the standard library's logarithm, so that a faster evaluation can be
// checked value by value.
namespace {
namespace ref {

struct Sec {
    double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
};

double SectionDb(const Sec &s, int i)
{
    const double w = g_FreqTable241[i] * 6.2831852 / 96000.0;
    const double a0 = s.a0 == 0.0 ? 1e-10 : s.a0;
    const double b0 = s.b0 / a0, b1 = s.b1 / a0, b2 = s.b2 / a0, a1 = s.a1 / a0, a2 = s.a2 / a0;
    const double c = std::cos(w), sn = std::sin(w);
    const double nr = b0 * c + b1 + b2 * c, ni = b0 * sn - b2 * sn;
    const double dr = c + a1 + a2 * c, di = sn - a2 * sn;
    return 20.0 * std::log10(std::sqrt((nr * nr + ni * ni) / (dr * dr + di * di)));
}

std::vector<double> Sum(const std::vector<Sec> &secs)
{
    std::vector<double> r(kFreqPoints, 0.0);
    for (int i = 0; i < kFreqPoints; ++i)
        for (const Sec &s : secs)
            r[i] += SectionDb(s, i);
    return r;
}

std::vector<double> Peq(int freq, double g, double bw)
{
    int k = 0;
    for (int i = 1; i < kFreqPoints; ++i)
        if (std::fabs(g_FreqTable241[i] - freq) <= std::fabs(g_FreqTable241[k] - freq))
            k = i;
    const double w0 = g_FreqTable241[k] * 6.544985e-05;
    const double A = std::pow(10.0, g / 40.0);
    const double alpha = std::sin(w0) * std::sinh(0.34657359 * bw * w0 / std::sin(w0));
    return Sum({{1 + alpha * A, -2 * std::cos(w0), 1 - alpha * A, 1 + alpha / A, -2 * std::cos(w0), 1 - alpha / A}});
}

std::vector<double> Shelf(bool low, int slope, int freq, double g)
{
    const double p = low ? (slope ? 1.2727272727 : 2.0) : (slope ? 0.76923076923 : 0.4545454546);
    const double S = slope ? 1.3 : 0.5;
    const double w0 = freq * 6.544985e-05 * p;
    const double A = std::pow(10.0, g / 40.0);
    const double alpha = std::sin(w0) / 2 * std::sqrt((A + 1 / A) * (1 / S - 1) + 2);
    const double beta = 2 * std::sqrt(A) * alpha, C = std::cos(w0);
    if (low)
        return Sum({{A * ((A + 1) - (A - 1) * C + beta), 2 * A * ((A - 1) - (A + 1) * C),
                     A * ((A + 1) - (A - 1) * C - beta), (A + 1) + (A - 1) * C + beta,
                     -2 * ((A - 1) + (A + 1) * C), (A + 1) + (A - 1) * C - beta}});
    return Sum({{A * ((A + 1) + (A - 1) * C + beta), -2 * A * ((A - 1) + (A + 1) * C),
                 A * ((A + 1) + (A - 1) * C - beta), (A + 1) - (A - 1) * C + beta, 2 * ((A - 1) - (A + 1) * C),
                 (A + 1) - (A - 1) * C - beta}});
}

std::vector<double> Crossover(bool high, int freq, int family, int slope, int reduced)
{
    int e = slope;
    if (reduced && e == 1)
        e = 2;
    if (family == 2 && e >= 4 && e <= 7 && (!high || !reduced)) {
        const int hp[] = {6, 7, 4, 5}, lp[] = {7, 6, 4, 5};
        e = high ? hp[e - 4] : lp[e - 4];
    }
    static const double lr[8][4] = {{1.0}, {1.0}, {1.0, 0.70422535211}, {0.70422535211, 0.70422535211},
                                    {1.0, 0.62, 0.62}, {1.0, 0.5, 0.5},
                                    {1.0, 0.453134315, 0.92592592593, 0.453134315},
                                    {0.92592592593, 0.373134315, 0.92592592593, 0.373134315}};
    static const double bw[8][4] = {{0.70422535}, {0.70422535}, {1.0, 0.5}, {0.92592593, 0.38167939},
                                    {1.0, 0.8064616129, 0.3086417953}, {0.96153846, 0.70422535211, 0.2590673575},
                                    {1.0, 0.90909090909, 0.625, 0.2222222222},
                                    {0.98039216, 0.83333333, 0.55555556, 0.1953125}};
    static const double bh[8][4] = {{0.70422535}, {0.70422535}, {0.756, 0.72463768}, {0.96153846, 0.61728395},
                                    {0.6656, 0.8928571428, 0.54347826}, {0.980392156, 0.819672131, 0.490196},
                                    {0.5937, 0.943396226415, 0.757575757576, 0.4424778761},
                                    {0.98039216, 0.89285714, 0.70422535, 0.40650406}};
    static const double bhDiv[8] = {1.2683112435, 1.2683112435, 1.2854981442, 1.5006420029,
                                    1.3854981442, 1.5554981442, 1.5554981442, 1.679120141};
    static const double blA[8][4] = {{}, {1.0}, {0.5693712514, 0.430628846}, {0.369, 0.6278294896},
                                     {0.6656, 1.1402, 0.6216}, {1.2217, 0.9686, 0.5131},
                                     {0.5937, 1.0944, 0.8304, 0.4332},
                                     {0.117235677, 0.226516664, 0.3067559, 0.3494916166}};
    static const double blB[8][4] = {{}, {0.3333333333}, {0.154812441, 0}, {0.087858766, 0.109408},
                                     {0, 0.4128, 0.3245}, {0.3887, 0.3505, 0.2756}, {0, 0.3395, 0.3011, 0.2381},
                                     {0.02064747, 0.0259273886, 0.0294683265, 0.031272257}};
    static const double blDiv[8] = {1, 1.3616541287, 1.75567236868, 2.1139176749, 1, 1, 1, 3.17961723751};

    double c[4] = {};
    double div = 1.0;
    const bool factors = !high && family == 2 && e != 0;
    if (!high && e == 0) {
        c[0] = 1.0;
    } else if (factors) {
        div = blDiv[e];
    } else {
        const double(*row)[4] = family == 0 ? lr : family == 1 ? bw : bh;
        for (int k = 0; k < 4; ++k)
            c[k] = row[e][k];
        if (family == 1 && !high && e == 0)
            c[0] = 1.0;
        if (family == 1 && high && e == 7)
            c[0] = 0.98039126;  // the high-pass's own stored value
        if (family == 2)
            div = bhDiv[e];
    }
    const double fc = freq / div;
    const double w0 = fc * 6.544985e-05, C = std::cos(w0), S = std::sin(w0), T = std::tan(0.5 * w0);
    std::vector<Sec> secs;
    if (factors) {
        for (int k = 0; k < 4; ++k) {
            const double A = blA[e][k], B = blB[e][k], T2 = T * T;
            if (A != 0.0)
                secs.push_back({T2, 2 * T2, T2, A * T + T2 + B, 2 * T2 - 2 * B, T2 - A * T + B});
        }
        return Sum(secs);
    }
    for (int k = 0; k < 4; ++k) {
        if (c[k] == 0.0)
            continue;
        if (k == 0 && (e == 0 || e == 2 || e == 4 || e == 6)) {
            if (high)
                secs.push_back({1, -1, 0, c[0] * T + 1, c[0] * T - 1, 0});
            else
                secs.push_back({T, T, 0, T + c[0], T - c[0], 0});
            continue;
        }
        const double alpha = S * c[k];
        const double b0 = (high ? 1 + C : 1 - C) * 0.5;
        secs.push_back({b0, high ? -2 * b0 : 2 * b0, b0, 1 + alpha, -2 * C, 1 - alpha});
    }
    return Sum(secs);
}

} // namespace ref

void ExpectSame(const double *got, const std::vector<double> &want, const std::string &what)
{
    double worst = 0.0;
    int at = 0;
    for (int i = 0; i < kFreqPoints; ++i) {
        const double d = std::fabs(got[i] - want[i]);
        if (!(d <= worst)) {
            worst = d;
            at = i;
        }
    }
    EXPECT_LE(worst, 1e-9) << what << ": " << got[at] << " against " << want[at] << " dB at point " << at;
}

} // namespace

TEST(FilterResponse, EveryElementKindMatchesTheReference)
{
    double r[kFreqPoints];
    for (int freq : {20, 63, 1000, 1010, 12500, 20000}) {
        for (double g : {-20.0, -6.5, 0.1, 12.0, 20.0}) {
            for (double bw : {0.05, 0.57, 3.0}) {
                PeqResponse(freq, g, bw, r);
                ExpectSame(r, ref::Peq(freq, g, bw), "PEQ " + std::to_string(freq) + " Hz " + std::to_string(g) + " dB");
            }
            for (int type : {1, 2}) {
                for (int slope : {0, 1}) {
                    ASSERT_TRUE(ShelfResponse(type, slope, freq, g, r));
                    ExpectSame(r, ref::Shelf(type == 1, slope, freq, g),
                               "shelf " + std::to_string(type) + " slope " + std::to_string(slope) + " " +
                                   std::to_string(freq) + " Hz " + std::to_string(g) + " dB");
                }
            }
        }
    }
    for (bool high : {true, false}) {
        for (int family = 0; family <= 2; ++family) {
            for (int slope = 0; slope <= 7; ++slope) {
                for (int reduced : {0, 1}) {
                    for (int freq : {21, 100, 1000, 8000, 19999}) {
                        ASSERT_TRUE(CrossoverResponse(high, freq, family, slope, reduced, r));
                        ExpectSame(r, ref::Crossover(high, freq, family, slope, reduced),
                                   std::string(high ? "high-pass" : "low-pass") + " family " + std::to_string(family) +
                                       " slope " + std::to_string(slope) + " reduced " + std::to_string(reduced) +
                                       " at " + std::to_string(freq) + " Hz");
                    }
                }
            }
        }
    }
}
