#include "model/Bundle.h"

#include <cmath>

namespace corvalt {

TGeometryFault BundleGeometryFault(int n, float diameterMm, float subSpacingCm) {
    if (n < 1) return TGeometryFault::NoSubConductors;
    if (!(diameterMm > 0)) return TGeometryFault::NoDiameter;
    if (n > 1 && !(subSpacingCm > 0)) return TGeometryFault::NoSpacing;
    return TGeometryFault::None;
}

TBundle BundleDimensions(int n, float diameterMm, float subSpacingCm) {
    TBundle b;
    b.SubDiameterCm = static_cast<float>(diameterMm / 10.0);
    b.SubRadiusCm = static_cast<float>(b.SubDiameterCm / 2.0);
    if (n == 1) {
        b.SpacingCm = b.SubRadiusCm;
        b.DiameterCm = b.SubDiameterCm;
    } else {
        // Sub-conductors on a circle: the chord between neighbours is the spacing.
        b.SpacingCm = subSpacingCm;
        b.DiameterCm = static_cast<float>(subSpacingCm / std::sin(kBundlePi / n));
    }
    // Geometric mean radius of the bundle: D × (n d ÷ D)^(1/n).
    const double nd = static_cast<double>(n) * b.SubDiameterCm;
    b.EqDiameterM = static_cast<float>(
        b.DiameterCm * std::pow(nd / b.DiameterCm, 1.0 / static_cast<double>(n)) / 100.0);
    return b;
}

double OuterRadiusM(int n, const TBundle& bundle) {
    const double radiusCm = n == 1 ? static_cast<double>(bundle.SubRadiusCm)
                                   : bundle.DiameterCm / 2.0 + bundle.SubRadiusCm;
    return radiusCm / 100.0;
}

double ConductorOuterRadiusM(int n, float diameterMm, float subSpacingCm) {
    double radiusM = 0;
    switch (BundleGeometryFault(n, diameterMm, subSpacingCm)) {
    case TGeometryFault::None:
        radiusM = OuterRadiusM(n, BundleDimensions(n, diameterMm, subSpacingCm));
        break;
    case TGeometryFault::NoSubConductors:
    case TGeometryFault::NoSpacing:
        if (diameterMm > 0) radiusM = OuterRadiusM(1, BundleDimensions(1, diameterMm, 0));
        break;
    case TGeometryFault::NoDiameter:
        break;
    }
    return std::isfinite(radiusM) ? radiusM : 0.0;
}

} // namespace corvalt
