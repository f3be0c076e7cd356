#pragma once
// The physical constants of the field maps, with the digits the cross
// sections use, so that a long straight line gives the same fields in both.

namespace corvalt::space {

// 1 ÷ (2π ε0), m/F: a line charge λ has the potential k λ ln(1 ÷ d) and the
// field k λ ÷ d at the distance d.
inline constexpr double kInvTwoPiEps0 = 1.8e10;

} // namespace corvalt::space
