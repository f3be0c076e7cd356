#include "design/Phasing.h"

#include "model/Scenario.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>

namespace corvalt {
namespace {

// In lexicographic order, so that arrangements count up from the phasing as it is.
constexpr std::array<std::array<int, 3>, kPhaseOrderCount> kOrders = {{
    {0, 1, 2},
    {0, 2, 1},
    {1, 0, 2},
    {1, 2, 0},
    {2, 0, 1},
    {2, 1, 0},
}};

bool IsPhase(const TConductor& conductor) {
    return conductor.CondType <= PhaseC;
}

// The phase angles of a searchable circuit, or nothing.
std::optional<std::array<float, 3>> SearchableAngles(const TCircuit& circuit) {
    std::array<std::optional<float>, 3> angles;
    for (const TConductor& conductor : circuit.Conductors) {
        if (!IsPhase(conductor)) continue;
        if (conductor.AcFlag == 0) return std::nullopt;
        std::optional<float>& angle = angles[conductor.CondType];
        if (angle && *angle != conductor.PhaseAngle) return std::nullopt;
        angle = conductor.PhaseAngle;
    }
    if (!angles[0] || !angles[1] || !angles[2]) return std::nullopt;
    if (*angles[0] == *angles[1] || *angles[1] == *angles[2] || *angles[0] == *angles[2])
        return std::nullopt;
    return std::array<float, 3>{*angles[0], *angles[1], *angles[2]};
}

// The ordinal of a generated id of the circuit and phase ("2B3" gives 3), or 0
// when the id is not one.
int GeneratedOrdinal(const std::string& id, int circuitNumber, int condType) {
    const std::string prefix = std::to_string(circuitNumber) + ConductorLetter(condType);
    if (id.size() <= prefix.size() || id.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::string digits = id.substr(prefix.size());
    if (digits.size() > 6 || digits.front() == '0') return 0;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(digits);
}

void Relabel(TCircuit& circuit) {
    int counts[3] = {0, 0, 0};
    for (TConductor& conductor : circuit.Conductors)
        if (IsPhase(conductor))
            conductor.Id = GeneratedConductorId(circuit.Number, conductor.CondType,
                                                ++counts[conductor.CondType]);
}

} // namespace

const std::array<int, 3>& PhaseOrder(int order) {
    if (order < 0 || order >= kPhaseOrderCount)
        throw std::out_of_range("phase order " + std::to_string(order));
    return kOrders[static_cast<std::size_t>(order)];
}

std::string PhaseOrderText(int order) {
    std::string text;
    for (const int phase : PhaseOrder(order))
        text += ConductorLetter(phase);
    return text;
}

std::vector<TPhasedCircuit> PhasedCircuits(const TScenario& scenario) {
    std::vector<TPhasedCircuit> circuits;
    for (int i = 0; i < scenario.Circuits.Count(); ++i)
        if (const auto angles = SearchableAngles(scenario.Circuits[i]))
            circuits.push_back({i, *angles});
    return circuits;
}

bool FollowsIdRule(const TCircuit& circuit) {
    for (const TConductor& conductor : circuit.Conductors)
        if (IsPhase(conductor) &&
            GeneratedOrdinal(conductor.Id, circuit.Number, conductor.CondType) == 0)
            return false;
    return true;
}

void ApplyPhasing(TScenario& scenario, std::span<const TPhasedCircuit> circuits,
                  std::span<const int> orders) {
    if (circuits.size() != orders.size())
        throw std::invalid_argument("a phase order for each searched circuit");
    for (std::size_t k = 0; k < circuits.size(); ++k) {
        const TPhasedCircuit& phased = circuits[k];
        TCircuit& circuit = scenario.Circuits[phased.CircuitIndex];
        const bool relabel = FollowsIdRule(circuit);
        const std::array<int, 3>& order = PhaseOrder(orders[k]);
        for (TConductor& conductor : circuit.Conductors) {
            if (!IsPhase(conductor)) continue;
            const int phase = order[conductor.CondType];
            conductor.CondType = static_cast<std::uint8_t>(phase);
            conductor.PhaseAngle = phased.AnglesDeg[static_cast<std::size_t>(phase)];
        }
        if (relabel) Relabel(circuit);
    }
}

} // namespace corvalt
