// The limit class of a cross section and the evaluation of a profile against
// the limits table. Expected values come from the table of the standards and
// from hand-worked fields, never from the program's output.
#include "limits/FieldLimits.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "tests/compute/LineBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace corvalt {
namespace {

using testing::AddCircuit;
using testing::AddScenario;

// A circuit of the given class with `sets` complete sets of A, B, C conductors
// (and `ground` ground wires); ac false makes its conductors direct-current poles.
TCircuit& AddClassCircuit(TScenario& scenario, float kv, int sets, bool ac = true, int ground = 0,
                          bool withC = true) {
    TCircuit& circuit = AddCircuit(scenario);
    circuit.VoltageClass = kv;
    float x = -10;
    for (int set = 0; set < sets; ++set)
        for (int phase = PhaseA; phase <= PhaseC; ++phase) {
            if (phase == PhaseC && !withC) continue;
            TConductor& conductor =
                testing::AddConductor(circuit, {.X = x += 3, .Y = 15, .VoltageKv = kv, .Ac = ac});
            conductor.CondType = static_cast<std::uint8_t>(phase);
        }
    for (int g = 0; g < ground; ++g)
        testing::AddConductor(circuit, {.X = x += 3, .Y = 25, .Ground = true});
    return circuit;
}

struct TClassCase {
    const char* Name;
    std::vector<float> CircuitKv; // one circuit with one three-phase set each
    TLimitClass Expected;
    float ExpectedBAtEdgeMg;                 // from the standards' table
    std::optional<float> ExpectedEWithinRow; // kV/m
};

TEST(LimitClass, FollowsTheHighestCircuitVoltageAndTheNumberOfCircuits) {
    const TClassCase cases[] = {
        {"115 kV single circuit", {115}, TLimitClass::Line230, 150, 8.0f},
        {"115 kV double circuit", {115, 115}, TLimitClass::Line230, 150, 8.0f},
        {"230 kV single circuit", {230}, TLimitClass::Line230, 150, 8.0f},
        {"230 kV double circuit", {230, 230}, TLimitClass::Line230, 150, 8.0f},
        // Between the classes: the next higher one.
        {"230.5 kV", {230.5f}, TLimitClass::Line500, 200, 10.0f},
        {"345 kV single circuit", {345}, TLimitClass::Line500, 200, 10.0f},
        {"345 kV double circuit", {345, 345}, TLimitClass::Line500Double, 250, 10.0f},
        {"500 kV single circuit", {500}, TLimitClass::Line500, 200, 10.0f},
        {"500 kV double circuit", {500, 500}, TLimitClass::Line500Double, 250, 10.0f},
        {"345 and 500 kV circuits", {345, 500}, TLimitClass::Line500Double, 250, 10.0f},
        // Only one circuit of the 500 kV class: not a 500 kV double circuit.
        {"500 and 230 kV circuits", {500, 230}, TLimitClass::Line500, 200, 10.0f},
        // Above the highest class: the highest class.
        {"765 kV", {765}, TLimitClass::Line500, 200, 10.0f},
        {"no circuits", {}, TLimitClass::Line230, 150, 8.0f},
    };
    const TFieldLimits defaults = DefaultFieldLimits();
    for (const TClassCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEmfProject project;
        TScenario& scenario = AddScenario(project);
        for (const float kv : c.CircuitKv)
            AddClassCircuit(scenario, kv, 1, true, 1);
        const TLimitClass found = LimitClassOf(scenario);
        EXPECT_EQ(found, c.Expected);
        EXPECT_EQ(defaults.For(found).BAtEdge, c.ExpectedBAtEdgeMg);
        EXPECT_EQ(defaults.For(found).EWithinRow, c.ExpectedEWithinRow);
        EXPECT_EQ(defaults.For(found).EAtEdge, 2.0f);
    }
}

TEST(LimitClass, CountsCompleteThreePhaseAcSets) {
    struct TCase {
        const char* Name;
        int Sets;
        bool Ac;
        bool WithC;
        TLimitClass Expected;
    };
    // Each case: one 500 kV circuit as described, beside nothing else.
    const TCase cases[] = {
        {"one circuit holding two sets (ABC ABC)", 2, true, true, TLimitClass::Line500Double},
        {"two sets of direct-current poles", 2, false, true, TLimitClass::Line500},
        {"two sets without C phase", 2, true, false, TLimitClass::Line500},
        {"one set", 1, true, true, TLimitClass::Line500},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEmfProject project;
        TScenario& scenario = AddScenario(project);
        AddClassCircuit(scenario, 500, c.Sets, c.Ac, 0, c.WithC);
        EXPECT_EQ(LimitClassOf(scenario), c.Expected);
    }
}

TEST(LimitClass, SubstationsAndGroundWireCircuits) {
    TEmfProject project;
    TScenario& substation = AddScenario(project, "Yard");
    substation.SectionType = Substation;
    AddClassCircuit(substation, 500, 2);
    EXPECT_EQ(LimitClassOf(substation), TLimitClass::Substation);
    EXPECT_EQ(DefaultFieldLimits().For(TLimitClass::Substation),
              (TClassLimits{std::nullopt, 2.0f, 150.0f}));

    // A circuit of ground wires only says nothing about the line's voltage.
    TScenario& line = AddScenario(project, "Line");
    AddClassCircuit(line, 230, 1);
    AddClassCircuit(line, 500, 0, true, 2);
    EXPECT_EQ(HighestCircuitVoltage(line), 230.0f);
    EXPECT_EQ(LimitClassOf(line), TLimitClass::Line230);
}

// ---- EvaluateProfile ---------------------------------------------------------

TCalcResult Record(float xM, std::optional<float> e, std::optional<float> gauss) {
    TCalcResult record;
    record.DistM = xM;
    record.Dist = xM;
    record.EMax = e;
    record.BMax = gauss;
    return record;
}

// ROW from -10 m to +10 m; points inside (0 m), outside (20 m), on the right
// edge (10 m) and on the left edge (-10 m); steps at -12 (beyond the ROW: its
// larger field must not count), -5 and 5 (a tie: the earlier stays) and 12.
struct TProfile {
    std::vector<TCalcResult> Records = {
        Record(-10, 1.5f, 0.120f), // 0 left edge
        Record(10, 2.5f, 0.160f),  // 1 right edge
        Record(0, 7.0f, 0.300f),   // 2 point inside
        Record(20, 2.1f, 0.151f),  // 3 point outside
        Record(10, 2.5f, 0.160f),  // 4 point on the right edge
        Record(-12, 9.9f, 0.1f),   // 5
        Record(-5, 8.5f, 0.2f),    // 6
        Record(5, 8.5f, 0.2f),     // 7
        Record(12, 1.0f, 0.1f),    // 8
        Record(-10, 1.5f, 0.120f), // 9 point on the left edge
    };
    TProfilePlaces Places{10, 10, 0, 1, {2, 3, 4, 9}};
};

TEST(EvaluateProfile, EachValueAgainstTheLimitOfItsPlace) {
    const TProfile profile;
    const TClassLimits limits{8.0f, 2.0f, 150.0f};
    const std::vector<TLimitCheck> checks =
        EvaluateProfile(profile.Records, profile.Places, limits);
    using enum TLimitStatus;
    using enum TLimitQuantity;
    using enum TLimitPlace;
    struct TExpected {
        TLimitQuantity Quantity;
        TLimitPlace Place;
        int ResultIndex;
        float Value;
        std::optional<float> Limit;
        TLimitStatus Status;
    };
    const TExpected expected[] = {
        {ElectricField, WithinRow, 6, 8.5f, 8.0f, Over}, // -12 m lies beyond the ROW
        {ElectricField, RowLeftEdge, 0, 1.5f, 2.0f, Within},
        {ElectricField, RowRightEdge, 1, 2.5f, 2.0f, Over},
        {MagneticField, RowLeftEdge, 0, 120.0f, 150.0f, Within},
        {MagneticField, RowRightEdge, 1, 160.0f, 150.0f, Over},
        // Inside the ROW: the within-ROW limit, and no magnetic limit.
        {ElectricField, InterestPoint, 2, 7.0f, 8.0f, Within},
        {MagneticField, InterestPoint, 2, 300.0f, std::nullopt, NoLimit},
        // Outside the ROW and on its edge: the edge limits.
        {ElectricField, InterestPoint, 3, 2.1f, 2.0f, Over},
        {MagneticField, InterestPoint, 3, 151.0f, 150.0f, Over},
        {ElectricField, InterestPoint, 4, 2.5f, 2.0f, Over},
        {MagneticField, InterestPoint, 4, 160.0f, 150.0f, Over},
        {ElectricField, InterestPoint, 9, 1.5f, 2.0f, Within},
        {MagneticField, InterestPoint, 9, 120.0f, 150.0f, Within},
    };
    ASSERT_EQ(checks.size(), std::size(expected));
    for (std::size_t i = 0; i < checks.size(); ++i) {
        SCOPED_TRACE(i);
        const TLimitCheck& check = checks[i];
        EXPECT_EQ(check.Quantity, expected[i].Quantity);
        EXPECT_EQ(check.Place, expected[i].Place);
        EXPECT_EQ(check.ResultIndex, expected[i].ResultIndex);
        ASSERT_TRUE(check.Value.has_value());
        EXPECT_FLOAT_EQ(*check.Value, expected[i].Value);
        EXPECT_EQ(check.Limit, expected[i].Limit);
        EXPECT_EQ(check.Status(), expected[i].Status);
    }
    EXPECT_EQ(checks[5].PointIndex, 0);
    EXPECT_EQ(checks[9].PointIndex, 2);
    EXPECT_EQ(checks[5].Side, TPointSide::InsideRow);
    EXPECT_EQ(checks[7].Side, TPointSide::OutsideRow);
    EXPECT_EQ(checks[9].Side, TPointSide::OnRowEdge);
    EXPECT_EQ(checks[11].Side, TPointSide::OnRowEdge); // the left edge belongs to the ROW too
}

TEST(EvaluateProfile, ValuesEqualToTheirLimitHold) {
    // 0.15 gauss shows as 150 mG (the float nearest 0.15 × 1000): equal, so within.
    std::vector<TCalcResult> records = {Record(-10, 2.0f, 0.15f), Record(10, 2.0f, 0.15f),
                                        Record(0, 8.0f, 0.15f)};
    const TProfilePlaces places{10, 10, 0, 1, {}};
    const std::vector<TLimitCheck> checks = EvaluateProfile(records, places, {8.0f, 2.0f, 150.0f});
    for (const TLimitCheck& check : checks) {
        SCOPED_TRACE(static_cast<int>(check.Place));
        EXPECT_EQ(check.Status(), TLimitStatus::Within);
    }
    // Just above: over.
    records[2].EMax = std::nextafter(8.0f, 9.0f);
    EXPECT_EQ(EvaluateProfile(records, places, {8.0f, 2.0f, 150.0f})[0].Status(),
              TLimitStatus::Over);
}

TEST(EvaluateProfile, ValuesThatCannotBeComputed) {
    TProfile profile;
    profile.Records[7].EMax.reset();       // a step within the ROW
    profile.Records[1].BMax.reset();       // the right edge
    profile.Places.PointResults = {2, 99}; // a point without a record
    const std::vector<TLimitCheck> checks =
        EvaluateProfile(profile.Records, profile.Places, {8.0f, 2.0f, 150.0f});
    // The largest computed value is kept, but the limit cannot be shown to hold.
    EXPECT_TRUE(checks[0].Gaps);
    EXPECT_EQ(checks[0].Value, 8.5f);
    EXPECT_EQ(checks[0].Status(), TLimitStatus::NotComputed);
    EXPECT_TRUE(checks[0].Fails());
    EXPECT_EQ(checks[4].Status(), TLimitStatus::NotComputed);
    EXPECT_EQ(checks[7].ResultIndex, -1);
    EXPECT_EQ(checks[7].Status(), TLimitStatus::NotComputed);
    // Without a limit nothing fails.
    const std::vector<TLimitCheck> free =
        EvaluateProfile(profile.Records, profile.Places, TClassLimits{});
    for (const TLimitCheck& check : free)
        EXPECT_FALSE(check.Fails());
}

// ---- EvaluateLimits on a computed cross section ------------------------------

// One 230 kV conductor 11 m above ground at x = 0 carrying `amperes`, ROW ±15 m,
// sensors 1 m above ground, English units. The magnetic field of a line current
// is μ0 I ÷ (2π r): 2 I ÷ r mG with I in A and r in m. At the edges
// r = √(15² + 10²) = 18.028 m.
TScenario& SingleConductorLine(TEmfProject& project, float amperes) {
    project.Units = English;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = scenario.RowRight = 15;
    TCircuit& circuit = AddCircuit(scenario);
    circuit.VoltageClass = 230;
    testing::AddConductor(circuit, {.X = 0, .Y = 11, .VoltageKv = 230, .CurrentA = amperes});
    testing::AddInterestPoint(scenario, "House", 30);
    return scenario;
}

TEST(EvaluateLimits, HandWorkedSingleConductor) {
    TEmfProject project;
    TScenario& scenario = SingleConductorLine(project, 1500);
    ASSERT_TRUE(ComputeScenario(scenario));
    const TLimitEvaluation evaluation = EvaluateLimits(scenario, DefaultFieldLimits());
    ASSERT_TRUE(evaluation.Computed);
    EXPECT_EQ(evaluation.Class, TLimitClass::Line230);
    const double edgeMg = 2 * 1500 / std::sqrt(15.0 * 15.0 + 10.0 * 10.0); // 166.41
    EXPECT_NEAR(*evaluation.Checks[3].Value, edgeMg, edgeMg * 1e-3);
    EXPECT_NEAR(*evaluation.Checks[4].Value, edgeMg, edgeMg * 1e-3);
    // The house at 30 m: r = √(30² + 10²) = 31.62 m, 94.9 mG, within 150 mG.
    const double houseMg = 2 * 1500 / std::sqrt(30.0 * 30.0 + 10.0 * 10.0);
    EXPECT_NEAR(*evaluation.Checks[6].Value, houseMg, houseMg * 1e-3);
    EXPECT_EQ(evaluation.Checks[6].Status(), TLimitStatus::Within);
    // Both edges over 150 mG, nothing else.
    const std::vector<const TLimitCheck*> failures = evaluation.Failures();
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0]->Place, TLimitPlace::RowLeftEdge);
    EXPECT_EQ(failures[1]->Place, TLimitPlace::RowRightEdge);
    EXPECT_FALSE(evaluation.AllHold());

    EXPECT_EQ(LimitFindingText(scenario, evaluation.Class, *failures[1]),
              "Cross section 'North': the magnetic field at the right ROW edge (49.2 ft) is "
              "166.4 mG, over the limit of 150 mG for transmission lines of 230 kV and less.");

    // 1000 A: 2 × 1000 ÷ 18.028 = 110.9 mG at the edges, within.
    TEmfProject lower;
    TScenario& within = SingleConductorLine(lower, 1000);
    ASSERT_TRUE(ComputeScenario(within));
    EXPECT_TRUE(EvaluateLimits(within, DefaultFieldLimits()).AllHold());
}

TEST(EvaluateLimits, ACrossSectionThatCouldNotBeComputedHoldsNothing) {
    TEmfProject project;
    TScenario& scenario = SingleConductorLine(project, 1000);
    scenario.Conductors.front()->Diameter = 0;
    ASSERT_FALSE(ComputeScenario(scenario));
    const TLimitEvaluation evaluation = EvaluateLimits(scenario, DefaultFieldLimits());
    EXPECT_FALSE(evaluation.Computed);
    EXPECT_TRUE(evaluation.Checks.empty());
    EXPECT_FALSE(evaluation.AllHold());
}

// ---- Texts -------------------------------------------------------------------

TEST(LimitValueText, ShowsAnExcessAtAnyDecimalAndNeverANegativeZero) {
    // The float just above 2 is 2.000000238...: seven decimals tell it from 2.
    EXPECT_EQ(LimitValueText(std::nextafter(2.0f, 3.0f), 2.0f, 2), "2.0000002");
    EXPECT_EQ(LimitValueText(2.004f, 2.0f, 2), "2.004");
    EXPECT_EQ(LimitValueText(150.04f, 150.0f, 1), "150.04");
    EXPECT_EQ(LimitValueText(1.996f, 2.0f, 2), "2.00"); // within: rounding may reach the limit
    EXPECT_EQ(LimitValueText(-0.004f, std::nullopt, 2), "0.00");
    EXPECT_EQ(LimitValueText(-0.0f, std::nullopt, 1), "0.0");
    EXPECT_EQ(LimitValueText(-0.006f, std::nullopt, 2), "-0.01");
}

TEST(LimitFindingText, ShowsTheExcessAndNamesPlaces) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = AddScenario(project, "Yard");
    scenario.SectionType = Substation;
    scenario.RowLeft = scenario.RowRight = 20;
    testing::AddInterestPoint(scenario, "Gate, north", 25);
    scenario.Results = {Record(-20, 2.004f, 0.1f), Record(20, 1.0f, 0.1f),
                        Record(25, 1.0f, std::nullopt)};
    scenario.InterestPoints[0].ResultIndex = 2;
    scenario.RowRightResult = 1;
    const TLimitEvaluation evaluation = EvaluateLimits(scenario, DefaultFieldLimits());
    const std::vector<const TLimitCheck*> failures = evaluation.Failures();
    ASSERT_EQ(failures.size(), 2u);
    // 2.004 rounds to "2.00" at two decimals: three are shown.
    EXPECT_EQ(LimitFindingText(scenario, evaluation.Class, *failures[0]),
              "Cross section 'Yard': the electric field at the left property boundary "
              "(-20.0 m) is 2.004 kV/m, over the limit of 2 kV/m for substations.");
    EXPECT_EQ(LimitFindingText(scenario, evaluation.Class, *failures[1]),
              "Cross section 'Yard': the magnetic field at point of interest 'Gate, north' "
              "(25.0 m, outside the property) cannot be computed, so the limit of 150 mG "
              "cannot be shown to hold for substations.");
}

} // namespace
} // namespace corvalt
