#include "space/Catenary.h"

#include <algorithm>
#include <cmath>

namespace corvalt::space {

namespace {

// Sag of the catenary with parameter a = h ÷ x over the horizontal half-run h
// with the height difference dz between its ends. With m the horizontal offset
// of the vertex from the midpoint,
//   z2 − z1 = 2 a sinh(h ÷ a) sinh(m ÷ a),
//   sag = (z1 + z2) ÷ 2 − z(midpoint) = a cosh(m ÷ a) (cosh(h ÷ a) − 1),
// so sag = a · 2 sinh²(x ÷ 2) · √(1 + (dz ÷ (2 a sinh x))²), which rises
// steadily with x from 0.
double SagOf(double x, double h, double dz) {
    const double a = h / x;
    const double s = std::sinh(x / 2);
    const double slope = dz / (2 * a * std::sinh(x));
    return a * 2 * s * s * std::sqrt(1 + slope * slope);
}

// Beyond this x the catenary is a narrow V whose heights overflow; no
// conductor hangs like that.
constexpr double kLargestX = 500;

} // namespace

std::optional<TCatenary> TCatenary::Through(TVec3 from, TVec3 to, double sagM) {
    if (!std::isfinite(sagM) || sagM < 0) return std::nullopt;
    TCatenary c(from, to);
    c.run_ = std::hypot(to.X - from.X, to.Y - from.Y);
    if (sagM == 0) return c; // the straight chord
    if (!(c.run_ > 0)) return std::nullopt;
    const double h = c.run_ / 2;
    const double dz = to.Z - from.Z;
    // Bisection for x = h ÷ a: bracket the sag, then halve until the bracket
    // cannot shrink any more.
    double lo = 0, hi = 1;
    while (SagOf(hi, h, dz) < sagM) {
        hi *= 2;
        if (hi > kLargestX) return std::nullopt;
    }
    for (int i = 0; i < 2000; ++i) {
        const double mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi) break;
        (SagOf(mid, h, dz) < sagM ? lo : hi) = mid;
    }
    const double x = lo + (hi - lo) / 2;
    c.a_ = h / x;
    const double m = c.a_ * std::asinh(dz / (2 * c.a_ * std::sinh(x)));
    c.lowU_ = h - m;
    return c;
}

double TCatenary::HeightAt(double u) const {
    if (a_ == 0) return run_ > 0 ? from_.Z + (to_.Z - from_.Z) * (u / run_) : from_.Z;
    // z(u) − z1 = a (cosh((u − u_low) ÷ a) − cosh(u_low ÷ a)), written as a
    // product of sines so that it keeps its digits when a is large (small sag).
    return from_.Z + 2 * a_ * std::sinh((u - 2 * lowU_) / (2 * a_)) * std::sinh(u / (2 * a_));
}

TVec3 TCatenary::At(double t) const {
    if (a_ == 0) return from_ + t * (to_ - from_);
    return {from_.X + t * (to_.X - from_.X), from_.Y + t * (to_.Y - from_.Y), HeightAt(t * run_)};
}

double TCatenary::LowestHeight() const {
    const double ends = std::min(from_.Z, to_.Z);
    if (a_ == 0 || !(lowU_ > 0 && lowU_ < run_)) return ends;
    return std::min(ends, HeightAt(lowU_));
}

} // namespace corvalt::space
