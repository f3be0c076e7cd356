#include "space/Subdivision.h"

#include <algorithm>
#include <cmath>

namespace corvalt::space {

namespace {

double DistanceSqToGrid(const TGridBox& grid, TVec3 p) {
    const double dx = std::max({grid.X0 - p.X, 0.0, p.X - grid.X1});
    const double dy = std::max({grid.Y0 - p.Y, 0.0, p.Y - grid.Y1});
    const double dz = p.Z - grid.Z;
    return dx * dx + dy * dy + dz * dz;
}

// Halvings of one piece at most: 2⁻⁶⁰ of any length is far below any height.
constexpr int kDeepestHalving = 60;

bool Halve(const std::function<TVec3(double)>& curve, const TGridBox& grid, double t0, TVec3 p0,
           double t1, TVec3 p1, int depth, std::vector<TVec3>& chain, std::size_t maxVertices) {
    if (depth >= kDeepestHalving || Norm(p1 - p0) <= LongestPiece(grid, p0, p1)) {
        chain.push_back(p1);
        return chain.size() <= maxVertices;
    }
    const double tm = t0 + (t1 - t0) / 2;
    const TVec3 pm = curve(tm);
    return Halve(curve, grid, t0, p0, tm, pm, depth + 1, chain, maxVertices) &&
           Halve(curve, grid, tm, pm, t1, p1, depth + 1, chain, maxVertices);
}

} // namespace

double DistanceToGrid(const TGridBox& grid, TVec3 a, TVec3 b) {
    // The squared distance from the rectangle (a convex set) is convex along
    // the piece: a ternary search finds its least value.
    const TVec3 d = b - a;
    double lo = 0, hi = 1;
    for (int i = 0; i < 100; ++i) {
        const double m1 = lo + (hi - lo) / 3;
        const double m2 = hi - (hi - lo) / 3;
        if (DistanceSqToGrid(grid, a + m1 * d) <= DistanceSqToGrid(grid, a + m2 * d))
            hi = m2;
        else
            lo = m1;
    }
    const double best = std::min({DistanceSqToGrid(grid, a), DistanceSqToGrid(grid, b),
                                  DistanceSqToGrid(grid, a + (lo + (hi - lo) / 2) * d)});
    return std::sqrt(best);
}

double LongestPiece(const TGridBox& grid, TVec3 a, TVec3 b) {
    return std::max(std::min(a.Z, b.Z), DistanceToGrid(grid, a, b) / 10);
}

bool Subdivide(const std::function<TVec3(double)>& curve, const TGridBox& grid,
               std::vector<TVec3>& chain, std::size_t maxVertices) {
    return Halve(curve, grid, 0, curve(0), 1, curve(1), 0, chain, maxVertices);
}

} // namespace corvalt::space
