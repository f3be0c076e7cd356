#include "space/Footprints.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvalt::space {

namespace {

using TInterval = std::pair<double, double>;

// The x of the polygon's boundary near the row y: where each edge comes
// within tol of the row (a horizontal edge on the row whole).
void AddBoundary(const TPlanCorner& p, const TPlanCorner& q, double y, double tol,
                 std::vector<TInterval>& intervals) {
    const double dy = q.Y - p.Y;
    double t0 = 0, t1 = 1;
    if (dy == 0) {
        if (std::abs(p.Y - y) > tol) return;
    } else {
        t0 = (y - tol - p.Y) / dy;
        t1 = (y + tol - p.Y) / dy;
        if (t0 > t1) std::swap(t0, t1);
        t0 = std::max(t0, 0.0);
        t1 = std::min(t1, 1.0);
        if (t0 > t1) return;
    }
    const double x0 = p.X + t0 * (q.X - p.X), x1 = p.X + t1 * (q.X - p.X);
    intervals.emplace_back(std::min(x0, x1), std::max(x0, x1));
}

// The x of the polygon inside or on it along the row y.
std::vector<TInterval> RowIntervals(const std::vector<TPlanCorner>& corners, double y, double tol) {
    std::vector<TInterval> intervals;
    std::vector<double> crossings;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const TPlanCorner& p = corners[k];
        const TPlanCorner& q = corners[(k + 1) % corners.size()];
        // Even-odd rule, each edge taken half-open so that a corner on the
        // row counts once.
        if ((p.Y > y) != (q.Y > y)) crossings.push_back(p.X + (y - p.Y) * (q.X - p.X) / (q.Y - p.Y));
        AddBoundary(p, q, y, tol, intervals);
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
        intervals.emplace_back(crossings[k], crossings[k + 1]);
    return intervals;
}

} // namespace

std::vector<TRowRange> PointsWithin(const TFootprint& footprint, const TGridAxes& grid) {
    std::vector<TRowRange> ranges;
    if (grid.X.empty() || grid.Y.empty() || footprint.Corners.size() < 3) return ranges;
    const double tol =
        1e-9 * (std::abs(grid.X.front()) + std::abs(grid.X.back()) + std::abs(grid.Y.front()) +
                std::abs(grid.Y.back()) + (grid.X.back() - grid.X.front()) +
                (grid.Y.back() - grid.Y.front()) + 1e-300);
    double yLow = footprint.Corners[0].Y, yHigh = yLow;
    for (const TPlanCorner& c : footprint.Corners) {
        yLow = std::min(yLow, c.Y);
        yHigh = std::max(yHigh, c.Y);
    }
    const auto firstRow = static_cast<std::size_t>(
        std::lower_bound(grid.Y.begin(), grid.Y.end(), yLow - tol) - grid.Y.begin());
    for (std::size_t j = firstRow; j < grid.Y.size() && grid.Y[j] <= yHigh + tol; ++j) {
        std::vector<TInterval> intervals = RowIntervals(footprint.Corners, grid.Y[j], tol);
        std::vector<TRowRange> row;
        for (const auto& [left, right] : intervals) {
            const auto begin = static_cast<std::size_t>(
                std::lower_bound(grid.X.begin(), grid.X.end(), left - tol) - grid.X.begin());
            const auto end = static_cast<std::size_t>(
                std::upper_bound(grid.X.begin(), grid.X.end(), right + tol) - grid.X.begin());
            if (begin < end) row.push_back({j, begin, end});
        }
        std::sort(row.begin(), row.end(),
                  [](const TRowRange& a, const TRowRange& b) { return a.Begin < b.Begin; });
        for (const TRowRange& r : row) {
            if (!ranges.empty() && ranges.back().Row == j && r.Begin <= ranges.back().End)
                ranges.back().End = std::max(ranges.back().End, r.End);
            else
                ranges.push_back(r);
        }
    }
    return ranges;
}

} // namespace corvalt::space
