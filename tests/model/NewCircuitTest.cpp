#include "TestProject.h"

#include "model/NewCircuit.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace corvalt;

namespace {

TNewCircuitValues SingleCircuit230kV() {
    TNewCircuitValues values;
    values.Name = "Line 1";
    values.VoltageClass = 230;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 241.5f;
    values.Mcr = 900;
    values.DistFromRowLeft = 100; // ft
    values.CondName = "Drake";
    values.CondDiameter = 1.108f; // in
    values.SubCondCount = 2;
    values.BundleSpacing = 18; // in
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = 0.36f; // in
    values.Phases = {TPhaseRow{true, 2, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    values.Ground = {true, 2, 0};
    return values;
}

} // namespace

TEST(NewCircuit, NumbersConductorsPhaseByPhaseAndCopiesTheCircuitValues) {
    TEmfProject project;
    project.Units = English;
    TScenario& scenario = test::AddScenario(project);
    auto first = std::make_unique<TCircuit>(scenario);
    first->Number = 1;
    scenario.Circuits.Add(std::move(first));

    std::unique_ptr<TCircuit> circuit = CreateNewCircuit(scenario, SingleCircuit230kV());
    EXPECT_EQ(circuit->Number, 2);
    EXPECT_FLOAT_EQ(circuit->DistFromRowLeft, 30.487805f);
    EXPECT_FLOAT_EQ(circuit->DisplayCondDiameter(),
                    MillimetresToInches(InchesToMillimetres(1.108f)));
    EXPECT_EQ(circuit->OhgwCount, 2);

    std::string ids;
    for (const TConductor& c : circuit->Conductors)
        ids += c.Id + " ";
    EXPECT_EQ(ids, "2A1 2A2 2B1 2C1 2G1 2G2 ");
    EXPECT_EQ(scenario.ConductorCount(), 6); // already in the flat list

    const TConductor& b = circuit->Conductors[2];
    EXPECT_EQ(b.CondType, PhaseB);
    EXPECT_FLOAT_EQ(b.PhaseAngle, 120);
    EXPECT_EQ(b.AcFlag, 1);
    EXPECT_EQ(b.SubCondCount, 2);
    EXPECT_EQ(b.TypeName, "Drake");
    EXPECT_FLOAT_EQ(b.Diameter, circuit->CondDiameter);
    EXPECT_FLOAT_EQ(b.SubSpacing, 45.72f);
    EXPECT_FLOAT_EQ(b.Mcr, 0.9f); // the circuit's amperes held in kA
    EXPECT_FLOAT_EQ(b.MaxVoltage, 241.5f);
    EXPECT_FLOAT_EQ(b.Height, 0);

    const TConductor& g = circuit->Conductors[5];
    EXPECT_EQ(g.CondType, Ground);
    EXPECT_EQ(g.AcFlag, 1);
    EXPECT_EQ(g.SubCondCount, 1);
    EXPECT_EQ(g.TypeName, "3/8 EHS");
    EXPECT_FLOAT_EQ(g.Diameter, circuit->OhgwDiameter);
    EXPECT_FLOAT_EQ(g.Mcr, 0);
    EXPECT_FLOAT_EQ(g.VoltageClass, 0);
    EXPECT_FLOAT_EQ(g.PhaseAngle, 0);
}

TEST(NewCircuit, DisabledRowsCreateNothingButTheGroundNumberIsKept) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = test::AddScenario(project);
    TNewCircuitValues values = SingleCircuit230kV();
    values.Phases[1] = {false, 3, 120};
    values.Phases[2] = {true, 0, 240};
    values.Ground = {false, 2, 0};

    std::unique_ptr<TCircuit> circuit = CreateNewCircuit(scenario, values);
    EXPECT_EQ(circuit->Number, 1);
    EXPECT_EQ(circuit->Conductors.Count(), 2);
    EXPECT_EQ(circuit->OhgwCount, 2); // from the dialog, although no ground wire was made
    EXPECT_FLOAT_EQ(circuit->CondDiameter, 1.108f); // Metric: as entered
    EXPECT_EQ(ProposedConductorId(*circuit, PhaseA), "1A3");
    EXPECT_EQ(ProposedConductorId(*circuit, Ground), "1G1");

    circuit.reset(); // a circuit that is never appended takes its conductors along
    EXPECT_EQ(scenario.ConductorCount(), 0);
}

TEST(NewCircuit, EditedValuesArePushedDownAndIdsAnglesPositionsKept) {
    TEmfProject project;
    project.Units = English;
    TScenario& scenario = test::AddScenario(project);
    TNewCircuitValues values = SingleCircuit230kV();
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{false, 0, 0}};
    values.Ground = {true, 1, 0};
    std::unique_ptr<TCircuit> circuit = CreateNewCircuit(scenario, values);
    TConductor& b = circuit->Conductors[1];
    b.SetDisplayHeight(50);
    b.PhaseAngle = 115;
    TConductor& g = circuit->Conductors[2];
    g.SetDisplayHeight(80);
    circuit->OhgwCount = 2; // a ground wire was deleted by hand: the count stays

    TNewCircuitValues edited = values;
    edited.Name = "Line 1 rebuilt";
    edited.VoltageClass = 0; // not in the library
    edited.OverRateFactor = 1.1f;
    edited.MaxVoltage = 253;
    edited.Mcr = 1200;
    edited.CondName = "";
    edited.CondDiameter = 1.2f;
    edited.SubCondCount = 3;
    edited.BundleSpacing = 12;
    edited.OhgwName = "7#8 Alumoweld";
    edited.OhgwDiameter = 0.385f;
    edited.Phases = {TPhaseRow{true, 5, 90}, TPhaseRow{}, TPhaseRow{}}; // not used on edit
    edited.Ground = {true, 7, 0};
    ApplyCircuitValues(*circuit, edited);

    EXPECT_EQ(circuit->Name, "Line 1 rebuilt");
    EXPECT_EQ(circuit->Number, 1);
    EXPECT_EQ(circuit->OhgwCount, 2);
    EXPECT_EQ(circuit->Conductors.Count(), 3);
    EXPECT_EQ(b.Id, "1B1");
    EXPECT_FLOAT_EQ(b.PhaseAngle, 115);
    EXPECT_FLOAT_EQ(b.DisplayHeight(), 50);
    EXPECT_EQ(b.TypeName, "");
    EXPECT_FLOAT_EQ(b.VoltageClass, 0);
    EXPECT_FLOAT_EQ(b.OverRateFactor, 1.1f);
    EXPECT_FLOAT_EQ(b.MaxVoltage, 253);
    EXPECT_FLOAT_EQ(b.DisplayMcr(), 1200);
    EXPECT_EQ(b.SubCondCount, 3);
    EXPECT_FLOAT_EQ(b.Diameter, circuit->CondDiameter);
    EXPECT_FLOAT_EQ(b.SubSpacing, circuit->BundleSpacing);
    EXPECT_EQ(g.TypeName, "7#8 Alumoweld");
    EXPECT_FLOAT_EQ(g.Diameter, circuit->OhgwDiameter);
    EXPECT_EQ(g.SubCondCount, 1);
    EXPECT_FLOAT_EQ(g.VoltageClass, 0);
    EXPECT_FLOAT_EQ(g.Mcr, 0);
    EXPECT_FLOAT_EQ(g.DisplayHeight(), 80);
}
