#pragma once
// A plan turned into the model the field map computes (SpaceModel.h), after
// every check that a plan's values can be computed: what cannot is refused
// with a message naming the conductor, the footprint or the key at fault.
//
// The checks, in this order: the plan's name; each conductor's id (unique),
// kind (a ground conductor at 0 V, no phase angle on a DC conductor), bundle
// (a diameter, 1 to 255 sub-conductors, a spacing for a bundle), points
// (finite, within 1,000 km of the origin, two or more, no zero-length piece,
// none at or below ground, nor so low that the conductor's surface reaches
// the ground), a span's sag (not negative, not so deep that the span reaches
// the ground, possible for its ends); the grid (a step above 0, x1 ≥ x0,
// y1 ≥ y0, a height not below ground, at most 4,000,000 points); the
// footprints (a name, three corners or more); then the pieces after
// subdivision (at most 20,000) and, last, any two conductors whose surfaces
// meet. Conductors joined end to end at one point (the spans of a line at a
// structure) continue each other and do not count as meeting there when they
// are at one voltage.
//
// Units: English plans convert with the program's factors (m = ft ÷ 3.28;
// inches to millimetres and centimetres as the project file reads them), so
// that a plan laid out from a cross section lies exactly where its
// conductors do.

#include "model/Plan.h"
#include "space/SpaceModel.h"

#include <string>
#include <variant>

namespace corvalt::space {

struct TMapInputError {
    std::string Message;
};

std::variant<TSpaceModel, TMapInputError> BuildSpaceModel(const TPlan& plan);

// "conductor "1A"": how messages name a conductor.
std::string ConductorLabel(const TPlanConductor& conductor);

// The grid's coordinates along one axis, in the plan's units: from + i·step
// for every i with from + i·step ≤ to (within a billionth of a step, so that
// a decimal step reaches the decimal end). Empty when there would be more
// than maxPoints of them, or step is not above 0 or to lies below from.
std::vector<double> GridAxis(double from, double to, double step, long long maxPoints);

} // namespace corvalt::space
