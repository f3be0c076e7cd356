// The corona site parameters of a cross section, set on the model, move the
// levels they feed by the amount the formulas give. Each case computes the
// cross section once with every parameter unset and once with one set, and
// compares the two, so the conductor's gradient (the same in both runs) drops
// out of the expected value, which is worked out by hand in the comments.
#include "LineBuilder.h"
#include "compute/Compute.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// A Metric cross section with the given conductors and one point of interest
// at each x, computed with one site parameter set (or none).
struct TSite {
    TEmfProject project;
    TScenario* scenario = nullptr;

    TSite(const std::vector<TCond>& line, std::initializer_list<float> pointsM) {
        project.Units = Metric;
        scenario = &AddScenario(project);
        scenario->RowLeft = 30;
        scenario->RowRight = 30;
        AddConductors(AddCircuit(*scenario), line);
        for (const float x : pointsM)
            AddInterestPoint(*scenario, "P" + std::to_string(x), x);
    }
    void Compute() { ASSERT_TRUE(ComputeScenario(*scenario)) << scenario->CalcError; }
    const TCalcResult& Point(int i) const {
        return *scenario->ResultAt(scenario->InterestPoints[i].ResultIndex);
    }
};

// The worked single conductor: 25.4 mm, 230 kV, 10 m high above x = 0.
const std::vector<TCond> kSingle{{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230}};

using TLevel = std::function<std::optional<float>(const TCalcResult&)>;

// Level shifts of one parameter at one point of the single conductor, dB.
struct TShiftCase {
    const char* name;
    TSiteParameter parameter;
    float value; // stored units
    float xM;
    std::vector<std::pair<const char*, TLevel>> levels;
    double shiftDb;
};

const TLevel AnRain = [](const TCalcResult& r) { return r.AnRainL50; };
const TLevel AnFair = [](const TCalcResult& r) { return r.AnFairL50; };
const TLevel RiRain = [](const TCalcResult& r) { return r.RiRain; };
const TLevel RiFair = [](const TCalcResult& r) { return r.RiFair; };
const TLevel TviRain = [](const TCalcResult& r) { return r.TviRain; };

} // namespace

TEST(SiteParameters, EachMovesTheLevelsItFeedsByTheFormulasAmount) {
    using enum TSiteParameter;
    const TShiftCase cases[] = {
        // Audible noise falls with 11.4 log D, D from the conductor to the
        // microphone. Below the conductor D = 10 − 1.5 = 8.5 instead of 10:
        // 11.4 log(10 ÷ 8.5) = 11.4 × 0.0705811 = 0.804624 dB louder.
        {"microphone under the line",
         MicrophoneHeight,
         1.5f,
         0,
         {{"AN rain", AnRain}, {"AN fair", AnFair}},
         0.804624},
        // At x = 20: D = √(20² + 8.5²) = 21.731314 instead of √(20² + 10²) =
        // 22.360680: 11.4 log(22.360680 ÷ 21.731314) = 0.141349 dB.
        {"microphone to the side",
         MicrophoneHeight,
         1.5f,
         20,
         {{"AN rain", AnRain}, {"AN fair", AnFair}},
         0.141349},
        // Radio at x = 20, 1 MHz (λ = 300 m), σ = 0.1; only the lateral
        // attenuation 10 log(T1 + T2 + T3) changes with the antenna height h.
        // h = 0: R = 22.360680, p = R × 52.5 ÷ (300² × 0.1) = 0.130437, A(p) =
        //   0.952578, u = 1 ÷ (0.020944 R) = 2.135283, B = 0 so T1 = 0,
        //   T2 = (10 u A(p))² = 413.7248, T3 = (10 u²)² = 2078.8420:
        //   10 log 2492.5668 = 33.966468.
        // h = 2: R = √(20² + 8²) = 21.540659, p = 0.125654, A(p) = 0.954368,
        //   u = 2.216570, B = 12 × 2 × 10 ÷ 300 = 0.8 < R so T1 = (10 u B ÷ R)² =
        //   0.677680, T2 = 447.5011, T3 = 2413.9347: 10 log 2862.1135 = 34.566869.
        //   Rise 0.600401 dB, in rain and in fair weather alike.
        {"radio antenna height",
         RadioAntennaHeight,
         2,
         20,
         {{"RI rain", RiRain}, {"RI fair", RiFair}},
         0.600401},
        // 0.5 MHz instead of 1 at x = 20, h = 0. Three terms move:
        //   frequency term F = 10 (1 − (log 5)²) = 5.114409 instead of 0;
        //   reference 10 log(R1² + R2² + R3²) (AC): at 1 MHz kR0 = 0.44068,
        //   p0 = 276.16 ÷ 300² = 0.00306844, A(p0) = 0.998925, R1 = 31.088318,
        //   R2 = 31.054894, R3 = 70.546242, Ref = 3.839331; at 0.5 MHz kR0 =
        //   0.22034, λ = 600, p0 = 0.000767111, R1 = 62.176636, R2 = 62.159938,
        //   R3 = 282.184969, Ref = 4.941303: −10 × 1.101972 = −11.019724;
        //   attenuation at λ = 600: p = 0.0326093, A(p) = 0.988460, u = 4.270565,
        //   T2 = 1781.9214, T3 = 33261.4714, 10 log 35043.3928 = 45.446061, up
        //   11.479594 from 33.966468.
        //   5.114409 − 11.019724 + 11.479594 = 5.574280 dB.
        {"radio frequency",
         RadioFrequency,
         0.5f,
         20,
         {{"RI rain", RiRain}, {"RI fair", RiFair}},
         5.574280},
        // σ = 10 mmhos/m at x = 20: p = 0.00130437, A(p) = 0.999543, T2 =
        // 455.5268, 10 log(455.5268 + 2078.8420) = 34.038698: 0.072230 dB more.
        {"ground conductivity",
         GroundConductivity,
         10,
         20,
         {{"RI rain", RiRain}, {"RI fair", RiFair}},
         0.072230},
        // TV at x = 20, 75 MHz. Antenna on the ground: B = 0, R = 22.360680, the
        // distance term is 40 log(61 ÷ R) = 17.433793. Antenna at 10 m: B =
        // 75 × 10 × 10 × 0.04 = 300 > 61 and R = 20 ≤ B: 20 log(61 ÷ 20) =
        // 9.685997. Change −7.747797 dB.
        {"TV antenna height", TvAntennaHeight, 10, 20, {{"TVI", TviRain}}, -7.747797},
        // 150 MHz with the antenna on the ground (B = 0 at any frequency): only
        // 20 log(75 ÷ f) moves, by 20 log(75 ÷ 150) = −6.020600 dB.
        {"TV frequency", TvFrequency, 150, 20, {{"TVI", TviRain}}, -6.020600},
    };
    for (const TShiftCase& c : cases) {
        SCOPED_TRACE(c.name);
        TSite unset(kSingle, {c.xM});
        unset.Compute();
        TSite set(kSingle, {c.xM});
        set.scenario->SetSiteValue(c.parameter, c.value);
        set.Compute();
        for (const auto& [label, level] : c.levels) {
            SCOPED_TRACE(label);
            const std::optional<float> before = level(unset.Point(0));
            const std::optional<float> after = level(set.Point(0));
            ASSERT_TRUE(before && after);
            EXPECT_NEAR(*after - *before, c.shiftDb, 2e-5);
        }
    }
}

TEST(SiteParameters, WindAndOzoneHeightShapeThePlume) {
    // Ozone at x = 20 (20 m downwind), conductor at Y = 10, ozone height z:
    // ∝ 1 ÷ (σ w) × (e^−(Y−z)²/2σ² + e^−(Y+z)²/2σ²), with the dispersion
    // σ = (4.75 (100 ÷ 10)^0.25 + 23 ÷ w) × 0.0315 × 20^0.86.
    // w = 1: σ = (8.446924 + 23) × 0.0315 × 13.159034 = 13.024864;
    // w = 2: σ = (8.446924 + 11.5) × 0.0315 × 13.159034 = 8.261714.
    // Wind 2 m/s against 1, z = 0: (1 ÷ (8.261714 × 2)) e^−100/(2 × 8.261714²)
    //   ÷ ((1 ÷ 13.024864) e^−100/(2 × 13.024864²)) = 0.508786.
    // Ozone height 1.5 m, w = 1: (e^−8.5²/2σ² + e^−11.5²/2σ²) ÷ (2 e^−10²/2σ²)
    //   = 0.997276.
    struct Case {
        const char* name;
        TSiteParameter parameter;
        float value;
        double ratio;
    };
    const Case cases[] = {
        {"wind velocity", TSiteParameter::WindVelocity, 2, 0.508786},
        {"ozone height", TSiteParameter::OzoneHeight, 1.5f, 0.997276},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSite unset(kSingle, {20});
        unset.Compute();
        TSite set(kSingle, {20});
        set.scenario->SetSiteValue(c.parameter, c.value);
        set.Compute();
        EXPECT_NEAR(*set.Point(0).Ozone / *unset.Point(0).Ozone, c.ratio, 2e-6);
    }
}

TEST(SiteParameters, AltitudeRaisesEveryLevelOneDecibelPer300Metres) {
    // Every audible-noise, radio, TV and corona-loss level gets + A ÷ 300: at
    // 300 m one decibel, on AC and DC conductors alike, so the power sums and
    // the loudest conductors move by 1 dB too. The corona loss, 10^(L ÷ 10),
    // grows by 10^0.1 = 1.258925, and the ozone, which is proportional to it,
    // by as much.
    const std::vector<TCond> line = MixedAcDc12();
    TSite unset(line, {-40, -23, 0, 14, 35});
    unset.Compute();
    TSite high(line, {-40, -23, 0, 14, 35});
    high.scenario->Altitude = 300;
    high.Compute();
    const std::pair<const char*, TLevel> levels[] = {
        {"AN rain", AnRain}, {"AN fair", AnFair}, {"RI rain", RiRain},
        {"RI fair", RiFair}, {"TVI", TviRain},
    };
    const TScenario& before = *unset.scenario;
    const TScenario& after = *high.scenario;
    ASSERT_EQ(before.Results.size(), after.Results.size());
    for (std::size_t i = 0; i < before.Results.size(); ++i) {
        SCOPED_TRACE(before.Results[i].DistM);
        for (const auto& [label, level] : levels) {
            const std::optional<float> low = level(before.Results[i]);
            const std::optional<float> raised = level(after.Results[i]);
            ASSERT_TRUE(low && raised) << label;
            EXPECT_NEAR(*raised - *low, 1.0, 2e-5) << label;
        }
        if (before.Results[i].Ozone && *before.Results[i].Ozone > 0) {
            EXPECT_NEAR(*after.Results[i].Ozone / *before.Results[i].Ozone, 1.258925, 2e-6);
        }
    }
    int dcPoles = 0;
    for (std::size_t k = 0; k < line.size(); ++k) {
        if (line[k].Ground) continue;
        dcPoles += line[k].Ac ? 0 : 1;
        const float low = *before.Conductors[k]->Calc.CoronaLoss;
        EXPECT_NEAR(*after.Conductors[k]->Calc.CoronaLoss / low, 1.258925, 2e-6) << k;
    }
    EXPECT_EQ(dcPoles, 2);
}

TEST(SiteParameters, RainRateTakesTheTermOfItsBranch) {
    // The corona loss L = c + (terms of the conductor) − 17 (AC) or − 5 (DC) in
    // fair weather, where c = 1.676; in rain r the deduction goes and
    //   c = 10 log(r ÷ 1.676) up to 3.6 mm/h, 3.5 log(r ÷ 3.6) + 3.3 above.
    // r = 1:   c = 10 log 0.596659 = −2.242740: AC +13.081260 dB (× 20.329467),
    //          DC +1.081260 dB (× 1.282703).
    // r = 7.2: c = 3.5 log 2 + 3.3 = 4.353605: AC +19.677605 dB (× 92.845423),
    //          DC +7.677605 dB (× 5.858150). The other branch would give
    //          10 log(7.2 ÷ 1.676) = 6.330 and factors 138 and 8.7.
    // Audible noise, radio and TV interference give rain and fair values of
    // their own and do not depend on the rain rate.
    struct Case {
        float rainMmPerH;
        double acFactor, dcFactor;
    };
    const Case cases[] = {{1, 20.329467, 1.282703}, {7.2f, 92.845423, 5.858150}};
    const std::vector<TCond> line = MixedAcDc12();
    TSite fair(line, {-23, 14});
    fair.Compute();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rainMmPerH);
        TSite rain(line, {-23, 14});
        rain.scenario->RainRate = c.rainMmPerH;
        rain.Compute();
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (line[k].Ground) continue;
            const double factor = line[k].Ac ? c.acFactor : c.dcFactor;
            EXPECT_NEAR(*rain.scenario->Conductors[k]->Calc.CoronaLoss /
                            *fair.scenario->Conductors[k]->Calc.CoronaLoss,
                        factor, 2e-6 * factor)
                << k;
        }
        for (std::size_t i = 0; i < fair.scenario->Results.size(); ++i) {
            const TCalcResult& a = fair.scenario->Results[i];
            const TCalcResult& b = rain.scenario->Results[i];
            EXPECT_EQ(a.AnRainL50, b.AnRainL50);
            EXPECT_EQ(a.RiFair, b.RiFair);
            EXPECT_EQ(a.TviRain, b.TviRain);
        }
    }
}

TEST(SiteParameters, AValueOutsideItsRangeStopsTheComputationWithAReason) {
    struct Case {
        TSiteParameter parameter;
        float value;
        const char* reason;
    };
    const Case cases[] = {
        {TSiteParameter::RadioFrequency, -1,
         "its radio frequency of -1 MHz is outside 0.1 to 30 MHz."},
        {TSiteParameter::MicrophoneHeight, -2,
         "its microphone height of -2 m is outside 0 to 500 m."},
        {TSiteParameter::WindVelocity, 0.05f,
         "its wind velocity of 0.05 m/s is outside 0.1 to 100 m/s."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TSite site(kSingle, {20});
        site.scenario->SetSiteValue(c.parameter, c.value);
        EXPECT_FALSE(ComputeScenario(*site.scenario));
        EXPECT_EQ(site.scenario->CalcError,
                  std::string("Cross section 'North' cannot be computed: ") + c.reason);
        EXPECT_TRUE(site.scenario->Results.empty());
    }
}
