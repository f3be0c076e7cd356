#include "compute/FieldEllipse.h"

#include <cmath>

namespace corvalt {

namespace {

// √(½ (X² + Y² + |Ex² + Ey²|)) from X² + Y² and the two parts of Ex² + Ey².
double SemiMajorAxis(double sumOfSquares, double den, double num) {
    return std::sqrt(0.5 * (sumOfSquares + std::sqrt(den * den + num * num)));
}

} // namespace

double FieldEllipse(double x, double phaseX, double y, double phaseY) {
    const double x2 = x * x;
    const double y2 = y * y;
    const double den = x2 * std::cos(2 * phaseX) + y2 * std::cos(2 * phaseY);
    const double num = x2 * std::sin(2 * phaseX) + y2 * std::sin(2 * phaseY);
    return SemiMajorAxis(x2 + y2, den, num);
}

double FieldEllipseOfPhasors(double exRe, double exIm, double eyRe, double eyIm) {
    // Ex² = (exRe² − exIm²) + i 2 exRe exIm, likewise Ey².
    const double den = (exRe * exRe - exIm * exIm) + (eyRe * eyRe - eyIm * eyIm);
    const double num = 2 * exRe * exIm + 2 * eyRe * eyIm;
    const double sumOfSquares = exRe * exRe + exIm * exIm + eyRe * eyRe + eyIm * eyIm;
    return SemiMajorAxis(sumOfSquares, den, num);
}

} // namespace corvalt
