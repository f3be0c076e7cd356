#pragma once
// Corona effects of a conductor system from its conductors' maximum surface
// gradients: the corona loss and ozone production of each conductor, and along
// a profile the audible noise, radio and television interference and the
// ground-level ozone of the plume the wind carries from the line. Empirical
// formulas with an AC and a DC form chosen per conductor; log is log10 and
// A/300 adds one decibel per 300 m of altitude.

#include "compute/ConductorSystem.h"
#include "compute/CoronaLanes.h"
#include "compute/Fields.h"
#include "model/CalcResult.h"
#include "model/SiteParameters.h"

#include <optional>
#include <span>
#include <vector>

namespace corvalt {

// The site parameters of a cross section, defaults already applied.
struct TCoronaSite {
    float MicrophoneHeightM = 0;
    float RadioAntennaHeightM = 0;
    float RadioFrequencyMhz = kDefaultRadioFrequencyMhz;
    float TvAntennaHeightM = 0;
    float TvFrequencyMhz = kDefaultTvFrequencyMhz;
    float AltitudeM = 0;
    float RainRateMmPerH = 0; // 0 (or less) is fair weather
    float WindVelocityMPerS = kDefaultWindVelocityMPerS;
    float GroundConductivityMmhoPerM = kDefaultGroundConductivityMmhoPerM;
    float OzoneHeightM = 0;
};

// Whether a conductor produces corona effects: a conductor of the charge
// system that is not a ground wire, with a finite surface gradient other than
// 0. A conductor at 0 V (a DC metallic return, a de-energised circuit) counts:
// the charge its neighbours induce gives it a gradient like any other. The
// logarithms of the formulas are undefined at a gradient of 0; such conductors
// are left out of every sum and maximum.
bool IsCoronaSource(const TSystemConductor& c);

// Whether a rain rate (mm/h) is fair weather: not above 0.
bool IsFairWeather(double rainRateMmPerH);

// Rain term c of the corona loss, dB, from the rain rate r (mm/h): 10 log(r ÷
// 1.676) up to 3.6 mm/h, 3.5 log(r ÷ 3.6) + 3.3 above, 1.676 in fair weather.
double CoronaLossRainTermDb(double rainRateMmPerH);

// Corona loss of one conductor, kW/km (= W/m), and its ozone production rate;
// both empty for a conductor that is not a corona source. The AC ozone rate
// grows with g ÷ (U ÷ √3) and is empty for an AC conductor at 0 V.
std::optional<float> CoronaLossKwPerKm(const TSystemConductor& c, const TCoronaSite& site);
std::optional<float> OzoneRate(const TSystemConductor& c, float coronaLossKwPerKm);

// Fills CoronaLossKwPerKm and OzoneRate of every conductor.
void ComputeCoronaLosses(std::span<TSystemConductor> system, const TCoronaSite& site);

// Whether this processor runs the given build of TCoronaField::Fill: the
// baseline one always, the AVX2 one on x86-64 with AVX2 and FMA.
bool CoronaBuildRuns(TKernelBuild build);

// The values of one quantity in rain and in fair weather.
struct TRainFair {
    std::optional<float> Rain;
    std::optional<float> Fair;
};

// The audible noise, radio and TV interference and ozone of a conductor system
// along a profile. The constructor takes from the corona sources every term
// that does not depend on the position (the gradients, and for ozone the rates
// of ComputeCoronaLosses, must be in place); each call adds the distance terms
// for one position.
class TCoronaField {
  public:
    TCoronaField(std::span<const TSystemConductor> system, const TCoronaSite& site);

    // Audible noise L50 at xM, dBA: 10 log of the summed sound powers of the
    // conductors. A negative DC pole adds nothing. Empty when no conductor adds
    // a level, the microphone lies inside a conductor, or a conductor's level
    // there is not a number (so is each value below).
    TRainFair AudibleNoiseDba(float xM) const;

    // Radio interference L50 at xM, dBµV/m: the level of the noisiest conductor
    // after lateral attenuation, 7 dB less in rain (an AC conductor's fair value
    // is 24 dB below its base level, so rain is fair + 17 dB). Empty when no
    // conductor is a corona source, or the antenna lies inside a conductor.
    TRainFair RadioInterferenceDbuv(float xM) const;

    // Television interference in rain at xM, dBµV/m: the noisiest AC conductor,
    // referred to 61 m and attenuated beyond the breakpoint f h Y × 0.04 at 40 dB
    // a decade instead of 20. DC poles produce none. Empty when no AC conductor
    // is a corona source, or the antenna lies inside a conductor.
    std::optional<float> TelevisionInterferenceDbuv(float xM) const;

    // Ozone at xM and the ozone height, ppb: a Gaussian plume from each
    // conductor with an ozone rate, carried by the wind toward increasing x and
    // reflected at the ground; only points at least 0.25 m downwind of a
    // conductor receive its ozone. Empty when no conductor produces ozone.
    std::optional<float> OzonePpb(float xM) const;

    // Fills the audible noise, radio and TV interference and ozone of every
    // record at its position (units: the project's display units), each
    // value as the functions above give it. On a processor with AVX2 and FMA
    // four records are computed side by side with vector logarithms and
    // exponentials, a few units in the last place of a double from the
    // per-point ones, so that a value in single precision differs at most in
    // its last bit, and rarely. The build given replaces the processor's
    // choice when the processor runs it.
    void Fill(std::span<TCalcResult> records, int units,
              std::optional<TKernelBuild> build = std::nullopt) const;

  private:
    void FillRecord(TCalcResult& record, float xM) const;

    TCoronaConstants constants_;
    std::vector<TCoronaSource> sources_;
};

} // namespace corvalt
