#pragma once
// Copies of a cross section or a circuit, made by writing the record to an
// in-memory stream and reading it back into a fresh object, so a copy holds
// exactly what a saved and reopened project would hold.

#include <memory>
#include <string>

namespace corvalt {

class TScenario;
class TCircuit;

// A copy of the cross section for the same project, with all its circuits,
// conductors and points of interest; TabTitle "(Clone)", Title + " (Clone)".
// Not yet appended to the project. Null when a value cannot be written in the
// project's display units within the project file's range.
[[nodiscard]] std::unique_ptr<TScenario> CloneScenario(const TScenario& source);

// A copy of the circuit for the same cross section, named "(Clone)", numbered
// with NextCircuitNumber and its conductor ids renumbered (1A2 becomes 3A2 in
// circuit 3). Its conductors are in the cross section's Conductors already; the
// circuit itself is not yet appended to Circuits. Null, as above, when a value
// cannot be copied.
[[nodiscard]] std::unique_ptr<TCircuit> CloneCircuit(const TCircuit& source);

// The id with its leading decimal digits replaced by the circuit number.
std::string RenumberedConductorId(const std::string& id, int circuitNumber);

} // namespace corvalt
