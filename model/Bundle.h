#pragma once
// The geometry of a conductor's bundle from its inputs: n sub-conductors of one
// diameter on a circle, neighbours one spacing apart. The data check measures
// conductors with it, and the computation builds its conductor system on it.

namespace corvalt {

// π as the bundle geometry and the surface gradient use it (the printed
// values depend on these digits).
inline constexpr double kBundlePi = 3.14159265;

// Dimensions of a bundle of n sub-conductors on a circle.
struct TBundle {
    float SubDiameterCm = 0; // d = Diameter ÷ 10
    float SubRadiusCm = 0;   // r = d ÷ 2
    float SpacingCm = 0;     // s: the sub-conductor spacing, or r for a single conductor
    float DiameterCm = 0;    // D = spacing ÷ sin(π ÷ n), or d for a single conductor
    float EqDiameterM = 0; // D × (n × d ÷ D)^(1/n) ÷ 100, equivalent single-conductor diameter
};

// Bundle dimensions from a conductor's inputs (single-precision results). Only
// meaningful for n ≥ 1, diameterMm > 0 and, for n > 1, subSpacingCm > 0; see
// BundleGeometryFault.
TBundle BundleDimensions(int n, float diameterMm, float subSpacingCm);

// What makes a conductor's bundle unusable for the potential coefficients.
enum class TGeometryFault { None, NoSubConductors, NoDiameter, NoSpacing };
TGeometryFault BundleGeometryFault(int n, float diameterMm, float subSpacingCm);

// Distance from a bundle's centre to the outside of its sub-conductors, m:
// r for a single conductor, D ÷ 2 + r for a bundle.
double OuterRadiusM(int n, const TBundle& bundle);

// The outer radius of a conductor as far as its inputs describe one, m: the
// bundle's when its geometry is usable, the sub-conductor's when only the
// diameter is (no sub-conductors, or a bundle without spacing), 0 without a
// usable diameter. Never negative or infinite.
double ConductorOuterRadiusM(int n, float diameterMm, float subSpacingCm);

} // namespace corvalt
