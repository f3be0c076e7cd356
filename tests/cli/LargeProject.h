#pragma once
// Projects far larger than the samples, built in memory for the command tests:
// cross sections full of conductors of 40-conductor circuits.

#include "model/Project.h"

#include <memory>
#include <string>

namespace corvalt::testing {

// sections cross sections of conductors conductors each, every one a plain
// 230 kV single conductor at its own place, which computes without a finding.
inline std::unique_ptr<TEmfProject> MakeLargeProject(int sections, int conductors) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    for (int s = 0; s < sections; ++s) {
        project->Scenarios.Add(std::make_unique<TScenario>(*project));
        TScenario& scenario = project->Scenarios[s];
        scenario.TabTitle = "S" + std::to_string(s + 1);
        scenario.RowLeft = scenario.RowRight = 30;
        scenario.EFieldHeight = scenario.BFieldHeight = 1;
        for (int made = 0; made < conductors;) {
            scenario.Circuits.Add(std::make_unique<TCircuit>(scenario));
            TCircuit& circuit = scenario.Circuits[scenario.Circuits.Count() - 1];
            circuit.Number = static_cast<std::uint8_t>(scenario.Circuits.Count());
            for (int k = 0; k < 40 && made < conductors; ++k, ++made) {
                auto conductor = std::make_unique<TConductor>(scenario, circuit);
                conductor->CondType = static_cast<std::uint8_t>(k % 3);
                conductor->Id = std::to_string(circuit.Number) + "A" + std::to_string(k + 1);
                conductor->HorizDistance = -25.0f + 0.1f * static_cast<float>(made);
                conductor->Height = 15.0f + static_cast<float>(made % 7);
                conductor->Diameter = 30;
                conductor->SubCondCount = 1;
                conductor->VoltageClass = 230;
                conductor->MaxVoltage = 242;
                conductor->Mcr = 1.0f; // kA
                conductor->PhaseAngle = 120.0f * static_cast<float>(k % 3);
                conductor->AcFlag = 1;
                circuit.AddConductor(std::move(conductor));
            }
        }
    }
    return project;
}

} // namespace corvalt::testing
