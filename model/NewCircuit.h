#pragma once
// The new-circuit operation of the circuit dialog: from the circuit values and
// the requested conductors per phase it builds the circuit with its numbered
// conductors, ready to be appended to the cross section.

#include "model/Circuit.h"
#include "model/StructureTemplate.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;

// What a new circuit carries: three-phase AC, or a DC line of two poles (+ and
// −) or of one pole, optionally with a metallic return at 0 kV.
enum class TCurrentKind { Ac, DcBipole, DcMonopole };

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
    // A DC circuit takes PoleKv, the pole voltage to ground (a monopole's sign
    // is its polarity; a bipole's poles are +|PoleKv| and −|PoleKv|), instead of
    // MaxVoltage, and has no phase rows: its poles are created instead.
    TCurrentKind Current = TCurrentKind::Ac;
    float PoleKv = 0;            // kV
    bool MetallicReturn = false; // a monopole's return conductor
    // The starting coordinates of the new conductors (a new circuit only).
    TStructureTemplate Template = TStructureTemplate::None;
    TTemplateShape Shape;
};

// How many conductors CreateNewCircuits makes of the values, over all its
// circuits: the counts of the enabled rows (for DC the poles and the return)
// per circuit, and the ground wires once.
int NewConductorCount(const TNewCircuitValues& values);

// Creates the circuit for the cross section (not yet appended to Circuits; its
// conductors are in the cross section's Conductors already): Number from
// NextCircuitNumber, then all A, all B, all C conductors of the enabled phases
// and the ground wires, with ids 1A1, 1A2, 1B1 ... and AcFlag 1. A DC circuit
// gets its + pole as phase A (1A1), its − pole or metallic return as phase B
// (1B1), AcFlag 0 on every conductor and phase angles 0. The conductors take
// the coordinates of the first circuit of the values' structure template.
std::unique_ptr<TCircuit> CreateNewCircuit(TScenario& scenario, const TNewCircuitValues& values);

// Every circuit the values' template builds (two for a vertical double
// circuit, the second numbered after the first and named after it with " 2";
// the ground wires belong to the first), none of them appended yet.
std::vector<std::unique_ptr<TCircuit>> CreateNewCircuits(TScenario& scenario,
                                                         const TNewCircuitValues& values);

// The dialog's check before creating: empty when the cross section can take
// the circuits and conductors the values make, else the message to show.
std::optional<std::string> RoomForNewCircuits(const TScenario& scenario,
                                              const TNewCircuitValues& values);

// The edit commit of the circuit dialog: stores the values on the circuit
// (its Number, OhgwCount and conductor list are kept; the phase rows are not
// used) and pushes them down to its conductors: a ground wire takes OhgwName and
// the OHGW diameter; a phase conductor takes SubCondCount, the voltage class,
// over-rate factor, maximum voltage, CondName, the conductor diameter, the
// bundle spacing and the MCR. Ids, phase angles and positions are kept. On a DC
// circuit the poles keep their polarity and a metallic return stays at 0 kV.
void ApplyCircuitValues(TCircuit& circuit, const TNewCircuitValues& values);

// What an existing circuit carries: a DC circuit with a negative pole beside a
// positive one is a bipole, another DC circuit a monopole.
TCurrentKind CurrentKindOf(const TCircuit& circuit);
// A DC circuit with a pole at 0 kV.
bool HasMetallicReturn(const TCircuit& circuit);

// The id the conductor dialog proposes for a new conductor of the type.
std::string ProposedConductorId(const TCircuit& circuit, int condType);

} // namespace corvalt
