#pragma once
// Lines with complete three-phase circuits for the design-tool tests and
// benchmarks: phase A, B and C conductors typed and labelled as the circuit
// dialog makes them (1A1, 1B1, 1C1 ...), with phase angles 0°, 240° and 120°.

#include "model/Project.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace corvalt::testing {

struct TAt {
    float X = 0; // absolute x, m
    float Y = 0; // height, m
};

struct TThreePhase {
    std::array<TAt, 3> Phases; // where phase A, B and C hang
    float VoltageKv = 230;
    float CurrentA = 1000;
    std::array<float, 3> AnglesDeg{0, 240, 120};
    std::vector<TAt> GroundWires = {};
    int SubConductors = 1;
    float DiameterMm = 28.1f;
    float SpacingCm = 0;
    bool Ac = true;
};

inline TScenario& AddDesignScenario(TEmfProject& project, float rowLeftM, float rowRightM) {
    auto scenario = std::make_unique<TScenario>(project);
    scenario->TabTitle = "Line";
    scenario->Title = "Line segment";
    scenario->RowLeft = rowLeftM;
    scenario->RowRight = rowRightM;
    scenario->EFieldHeight = 1;
    scenario->BFieldHeight = 1;
    return project.Scenarios[project.Scenarios.Add(std::move(scenario))];
}

inline TConductor& AddTypedConductor(TCircuit& circuit, int condType, TAt at) {
    auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
    conductor->CondType = static_cast<std::uint8_t>(condType);
    conductor->AcFlag = 1;
    conductor->Id =
        GeneratedConductorId(circuit.Number, condType, circuit.CountOfType(condType) + 1);
    conductor->HorizDistance = at.X - circuit.DistFromRowLeft;
    conductor->Height = at.Y;
    return circuit.Conductors[circuit.AddConductor(std::move(conductor))];
}

inline TCircuit& AddThreePhase(TScenario& scenario, const TThreePhase& line) {
    auto owned = std::make_unique<TCircuit>(scenario);
    owned->Number = static_cast<std::uint8_t>(scenario.NextCircuitNumber());
    owned->Name = "Circuit " + std::to_string(owned->Number);
    owned->VoltageClass = line.VoltageKv;
    TCircuit& circuit = scenario.Circuits[scenario.Circuits.Add(std::move(owned))];
    for (int phase = PhaseA; phase <= PhaseC; ++phase) {
        TConductor& c =
            AddTypedConductor(circuit, phase, line.Phases[static_cast<std::size_t>(phase)]);
        c.AcFlag = line.Ac ? 1 : 0;
        c.SubCondCount = static_cast<std::uint8_t>(line.SubConductors);
        c.Diameter = line.DiameterMm;
        c.SubSpacing = line.SpacingCm;
        c.VoltageClass = line.VoltageKv;
        c.MaxVoltage = line.VoltageKv;
        c.PhaseAngle = line.AnglesDeg[static_cast<std::size_t>(phase)];
        c.Mcr = line.CurrentA / 1000.0f;
    }
    for (const TAt& at : line.GroundWires) {
        TConductor& g = AddTypedConductor(circuit, Ground, at);
        g.SubCondCount = 1;
        g.Diameter = 11;
    }
    return circuit;
}

// Two vertical circuits of 230 kV, 1000 A, at x = −8 m and +8 m, phase A on
// top (30 m), B in the middle (23 m), C at the bottom (16 m) on both sides
// ("like phasing"), two ground wires at 38 m; a ROW of ±30 m.
inline TScenario& VerticalDoubleCircuit(TEmfProject& project) {
    TScenario& scenario = AddDesignScenario(project, 30, 30);
    AddThreePhase(scenario,
                  {.Phases = {{{-8, 30}, {-8, 23}, {-8, 16}}}, .GroundWires = {{-5, 38}, {5, 38}}});
    AddThreePhase(scenario, {.Phases = {{{8, 30}, {8, 23}, {8, 16}}}});
    return scenario;
}

// circuits vertical 500 kV circuits with 3-bundles, 2000 A, side by side 18 m
// apart, and two ground wires over each pair: the benchmark lines (4 and 6
// circuits).
inline TScenario& ManyCircuitLine(TEmfProject& project, int circuits) {
    const float width = 18.0f * static_cast<float>(circuits - 1);
    TScenario& scenario = AddDesignScenario(project, width / 2 + 25, width / 2 + 25);
    for (int k = 0; k < circuits; ++k) {
        const float x = -width / 2 + 18.0f * static_cast<float>(k);
        TThreePhase line{.Phases = {{{x, 40}, {x, 30}, {x, 20}}},
                         .VoltageKv = 500,
                         .CurrentA = 2000,
                         .SubConductors = 3,
                         .DiameterMm = 30.4f,
                         .SpacingCm = 45};
        if (k % 2 == 0) line.GroundWires = {{x + 4, 48}, {x + 14, 48}};
        AddThreePhase(scenario, line);
    }
    return scenario;
}

} // namespace corvalt::testing
