#pragma once
// The largest field at many points of a sum of two fields, the value the
// phasing optimiser takes within the ROW for every arrangement it counts: the
// semi-major axis of the field ellipse of the summed component phasors at each
// point, and the largest of them. Four points at a time in vector registers,
// with no square root in the comparison of two points: the axis a of each
// point is compared as 2a² = S + √(den² + num²) (compute/FieldEllipse.h), and
// the square root of the largest taken once.

#include <cstddef>

namespace corvalt {

// Points are computed in groups of this many: arrays are padded to a multiple.
inline constexpr std::size_t kAxisLanes = 4;

// The count padded up to a multiple of kAxisLanes.
inline std::size_t PaddedPointCount(std::size_t count) {
    return (count + kAxisLanes - 1) / kAxisLanes * kAxisLanes;
}

// The real and imaginary parts of a field's horizontal (X) and vertical (Y)
// component at the points, an array each.
struct TPhasorArrays {
    const double* XRe;
    const double* XIm;
    const double* YRe;
    const double* YIm;
};

// The largest semi-major axis of the field a + b among the points whose
// weight is 1 (the others weigh 0), in the unit of the components; 0 when no
// point counts. Every array holds paddedCount values, a multiple of
// kAxisLanes; the padding weighs 0.
double LargestAxisOfSum(const TPhasorArrays& a, const TPhasorArrays& b, const double* weights,
                        std::size_t paddedCount);

} // namespace corvalt
