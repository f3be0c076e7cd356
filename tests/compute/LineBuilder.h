#pragma once
// Builds projects and cross sections for the compute tests and benchmarks:
// conductors given by plain values in internal units, added to the model the
// way the dialogs and the project reader do.

#include "compute/ConductorSystem.h"
#include "model/Project.h"

#include <memory>
#include <string>
#include <vector>

namespace corvalt::testing {

// One conductor in internal units (m, mm, cm, kV, degrees, A).
struct TCond {
    float X = 0; // absolute x, m (the circuit sits at 0)
    float Y = 10;
    int N = 1;
    float DiameterMm = 25.4f;
    float SpacingCm = 0;
    float VoltageKv = 0;
    float AngleDeg = 0;
    float CurrentA = 0;
    bool Ac = true;
    bool Ground = false;
    std::string Id = {};
};

inline TScenario& AddScenario(TEmfProject& project, const std::string& tabTitle = "North") {
    auto scenario = std::make_unique<TScenario>(project);
    scenario->TabTitle = tabTitle;
    scenario->Title = tabTitle + " segment";
    scenario->EFieldHeight = 1;
    scenario->BFieldHeight = 1;
    return project.Scenarios[project.Scenarios.Add(std::move(scenario))];
}

inline TCircuit& AddCircuit(TScenario& scenario, float distFromRowLeftM = 0) {
    auto circuit = std::make_unique<TCircuit>(scenario);
    circuit->Number = static_cast<std::uint8_t>(scenario.NextCircuitNumber());
    circuit->Name = "Circuit " + std::to_string(circuit->Number);
    circuit->DistFromRowLeft = distFromRowLeftM;
    return scenario.Circuits[scenario.Circuits.Add(std::move(circuit))];
}

inline TConductor& AddConductor(TCircuit& circuit, const TCond& c) {
    auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
    conductor->CondType = c.Ground ? Ground : PhaseA;
    conductor->AcFlag = c.Ac ? 1 : 0;
    conductor->Id = c.Id.empty() ? "C" + std::to_string(circuit.Scenario->ConductorCount()) : c.Id;
    conductor->HorizDistance = c.X - circuit.DistFromRowLeft;
    conductor->Height = c.Y;
    conductor->SubCondCount = static_cast<std::uint8_t>(c.N);
    conductor->Diameter = c.DiameterMm;
    conductor->SubSpacing = c.SpacingCm;
    conductor->MaxVoltage = c.VoltageKv;
    conductor->PhaseAngle = c.AngleDeg;
    conductor->Mcr = c.CurrentA / 1000.0f;
    return circuit.Conductors[circuit.AddConductor(std::move(conductor))];
}

inline void AddConductors(TCircuit& circuit, const std::vector<TCond>& conductors) {
    for (const TCond& c : conductors)
        AddConductor(circuit, c);
}

inline void AddInterestPoint(TScenario& scenario, const std::string& name, float xM) {
    auto point = std::make_unique<TInterestPoint>(scenario);
    point->Name = name;
    point->DistFromRowLeft = xM;
    scenario.InterestPoints.Add(std::move(point));
}

// The same conductors as plain records of the computation, prepared.
inline std::vector<TSystemConductor> SystemOf(const std::vector<TCond>& conductors) {
    std::vector<TSystemConductor> system;
    for (const TCond& c : conductors) {
        TSystemConductor s;
        s.XM = c.X;
        s.YM = c.Y;
        s.SubCondCount = c.N;
        s.DiameterMm = c.DiameterMm;
        s.SubSpacingCm = c.SpacingCm;
        s.MaxVoltageKv = c.VoltageKv;
        s.PhaseAngleDeg = c.AngleDeg;
        s.CurrentA = c.CurrentA;
        s.IsAc = c.Ac;
        s.IsGround = c.Ground;
        system.push_back(s);
    }
    PrepareConductorSystem(system);
    return system;
}

// Typical lines, used by the tests and the benchmarks.

// A 230 kV single circuit, horizontal, with two ground wires; currents 800 A.
inline std::vector<TCond> Circuit230kV() {
    return {
        {.X = -7, .Y = 15, .DiameterMm = 28.1f, .VoltageKv = 230, .AngleDeg = 0, .CurrentA = 800},
        {.X = 0, .Y = 15, .DiameterMm = 28.1f, .VoltageKv = 230, .AngleDeg = 120, .CurrentA = 800},
        {.X = 7, .Y = 15, .DiameterMm = 28.1f, .VoltageKv = 230, .AngleDeg = 240, .CurrentA = 800},
        {.X = -4, .Y = 21, .DiameterMm = 11, .Ground = true},
        {.X = 4, .Y = 21, .DiameterMm = 11, .Ground = true},
    };
}

// A 500 kV double circuit in two vertical stacks of 3-bundles (45 cm
// spacing), phases ABC / CBA, with two ground wires; 2000 A per phase.
inline std::vector<TCond> DoubleCircuit500kV() {
    std::vector<TCond> line;
    const float heights[] = {20, 30, 40};
    const float angles[] = {0, 120, 240};
    for (int side = 0; side < 2; ++side) {
        for (int phase = 0; phase < 3; ++phase) {
            TCond c{.X = side == 0 ? -9.0f : 9.0f,
                    .Y = heights[phase],
                    .N = 3,
                    .DiameterMm = 30.4f,
                    .SpacingCm = 45,
                    .VoltageKv = 500,
                    .AngleDeg = angles[side == 0 ? phase : 2 - phase],
                    .CurrentA = 2000};
            line.push_back(c);
        }
    }
    line.push_back({.X = -7, .Y = 48, .DiameterMm = 12.5f, .Ground = true});
    line.push_back({.X = 7, .Y = 48, .DiameterMm = 12.5f, .Ground = true});
    return line;
}

// A ±500 kV DC bipole beside a 345 kV AC double circuit with 2-bundles, and
// two ground wires: 12 conductors, mixed AC/DC.
inline std::vector<TCond> MixedAcDc12() {
    std::vector<TCond> line;
    line.push_back({.X = -30,
                    .Y = 25,
                    .N = 2,
                    .DiameterMm = 40.7f,
                    .SpacingCm = 45,
                    .VoltageKv = 500,
                    .CurrentA = 3000,
                    .Ac = false});
    line.push_back({.X = -16,
                    .Y = 25,
                    .N = 2,
                    .DiameterMm = 40.7f,
                    .SpacingCm = 45,
                    .VoltageKv = -500,
                    .CurrentA = 3000,
                    .Ac = false});
    const float heights[] = {18, 25, 32};
    const float angles[] = {0, 120, 240};
    for (int side = 0; side < 2; ++side)
        for (int phase = 0; phase < 3; ++phase)
            line.push_back({.X = side == 0 ? 8.0f : 20.0f,
                            .Y = heights[phase],
                            .N = 2,
                            .DiameterMm = 28.1f,
                            .SpacingCm = 45,
                            .VoltageKv = 345,
                            .AngleDeg = angles[side == 0 ? phase : 2 - phase],
                            .CurrentA = 1200});
    line.push_back({.X = -23, .Y = 33, .DiameterMm = 11, .Ground = true});
    line.push_back({.X = 14, .Y = 40, .DiameterMm = 11, .Ground = true});
    line.push_back({.X = 10, .Y = 40, .DiameterMm = 11, .Ground = true});
    line.push_back({.X = 18, .Y = 40, .DiameterMm = 11, .Ground = true});
    return line;
}

// A substation bay of 60 conductors: 20 three-phase 230 kV buses at 6 m and
// 10 m in a grid, with no ground wires.
inline std::vector<TCond> Substation60() {
    std::vector<TCond> line;
    for (int bus = 0; bus < 20; ++bus) {
        const float x0 = -60.0f + 6.0f * static_cast<float>(bus);
        const float y = bus % 2 == 0 ? 6.0f : 10.0f;
        for (int phase = 0; phase < 3; ++phase)
            line.push_back({.X = x0 + 1.5f * static_cast<float>(phase),
                            .Y = y,
                            .DiameterMm = 35,
                            .VoltageKv = 230,
                            .AngleDeg = 120.0f * static_cast<float>(phase),
                            .CurrentA = 1000});
    }
    return line;
}

} // namespace corvalt::testing
