#pragma once
// Magnitude responses of equaliser elements on the 241-point frequency grid, in dB. Each element
// is modelled as a digital filter running at 96 kHz: one biquad for a parametric band or a shelf,
// a cascade of up to four sections for a crossover. The design constants are the system's own
// stored values and are kept exactly as they are, so the curves match what the device shows.
// Stateless and thread-safe.

#include "model/DataDefine.h"

// One section (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2).
struct BiquadSection {
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a0 = 1.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// Stored design constants.
inline constexpr double kRespTwoPi = 6.2831852;
inline constexpr double kRespSampleRate = 96000.0;
inline constexpr double kRespAnglePerHz = 6.544985e-05;
inline constexpr double kRespHalfLn2 = 0.34657359;
inline constexpr double kRespGainDivisor = 40.0;
inline constexpr double kRespTanFactor = 0.5;
inline constexpr double kRespA0Floor = 1e-10;

// Grid angle of point i: f_i * 2pi / 96000.
double GridAngle(int i);

// All 241 values 0 dB.
void FlatResponse(double out[kFreqPoints]);
// Sum of the sections' gains in dB at every grid point (up to four sections).
void EvalSections(const BiquadSection *sections, int count, double out[kFreqPoints]);

// The peaking band's section, centred on the grid point nearest to freq.
BiquadSection DesignPeq(int freq, double gainDb, double bandwidthOct);
// Peaking band centred on the grid point nearest to freq.
void PeqResponse(int freq, double gainDb, double bandwidthOct, double out[kFreqPoints]);
// Low shelf (type 1) or high shelf (type 2), slope 0 or 1. Any other type or slope has no
// defined curve: the result is flat and the function returns false. At exactly 0 dB the section
// is unity.
bool DesignShelf(int type, int slope, int freq, double gainDb, BiquadSection &section);
bool ShelfResponse(int type, int slope, int freq, double gainDb, double out[kFreqPoints]);

// Crossover sections for a high-pass or low-pass of a family (0 Linkwitz-Riley, 1 Butterworth,
// 2 Bessel) and slope index 0..7, in the full or the reduced slope set. Returns the number of
// sections written (up to 4), or -1 when family or slope lie outside the tables.
int DesignCrossover(bool highPass, int freq, int family, int slope, int reducedSet,
                    BiquadSection sections[4]);
// The effective slope row that a crossover is drawn from (after the reduced-set and Bessel
// replacements); -1 outside the tables.
int EffectiveCrossoverSlope(bool highPass, int family, int slope, int reducedSet);
// Crossover response; flat with false for values outside the tables.
bool CrossoverResponse(bool highPass, int freq, int family, int slope, int reducedSet,
                       double out[kFreqPoints]);
