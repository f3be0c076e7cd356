#pragma once
// A plan laid out from a cross section: its line strung along a route. The
// route is the polyline of the line's structures in the ground plane; legs
// longer than the span length get structures between at equal distances (a
// span length of 0 leaves one span per leg). At each structure every
// conductor of the cross section hangs at its offset from the line's centre
// (positive to the right, looking along the route; at a corner on the
// bisector, so that the conductors keep their offsets from both legs), and
// spans to the next structure with the sag. The cross section's heights are
// the conductors' lowest points, as compliance work uses them: the supports
// lie the sag higher. Circuits keep their voltages, currents and angles.
//
// A DC pole takes the voltage the cross-section computation gives it, its
// maximum voltage ÷ √3 (the cross sections read every conductor's maximum
// voltage as phase-to-phase), and its current the sign of the pole, so that
// the plan of a long straight route reproduces its cross section.
//
// Everything is in the project's display units (ft or m); the grid covers
// the structures with a margin of the wider ROW half or the farthest
// conductor, whichever is more, plus 30 m (100 ft), at the electric-field
// sensor height, in a step of 1, 2 or 5 times a power of ten that keeps each
// axis within 201 points.

#include "model/Plan.h"
#include "space/MapModel.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvalt {
class TScenario;
}

namespace corvalt::space {

// A route as typed or pasted: one point x,y per entry; entries separated by
// ";" or line breaks, blank ones skipped; a point's two numbers separated by a
// comma, or by a tab as spreadsheet columns are pasted. readNumber reads each
// number (empty for a text that is not one), as the front end reads numbers.
// A fault names the first point that is not two numbers (counted from 1) and
// its text, trimmed.
struct TRouteFault {
    std::size_t Point = 0;
    std::string Entry;
};
using TNumberReader = std::function<std::optional<double>(std::string_view)>;
std::variant<std::vector<TPlanCorner>, TRouteFault> ParseRoute(std::string_view text,
                                                               const TNumberReader& readNumber);

// Refused: a route of fewer than two points, with a point that is not finite
// or repeats the one before, or that turns back on itself (by more than 150°
// at a corner); a span length or sag that is negative or not finite; a
// conductor at or below ground (a cable has no span).
std::variant<TPlan, TMapInputError> BuildSpans(const TScenario& section,
                                               std::span<const TPlanCorner> route,
                                               double spanLength, double sag);

// Adds another plan's conductors (a second line: a crossing, a corner) and
// footprints to plan, and widens its grid to cover both grids at the finer
// step; an id that plan holds already gets " (2)", " (3)" … appended. Both
// plans must be in one measurement system.
std::optional<TMapInputError> MergePlan(TPlan& plan, const TPlan& other);

} // namespace corvalt::space
