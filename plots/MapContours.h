#pragma once
// Iso-lines of a field map by marching squares: the lines along which the
// values, interpolated linearly along the grid's cell edges, equal a level.
// Numbers in, numbers out (no Qt), so that the command line, the windows and
// the tests share it.
//
// A cell with a corner that has no value (a grid point inside a conductor)
// has no line through it: the line ends at its edge. Where two opposite
// corners of a cell are above the level and the two others below (a saddle),
// the mean of the four corners decides which pair the line keeps together.

#include <cstddef>
#include <span>
#include <vector>

namespace corvalt {

struct TPlanXY {
    double X = 0, Y = 0;
};

// A rectangle of a map's plane in its own units, X0 < X1 and Y0 < Y1: the
// part of a map on show when it is zoomed.
struct TPlanExtent {
    double X0 = 0, X1 = 1, Y0 = 0, Y1 = 1;
    bool operator==(const TPlanExtent&) const = default;
};

// A field over grid lines: row j is Y[j], element i is X[i]; NaN where there
// is no value. X and Y ascend.
struct TGridValues {
    std::span<const float> X, Y;
    std::span<const float> Values; // X.size() × Y.size(), row after row
};

// One iso-line: its points in order; Closed when it comes back to its first
// point (which is not repeated).
struct TIsoLine {
    std::vector<TPlanXY> Points;
    bool Closed = false;
};

// Every iso-line of the level: closed rings and lines that end at the grid's
// border or at a cell without values. A corner exactly at the level counts as
// above it.
std::vector<TIsoLine> IsoLines(const TGridValues& field, float level);

} // namespace corvalt
