#pragma once
// Cutting conductors into straight pieces for the field map: fine near the
// grid, long far from it, so that a line kilometres long stays well inside the
// piece limit. The rule: no piece is longer than the larger of
//   - the height above ground of its lower end, and
//   - a tenth of its distance from the grid (the rectangle of the grid's
//     points at the grid's height).
// Near the grid a piece is thus no longer than its height, short enough that
// a hanging span's chords keep its shape (a chord of a span's length over its
// height sags below the chord by height² × sag ÷ span², a centimetre for a
// 300 m span with 6 m sag at 12 m) and its charge follows the ground;
// far away each piece subtends at most a tenth of a radian at any grid point.
// Curves are halved until every piece keeps the rule, so pieces meet where
// the curve's halving points fall and a straight run keeps its own points.

#include "space/Vec3.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace corvalt::space {

// The rectangle of the grid's points at the grid's height, m.
struct TGridBox {
    double X0 = 0, X1 = 0, Y0 = 0, Y1 = 0, Z = 0;
};

// The distance from the straight piece a–b to the nearest point of the
// rectangle, m.
double DistanceToGrid(const TGridBox& grid, TVec3 a, TVec3 b);

// The longest the piece a–b may be under the rule, m.
double LongestPiece(const TGridBox& grid, TVec3 a, TVec3 b);

// Appends to chain the points that cut curve (its point at t, 0 … 1) into
// pieces that keep the rule, after the curve's first point (the caller's, at
// the end of chain already) up to and including its last. Stops early, with
// false, once chain holds more than maxVertices points.
bool Subdivide(const std::function<TVec3(double)>& curve, const TGridBox& grid,
               std::vector<TVec3>& chain, std::size_t maxVertices);

} // namespace corvalt::space
