#pragma once
// The numbers a profile plot draws, worked out from a computed cross section
// without any drawing: each plotted quantity in its plot unit, the records in
// lateral order, split into runs wherever a value could not be computed (a
// plot leaves a gap there, never a drop to zero), and the value of a quantity
// at any lateral position for the cursor read-out.

#include "model/CalcResult.h"
#include "model/ProfileQuantity.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

// The quantities the plots can show, with their names, units and decimals:
// those of the profile (model/ProfileQuantity.h). The plot unit of a quantity
// is the unit it is shown in (the magnetic field in mG).
using TPlotQuantity = TProfileQuantity;

// The record's value of the quantity in its plot unit (of a field, the measure
// asked for); empty where it was not computed or is not a finite number.
std::optional<double> QuantityValue(const TCalcResult& record, TPlotQuantity quantity,
                                    TFieldMeasure measure = TFieldMeasure::Axis);

struct TPlotPoint {
    double X = 0; // lateral distance in the project's display unit (ft or m)
    double Y = 0; // the quantity in its plot unit
    bool operator==(const TPlotPoint&) const = default;
};
// One unbroken stretch of a line.
using TPlotRun = std::vector<TPlotPoint>;

// The records' indices in lateral order (by Dist; records at the same
// distance keep their list order). The results list the ROW edges and the
// points of interest before the regular steps.
std::vector<std::size_t> LateralOrder(std::span<const TCalcResult> records);

// The quantity along the profile: the records in lateral order, one run per
// stretch of computed values; a record without a value ends the run before it
// and starts a new one after it. A point of interest beyond the regular steps
// is a run of its own (a dot, not joined to the profile). Runs are never empty.
std::vector<TPlotRun> QuantityRuns(std::span<const TCalcResult> records, TPlotQuantity quantity,
                                   TFieldMeasure measure = TFieldMeasure::Axis);

// The quantity at lateral position x (display unit): the record's value at a
// record's position, else the straight line between the two records around
// x. Empty outside the profile, where either neighbour has no value, and
// between the profile and a point of interest beyond its regular steps.
std::optional<double> QuantityAt(std::span<const TCalcResult> records, TPlotQuantity quantity,
                                 double x, TFieldMeasure measure = TFieldMeasure::Axis);

// The value as the plots and the read-out print it: with the given number of
// decimals (a negative number: that many significant digits), "n/a" when
// there is none.
std::string PlotNumber(std::optional<double> value, int decimals);

// The cursor read-out at lateral position x: the position with its unit, then
// every quantity at x with its unit, each field followed by its resultant,
// "n/a" where it has no value there ("x 12.0 ft   E 1.23 kV/m   E resultant
// 1.25 kV/m   B 45.6 mG   B resultant 46.0 mG   AN rain n/a dBA ...").
std::string ReadoutText(std::span<const TCalcResult> records, double x, const char* lengthUnit);

} // namespace corvalt
