#pragma once
// The largest field at many points of a sum of two fields, the value the
// phasing optimiser takes within the ROW for every arrangement it counts: the
// semi-major axis of the field ellipse of the summed component phasors at each
// point, and the largest of them. Four points at a time in vector registers,
// with no square root in the comparison of two points: the axis a of each
// point is compared as 2a² = S + √(den² + num²) (compute/FieldEllipse.h), and
// the square root of the largest taken once; a point whose bound 2S does not
// reach the largest so far is passed over without its √(den² + num²).

#include "compute/Fields.h"

#include <cstddef>
#include <optional>
#include <span>

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
// kAxisLanes; the padding weighs 0. firstBlock (the first point of a group)
// is looked at first and receives the group that held the largest value;
// passed from one call to the next, it lets most points be passed over by a
// bound without their square roots. It never changes the value.
double LargestAxisOfSum(const TPhasorArrays& a, const TPhasorArrays& b, const double* weights,
                        std::size_t paddedCount, std::size_t& firstBlock);

// The same arrays to write, and out = a + b at paddedCount points (a
// multiple of kAxisLanes), four at a time.
struct TPhasorOutArrays {
    double* XRe;
    double* XIm;
    double* YRe;
    double* YIm;
};
void AddPhasorArrays(const TPhasorArrays& a, const TPhasorArrays& b, const TPhasorOutArrays& out,
                     std::size_t paddedCount);

// Most fields b that LargestAxesOfSums takes at once: the orders of a circuit.
inline constexpr std::size_t kMaxSummands = 6;

// The same for each field b of bs (at most kMaxSummands), into largestAxes,
// with a firstBlock for each; one pass over the points, which loads a and
// the weights once for all of them. Every value is the one LargestAxisOfSum
// gives for that b.
// build chooses the processor build, as for the field kernels (compute/Fields.h).
void LargestAxesOfSums(const TPhasorArrays& a, std::span<const TPhasorArrays> bs,
                       const double* weights, std::size_t paddedCount,
                       std::span<std::size_t> firstBlocks, std::span<double> largestAxes,
                       std::optional<TKernelBuild> build = std::nullopt);

} // namespace corvalt
