#include "design/LargestAxis.h"

// The helpers below are forced inline at every optimisation level: no vector
// crosses a call, so the warning about their calling convention does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "compute/Fields.h"

#include <cmath>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVALT_AVX2_BUILD 1
#else
#define CORVALT_AVX2_BUILD 0
#endif

namespace corvalt {
namespace {

typedef double TLanes __attribute__((vector_size(kAxisLanes * sizeof(double))));

[[gnu::always_inline]] inline void Load(const double* at, TLanes& lanes) {
    std::memcpy(&lanes, at, sizeof lanes);
}

// Twice the squared semi-major axis, weighed, of the sum at the four points from p.
[[gnu::always_inline]] inline void WeighedDoubleSquares(const TPhasorArrays& a,
                                                        const TPhasorArrays& b,
                                                        const double* weights, std::size_t p,
                                                        TLanes& out) {
    TLanes xRe, xIm, yRe, yIm, other, weight;
    Load(a.XRe + p, xRe);
    Load(b.XRe + p, other);
    xRe += other;
    Load(a.XIm + p, xIm);
    Load(b.XIm + p, other);
    xIm += other;
    Load(a.YRe + p, yRe);
    Load(b.YRe + p, other);
    yRe += other;
    Load(a.YIm + p, yIm);
    Load(b.YIm + p, other);
    yIm += other;
    Load(weights + p, weight);
    // As SemiMajorAxisOfPhasors forms them: den + i num = Ex² + Ey².
    const TLanes den = (xRe * xRe - xIm * xIm) + (yRe * yRe - yIm * yIm);
    const TLanes num = 2 * xRe * xIm + 2 * yRe * yIm;
    const TLanes sumOfSquares = xRe * xRe + xIm * xIm + yRe * yRe + yIm * yIm;
    TLanes root = den * den + num * num;
    for (std::size_t lane = 0; lane < kAxisLanes; ++lane)
        root[lane] = std::sqrt(root[lane]);
    out = weight * (sumOfSquares + root);
}

[[gnu::always_inline]] inline double LargestAxisBody(const TPhasorArrays& a, const TPhasorArrays& b,
                                                     const double* weights,
                                                     std::size_t paddedCount) {
    TLanes largest = {0, 0, 0, 0};
    TLanes value;
    for (std::size_t p = 0; p < paddedCount; p += kAxisLanes) {
        WeighedDoubleSquares(a, b, weights, p, value);
        largest = value > largest ? value : largest;
    }
    double doubleSquare = 0;
    for (std::size_t lane = 0; lane < kAxisLanes; ++lane)
        doubleSquare = largest[lane] > doubleSquare ? largest[lane] : doubleSquare;
    return std::sqrt(0.5 * doubleSquare);
}

double LargestAxisBaseline(const TPhasorArrays& a, const TPhasorArrays& b, const double* weights,
                           std::size_t paddedCount) {
    return LargestAxisBody(a, b, weights, paddedCount);
}

#if CORVALT_AVX2_BUILD
[[gnu::target("avx2")]] double LargestAxisAvx2(const TPhasorArrays& a, const TPhasorArrays& b,
                                               const double* weights, std::size_t paddedCount) {
    return LargestAxisBody(a, b, weights, paddedCount);
}
#endif

} // namespace

double LargestAxisOfSum(const TPhasorArrays& a, const TPhasorArrays& b, const double* weights,
                        std::size_t paddedCount) {
#if CORVALT_AVX2_BUILD
    // The processor build the field kernels chose.
    if (ChosenKernelBuild() == TKernelBuild::Avx2)
        return LargestAxisAvx2(a, b, weights, paddedCount);
#endif
    return LargestAxisBaseline(a, b, weights, paddedCount);
}

} // namespace corvalt
