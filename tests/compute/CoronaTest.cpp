// Corona effects: the worked 230 kV case, the fixed offsets between weathers,
// DC poles, bundle rules, the rain term, the ozone plume's reach, the TV
// breakpoint, and conductors that produce no corona.
#include "compute/Corona.h"
#include "LineBuilder.h"
#include "compute/Charges.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// A conductor record with a given gradient, as the charge step would leave it.
TSystemConductor WithGradient(const TCond& c, float gradientKvCm) {
    TSystemConductor s = SystemOf({c})[0];
    s.MaxGradientKvCm = gradientKvCm;
    return s;
}

std::vector<TSystemConductor> WithLosses(std::vector<TSystemConductor> system,
                                         const TCoronaSite& site = {}) {
    ComputeCoronaLosses(system, site);
    return system;
}

enum class TWeather { Rain, Fair };

std::optional<float> Pick(const TRainFair& values, TWeather weather) {
    return weather == TWeather::Rain ? values.Rain : values.Fair;
}

std::optional<float> AudibleNoiseDba(std::span<const TSystemConductor> system,
                                     const TCoronaSite& site, float x, TWeather weather) {
    return Pick(TCoronaField(system, site).AudibleNoiseDba(x), weather);
}
std::optional<float> RadioInterferenceDbuv(std::span<const TSystemConductor> system,
                                           const TCoronaSite& site, float x, TWeather weather) {
    return Pick(TCoronaField(system, site).RadioInterferenceDbuv(x), weather);
}
std::optional<float> TelevisionInterferenceDbuv(std::span<const TSystemConductor> system,
                                                const TCoronaSite& site, float x) {
    return TCoronaField(system, site).TelevisionInterferenceDbuv(x);
}
std::optional<float> OzonePpb(std::span<const TSystemConductor> system, const TCoronaSite& site,
                              float x) {
    return TCoronaField(system, site).OzonePpb(x);
}

} // namespace

TEST(Corona, WorkedCase230kV) {
    std::vector<TSystemConductor> system =
        SystemOf({{.X = 5, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230}});
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    const TCoronaSite site; // every parameter at its default
    ComputeCoronaLosses(system, site);
    EXPECT_NEAR(*system[0].CoronaLossKwPerKm, 0.005642, 0.0000005);

    EXPECT_NEAR(*AudibleNoiseDba(system, site, 5, TWeather::Rain), 33.75, 0.005);
    EXPECT_NEAR(*AudibleNoiseDba(system, site, 5, TWeather::Fair), 8.75, 0.005);
    EXPECT_NEAR(*RadioInterferenceDbuv(system, site, 5, TWeather::Fair), 40.27, 0.005);
    EXPECT_NEAR(*RadioInterferenceDbuv(system, site, 5, TWeather::Rain), 57.27, 0.005);
    EXPECT_NEAR(*TelevisionInterferenceDbuv(system, site, 5), 31.11, 0.005);
    EXPECT_EQ(*OzonePpb(system, site, 5), 0.0f);
    EXPECT_NEAR(*OzonePpb(system, site, 15), 0.00016, 0.000005);
}

TEST(Corona, WeatherOffsetsOfAnAcLine) {
    std::vector<TSystemConductor> system = SystemOf(DoubleCircuit500kV());
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    const TCoronaSite site;
    for (const float x : {-40.0f, 0.0f, 12.5f, 60.0f}) {
        SCOPED_TRACE(x);
        // Every conductor shifts by 25 dB before the power sum.
        EXPECT_NEAR(*AudibleNoiseDba(system, site, x, TWeather::Fair),
                    *AudibleNoiseDba(system, site, x, TWeather::Rain) - 25, 1e-4);
        EXPECT_NEAR(*RadioInterferenceDbuv(system, site, x, TWeather::Rain),
                    *RadioInterferenceDbuv(system, site, x, TWeather::Fair) + 17, 1e-4);
    }
}

TEST(Corona, DcPoles) {
    const TCond pole{.X = 0, .Y = 20, .DiameterMm = 40.7f, .VoltageKv = 500, .Ac = false};
    TCond negative = pole;
    negative.VoltageKv = -500;
    const TSystemConductor positivePole = WithGradient(pole, 22);
    const TSystemConductor negativePole = WithGradient(negative, -22);
    const TCoronaSite site;
    for (const TWeather weather : {TWeather::Rain, TWeather::Fair}) {
        // The negative pole adds nothing to the audible noise...
        EXPECT_FALSE(AudibleNoiseDba(std::vector{negativePole}, site, 30, weather).has_value());
        EXPECT_EQ(*AudibleNoiseDba(std::vector{positivePole, negativePole}, site, 30, weather),
                  *AudibleNoiseDba(std::vector{positivePole}, site, 30, weather));
        // ...and its radio interference uses |g|, 4 dB below a positive pole's.
        EXPECT_NEAR(*RadioInterferenceDbuv(std::vector{negativePole}, site, 30, weather),
                    *RadioInterferenceDbuv(std::vector{positivePole}, site, 30, weather) - 4, 1e-4);
    }
    // DC fair weather is 6 dB louder than rain; DC poles make no TV interference.
    EXPECT_NEAR(*AudibleNoiseDba(std::vector{positivePole}, site, 30, TWeather::Fair),
                *AudibleNoiseDba(std::vector{positivePole}, site, 30, TWeather::Rain) + 6, 1e-4);
    EXPECT_FALSE(TelevisionInterferenceDbuv(std::vector{positivePole}, site, 30).has_value());
    // Corona loss and ozone rate of both poles: |g| enters linearly.
    const auto losses = WithLosses({positivePole, negativePole});
    EXPECT_FLOAT_EQ(*losses[0].CoronaLossKwPerKm, *losses[1].CoronaLossKwPerKm);
    EXPECT_FLOAT_EQ(*losses[0].OzoneRate, *losses[0].CoronaLossKwPerKm * 3.8e-10f);
    EXPECT_FLOAT_EQ(*losses[1].OzoneRate, *losses[1].CoronaLossKwPerKm * 1.26e-9f);
}

TEST(Corona, BundleRules) {
    const TCoronaSite site;
    const auto bundle = [](int n) {
        return WithGradient(
            {.X = 0, .Y = 20, .N = n, .DiameterMm = 30, .SpacingCm = 45, .VoltageKv = 500}, 15);
    };
    const auto an = [&](int n) {
        return static_cast<double>(
            *AudibleNoiseDba(std::vector{bundle(n)}, site, 10, TWeather::Rain));
    };
    const auto loss = [&](int n) {
        return std::log10(static_cast<double>(*WithLosses({bundle(n)})[0].CoronaLossKwPerKm)) * 10;
    };
    // Audible noise: d_eq = d up to 3 sub-conductors, 0.58 n^0.48 d from 4.
    EXPECT_NEAR(an(3), an(1), 1e-4);
    EXPECT_NEAR(an(4) - an(1), 55 * std::log10(0.58 * std::pow(4, 0.48)), 1e-4);
    // Corona loss: K log(n ÷ 4) with K = 13 up to 4 sub-conductors, 19 above.
    EXPECT_NEAR(loss(4) - loss(3), 13 * std::log10(4.0 / 3), 1e-4);
    EXPECT_NEAR(loss(5) - loss(4), 19 * std::log10(5.0 / 4), 1e-4);
}

TEST(Corona, RainTermOfTheCoronaLoss) {
    EXPECT_DOUBLE_EQ(CoronaLossRainTermDb(0), 1.676);
    EXPECT_DOUBLE_EQ(CoronaLossRainTermDb(-2), 1.676);
    EXPECT_NEAR(CoronaLossRainTermDb(1.676), 0, 1e-12);
    EXPECT_NEAR(CoronaLossRainTermDb(3.6), 10 * std::log10(3.6 / 1.676), 1e-12);
    EXPECT_NEAR(CoronaLossRainTermDb(36), 3.5 + 3.3, 1e-12);
    // Fair weather (rain rate 0) takes 17 dB off an AC conductor's loss; a rain
    // rate of 1.676 mm/h has a rain term of 0.
    const TSystemConductor c = WithGradient({.X = 0, .Y = 20, .VoltageKv = 230}, 16);
    const double fair = *CoronaLossKwPerKm(c, {});
    const double rain = *CoronaLossKwPerKm(c, {.RainRateMmPerH = 1.676f});
    EXPECT_NEAR(10 * std::log10(fair / rain), 1.676 - 17, 1e-4);
}

TEST(Corona, OzoneReachesOnlyPointsDownwind) {
    const auto system = WithLosses({WithGradient({.X = 2, .Y = 12, .VoltageKv = 230}, 16),
                                    WithGradient({.X = 9, .Y = 12, .VoltageKv = 230}, 16)});
    const TCoronaSite site;
    EXPECT_EQ(*OzonePpb(system, site, -10), 0.0f);  // upwind of both
    EXPECT_EQ(*OzonePpb(system, site, 2.2f), 0.0f); // less than 0.25 m past the first
    EXPECT_GT(*OzonePpb(system, site, 2.3f), 0.0f);
    // Less than 0.25 m past the second conductor only the first one's plume arrives.
    const std::vector first{system[0]};
    EXPECT_EQ(*OzonePpb(system, site, 9.2f), *OzonePpb(first, site, 9.2f));
    EXPECT_GT(*OzonePpb(system, site, 20), *OzonePpb(first, site, 20));
    // More wind dilutes the plume.
    EXPECT_LT(*OzonePpb(system, {.WindVelocityMPerS = 4}, 30), *OzonePpb(system, site, 30));
    // Without a source the value is not available, rather than 0.
    EXPECT_FALSE(OzonePpb(SystemOf({{.X = 0, .Ground = true}}), site, 10).has_value());
}

TEST(Corona, TelevisionBreakpoint) {
    const TSystemConductor c = WithGradient({.X = 0, .Y = 15, .VoltageKv = 230}, 16);
    const std::vector system{c};
    // Antenna on the ground: breakpoint 0, so 40 dB a decade everywhere.
    const TCoronaSite ground;
    const double at61 =
        *TelevisionInterferenceDbuv(system, ground, std::sqrt(61.0f * 61 - 15 * 15));
    const double at200 =
        *TelevisionInterferenceDbuv(system, ground, std::sqrt(200.0f * 200 - 15 * 15));
    EXPECT_NEAR(at200 - at61, -40 * std::log10(200.0 / 61), 1e-3);
    // A 10 m antenna at 75 MHz: breakpoint 75 × 10 × 15 × 0.04 = 450 m > 61 m, so
    // 20 dB a decade up to it.
    const TCoronaSite mast{.TvAntennaHeightM = 10};
    const auto tvi = [&](double r) {
        return static_cast<double>(
            *TelevisionInterferenceDbuv(system, mast, static_cast<float>(std::sqrt(r * r - 25))));
    };
    EXPECT_NEAR(tvi(61), tvi(200) + 20 * std::log10(200.0 / 61), 1e-3);
    EXPECT_NEAR(tvi(1000) - tvi(450), 40 * std::log10(450.0 / 1000), 1e-3);
}

TEST(Corona, ConductorsWithoutCoronaAreLeftOut) {
    const TCoronaSite site;
    const TSystemConductor energized = WithGradient({.X = 0, .Y = 15, .VoltageKv = 230}, 16);
    // An AC phase at 0 V still holds an induced charge; it makes no corona.
    const TSystemConductor dead = WithGradient({.X = 8, .Y = 15, .VoltageKv = 0}, 3);
    const TSystemConductor wire = WithGradient({.X = 4, .Y = 20, .Ground = true}, 5);
    const std::vector alone{energized};
    const std::vector line = WithLosses({energized, dead, wire});
    EXPECT_FALSE(line[1].CoronaLossKwPerKm.has_value());
    EXPECT_FALSE(line[2].CoronaLossKwPerKm.has_value());
    EXPECT_EQ(*AudibleNoiseDba(line, site, 20, TWeather::Rain),
              *AudibleNoiseDba(alone, site, 20, TWeather::Rain));
    EXPECT_EQ(*RadioInterferenceDbuv(line, site, 20, TWeather::Fair),
              *RadioInterferenceDbuv(alone, site, 20, TWeather::Fair));

    // Nothing left: no value at all.
    const std::vector quiet =
        WithLosses({dead, wire, WithGradient({.X = 1, .Y = 15, .VoltageKv = 230}, 0)});
    EXPECT_FALSE(AudibleNoiseDba(quiet, site, 0, TWeather::Rain).has_value());
    EXPECT_FALSE(RadioInterferenceDbuv(quiet, site, 0, TWeather::Rain).has_value());
    EXPECT_FALSE(TelevisionInterferenceDbuv(quiet, site, 0).has_value());
    EXPECT_FALSE(OzonePpb(quiet, site, 30).has_value());
}

TEST(Corona, AcConductorWithANegativeVoltageUsesItsGradientMagnitude) {
    const TSystemConductor plus = WithGradient({.X = 0, .Y = 15, .VoltageKv = 230}, 16);
    const TSystemConductor minus = WithGradient({.X = 0, .Y = 15, .VoltageKv = -230}, -16);
    const TCoronaSite site;
    EXPECT_EQ(*AudibleNoiseDba(std::vector{minus}, site, 3, TWeather::Rain),
              *AudibleNoiseDba(std::vector{plus}, site, 3, TWeather::Rain));
    EXPECT_EQ(*TelevisionInterferenceDbuv(std::vector{minus}, site, 3),
              *TelevisionInterferenceDbuv(std::vector{plus}, site, 3));
    EXPECT_EQ(*WithLosses({minus})[0].OzoneRate, *WithLosses({plus})[0].OzoneRate);
}

TEST(Corona, InstrumentInsideAConductorHasNoValue) {
    const std::vector system = WithLosses({WithGradient({.X = 0, .Y = 15, .VoltageKv = 230}, 16)});
    const TCoronaSite onLine{
        .MicrophoneHeightM = 15, .RadioAntennaHeightM = 15, .TvAntennaHeightM = 15};
    EXPECT_FALSE(AudibleNoiseDba(system, onLine, 0, TWeather::Rain).has_value());
    EXPECT_FALSE(RadioInterferenceDbuv(system, onLine, 0, TWeather::Rain).has_value());
    EXPECT_FALSE(TelevisionInterferenceDbuv(system, onLine, 0).has_value());
    EXPECT_TRUE(AudibleNoiseDba(system, onLine, 1, TWeather::Rain).has_value());
}
