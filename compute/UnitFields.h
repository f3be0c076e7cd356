#pragma once
// The terms each conductor adds to the field sums at a point, written once:
// the field of its unit line charge (1 C/m) with its image below ground, the
// offsets and inverse squared distance by which its line current acts, and
// whether the point lies inside the conductor (or its image), where the
// line formulas do not hold. T is double, or a vector of doubles for the lanes
// of the profile kernels (compute/Fields.cpp), which must get exactly the
// values a single point gets. Vectors go by reference only and everything is
// inlined: code built for different processors passes vectors differently.

#include "compute/Constants.h"

namespace corvalt {

// Whether a point at squared distance distanceSqM2 from a conductor's centre
// lies inside it (closer than its outer radius) or exactly on its axis, into
// inside: a bool for a double, a lane mask for a vector.
template <class T, class TInside>
[[gnu::always_inline]] inline void InsideConductorInto(const T& distanceSqM2, double radiusSqM2,
                                                       TInside& inside) {
    inside = (distanceSqM2 == 0) | (distanceSqM2 < radiusSqM2);
}

// The field at (x, ys) of a unit line charge at (X, Y) and of its image at
// (X, −Y), V/m per C/m: with dx = x − X, a = Y − ys, b = Y + ys and
// c = d² ÷ k (k = 1 ÷ 2πε0),
//   horizontal = dx ÷ c1 − dx ÷ c2,   vertical = −a ÷ c1 − b ÷ c2,
// the factors the line charge multiplies. inside is set where the point lies
// inside the conductor or its image.
template <class T, class TInside>
[[gnu::always_inline]] inline void UnitChargeFieldAt(double X, double Y, double radiusSqM2,
                                                     const T& x, double ys, T& horizontal,
                                                     T& vertical, TInside& inside) {
    const T dx = x - X;
    const double a = Y - ys;
    const double b = Y + ys;
    const T d1Sq = dx * dx + a * a; // to the conductor
    const T d2Sq = dx * dx + b * b; // to its image
    TInside image;
    InsideConductorInto(d1Sq, radiusSqM2, inside);
    InsideConductorInto(d2Sq, radiusSqM2, image);
    inside |= image;
    const T kOverC1 = constants::kInvTwoPiEps0 / d1Sq;
    const T kOverC2 = constants::kInvTwoPiEps0 / d2Sq;
    horizontal = dx * kOverC1 - dx * kOverC2;
    vertical = -a * kOverC1 - b * kOverC2;
}

// How a line current at (X, Y) acts at (x, yb): dx = x − X, dy = Y − yb and
// 1 ÷ d²; the flux density of a source K e^{iθ} (gauss·m) is
// (K e^{iθ} ÷ d² · dy, K e^{iθ} ÷ d² · dx). inside is set where the point
// lies inside the conductor.
template <class T, class TInside>
[[gnu::always_inline]] inline void LineCurrentTermsAt(double X, double Y, double radiusSqM2,
                                                      const T& x, double yb, T& dx, double& dy,
                                                      T& inverseDSq, TInside& inside) {
    dx = x - X;
    dy = Y - yb;
    const T dSq = dx * dx + dy * dy;
    InsideConductorInto(dSq, radiusSqM2, inside);
    inverseDSq = 1 / dSq;
}

} // namespace corvalt
