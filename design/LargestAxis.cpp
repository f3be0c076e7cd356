#include "design/LargestAxis.h"

// The helpers below are forced inline at every optimisation level: no vector
// crosses a call, so the warning about their calling convention does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "compute/Fields.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVALT_AVX2_BUILD 1
#else
#define CORVALT_AVX2_BUILD 0
#endif

namespace corvalt {
namespace {

typedef double TLanes __attribute__((vector_size(kAxisLanes * sizeof(double))));
typedef std::int64_t TMask __attribute__((vector_size(kAxisLanes * sizeof(std::int64_t))));

[[gnu::always_inline]] inline void Load(const double* at, TLanes& lanes) {
    std::memcpy(&lanes, at, sizeof lanes);
}

// A field's components at the four points from p, and the points' weights.
struct TSumLanes {
    TLanes XRe, XIm, YRe, YIm, Weight;
};

[[gnu::always_inline]] inline void LoadLanes(const TPhasorArrays& a, const double* weights,
                                             std::size_t p, TSumLanes& lanes) {
    Load(a.XRe + p, lanes.XRe);
    Load(a.XIm + p, lanes.XIm);
    Load(a.YRe + p, lanes.YRe);
    Load(a.YIm + p, lanes.YIm);
    Load(weights + p, lanes.Weight);
}

// sum = a + b at the four points from p, a given as loaded lanes.
[[gnu::always_inline]] inline void LoadSum(const TSumLanes& a, const TPhasorArrays& b,
                                           std::size_t p, TSumLanes& sum) {
    Load(b.XRe + p, sum.XRe);
    Load(b.XIm + p, sum.XIm);
    Load(b.YRe + p, sum.YRe);
    Load(b.YIm + p, sum.YIm);
    sum.XRe = a.XRe + sum.XRe;
    sum.XIm = a.XIm + sum.XIm;
    sum.YRe = a.YRe + sum.YRe;
    sum.YIm = a.YIm + sum.YIm;
    sum.Weight = a.Weight;
}

// Whether any lane of a comparison's mask is set: lane by lane for the
// baseline processor, one instruction for AVX.
struct TAnyLane {
    [[gnu::always_inline]] bool operator()(const TMask& mask) const {
        return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
    }
};

#if CORVALT_AVX2_BUILD
struct TAnyLaneAvx {
    [[gnu::target("avx2")]] bool operator()(const TMask& mask) const {
        return _mm256_movemask_pd(_mm256_castsi256_pd(reinterpret_cast<__m256i>(mask))) != 0;
    }
};
#endif

// Twice the squared semi-major axis is 2a² = S + √R, with S = |Ex|² + |Ey|²
// and R = den² + num² (den + i num = Ex² + Ey²), as SemiMajorAxisOfPhasors
// forms them. It exceeds a largest value L where S ≥ L or R > (L − S)²: a
// comparison of squares, with room for the rounding of L − S (a point
// within 1e-6 L of it, or whose R reaches (L − S)² within a relative 1e-6,
// is taken through its square root and compared exactly).
constexpr double kNearLargest = 1e-6;
constexpr double kSquareRoom = 1 + 1e-6;

// The four points of s: the largest value L (the same in every lane) takes
// a weighed 2a² above it; true when one was.
template <class TAny>
[[gnu::always_inline]] inline bool TakeLanes(const TSumLanes& s, TLanes& largest, TAny anyLane) {
    // A weight of 0 gives 0 (or, inside a conductor, not a number): never above L.
    const TLanes sumOfSquares =
        s.Weight * (s.XRe * s.XRe + s.XIm * s.XIm + s.YRe * s.YRe + s.YIm * s.YIm);
    // First the bound 2a² ≤ 2S (|Ex² + Ey²| ≤ |Ex|² + |Ey|²), which passes
    // over most points at the cost of S alone.
    if (!anyLane(sumOfSquares * (2 * kSquareRoom) > largest)) return false;
    const TLanes den = (s.XRe * s.XRe - s.XIm * s.XIm) + (s.YRe * s.YRe - s.YIm * s.YIm);
    const TLanes num = 2 * s.XRe * s.XIm + 2 * s.YRe * s.YIm;
    const TLanes rootSquare = s.Weight * (den * den + num * num);
    const TLanes gap = largest - sumOfSquares;
    if (!anyLane((gap <= kNearLargest * largest) | (rootSquare * kSquareRoom > gap * gap)))
        return false;
    TLanes value;
    for (std::size_t lane = 0; lane < kAxisLanes; ++lane)
        value[lane] = sumOfSquares[lane] + std::sqrt(rootSquare[lane]);
    const TMask above = value > largest;
    if (!anyLane(above)) return false;
    double top = largest[0];
    for (std::size_t lane = 0; lane < kAxisLanes; ++lane)
        top = above[lane] && value[lane] > top ? value[lane] : top;
    largest = TLanes{top, top, top, top};
    return true;
}

// One pass over the points for every field b: a and the weights are loaded
// once for all of them. The group whose points held a field's largest value
// is taken first, so that the comparison of squares passes over most others.
template <class TAny>
[[gnu::always_inline]] inline void LargestAxesBody(TAny anyLane, const TPhasorArrays& a,
                                                   std::span<const TPhasorArrays> bs,
                                                   const double* weights, std::size_t paddedCount,
                                                   std::span<std::size_t> firstBlocks,
                                                   std::span<double> largestAxes) {
    const std::size_t count = bs.size();
    TLanes largest[kMaxSummands];
    TSumLanes base, sum;
    for (std::size_t k = 0; k < count; ++k) {
        largest[k] = TLanes{0, 0, 0, 0};
        if (firstBlocks[k] >= paddedCount) continue;
        LoadLanes(a, weights, firstBlocks[k], base);
        LoadSum(base, bs[k], firstBlocks[k], sum);
        TakeLanes(sum, largest[k], anyLane);
    }
    for (std::size_t p = 0; p < paddedCount; p += kAxisLanes) {
        LoadLanes(a, weights, p, base);
        for (std::size_t k = 0; k < count; ++k) {
            LoadSum(base, bs[k], p, sum);
            if (TakeLanes(sum, largest[k], anyLane)) firstBlocks[k] = p;
        }
    }
    for (std::size_t k = 0; k < count; ++k)
        largestAxes[k] = std::sqrt(0.5 * largest[k][0]);
}

void LargestAxesBaseline(const TPhasorArrays& a, std::span<const TPhasorArrays> bs,
                         const double* weights, std::size_t paddedCount,
                         std::span<std::size_t> firstBlocks, std::span<double> largestAxes) {
    LargestAxesBody(TAnyLane{}, a, bs, weights, paddedCount, firstBlocks, largestAxes);
}

#if CORVALT_AVX2_BUILD
[[gnu::target("avx2")]] void LargestAxesAvx2(const TPhasorArrays& a,
                                             std::span<const TPhasorArrays> bs,
                                             const double* weights, std::size_t paddedCount,
                                             std::span<std::size_t> firstBlocks,
                                             std::span<double> largestAxes) {
    LargestAxesBody(TAnyLaneAvx{}, a, bs, weights, paddedCount, firstBlocks, largestAxes);
}
#endif

[[gnu::always_inline]] inline void Store(const TLanes& lanes, double* at) {
    std::memcpy(at, &lanes, sizeof lanes);
}

[[gnu::always_inline]] inline void AddPhasorArraysBody(const TPhasorArrays& a,
                                                       const TPhasorArrays& b,
                                                       const TPhasorOutArrays& out,
                                                       std::size_t paddedCount) {
    TSumLanes base, sum;
    base.Weight = TLanes{};
    for (std::size_t p = 0; p < paddedCount; p += kAxisLanes) {
        Load(a.XRe + p, base.XRe);
        Load(a.XIm + p, base.XIm);
        Load(a.YRe + p, base.YRe);
        Load(a.YIm + p, base.YIm);
        LoadSum(base, b, p, sum);
        Store(sum.XRe, out.XRe + p);
        Store(sum.XIm, out.XIm + p);
        Store(sum.YRe, out.YRe + p);
        Store(sum.YIm, out.YIm + p);
    }
}

void AddPhasorArraysBaseline(const TPhasorArrays& a, const TPhasorArrays& b,
                             const TPhasorOutArrays& out, std::size_t paddedCount) {
    AddPhasorArraysBody(a, b, out, paddedCount);
}

#if CORVALT_AVX2_BUILD
[[gnu::target("avx2")]] void AddPhasorArraysAvx2(const TPhasorArrays& a, const TPhasorArrays& b,
                                                 const TPhasorOutArrays& out,
                                                 std::size_t paddedCount) {
    AddPhasorArraysBody(a, b, out, paddedCount);
}
#endif

} // namespace

void AddPhasorArrays(const TPhasorArrays& a, const TPhasorArrays& b, const TPhasorOutArrays& out,
                     std::size_t paddedCount) {
#if CORVALT_AVX2_BUILD
    if (ChosenKernelBuild() == TKernelBuild::Avx2) return AddPhasorArraysAvx2(a, b, out, paddedCount);
#endif
    AddPhasorArraysBaseline(a, b, out, paddedCount);
}

void LargestAxesOfSums(const TPhasorArrays& a, std::span<const TPhasorArrays> bs,
                       const double* weights, std::size_t paddedCount,
                       std::span<std::size_t> firstBlocks, std::span<double> largestAxes,
                       std::optional<TKernelBuild> build) {
    [[maybe_unused]] const TKernelBuild chosen =
        build && KernelBuildRuns(*build) ? *build : ChosenKernelBuild();
#if CORVALT_AVX2_BUILD
    if (chosen == TKernelBuild::Avx2)
        return LargestAxesAvx2(a, bs, weights, paddedCount, firstBlocks, largestAxes);
#endif
    LargestAxesBaseline(a, bs, weights, paddedCount, firstBlocks, largestAxes);
}

double LargestAxisOfSum(const TPhasorArrays& a, const TPhasorArrays& b, const double* weights,
                        std::size_t paddedCount, std::size_t& firstBlock) {
    double largest = 0;
    LargestAxesOfSums(a, {&b, 1}, weights, paddedCount, {&firstBlock, 1}, {&largest, 1});
    return largest;
}

} // namespace corvalt
