#pragma once
// Line charges and maximum surface gradients of a cross section's conductors:
// Maxwell potential coefficients over a perfectly conducting ground (method of
// images), and the charges q solving P q = V (by the Cholesky factor of P,
// which is symmetric positive definite). A system that mixes AC
// conductors and DC poles is swept through every relative phase of the AC
// system in 0.1° steps, keeping for each conductor the largest gradient met.

#include "compute/ConductorSystem.h"
#include "compute/Matrix.h"
#include "model/Overlap.h"

#include <span>
#include <stop_token>
#include <vector>

namespace corvalt {

// Steps of the AC/DC sweep and the AC phase rotation per step.
inline constexpr int kSweepSteps = 3600;
inline constexpr double kSweepStepDeg = 0.1;

// Rotation of the AC conductors in sweep step 1, 2, ...: (step − 1) × 0.1°.
double SweepOffsetDeg(int step);

// Indices into system of the conductors of the charge system, in list order.
std::vector<int> ChargeSystemMembers(std::span<const TSystemConductor> system);

// Potential coefficients of the members, m/F, with k = 1 ÷ (2π ε0) = 1.8e10:
//   P[i][i] = k ln(4 Y_i ÷ EqDiameterM_i)   (= k ln(2h ÷ r_eq))
//   P[i][j] = k ln(D'_ij ÷ D_ij)
// D_ij is the distance between conductors i and j, D'_ij the distance from i to
// the image of j below ground. The line-charge coefficients hold only for
// conductors clear of each other (see FindOverlappingMembers).
TMatrix PotentialCoefficients(std::span<const TSystemConductor> system,
                              std::span<const int> members);

// The first pair of members, in list order, whose outer circles meet (touching
// included), as indices into system; not Found when they are all apart.
TIndexPair FindOverlappingMembers(std::span<const TSystemConductor> system,
                                  std::span<const int> members);

// The bundle's factors of the maximum surface gradient, computed once.
struct TGradientFactors {
    // 1 + 2 (n − 1) sin(π ÷ n) r ÷ s: the largest gradient on a sub-conductor
    // over the average one (1 for a single conductor).
    double Bracket = 1;
    double NTimesRCm = 1; // n × r, cm
};
TGradientFactors GradientFactors(int n, const TBundle& bundle);

// Maximum surface gradient, kV/cm rms: g = |q| × bracket × 1.8e7 ÷ (n r).
float SurfaceGradientKvCm(TPhasor chargeCPerM, const TGradientFactors& factors);

enum class TChargeOutcome {
    Solved,
    Overlapping, // two conductors whose outer circles meet (Pair says which)
    Singular,    // the potential coefficients cannot be inverted, or the charges are not finite
    Cancelled,   // stop was requested before the charges were solved
    NoLibrary,   // a system too large to solve without LAPACK, which cannot be loaded
};

struct TChargeResult {
    TChargeOutcome Outcome = TChargeOutcome::Solved;
    TIndexPair Pair;
    int Steps = 0; // sweep steps performed: 1, or kSweepSteps for a mixed AC/DC system
};

// Systems of one step with at most this many members take their charges from
// the inverse of the potential coefficients (Gauss-Jordan, about a
// millisecond at this size), each a single-precision sum of the inverse's
// columns times the voltages, so that their fields round as they always have
// (on a symmetric line, which of two mirror points is the larger decides the
// printed position of a maximum). Larger systems and mixed ones are solved
// by the Cholesky factor.
inline constexpr int kLargestInvertedSystem = 100;

// Fills VoltV, ChargeCPerM and MaxGradientKvCm of every member of the charge
// system (PrepareConductorSystem must have run). The potential coefficients are
// inverted or factored once and solved for the voltages of the first step (for
// a mixed system, for its DC and its AC voltages apart). Each step takes the charges
// of its voltages (the AC ones rotated by the step's offset), each rounded to
// single precision, and keeps for each conductor the largest gradient
// (strictly larger replaces). The charges and voltages of the last step stay
// on the conductors; a conductor whose voltage is below 0 ends with its
// gradient negated. On failure the conductors keep no charges or gradients.
// Stop is checked after the factoring and before each sweep step.
TChargeResult SolveCharges(std::span<TSystemConductor> system, std::stop_token stop = {});

} // namespace corvalt
