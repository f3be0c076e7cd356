#pragma once
// The iso-line levels a field map draws by default: the field limits that
// apply to its plan (no Qt). A plan records its conductors' operating
// voltages, not the nominal voltage class of its lines, so the class comes
// from the highest phase voltage: up to 10 % above 230 kV (a 230 kV line runs
// at up to 242 kV) the class of 230 kV and less, above it the 500 kV class,
// which is a double circuit when the phases above that voltage make two or
// more complete three-phase sets. A set counts runs of conductors, not
// conductors: spans joined end to end are one phase.

#include "model/FieldLimitTable.h"
#include "model/Plan.h"

#include <string>
#include <vector>

namespace corvalt {

enum class TMapQuantity { Electric, Magnetic };

struct TMapLevel {
    double Value = 0;  // kV/m or mG
    std::string Place; // what the limit holds for, e.g. "within the ROW"
};

// Phase A, B or C (0, 1, 2) of an AC conductor at this angle: the nearest of
// 0°, 120° and 240°.
int PhaseIndexOf(double angleDeg);

// The class of the lines of the plan.
TLimitClass PlanLimitClass(const TPlan& plan);

// The limits of the plan's class for the quantity, largest first, each value
// once (E: within the ROW and at its edge; B: at the edge).
std::vector<TMapLevel> DefaultMapLevels(const TPlan& plan, const TFieldLimits& limits,
                                        TMapQuantity quantity);

// The limits of one class for the quantity, largest first, each value once.
std::vector<TMapLevel> LimitLevels(const TClassLimits& row, TMapQuantity quantity);

} // namespace corvalt
