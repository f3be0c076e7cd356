#pragma once
// The vectors of the profile kernels (compute/Fields.cpp) and the helpers
// their sums are made of, written once so that the benchmark's floor of the
// kernels does the same arithmetic: four points side by side as doubles, the
// single-precision running sums as floats. Everything is inlined and takes
// and gives vectors by reference (see SemiMajorAxisInto in FieldEllipse.h).

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace corvalt::lanes {

// Points computed side by side: four doubles, one 256-bit register (two
// 128-bit ones). The divisions of the next conductor do not wait for the sums
// of this one, so the processor overlaps them without wider blocks.
inline constexpr std::size_t kLanes = 4;

// Element-wise vectors (GCC and Clang vector extensions): each operation is the
// scalar IEEE operation on every lane, with the same rounding.
typedef double TDoubles __attribute__((vector_size(kLanes * sizeof(double))));
typedef float TFloats __attribute__((vector_size(kLanes * sizeof(float))));
typedef std::int64_t TMask __attribute__((vector_size(kLanes * sizeof(std::int64_t))));

// The lanes widened to double, exactly. Written lane by lane: GCC 12 turns
// this into one conversion, but __builtin_convertvector into several.
[[gnu::always_inline]] inline void Widen(const TFloats& v, TDoubles& wide) {
    static_assert(kLanes == 4);
    wide = TDoubles{v[0], v[1], v[2], v[3]};
}

// A single-precision running sum: sum = float(double(sum) + term) on every lane.
[[gnu::always_inline]] inline void AddTo(TFloats& sum, const TDoubles& term) {
    TDoubles wide{};
    Widen(sum, wide);
    sum = __builtin_convertvector(wide + term, TFloats);
}

// A field's four single-precision component sums (real and imaginary parts
// of the horizontal and the vertical component) widened to double and
// divided by divisor (1 leaves them exactly as they are).
struct TWideComponents {
    TDoubles XRe, XIm, YRe, YIm;
};

[[gnu::always_inline]] inline void WidenComponents(const TFloats& xRe, const TFloats& xIm,
                                                   const TFloats& yRe, const TFloats& yIm,
                                                   double divisor, TWideComponents& wide) {
    Widen(xRe, wide.XRe);
    Widen(xIm, wide.XIm);
    Widen(yRe, wide.YRe);
    Widen(yIm, wide.YIm);
    wide.XRe /= divisor;
    wide.XIm /= divisor;
    wide.YRe /= divisor;
    wide.YIm /= divisor;
}

// std::sqrt on every lane (correctly rounded, as the scalar one), as a
// function object: called directly, so it is inlined like the helpers above.
struct TLaneSquareRoots {
    [[gnu::always_inline]] void operator()(const TDoubles& v, TDoubles& root) const {
        for (std::size_t lane = 0; lane < kLanes; ++lane)
            root[lane] = std::sqrt(v[lane]);
    }
};

} // namespace corvalt::lanes
