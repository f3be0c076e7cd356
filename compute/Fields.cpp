#include "compute/Fields.h"

#include "compute/Constants.h"
#include "compute/FieldEllipse.h"
#include "compute/FieldLanes.h"
#include "compute/Numeric.h"
#include "compute/UnitFields.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

// The profile kernels are built twice on x86-64, for 256-bit AVX2 registers and
// for the baseline SSE2 ones, and the first call picks the build the processor
// runs (KernelBuildOf). Neither build fuses or reorders anything (the library
// is built without contraction), so both give the same bits. The choice is an
// ordinary call, not a load-time resolver: a resolver runs before the
// sanitizers' runtimes have started.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVALT_AVX2_BUILD 1
#else
#define CORVALT_AVX2_BUILD 0
#endif

namespace corvalt {

using namespace constants;

namespace {

using namespace lanes;

// A conductor of the charge system as the electric-field sums take it.
struct TChargeSource {
    double XM = 0, YM = 0;
    double RadiusSqM2 = 0;           // outer radius squared
    double ReCPerM = 0, ImCPerM = 0; // line charge
};

// A conductor carrying current as the magnetic-field sums take it.
struct TCurrentSource {
    double XM = 0, YM = 0;
    double RadiusSqM2 = 0;
    double ReGaussM = 0, ImGaussM = 0; // K e^{iθ}
};

std::vector<TChargeSource> ChargeSources(std::span<const TSystemConductor> system) {
    std::vector<TChargeSource> sources;
    for (const TSystemConductor& c : system)
        if (c.InChargeSystem)
            sources.push_back(
                {c.XM, c.YM, c.RadiusM * c.RadiusM, c.ChargeCPerM.Re, c.ChargeCPerM.Im});
    return sources;
}

std::vector<TCurrentSource> CurrentSources(std::span<const TSystemConductor> system) {
    std::vector<TCurrentSource> sources;
    for (const TSystemConductor& c : system)
        if (c.CurrentA != 0)
            sources.push_back(
                {c.XM, c.YM, c.RadiusM * c.RadiusM, c.CurrentSourceRe, c.CurrentSourceIm});
    return sources;
}

// The positions of the block that starts at first, widened to double; lanes
// past the end repeat the last position (their values are not kept).
[[gnu::always_inline]] inline void LoadBlock(std::span<const float> xM, std::size_t first,
                                             TDoubles& x) {
    const std::size_t last = xM.size() - 1;
    for (std::size_t lane = 0; lane < kLanes; ++lane)
        x[lane] = xM[std::min(first + lane, last)];
}

// The field of a unit line charge (1 C/m) on the source's axis and of its
// image at the block's points, V/m (UnitChargeFieldAt).
struct TUnitElectricField {
    TDoubles Horizontal;
    TDoubles Vertical;
    TMask Inside; // inside the conductor or its image: no value
};

// The four single-precision sums of a block: the real and imaginary parts of
// the horizontal and the vertical component.
struct TComponentSums {
    TFloats XRe{}, XIm{}, YRe{}, YIm{};
    TMask Inside{};
};

// Where a kernel stores its values: the semi-major axis of each point, and
// when Resultant is not empty, the resultant √(|X|² + |Y|²) as well.
struct TFieldOutput {
    std::span<std::optional<float>> Max;
    std::span<std::optional<float>> Resultant;
};

// The semi-major axes (and resultants) of the summed phasors, each component
// widened and divided by divisor (1 leaves it exactly as it is); then lane by
// lane, empty inside a conductor and otherwise the value as a finite float.
[[gnu::always_inline]] inline void StoreEllipses(const TComponentSums& sums, double divisor,
                                                 const TFieldOutput& out, std::size_t first) {
    if (first >= out.Max.size()) return; // a block wholly past the end
    TWideComponents w{}; // filled next; {} keeps GCC 12 -O1 from a false warning
    WidenComponents(sums.XRe, sums.XIm, sums.YRe, sums.YIm, divisor, w);
    TDoubles axis{};
    SemiMajorAxisOfPhasorsInto(w.XRe, w.XIm, w.YRe, w.YIm, TLaneSquareRoots{}, axis);
    const std::size_t count = std::min(kLanes, out.Max.size() - first);
    for (std::size_t lane = 0; lane < count; ++lane)
        out.Max[first + lane] = sums.Inside[lane] != 0 ? std::nullopt : FiniteFloat(axis[lane]);
    if (out.Resultant.empty()) return;
    TDoubles resultant{};
    TLaneSquareRoots{}(w.XRe * w.XRe + w.XIm * w.XIm + w.YRe * w.YRe + w.YIm * w.YIm, resultant);
    for (std::size_t lane = 0; lane < count; ++lane)
        out.Resultant[first + lane] =
            sums.Inside[lane] != 0 ? std::nullopt : FiniteFloat(resultant[lane]);
}

// Blocks computed together. Each sum is a chain of dependent additions in
// conductor order; two blocks give the processor two independent chains per
// sum to overlap.
constexpr std::size_t kBlocks = 2;
constexpr std::size_t kPointsPerStep = kBlocks * kLanes;

// The kernels' bodies, inlined into each processor build below.
[[gnu::always_inline]] inline void ElectricProfile(std::span<const TChargeSource> sources,
                                                   std::span<const float> xM, double ys,
                                                   const TFieldOutput& out) {
    for (std::size_t first = 0; first < xM.size(); first += kPointsPerStep) {
        TDoubles x[kBlocks];
        for (std::size_t k = 0; k < kBlocks; ++k)
            LoadBlock(xM, first + k * kLanes, x[k]);
        TComponentSums e[kBlocks];
        TUnitElectricField unit;
        for (const TChargeSource& s : sources) {
            for (std::size_t k = 0; k < kBlocks; ++k) {
                UnitChargeFieldAt(s.XM, s.YM, s.RadiusSqM2, x[k], ys, unit.Horizontal,
                                  unit.Vertical, unit.Inside);
                e[k].Inside |= unit.Inside;
                AddTo(e[k].XRe, s.ReCPerM * unit.Horizontal);
                AddTo(e[k].XIm, s.ImCPerM * unit.Horizontal);
                AddTo(e[k].YRe, s.ReCPerM * unit.Vertical);
                AddTo(e[k].YIm, s.ImCPerM * unit.Vertical);
            }
        }
        for (std::size_t k = 0; k < kBlocks; ++k)
            StoreEllipses(e[k], 1000.0, out, first + k * kLanes); // V/m to kV/m
    }
}

[[gnu::always_inline]] inline void MagneticProfile(std::span<const TCurrentSource> sources,
                                                   std::span<const float> xM, double yb,
                                                   const TFieldOutput& out) {
    for (std::size_t first = 0; first < xM.size(); first += kPointsPerStep) {
        TDoubles x[kBlocks];
        for (std::size_t k = 0; k < kBlocks; ++k)
            LoadBlock(xM, first + k * kLanes, x[k]);
        TComponentSums b[kBlocks];
        for (const TCurrentSource& s : sources) {
            for (std::size_t k = 0; k < kBlocks; ++k) {
                TDoubles dx, inverseDSq;
                double dy;
                TMask inside;
                LineCurrentTermsAt(s.XM, s.YM, s.RadiusSqM2, x[k], yb, dx, dy, inverseDSq, inside);
                b[k].Inside |= inside;
                const TDoubles re = s.ReGaussM * inverseDSq;
                const TDoubles im = s.ImGaussM * inverseDSq;
                AddTo(b[k].XRe, re * dy);
                AddTo(b[k].XIm, im * dy);
                AddTo(b[k].YRe, re * dx);
                AddTo(b[k].YIm, im * dx);
            }
        }
        for (std::size_t k = 0; k < kBlocks; ++k)
            StoreEllipses(b[k], 1.0, out, first + k * kLanes);
    }
}

using TElectricKernel = void (*)(std::span<const TChargeSource>, std::span<const float>, double,
                                 const TFieldOutput&);
using TMagneticKernel = void (*)(std::span<const TCurrentSource>, std::span<const float>, double,
                                 const TFieldOutput&);

struct TKernels {
    TElectricKernel Electric;
    TMagneticKernel Magnetic;
};

void ElectricProfileBaseline(std::span<const TChargeSource> sources, std::span<const float> xM,
                             double ys, const TFieldOutput& out) {
    ElectricProfile(sources, xM, ys, out);
}

void MagneticProfileBaseline(std::span<const TCurrentSource> sources, std::span<const float> xM,
                             double yb, const TFieldOutput& out) {
    MagneticProfile(sources, xM, yb, out);
}

#if CORVALT_AVX2_BUILD
[[gnu::target("avx2")]] void ElectricProfileAvx2(std::span<const TChargeSource> sources,
                                                 std::span<const float> xM, double ys,
                                                 const TFieldOutput& out) {
    ElectricProfile(sources, xM, ys, out);
}

[[gnu::target("avx2")]] void MagneticProfileAvx2(std::span<const TCurrentSource> sources,
                                                 std::span<const float> xM, double yb,
                                                 const TFieldOutput& out) {
    MagneticProfile(sources, xM, yb, out);
}

// Whether the processor, and the operating system's saving of its registers,
// let the AVX2 build run.
bool ProcessorRunsAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

TKernels KernelsOf(TKernelBuild build) {
#if CORVALT_AVX2_BUILD
    if (build == TKernelBuild::Avx2) return {ElectricProfileAvx2, MagneticProfileAvx2};
#endif
    (void)build;
    return {ElectricProfileBaseline, MagneticProfileBaseline};
}

// The build given, or the processor's choice.
TKernels KernelsFor(std::optional<TKernelBuild> build) {
    if (build && !KernelBuildRuns(*build)) build.reset();
    return KernelsOf(build.value_or(ChosenKernelBuild()));
}

} // namespace

bool KernelBuildRuns(TKernelBuild build) {
#if CORVALT_AVX2_BUILD
    static const bool runsAvx2 = ProcessorRunsAvx2();
    return build == TKernelBuild::Baseline || runsAvx2;
#else
    return build == TKernelBuild::Baseline;
#endif
}

TKernelBuild ChosenKernelBuild() {
    static const TKernelBuild chosen =
        KernelBuildRuns(TKernelBuild::Avx2) ? TKernelBuild::Avx2 : TKernelBuild::Baseline;
    return chosen;
}

namespace {

TFieldOutput OutputOf(std::span<std::optional<float>> out,
                      std::span<std::optional<float>> resultant, std::size_t count) {
    return {out.first(count), resultant.empty() ? resultant : resultant.first(count)};
}

} // namespace

void ElectricFieldsKvPerM(std::span<const TSystemConductor> system, std::span<const float> xM,
                          float sensorHeightM, std::span<std::optional<float>> out,
                          std::optional<TKernelBuild> build,
                          std::span<std::optional<float>> resultant) {
    KernelsFor(build).Electric(ChargeSources(system), xM, sensorHeightM,
                               OutputOf(out, resultant, xM.size()));
}

void MagneticFieldsGauss(std::span<const TSystemConductor> system, std::span<const float> xM,
                         float sensorHeightM, std::span<std::optional<float>> out,
                         std::optional<TKernelBuild> build,
                         std::span<std::optional<float>> resultant) {
    KernelsFor(build).Magnetic(CurrentSources(system), xM, sensorHeightM,
                               OutputOf(out, resultant, xM.size()));
}

TUnitField UnitChargeField(const TSystemConductor& c, double xM, double sensorHeightM) {
    TUnitField unit;
    UnitChargeFieldAt(c.XM, c.YM, c.RadiusM * c.RadiusM, xM, sensorHeightM, unit.Horizontal,
                      unit.Vertical, unit.Inside);
    return unit;
}

TUnitField UnitCurrentField(const TSystemConductor& c, double xM, double sensorHeightM) {
    double dx = 0, dy = 0, inverseDSq = 0;
    TUnitField unit;
    LineCurrentTermsAt(c.XM, c.YM, c.RadiusM * c.RadiusM, xM, sensorHeightM, dx, dy, inverseDSq,
                       unit.Inside);
    unit.Horizontal = dy * inverseDSq;
    unit.Vertical = dx * inverseDSq;
    return unit;
}

std::optional<float> ElectricFieldKvPerM(std::span<const TSystemConductor> system, float xM,
                                         float sensorHeightM) {
    std::optional<float> value;
    ElectricFieldsKvPerM(system, {&xM, 1}, sensorHeightM, {&value, 1});
    return value;
}

std::optional<float> MagneticFieldGauss(std::span<const TSystemConductor> system, float xM,
                                        float sensorHeightM) {
    std::optional<float> value;
    MagneticFieldsGauss(system, {&xM, 1}, sensorHeightM, {&value, 1});
    return value;
}

} // namespace corvalt
