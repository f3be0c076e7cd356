#pragma once
// The new-circuit operation of the circuit dialog: from the circuit values and
// the requested conductors per phase it builds the circuit with its numbered
// conductors, ready to be appended to the cross section.

#include "model/Circuit.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace corvalt {

class TScenario;

// One row of the dialog's Conductors page.
struct TPhaseRow {
    bool Enabled = false;
    int Count = 0; // conductors of this phase; none when not above 0
    int Angle = 0; // phase angle, whole degrees (phase rows only)
};

// What the circuit dialog hands over (for a new circuit and an edited one); lengths, diameters and
// spacings as entered, in the project's display units.
struct TNewCircuitValues {
    std::string Name;
    bool NewCircuit = true;
    float VoltageClass = 0; // kV; 0 when the entry was not a number
    float OverRateFactor = 0;
    float MaxVoltage = 0;      // kV
    float Mcr = 0;             // A
    float DistFromRowLeft = 0; // ft / m
    std::string CondName;
    float CondDiameter = 0; // in / mm
    std::uint8_t SubCondCount = 1;
    float BundleSpacing = 0; // in / cm
    std::string OhgwName;
    float OhgwDiameter = 0;          // in / mm
    std::array<TPhaseRow, 3> Phases; // A, B, C
    TPhaseRow Ground;                // its Count is stored as OhgwCount even when not enabled
};

// How many conductors CreateNewCircuit makes of the values: the counts of the
// enabled rows, ground wires included.
int NewConductorCount(const TNewCircuitValues& values);

// Creates the circuit for the cross section (not yet appended to Circuits; its
// conductors are in the cross section's Conductors already): Number from
// NextCircuitNumber, then all A, all B, all C conductors of the enabled phases
// and the ground wires, with ids 1A1, 1A2, 1B1 ... and AcFlag 1.
std::unique_ptr<TCircuit> CreateNewCircuit(TScenario& scenario, const TNewCircuitValues& values);

// The edit commit of the circuit dialog: stores the values on the circuit
// (its Number, OhgwCount and conductor list are kept; the phase rows are not
// used) and pushes them down to its conductors: a ground wire takes OhgwName and
// the OHGW diameter; a phase conductor takes SubCondCount, the voltage class,
// over-rate factor, maximum voltage, CondName, the conductor diameter, the
// bundle spacing and the MCR. Ids, phase angles and positions are kept.
void ApplyCircuitValues(TCircuit& circuit, const TNewCircuitValues& values);

// The id the conductor dialog proposes for a new conductor of the type.
std::string ProposedConductorId(const TCircuit& circuit, int condType);

} // namespace corvalt
