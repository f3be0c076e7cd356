#include "compute/Corona.h"

#include <algorithm>
#include <cmath>

namespace corvalt {

namespace {

std::optional<float> FiniteFloat(double value) {
    const auto f = static_cast<float>(value);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

double AltitudeTermDb(const TCoronaSite& site) {
    return site.AltitudeM / 300.0;
}

// Squared distance from a conductor to a point at height heightM, m².
double DistanceSqTo(const TSystemConductor& c, float xM, float heightM) {
    const double dx = static_cast<double>(xM) - c.XM;
    const double dy = static_cast<double>(c.YM) - heightM;
    return dx * dx + dy * dy;
}

// The conductor's gradient g (kV/cm; negative for a negative pole).
double Gradient(const TSystemConductor& c) {
    return *c.MaxGradientKvCm;
}

// ---- Audible noise ----

// Level of one conductor at distance D (m), dBA; empty for a negative DC pole.
std::optional<double> AudibleNoiseLevelDba(const TSystemConductor& c, double distanceM,
                                           const TCoronaSite& site, TWeather weather) {
    const double n = c.SubCondCount;
    const double d = c.DiameterMm;
    const double logD = std::log10(distanceM);
    if (c.IsAc) {
        const double dEq = c.SubCondCount >= 4 ? 0.58 * std::pow(n, 0.48) * d : d;
        const double g = std::fabs(Gradient(c));
        double an = 120 * std::log10(g) - 164.6 + 55 * std::log10(dEq) - 11.4 * logD - 5.8 +
                    AltitudeTermDb(site);
        if (weather == TWeather::Fair) an -= 25;
        return an;
    }
    const double g = Gradient(c);
    if (!(g > 0)) return std::nullopt;
    const double dEq = c.SubCondCount >= 3 ? 0.66 * std::pow(n, 0.64) * d : d;
    double an =
        86 * std::log10(g) - 139.4 + 40 * std::log10(dEq) - 11.4 * logD + AltitudeTermDb(site);
    if (weather == TWeather::Fair) an += 6;
    return an;
}

// ---- Radio interference ----

// Ground-wave attenuation of numerical distance p.
double GroundWaveAttenuation(double p) {
    return (0.3 * p + 2) / (0.6 * p * p + p + 2);
}

// Reference level log(R1² + R2² + R3²) of the AC or the DC formula at f (MHz).
double RadioReferenceLevel(bool isAc, double f, double lambdaM) {
    const double k = isAc ? 13.7 : 11.9;
    const double kR0 = (isAc ? 0.44068 : 0.37757) * f;
    const double p0 = (isAc ? 276.16 : 236.6) / (lambdaM * lambdaM);
    const double r1 = k / kR0;
    const double r2 = k * GroundWaveAttenuation(p0) / kR0;
    const double r3 = k / (kR0 * kR0);
    return std::log10(r1 * r1 + r2 * r2 + r3 * r3);
}

struct TRadioParameters {
    double F;           // frequency, MHz
    double LambdaM;     // wavelength 300 ÷ f, m
    double Sigma;       // ground conductivity, mmhos/m
    double AntennaM;    // antenna height h, m
    double FrequencyDb; // 10 (1 − (log 10f)²)
    double ReferenceAc; // reference levels
    double ReferenceDc;
};

TRadioParameters RadioParameters(const TCoronaSite& site) {
    TRadioParameters r{};
    r.F = site.RadioFrequencyMhz;
    r.LambdaM = 300.0 / r.F;
    r.Sigma = site.GroundConductivityMmhoPerM;
    r.AntennaM = site.RadioAntennaHeightM;
    const double logTenF = std::log10(10 * r.F);
    r.FrequencyDb = 10 * (1 - logTenF * logTenF);
    r.ReferenceAc = RadioReferenceLevel(true, r.F, r.LambdaM);
    r.ReferenceDc = RadioReferenceLevel(false, r.F, r.LambdaM);
    return r;
}

// Level of one conductor at distance R (m) from the antenna, dBµV/m, before
// the line's rain correction.
double RadioLevelDbuv(const TSystemConductor& c, double distanceM, const TRadioParameters& r,
                      const TCoronaSite& site, TWeather weather) {
    const double d = c.DiameterMm;
    const double g = Gradient(c);
    double ri;
    if (c.IsAc) {
        ri = 120 * std::log10(std::fabs(g) / 17.56) + 48 + 40 * std::log10(d / 35.1) +
             r.FrequencyDb + 24 + AltitudeTermDb(site);
    } else {
        const double polarity = g >= 0 ? 0.0 : -4.0;
        ri = polarity + 86 * std::log10(std::fabs(g) / 27.25) + 60.5 + 40 * std::log10(d / 46.2) +
             r.FrequencyDb + AltitudeTermDb(site);
        if (weather == TWeather::Rain) ri -= 6;
    }
    // Lateral attenuation: direct, ground-wave and induction terms.
    const double y = c.YM;
    const double p = distanceM * 52.5 / (r.LambdaM * r.LambdaM * r.Sigma);
    const double u = 1 / (0.020944 * r.F * distanceM); // 1 ÷ kR, k = 2π ÷ λ
    const double breakpoint = 12 * r.AntennaM * y / r.LambdaM;
    const double t1 =
        distanceM > breakpoint ? std::pow(y * u * breakpoint / distanceM, 2) : std::pow(y * u, 2);
    const double t2 = std::pow(y * u * GroundWaveAttenuation(p), 2);
    const double t3 = std::pow(y * u * u, 2);
    ri += -10 * (c.IsAc ? r.ReferenceAc : r.ReferenceDc) + 10 * std::log10(t1 + t2 + t3);
    if (c.IsAc && weather == TWeather::Fair) ri -= 24;
    return ri;
}

// ---- Television interference ----

// Distance term L(R) − L(61) of an antenna R metres away, with the breakpoint
// B (m) where the decay turns from 20 to 40 dB a decade.
double TelevisionDistanceTermDb(double distanceM, double breakpointM) {
    const double reference = 61;
    if (breakpointM > reference) {
        if (distanceM <= breakpointM) return 20 * std::log10(reference / distanceM);
        return 20 * std::log10(reference / breakpointM) + 40 * std::log10(breakpointM / distanceM);
    }
    if (distanceM <= breakpointM)
        return 40 * std::log10(reference / breakpointM) + 20 * std::log10(breakpointM / distanceM);
    return 40 * std::log10(reference / distanceM);
}

} // namespace

bool IsCoronaSource(const TSystemConductor& c) {
    return !c.IsGround && c.InChargeSystem && c.MaxVoltageKv != 0 && c.MaxGradientKvCm &&
           *c.MaxGradientKvCm != 0 && std::isfinite(*c.MaxGradientKvCm);
}

std::optional<float> AudibleNoiseDba(std::span<const TSystemConductor> system,
                                     const TCoronaSite& site, float xM, TWeather weather) {
    double powerSum = 0;
    for (const TSystemConductor& c : system) {
        if (!IsCoronaSource(c)) continue;
        const double distanceSq = DistanceSqTo(c, xM, site.MicrophoneHeightM);
        if (IsInsideConductor(distanceSq, c.RadiusM)) return std::nullopt;
        const std::optional<double> level =
            AudibleNoiseLevelDba(c, std::sqrt(distanceSq), site, weather);
        if (!level) continue;
        const double power = std::pow(10.0, *level / 10);
        if (power > 0) powerSum += power;
    }
    if (!(powerSum > 0)) return std::nullopt;
    return FiniteFloat(10 * std::log10(powerSum));
}

std::optional<float> RadioInterferenceDbuv(std::span<const TSystemConductor> system,
                                           const TCoronaSite& site, float xM, TWeather weather) {
    const TRadioParameters r = RadioParameters(site);
    std::optional<double> line;
    for (const TSystemConductor& c : system) {
        if (!IsCoronaSource(c)) continue;
        const double distanceSq = DistanceSqTo(c, xM, site.RadioAntennaHeightM);
        if (IsInsideConductor(distanceSq, c.RadiusM)) return std::nullopt;
        const double level = RadioLevelDbuv(c, std::sqrt(distanceSq), r, site, weather);
        if (!line || level > *line) line = level;
    }
    if (!line) return std::nullopt;
    if (weather == TWeather::Rain) *line -= 7;
    return FiniteFloat(*line);
}

std::optional<float> TelevisionInterferenceDbuv(std::span<const TSystemConductor> system,
                                                const TCoronaSite& site, float xM) {
    const double f = site.TvFrequencyMhz;
    const double h = site.TvAntennaHeightM;
    std::optional<double> line;
    for (const TSystemConductor& c : system) {
        if (!IsCoronaSource(c) || !c.IsAc) continue;
        const double distanceSq = DistanceSqTo(c, xM, site.TvAntennaHeightM);
        if (IsInsideConductor(distanceSq, c.RadiusM)) return std::nullopt;
        const double g = std::fabs(Gradient(c));
        const double breakpoint = f * h * c.YM * 0.04;
        const double tvi = 120 * std::log10(g / 16.3) + 10 + 40 * std::log10(c.DiameterMm / 30.4) +
                           20 * std::log10(75 / f) + AltitudeTermDb(site) +
                           TelevisionDistanceTermDb(std::sqrt(distanceSq), breakpoint);
        if (!line || tvi > *line) line = tvi;
    }
    if (!line) return std::nullopt;
    return FiniteFloat(*line);
}

double CoronaLossRainTermDb(double r) {
    if (r <= 0) return 1.676;
    if (r <= 3.6) return 10 * std::log10(r / 1.676);
    return 3.5 * std::log10(r / 3.6) + 3.3;
}

std::optional<float> CoronaLossKwPerKm(const TSystemConductor& c, const TCoronaSite& site) {
    if (!IsCoronaSource(c)) return std::nullopt;
    const double rain = site.RainRateMmPerH;
    const double n = c.SubCondCount;
    const double d = c.DiameterMm;
    const double g = Gradient(c);
    double loss = CoronaLossRainTermDb(rain);
    if (c.IsAc) {
        const double k = c.SubCondCount <= 4 ? 13 : 19;
        loss += 65 * std::log10(std::fabs(g) / 18.8) + 14.2 + 40 * std::log10(d / 35.1) +
                k * std::log10(n / 4) + AltitudeTermDb(site);
        if (rain == 0) loss -= 17;
    } else {
        loss += 20 * std::log10(d / 40.7) + (std::fabs(g) - 25) * 0.73 + 16.9 +
                8 * std::log10(n / 6) - 3 + AltitudeTermDb(site);
        if (rain == 0) loss -= 5;
    }
    return FiniteFloat(std::pow(10.0, loss / 10));
}

std::optional<float> OzoneRate(const TSystemConductor& c, float coronaLossKwPerKm) {
    if (!IsCoronaSource(c)) return std::nullopt;
    const double u = c.MaxVoltageKv;
    if (c.IsAc) {
        const double ratio = Gradient(c) / (u / std::sqrt(3.0));
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

std::optional<float> OzonePpb(std::span<const TSystemConductor> system, const TCoronaSite& site,
                              float xM) {
    constexpr double kSqrtTwoPi = 2.50662827;
    constexpr double kLargestExponent = 88;
    const double z = site.OzoneHeightM;
    const double w = site.WindVelocityMPerS;
    bool anySource = false;
    double total = 0;
    for (const TSystemConductor& c : system) {
        if (!c.OzoneRate) continue;
        anySource = true;
        const double downwind = static_cast<double>(xM) - c.XM;
        if (!(downwind >= 0.25)) continue;
        const double y = c.YM;
        // Vertical dispersion of the plume, m.
        const double sigma =
            (4.75 * std::pow(100 / y, 0.25) + 23 / w) * 0.0315 * std::pow(downwind, 0.86);
        const double concentration = *c.OzoneRate / (sigma * w * kSqrtTwoPi);
        const double twoSigmaSq = 2 * sigma * sigma;
        const double e1 = std::min((y - z) * (y - z) / twoSigmaSq, kLargestExponent);
        const double e2 = std::min((y + z) * (y + z) / twoSigmaSq, kLargestExponent);
        total += concentration * (std::exp(-e1) + std::exp(-e2));
    }
    if (!anySource) return std::nullopt;
    return FiniteFloat(total * 4.67e8);
}

} // namespace corvalt
