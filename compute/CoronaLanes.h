#pragma once
// The corona sources of a conductor system as plain data, shared by the
// per-point corona formulas (compute/Corona.cpp) and the AVX2 build that
// computes four positions side by side (compute/CoronaAvx2.cpp). Plain structs
// and one function only: the AVX2 file is compiled for AVX2 as a whole, so it
// must not instantiate any inline function that other files use too.

#include <cstddef>

// The AVX2 build of the corona values exists on x86-64 with GCC or Clang.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVALT_CORONA_AVX2_BUILD 1
#else
#define CORVALT_CORONA_AVX2_BUILD 0
#endif

namespace corvalt {

// A corona source with every term that does not depend on the position. Each
// level is kept as a factor on a linear scale relative to a common reference
// level (TCoronaConstants), so that a point costs no logarithm per conductor:
// a level L dB becomes 10^((L − reference) ÷ 10) (powers) or ÷ 20
// (amplitudes), the line's value is the reference plus 10 (or 20) log of the
// summed or largest product with the conductor's distance term.
struct TCoronaSource {
    double XM = 0, YM = 0, RadiusM = 0;
    double RadiusSqM2 = 0; // RadiusM², the inside test's bound
    bool IsAc = true;
    // Squared heights above the microphone, the radio and the TV antenna, m².
    double MicDySq = 0, RadioDySq = 0, TvDySq = 0;
    // Audible noise: the sound power at 1 m in rain and in fair weather
    // (relative to the reference); 0 for a negative pole, which makes none.
    double AnRainPower = 0, AnFairPower = 0;
    // Radio interference: the power before the lateral attenuation, per
    // weather (relative to the reference).
    double RiRainPower = 0, RiFairPower = 0;
    double RadioBreakpointM = 0; // 12 h Y ÷ λ
    // TV interference (AC only): the amplitude at 61 m (relative to the
    // reference) and the breakpoint.
    double TviAmplitude = 0;
    double TvBreakpointM = 0;
    // Ozone plume: the rate (when HasOzone), the dispersion σ = SigmaFactor ×
    // Δ^0.86, and the squared heights (Y − z)² and (Y + z)² of the conductor
    // and its image above the ozone height z.
    bool HasOzone = false;
    double OzoneRate = 0;
    double SigmaFactor = 0;
    double OzoneDySq = 0, OzoneImageDySq = 0;
};

// The terms of a conductor system's corona values shared by all sources.
struct TCoronaConstants {
    double RadioFrequencyMhz = 0;
    double WindVelocityMPerS = 0;
    // λ² σ: the numerical distance p is 52.5 r ÷ (λ² σ).
    double NumericalDistanceDivisor = 0;
    // The reference levels of the linear factors, dB.
    double AnReference = 0, RiReference = 0, TvReference = 0;
    bool AnyOzone = false;
};

// The corona values of one position as the AVX2 build leaves them: each value
// rounded to single precision, NaN where the value is empty.
struct TCoronaLevels {
    float AnRain, AnFair, RiRain, RiFair, TviRain, Ozone;
};

#if CORVALT_CORONA_AVX2_BUILD
// The corona values at the count positions xM into out, four positions at a
// time. Only for a processor with AVX2 and FMA (the vector logarithms and
// exponentials of the SLEEF library use both).
void CoronaLevelsAvx2(const TCoronaSource* sources, std::size_t sourceCount,
                      const TCoronaConstants& constants, const float* xM, std::size_t count,
                      TCoronaLevels* out);
#endif

} // namespace corvalt
