#pragma once
// The voltage of a direct-current pole. A conductor stores MaxVoltage with one
// meaning for AC and DC alike: the phase-to-phase equivalent, which the
// computation and the BPA file divide by √3 to get the voltage to ground. A DC
// pole's voltage to ground U is therefore stored as U × √3 (a negative pole
// negative, a metallic return 0). Users see and enter U; these functions are the
// one place that converts.

#include <optional>

namespace corvalt {

class TCircuit;
class TConductor;

// Stored MaxVoltage (kV) of a pole at poleKv to ground, and back.
float StoredKvOfPole(float poleKv);
float PoleKvOfStored(float storedKv);

// A DC phase conductor (AcFlag 0, not a ground wire).
bool IsDcPole(const TConductor& conductor);

// The pole voltage to ground of a DC pole; nullopt for any other conductor.
std::optional<float> PoleKv(const TConductor& conductor);

// The voltage a user is shown for the conductor, kV: the pole voltage to ground
// of a DC pole, the stored maximum voltage of any other.
float ShownVoltageKv(const TConductor& conductor);

// A circuit whose phase conductors are DC poles (the circuit dialog built it as
// a bipole or monopole); false for a circuit without phase conductors.
bool IsDcCircuit(const TCircuit& circuit);

} // namespace corvalt
