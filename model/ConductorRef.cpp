#include "model/ConductorRef.h"

#include "model/Scenario.h"

namespace corvalt {

TConductorRef ConductorRefOf(const TScenario& scenario, const TConductor* conductor) {
    if (conductor == nullptr) return {};
    for (int c = 0; c < scenario.Circuits.Count(); ++c) {
        const TCircuit& circuit = scenario.Circuits[c];
        for (int k = 0; k < circuit.Conductors.Count(); ++k)
            if (&circuit.Conductors[k] == conductor) return {c, k};
    }
    return {};
}

const TConductor* ConductorAt(const TScenario& scenario, TConductorRef ref) {
    if (!ref.IsValid() || ref.Circuit >= scenario.Circuits.Count()) return nullptr;
    const TCircuit& circuit = scenario.Circuits[ref.Circuit];
    if (ref.Conductor >= circuit.Conductors.Count()) return nullptr;
    return &circuit.Conductors[ref.Conductor];
}

TConductor* ConductorAt(TScenario& scenario, TConductorRef ref) {
    return const_cast<TConductor*>(ConductorAt(std::as_const(scenario), ref));
}

} // namespace corvalt
