#pragma once
// A conductor hanging under its own weight between two supports: a catenary in
// the vertical plane through them,
//   z(u) = z_low + a (cosh((u − u_low) ÷ a) − 1),
// u the horizontal distance from the first support, a the catenary parameter
// (the horizontal tension over the weight per metre). Its sag is measured
// vertically at the horizontal midpoint, from the straight line (the chord)
// between the supports; for level supports that is the depth of the lowest
// point below them.

#include "space/Vec3.h"

#include <optional>

namespace corvalt::space {

class TCatenary {
  public:
    // The catenary through from and to (m) with the sag (m, ≥ 0). A sag of 0
    // is the straight chord. Empty when no catenary has that sag: supports
    // one above the other (or at one place) with a sag above 0, or a sag that
    // is negative or not finite.
    static std::optional<TCatenary> Through(TVec3 from, TVec3 to, double sagM);

    // The point above the fraction t (0 … 1) of the horizontal run.
    TVec3 At(double t) const;
    // The height of the lowest point between the supports, m.
    double LowestHeight() const;

  private:
    TCatenary(TVec3 from, TVec3 to) : from_(from), to_(to) {}
    double HeightAt(double u) const;

    TVec3 from_, to_;
    double run_ = 0;        // horizontal distance between the supports, m
    double a_ = 0;          // catenary parameter, m; 0 for the straight chord
    double lowU_ = 0;       // u of the vertex (may lie beyond the supports)
};

} // namespace corvalt::space
