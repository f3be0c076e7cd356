#pragma once
// The line charges of a field map's pieces: a charge simulation with images.
// Each piece carries a uniform line charge λ, its image −λ lies mirrored below
// the ground plane, and the potential around each piece's surface at its
// midpoint equals its conductor's voltage phasor. Averaged around that
// circle, the potential of every other piece and of every image is its value
// on the axis (a potential with no charge inside a circle averages there to
// its centre's value); the piece's own charge gives k λ asinh(L ÷ 2r) at its
// surface, r the bundle's equivalent radius. For conductors kilometres long
// these are the cross sections' potential coefficients, k ln(2h ÷ r) and
// k ln(D' ÷ D). The dense system is solved by LU factorisation (LAPACK).

#include "space/SpaceModel.h"
#include "space/Vec3.h"

#include <complex>
#include <vector>

namespace corvalt::space {

// The potential at p, V, of a uniform line charge of 1 C/m on the straight
// piece a–b: (k ÷ 2) ln((σ + L) ÷ (σ − L)), σ = |p − a| + |p − b|, written
// so that it keeps its digits close to the piece and far from it. Infinite
// on the piece itself.
double PiecePotential(TVec3 a, TVec3 b, TVec3 p);

enum class TChargeOutcome {
    Solved,
    Singular,
    NoLibrary, // LAPACK cannot be loaded (lapack::SystemLibrary().Error says why)
};

struct TChargeSolution {
    TChargeOutcome Outcome = TChargeOutcome::Solved;
    // One rms phasor per piece, C/m: the conductors' pieces in order.
    std::vector<std::complex<double>> ChargesCPerM;
};

// Singular when the system cannot be solved or its charges are not finite
// (conductors that cross themselves); the charges are then empty.
TChargeSolution SolveCharges(const TSpaceModel& model);

} // namespace corvalt::space
