#include "model/DelayMath.h"

#include "model/DataDefine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

const double g_dSoundSpeed = 0.6 * kDelayTemperatureC + 331;
const double g_dSoundSpeedInch = 0.6 * kDelayTemperatureC + 331.4;

namespace {

constexpr double kInchPerMetre = 39.3696;  // 3.2808 ft x 12

int ClampDelay(int code)
{
    return std::clamp(code, 0, kDelayCodeMax);
}

// The code of a time in ms: t x 48 + 0.5 truncated, 960 from 20 ms on, limited to 0..960.
int MsToDelayCode(double t)
{
    if (t >= 20.0)
        return kDelayCodeMax;
    return ClampDelay(static_cast<int>(t * 48 + 0.5));
}

double ShownCm(int code) { return ShownDistance(DelayCodeToCm(code)); }
double ShownInch(int code) { return ShownDistance(DelayCodeToInch(code)); }

bool Moved(double shown, double start, int step)
{
    return step > 0 ? shown - start >= 1 : shown - start <= -1;
}

} // namespace

double DelayCodeToMs(int code)
{
    code = ClampDelay(code);
    return code == kDelayCodeMax ? 20.0 : code * g_dDelayStepMs;
}

double DelayCodeToCm(int code)
{
    return g_dSoundSpeed / 1000 * DelayCodeToMs(code) * 100;
}

double DelayCodeToInch(int code)
{
    const double c = ClampDelay(code) == kDelayCodeMax ? g_dSoundSpeedInch : g_dSoundSpeed;
    return c / 1000 * DelayCodeToMs(code) * 3.2808 * 12;
}

double ShownDistance(double value)
{
    // "%.0f" prints no decimal point, so the locale cannot change the text.
    char text[64];
    std::snprintf(text, sizeof text, "%0.0f", value);
    return std::strtod(text, nullptr);
}

int StepDelayCm(int d, int step)
{
    d = ClampDelay(d);
    if (step == 0 || (step > 0 && d == kDelayCodeMax) || (step < 0 && d == 0))
        return d;
    const double start = ShownCm(d);
    int k = ClampDelay(d + step);
    int evaluated = k;
    for (;;) {
        evaluated = k;
        if (Moved(ShownCm(k), start, step))
            break;
        k += step;
        if (k >= kDelayCodeMax || k < 0)
            break;  // the end of the range is not examined
    }
    return MsToDelayCode(DelayCodeToMs(evaluated));
}

int StepDelayInch(int d, int step)
{
    d = ClampDelay(d);
    if (step == 0 || (step > 0 && d == kDelayCodeMax) || (step < 0 && d == 0))
        return d;
    const double start = ShownInch(d);
    int k = ClampDelay(d + step);
    double shown = start;
    for (;;) {
        shown = ShownInch(k);
        if (Moved(shown, start, step))
            break;
        k += step;
        if (k >= kDelayCodeMax) {
            k = kDelayCodeMax;
            break;
        }
        if (k < 0) {
            k = 0;
            break;
        }
    }
    if (k <= 0 || k >= kDelayCodeMax)
        return ClampDelay(k);
    // Back from the shown inches to the code the display would take for them.
    const double t = shown / kInchPerMetre * 1000 / g_dSoundSpeedInch;
    return MsToDelayCode(t);
}
