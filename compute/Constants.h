#pragma once
// The constants of the field and corona computation, with the digits the
// program has always used (its printed values depend on them).

#include "model/Bundle.h"

namespace corvalt::constants {

// 1 ÷ (2π ε0), m/F: the factor of every potential coefficient and field term.
inline constexpr double kInvTwoPiEps0 = 1.8e10;
// The same factor scaled for kV/cm with radii in cm.
inline constexpr double kGradientFactor = 1.8e7;
// π as used in the bundle geometry and the gradient.
inline constexpr double kPi = kBundlePi;
// Degrees to radians in the voltage and current angles.
inline constexpr double kRadPerDeg = 0.017453292;
// Angle of the return current of a negative DC pole, radians.
inline constexpr double kNegativePoleAngle = -3.1415927;
// √3: phase-to-phase to phase-to-ground voltage.
inline constexpr double kSqrt3 = 1.7320508075688772;

} // namespace corvalt::constants
