#pragma once
// The clearance solver: the smallest uniform raise of a circuit's conductors
// (or of every circuit's) at which every field limit of the cross section
// holds (FieldLimits.h). Numbers in, numbers out: no Qt.
//
// A raise adds the same height, in the project's display unit (ft or m), to
// every conductor of the raised circuits that hangs above ground: phase
// conductors and the circuit's ground wires alike, so the sag geometry and
// the circuit's shape are kept. Conductors on or below the ground (cables)
// stay where they are. Each raise is judged by the computation itself
// (ComputeProfileFields) and the limits' evaluation (EvaluateProfile).
//
// The raise is found to 0.01 of the display unit. The fields need not fall
// steadily as a circuit rises (lifting one circuit of several can undo a
// cancellation), so the solver first steps up in whole display units until a
// raise holds, then bisects the last step; the answer holds, and 0.01 less
// does not. A window of holding raises narrower than one display unit below
// the answer could be missed.

#include "design/ProfileTrial.h"
#include "limits/FieldLimits.h"

#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;

// The highest raise tried: 100 m, in display units (328 ft in English projects).
inline constexpr float kMaxRaiseM = 100;

enum class TClearanceOutcome {
    Holds,         // every limit holds without a raise (the raise is 0)
    Raised,        // the raise found makes every limit hold
    NotAchievable, // even a raise of kMaxRaiseM leaves a limit failing
    Cancelled,
    Failed, // the cross section cannot be computed (Message says why)
};

struct TClearance {
    TClearanceOutcome Outcome = TClearanceOutcome::Failed;
    std::string Message;
    TLimitClass Class = TLimitClass::Line230;
    // ft or m, a multiple of 0.01; for NotAchievable the highest raise tried.
    float RaiseShown = 0;
    std::vector<int> Circuits;       // the circuits raised, indices into Circuits
    std::vector<TLimitCheck> Before; // the checks without a raise
    // The checks at the raise found; for NotAchievable those at the highest raise.
    std::vector<TLimitCheck> After;
};

// The height of a conductor at heightM raised by raiseShown (display units), m:
// its displayed height plus the raise, converted back, as the conductor
// dialog would store the displayed sum.
float RaisedHeightM(float heightM, float raiseShown, int units);

// Raises the circuits' conductors that hang above ground by raiseShown.
void ApplyRaise(TScenario& scenario, std::span<const int> circuits, float raiseShown);

// Told the share done (0 to 1) before each trial of a raise.
using TClearanceProgress = std::function<void(double done)>;

// Solves for one circuit (an index into the cross section's Circuits) or, with
// no circuit, for all of them together. The cross section is only read. Stop
// is looked at before each trial and within it (ComputeProfileFields); once it
// is requested the solver ends Cancelled, with no raise.
TClearance SolveClearance(const TScenario& scenario, std::optional<int> circuit,
                          const TFieldLimits& limits, const TClearanceProgress& progress = {},
                          std::stop_token stop = {});

// The checks of the cross section with the circuits raised by raiseShown, or
// the reason it cannot be computed.
using TRaisedChecks = TTrialChecks;
TRaisedChecks ChecksWithRaise(const TScenario& scenario, std::span<const int> circuits,
                              float raiseShown, const TFieldLimits& limits);

} // namespace corvalt
