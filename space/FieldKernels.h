#pragma once
// The electric and magnetic fields of a field map's sources at every grid
// point, on every core, several points side by side in vector registers (as
// the cross sections' profile kernels do). Each conductor is a chain of
// straight pieces; a chain's inner vertices are shared by two pieces, so each
// vertex's distance from a point is taken once.
//
// Per grid point two values: the semi-major axis of the field ellipse (the
// largest value over a cycle) and the rms resultant √(|Fx|² + |Fy|² + |Fz|²)
// of the summed phasors Fx, Fy, Fz. With F = A + iB (A, B real vectors) the
// instantaneous field A cos ωt − B sin ωt has the largest squared magnitude
//   ½ (|A|² + |B|² + |F·F|),   F·F = |A|² − |B|² + 2i A·B,
// the three-dimensional form of the cross sections' field ellipse.

#include "space/SpaceModel.h"

#include <complex>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace corvalt::space {

// Values at the grid points, row j (grid line Y[j]) after row, element i
// (X[i]) at j·X.size() + i. NaN where the point lies inside a conductor,
// where the line formulas do not hold, or where a value is not finite.
struct TFieldLayers {
    std::vector<float> Major;     // semi-major axis of the field ellipse
    std::vector<float> Resultant; // rms resultant
};

// The kernels come in two builds giving the same bits: the baseline and one
// for AVX2 registers. A map takes the widest the processor runs; tests and
// comparisons name one (one the processor cannot run falls back).
enum class TMapKernelBuild { Baseline, Avx2 };
bool MapKernelBuildRuns(TMapKernelBuild build);

// Told, from any of the kernels' threads, the grid points done so far after
// each range of them; false stops the work (the layers are then incomplete).
using TPointsDone = std::function<bool(std::size_t points)>;

// Magnetic flux density, mG rms, of the conductors' currents without images
// (the earth's return currents are far away): the exact field of each
// straight piece carrying the current I from its end A to its end B,
//   B = μ0 I ÷ 4π · (a × b)(|a| + |b|) ÷ (|a| |b| (|a| |b| + a·b)),
// a = A − P and b = B − P, summed as phasors (μ0 ÷ 4π = 1 mG·m/A).
// A point inside a conductor carrying current has no value.
TFieldLayers MagneticLayers(const TSpaceModel& model,
                            std::optional<TMapKernelBuild> build = std::nullopt,
                            const TPointsDone& done = {});

// Electric field, kV/m rms, of the pieces' uniform line charges λ (C/m, one
// per piece, the conductors' pieces in order) and of their images −λ below
// the ground plane: the field of a straight line charge from A to B,
//   E = λ ÷ 4πε0 · 2L (r̂1 + r̂2) ÷ (σ² − L²),
// r1 = P − A, r2 = P − B, σ = |r1| + |r2|, L the piece's length (its
// equipotentials are the spheroids with foci A and B), with 1 ÷ 2πε0 taken
// as 1.8e10 m/F as in the cross sections. A point inside any conductor has
// no value.
TFieldLayers ElectricLayers(const TSpaceModel& model,
                            std::span<const std::complex<double>> chargesCPerM,
                            std::optional<TMapKernelBuild> build = std::nullopt,
                            const TPointsDone& done = {});

} // namespace corvalt::space
