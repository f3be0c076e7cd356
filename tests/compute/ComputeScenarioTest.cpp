// ComputeScenario and ComputeAll on the model: the worked case end to end, the
// profile and its indices, inputs left untouched, and every input the physics
// cannot take ending in a defined result or a clear reason, never NaN.
#include "LineBuilder.h"
#include "compute/Charges.h"
#include "compute/Compute.h"
#include "compute/Matrix.h"
#include "model/DataCheck.h"
#include "model/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stop_token>
#include <tuple>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

struct TWorld {
    TEmfProject project;
    TScenario* scenario = nullptr;
    TCircuit* circuit = nullptr;

    explicit TWorld(int units = Metric, const std::vector<TCond>& line = {}) {
        project.Units = static_cast<std::uint8_t>(units);
        scenario = &AddScenario(project);
        scenario->RowLeft = 15;
        scenario->RowRight = 15;
        circuit = &AddCircuit(*scenario);
        AddConductors(*circuit, line);
    }
};

void ExpectFinite(const std::optional<float>& value, const char* what) {
    EXPECT_TRUE(!value || std::isfinite(*value)) << what;
}

// Nothing that is not finite anywhere in the results.
void ExpectAllFinite(const TScenario& s) {
    for (const TCalcResult& r : s.Results) {
        ExpectFinite(r.EMax, "EMax");
        ExpectFinite(r.BMax, "BMax");
        ExpectFinite(r.AnRainL50, "AnRainL50");
        ExpectFinite(r.AnFairL50, "AnFairL50");
        ExpectFinite(r.RiRain, "RiRain");
        ExpectFinite(r.RiFair, "RiFair");
        ExpectFinite(r.TviRain, "TviRain");
        ExpectFinite(r.Ozone, "Ozone");
    }
    for (const TConductor* c : s.Conductors) {
        ExpectFinite(c->Calc.MaxGradient, "MaxGradient");
        ExpectFinite(c->Calc.CoronaLoss, "CoronaLoss");
        ExpectFinite(c->Calc.OzoneRate, "OzoneRate");
        EXPECT_TRUE(std::isfinite(c->CoronaLoss));
    }
}

const TCalcResult& RecordAt(const TScenario& s, float xM) {
    for (std::size_t i = 0; i < s.Results.size(); ++i)
        if (!s.Results[i].IsMarked && s.Results[i].DistM == xM) return s.Results[i];
    ADD_FAILURE() << "no regular record at " << xM;
    return s.Results.front();
}

// Every input value of a conductor, to show that computing changes none.
auto InputsOf(const TConductor& c) {
    return std::tuple(c.CondType, c.AcFlag, c.Id, c.HorizDistance, c.Height, c.SubCondCount,
                      c.Diameter, c.SubSpacing, c.VoltageClass, c.MaxVoltage, c.PhaseAngle, c.Mcr);
}

} // namespace

TEST(ComputeScenario, WorkedCaseEndToEnd) {
    TWorld w(
        Metric,
        {{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230, .CurrentA = 1000, .Id = "1A1"}});
    w.scenario->BFieldHeight = 0; // the sensor 10 m below the conductor
    AddInterestPoint(*w.scenario, "House", 10);
    ASSERT_TRUE(ComputeScenario(*w.scenario)) << w.scenario->CalcError;
    const TScenario& s = *w.scenario;
    EXPECT_TRUE(s.CalcError.empty());
    ASSERT_EQ(s.Results.size(), 2 + 1 + 137u); // -17 .. 17 m
    EXPECT_EQ(s.InterestPoints[0].ResultIndex, 2);

    const TConductor& c = *s.Conductors[0];
    EXPECT_TRUE(c.Calc.InSystem);
    EXPECT_NEAR(c.Calc.ChargeRe, 1.0021e-6, 0.00005e-6);
    EXPECT_NEAR(*c.Calc.MaxGradient, 14.20, 0.005);
    EXPECT_NEAR(*c.Calc.CoronaLoss, 0.005642, 0.0000005);
    EXPECT_EQ(c.CoronaLoss, *c.Calc.CoronaLoss);
    EXPECT_FLOAT_EQ(c.Calc.EqDiameterM, 0.0254f);

    const TCalcResult& below = RecordAt(s, 0);
    EXPECT_NEAR(*below.EMax, 3.644, 0.0005);
    EXPECT_NEAR(*below.BMax, 0.2, 1e-6);
    EXPECT_NEAR(*below.AnRainL50, 33.75, 0.005);
    EXPECT_NEAR(*below.AnFairL50, 8.75, 0.005);
    EXPECT_NEAR(*below.RiFair, 40.27, 0.005);
    EXPECT_NEAR(*below.RiRain, 57.27, 0.005);
    EXPECT_NEAR(*below.TviRain, 31.11, 0.005);
    EXPECT_EQ(*below.Ozone, 0.0f);
    EXPECT_NEAR(*s.Results[2].Ozone, 0.00016, 0.000005);

    // The field is largest below the conductor; the ROW edges are mirror images,
    // equal to the bit, so the right edge is the one named.
    EXPECT_EQ(s.Results[static_cast<std::size_t>(s.MaxEResult)].DistM, 0.0f);
    EXPECT_EQ(*s.Results[0].EMax, *s.Results[1].EMax);
    EXPECT_EQ(s.RowMaxEResult, 1);
    EXPECT_EQ(s.RowMaxBResult, 1);
    ExpectAllFinite(s);
}

TEST(ComputeScenario, EnglishProfileAndIndices) {
    TWorld w(English, Circuit230kV());
    w.scenario->SetDisplayRowLeft(50);
    w.scenario->SetDisplayRowRight(50);
    AddInterestPoint(*w.scenario, "A", 20);
    AddInterestPoint(*w.scenario, "B", -40);
    ASSERT_TRUE(ComputeScenario(*w.scenario));
    const TScenario& s = *w.scenario;
    ASSERT_EQ(s.Results.size(), 2 + 2 + 109u);
    EXPECT_EQ(s.RowLeftResult, 0);
    EXPECT_EQ(s.RowRightResult, 1);
    EXPECT_FLOAT_EQ(s.Results[0].Dist, -50);
    EXPECT_FLOAT_EQ(s.Results[1].Dist, 50);
    EXPECT_EQ(s.InterestPoints[0].ResultIndex, 2);
    EXPECT_EQ(s.InterestPoints[1].ResultIndex, 3);
    EXPECT_FLOAT_EQ(s.Results[2].DistM, 20);
    EXPECT_FLOAT_EQ(s.Results[4].Dist, -54);
    EXPECT_NEAR(s.Results.back().Dist, 54.00004f, 0.00001f);
    // Regular records are evaluated at Dist ÷ 3.28 and the maximum lies on the
    // profile's records.
    float largest = 0;
    for (const TCalcResult& r : s.Results)
        largest = std::max(largest, r.EMax.value_or(0));
    EXPECT_EQ(*s.Results[static_cast<std::size_t>(s.MaxEResult)].EMax, largest);
    ExpectAllFinite(s);
}

TEST(ComputeScenario, PointOfInterestTiesWithARegularStepAndWins) {
    TWorld w(Metric, {{.X = 0, .Y = 10, .VoltageKv = 230}});
    AddInterestPoint(*w.scenario, "Below", 0);
    ASSERT_TRUE(ComputeScenario(*w.scenario));
    EXPECT_EQ(w.scenario->MaxEResult, 2);
    EXPECT_EQ(*w.scenario->Results[2].EMax, *RecordAt(*w.scenario, 0).EMax);
}

TEST(ComputeScenario, RebuildsResultsAndLeavesInputsAlone) {
    TWorld w(English, MixedAcDc12());
    AddInterestPoint(*w.scenario, "P", 5);
    std::vector<decltype(InputsOf(*w.scenario->Conductors[0]))> before;
    for (const TConductor* c : w.scenario->Conductors)
        before.push_back(InputsOf(*c));
    ASSERT_TRUE(ComputeScenario(*w.scenario));
    const std::size_t count = w.scenario->Results.size();
    const std::optional<float> gradient = w.scenario->Conductors[0]->Calc.MaxGradient;
    ASSERT_TRUE(ComputeScenario(*w.scenario));
    EXPECT_EQ(w.scenario->Results.size(), count);
    EXPECT_EQ(w.scenario->Conductors[0]->Calc.MaxGradient, gradient);
    for (std::size_t k = 0; k < before.size(); ++k)
        EXPECT_EQ(InputsOf(*w.scenario->Conductors[k]), before[k]) << k;
    EXPECT_FLOAT_EQ(w.scenario->RowLeft, 15);
    EXPECT_LT(*w.scenario->Conductors[1]->Calc.MaxGradient, 0); // the negative pole
    ExpectAllFinite(*w.scenario);
}

TEST(ComputeScenario, InputsThePhysicsCannotTakeStillCompute) {
    struct Case {
        const char* name;
        std::vector<TCond> line;
        float sensorHeight;
    };
    const TCond phase{.X = 0, .Y = 10, .VoltageKv = 230, .CurrentA = 500};
    const Case cases[] = {
        {"conductor below ground",
         {phase, {.X = 5, .Y = -2, .DiameterMm = 0, .VoltageKv = 230, .CurrentA = 500}},
         1},
        {"conductor on the ground", {phase, {.X = 5, .Y = 0, .VoltageKv = 230}}, 1},
        {"AC phase at 0 V", {phase, {.X = 5, .Y = 10, .VoltageKv = 0, .CurrentA = 300}}, 1},
        {"ground wires only",
         {{.X = -3, .Y = 15, .Ground = true}, {.X = 3, .Y = 15, .Ground = true}},
         1},
        {"no conductors", {}, 1},
        {"sensor on a conductor",
         {phase, {.X = 5, .Y = 10, .VoltageKv = 230, .AngleDeg = 120}},
         10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWorld w(Metric, c.line);
        w.scenario->EFieldHeight = c.sensorHeight;
        w.scenario->BFieldHeight = c.sensorHeight;
        ASSERT_TRUE(ComputeScenario(*w.scenario)) << w.scenario->CalcError;
        EXPECT_EQ(w.scenario->Results.size(), 2 + 137u);
        ExpectAllFinite(*w.scenario);
    }
}

TEST(ComputeScenario, WhatEachUnphysicalInputLeaves) {
    {
        SCOPED_TRACE("below ground: magnetic field only");
        TWorld w(Metric, {{.X = 0, .Y = -2, .VoltageKv = 230, .CurrentA = 1000}});
        ASSERT_TRUE(ComputeScenario(*w.scenario));
        const TConductor& cable = *w.scenario->Conductors[0];
        EXPECT_FALSE(cable.Calc.InSystem);
        EXPECT_FALSE(cable.Calc.MaxGradient.has_value());
        EXPECT_FALSE(cable.Calc.CoronaLoss.has_value());
        EXPECT_EQ(cable.CoronaLoss, 0.0f);
        const TCalcResult& above = RecordAt(*w.scenario, 0);
        EXPECT_EQ(*above.EMax, 0.0f);
        EXPECT_NEAR(*above.BMax, 2 * 1.0 / 3, 1e-6);
        EXPECT_FALSE(above.AnRainL50.has_value());
        EXPECT_FALSE(above.Ozone.has_value());
    }
    {
        SCOPED_TRACE("AC phase at 0 V: corona from its induced gradient, but no ozone");
        TWorld w(Metric, {{.X = 0, .Y = 10, .VoltageKv = 230}, {.X = 5, .Y = 10, .VoltageKv = 0}});
        ASSERT_TRUE(ComputeScenario(*w.scenario));
        const TConductor& dead = *w.scenario->Conductors[1];
        EXPECT_GT(*dead.Calc.MaxGradient, 0);
        EXPECT_GT(*dead.Calc.CoronaLoss, 0);
        EXPECT_EQ(dead.CoronaLoss, *dead.Calc.CoronaLoss);
        EXPECT_FALSE(dead.Calc.OzoneRate.has_value());
        EXPECT_TRUE(w.scenario->Results[0].AnRainL50.has_value());
        ExpectAllFinite(*w.scenario);
    }
    {
        SCOPED_TRACE("DC monopole with a metallic return at 0 kV: the return is heard");
        TWorld w(Metric, {{.X = -6, .Y = 20, .DiameterMm = 40.7f, .VoltageKv = -400, .Ac = false},
                          {.X = 6, .Y = 20, .DiameterMm = 40.7f, .VoltageKv = 0, .Ac = false}});
        ASSERT_TRUE(ComputeScenario(*w.scenario));
        const TConductor& back = *w.scenario->Conductors[1];
        EXPECT_GT(*back.Calc.MaxGradient, 0);
        // A DC conductor not below 0 V has the positive pole's ozone rate.
        EXPECT_FLOAT_EQ(*back.Calc.OzoneRate, *back.Calc.CoronaLoss * 3.8e-10f);
        for (const TCalcResult& r : w.scenario->Results) {
            EXPECT_TRUE(r.AnRainL50.has_value());
            EXPECT_TRUE(r.AnFairL50.has_value());
        }
        ExpectAllFinite(*w.scenario);
    }
    {
        SCOPED_TRACE("no phase conductor: fields 0, no corona values");
        TWorld w(Metric, {{.X = 0, .Y = 15, .Ground = true}});
        ASSERT_TRUE(ComputeScenario(*w.scenario));
        for (const TCalcResult& r : w.scenario->Results) {
            EXPECT_EQ(*r.EMax, 0.0f);
            EXPECT_EQ(*r.BMax, 0.0f);
            EXPECT_FALSE(r.AnRainL50 || r.AnFairL50 || r.RiRain || r.RiFair || r.TviRain ||
                         r.Ozone);
        }
        EXPECT_EQ(w.scenario->MaxEResult, 0);
    }
    {
        SCOPED_TRACE("sensor on a conductor: that point has no field");
        TWorld w(Metric, {{.X = 0, .Y = 10, .VoltageKv = 230, .CurrentA = 500}});
        w.scenario->EFieldHeight = 10;
        w.scenario->BFieldHeight = 10;
        ASSERT_TRUE(ComputeScenario(*w.scenario));
        const TCalcResult& on = RecordAt(*w.scenario, 0);
        EXPECT_FALSE(on.EMax.has_value());
        EXPECT_FALSE(on.BMax.has_value());
        EXPECT_TRUE(on.AnRainL50.has_value()); // the microphone is on the ground
        EXPECT_TRUE(RecordAt(*w.scenario, 0.25f).EMax.has_value());
        EXPECT_NE(w.scenario->Results[static_cast<std::size_t>(w.scenario->MaxEResult)].DistM,
                  0.0f);
    }
}

TEST(ComputeScenario, UnsolvableCrossSectionsGetAReasonAndNoResults) {
    struct Case {
        const char* name;
        std::vector<TCond> line;
        float rowLeft;
        const char* message;
    };
    const TCond a{.X = 0, .Y = 10, .VoltageKv = 230, .Id = "1A1"};
    const auto bundle = [](float x, const char* id) {
        return TCond{
            .X = x, .Y = 20, .N = 2, .DiameterMm = 30, .SpacingCm = 40, .VoltageKv = 500, .Id = id};
    };
    const Case cases[] = {
        {"coincident",
         {a, {.X = 3, .Y = 10, .VoltageKv = 230, .Id = "1B1"}, {.X = 0, .Y = 10, .Id = "2C1"}},
         15,
         "Cross section 'North' cannot be computed: conductors '1A1' and '2C1' occupy the same "
         "space."},
        // 25.4 mm conductors 1 cm apart; bundles of 40 cm (outer radius 21.5 cm)
        // 40 cm apart.
        {"overlapping",
         {a, {.X = 0.01f, .Y = 10, .VoltageKv = 230, .Id = "1B1"}},
         15,
         "Cross section 'North' cannot be computed: conductors '1A1' and '1B1' occupy the same "
         "space."},
        {"overlapping bundles",
         {bundle(0, "1A1"), bundle(0.4f, "1B1")},
         15,
         "Cross section 'North' cannot be computed: conductors '1A1' and '1B1' occupy the same "
         "space."},
        {"no diameter",
         {a, {.X = 4, .Y = 12, .DiameterMm = 0, .Ground = true, .Id = "1G1"}},
         15,
         "Cross section 'North' cannot be computed: conductor '1G1' has a diameter of 0 or less."},
        {"no sub-conductors",
         {{.X = 0, .Y = 10, .N = 0, .VoltageKv = 230, .Id = "1A1"}},
         15,
         "Cross section 'North' cannot be computed: conductor '1A1' has no sub-conductors."},
        {"bundle without spacing",
         {{.X = 0, .Y = 10, .N = 2, .SpacingCm = 0, .VoltageKv = 230, .Id = "1A1"}},
         15,
         "Cross section 'North' cannot be computed: conductor '1A1' is a bundle with a "
         "sub-conductor spacing of 0 or less."},
        {"reaching the ground",
         {a,
          {.X = 4,
           .Y = 0.2f,
           .N = 2,
           .DiameterMm = 30,
           .SpacingCm = 40,
           .VoltageKv = 230,
           .Id = "1B1"}},
         15,
         "Cross section 'North' cannot be computed: conductor '1B1' reaches the ground: its "
         "height is not above its radius."},
        {"height not a number",
         {a, {.X = 4, .Y = std::nanf(""), .Id = "1B1"}},
         15,
         "Cross section 'North' cannot be computed: conductor '1B1' has a value that is not a "
         "finite number."},
        {"right of way too wide",
         {a},
         1e6f,
         "Cross section 'North' cannot be computed: its right of way cannot be laid out in at most "
         "100000 profile steps."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWorld w(Metric, c.line);
        w.scenario->RowLeft = c.rowLeft;
        AddInterestPoint(*w.scenario, "P", 3);
        w.scenario->InterestPoints[0].ResultIndex = 7;
        EXPECT_FALSE(ComputeScenario(*w.scenario));
        EXPECT_EQ(w.scenario->CalcError, c.message);
        EXPECT_TRUE(w.scenario->Results.empty());
        EXPECT_EQ(w.scenario->MaxEResult, 0);
        EXPECT_EQ(w.scenario->RowMaxBResult, 0);
        EXPECT_EQ(w.scenario->InterestPoints[0].ResultIndex, 0);
        for (const TConductor* conductor : w.scenario->Conductors)
            EXPECT_FALSE(conductor->Calc.MaxGradient.has_value());
    }
}

TEST(ComputeScenario, DataCheckAndComputationAgreeOnOverlaps) {
    // Random conductors and bundles crowded into 2 m × 2 m: the data check
    // reports an overlap exactly when the computation refuses one.
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> x(-1, 1), y(9, 11), spacing(10, 60);
    std::uniform_int_distribution<int> count(2, 6), sub(1, 4);
    int overlapping = 0, apart = 0;
    for (int k = 0; k < 400; ++k) {
        SCOPED_TRACE(k);
        std::vector<TCond> line;
        const int conductors = count(rng);
        for (int c = 0; c < conductors; ++c)
            line.push_back({.X = x(rng) * 3,
                            .Y = y(rng),
                            .N = sub(rng),
                            .DiameterMm = 30,
                            .SpacingCm = spacing(rng),
                            .VoltageKv = 230});
        TWorld w(Metric, line);
        const bool checkFindsOverlap = HasErrors(CheckProject(w.project));
        const bool computed = ComputeScenario(*w.scenario);
        EXPECT_EQ(checkFindsOverlap, !computed) << w.scenario->CalcError;
        if (computed) {
            ++apart;
        } else {
            ++overlapping;
            EXPECT_NE(w.scenario->CalcError.find("occupy the same space"), std::string::npos);
        }
    }
    EXPECT_GT(overlapping, 50);
    EXPECT_GT(apart, 50);
}

TEST(ComputeScenario, NonFiniteSiteValueIsRefused) {
    TWorld w(Metric, {{.X = 0, .Y = 10, .VoltageKv = 230}});
    w.scenario->EFieldHeight = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(ComputeScenario(*w.scenario));
    EXPECT_EQ(
        w.scenario->CalcError,
        "Cross section 'North' cannot be computed: one of its values is not a finite number.");
}

TEST(ComputeScenario, AReasonGoesOnceTheInputIsRepaired) {
    TWorld w(Metric, {{.X = 0, .Y = 10, .DiameterMm = 0, .VoltageKv = 230}});
    EXPECT_FALSE(ComputeScenario(*w.scenario));
    w.scenario->Conductors[0]->Diameter = 25.4f;
    EXPECT_TRUE(ComputeScenario(*w.scenario));
    EXPECT_TRUE(w.scenario->CalcError.empty());
    EXPECT_FALSE(w.scenario->Results.empty());
}

// A stop requested before the computation: the cross section ends as one that
// could not be computed, saying it was cancelled, with no results and no
// charges; the charge solution and the inversion under it stop as well. The
// same cross section computes once the stop is gone.
TEST(ComputeScenario, AStopRequestedEndsItCancelledWithNothingComputed) {
    TWorld w(Metric, {{.X = -5, .Y = 10, .VoltageKv = 230}, {.X = 5, .Y = 10, .VoltageKv = 230}});
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(ComputeScenario(*w.scenario, stop.get_token()));
    EXPECT_EQ(w.scenario->CalcError,
              "Cross section 'North' cannot be computed: the computation was cancelled.");
    EXPECT_TRUE(w.scenario->Results.empty());
    EXPECT_FALSE(w.scenario->Conductors[0]->Calc.MaxGradient.has_value());

    std::vector<TSystemConductor> system = BuildConductorSystem(*w.scenario);
    EXPECT_EQ(SolveCharges(system, stop.get_token()).Outcome, TChargeOutcome::Cancelled);
    EXPECT_FALSE(system[0].MaxGradientKvCm.has_value());
    TMatrix identity(2, 2);
    identity(0, 0) = identity(1, 1) = 1;
    EXPECT_FALSE(InvertMatrix(2, identity, stop.get_token()));
    EXPECT_TRUE(InvertMatrix(2, identity));

    EXPECT_TRUE(ComputeScenario(*w.scenario));
    EXPECT_TRUE(w.scenario->CalcError.empty());
    EXPECT_FALSE(w.scenario->Results.empty());
}

TEST(ComputeAll, ComputesEveryCrossSectionInOrder) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& first = AddScenario(project, "North");
    first.RowLeft = first.RowRight = 15;
    AddConductors(AddCircuit(first), Circuit230kV());
    TScenario& second = AddScenario(project, "South");
    second.RowLeft = second.RowRight = 20;
    AddConductors(AddCircuit(second), {{.X = 0, .Y = 10, .DiameterMm = 0, .VoltageKv = 230}});
    TScenario& third = AddScenario(project, "Yard");
    third.RowLeft = third.RowRight = 10;
    third.SectionType = Substation;
    AddConductors(AddCircuit(third), Substation60());

    EXPECT_EQ(ComputeAll(project), 1);
    EXPECT_FALSE(first.Results.empty());
    EXPECT_TRUE(second.Results.empty());
    EXPECT_NE(second.CalcError.find("'South'"), std::string::npos);
    EXPECT_FALSE(third.Results.empty());
    // The project maximum skips the cross section without results.
    const float largest = *first.Results[static_cast<std::size_t>(first.MaxEResult)].EMax;
    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, largest));
    EXPECT_FALSE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, largest * 0.99f));
}

TEST(ComputeScenario, RandomUnphysicalInputsNeverYieldNonFiniteValues) {
    std::mt19937 rng(4711);
    const float awkward[] = {0, -0.0f, 1e-30f, -3, 1e30f, 3.4e38f, 0.5f, 10, 12.5f};
    std::uniform_int_distribution<int> pickAwkward(0, std::size(awkward) - 1), coin(0, 3),
        count(0, 8), sub(0, 5);
    std::uniform_real_distribution<float> x(-20, 20), y(-5, 40), u(-800, 800), angle(-360, 360);
    const auto value = [&](float ordinary) {
        return coin(rng) == 0 ? awkward[pickAwkward(rng)] : ordinary;
    };
    int computed = 0, refused = 0;
    for (int k = 0; k < 300; ++k) {
        SCOPED_TRACE(k);
        std::vector<TCond> line;
        const int conductors = count(rng);
        for (int c = 0; c < conductors; ++c) {
            // Now and then a conductor lands exactly on the previous one.
            if (!line.empty() && coin(rng) == 0) {
                line.push_back(line.back());
                continue;
            }
            line.push_back({.X = value(x(rng)),
                            .Y = value(y(rng)),
                            .N = sub(rng),
                            .DiameterMm = value(25),
                            .SpacingCm = value(45),
                            .VoltageKv = value(u(rng)),
                            .AngleDeg = value(angle(rng)),
                            .CurrentA = value(1000),
                            .Ac = coin(rng) != 0,
                            .Ground = coin(rng) == 0});
        }
        TWorld w(coin(rng) == 0 ? English : Metric, line);
        w.scenario->RowLeft = value(10);
        w.scenario->RowRight = value(10);
        // Sensors at a conductor's height put profile points on it.
        const float sensor = line.empty() || coin(rng) == 0 ? 1.0f : line.front().Y;
        w.scenario->EFieldHeight = value(sensor);
        w.scenario->BFieldHeight = sensor;
        if (ComputeScenario(*w.scenario)) {
            ++computed;
            EXPECT_FALSE(w.scenario->Results.empty());
            ExpectAllFinite(*w.scenario);
        } else {
            ++refused;
            EXPECT_FALSE(w.scenario->CalcError.empty());
            EXPECT_TRUE(w.scenario->Results.empty());
        }
    }
    EXPECT_GT(computed, 50);
    EXPECT_GT(refused, 50);
}
