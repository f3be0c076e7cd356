#pragma once
// The phasing of a cross section's three-phase circuits: which of a circuit's
// three phase positions carries phase A, B and C. The phasing optimiser tries
// every arrangement; applying one moves the phase types and angles among the
// positions and relabels the conductors by the id rule. Numbers in, numbers
// out: no Qt.
//
// A position is what a phase type marks before the change: the conductors of a
// circuit that are phase A now form its A position, and all of them (bundles
// and all) move together. Voltages, currents, positions and ground wires stay.

#include <array>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;
class TCircuit;

// The six orders of the phases over the three positions. Order o puts phase
// PhaseOrder(o)[p] on the position that held phase p (0 A, 1 B, 2 C); order 0
// is the phasing as it is.
inline constexpr int kPhaseOrderCount = 6;
const std::array<int, 3>& PhaseOrder(int order);
// The phases now on the positions that held A, B and C, e.g. "ACB" (order 1).
std::string PhaseOrderText(int order);

// A circuit whose phasing can be searched: its phase conductors are all
// alternating current, it has conductors of each of the three phases, the
// conductors of one phase share one phase angle, and the three angles differ.
// Other circuits (direct current, one or two phases, mixed angles) keep their
// phasing and still carry their fields.
struct TPhasedCircuit {
    int CircuitIndex = 0;                    // in the cross section's Circuits
    std::array<float, 3> AnglesDeg{0, 0, 0}; // phase angle of phase A, B and C, degrees
};

// The circuits of the cross section whose phasing can be searched, in order.
std::vector<TPhasedCircuit> PhasedCircuits(const TScenario& scenario);

// Whether the circuit's phase conductors carry the ids the id rule gives them
// (circuit number, the letter of their phase, an ordinal), so that a new
// phasing relabels them.
bool FollowsIdRule(const TCircuit& circuit);

// Gives every searched circuit the order of orders (one per circuit of
// circuits): each phase conductor takes the phase type and the phase angle of
// the phase its order puts on its position. When the circuit followed the id
// rule, its phase conductors are relabelled by it (circuit number, the new
// letter, the ordinal among the circuit's conductors of that phase in circuit
// order); other ids stay.
void ApplyPhasing(TScenario& scenario, std::span<const TPhasedCircuit> circuits,
                  std::span<const int> orders);

} // namespace corvalt
