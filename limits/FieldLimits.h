#pragma once
// Field limits applied to a computed cross section: which row of the limits
// table (model/FieldLimitTable.h) a cross section falls under, and every value
// the limits speak about, each with its limit and whether it holds. Numbers in,
// numbers out: no Qt, no preferences, nothing shown.
//
// Typical uses:
//
//   // The results panel's maxima table: one row per check.
//   ComputeScenario(scenario);
//   const TLimitEvaluation evaluation = EvaluateLimits(scenario, options.FieldLimits());
//   for (const TLimitCheck& check : evaluation.Checks)
//       ShowRow(PlaceText(scenario, check), check.Value, check.Limit, check.Status());
//
//   // corvalt-cli check --limits: one finding per value that fails.
//   for (const TLimitCheck& check : evaluation.Checks)
//       if (check.Fails()) Print(LimitFindingText(scenario, evaluation.Class, check));
//
//   // A design tool trying a raised geometry: only the verdict.
//   if (EvaluateLimits(raised, limits).AllHold()) ...
//   // or, on a profile it computed itself (only E and B at the records it
//   // needs), without a TScenario:
//   EvaluateProfile(records, places, limits.For(LimitClassOf(scenario)));
//
// The class of a cross section (LimitClassOf):
// - A substation (SectionType Substation) is a substation whatever its voltage.
// - A transmission line follows its highest circuit voltage class
//   (TCircuit::VoltageClass, the nominal voltage, not the maximum operating
//   voltage: a 230 kV line runs at up to 242 kV and is still a 230 kV line).
//   230 kV and less: Line230. Above 230 kV the next higher class, 500 kV,
//   applies; above 500 kV the highest class, 500 kV, applies too (the standards
//   name no higher class). Circuits without phase conductors (ground wires
//   only) do not count; a line without any counts as Line230.
// - A line of the 500 kV class is a double circuit (Line500Double) when it
//   carries two or more three-phase AC circuits of that class. A three-phase
//   circuit is one complete set of A, B and C conductors with alternating
//   current; a circuit entered with two sets (A, B, C, A, B, C) counts twice,
//   so a double circuit entered as one circuit is found too. Two circuits of
//   the class on one right of way count as a double circuit, since the cross
//   section does not record which structure carries which circuit.
//
// The checks (EvaluateProfile, in this order):
// 1. the largest electric field within the ROW (from the left edge to the
//    right edge, both included) against EWithinRow;
// 2. the electric field at the left and at the right ROW edge against EAtEdge;
// 3. the magnetic field at the left and at the right ROW edge against BAtEdge;
// 4. for each point of interest, in order, its electric and then its magnetic
//    field. A point inside the ROW is held to EWithinRow and has no magnetic
//    limit (the standards limit the magnetic field only at the edge); a point
//    on an edge or outside the ROW is held to the edge limits, which protect
//    what lies beyond the ROW.
// For a substation the ROW edges are its property boundary.
//
// Values and limits are in kV/m (electric field) and mG (magnetic field: the
// computed gauss × 1000 rounded once to float, GaussToMilligauss), the same in
// English and Metric projects. A value is over its limit when it is strictly
// larger: a value equal to its limit holds. Values are compared unrounded, so
// a display that rounds must show enough digits to make an excess visible
// (LimitFindingText does).

#include "model/CalcResult.h"
#include "model/FieldLimitTable.h"
#include "model/ProfileQuantity.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;

// Highest VoltageClass (kV) of the cross section's circuits that have phase
// conductors; 0 when there is none.
float HighestCircuitVoltage(const TScenario& scenario);
// Number of complete three-phase AC sets (A, B and C conductors) among the
// circuits whose VoltageClass is above fromKv.
int ThreePhaseSetsAbove(const TScenario& scenario, float fromKv);
// The row of the limits table that applies to the cross section.
TLimitClass LimitClassOf(const TScenario& scenario);
// The class of a transmission line from its highest circuit voltage (kV) and
// its number of three-phase sets of the 500 kV class.
TLimitClass LineClassOf(float highestVoltageKv, int threePhaseSets500);

enum class TLimitQuantity { ElectricField, MagneticField };
// The profile quantity a limit speaks about: its names, unit and decimals.
TProfileQuantity ProfileQuantityOf(TLimitQuantity quantity);
enum class TLimitPlace { WithinRow, RowLeftEdge, RowRightEdge, InterestPoint };
// Where a point of interest lies with respect to the ROW.
enum class TPointSide { InsideRow, OnRowEdge, OutsideRow };
enum class TLimitStatus {
    Within,      // the value is at most its limit
    Over,        // the value is above its limit
    NoLimit,     // no limit applies here (the value may still be shown)
    NotComputed, // a limit applies but the value could not be computed
};
// The status as one word for machine-read output (corvalt-cli clearance):
// "within", "over", "no-limit", "not-computed".
const char* LimitStatusName(TLimitStatus status);

// One value the limits speak about.
struct TLimitCheck {
    TLimitQuantity Quantity = TLimitQuantity::ElectricField;
    TLimitPlace Place = TLimitPlace::WithinRow;
    int ResultIndex = -1;                    // its record in the profile; -1 if none
    // A copy of that record (its place and values), so that the check can be
    // worded without the profile it was judged on; empty without a record.
    std::optional<TCalcResult> Record;
    int PointIndex = -1;                     // for InterestPoint: the point's index
    TPointSide Side = TPointSide::InsideRow; // for InterestPoint
    std::optional<float> Value;              // kV/m or mG; empty: not computed
    std::optional<float> Limit;              // kV/m or mG; empty: no limit applies
    // For WithinRow: some records within the ROW have no value, so Value (the
    // largest of the others) may not be the largest there is.
    bool Gaps = false;

    TLimitStatus Status() const;
    // Over, or NotComputed: the limit cannot be shown to hold.
    bool Fails() const;
};

// The values of a profile's ROW checks, by name: the largest electric field
// within the ROW, and the larger value of each field at the two edges (or that
// of the one edge that has a value). Empty where no check gives one.
struct TRowValues {
    std::optional<float> LargestEWithinRowKvPerM;
    std::optional<float> EdgeEKvPerM;
    std::optional<float> EdgeBMg;
};
TRowValues RowValuesOf(std::span<const TLimitCheck> checks);

// The larger of two values either of which may be empty: the one there is, or
// empty when neither is.
std::optional<float> Larger(std::optional<float> a, std::optional<float> b);

// Whether every check holds (none Over or NotComputed).
bool AllChecksHold(std::span<const TLimitCheck> checks);

// Where EvaluateProfile finds the values in a profile's records.
struct TProfilePlaces {
    float RowLeftM = 0;  // the left ROW edge lies at x = -RowLeftM, m
    float RowRightM = 0; // the right ROW edge at x = +RowRightM, m
    int RowLeftResult = 0;
    int RowRightResult = 1;
    std::vector<int> PointResults; // each point of interest's record, in point order
};

// The checks of a computed profile against one row of the table, in the order
// above. A record index outside the records gives a check without value.
std::vector<TLimitCheck> EvaluateProfile(std::span<const TCalcResult> records,
                                         const TProfilePlaces& places, const TClassLimits& limits);

struct TLimitEvaluation {
    TLimitClass Class = TLimitClass::Line230;
    // False when the last computation of the cross section failed (its
    // CalcError says why); then there are no checks and nothing holds.
    bool Computed = false;
    std::vector<TLimitCheck> Checks;

    // Computed, and no check fails (AllChecksHold).
    bool AllHold() const;
    // The checks that fail, in order.
    std::vector<const TLimitCheck*> Failures() const;
};

// The cross section's profile as its last ComputeScenario left it, against the
// row of the table for its class.
TLimitEvaluation EvaluateLimits(const TScenario& scenario, const TFieldLimits& limits);

// The places of a computed cross section's profile.
TProfilePlaces ProfilePlacesOf(const TScenario& scenario);

// One line for a check (check --limits prints the failing ones), naming the
// cross section, the quantity, where (distances in the project's display
// units), the value and the limit, e.g.
// "Cross section 'North': the magnetic field at the left ROW edge (-49.2 ft)
// is 166.4 mG, over the limit of 150 mG for transmission lines of 230 kV and
// less." Values show enough decimals to differ from the limit; a check that
// cannot be computed says so, one without limit that none applies.
std::string LimitFindingText(const TScenario& scenario, TLimitClass limitClass,
                             const TLimitCheck& check);

// The place of a check as a short text: "within the ROW", "at the left ROW
// edge", "at point of interest 'House'" (for a substation "property boundary"
// in place of "ROW edge").
std::string LimitPlaceText(const TScenario& scenario, const TLimitCheck& check);

// The place's position after LimitPlaceText: " (12.0 ft)", " (at 3.0 m)" for
// the largest value within the ROW, " (62.0 ft, outside the ROW)" for a point
// of interest; empty when the check has no record.
std::string LimitWhereText(const TScenario& scenario, const TLimitCheck& check);

// Decimals a value of the quantity is shown with: 2 for kV/m, 1 for mG.
int LimitDecimals(TLimitQuantity quantity);
// A value with `decimals` digits, or more when that would round a value over
// its limit to the limit or below, so that the text shows the excess ("."
// decimal point, never "-0.0").
std::string LimitValueText(float value, std::optional<float> limit, int decimals);
// A limit as the table holds it, in its shortest form ("150", "2.5").
std::string LimitNumberText(float limit);

} // namespace corvalt
