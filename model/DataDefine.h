#pragma once
// Constant tables and small conversions shared by the parameter model, the response graphs and
// the numeric edits: the 241-point frequency grid on which every response is computed and drawn,
// the Q table naming each bandwidth step, the band frequency tables of the graphic equalisers,
// the codes in which gains, bandwidths and delays travel to the device, and the conversions
// between values and plot coordinates. Everything here is stateless and thread-safe.

#include <cstdint>
#include <string>

// ---- Frequency grid ---------------------------------------------------------------------------

inline constexpr int kFreqPoints = 241;     // points of the grid
inline constexpr int kFreqIndex1k = 136;    // index of 1000 Hz
inline constexpr int kFreqMin = 20;         // lowest frequency a band or crossover takes (Hz)
inline constexpr int kFreqMax = 20000;      // highest frequency (Hz)

// 19.7 Hz .. 20 kHz in steps of about 1/24 octave, strictly rising.
extern const double g_FreqTable241[kFreqPoints];

// ---- Q table ----------------------------------------------------------------------------------

inline constexpr int kQSteps = 296;           // bandwidth indexes 0..295
inline constexpr int kBandwidthIndexMax = kQSteps - 1;
inline constexpr int kDefaultBandwidthIndex = 52;   // 0.57 octave
inline constexpr double kDefaultBandwidth = 0.57;   // octaves
inline constexpr double kBandwidthMin = 0.05;       // octaves, index 0
inline constexpr double kBandwidthMax = 3.0;        // octaves, index 295

// Entry k is the Q of a bandwidth of 0.05 + 0.01 k octaves, sqrt(2^b) / (2^b - 1), to 3 decimals.
extern const double g_QTable[kQSteps];

// ---- Band frequency tables (Hz) ---------------------------------------------------------------

// The 31 output bands and the reset frequencies of 31-band equalisers.
inline constexpr int g_IsoFreq31[31] = {
    20,   25,   32,   40,   50,   63,   80,   100,  125,   160,   200,   250,   315,   400,   500,  630,
    800,  1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000,
};
// The microphone bands (first nine entries) and the first fifteen music-input bands.
inline constexpr int g_GeqFreq15[15] = {
    20, 32, 53, 87, 143, 235, 386, 632, 1035, 1696, 2778, 4551, 7455, 12210, 20000,
};
// The three effect bands.
inline constexpr int g_EffectEqFreq3[3] = {100, 1000, 10000};

// Two older band tables kept with the others; nothing reads them.
inline constexpr int g_GeqFreq7[7] = {24, 30, 36, 44, 54, 66, 80};
inline constexpr int g_GeqFreq9[9] = {40, 80, 160, 317, 632, 1261, 2515, 5018, 10000};
// Labels of a 15-band graphic equaliser; nothing reads them.
extern const char *const g_GeqLabels15[15];

// ---- Value codes ------------------------------------------------------------------------------

inline constexpr int kGainCodeMin = 0;        // -20.0 dB
inline constexpr int kGainCodeZero = 200;     //   0.0 dB
inline constexpr int kGainCodeMax = 400;      // +20.0 dB
inline constexpr int kGainWordOffset = 400;   // the band packet carries code + 400
inline constexpr int kGainWordNeutral = 600;  // ... and 600 for a neutral band

inline constexpr double g_dDelayStepMs = 1.0 / 48.0;  // one sample at 48 kHz, in ms
inline constexpr int kDelayCodeMax = 960;              // 20 ms

// Device address byte of every frame.
inline constexpr std::uint8_t kDeviceAddressByte = 1;

// Gain in dB from a gain code: code * 0.1 - 20.
double GainCodeToDb(int code);
// Gain code from dB: (dB + 20) * 100 / 10 + 0.5, truncated. Not limited to 0..400.
int GainDbToCode(double dB);
// Bandwidth in octaves from an index: index * 0.01 + 0.05.
double BandwidthIndexToOct(int index);
// Bandwidth index from octaves: (bw - 0.05) / 0.01 + 0.05, truncated. Not limited to 0..295.
int BandwidthOctToIndex(double bw);

// Limits for values that arrive from outside (devices, files, callers).
int ClampGainCode(int code);          // 0..400
int ClampBandwidthIndex(int index);   // 0..295
int ClampFreq(int hz);                // 20..20000

// ---- Plot conversions -------------------------------------------------------------------------
// n is the plot height (gains) or width (frequencies) in pixels.

// (n / 24) * (12 - dB) + 0.5, truncated: +12 dB maps to 0, -12 dB to n.
int GainToIndex(double dB, int n);
// (n / 24) * (12 - dB), not rounded.
double GainToIndexExact(double dB, int n);
// 12 - i * 24 / n rounded to the nearest whole dB, halves away from zero.
double IndexToGain(int i, int n);
// log10(f / 20) * (n div 3), truncated: 20 Hz at 0, each decade n div 3 pixels.
int FreqToSliderPos(double f, int n);
double FreqToSliderPosExact(double f, int n);
// 20 * 10^(p / (n div 3)), limited to 20..20000, truncated.
int SliderPosToFreq(int p, int n);
// The same without truncation, limited to 20..20000, for positions between pixels.
double SliderPosToFreqExact(double p, int n);

// Index of the grid entry nearest to f; a tie goes to the higher entry. Always 0..240.
int NearestFreqIndex(double f);
// The first k in 0..294 with q >= g_QTable[k]; 295 when there is none.
int FindQIndex(double q);
// g_QTable[k]; k outside the table is limited to it.
double GetQValue(int k);
// A time text in milliseconds: v * 0.021 ms up to 476, v - 466 ms above; "%0.1f" from 10 ms on,
// "%0.3f" below, followed by "ms".
std::string FormatTimeMs(int v);

// printf-style fixed formatting with the C locale's decimal point whatever the user's locale.
std::string FormatFixed(double v, int decimals);
