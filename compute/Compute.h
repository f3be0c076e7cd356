#pragma once
// The computation of a cross section and of a project: the one place that reads
// the model for the field and corona computation and writes its results back.
// It rebuilds Results, the result indices, the points' ResultIndex and the
// conductors' computed values from scratch and never changes an input value.

#include "compute/CalcErrors.h"
#include "compute/ConductorSystem.h"
#include "compute/Corona.h"
#include "compute/Profile.h"

#include <optional>
#include <span>
#include <stop_token>
#include <variant>
#include <vector>

namespace corvalt {

class TEmfProject;
class TScenario;

// Lays out the lateral profile, solves the charges and gradients, computes the
// electric and magnetic field and the corona effects at every record and finds
// the maxima. Returns true when the cross section was computed. Otherwise
// CalcError says why, Results is empty, every index and ResultIndex is 0 and no
// conductor keeps computed values.
//
// Stop is checked before and after the charge solution (and within it), and
// between blocks of records of the fields and of the corona effects: once it
// is requested, the cross section ends as one that could not be computed,
// with the fault Cancelled, within one block's work.
//
// beyondRowShown (display units) lets the regular steps reach further beyond
// the ROW than the profile's own margin (RegularStepPositionsM).
bool ComputeScenario(TScenario& scenario, std::stop_token stop = {}, double beyondRowShown = 0);

// Computes every cross section in project order; returns how many could not be
// computed (their CalcError says why). Every cross section keeps its results
// (up to 7.7 MB each): commands that need one at a time compute it with
// ComputeScenario and release it once used.
int ComputeAll(TEmfProject& project);

// Frees the memory of the cross section's profile (Results becomes empty; the
// indices then name no record).
void ReleaseResults(TScenario& scenario);

// What the field computation of a cross section starts from: its conductor
// system, prepared, and the records of its profile without values.
struct TFieldInputs {
    std::vector<TSystemConductor> System;
    TProfileLayout Layout;
};

// The inputs of the cross section's field computation, or the reason
// ComputeScenario gives before solving anything (too many conductors or
// points, a fault of the inputs, a right of way too wide to lay out).
std::variant<TFieldInputs, TCalcFailure> FieldInputsOf(const TScenario& scenario,
                                                       double beyondRowShown = 0);

// Solves the charges of the system and fills EMax and BMax of every record,
// the steps of ComputeScenario that give the fields. The system must be
// prepared (PrepareConductorSystem), in the order of the cross section's
// Conductors (whose ids name a failure); the sensor heights and the units are
// the cross section's. Design tools call it on a system they changed (phase
// angles, heights) to get exactly the fields the edited cross section would
// get. On failure (overlapping conductors, a singular system) the records keep
// no values. A requested stop is the failure Cancelled.
std::optional<TCalcFailure> ComputeProfileFields(const TScenario& scenario,
                                                 std::span<TSystemConductor> system,
                                                 std::span<TCalcResult> records,
                                                 std::stop_token stop = {});

// The cross section's conductor system, prepared, or the reason
// ComputeScenario gives before solving anything (too many conductors or
// points, a fault of the inputs).
std::variant<std::vector<TSystemConductor>, TCalcFailure>
ConductorSystemOf(const TScenario& scenario);

// Solves the charges of the cross section's prepared system; the failure
// names the cross section's conductors (overlapping pair), a requested stop
// is Cancelled.
std::optional<TCalcFailure> SolveScenarioCharges(const TScenario& scenario,
                                                 std::span<TSystemConductor> system,
                                                 std::stop_token stop = {});

// The cross section's conductors as the computation sees them, in the order of
// its Conductors list (internal units; currents in amperes), prepared.
std::vector<TSystemConductor> BuildConductorSystem(const TScenario& scenario);

// The cross section's site parameters with their defaults applied.
TCoronaSite CoronaSiteOf(const TScenario& scenario);

// The first reason the cross section's inputs cannot be computed before any
// solving: a value that is not finite, or a conductor above ground whose bundle
// has no sub-conductors, no diameter or no spacing, or that reaches the ground.
std::optional<TCalcFailure> FindInputFault(const TScenario& scenario,
                                           const std::vector<TSystemConductor>& system);

} // namespace corvalt
