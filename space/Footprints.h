#pragma once
// Which grid points lie inside or on a footprint's polygon. Polygons may be
// concave or cross themselves (inside by the even-odd rule); a point within a
// billionth of the grid's extent of an edge lies on it, so that a point that
// a decimal step puts on a corner or an edge counts.

#include "model/Plan.h"
#include "space/SpaceModel.h"

#include <cstddef>
#include <vector>

namespace corvalt::space {

// The points of one grid row inside or on the polygon: X[Begin] … X[End − 1].
struct TRowRange {
    std::size_t Row = 0;
    std::size_t Begin = 0, End = 0;
};

// The grid points inside or on the footprint, row by row from the first row,
// each row's ranges from left to right and apart.
std::vector<TRowRange> PointsWithin(const TFootprint& footprint, const TGridAxes& grid);

} // namespace corvalt::space
