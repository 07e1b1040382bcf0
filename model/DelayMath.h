#pragma once
// Delay codes as times and distances, and the delay steppers of the cm and inch displays.
// A delay is a code 0..960 of 1/48 ms (g_dDelayStepMs); 960 is 20 ms.

// The temperature field of the distance display holds 75 and never changes: T = 75 - 50 = 25 C.
constexpr int kDelayTemperatureField = 75;
constexpr double kDelayTemperatureC = kDelayTemperatureField - 50;
// Speeds of sound in m/s: 0.6 T + 331 for every code, 0.6 T + 331.4 for the inch display at 20 ms.
extern const double g_dSoundSpeed;       // 346.0
extern const double g_dSoundSpeedInch;   // 346.4

// Time in ms of a delay code: exactly 20.0 for 960, else code / 48. Codes outside 0..960 are
// limited to it.
double DelayCodeToMs(int code);
// Distance of a delay code in centimetres (speed g_dSoundSpeed) and in inches (g_dSoundSpeedInch
// at 960, g_dSoundSpeed below), not rounded.
double DelayCodeToCm(int code);
double DelayCodeToInch(int code);
// The whole number a distance shows as: printed with "%0.0f" (C locale) and read back. An exact
// half goes to the even neighbour, as printf rounds it (code 120 is 86.5 cm and shows 86).
double ShownDistance(double value);

// The next delay code from d in the direction of step at which the distance shown in cm (inches)
// changes by at least one unit; when the range 0..960 ends first, the last code examined (cm) or
// the end of the range (inches). d is limited to 0..960 first; step 0 returns d.
int StepDelayCm(int d, int step);
int StepDelayInch(int d, int step);
