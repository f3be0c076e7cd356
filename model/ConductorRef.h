#pragma once
// A conductor named by its place in the cross section: the index of its circuit
// in Circuits and its index in that circuit's Conductors. The results view's
// drawing and maxima table name conductors this way, so that a reference from
// one computation still finds the conductor after the model was rebuilt.

namespace corvalt {

class TConductor;
class TScenario;

struct TConductorRef {
    int Circuit = -1;   // index in TScenario::Circuits; -1 for none
    int Conductor = -1; // index in the circuit's Conductors; -1 for none

    bool IsValid() const { return Circuit >= 0 && Conductor >= 0; }
    bool operator==(const TConductorRef&) const = default;
};

// The reference of a conductor of the cross section; invalid when the
// conductor is null or not one of its circuits' conductors.
TConductorRef ConductorRefOf(const TScenario& scenario, const TConductor* conductor);
// The conductor a reference names; null when it names none.
TConductor* ConductorAt(TScenario& scenario, TConductorRef ref);
const TConductor* ConductorAt(const TScenario& scenario, TConductorRef ref);

} // namespace corvalt
