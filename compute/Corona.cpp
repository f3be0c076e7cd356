#include "compute/Corona.h"

#include "compute/Constants.h"
#include "compute/Numeric.h"
#include "compute/Profile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvalt {

namespace {

// The conductor's gradient g (kV/cm; negative for a negative pole).
double Gradient(const TSystemConductor& c) {
    return *c.MaxGradientKvCm;
}

double AltitudeTermDb(const TCoronaSite& site) {
    return site.AltitudeM / 300.0;
}

// Audible noise of a conductor before its distance term, dBA: 120 log g −
// 164.6 + 55 log d_eq (AC; d_eq = 0.58 n^0.48 d from 4 sub-conductors) or
// 86 log g − 139.4 + 40 log d_eq (DC; d_eq = 0.66 n^0.64 d from 3), with d in
// mm. Empty for a negative DC pole, which makes no audible noise.
std::optional<double> AudibleNoisePrefixDba(const TSystemConductor& c) {
    const double n = c.SubCondCount;
    const double d = c.DiameterMm;
    if (c.IsAc) {
        const double dEq = c.SubCondCount >= 4 ? 0.58 * std::pow(n, 0.48) * d : d;
        return 120 * std::log10(std::fabs(Gradient(c))) - 164.6 + 55 * std::log10(dEq);
    }
    const double g = Gradient(c);
    if (!(g > 0)) return std::nullopt;
    const double dEq = c.SubCondCount >= 3 ? 0.66 * std::pow(n, 0.64) * d : d;
    return 86 * std::log10(g) - 139.4 + 40 * std::log10(dEq);
}

// Ground-wave attenuation of numerical distance p.
double GroundWaveAttenuation(double p) {
    return (0.3 * p + 2) / (0.6 * p * p + p + 2);
}

// Reference level log(R1² + R2² + R3²) of the AC or the DC radio formula at f
// (MHz) and wavelength λ (m).
double RadioReferenceLevel(bool isAc, double f, double lambdaM) {
    const double k = isAc ? 13.7 : 11.9;
    const double kR0 = (isAc ? 0.44068 : 0.37757) * f;
    const double p0 = (isAc ? 276.16 : 236.6) / (lambdaM * lambdaM);
    const double r1 = k / kR0;
    const double r2 = k * GroundWaveAttenuation(p0) / kR0;
    const double r3 = k / (kR0 * kR0);
    return std::log10(r1 * r1 + r2 * r2 + r3 * r3);
}

// Radio interference base level of a conductor in the weather, dBµV/m, before
// the reference level and the lateral attenuation.
double RadioBaseLevelDbuv(const TSystemConductor& c, const TCoronaSite& site, bool rain) {
    const double f = site.RadioFrequencyMhz;
    const double logTenF = std::log10(10 * f);
    const double frequencyTerm = 10 * (1 - logTenF * logTenF);
    const double d = c.DiameterMm;
    const double g = Gradient(c);
    if (c.IsAc)
        return 120 * std::log10(std::fabs(g) / 17.56) + 48 + 40 * std::log10(d / 35.1) +
               frequencyTerm + 24 + AltitudeTermDb(site);
    const double polarity = g >= 0 ? 0.0 : -4.0;
    const double level = polarity + 86 * std::log10(std::fabs(g) / 27.25) + 60.5 +
                         40 * std::log10(d / 46.2) + frequencyTerm + AltitudeTermDb(site);
    return rain ? level - 6 : level;
}

// The distance term L(R) − L(61) of a TV antenna R metres away, with the
// breakpoint B (m) where the decay turns from 20 to 40 dB a decade, as an
// amplitude ratio 10^((L(R) − L(61)) ÷ 20):
//   B > 61: 61 ÷ R up to B, 61 B ÷ R² beyond;
//   B ≤ 61: 61² ÷ (B R) up to B, (61 ÷ R)² beyond.
double TelevisionDistanceRatio(double distanceM, double breakpointM) {
    constexpr double kReference = 61;
    if (breakpointM > kReference) {
        if (distanceM <= breakpointM) return kReference / distanceM;
        return kReference * breakpointM / (distanceM * distanceM);
    }
    if (distanceM <= breakpointM) return kReference * kReference / (breakpointM * distanceM);
    return Sq(kReference / distanceM);
}

// The largest of a set of levels given as factors on a linear scale. A factor
// that is not a number, from a conductor whose value cannot be computed there,
// makes the line's value unavailable wherever that conductor comes in the
// list: it might have been the loudest, so a value without it could read too
// low.
class TLargest {
  public:
    void Take(double factor) {
        if (std::isnan(factor))
            failed_ = true;
        else if (!taken_ || factor > largest_)
            largest_ = factor;
        taken_ = true;
    }
    // reference + perDecade log of the largest factor, plus offsetDb; empty
    // when nothing was taken or that is not finite (a factor of 0).
    std::optional<float> LevelDb(double reference, double perDecade, double offsetDb = 0) const {
        if (failed_ || !taken_) return std::nullopt;
        return FiniteFloat(reference + perDecade * std::log10(largest_) + offsetDb);
    }

  private:
    double largest_ = 0;
    bool taken_ = false;
    bool failed_ = false;
};

// The sum of powers on a linear scale; a power that is not a number makes the
// sum unavailable, as a level in TLargest does.
class TPowerSum {
  public:
    void Add(double power) {
        if (std::isnan(power))
            failed_ = true;
        else
            sum_ += power;
    }
    // reference + 10 log of the sum; empty when nothing was added.
    std::optional<float> LevelDb(double reference) const {
        if (failed_ || !(sum_ > 0)) return std::nullopt;
        return FiniteFloat(reference + 10 * std::log10(sum_));
    }

  private:
    double sum_ = 0;
    bool failed_ = false;
};

// The largest finite level of a set, the reference of their linear factors;
// 0 when none is finite.
class TReferenceLevel {
  public:
    void Offer(double levelDb) {
        if (std::isfinite(levelDb) && (!found_ || levelDb > largest_)) largest_ = levelDb;
        found_ = found_ || std::isfinite(levelDb);
    }
    double Value() const { return found_ ? largest_ : 0; }

  private:
    double largest_ = 0;
    bool found_ = false;
};

// 10^((levelDb − referenceDb) ÷ perDecade): 10 for powers, 20 for amplitudes.
double Factor(double levelDb, double referenceDb, double perDecade) {
    return std::exp((levelDb - referenceDb) / perDecade * std::numbers::ln10);
}

} // namespace

bool IsCoronaSource(const TSystemConductor& c) {
    return !c.IsGround && c.InChargeSystem && c.MaxGradientKvCm && *c.MaxGradientKvCm != 0 &&
           std::isfinite(*c.MaxGradientKvCm);
}

bool IsFairWeather(double rainRateMmPerH) {
    return !(rainRateMmPerH > 0);
}

double CoronaLossRainTermDb(double r) {
    if (IsFairWeather(r)) return 1.676;
    if (r <= 3.6) return 10 * std::log10(r / 1.676);
    return 3.5 * std::log10(r / 3.6) + 3.3;
}

std::optional<float> CoronaLossKwPerKm(const TSystemConductor& c, const TCoronaSite& site) {
    if (!IsCoronaSource(c)) return std::nullopt;
    const double rain = site.RainRateMmPerH;
    const double n = c.SubCondCount;
    const double d = c.DiameterMm;
    const double g = Gradient(c);
    const double rainTerm = CoronaLossRainTermDb(rain); // c
    double loss;
    if (c.IsAc) {
        const double k = c.SubCondCount <= 4 ? 13 : 19;
        loss = rainTerm + 65 * std::log10(std::fabs(g) / 18.8) + 14.2 + 40 * std::log10(d / 35.1) +
               k * std::log10(n / 4) + AltitudeTermDb(site);
        if (IsFairWeather(rain)) loss -= 17;
    } else {
        loss = rainTerm + 20 * std::log10(d / 40.7) + (std::fabs(g) - 25) * 0.73 + 16.9 +
               8 * std::log10(n / 6) - 3 + AltitudeTermDb(site);
        if (IsFairWeather(rain)) loss -= 5;
    }
    return FiniteFloat(std::pow(10.0, loss / 10));
}

std::optional<float> OzoneRate(const TSystemConductor& c, float coronaLossKwPerKm) {
    if (!IsCoronaSource(c)) return std::nullopt;
    const double u = c.MaxVoltageKv;
    if (c.IsAc) {
        // The rate grows with g ÷ (U ÷ √3): at 0 V (a de-energised phase
        // carrying only induced charge) it is not defined, and no ozone is counted.
        if (u == 0) return std::nullopt;
        const double ratio = Gradient(c) / (u / constants::kSqrt3);
        return FiniteFloat(coronaLossKwPerKm * ratio * ratio * 1.26e-7);
    }
    return FiniteFloat(coronaLossKwPerKm * (u >= 0 ? 3.8e-10 : 1.26e-9));
}

void ComputeCoronaLosses(std::span<TSystemConductor> system, const TCoronaSite& site) {
    for (TSystemConductor& c : system) {
        c.CoronaLossKwPerKm = CoronaLossKwPerKm(c, site);
        c.OzoneRate = c.CoronaLossKwPerKm ? OzoneRate(c, *c.CoronaLossKwPerKm) : std::nullopt;
    }
}

TCoronaField::TCoronaField(std::span<const TSystemConductor> system, const TCoronaSite& site) {
    const double lambdaM = 300.0 / site.RadioFrequencyMhz; // radio wavelength, m
    const double altitude = AltitudeTermDb(site);
    const double referenceAc = RadioReferenceLevel(true, site.RadioFrequencyMhz, lambdaM);
    const double referenceDc = RadioReferenceLevel(false, site.RadioFrequencyMhz, lambdaM);
    const double wind = site.WindVelocityMPerS;
    // Each source's levels in dB first, then as factors of the largest.
    struct TLevels {
        std::optional<double> AnRain, AnFair;
        double RiRain = 0, RiFair = 0, Tvi = 0;
    };
    std::vector<TLevels> levels;
    TReferenceLevel an, ri, tv;
    for (const TSystemConductor& c : system) {
        constants_.AnyOzone = constants_.AnyOzone || c.OzoneRate.has_value();
        if (!IsCoronaSource(c)) continue;
        TCoronaSource s;
        s.XM = c.XM;
        s.YM = c.YM;
        s.RadiusM = c.RadiusM;
        s.RadiusSqM2 = s.RadiusM * s.RadiusM;
        s.IsAc = c.IsAc;
        s.MicDySq = Sq(s.YM - site.MicrophoneHeightM);
        s.RadioDySq = Sq(s.YM - site.RadioAntennaHeightM);
        s.TvDySq = Sq(s.YM - site.TvAntennaHeightM);
        TLevels level;
        // Audible noise at 1 m: AC 5.8 dB less, fair weather AC 25 dB less,
        // DC 6 dB more than rain.
        if (const std::optional<double> prefix = AudibleNoisePrefixDba(c)) {
            level.AnRain = c.IsAc ? *prefix - 5.8 + altitude : *prefix + altitude;
            level.AnFair = c.IsAc ? *level.AnRain - 25 : *level.AnRain + 6;
            an.Offer(*level.AnRain);
            an.Offer(*level.AnFair);
        }
        // Radio interference less 10 × the reference level; an AC conductor's
        // fair value is 24 dB below its base level.
        const double reference = 10 * (c.IsAc ? referenceAc : referenceDc);
        level.RiRain = RadioBaseLevelDbuv(c, site, true) - reference;
        level.RiFair = RadioBaseLevelDbuv(c, site, false) - reference - (c.IsAc ? 24 : 0);
        ri.Offer(level.RiRain);
        ri.Offer(level.RiFair);
        s.RadioBreakpointM = 12 * site.RadioAntennaHeightM * s.YM / lambdaM;
        const double f = site.TvFrequencyMhz;
        if (c.IsAc) {
            level.Tvi = 120 * std::log10(std::fabs(Gradient(c)) / 16.3) + 10 +
                        40 * std::log10(c.DiameterMm / 30.4) + 20 * std::log10(75 / f) + altitude;
            tv.Offer(level.Tvi);
        }
        s.TvBreakpointM = f * site.TvAntennaHeightM * s.YM * 0.04;
        s.HasOzone = c.OzoneRate.has_value();
        s.OzoneRate = c.OzoneRate.value_or(0.0f);
        s.SigmaFactor = (4.75 * std::pow(100 / s.YM, 0.25) + 23 / wind) * 0.0315;
        const double z = site.OzoneHeightM;
        s.OzoneDySq = Sq(s.YM - z);
        s.OzoneImageDySq = Sq(s.YM + z);
        sources_.push_back(s);
        levels.push_back(level);
    }
    constants_.AnReference = an.Value();
    constants_.RiReference = ri.Value();
    constants_.TvReference = tv.Value();
    constants_.RadioFrequencyMhz = site.RadioFrequencyMhz;
    constants_.WindVelocityMPerS = site.WindVelocityMPerS;
    constants_.NumericalDistanceDivisor =
        lambdaM * lambdaM * static_cast<double>(site.GroundConductivityMmhoPerM);
    for (std::size_t k = 0; k < sources_.size(); ++k) {
        TCoronaSource& s = sources_[k];
        const TLevels& level = levels[k];
        if (level.AnRain) {
            s.AnRainPower = Factor(*level.AnRain, constants_.AnReference, 10);
            s.AnFairPower = Factor(*level.AnFair, constants_.AnReference, 10);
        }
        s.RiRainPower = Factor(level.RiRain, constants_.RiReference, 10);
        s.RiFairPower = Factor(level.RiFair, constants_.RiReference, 10);
        if (s.IsAc) s.TviAmplitude = Factor(level.Tvi, constants_.TvReference, 20);
    }
}

TRainFair TCoronaField::AudibleNoiseDba(float xM) const {
    TPowerSum rain, fair;
    for (const TCoronaSource& s : sources_) {
        const double distanceSq = Sq(static_cast<double>(xM) - s.XM) + s.MicDySq;
        if (IsInsideConductor(distanceSq, s.RadiusM)) return {};
        // −11.4 log D dB: the power falls as D^−1.14 = (D²)^−0.57.
        const double spread = std::exp(-0.57 * std::log(distanceSq));
        rain.Add(s.AnRainPower * spread);
        fair.Add(s.AnFairPower * spread);
    }
    return {rain.LevelDb(constants_.AnReference), fair.LevelDb(constants_.AnReference)};
}

TRainFair TCoronaField::RadioInterferenceDbuv(float xM) const {
    const double kf = 0.020944 * constants_.RadioFrequencyMhz;
    TLargest rain, fair;
    for (const TCoronaSource& s : sources_) {
        const double distanceSq = Sq(static_cast<double>(xM) - s.XM) + s.RadioDySq;
        if (IsInsideConductor(distanceSq, s.RadiusM)) return {};
        // Lateral attenuation: direct, ground-wave and induction terms.
        const double r = std::sqrt(distanceSq);
        const double p = r * 52.5 / constants_.NumericalDistanceDivisor;
        const double u = 1 / (kf * r); // 1 ÷ kR, k = 2π ÷ λ
        const double y = s.YM;
        const double b = s.RadioBreakpointM;
        const double t1 = r > b ? Sq(y * u * b / r) : Sq(y * u);
        const double t2 = Sq(y * u * GroundWaveAttenuation(p));
        const double t3 = Sq(y * u * u);
        const double attenuation = t1 + t2 + t3;
        rain.Take(s.RiRainPower * attenuation);
        fair.Take(s.RiFairPower * attenuation);
    }
    return {rain.LevelDb(constants_.RiReference, 10, -7), fair.LevelDb(constants_.RiReference, 10)};
}

std::optional<float> TCoronaField::TelevisionInterferenceDbuv(float xM) const {
    TLargest line;
    for (const TCoronaSource& s : sources_) {
        if (!s.IsAc) continue;
        const double distanceSq = Sq(static_cast<double>(xM) - s.XM) + s.TvDySq;
        if (IsInsideConductor(distanceSq, s.RadiusM)) return std::nullopt;
        line.Take(s.TviAmplitude * TelevisionDistanceRatio(std::sqrt(distanceSq), s.TvBreakpointM));
    }
    return line.LevelDb(constants_.TvReference, 20);
}

std::optional<float> TCoronaField::OzonePpb(float xM) const {
    constexpr double kSqrtTwoPi = 2.50662827;
    constexpr double kLargestExponent = 88;
    if (!constants_.AnyOzone) return std::nullopt;
    const double w = constants_.WindVelocityMPerS;
    double total = 0;
    for (const TCoronaSource& s : sources_) {
        if (!s.HasOzone) continue;
        const double downwind = static_cast<double>(xM) - s.XM;
        if (!(downwind >= 0.25)) continue;
        // Vertical dispersion, m: Δ^0.86 as e^(0.86 ln Δ).
        const double sigma = s.SigmaFactor * std::exp(0.86 * std::log(downwind));
        const double concentration = s.OzoneRate / (sigma * w * kSqrtTwoPi);
        const double twoSigmaSq = 2 * sigma * sigma;
        const double e1 = std::min(s.OzoneDySq / twoSigmaSq, kLargestExponent);
        const double e2 = std::min(s.OzoneImageDySq / twoSigmaSq, kLargestExponent);
        total += concentration * (std::exp(-e1) + std::exp(-e2));
    }
    return FiniteFloat(total * 4.67e8);
}

void TCoronaField::FillRecord(TCalcResult& record, float xM) const {
    const TRainFair noise = AudibleNoiseDba(xM);
    record.AnRainL50 = noise.Rain;
    record.AnFairL50 = noise.Fair;
    record.TviRain = TelevisionInterferenceDbuv(xM);
    const TRainFair radio = RadioInterferenceDbuv(xM);
    record.RiRain = radio.Rain;
    record.RiFair = radio.Fair;
    record.Ozone = OzonePpb(xM);
}

namespace {

// Whether the processor runs FMA code, which the vector logarithms and
// exponentials of the AVX2 build use besides AVX2.
bool ProcessorRunsFma() {
#if CORVALT_CORONA_AVX2_BUILD
    __builtin_cpu_init();
    return __builtin_cpu_supports("fma");
#else
    return false;
#endif
}

#if CORVALT_CORONA_AVX2_BUILD

// Whether Fill takes the AVX2 build: the build given when the processor runs
// it, otherwise the processor's choice.
bool FillsWithAvx2(std::optional<TKernelBuild> build) {
    if (build && CoronaBuildRuns(*build)) return *build == TKernelBuild::Avx2;
    return CoronaBuildRuns(TKernelBuild::Avx2);
}

// A value of the AVX2 build, where NaN (or any value that is not finite)
// stands for an empty one.
std::optional<float> ValueOf(float level) {
    if (!std::isfinite(level)) return std::nullopt;
    return level;
}

// The AVX2 build of TCoronaField::Fill: a few hundred records at a time
// through buffers on the stack.
void FillWithAvx2(std::span<const TCoronaSource> sources, const TCoronaConstants& constants,
                  std::span<TCalcResult> records, int units) {
    constexpr std::size_t kChunk = 256;
    float positions[kChunk]{};
    TCoronaLevels levels[kChunk];
    for (std::size_t first = 0; first < records.size(); first += kChunk) {
        const std::span<TCalcResult> chunk =
            records.subspan(first, std::min(kChunk, records.size() - first));
        for (std::size_t i = 0; i < chunk.size(); ++i)
            positions[i] = RecordPositionM(chunk[i], units);
        CoronaLevelsAvx2(sources.data(), sources.size(), constants, positions, chunk.size(),
                         levels);
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            TCalcResult& record = chunk[i];
            record.AnRainL50 = ValueOf(levels[i].AnRain);
            record.AnFairL50 = ValueOf(levels[i].AnFair);
            record.RiRain = ValueOf(levels[i].RiRain);
            record.RiFair = ValueOf(levels[i].RiFair);
            record.TviRain = ValueOf(levels[i].TviRain);
            record.Ozone = ValueOf(levels[i].Ozone);
        }
    }
}
#endif

} // namespace

bool CoronaBuildRuns(TKernelBuild build) {
    static const bool runsFma = ProcessorRunsFma();
    return KernelBuildRuns(build) && (build == TKernelBuild::Baseline || runsFma);
}

void TCoronaField::Fill(std::span<TCalcResult> records, int units,
                        std::optional<TKernelBuild> build) const {
#if CORVALT_CORONA_AVX2_BUILD
    if (FillsWithAvx2(build)) {
        FillWithAvx2(sources_, constants_, records, units);
        return;
    }
#else
    (void)build;
#endif
    for (TCalcResult& record : records)
        FillRecord(record, RecordPositionM(record, units));
}

} // namespace corvalt
