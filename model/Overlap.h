#pragma once
// Which conductors of a cross section overlap: their outer circles in the
// plane of the cross section share a point. A sweep along x compares each
// conductor only with those whose horizontal extent meets its own, so a cross
// section of thousands of conductors is checked in about N log N steps rather
// than N².

#include <cstddef>
#include <span>
#include <vector>

namespace corvalt {

// The outer circle of a conductor (bundle or single), m.
struct TConductorCircle {
    double X = 0;
    double Y = 0;
    double Radius = 0; // finite and not negative
};

// True when the circles share at least one point: the centres are no farther
// apart than the sum of the radii. Touching counts: two distinct conductors in
// contact are one conductor electrically, not two line charges.
bool CirclesMeet(const TConductorCircle& a, const TConductorCircle& b);

// Indices of the circles whose x is a number, by increasing left edge X − Radius
// (ties by index).
std::vector<int> SweepOrder(std::span<const TConductorCircle> circles);

// Horizontal extents closer than this are still compared, so that rounding in
// X ± Radius never hides a pair that CirclesMeet accepts, m.
inline constexpr double kSweepSlackM = 1e-6;

// Calls visit(i, j), i < j, once for every pair of circles whose horizontal
// extents [X − Radius, X + Radius] meet: every pair that meets, and every pair
// at the same x, is among them. Circles whose x is not a number take no part.
template <class TVisit>
void ForEachPairMeetingInX(std::span<const TConductorCircle> circles, TVisit&& visit) {
    const std::vector<int> order = SweepOrder(circles);
    for (std::size_t a = 0; a < order.size(); ++a) {
        const TConductorCircle& left = circles[static_cast<std::size_t>(order[a])];
        const double rightEdge = left.X + left.Radius + kSweepSlackM;
        for (std::size_t b = a + 1; b < order.size(); ++b) {
            const TConductorCircle& next = circles[static_cast<std::size_t>(order[b])];
            if (next.X - next.Radius > rightEdge) break; // and so are all after it
            if (order[a] < order[b])
                visit(order[a], order[b]);
            else
                visit(order[b], order[a]);
        }
    }
}

// A pair of indices into a list of conductors.
struct TIndexPair {
    int First = -1;
    int Second = -1;
    bool Found() const { return First >= 0; }
};

// The first pair of circles that meet in list order (lowest First, then lowest
// Second); not Found when none do.
TIndexPair FirstMeetingPair(std::span<const TConductorCircle> circles);

} // namespace corvalt
