#include "model/FilterResponse.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

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

namespace {

// The evaluation runs eight grid points at a time. GCC and Clang lower these vector types to
// whatever the target has (four SSE2 operations each on a baseline x86-64 build); where the
// compiler can, the kernel is also built for AVX2 and AVX-512 and picked at load time. Every
// lane does the same IEEE operations in the same order whatever the width, so all builds give
// the same bits. FMA is not enabled: contracting the section terms would change the rounding.
using v4d = double __attribute__((vector_size(64)));
using v4u = std::uint64_t __attribute__((vector_size(64)));
using v4i = std::int64_t __attribute__((vector_size(64)));

constexpr int kLanes = 8;
constexpr int kPadded = (kFreqPoints + kLanes - 1) / kLanes * kLanes;

// cos and sin of the grid angles, padded with copies of the last point.
struct alignas(64) PaddedTrig {
    double c[kPadded];
    double s[kPadded];
    PaddedTrig()
    {
        const GridTrig &t = Trig();
        for (int i = 0; i < kPadded; ++i) {
            const int k = i < kFreqPoints ? i : kFreqPoints - 1;
            c[i] = t.c[k];
            s[i] = t.s[k];
        }
    }
};

const PaddedTrig &Padded()
{
    static const PaddedTrig trig;
    return trig;
}

// The helpers pass vectors by value but are always inlined, so no call crosses an ABI boundary.
#pragma GCC diagnostic ignored "-Wpsabi"
#define ZK_ALWAYS_INLINE inline __attribute__((always_inline))

ZK_ALWAYS_INLINE v4d Splat(double v)
{
    return v4d{v, v, v, v, v, v, v, v};
}

ZK_ALWAYS_INLINE v4d Select(v4i mask, v4d a, v4d b)
{
    return (v4d)(((v4u)a & (v4u)mask) | ((v4u)b & ~(v4u)mask));
}

// Natural logarithm of eight positive, normal, finite values, within one unit in the last place:
// the reduction and the polynomial of the classic fdlibm log, written without branches so that
// it runs on all lanes at once. x = 2^k * z with z in [sqrt(2)/2, sqrt(2)); then
// log(z) = f - f^2/2 + s (f^2/2 + R(s^2)) with f = z - 1 and s = f / (2 + f).
ZK_ALWAYS_INLINE v4d Log4(v4d x)
{
    constexpr std::uint64_t kOne = 0x3FF0000000000000ULL;
    constexpr std::uint64_t kSqrtHalf = 0x3FE6A09E667F3BCDULL;
    constexpr double kLn2Hi = 6.93147180369123816490e-01;
    constexpr double kLn2Lo = 1.90821492927058770002e-10;
    constexpr double kLg1 = 6.666666666666735130e-01;
    constexpr double kLg2 = 3.999999999940941908e-01;
    constexpr double kLg3 = 2.857142874366239149e-01;
    constexpr double kLg4 = 2.222219843214978396e-01;
    constexpr double kLg5 = 1.818357216161805012e-01;
    constexpr double kLg6 = 1.531383769920937332e-01;
    constexpr double kLg7 = 1.479819860511658591e-01;

    const v4u bits = (v4u)x;
    // The biased exponent of x after moving mantissas at or above sqrt(2) into the next binade.
    const v4u biased = (bits + (kOne - kSqrtHalf)) >> 52;
    const v4d z = (v4d)(bits - (biased << 52) + kOne);
    // The exponent as a double without an integer conversion instruction: the low bits of
    // 2^52 + e hold e exactly.
    const v4d k = (v4d)(biased | 0x4330000000000000ULL) - Splat(4503599627370496.0 + 1023.0);

    const v4d f = z - 1.0;
    const v4d s = f / (2.0 + f);
    const v4d zz = s * s;
    const v4d w = zz * zz;
    const v4d t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
    const v4d t2 = zz * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
    const v4d r = t2 + t1;
    const v4d hfsq = 0.5 * f * f;
    return k * kLn2Hi - ((hfsq - (s * (hfsq + r) + k * kLn2Lo)) - f);
}

struct NormalisedSections {
    double b0[4], b1[4], b2[4], a1[4], a2[4];
    int n = 0;
};

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(__SANITIZE_THREAD__)
#define ZK_RESPONSE_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define ZK_RESPONSE_CLONES
#endif

// 10 log10 of the cascade's power ratio at every (padded) grid point, for N sections.
template <int N>
ZK_ALWAYS_INLINE void EvalKernelN(const NormalisedSections &ns, double *out)
{
    constexpr double kDbPerNeper = 4.342944819032518;  // 10 / ln 10
    const PaddedTrig &t = Padded();
    v4d b0[N > 0 ? N : 1], b1[N > 0 ? N : 1], b2[N > 0 ? N : 1], a1[N > 0 ? N : 1], a2[N > 0 ? N : 1];
    for (int k = 0; k < N; ++k) {
        b0[k] = Splat(ns.b0[k]);
        b1[k] = Splat(ns.b1[k]);
        b2[k] = Splat(ns.b2[k]);
        a1[k] = Splat(ns.a1[k]);
        a2[k] = Splat(ns.a2[k]);
    }
    for (int i = 0; i < kPadded; i += kLanes) {
        v4d c, s;
        std::memcpy(&c, t.c + i, sizeof c);
        std::memcpy(&s, t.s + i, sizeof s);
        v4d num = Splat(1.0);
        v4d den = Splat(1.0);
        for (int k = 0; k < N; ++k) {
            const v4d nr = b0[k] * c + b1[k] + b2[k] * c;
            const v4d ni = b0[k] * s - b2[k] * s;
            const v4d dr = c + a1[k] + a2[k] * c;
            const v4d di = s - a2[k] * s;
            num *= nr * nr + ni * ni;
            den *= dr * dr + di * di;
        }
        // The cascade's power ratio; its dB value is the sum of the sections' dB values. Keep it
        // finite where a section has a zero or pole on the grid (NaN goes to the floor).
        v4d ratio = num / den;
        ratio = Select((v4i)(ratio > 1e-200), ratio, Splat(1e-200));
        ratio = Select((v4i)(ratio > 1e200), Splat(1e200), ratio);
        const v4d dB = Log4(ratio) * kDbPerNeper;
        std::memcpy(out + i, &dB, sizeof dB);
    }
}

ZK_RESPONSE_CLONES void EvalKernel(const NormalisedSections &ns, double *out)
{
    switch (ns.n) {
    case 1:
        EvalKernelN<1>(ns, out);
        break;
    case 2:
        EvalKernelN<2>(ns, out);
        break;
    case 3:
        EvalKernelN<3>(ns, out);
        break;
    case 4:
        EvalKernelN<4>(ns, out);
        break;
    default:
        EvalKernelN<0>(ns, out);
        break;
    }
}

} // namespace

void EvalSections(const BiquadSection *sections, int count, double out[kFreqPoints])
{
    // Normalise every section by its a0 once.
    NormalisedSections ns;
    for (int k = 0; k < count && ns.n < 4; ++k, ++ns.n) {
        const BiquadSection &s = sections[k];
        const double a0 = FloorA0(s.a0);
        ns.b0[ns.n] = s.b0 / a0;
        ns.b1[ns.n] = s.b1 / a0;
        ns.b2[ns.n] = s.b2 / a0;
        ns.a1[ns.n] = s.a1 / a0;
        ns.a2[ns.n] = s.a2 / a0;
    }
    alignas(64) double padded[kPadded];
    EvalKernel(ns, padded);
    std::memcpy(out, padded, sizeof(double) * kFreqPoints);
}

namespace {

// NearestFreqIndex by bisection of the rising grid: the same index, ties to the higher entry.
int NearestGridIndex(double f)
{
    const double *end = g_FreqTable241 + kFreqPoints;
    const double *hi = std::lower_bound(g_FreqTable241, end, f);
    if (hi == g_FreqTable241)
        return 0;
    if (hi == end)
        return kFreqPoints - 1;
    const int i = static_cast<int>(hi - g_FreqTable241);
    return f - g_FreqTable241[i - 1] < g_FreqTable241[i] - f ? i - 1 : i;
}

} // namespace

BiquadSection DesignPeq(int freq, double gainDb, double bandwidthOct)
{
    const double f0 = g_FreqTable241[NearestGridIndex(freq)];
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
    return s;
}

void PeqResponse(int freq, double gainDb, double bandwidthOct, double out[kFreqPoints])
{
    const BiquadSection s = DesignPeq(freq, gainDb, bandwidthOct);
    EvalSections(&s, 1, out);
}

bool DesignShelf(int type, int slope, int freq, double gainDb, BiquadSection &s)
{
    s = BiquadSection{};
    const bool low = type == 1;
    if ((type != 1 && type != 2) || (slope != 0 && slope != 1))
        return false;
    if (gainDb == 0.0)
        return true;  // the unity section
    double p;
    if (low)
        p = slope == 0 ? 2.0 : 1.2727272727;
    else
        p = slope == 0 ? 0.4545454546 : 0.76923076923;
    const double S = slope == 0 ? 0.5 : 1.3;
    const double w0 = freq * kRespAnglePerHz * p;
    const double A = std::pow(10.0, gainDb / kRespGainDivisor);
    const double alpha = (std::sin(w0) / 2.0) * std::sqrt((A + 1.0 / A) * (1.0 / S - 1.0) + 2.0);
    const double beta = 2.0 * std::sqrt(A) * alpha;
    const double C = std::cos(w0);
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
    return true;
}

bool ShelfResponse(int type, int slope, int freq, double gainDb, double out[kFreqPoints])
{
    BiquadSection s;
    if (!DesignShelf(type, slope, freq, gainDb, s)) {
        FlatResponse(out);
        return false;
    }
    if (gainDb == 0.0) {
        FlatResponse(out);  // the unity section is exactly 0 dB
        return true;
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
