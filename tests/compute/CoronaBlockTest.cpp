// TCoronaField::Fill, in each processor build this processor runs, against the
// per-point corona functions on AC bundles with ground wires, a DC bipole, a
// lone negative pole, a mixed AC/DC line, a conductor with no gradient and a
// line without corona sources: every value within 1e-6 relative (0 stays 0)
// and empty exactly where the per-point value is, at points inside the
// conductors, exactly 0.25 m downwind, exactly at the radio and TV
// breakpoints and 10 km away.
#include "LineBuilder.h"
#include "compute/Charges.h"
#include "compute/Corona.h"
#include "model/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

struct TBlockCase {
    std::string Name;
    std::vector<TCond> Line;
    TCoronaSite Site;
    std::vector<int> WithoutGradient; // conductors whose gradient is set to 0
};

// The sensors at the 20 m phases' height (points on their axis and within
// their radius are inside), 1 MHz and 50 MHz: the radio breakpoint of a
// 20 m conductor is 12 × 20 × 20 ÷ 300 = 16 m and the TV one 50 × 20 × 20 ×
// 0.04 = 800 m, both exactly at a distance of 16 m and 800 m along the sensors' line.
TCoronaSite SensorsAtConductorHeight() {
    return {.MicrophoneHeightM = 20,
            .RadioAntennaHeightM = 20,
            .RadioFrequencyMhz = 1,
            .TvAntennaHeightM = 20,
            .TvFrequencyMhz = 50,
            .RainRateMmPerH = 2,
            .WindVelocityMPerS = 3,
            .OzoneHeightM = 1.5f};
}

std::vector<TBlockCase> Cases() {
    const TCond plus{.X = -6,
                     .Y = 20,
                     .N = 2,
                     .DiameterMm = 40.7f,
                     .SpacingCm = 45,
                     .VoltageKv = 500,
                     .Ac = false};
    TCond minus = plus;
    minus.X = 6;
    minus.VoltageKv = -500;
    // TV breakpoints 76 × 1 × Y × 0.04: 60.8 m (just below 61 m), 91.2 m and
    // 121.6 m for the phases at 20, 30 and 40 m.
    const TCoronaSite lowTvAntenna{.TvAntennaHeightM = 1, .TvFrequencyMhz = 76};
    return {
        {"500 kV AC bundles, ground wires", DoubleCircuit500kV(), SensorsAtConductorHeight(), {}},
        {"500 kV AC, low TV antenna", DoubleCircuit500kV(), lowTvAntenna, {}},
        {"DC bipole", {plus, minus}, SensorsAtConductorHeight(), {}},
        {"negative pole and ground wire",
         {minus, {.X = 0, .Y = 30, .DiameterMm = 11, .Ground = true}},
         {},
         {}},
        {"mixed AC/DC", MixedAcDc12(), SensorsAtConductorHeight(), {}},
        {"230 kV, one phase without gradient", Circuit230kV(), {.RainRateMmPerH = 5}, {1}},
        {"no corona source", Circuit230kV(), {}, {0, 1, 2}},
    };
}

std::vector<TSystemConductor> PreparedSystem(const TBlockCase& c) {
    std::vector<TSystemConductor> system = SystemOf(c.Line);
    EXPECT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    for (const int k : c.WithoutGradient)
        system[static_cast<std::size_t>(k)].MaxGradientKvCm = 0.0f;
    ComputeCoronaLosses(system, c.Site);
    return system;
}

// Every 5 cm from −60 m to 60 m, 10 km either way, and beside each conductor:
// on its axis, within its radius, 0.25 m downwind and a float either side,
// and at its radio and TV breakpoints and a float either side.
std::vector<float> Positions(std::span<const TSystemConductor> system, const TCoronaSite& site) {
    std::vector<float> x{-1e4f, 1e4f};
    for (int i = -1200; i <= 1200; ++i)
        x.push_back(static_cast<float>(i) * 0.05f);
    const auto around = [&](float at) {
        x.insert(x.end(), {at, std::nextafter(at, -1e9f), std::nextafter(at, 1e9f)});
    };
    for (const TSystemConductor& c : system) {
        const double lambda = 300.0 / site.RadioFrequencyMhz;
        const double radio = 12 * site.RadioAntennaHeightM * c.YM / lambda;
        const double tv = site.TvFrequencyMhz * site.TvAntennaHeightM * c.YM * 0.04;
        for (const double offset :
             {0.0, 0.5 * c.RadiusM, -0.5 * c.RadiusM, 0.25, radio, -radio, tv, -tv})
            around(static_cast<float>(c.XM + offset));
    }
    return x;
}

struct TSeen {
    int Values = 0;
    int Empty = 0;
};

void ExpectClose(const std::optional<float>& actual, const std::optional<float>& expected,
                 TSeen& seen, const std::string& what) {
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (!expected) {
        ++seen.Empty;
        return;
    }
    ++seen.Values;
    ASSERT_LE(std::fabs(*actual - *expected), 1e-6f * std::fabs(*expected))
        << what << ": " << *actual << " against " << *expected;
}

} // namespace

TEST(CoronaBlock, EveryBuildMatchesThePerPointValues) {
    const char* names[] = {"AN rain", "AN fair", "RI rain", "RI fair", "TVI", "ozone"};
    for (const TKernelBuild build : {TKernelBuild::Baseline, TKernelBuild::Avx2}) {
        if (!CoronaBuildRuns(build)) continue;
        SCOPED_TRACE(build == TKernelBuild::Avx2 ? "AVX2 build" : "baseline build");
        TSeen seen[6];
        for (const TBlockCase& c : Cases()) {
            SCOPED_TRACE(c.Name);
            const std::vector<TSystemConductor> system = PreparedSystem(c);
            const TCoronaField field(system, c.Site);
            const std::vector<float> x = Positions(system, c.Site);
            std::vector<TCalcResult> records(x.size());
            for (std::size_t i = 0; i < x.size(); ++i)
                records[i].Dist = x[i];
            field.Fill(records, Metric, build);
            for (std::size_t i = 0; i < x.size(); ++i) {
                const TRainFair noise = field.AudibleNoiseDba(x[i]);
                const TRainFair radio = field.RadioInterferenceDbuv(x[i]);
                const std::optional<float> expected[] = {noise.Rain,
                                                         noise.Fair,
                                                         radio.Rain,
                                                         radio.Fair,
                                                         field.TelevisionInterferenceDbuv(x[i]),
                                                         field.OzonePpb(x[i])};
                const TCalcResult& r = records[i];
                const std::optional<float> actual[] = {r.AnRainL50, r.AnFairL50, r.RiRain,
                                                       r.RiFair,    r.TviRain,   r.Ozone};
                for (int q = 0; q < 6; ++q)
                    ExpectClose(actual[q], expected[q], seen[q],
                                std::string(names[q]) + " at x = " + std::to_string(x[i]));
                if (HasFatalFailure()) return;
            }
        }
        // Each quantity met both values and empty points.
        for (int q = 0; q < 6; ++q) {
            EXPECT_GT(seen[q].Values, 0) << names[q];
            EXPECT_GT(seen[q].Empty, 0) << names[q];
        }
    }
}
