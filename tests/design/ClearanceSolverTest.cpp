// The clearance solver: a raise worked out by hand from the magnetic field of
// one line current, in metres and in feet; the found raise checked through the
// whole computation (it holds, 0.01 and 0.02 less do not); which conductors
// rise; the answers without a raise and without an achievable one.
#include "design/ClearanceSolver.h"

#include "PhasedLines.h"
#include "compute/Compute.h"
#include "model/ProjectSnapshot.h"
#include "model/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stop_token>
#include <string>

namespace corvalt {
namespace {

using testing::AddDesignScenario;
using testing::AddThreePhase;
using testing::AddTypedConductor;

// Only the magnetic field at the ROW edges is limited, to 150 mG.
TFieldLimits EdgeBOnly(float milligauss = 150) {
    TFieldLimits limits;
    limits.For(TLimitClass::Line230) = {.EWithinRow = {}, .EAtEdge = {}, .BAtEdge = milligauss};
    return limits;
}

// One conductor at x = 0, 5 m high, carrying 1000 A without voltage; the ROW
// from −10 m to +30 m, the magnetic sensor 1 m above ground. B = 2I ÷ d mG
// (I in A, d in m) is 150 mG at d = 13.333 m: at the left edge 10 m away the
// conductor must hang (13.333² − 10²)^½ + 1 = 9.8192 m high, 4.8192 m higher.
TScenario& OneCurrent(TEmfProject& project) {
    TScenario& scenario = AddDesignScenario(project, 10, 30);
    auto circuit = std::make_unique<TCircuit>(scenario);
    circuit->Number = 1;
    circuit->Name = "Feeder";
    TCircuit& added = scenario.Circuits[scenario.Circuits.Add(std::move(circuit))];
    TConductor& c = AddTypedConductor(added, PhaseA, {0, 5});
    c.SubCondCount = 1;
    c.Diameter = 25.4f;
    c.Mcr = 1.0f; // kA
    return scenario;
}

// The cross section computed as the reports compute it, on a copy raised by raiseShown.
bool HoldsAfterRaise(TEmfProject& project, const std::vector<int>& circuits, float raiseShown,
                     const TFieldLimits& limits) {
    TEmfProject copy;
    EXPECT_TRUE(RestoreProjectSnapshot(copy, TakeProjectSnapshot(project)).Ok);
    ApplyRaise(copy.Scenarios[0], circuits, raiseShown);
    EXPECT_TRUE(ComputeScenario(copy.Scenarios[0]));
    return EvaluateLimits(copy.Scenarios[0], limits).AllHold();
}

TEST(ClearanceSolver, FindsTheRaiseWorkedOutByHandInMetresAndFeet) {
    struct TCase {
        int Units;
        float Expected; // the hand value, rounded up to 0.01 of the display unit
    };
    // Feet: the conductor shows 5 × 3.28 = 16.4 ft and must show 9.8192 ×
    // 3.28 = 32.207 ft.
    const TCase cases[] = {{Metric, 4.82f}, {English, 15.81f}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Units);
        TEmfProject project;
        project.Units = static_cast<std::uint8_t>(c.Units);
        const TScenario& scenario = OneCurrent(project);
        const TFieldLimits limits = EdgeBOnly();
        const TClearance clearance = SolveClearance(scenario, 0, limits);
        ASSERT_EQ(clearance.Outcome, TClearanceOutcome::Raised) << clearance.Message;
        EXPECT_FLOAT_EQ(clearance.RaiseShown, c.Expected);
        EXPECT_EQ(clearance.Circuits, std::vector<int>{0});

        // Before: the left edge is over its limit (2000 ÷ √(10² + 4²) = 185.7
        // mG), the right edge within (2000 ÷ √(30² + 4²) = 66.1 mG).
        ASSERT_EQ(clearance.Before.size(), 5u);
        EXPECT_NEAR(*clearance.Before[3].Value, 2000 / std::sqrt(116.0), 0.01);
        EXPECT_TRUE(clearance.Before[3].Fails());
        EXPECT_FALSE(clearance.Before[4].Fails());
        // The cross section itself was never computed: the checks carry the
        // records they judged, so a finding still names its place.
        const std::string where = c.Units == Metric ? " (-10.0 m)" : " (-32.8 ft)";
        EXPECT_NE(LimitFindingText(scenario, clearance.Class, clearance.Before[3])
                      .find("the magnetic field at the left ROW edge" + where + " is 185.7 mG"),
                  std::string::npos);
        EXPECT_TRUE(AllChecksHold(clearance.After));
        EXPECT_LE(*clearance.After[3].Value, 150);
        EXPECT_GT(*clearance.After[3].Value, 149.9);

        TEmfProject& editable = project;
        EXPECT_TRUE(HoldsAfterRaise(editable, {0}, clearance.RaiseShown, limits));
        EXPECT_FALSE(HoldsAfterRaise(editable, {0}, clearance.RaiseShown - 0.01f, limits));
        EXPECT_FALSE(HoldsAfterRaise(editable, {0}, clearance.RaiseShown - 0.02f, limits));
    }
}

// A 230 kV double circuit hung too low for the default limits: the raise of
// both circuits together meets every limit and 0.01 and 0.02 less do not,
// through the whole computation.
TEST(ClearanceSolver, TheRaiseOfEveryCircuitMeetsTheDefaultLimitsAndNoLessDoes) {
    TEmfProject project;
    project.Units = English;
    TScenario& scenario = AddDesignScenario(project, 15, 15);
    AddThreePhase(
        scenario,
        {.Phases = {{{-6, 14}, {-6, 10}, {-6, 6}}}, .CurrentA = 2500, .GroundWires = {{0, 18}}});
    AddThreePhase(scenario, {.Phases = {{{6, 14}, {6, 10}, {6, 6}}}, .CurrentA = 2500});
    const TFieldLimits limits = DefaultFieldLimits();
    const TClearance clearance = SolveClearance(scenario, std::nullopt, limits);
    ASSERT_EQ(clearance.Outcome, TClearanceOutcome::Raised) << clearance.Message;
    EXPECT_EQ(clearance.Circuits, (std::vector<int>{0, 1}));
    EXPECT_GT(clearance.RaiseShown, 0);
    EXPECT_FLOAT_EQ(clearance.RaiseShown * 100, std::round(clearance.RaiseShown * 100));
    EXPECT_TRUE(HoldsAfterRaise(project, {0, 1}, clearance.RaiseShown, limits));
    EXPECT_FALSE(HoldsAfterRaise(project, {0, 1}, clearance.RaiseShown - 0.01f, limits));
    EXPECT_FALSE(HoldsAfterRaise(project, {0, 1}, clearance.RaiseShown - 0.02f, limits));
}

TEST(ClearanceSolver, AnswersZeroWhenTheLimitsHoldAlready) {
    TEmfProject project;
    TScenario& scenario = OneCurrent(project);
    scenario.Circuits[0].Conductors[0].Height = 12; // 2000 ÷ √(100 + 121) = 134.5 mG
    const TClearance clearance = SolveClearance(scenario, 0, EdgeBOnly());
    EXPECT_EQ(clearance.Outcome, TClearanceOutcome::Holds);
    EXPECT_EQ(clearance.RaiseShown, 0);
    EXPECT_TRUE(AllChecksHold(clearance.Before));
}

TEST(ClearanceSolver, SaysWhenNoRaiseUpTo100MetresIsEnough) {
    TEmfProject project;
    project.Units = Metric;
    const TScenario& scenario = OneCurrent(project);
    // 100 m higher the left edge still sees 2000 ÷ √(10² + 104²) = 19.1 mG.
    const TClearance clearance = SolveClearance(scenario, 0, EdgeBOnly(10));
    ASSERT_EQ(clearance.Outcome, TClearanceOutcome::NotAchievable);
    EXPECT_EQ(clearance.RaiseShown, 100);
    ASSERT_EQ(clearance.After.size(), 5u);
    EXPECT_TRUE(clearance.After[3].Fails());
    EXPECT_NEAR(*clearance.After[3].Value, 2000 / std::sqrt(100.0 + 104 * 104), 0.01);
}

// The highest raise tried is 100 m, 328 ft in an English project. A limit of
// 40 mG at the left edge wants d = 2000 ÷ 40 = 50 m: the conductor must show
// (√(50² − 10²) + 1) × 3.28 = 163.9665 ft, 147.5665 ft above its 16.4 ft.
TEST(ClearanceSolver, FindsRaisesBeyond100FeetInEnglishProjects) {
    TEmfProject project;
    project.Units = English;
    const TScenario& scenario = OneCurrent(project);
    const TClearance clearance = SolveClearance(scenario, 0, EdgeBOnly(40));
    ASSERT_EQ(clearance.Outcome, TClearanceOutcome::Raised) << clearance.Message;
    EXPECT_FLOAT_EQ(clearance.RaiseShown, 147.57f);
}

TEST(ClearanceSolver, RaisesTheChosenCircuitWithItsGroundWiresButNoCables) {
    TEmfProject project;
    project.Units = English;
    TScenario& scenario = AddDesignScenario(project, 20, 20);
    TCircuit& first = AddThreePhase(
        scenario, {.Phases = {{{-6, 16}, {-6, 12}, {-6, 8}}}, .GroundWires = {{0, 20}}});
    AddTypedConductor(first, Ground, {3, -1.5f}); // a cable below ground
    AddTypedConductor(first, Ground, {4, 0});     // and one on the ground line
    TCircuit& second = AddThreePhase(scenario, {.Phases = {{{6, 16}, {6, 12}, {6, 8}}}});
    const int circuits[] = {0};
    ApplyRaise(scenario, circuits, 10); // ft
    // Each height rises by 10 ft: metres × 3.28 + 10, back to metres.
    const float expected[] = {16, 12, 8, 20};
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(first.Conductors[i].Height, (expected[i] * 3.28f + 10) / 3.28f) << i;
    EXPECT_EQ(first.Conductors[4].Height, -1.5f);
    EXPECT_EQ(first.Conductors[5].Height, 0);
    EXPECT_EQ(second.Conductors[0].Height, 16);
    EXPECT_EQ(RaisedHeightM(16, 2.5f, Metric), 18.5f);
}

TEST(ClearanceSolver, SaysWhyItCannotSolve) {
    TEmfProject project;
    TScenario& scenario = OneCurrent(project);
    EXPECT_EQ(SolveClearance(scenario, 3, EdgeBOnly()).Outcome, TClearanceOutcome::Failed);
    scenario.Circuits[0].Conductors[0].Diameter = 0;
    const TClearance broken = SolveClearance(scenario, 0, EdgeBOnly());
    EXPECT_EQ(broken.Outcome, TClearanceOutcome::Failed);
    EXPECT_NE(broken.Message.find("cannot be computed"), std::string::npos) << broken.Message;
}

// Every trial looks at the stop token: a stop requested in the k-th report of
// the share done, for every k of a whole run (and before it starts), ends the
// solver Cancelled with no raise and no checks, and no report after. The
// hand-worked line (4.82 m) takes 13 trials: the line as it stands; 1, 2, 3, 4
// and 5 m (which holds); 4.50, 4.75, 4.87, 4.81, 4.84 and 4.82 m between 4 and
// 5; and the checks at 4.82 m.
TEST(ClearanceSolver, EveryTrialObservesAStop) {
    TEmfProject project;
    project.Units = Metric;
    const TScenario& scenario = OneCurrent(project);
    int trials = 0;
    const TClearance whole = SolveClearance(scenario, 0, EdgeBOnly(), [&](double) { ++trials; });
    ASSERT_EQ(whole.Outcome, TClearanceOutcome::Raised);
    EXPECT_EQ(trials, 13);

    for (int k = 0; k <= trials; ++k) {
        SCOPED_TRACE(k);
        std::stop_source stop;
        if (k == 0) stop.request_stop();
        int reports = 0;
        const TClearance clearance = SolveClearance(
            scenario, 0, EdgeBOnly(),
            [&](double) {
                if (++reports == k) stop.request_stop();
            },
            stop.get_token());
        EXPECT_EQ(clearance.Outcome, TClearanceOutcome::Cancelled);
        EXPECT_EQ(reports, k);
        EXPECT_EQ(clearance.RaiseShown, 0);
        EXPECT_TRUE(clearance.Before.empty());
        EXPECT_TRUE(clearance.After.empty());
    }
}

} // namespace
} // namespace corvalt
