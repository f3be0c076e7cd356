#include "TestProject.h"

#include "model/Limits.h"
#include "model/NewCircuit.h"
#include "model/PoleVoltage.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

namespace {

// A DC line of 3 × 40.6 mm at 45.7 cm, metric, its poles placed in a row.
TNewCircuitValues DcLine(TCurrentKind kind, float poleKv) {
    TNewCircuitValues values;
    values.Name = "HVDC";
    values.Current = kind;
    values.PoleKv = poleKv;
    values.VoltageClass = 230; // an AC class left in the dialog: not used
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 242;
    values.Mcr = 2000;
    values.CondDiameter = 40.6f;
    values.SubCondCount = 3;
    values.BundleSpacing = 45.7f;
    values.OhgwDiameter = 9.5f;
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    values.Ground = {true, 1, 0};
    values.Template = TStructureTemplate::Horizontal;
    values.Shape = {15.2f, 12.2f, 0, 25, 0};
    return values;
}

std::string IdsOf(const TCircuit& circuit) {
    std::string ids;
    for (const TConductor& conductor : circuit.Conductors)
        ids += conductor.Id + " ";
    return ids;
}

} // namespace

// 500 kV × √3 = 866.0254 kV stored; −400 kV × √3 = −692.8203 kV.
TEST(NewCircuit, DcCircuitsStoreTheirPolesTimesRootThreeAsDcConductors) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = test::AddScenario(project);

    const std::unique_ptr<TCircuit> bipole =
        CreateNewCircuit(scenario, DcLine(TCurrentKind::DcBipole, -500)); // sign ignored
    EXPECT_EQ(IdsOf(*bipole), "1A1 1B1 1G1 ");
    EXPECT_NEAR(bipole->MaxVoltage, 866.0254f, 1e-3);
    EXPECT_NEAR(bipole->Conductors[0].MaxVoltage, 866.0254f, 1e-3);
    EXPECT_NEAR(bipole->Conductors[1].MaxVoltage, -866.0254f, 1e-3);
    EXPECT_EQ(bipole->VoltageClass, 500);
    EXPECT_EQ(bipole->Conductors[1].PhaseAngle, 0); // not the B row's 120
    for (const TConductor& conductor : bipole->Conductors)
        EXPECT_EQ(conductor.AcFlag, 0) << conductor.Id;
    // Poles 12.2 m apart centred on the reference at 15.2 m.
    EXPECT_NEAR(bipole->Conductors[0].HorizDistance, -6.1f, 1e-5);
    EXPECT_NEAR(bipole->Conductors[1].HorizDistance, 6.1f, 1e-5);
    EXPECT_NEAR(bipole->Conductors[1].Height, 15.2f, 1e-5);
    // Users see the pole voltage again; a ground wire and an AC phase their own.
    EXPECT_NEAR(ShownVoltageKv(bipole->Conductors[0]), 500, 1e-4);
    EXPECT_NEAR(*PoleKv(bipole->Conductors[1]), -500, 1e-4);
    EXPECT_FALSE(PoleKv(bipole->Conductors[2]).has_value());
    EXPECT_EQ(ShownVoltageKv(bipole->Conductors[2]), 0);
    const std::unique_ptr<TCircuit> ac = CreateNewCircuit(scenario, SingleCircuit230kV());
    EXPECT_FALSE(IsDcCircuit(*ac));
    EXPECT_EQ(ShownVoltageKv(ac->Conductors[0]), 241.5f);

    TNewCircuitValues monopole = DcLine(TCurrentKind::DcMonopole, -400);
    monopole.MetallicReturn = true;
    const std::unique_ptr<TCircuit> withReturn = CreateNewCircuit(scenario, monopole);
    EXPECT_EQ(IdsOf(*withReturn), "1A1 1B1 1G1 ");
    EXPECT_NEAR(withReturn->Conductors[0].MaxVoltage, -692.8203f, 1e-3);
    EXPECT_EQ(withReturn->Conductors[1].MaxVoltage, 0);
    EXPECT_EQ(CurrentKindOf(*withReturn), TCurrentKind::DcMonopole);
    EXPECT_TRUE(HasMetallicReturn(*withReturn));

    monopole.MetallicReturn = false;
    const std::unique_ptr<TCircuit> alone = CreateNewCircuit(scenario, monopole);
    EXPECT_EQ(IdsOf(*alone), "1A1 1G1 ");
    EXPECT_EQ(NewConductorCount(monopole), 2);
    EXPECT_FALSE(HasMetallicReturn(*alone));
    EXPECT_EQ(CurrentKindOf(*bipole), TCurrentKind::DcBipole);
}

// An edit to 320 kV: 320 × √3 = 554.2563 kV, each pole keeping its polarity and
// a metallic return staying at 0.
TEST(NewCircuit, EditingADcCircuitKeepsPolarityAndTheReturn) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = test::AddScenario(project);
    const std::unique_ptr<TCircuit> bipole =
        CreateNewCircuit(scenario, DcLine(TCurrentKind::DcBipole, 500));
    ApplyCircuitValues(*bipole, DcLine(TCurrentKind::DcBipole, 320));
    EXPECT_NEAR(bipole->Conductors[0].MaxVoltage, 554.2563f, 1e-3);
    EXPECT_NEAR(bipole->Conductors[1].MaxVoltage, -554.2563f, 1e-3);

    TNewCircuitValues monopole = DcLine(TCurrentKind::DcMonopole, 500);
    monopole.MetallicReturn = true;
    const std::unique_ptr<TCircuit> withReturn = CreateNewCircuit(scenario, monopole);
    monopole.PoleKv = -320; // the pole changes polarity, the return does not
    ApplyCircuitValues(*withReturn, monopole);
    EXPECT_NEAR(withReturn->Conductors[0].MaxVoltage, -554.2563f, 1e-3);
    EXPECT_EQ(withReturn->Conductors[1].MaxVoltage, 0);
}

TEST(NewCircuit, AVerticalDoubleCircuitComesAsTwoNumberedCircuitsOnOneStructure) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = test::AddScenario(project);
    auto existing = std::make_unique<TCircuit>(scenario);
    existing->Number = 1;
    scenario.Circuits.Add(std::move(existing));

    TNewCircuitValues values = SingleCircuit230kV();
    values.Name = "Riverside1"; // ten characters: the second name is cut to fit
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    values.Template = TStructureTemplate::VerticalDouble;
    values.Shape = {20, 5, 4, 32, 0};
    EXPECT_EQ(NewConductorCount(values), 3 + 3 + 2);
    const std::vector<std::unique_ptr<TCircuit>> circuits = CreateNewCircuits(scenario, values);
    ASSERT_EQ(circuits.size(), 2u);
    EXPECT_EQ(scenario.Circuits.Count(), 1); // the caller appends them
    EXPECT_EQ(circuits[0]->Number, 2);
    EXPECT_EQ(circuits[1]->Number, 3);
    EXPECT_EQ(circuits[0]->Name, "Riverside1");
    EXPECT_EQ(circuits[1]->Name, "Riversid 2");
    EXPECT_EQ(IdsOf(*circuits[0]), "2A1 2B1 2C1 2G1 2G2 ");
    EXPECT_EQ(IdsOf(*circuits[1]), "3A1 3B1 3C1 ");
    EXPECT_EQ(circuits[1]->OhgwCount, 0);
    EXPECT_EQ(circuits[1]->DistFromRowLeft, circuits[0]->DistFromRowLeft);
    // A at 20 + 2 × 5 on either side of the structure, C at 20.
    EXPECT_EQ(circuits[0]->Conductors[0].HorizDistance, -4);
    EXPECT_EQ(circuits[0]->Conductors[0].Height, 30);
    EXPECT_EQ(circuits[1]->Conductors[2].HorizDistance, 4);
    EXPECT_EQ(circuits[1]->Conductors[2].Height, 20);
    EXPECT_EQ(circuits[0]->Conductors[3].Height, 32);
    EXPECT_EQ(scenario.ConductorCount(), 8);
}

TEST(NewCircuit, RoomForADoubleCircuitCountsBothCircuits) {
    TEmfProject project;
    TScenario& scenario = test::AddScenario(project);
    for (int i = 1; i < kMaxCircuitsPerSection; ++i) { // 254 circuits: room for one
        auto circuit = std::make_unique<TCircuit>(scenario);
        circuit->Number = static_cast<std::uint8_t>(i);
        scenario.Circuits.Add(std::move(circuit));
    }
    TNewCircuitValues values = SingleCircuit230kV();
    EXPECT_FALSE(RoomForNewCircuits(scenario, values).has_value());
    values.Template = TStructureTemplate::VerticalDouble;
    const std::optional<std::string> refusal = RoomForNewCircuits(scenario, values);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(refusal->find("more circuits"), std::string::npos) << *refusal;
}
