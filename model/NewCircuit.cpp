#include "model/NewCircuit.h"

#include "model/Scenario.h"

#include <algorithm>
#include <utility>

namespace corvalt {
namespace {

void StoreCircuitValues(TCircuit& circuit, const TNewCircuitValues& values) {
    circuit.NewCircuit = values.NewCircuit;
    circuit.Name = values.Name;
    circuit.VoltageClass = values.VoltageClass;
    circuit.OverRateFactor = values.OverRateFactor;
    circuit.MaxVoltage = values.MaxVoltage;
    circuit.Mcr = values.Mcr;
    circuit.SetDisplayDistFromRowLeft(values.DistFromRowLeft);
    circuit.CondName = values.CondName;
    circuit.SetDisplayCondDiameter(values.CondDiameter);
    circuit.SubCondCount = values.SubCondCount;
    circuit.SetDisplayBundleSpacing(values.BundleSpacing);
    circuit.OhgwName = values.OhgwName;
    circuit.SetDisplayOhgwDiameter(values.OhgwDiameter);
}

// The circuit's values that its phase conductors carry as well.
void CopyPhaseValues(const TCircuit& circuit, TConductor& conductor) {
    conductor.SubCondCount = circuit.SubCondCount;
    conductor.VoltageClass = circuit.VoltageClass;
    conductor.OverRateFactor = circuit.OverRateFactor;
    conductor.MaxVoltage = circuit.MaxVoltage;
    conductor.TypeName = circuit.CondName;
    conductor.Diameter = circuit.CondDiameter;
    conductor.SubSpacing = circuit.BundleSpacing;
    conductor.SetDisplayMcr(circuit.Mcr);
}

void CopyGroundValues(const TCircuit& circuit, TConductor& conductor) {
    conductor.TypeName = circuit.OhgwName;
    conductor.Diameter = circuit.OhgwDiameter;
}

// A conductor of the circuit with the next id of its type, not yet added.
std::unique_ptr<TConductor> NewConductor(TCircuit& circuit, int condType) {
    auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
    conductor->CondType = static_cast<std::uint8_t>(condType);
    conductor->Id = ProposedConductorId(circuit, condType);
    conductor->AcFlag = 1;
    return conductor;
}

void AddPhaseConductors(TCircuit& circuit, int condType, const TPhaseRow& row) {
    if (!row.Enabled) return;
    for (int i = 0; i < row.Count; ++i) {
        std::unique_ptr<TConductor> conductor = NewConductor(circuit, condType);
        conductor->PhaseAngle = static_cast<float>(row.Angle);
        CopyPhaseValues(circuit, *conductor);
        circuit.AddConductor(std::move(conductor));
    }
}

void AddGroundConductors(TCircuit& circuit, const TPhaseRow& row) {
    if (!row.Enabled) return;
    for (int i = 0; i < row.Count; ++i) {
        std::unique_ptr<TConductor> conductor = NewConductor(circuit, Ground);
        conductor->SubCondCount = 1;
        CopyGroundValues(circuit, *conductor);
        circuit.AddConductor(std::move(conductor));
    }
}

} // namespace

int NewConductorCount(const TNewCircuitValues& values) {
    int count = 0;
    for (const TPhaseRow& row : values.Phases)
        if (row.Enabled) count += std::max(row.Count, 0);
    if (values.Ground.Enabled) count += std::max(values.Ground.Count, 0);
    return count;
}

std::unique_ptr<TCircuit> CreateNewCircuit(TScenario& scenario, const TNewCircuitValues& values) {
    auto circuit = std::make_unique<TCircuit>(scenario);
    circuit->Number = static_cast<std::uint8_t>(scenario.NextCircuitNumber());
    StoreCircuitValues(*circuit, values);
    circuit->OhgwCount = static_cast<std::uint8_t>(std::clamp(values.Ground.Count, 0, 255));
    AddPhaseConductors(*circuit, PhaseA, values.Phases[0]);
    AddPhaseConductors(*circuit, PhaseB, values.Phases[1]);
    AddPhaseConductors(*circuit, PhaseC, values.Phases[2]);
    AddGroundConductors(*circuit, values.Ground);
    return circuit;
}

void ApplyCircuitValues(TCircuit& circuit, const TNewCircuitValues& values) {
    StoreCircuitValues(circuit, values);
    for (TConductor& conductor : circuit.Conductors) {
        if (conductor.IsGround())
            CopyGroundValues(circuit, conductor);
        else
            CopyPhaseValues(circuit, conductor);
    }
}

std::string ProposedConductorId(const TCircuit& circuit, int condType) {
    return GeneratedConductorId(circuit.Number, condType, circuit.CountOfType(condType) + 1);
}

} // namespace corvalt
