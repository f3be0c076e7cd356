#include "space/FieldKernels.h"

#include "model/Parallel.h"
#include "space/Constants.h"

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// The kernels are built twice on x86-64, for 256-bit AVX2 registers and for
// the baseline SSE2 ones, and the first map picks the build the processor
// runs. Neither build fuses or reorders anything (the library is built
// without contraction), so both give the same bits. The choice is an ordinary
// call, not a load-time resolver (which would run before the sanitizers'
// runtimes start), and every helper takes and gives vectors by reference, so
// that no vector passes between code built for different processors.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVALT_SPACE_AVX2 1
#else
#define CORVALT_SPACE_AVX2 0
#endif

namespace corvalt::space {

namespace {

constexpr std::size_t kLanes = 4;
typedef double TDoubles __attribute__((vector_size(kLanes * sizeof(double))));
typedef std::int64_t TMask __attribute__((vector_size(kLanes * sizeof(std::int64_t))));

// Grid points computed per range of a thread.
constexpr std::size_t kPointsPerRange = 256;

// The sources as flat arrays: the vertices of every chain one after the
// other, and per piece (indexed by its first vertex) its numbers.
struct TFlatChains {
    std::vector<double> X, Y, Z;
    std::vector<std::size_t> Begin;  // chain c holds vertices Begin[c] .. Begin[c + 1] − 1
    std::vector<double> RadiusSq;    // per chain: outer radius², m²
    std::vector<double> Re, Im;      // magnetic: per chain its current; electric: per piece its charge
    std::vector<double> KLength;     // electric, per piece: k L
    std::vector<double> LengthSq;    // per piece: L², m²
    std::vector<unsigned char> Near; // per piece: a grid point may lie inside it

    std::size_t Chains() const { return Begin.empty() ? 0 : Begin.size() - 1; }
};

// Whether the piece from a to b, with its radius, reaches the grid's height.
bool ReachesHeight(TVec3 a, TVec3 b, double radiusM, double heightM) {
    return std::min(a.Z, b.Z) - radiusM <= heightM && heightM <= std::max(a.Z, b.Z) + radiusM;
}

void AddChain(TFlatChains& flat, const TSpaceConductor& c, double heightM) {
    if (flat.Begin.empty()) flat.Begin.push_back(0);
    for (std::size_t k = 0; k < c.Vertices.size(); ++k) {
        const TVec3 v = c.Vertices[k];
        flat.X.push_back(v.X);
        flat.Y.push_back(v.Y);
        flat.Z.push_back(v.Z);
        const TVec3 next = k + 1 < c.Vertices.size() ? c.Vertices[k + 1] : v;
        const TVec3 d = next - v;
        flat.LengthSq.push_back(Dot(d, d));
        flat.KLength.push_back(kInvTwoPiEps0 * Norm(d));
        flat.Near.push_back(ReachesHeight(v, next, c.OuterRadiusM, heightM) ? 1 : 0);
    }
    flat.Begin.push_back(flat.X.size());
    flat.RadiusSq.push_back(c.OuterRadiusM * c.OuterRadiusM);
}

// The grid's points in metres, flattened: x and y per point index.
class TGridPoints {
  public:
    explicit TGridPoints(const TGridAxes& axes) : axes_(axes) {}
    std::size_t Count() const { return axes_.PointCount(); }
    double HeightM() const { return axes_.Height * axes_.MetresPerUnit; }
    // The points of the block at first; lanes past the end repeat the last point.
    [[gnu::always_inline]] void Load(std::size_t first, TDoubles& x, TDoubles& y) const {
        const std::size_t last = Count() - 1, nx = axes_.X.size();
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            const std::size_t p = std::min(first + lane, last);
            x[lane] = axes_.X[p % nx] * axes_.MetresPerUnit;
            y[lane] = axes_.Y[p / nx] * axes_.MetresPerUnit;
        }
    }

  private:
    const TGridAxes& axes_;
};

// std::sqrt on every lane (correctly rounded, as the scalar one).
[[gnu::always_inline]] inline void Sqrt(const TDoubles& v, TDoubles& root) {
    for (std::size_t lane = 0; lane < kLanes; ++lane)
        root[lane] = std::sqrt(v[lane]);
}

// Marks the lanes inside the piece, from the point's vectors a (to its start)
// and b (to its end): within the radius of either end, or beside the piece
// (the foot of the perpendicular between its ends) within the radius of its
// axis.
[[gnu::always_inline]] inline void MarkInsidePiece(const TDoubles& aSq, const TDoubles& bSq,
                                                   const TDoubles& aDotB, const TDoubles& crossSq,
                                                   double lengthSq, double rSq, TMask& inside) {
    inside |= (aSq < rSq) | (bSq < rSq) | (aSq == 0) | (bSq == 0) |
              ((aDotB - aSq < 0) & (bSq - aDotB > 0) & (crossSq < rSq * lengthSq));
}

// The summed phasors of a block: real and imaginary parts of x, y and z.
struct TPhasorSums {
    TDoubles XRe{}, XIm{}, YRe{}, YIm{}, ZRe{}, ZIm{};
    TMask Inside{};

    [[gnu::always_inline]] void Add(double re, double im, const TDoubles& fx, const TDoubles& fy,
                                    const TDoubles& fz) {
        XRe += re * fx;
        XIm += im * fx;
        YRe += re * fy;
        YIm += im * fy;
        ZRe += re * fz;
        ZIm += im * fz;
    }
};

// The semi-major axis and the rms resultant of the block's sums, scaled, into
// the layers; NaN inside a conductor and where a value is not finite.
[[gnu::always_inline]] inline void Store(const TPhasorSums& s, double scale, std::size_t first,
                                         std::size_t end, TFieldLayers& out) {
    const TDoubles reSq = s.XRe * s.XRe + s.YRe * s.YRe + s.ZRe * s.ZRe;
    const TDoubles imSq = s.XIm * s.XIm + s.YIm * s.YIm + s.ZIm * s.ZIm;
    const TDoubles reIm = s.XRe * s.XIm + s.YRe * s.YIm + s.ZRe * s.ZIm;
    const TDoubles sumSq = reSq + imSq;
    const TDoubles den = reSq - imSq, num = 2 * reIm;
    TDoubles root, major, resultant;
    Sqrt(den * den + num * num, root);
    Sqrt(0.5 * (sumSq + root), major);
    Sqrt(sumSq, resultant);
    constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t lane = 0; lane < kLanes && first + lane < end; ++lane) {
        const auto m = static_cast<float>(major[lane] * scale);
        const auto r = static_cast<float>(resultant[lane] * scale);
        const bool ok = s.Inside[lane] == 0 && std::isfinite(m) && std::isfinite(r);
        out.Major[first + lane] = ok ? m : kNoValue;
        out.Resultant[first + lane] = ok ? r : kNoValue;
    }
}

// Blocks of points computed together: independent chains of additions for
// the processor to overlap.
constexpr std::size_t kBlocks = 2;

// The magnetic sums of one conductor's chain at the blocks' points.
[[gnu::always_inline]] inline void AddMagneticChain(const TFlatChains& src, std::size_t c,
                                                    double pz, const TDoubles (&px)[kBlocks],
                                                    const TDoubles (&py)[kBlocks],
                                                    TPhasorSums (&sums)[kBlocks]) {
    const std::size_t v0 = src.Begin[c], v1 = src.Begin[c + 1];
    const double rSq = src.RadiusSq[c];
    TDoubles gx[kBlocks] = {}, gy[kBlocks] = {}, gz[kBlocks] = {};
    TDoubles ax[kBlocks], ay[kBlocks], az[kBlocks], aSq[kBlocks], a[kBlocks];
    for (std::size_t k = 0; k < kBlocks; ++k) {
        ax[k] = src.X[v0] - px[k];
        ay[k] = src.Y[v0] - py[k];
        az[k] = src.Z[v0] - pz + TDoubles{};
        aSq[k] = ax[k] * ax[k] + ay[k] * ay[k] + az[k] * az[k];
        Sqrt(aSq[k], a[k]);
    }
    for (std::size_t v = v0; v + 1 < v1; ++v) {
        for (std::size_t k = 0; k < kBlocks; ++k) {
            const TDoubles bx = src.X[v + 1] - px[k];
            const TDoubles by = src.Y[v + 1] - py[k];
            const TDoubles bz = src.Z[v + 1] - pz + TDoubles{};
            const TDoubles bSq = bx * bx + by * by + bz * bz;
            TDoubles b;
            Sqrt(bSq, b);
            const TDoubles cx = ay[k] * bz - az[k] * by;
            const TDoubles cy = az[k] * bx - ax[k] * bz;
            const TDoubles cz = ax[k] * by - ay[k] * bx;
            const TDoubles aDotB = ax[k] * bx + ay[k] * by + az[k] * bz;
            const TDoubles ab = a[k] * b;
            const TDoubles f = (a[k] + b) / (ab * (ab + aDotB));
            gx[k] += f * cx;
            gy[k] += f * cy;
            gz[k] += f * cz;
            if (src.Near[v])
                MarkInsidePiece(aSq[k], bSq, aDotB, cx * cx + cy * cy + cz * cz, src.LengthSq[v],
                                rSq, sums[k].Inside);
            ax[k] = bx;
            ay[k] = by;
            az[k] = bz;
            aSq[k] = bSq;
            a[k] = b;
        }
    }
    for (std::size_t k = 0; k < kBlocks; ++k)
        sums[k].Add(src.Re[c], src.Im[c], gx[k], gy[k], gz[k]);
}

// The electric sums of one conductor's chain and its image at the blocks'
// points, V/m.
[[gnu::always_inline]] inline void AddElectricChain(const TFlatChains& src, std::size_t c,
                                                    double pz, const TDoubles (&px)[kBlocks],
                                                    const TDoubles (&py)[kBlocks],
                                                    TPhasorSums (&sums)[kBlocks]) {
    const std::size_t v0 = src.Begin[c], v1 = src.Begin[c + 1];
    const double rSq = src.RadiusSq[c];
    // r: from the piece's start to the point; its image's z apart.
    TDoubles rx[kBlocks], ry[kBlocks], rz[kBlocks], rzImage[kBlocks];
    TDoubles r[kBlocks], rImage[kBlocks], rSqr[kBlocks];
    for (std::size_t k = 0; k < kBlocks; ++k) {
        rx[k] = px[k] - src.X[v0];
        ry[k] = py[k] - src.Y[v0];
        rz[k] = pz - src.Z[v0] + TDoubles{};
        rzImage[k] = pz + src.Z[v0] + TDoubles{};
        const TDoubles flatSq = rx[k] * rx[k] + ry[k] * ry[k];
        rSqr[k] = flatSq + rz[k] * rz[k];
        Sqrt(rSqr[k], r[k]);
        Sqrt(flatSq + rzImage[k] * rzImage[k], rImage[k]);
    }
    for (std::size_t v = v0; v + 1 < v1; ++v) {
        const double kl = src.KLength[v], lSq = src.LengthSq[v];
        for (std::size_t k = 0; k < kBlocks; ++k) {
            // s: from the piece's end to the point.
            const TDoubles sx = px[k] - src.X[v + 1];
            const TDoubles sy = py[k] - src.Y[v + 1];
            const TDoubles sz = pz - src.Z[v + 1] + TDoubles{};
            const TDoubles szImage = pz + src.Z[v + 1] + TDoubles{};
            const TDoubles flatSq = sx * sx + sy * sy;
            const TDoubles sSq = flatSq + sz * sz;
            TDoubles s, sImage;
            Sqrt(sSq, s);
            Sqrt(flatSq + szImage * szImage, sImage);
            // The piece: k L (r̂ + ŝ) ÷ (σ² − L²) = f (r |s| + s |r|).
            const TDoubles sigma = r[k] + s;
            const TDoubles f = kl / ((sigma * sigma - lSq) * (r[k] * s));
            // Its image, carrying the opposite charge.
            const TDoubles sigmaImage = rImage[k] + sImage;
            const TDoubles g = kl / ((sigmaImage * sigmaImage - lSq) * (rImage[k] * sImage));
            const TDoubles ex = f * (rx[k] * s + sx * r[k]) - g * (rx[k] * sImage + sx * rImage[k]);
            const TDoubles ey = f * (ry[k] * s + sy * r[k]) - g * (ry[k] * sImage + sy * rImage[k]);
            const TDoubles ez =
                f * (rz[k] * s + sz * r[k]) - g * (rzImage[k] * sImage + szImage * rImage[k]);
            sums[k].Add(src.Re[v], src.Im[v], ex, ey, ez);
            if (src.Near[v]) {
                const TDoubles cx = ry[k] * sz - rz[k] * sy;
                const TDoubles cy = rz[k] * sx - rx[k] * sz;
                const TDoubles cz = rx[k] * sy - ry[k] * sx;
                MarkInsidePiece(rSqr[k], sSq, rx[k] * sx + ry[k] * sy + rz[k] * sz,
                                cx * cx + cy * cy + cz * cz, lSq, rSq, sums[k].Inside);
            }
            rx[k] = sx;
            ry[k] = sy;
            rz[k] = sz;
            rzImage[k] = szImage;
            rSqr[k] = sSq;
            r[k] = s;
            rImage[k] = sImage;
        }
    }
}

// The kernels' body, inlined into each processor build below: the points of
// [begin, end) a step of blocks at a time, every chain's sums, then the values.
template <bool Electric>
[[gnu::always_inline]] inline void FieldRange(const TFlatChains& src, const TGridPoints& grid,
                                              std::size_t begin, std::size_t end,
                                              TFieldLayers& out) {
    const double pz = grid.HeightM();
    for (std::size_t first = begin; first < end; first += kBlocks * kLanes) {
        TDoubles px[kBlocks], py[kBlocks];
        TPhasorSums sums[kBlocks];
        for (std::size_t k = 0; k < kBlocks; ++k)
            grid.Load(first + k * kLanes, px[k], py[k]);
        for (std::size_t c = 0; c < src.Chains(); ++c) {
            if constexpr (Electric)
                AddElectricChain(src, c, pz, px, py, sums);
            else
                AddMagneticChain(src, c, pz, px, py, sums);
        }
        // The electric sums are V/m, shown in kV/m.
        for (std::size_t k = 0; k < kBlocks; ++k)
            Store(sums[k], Electric ? 1e-3 : 1.0, first + k * kLanes, end, out);
    }
}

using TRangeKernel = void (*)(const TFlatChains&, const TGridPoints&, std::size_t, std::size_t,
                              TFieldLayers&);

struct TKernels {
    TRangeKernel Electric;
    TRangeKernel Magnetic;
};

void ElectricBaseline(const TFlatChains& src, const TGridPoints& grid, std::size_t begin,
                      std::size_t end, TFieldLayers& out) {
    FieldRange<true>(src, grid, begin, end, out);
}

void MagneticBaseline(const TFlatChains& src, const TGridPoints& grid, std::size_t begin,
                      std::size_t end, TFieldLayers& out) {
    FieldRange<false>(src, grid, begin, end, out);
}

#if CORVALT_SPACE_AVX2
[[gnu::target("avx2")]] void ElectricAvx2(const TFlatChains& src, const TGridPoints& grid,
                                          std::size_t begin, std::size_t end, TFieldLayers& out) {
    FieldRange<true>(src, grid, begin, end, out);
}

[[gnu::target("avx2")]] void MagneticAvx2(const TFlatChains& src, const TGridPoints& grid,
                                          std::size_t begin, std::size_t end, TFieldLayers& out) {
    FieldRange<false>(src, grid, begin, end, out);
}
#endif

bool ProcessorRunsAvx2() {
#if CORVALT_SPACE_AVX2
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// The build given if the processor runs it, else the widest it runs.
TKernels KernelsFor(std::optional<TMapKernelBuild> build) {
    static const bool runsAvx2 = ProcessorRunsAvx2();
    const bool avx2 = runsAvx2 && build.value_or(TMapKernelBuild::Avx2) == TMapKernelBuild::Avx2;
#if CORVALT_SPACE_AVX2
    if (avx2) return {ElectricAvx2, MagneticAvx2};
#endif
    (void)avx2;
    return {ElectricBaseline, MagneticBaseline};
}

TFieldLayers EmptyLayers(std::size_t points) {
    return {std::vector<float>(points), std::vector<float>(points)};
}

// The kernel over every grid point on every core, telling done the points
// finished after each range; once done says stop, the ranges left are skipped.
TFieldLayers RunKernel(TRangeKernel kernel, const TFlatChains& src, const TGridPoints& grid,
                       const TPointsDone& done) {
    TFieldLayers out = EmptyLayers(grid.Count());
    std::atomic<std::size_t> finished{0};
    std::atomic<bool> stopped{false};
    ForEachBlock(grid.Count(), kPointsPerRange, {}, [&](std::size_t first, std::size_t count) {
        if (stopped) return;
        kernel(src, grid, first, first + count, out);
        if (done && !done(finished += count)) stopped = true;
    });
    return out;
}

} // namespace

bool MapKernelBuildRuns(TMapKernelBuild build) {
    static const bool runsAvx2 = ProcessorRunsAvx2();
    return build == TMapKernelBuild::Baseline || runsAvx2;
}

TFieldLayers MagneticLayers(const TSpaceModel& model, std::optional<TMapKernelBuild> build,
                            const TPointsDone& done) {
    const TGridPoints grid(model.Grid);
    TFlatChains src;
    for (const TSpaceConductor& c : model.Conductors) {
        if (c.CurrentA == 0.0 || c.Vertices.size() < 2) continue;
        AddChain(src, c, grid.HeightM());
        src.Re.push_back(c.CurrentA.real());
        src.Im.push_back(c.CurrentA.imag());
    }
    return RunKernel(KernelsFor(build).Magnetic, src, grid, done);
}

TFieldLayers ElectricLayers(const TSpaceModel& model,
                            std::span<const std::complex<double>> chargesCPerM,
                            std::optional<TMapKernelBuild> build, const TPointsDone& done) {
    const TGridPoints grid(model.Grid);
    TFlatChains src;
    std::size_t piece = 0;
    for (const TSpaceConductor& c : model.Conductors) {
        if (c.Vertices.size() < 2) continue;
        AddChain(src, c, grid.HeightM());
        // One charge per piece, at the index of its first vertex; the chain's
        // last vertex starts no piece.
        for (std::size_t k = 0; k + 1 < c.Vertices.size(); ++k, ++piece) {
            src.Re.push_back(chargesCPerM[piece].real());
            src.Im.push_back(chargesCPerM[piece].imag());
        }
        src.Re.push_back(0);
        src.Im.push_back(0);
    }
    return RunKernel(KernelsFor(build).Electric, src, grid, done);
}

} // namespace corvalt::space
