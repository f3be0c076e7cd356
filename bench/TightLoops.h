#pragma once
// The tight single-core loops the field kernels are measured against: E and B
// of a profile as bare arithmetic. The conductors are packed beforehand into
// the plain numbers the sums take; each point's terms are the kernels' (same
// operations, same types, the sums rounded to float after every conductor,
// the field ellipse inlined at the end), but with no inside-conductor test, no empty
// values and no branch in the loop. Built at -O3, for AVX2 and for the
// baseline processor, so that the compiler vectorises them as far as it can.

#include "compute/ConductorSystem.h"

#include <span>
#include <vector>

namespace corvalt::testing {

// One array per number the sums take.
struct TTightSources {
    std::vector<double> X, Y, Re, Im;
    void Add(double x, double y, double re, double im);
};

// The charges and currents of a solved system and the profile's positions;
// the sensors at 1 m.
struct TTightInput {
    TTightInput(std::span<const TSystemConductor> system, std::vector<float> positions);
    std::vector<float> Positions;
    // The positions padded with copies of the last to a whole number of steps
    // of TightLoopBlocks.
    std::vector<float> PaddedPositions;
    TTightSources Charges, Currents;
};

// Points per step of TightLoopBlocks: two blocks of four lanes, as the kernels take them.
inline constexpr std::size_t kTightPointsPerStep = 8;

// The four sums of every point, one array each.
struct TTightSums {
    explicit TTightSums(std::size_t n) : XRe(n), XIm(n), YRe(n), YIm(n) {}
    std::vector<float> XRe, XIm, YRe, YIm;
};

// Point after point: each point's sums over the conductors.
void TightLoopPoints(const TTightInput& in, std::vector<float>& e, std::vector<float>& b);

// Conductor after conductor over arrays of the points' sums, the loop over the
// points innermost, which the compiler may vectorise.
void TightLoopArrays(const TTightInput& in, TTightSums& es, TTightSums& bs, std::vector<float>& e,
                     std::vector<float>& b);

// The floor of the kernels: their layout (blocks of four points in the lanes
// of a vector of doubles, two blocks side by side, each source's terms added
// to both before the next source) and their arithmetic (the same operations
// in the same order, single-precision sums widened for each addition, the
// ellipse of the four lanes at once), everything inlined into one function,
// without the inside-conductor masks and the empty values. e and b hold
// PaddedPositions.size() values.
void TightLoopBlocks(const TTightInput& in, std::vector<float>& e, std::vector<float>& b);

// What the processor's divider allows: count independent divisions of
// vectors of four doubles, nothing else; returns a sum of the quotients (for
// the caller to keep). The kernels' E and B of a point take two divisions per
// charge and one per current, and a square root is about as slow.
double DividerPeak(std::size_t count);

} // namespace corvalt::testing
