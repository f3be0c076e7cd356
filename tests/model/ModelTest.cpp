// The project model: invariants of the lists, circuit numbering, display
// accessors, derived extents and the project-wide maximum test.
#include "TestProject.h"

#include "model/NewCircuit.h"
#include "model/Project.h"
#include "model/Units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace corvalt;
using corvalt::test::AddScenario;

namespace {

TCircuit& AddCircuit(TScenario& scenario, int number) {
    auto circuit = std::make_unique<TCircuit>(scenario);
    circuit->Number = static_cast<std::uint8_t>(number);
    scenario.Circuits.Add(std::move(circuit));
    return scenario.Circuits[scenario.Circuits.Count() - 1];
}

TConductor& AddConductor(TCircuit& circuit, int condType, const std::string& id) {
    auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
    conductor->CondType = static_cast<std::uint8_t>(condType);
    conductor->Id = id;
    return circuit.Conductors[circuit.AddConductor(std::move(conductor))];
}

// Every conductor of every circuit is in Conductors exactly once, and nothing else.
void ExpectFlatListMatchesCircuits(const TScenario& scenario) {
    std::vector<const TConductor*> owned;
    for (const TCircuit& circuit : scenario.Circuits)
        for (const TConductor& conductor : circuit.Conductors)
            owned.push_back(&conductor);
    std::vector<const TConductor*> flat(scenario.Conductors.begin(), scenario.Conductors.end());
    std::sort(owned.begin(), owned.end());
    std::sort(flat.begin(), flat.end());
    EXPECT_EQ(flat, owned);
}

} // namespace

TEST(Model, NextCircuitNumberFillsTheLowestGapOrGoesAboveTheLargest) {
    struct Case {
        std::vector<int> numbers;
        int expected;
    };
    const Case cases[] = {
        {{}, 1},        {{1, 2, 5}, 3}, {{1, 2}, 3},    {{2, 3}, 1},    {{5}, 1},      {{3, 1}, 2},
        {{1, 1, 1}, 2}, {{2, 2, 2}, 3}, {{1, 3, 4}, 2}, {{4, 5, 6}, 1}, {{1, 255}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.numbers));
        TEmfProject project;
        TScenario& scenario = AddScenario(project);
        for (int number : c.numbers)
            AddCircuit(scenario, number);
        EXPECT_EQ(scenario.NextCircuitNumber(), c.expected);
    }
}

TEST(Model, NextCircuitNumberStaysWithinAByte) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    for (int number = 1; number <= 255; ++number)
        if (number != 17) AddCircuit(scenario, number);
    AddCircuit(scenario, 255);
    AddCircuit(scenario, 255); // 256 circuits: one above the largest would be 256
    EXPECT_EQ(scenario.NextCircuitNumber(), 17);
    AddCircuit(scenario, 17); // every number in use
    EXPECT_EQ(scenario.NextCircuitNumber(), 255);
}

TEST(Model, DisplayNameMarksTheSectionType) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    scenario.TabTitle = "North";
    scenario.SectionType = Substation;
    EXPECT_EQ(scenario.DisplayName(), "North (S)");
    scenario.SectionType = TransmissionLine;
    EXPECT_EQ(scenario.DisplayName(), "North (T)");
    scenario.SectionType = 7;
    EXPECT_EQ(scenario.DisplayName(), "North");
}

TEST(Model, SiteParametersHaveDefaultsAndShowInTheirLabelledUnits) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    project.Units = Metric;
    EXPECT_FLOAT_EQ(scenario.SiteRadioFrequency(), 1.0f);
    EXPECT_FLOAT_EQ(scenario.SiteTvFrequency(), 75.0f);
    EXPECT_FLOAT_EQ(scenario.SiteGroundConductivity(), 0.1f);
    EXPECT_FLOAT_EQ(scenario.SiteWindVelocity(), 1.0f);
    EXPECT_FLOAT_EQ(scenario.DisplayWindVelocity(), 3.6f); // km/h, as its label says
    project.Units = English;
    EXPECT_FLOAT_EQ(scenario.DisplayWindVelocity(), 2.23679f);

    scenario.WindVelocity = 2;
    scenario.RainRate = 25.4f;
    scenario.Altitude = 100;
    scenario.OzoneHeight = 3;
    EXPECT_FLOAT_EQ(scenario.DisplayWindVelocity(), 4.47358f);
    EXPECT_FLOAT_EQ(scenario.DisplayRainRate(), 0.999998f);
    EXPECT_FLOAT_EQ(scenario.DisplayAltitude(), 328.0f);
    EXPECT_FLOAT_EQ(scenario.DisplayOzoneHeight(), 3.0f);
    project.Units = Metric;
    EXPECT_FLOAT_EQ(scenario.DisplayRainRate(), 25.4f);
    EXPECT_FLOAT_EQ(scenario.DisplayOzoneHeight(), 3.0f);
}

TEST(Model, DisplayAccessorsConvertWithTheUnitsAtTheMomentOfTheCall) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& circuit = AddCircuit(scenario, 1);
    TConductor& conductor = AddConductor(circuit, PhaseA, "1A1");

    project.Units = English;
    scenario.SetDisplayRowLeft(100.0f);
    EXPECT_FLOAT_EQ(scenario.RowLeft, 30.487805f);
    EXPECT_FLOAT_EQ(scenario.DisplayRowLeft(), 100.0f);
    conductor.SetDisplayDiameter(1.0f);
    EXPECT_FLOAT_EQ(conductor.Diameter, 25.4f);
    EXPECT_FLOAT_EQ(conductor.DisplayDiameter(), 0.999998f);
    circuit.SetDisplayBundleSpacing(18.0f);
    EXPECT_FLOAT_EQ(circuit.BundleSpacing, 45.72f);
    project.SetDisplayLineLength(10.0f);
    EXPECT_FLOAT_EQ(project.LineLength, 16.0934f);

    project.Units = Metric; // switching keeps every internal value
    EXPECT_FLOAT_EQ(scenario.DisplayRowLeft(), 30.487805f);
    EXPECT_FLOAT_EQ(conductor.DisplayDiameter(), 25.4f);
    project.SetDisplayLineLength(10.0f);
    EXPECT_FLOAT_EQ(project.LineLength, 10.0f);
    EXPECT_STREQ(project.UnitsName(), "Metric");
    EXPECT_STREQ(project.SpeedUnit(), "km/H");
}

TEST(Model, McrIsEnteredInAmperesAndHeldInKiloamperes) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TConductor& conductor = AddConductor(AddCircuit(scenario, 1), PhaseA, "1A1");
    conductor.SetDisplayMcr(900.0f);
    EXPECT_FLOAT_EQ(conductor.Mcr, 0.9f);
    EXPECT_EQ(conductor.DisplayMcr(), 900.0f);
    conductor.CoronaLoss = 2.0f;
    project.Units = English;
    EXPECT_FLOAT_EQ(conductor.DisplayCoronaLoss(), 3.21868f);
}

TEST(Model, GroundConductorsRecountOhgwCountOnlyWhenAdded) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& circuit = AddCircuit(scenario, 1);
    circuit.OhgwCount = 9;
    AddConductor(circuit, PhaseA, "1A1");
    EXPECT_EQ(circuit.OhgwCount, 9); // a phase conductor does not recount
    AddConductor(circuit, Ground, "1G1");
    TConductor& second = AddConductor(circuit, Ground, "1G2");
    EXPECT_EQ(circuit.OhgwCount, 2);
    EXPECT_EQ(circuit.CountOfType(Ground), 2);
    scenario.RemoveConductor(second);
    EXPECT_EQ(circuit.OhgwCount, 2);
    EXPECT_EQ(circuit.CountOfType(Ground), 1);
    EXPECT_EQ(scenario.ConductorCount(), 2);
    EXPECT_EQ(scenario.EnergizedCount(), 1);
}

TEST(Model, FlatConductorListFollowsCreationRemovalAndFreeing) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& first = AddCircuit(scenario, 1);
    TCircuit& second = AddCircuit(scenario, 2);
    AddConductor(first, PhaseA, "1A1");
    AddConductor(second, PhaseA, "2A1");
    TConductor& twinA = AddConductor(first, PhaseB, "X");
    TConductor& twinB = AddConductor(first, PhaseC, "X"); // same id in the same circuit
    ExpectFlatListMatchesCircuits(scenario);
    EXPECT_EQ(scenario.Conductors[1]->Id, "2A1"); // creation order, not circuit order

    // Removing the second of two equal ids frees exactly that one.
    scenario.RemoveConductor(twinB);
    ExpectFlatListMatchesCircuits(scenario);
    EXPECT_EQ(first.Conductors.IndexOf(&twinA), 1);

    {
        // A conductor created and dropped (a cancelled dialog) leaves no trace.
        TConductor dropped(scenario, second);
        EXPECT_EQ(scenario.ConductorCount(), 4);
    }
    ExpectFlatListMatchesCircuits(scenario);

    scenario.RemoveCircuit(first);
    ExpectFlatListMatchesCircuits(scenario);
    ASSERT_EQ(scenario.ConductorCount(), 1);
    EXPECT_EQ(scenario.Conductors[0]->Id, "2A1");
}

TEST(Model, ApplyToConductorsPushesTheBundleButGroundWiresStaySingle) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& circuit = AddCircuit(scenario, 1);
    TConductor& phase = AddConductor(circuit, PhaseB, "1B1");
    TConductor& ground = AddConductor(circuit, Ground, "1G1");
    ground.Diameter = 9.5f;
    circuit.SubCondCount = 2;
    circuit.CondDiameter = 28.143f;
    circuit.BundleSpacing = 45.72f;
    circuit.ApplyToConductors();
    EXPECT_EQ(phase.SubCondCount, 2);
    EXPECT_FLOAT_EQ(phase.Diameter, 28.143f);
    EXPECT_FLOAT_EQ(phase.SubSpacing, 45.72f);
    EXPECT_EQ(ground.SubCondCount, 1);
    EXPECT_FLOAT_EQ(ground.Diameter, 9.5f);
}

TEST(Model, ExtentsCoverRowConductorsSensorsAndPoints) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = 20;
    scenario.RowRight = 30;
    scenario.EFieldHeight = 1;
    scenario.BFieldHeight = -0.5f;
    EXPECT_FLOAT_EQ(scenario.HalfRowWidth(), 25.0f);
    EXPECT_FLOAT_EQ(scenario.MaxHeight(), 1.0f);
    EXPECT_FLOAT_EQ(scenario.MaxDepth(), 0.5f);
    EXPECT_FLOAT_EQ(scenario.RightExtent(), 30.0f);
    EXPECT_FLOAT_EQ(scenario.LeftExtent(), 20.0f);

    TCircuit& circuit = AddCircuit(scenario, 1);
    circuit.DistFromRowLeft = -10;
    TConductor& left = AddConductor(circuit, PhaseA, "1A1");
    left.HorizDistance = -15; // absolute x -25
    left.Height = 18;
    TConductor& right = AddConductor(circuit, PhaseC, "1C1");
    right.HorizDistance = 45; // absolute x 35
    right.Height = -2;        // cable below ground
    EXPECT_FLOAT_EQ(left.AbsoluteX(), -25.0f);
    AddCircuit(scenario, 2); // a circuit without conductors counts as height 0

    auto point = std::make_unique<TInterestPoint>(scenario);
    point->DistFromRowLeft = -40;
    scenario.InterestPoints.Add(std::move(point));

    EXPECT_FLOAT_EQ(scenario.MaxHeight(), 18.0f);
    EXPECT_FLOAT_EQ(scenario.MaxDepth(), 2.0f);
    EXPECT_FLOAT_EQ(scenario.RightExtent(), 35.0f);
    EXPECT_FLOAT_EQ(scenario.LeftExtent(), 40.0f);

    project.Units = English; // in display units
    EXPECT_FLOAT_EQ(scenario.RightExtent(), MetresToFeet(-10) + MetresToFeet(45));
    EXPECT_FLOAT_EQ(scenario.MaxHeight(), MetresToFeet(18));
}

TEST(Model, MaxHeightOfCircuitsBelowGroundIsZeroOnlyWithoutConductors) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = AddScenario(project);
    scenario.EFieldHeight = -3;
    scenario.BFieldHeight = -4;
    TCircuit& cable = AddCircuit(scenario, 1);
    AddConductor(cable, PhaseA, "1A1").Height = -1;
    EXPECT_FLOAT_EQ(scenario.MaxHeight(), -1.0f);
    AddCircuit(scenario, 2);
    EXPECT_FLOAT_EQ(scenario.MaxHeight(), 0.0f);
}

namespace {

// A computed cross section whose three referenced records hold the values.
void SetMaxima(TScenario& scenario, float eWithin, float eEdge, float bEdge) {
    scenario.Results.assign(3, TCalcResult{});
    scenario.MaxEResult = 2;
    scenario.RowMaxEResult = 1;
    scenario.RowMaxBResult = 0;
    scenario.Results[2].EMax = eWithin;
    scenario.Results[1].EMax = eEdge;
    scenario.Results[0].BMax = bEdge;
}

} // namespace

TEST(Model, ProjectMaximumComparesTransmissionLinesOnly) {
    TEmfProject project;
    TScenario& line1 = AddScenario(project);
    TScenario& line2 = AddScenario(project);
    TScenario& station = AddScenario(project);
    station.SectionType = Substation;
    SetMaxima(line1, 2.5f, 1.0f, 0.050f);
    SetMaxima(line2, 2.5f, 1.2f, 0.040f);
    SetMaxima(station, 9.0f, 9.0f, 9.0f);

    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, 2.5f)); // ties count
    EXPECT_FALSE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, 2.4f));
    EXPECT_FALSE(project.IsProjectMaximum(TMaxQuantity::EMaxAtRowEdge, 1.0f));
    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::EMaxAtRowEdge, 1.2f));
    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::BMaxAtRowEdge, 0.050f));
    EXPECT_FALSE(project.IsProjectMaximum(TMaxQuantity::BMaxAtRowEdge, 0.045f));

    // A cross section without the computed value is not compared.
    line2.Results[2].EMax.reset();
    line2.Results[1].EMax.reset();
    line1.CalcError = "not computable";
    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, 0.1f));
    line2.Results.clear();
    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::BMaxAtRowEdge, 0.0f));
}

TEST(Model, WithinRowMaximumLeavesOutTheMarginAndPointsBeyondTheRow) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& line = AddScenario(project);
    line.RowLeft = 20;
    line.RowRight = 30;
    const auto record = [](float distM, float e) {
        TCalcResult r;
        r.DistM = distM;
        r.EMax = e;
        return r;
    };
    // Edges, a point of interest left of the ROW, steps through and beyond it.
    line.Results = {record(-20, 1.0f), record(30, 1.5f), record(-25, 9.0f), record(-22, 8.0f),
                    record(-20, 1.0f), record(5, 3.0f),  record(30, 1.5f),  record(32, 4.0f)};
    line.MaxEResult = 2;
    EXPECT_EQ(line.MaxEWithinRowResult(), 5);
    // The edges themselves count; ties keep the earliest record.
    line.Results[1].EMax = 3.0f;
    EXPECT_EQ(line.MaxEWithinRowResult(), 1);

    TScenario& other = AddScenario(project);
    other.RowLeft = other.RowRight = 30;
    other.Results = {record(-30, 0.5f), record(30, 0.5f), record(0, 3.5f)};
    // The other line's 3.5 within its ROW beats this one's 3.0; the 9.0 and the
    // 8.0 outside this ROW do not count.
    EXPECT_EQ(MaximumValue(line, TMaxQuantity::EMaxWithinRow), 3.0f);
    EXPECT_FALSE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, 3.0f));
    EXPECT_TRUE(project.IsProjectMaximum(TMaxQuantity::EMaxWithinRow, 3.5f));
}

TEST(Model, ResultAtRefusesFailedRunsAndStaleIndices) {
    TEmfProject project;
    TScenario& line = AddScenario(project);
    line.Results.assign(2, TCalcResult{});
    EXPECT_EQ(line.ResultAt(1), &line.Results[1]);
    EXPECT_EQ(line.ResultAt(2), nullptr);
    EXPECT_EQ(line.ResultAt(-1), nullptr);
    line.CalcError = "cannot be computed";
    EXPECT_EQ(line.ResultAt(0), nullptr);
    EXPECT_EQ(MaximumRecord(line, TMaxQuantity::BMaxAtRowEdge), nullptr);
}
