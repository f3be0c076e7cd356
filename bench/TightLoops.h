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
    TTightSources Charges, Currents;
};

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

} // namespace corvalt::testing
