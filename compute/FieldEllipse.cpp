#include "compute/FieldEllipse.h"

#include <cmath>

namespace corvalt {

namespace {

struct TSquareRoot {
    double operator()(double v) const { return std::sqrt(v); }
};

} // namespace

double FieldEllipse(double x, double phaseX, double y, double phaseY) {
    const double x2 = x * x;
    const double y2 = y * y;
    const double den = x2 * std::cos(2 * phaseX) + y2 * std::cos(2 * phaseY);
    const double num = x2 * std::sin(2 * phaseX) + y2 * std::sin(2 * phaseY);
    return SemiMajorAxis(x2 + y2, den, num, TSquareRoot{});
}

double FieldEllipseOfPhasors(double exRe, double exIm, double eyRe, double eyIm) {
    return SemiMajorAxisOfPhasors(exRe, exIm, eyRe, eyIm, TSquareRoot{});
}

} // namespace corvalt
