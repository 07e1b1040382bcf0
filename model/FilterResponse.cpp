#include "model/FilterResponse.h"

#include <cmath>

namespace {

// cos and sin of every grid angle, computed once.
struct GridTrig {
    double w[kFreqPoints];
    double c[kFreqPoints];
    double s[kFreqPoints];
    GridTrig()
    {
        for (int i = 0; i < kFreqPoints; ++i) {
            w[i] = g_FreqTable241[i] * kRespTwoPi / kRespSampleRate;
            c[i] = std::cos(w[i]);
            s[i] = std::sin(w[i]);
        }
    }
};

const GridTrig &Trig()
{
    static const GridTrig trig;
    return trig;
}

double FloorA0(double a0)
{
    return a0 == 0.0 ? kRespA0Floor : a0;
}

// ---- Crossover tables ----

struct SectionRow {
    double c[4];
    double divisor;  // the corner is lowered to f / divisor; 1 keeps it
};

// Linkwitz-Riley, both directions.
constexpr SectionRow kLinkwitzRiley[8] = {
    {{1.0, 0, 0, 0}, 1.0},
    {{1.0, 0, 0, 0}, 1.0},
    {{1.0, 0.70422535211, 0, 0}, 1.0},
    {{0.70422535211, 0.70422535211, 0, 0}, 1.0},
    {{1.0, 0.62, 0.62, 0}, 1.0},
    {{1.0, 0.5, 0.5, 0}, 1.0},
    {{1.0, 0.453134315, 0.92592592593, 0.453134315}, 1.0},
    {{0.92592592593, 0.373134315, 0.92592592593, 0.373134315}, 1.0},
};

// Butterworth high-pass; the low-pass differs in rows 0 and 7.
constexpr SectionRow kButterworthHigh[8] = {
    {{0.70422535, 0, 0, 0}, 1.0},
    {{0.70422535, 0, 0, 0}, 1.0},
    {{1.0, 0.5, 0, 0}, 1.0},
    {{0.92592593, 0.38167939, 0, 0}, 1.0},
    {{1.0, 0.8064616129, 0.3086417953, 0}, 1.0},
    {{0.96153846, 0.70422535211, 0.2590673575, 0}, 1.0},
    {{1.0, 0.90909090909, 0.625, 0.2222222222}, 1.0},
    {{0.98039126, 0.83333333, 0.55555556, 0.1953125}, 1.0},
};
constexpr SectionRow kButterworthLow[8] = {
    {{1.0, 0, 0, 0}, 1.0},
    {{0.70422535, 0, 0, 0}, 1.0},
    {{1.0, 0.5, 0, 0}, 1.0},
    {{0.92592593, 0.38167939, 0, 0}, 1.0},
    {{1.0, 0.8064616129, 0.3086417953, 0}, 1.0},
    {{0.96153846, 0.70422535211, 0.2590673575, 0}, 1.0},
    {{1.0, 0.90909090909, 0.625, 0.2222222222}, 1.0},
    {{0.98039216, 0.83333333, 0.55555556, 0.1953125}, 1.0},
};

constexpr SectionRow kBesselHigh[8] = {
    {{0.70422535, 0, 0, 0}, 1.2683112435},
    {{0.70422535, 0, 0, 0}, 1.2683112435},
    {{0.756, 0.72463768, 0, 0}, 1.2854981442},
    {{0.96153846, 0.61728395, 0, 0}, 1.5006420029},
    {{0.6656, 0.8928571428, 0.54347826, 0}, 1.3854981442},
    {{0.980392156, 0.819672131, 0.490196, 0}, 1.5554981442},
    {{0.5937, 0.943396226415, 0.757575757576, 0.4424778761}, 1.5554981442},
    {{0.98039216, 0.89285714, 0.70422535, 0.40650406}, 1.679120141},
};

// Bessel low-pass rows 1..7: factors 1 / (B s^2 + A s + 1) with s normalised to the corner.
struct FactorRow {
    double a[4];
    double b[4];
    double divisor;
};
constexpr FactorRow kBesselLow[8] = {
    {{0, 0, 0, 0}, {0, 0, 0, 0}, 1.0},  // row 0 uses the first-order section instead
    {{1.0, 0, 0, 0}, {0.3333333333, 0, 0, 0}, 1.3616541287},
    {{0.5693712514, 0.430628846, 0, 0}, {0.154812441, 0, 0, 0}, 1.75567236868},
    {{0.369, 0.6278294896, 0, 0}, {0.087858766, 0.109408, 0, 0}, 2.1139176749},
    {{0.6656, 1.1402, 0.6216, 0}, {0, 0.4128, 0.3245, 0}, 1.0},
    {{1.2217, 0.9686, 0.5131, 0}, {0.3887, 0.3505, 0.2756, 0}, 1.0},
    {{0.5937, 1.0944, 0.8304, 0.4332}, {0, 0.3395, 0.3011, 0.2381}, 1.0},
    {{0.117235677, 0.226516664, 0.3067559, 0.3494916166},
     {0.02064747, 0.0259273886, 0.0294683265, 0.031272257},
     3.17961723751},
};

} // namespace

double GridAngle(int i)
{
    return Trig().w[i];
}

void FlatResponse(double out[kFreqPoints])
{
    for (int i = 0; i < kFreqPoints; ++i)
        out[i] = 0.0;
}

void EvalSections(const BiquadSection *sections, int count, double out[kFreqPoints])
{
    // Normalise every section by its a0 once.
    double b0[4], b1[4], b2[4], a1[4], a2[4];
    int n = 0;
    for (int k = 0; k < count && n < 4; ++k, ++n) {
        const BiquadSection &s = sections[k];
        const double a0 = FloorA0(s.a0);
        b0[n] = s.b0 / a0;
        b1[n] = s.b1 / a0;
        b2[n] = s.b2 / a0;
        a1[n] = s.a1 / a0;
        a2[n] = s.a2 / a0;
    }
    const GridTrig &t = Trig();
    for (int i = 0; i < kFreqPoints; ++i) {
        const double c = t.c[i];
        const double s = t.s[i];
        // The cascade's power ratio; its dB value is the sum of the sections' dB values.
        double ratio = 1.0;
        for (int k = 0; k < n; ++k) {
            const double nr = b0[k] * c + b1[k] + b2[k] * c;
            const double ni = b0[k] * s - b2[k] * s;
            const double dr = c + a1[k] + a2[k] * c;
            const double di = s - a2[k] * s;
            ratio *= (nr * nr + ni * ni) / (dr * dr + di * di);
        }
        // Keep the value finite where a section has a zero or pole on the grid.
        if (!(ratio > 1e-200))
            ratio = 1e-200;
        else if (ratio > 1e200)
            ratio = 1e200;
        out[i] = 10.0 * std::log10(ratio);
    }
}

void PeqResponse(int freq, double gainDb, double bandwidthOct, double out[kFreqPoints])
{
    const double f0 = g_FreqTable241[NearestFreqIndex(freq)];
    const double w0 = f0 * kRespAnglePerHz;
    const double A = std::pow(10.0, gainDb / kRespGainDivisor);
    const double sw = std::sin(w0);
    const double alpha = sw * std::sinh(kRespHalfLn2 * bandwidthOct * w0 / sw);
    BiquadSection s;
    s.b0 = 1.0 + alpha * A;
    s.b1 = -2.0 * std::cos(w0);
    s.b2 = 1.0 - alpha * A;
    s.a0 = 1.0 + alpha / A;
    s.a1 = -2.0 * std::cos(w0);
    s.a2 = 1.0 - alpha / A;
    EvalSections(&s, 1, out);
}

bool ShelfResponse(int type, int slope, int freq, double gainDb, double out[kFreqPoints])
{
    const bool low = type == 1;
    if ((type != 1 && type != 2) || (slope != 0 && slope != 1)) {
        FlatResponse(out);
        return false;
    }
    if (gainDb == 0.0) {
        FlatResponse(out);  // the unity section
        return true;
    }
    double p, S;
    if (low) {
        p = slope == 0 ? 2.0 : 1.2727272727;
    } else {
        p = slope == 0 ? 0.4545454546 : 0.76923076923;
    }
    S = slope == 0 ? 0.5 : 1.3;
    const double w0 = freq * kRespAnglePerHz * p;
    const double A = std::pow(10.0, gainDb / kRespGainDivisor);
    const double alpha = (std::sin(w0) / 2.0) * std::sqrt((A + 1.0 / A) * (1.0 / S - 1.0) + 2.0);
    const double beta = 2.0 * std::sqrt(A) * alpha;
    const double C = std::cos(w0);
    BiquadSection s;
    if (low) {
        s.b0 = A * ((A + 1) - (A - 1) * C + beta);
        s.b1 = 2 * A * ((A - 1) - (A + 1) * C);
        s.b2 = A * ((A + 1) - (A - 1) * C - beta);
        s.a0 = (A + 1) + (A - 1) * C + beta;
        s.a1 = -2 * ((A - 1) + (A + 1) * C);
        s.a2 = (A + 1) + (A - 1) * C - beta;
    } else {
        s.b0 = A * ((A + 1) + (A - 1) * C + beta);
        s.b1 = -2 * A * ((A - 1) + (A + 1) * C);
        s.b2 = A * ((A + 1) + (A - 1) * C - beta);
        s.a0 = (A + 1) - (A - 1) * C + beta;
        s.a1 = 2 * ((A - 1) - (A + 1) * C);
        s.a2 = (A + 1) - (A - 1) * C - beta;
    }
    EvalSections(&s, 1, out);
    return true;
}

int EffectiveCrossoverSlope(bool highPass, int family, int slope, int reducedSet)
{
    if (family < 0 || family > 2 || slope < 0 || slope > 7)
        return -1;
    int e = slope;
    if (reducedSet && e == 1)
        e = 2;
    if (family == 2 && e >= 4 && e <= 7) {
        static constexpr int kHigh[4] = {6, 7, 4, 5};
        static constexpr int kLow[4] = {7, 6, 4, 5};
        if (!highPass)
            e = kLow[e - 4];
        else if (!reducedSet)
            e = kHigh[e - 4];
    }
    return e;
}

int DesignCrossover(bool highPass, int freq, int family, int slope, int reducedSet,
                    BiquadSection sections[4])
{
    const int e = EffectiveCrossoverSlope(highPass, family, slope, reducedSet);
    if (e < 0)
        return -1;

    const bool besselFactors = !highPass && family == 2 && e != 0;
    double divisor = 1.0;
    SectionRow row{};
    if (besselFactors) {
        divisor = kBesselLow[e].divisor;
    } else if (!highPass && e == 0) {
        row = {{1.0, 0, 0, 0}, 1.0};  // every family's 6 dB/oct low-pass
    } else if (family == 0) {
        row = kLinkwitzRiley[e];
    } else if (family == 1) {
        row = highPass ? kButterworthHigh[e] : kButterworthLow[e];
    } else {
        row = kBesselHigh[e];
    }
    if (!besselFactors)
        divisor = row.divisor;

    const double fc = divisor == 1.0 ? static_cast<double>(freq) : freq / divisor;
    const double w0 = fc * kRespAnglePerHz;
    const double C = std::cos(w0);
    const double S = std::sin(w0);
    const double T = std::tan(kRespTanFactor * w0);

    int n = 0;
    if (besselFactors) {
        const FactorRow &fr = kBesselLow[e];
        const double T2 = T * T;
        for (int k = 0; k < 4; ++k) {
            const double A = fr.a[k];
            const double B = fr.b[k];
            if (A == 0.0)
                continue;
            BiquadSection &s = sections[n++];
            s.a0 = FloorA0(A * T + T2 + B);
            s.a1 = 2.0 * T2 - 2.0 * B;
            s.a2 = T2 - A * T + B;
            s.b0 = T2;
            s.b1 = 2.0 * T2;
            s.b2 = T2;
        }
        return n;
    }

    const bool firstOrder = e == 0 || e == 2 || e == 4 || e == 6;
    for (int k = 0; k < 4; ++k) {
        const double ck = row.c[k];
        if (ck == 0.0)
            continue;
        BiquadSection &s = sections[n++];
        if (k == 0 && firstOrder) {
            if (highPass) {
                s.a0 = ck * T + 1.0;
                s.a1 = ck * T - 1.0;
                s.b0 = 1.0;
                s.b1 = -1.0;
            } else {
                s.a0 = T + ck;
                s.a1 = T - ck;
                s.b0 = T;
                s.b1 = T;
            }
            s.a2 = 0.0;
            s.b2 = 0.0;
        } else {
            const double alpha = S * ck;
            s.a0 = 1.0 + alpha;
            s.a1 = -2.0 * C;
            s.a2 = 1.0 - alpha;
            s.b0 = (highPass ? (1.0 + C) : (1.0 - C)) * 0.5;
            s.b1 = highPass ? -2.0 * s.b0 : 2.0 * s.b0;
            s.b2 = s.b0;
        }
        s.a0 = FloorA0(s.a0);
    }
    return n;
}

bool CrossoverResponse(bool highPass, int freq, int family, int slope, int reducedSet,
                       double out[kFreqPoints])
{
    BiquadSection sections[4];
    const int n = DesignCrossover(highPass, freq, family, slope, reducedSet, sections);
    if (n < 0) {
        FlatResponse(out);
        return false;
    }
    EvalSections(sections, n, out);
    return true;
}
