#pragma once
// The rows of the results view's maxima table for one computed cross section:
// the field values the limits speak about (limits/FieldLimits.h), each with
// its limit and whether it holds, then each phase conductor's surface gradient
// and corona loss. Values in display units, texts ready to show; numbers in,
// rows out, nothing shown.

#include "limits/FieldLimits.h"
#include "model/ConductorRef.h"

#include <optional>
#include <string>
#include <vector>

namespace corvalt {

enum class TMaximaQuantity {
    ElectricField,   // kV/m
    MagneticField,   // mG
    SurfaceGradient, // kV/cm
    CoronaLossFair,  // kW/mi (English) or kW/km (Metric)
    CoronaLossRain,  // the same, at the cross section's rain rate
};

struct TMaximaRow {
    TMaximaQuantity Quantity = TMaximaQuantity::ElectricField;
    std::string QuantityText;   // "Largest electric field", "Surface gradient", ...
    std::string PlaceText;      // "within the ROW (at 12.0 ft)", "conductor 1A1 (Circuit 1)"
    std::optional<float> Value; // in Unit; empty: not computed
    std::string ValueText;      // Value with enough decimals to show an excess; empty without
    std::string Unit;           // "kV/m", "mG", "kV/cm", "kW/mi", "kW/km"
    std::optional<float> Limit; // in Unit; empty: no limit applies
    std::string LimitText;      // empty without a limit
    TLimitStatus Status = TLimitStatus::NoLimit;
    int ResultIndex = -1;    // the profile record of a field value; -1 if none
    TConductorRef Conductor; // the conductor of a gradient or loss row
};

struct TMaximaSummary {
    TLimitClass Class = TLimitClass::Line230;
    // False when the last computation failed or never ran: then there are no
    // rows and CalcError says why (empty when it never ran).
    bool Computed = false;
    std::string CalcError;
    std::vector<TMaximaRow> Rows;
};

// The rows of a cross section as its last ComputeScenario left it: first the
// checks of EvaluateLimits in their order (largest E within the ROW, E at the
// left and right edge, B at the left and right edge, E and B at each point of
// interest), then for each phase conductor (ground wires carry no corona), in
// circuit and conductor order, its surface gradient, its corona loss in fair
// weather and, when the cross section has a rain rate, in rain at that rate.
// Gradients and losses have no limit; one that cannot be computed is marked
// NotComputed.
TMaximaSummary MaximaSummaryOf(const TScenario& scenario, const TFieldLimits& limits);

// "within", "over", "no limit", "not computed".
const char* MaximaStatusText(TLimitStatus status);

} // namespace corvalt
