#pragma once
// The electric and magnetic fields of a conductor system along a lateral
// profile at sensor height: the semi-major axes of the field ellipses of the
// summed component phasors. The profile functions compute several points at
// once (the points of a block side by side in vector registers); every point
// gets exactly the value the single-point functions give it, bit for bit: the
// same operations in the same types, each point's sums in conductor order.

#include "compute/ConductorSystem.h"

#include <optional>
#include <span>

namespace corvalt {

// The processor builds of the profile kernels: the baseline one, and on x86-64
// one for AVX2 registers. Both give the same bits. The first computation picks
// the widest that the processor runs (ChosenKernelBuild); the profile
// functions take another for tests and comparisons.
enum class TKernelBuild { Baseline, Avx2 };
bool KernelBuildRuns(TKernelBuild build);
TKernelBuild ChosenKernelBuild();

// Electric field at (x, sensorHeightM) for every x of xM, kV/m rms, into out
// (as many values as positions), from the line charges the charge computation
// left on the conductors of the charge system and their images below ground.
// With dx = x − X, a = Y − ys, b = Y + ys and c1 = (dx² + a²) ÷ k, c2 = (dx² +
// b²) ÷ k, each conductor adds
//   Ex += q (dx ÷ c1 − dx ÷ c2),   Ey += q (−a ÷ c1 − b ÷ c2),
// the real and imaginary parts summed separately in single precision in list
// order. Empty where the point lies inside a conductor or its image, where the
// line-charge field does not hold. The build given is used when the processor
// runs it, else the chosen one. When resultant is not empty it receives the
// resultant √(|Ex|² + |Ey|²) of each point (as many values as positions),
// empty where out is.
void ElectricFieldsKvPerM(std::span<const TSystemConductor> system, std::span<const float> xM,
                          float sensorHeightM, std::span<std::optional<float>> out,
                          std::optional<TKernelBuild> build = std::nullopt,
                          std::span<std::optional<float>> resultant = {});

// Magnetic flux density at (x, sensorHeightM) for every x of xM, gauss rms,
// into out, of the conductor currents as infinite line currents without earth
// return (ground and images play no part; conductors below ground count). With
// K = 2 I ÷ 1000 (μ0 ÷ 2π in G·m/A), dx = x − X, dy = Y − yb, d² = dx² + dy²
// and θ the current angle,
//   Bx += K dy e^{iθ} ÷ d²,   By += K dx e^{iθ} ÷ d²,
// summed in single precision in list order. Conductors without current add
// nothing. Empty where the point lies inside a conductor carrying current.
// resultant, when not empty, receives √(|Bx|² + |By|²) as for the electric field.
void MagneticFieldsGauss(std::span<const TSystemConductor> system, std::span<const float> xM,
                         float sensorHeightM, std::span<std::optional<float>> out,
                         std::optional<TKernelBuild> build = std::nullopt,
                         std::span<std::optional<float>> resultant = {});

// One conductor's terms at a single point (compute/UnitFields.h), for callers
// that weigh each conductor's field themselves, as the phasing optimiser does:
// UnitChargeField is the field of its unit line charge (1 C/m) with its image,
// V/m per C/m, the factors its charge phasor multiplies in the electric sums;
// UnitCurrentField is (dy ÷ d², dx ÷ d²), 1/m, the factors its current source
// K e^{iθ} (gauss·m) multiplies in the magnetic sums. Inside: the point lies
// inside the conductor (or the charge's image), where the profile functions
// give no value.
struct TUnitField {
    double Horizontal = 0;
    double Vertical = 0;
    bool Inside = false;
};
TUnitField UnitChargeField(const TSystemConductor& c, double xM, double sensorHeightM);
TUnitField UnitCurrentField(const TSystemConductor& c, double xM, double sensorHeightM);

// The same at a single position.
std::optional<float> ElectricFieldKvPerM(std::span<const TSystemConductor> system, float xM,
                                         float sensorHeightM);
std::optional<float> MagneticFieldGauss(std::span<const TSystemConductor> system, float xM,
                                        float sensorHeightM);

} // namespace corvalt
