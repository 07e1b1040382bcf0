#include "model/DataDefine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

const double g_FreqTable241[kFreqPoints] = {
    19.7, 20.3, 20.9, 21.5, 22.1, 22.7, 23.4, 24.1, 24.8, 25.5,
    26.3, 27.0, 27.8, 28.7, 29.5, 30.4, 31.3, 32.2, 33.1, 34.1,
    35.1, 36.1, 37.2, 38.3, 39.4, 40.5, 41.7, 42.9, 44.2, 45.5,
    46.8, 48.2, 49.6, 51.1, 52.6, 54.1, 55.7, 57.3, 59.0, 60.7,
    62.5, 64.3, 66.2, 68.2, 70.2, 72.2, 74.3, 76.5, 78.7, 81.1,
    83.4, 85.9, 88.4, 91.0, 93.6, 96.4, 99.2, 102.0, 105.0, 108.0,
    111.0, 115.0, 118.0, 121.0, 125.0, 129.0, 132.0, 136.0, 140.0, 144.0,
    149.0, 153.0, 158.0, 162.0, 167.0, 172.0, 179.0, 182.0, 187.0, 193.0,
    198.0, 204.0, 210.0, 216.0, 223.0, 229.0, 236.0, 243.0, 250.0, 257.0,
    265.0, 273.0, 281.0, 289.0, 297.0, 306.0, 315.0, 324.0, 334.0, 344.0,
    354.0, 364.0, 375.0, 386.0, 397.0, 409.0, 420.0, 433.0, 445.0, 459.0,
    472.0, 486.0, 500.0, 515.0, 530.0, 545.0, 561.0, 578.0, 595.0, 612.0,
    630.0, 648.0, 667.0, 687.0, 707.0, 728.0, 749.0, 771.0, 794.0, 817.0,
    841.0, 866.0, 891.0, 917.0, 944.0, 972.0, 1000.0, 1030.0, 1060.0, 1090.0,
    1123.0, 1155.0, 1190.0, 1224.0, 1260.0, 1297.0, 1335.0, 1374.0, 1414.0, 1456.0,
    1498.0, 1542.0, 1587.0, 1634.0, 1682.0, 1731.0, 1782.0, 1834.0, 1888.0, 1943.0,
    2000.0, 2059.0, 2119.0, 2181.0, 2245.0, 2311.0, 2378.0, 2448.0, 2520.0, 2594.0,
    2670.0, 2748.0, 2828.0, 2911.0, 2997.0, 3084.0, 3175.0, 3268.0, 3364.0, 3462.0,
    3564.0, 3668.0, 3776.0, 3886.0, 4000.0, 4117.0, 4238.0, 4362.0, 4490.0, 4621.0,
    4757.0, 4896.0, 5000.0, 5187.0, 5339.0, 5496.0, 5657.0, 5823.0, 5993.0, 6169.0,
    6350.0, 6536.0, 6727.0, 6924.0, 7127.0, 7336.0, 7551.0, 7772.0, 8000.0, 8234.0,
    8476.0, 8724.0, 8980.0, 9243.0, 9514.0, 9792.0, 10079.0, 10374.0, 10679.0, 10992.0,
    11314.0, 11645.0, 11987.0, 12338.0, 12699.0, 13071.0, 13454.0, 13849.0, 14254.0, 14672.0,
    15102.0, 15545.0, 16000.0, 16469.0, 16951.0, 17448.0, 17959.0, 18486.0, 19027.0, 19585.0,
    20000.0,
};

const double g_QTable[kQSteps] = {
    28.852, 24.043, 20.608, 18.031, 16.027, 14.424, 13.112, 12.019, 11.094, 10.301,
    9.614, 9.012, 8.482, 8.010, 7.588, 7.208, 6.864, 6.551, 6.266, 6.004,
    5.764, 5.541, 5.336, 5.144, 4.966, 4.800, 4.645, 4.499, 4.362, 4.233,
    4.112, 3.997, 3.889, 3.786, 3.688, 3.595, 3.507, 3.423, 3.343, 3.266,
    3.193, 3.123, 3.056, 2.992, 2.930, 2.871, 2.814, 2.759, 2.707, 2.656,
    2.607, 2.560, 2.515, 2.471, 2.428, 2.387, 2.348, 2.309, 2.272, 2.236,
    2.201, 2.167, 2.134, 2.102, 2.071, 2.041, 2.012, 1.983, 1.955, 1.928,
    1.902, 1.877, 1.852, 1.827, 1.804, 1.780, 1.758, 1.736, 1.714, 1.693,
    1.673, 1.653, 1.633, 1.614, 1.596, 1.577, 1.559, 1.542, 1.525, 1.508,
    1.492, 1.475, 1.460, 1.444, 1.429, 1.414, 1.400, 1.385, 1.371, 1.358,
    1.344, 1.331, 1.318, 1.305, 1.293, 1.280, 1.268, 1.256, 1.245, 1.233,
    1.222, 1.211, 1.200, 1.189, 1.179, 1.168, 1.158, 1.148, 1.138, 1.128,
    1.119, 1.109, 1.100, 1.091, 1.082, 1.073, 1.064, 1.056, 1.047, 1.039,
    1.031, 1.023, 1.015, 1.007, 0.999, 0.991, 0.984, 0.976, 0.969, 0.961,
    0.954, 0.947, 0.940, 0.933, 0.927, 0.920, 0.913, 0.907, 0.900, 0.894,
    0.887, 0.881, 0.875, 0.869, 0.863, 0.857, 0.851, 0.845, 0.840, 0.834,
    0.828, 0.823, 0.817, 0.812, 0.807, 0.801, 0.796, 0.791, 0.786, 0.781,
    0.776, 0.771, 0.766, 0.761, 0.757, 0.752, 0.747, 0.742, 0.738, 0.733,
    0.729, 0.724, 0.720, 0.716, 0.711, 0.707, 0.703, 0.699, 0.695, 0.690,
    0.686, 0.682, 0.678, 0.674, 0.671, 0.667, 0.663, 0.659, 0.655, 0.652,
    0.648, 0.644, 0.641, 0.637, 0.633, 0.630, 0.626, 0.623, 0.620, 0.616,
    0.613, 0.609, 0.606, 0.603, 0.600, 0.596, 0.593, 0.590, 0.587, 0.584,
    0.581, 0.577, 0.574, 0.571, 0.568, 0.565, 0.563, 0.560, 0.557, 0.554,
    0.551, 0.548, 0.545, 0.543, 0.540, 0.537, 0.534, 0.532, 0.529, 0.526,
    0.524, 0.521, 0.518, 0.516, 0.513, 0.511, 0.508, 0.506, 0.503, 0.501,
    0.498, 0.496, 0.493, 0.491, 0.489, 0.486, 0.484, 0.482, 0.479, 0.477,
    0.475, 0.473, 0.470, 0.468, 0.466, 0.464, 0.461, 0.459, 0.457, 0.455,
    0.453, 0.451, 0.449, 0.447, 0.445, 0.442, 0.440, 0.438, 0.436, 0.434,
    0.432, 0.430, 0.428, 0.427, 0.425, 0.423, 0.421, 0.419, 0.417, 0.415,
    0.413, 0.411, 0.410, 0.408, 0.406, 0.404,
};

const char *const g_GeqLabels15[15] = {
    "25", "40", "63", "100", "160", "250", "400", "630", "1000", "1600", "2500", "4000", "6288", "10000", "16000",
};

namespace {

// Truncation toward zero that stays defined for any double: NaN gives 0 and values beyond the
// int range saturate.
int TruncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<int>::max());
    if (v <= lo)
        return std::numeric_limits<int>::min();
    if (v >= hi)
        return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

} // namespace

double GainCodeToDb(int code)
{
    return code * 0.1 - 20.0;
}

int GainDbToCode(double dB)
{
    return TruncToInt((dB + 20.0) * 100.0 / 10.0 + 0.5);
}

double BandwidthIndexToOct(int index)
{
    return index * 0.01 + 0.05;
}

int BandwidthOctToIndex(double bw)
{
    return TruncToInt((bw - 0.05) / 0.01 + 0.05);
}

int ClampGainCode(int code)
{
    return std::clamp(code, kGainCodeMin, kGainCodeMax);
}

int ClampBandwidthIndex(int index)
{
    return std::clamp(index, 0, kBandwidthIndexMax);
}

int ClampFreq(int hz)
{
    return std::clamp(hz, kFreqMin, kFreqMax);
}

int GainToIndex(double dB, int n)
{
    return TruncToInt((n / 24.0) * (12.0 - dB) + 0.5);
}

double GainToIndexExact(double dB, int n)
{
    return (n / 24.0) * (12.0 - dB);
}

double IndexToGain(int i, int n)
{
    if (n <= 0)
        return 0.0;
    return std::round(12.0 - i * 24.0 / n);
}

double FreqToSliderPosExact(double f, int n)
{
    // A frequency that is not positive has no place on a log axis: it sits at the axis origin.
    if (!(f > 0.0))
        return 0.0;
    return std::log10(f / 20.0) * (n / 3);
}

int FreqToSliderPos(double f, int n)
{
    return TruncToInt(FreqToSliderPosExact(f, n));
}

double SliderPosToFreqExact(double p, int n)
{
    const int decade = n / 3;
    if (decade <= 0 || std::isnan(p))
        return kFreqMin;
    const double f = 20.0 * std::pow(10.0, p / decade);
    return std::clamp(f, static_cast<double>(kFreqMin), static_cast<double>(kFreqMax));
}

int SliderPosToFreq(int p, int n)
{
    return TruncToInt(SliderPosToFreqExact(p, n));
}

int NearestFreqIndex(double f)
{
    for (int i = 0; i < kFreqPoints; ++i) {
        if (g_FreqTable241[i] >= f) {
            if (i == 0)
                return 0;
            const double d1 = f - g_FreqTable241[i - 1];
            const double d2 = g_FreqTable241[i] - f;
            return d1 < d2 ? i - 1 : i;
        }
    }
    return kFreqPoints - 1;
}

int FindQIndex(double q)
{
    for (int k = 0; k < kQSteps - 1; ++k) {
        if (q >= g_QTable[k])
            return k;
    }
    return kQSteps - 1;
}

double GetQValue(int k)
{
    return g_QTable[ClampBandwidthIndex(k)];
}

std::string FormatFixed(double v, int decimals)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (res.ec != std::errc())
        return {};
    return std::string(buf, res.ptr);
}

std::string FormatTimeMs(int v)
{
    const double t = v <= 476 ? v * 0.021 : static_cast<double>(v - 466);
    return FormatFixed(t, t >= 10.0 ? 1 : 3) + "ms";
}
