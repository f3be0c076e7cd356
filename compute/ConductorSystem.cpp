#include "compute/ConductorSystem.h"

#include "compute/Constants.h"

#include <cmath>

namespace corvalt {

using namespace constants;

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
        b.DiameterCm = static_cast<float>(subSpacingCm / std::sin(kPi / n));
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

double VoltageAngleRad(float phaseAngleDeg, double offsetDeg) {
    return (static_cast<double>(phaseAngleDeg) + offsetDeg) * kRadPerDeg;
}

double PhaseToGroundKv(float maxVoltageKv) {
    return maxVoltageKv / kSqrt3;
}

TPhasor VoltagePhasorFromCosSinV(double phaseToGroundKv, double cosTheta, double sinTheta) {
    return {static_cast<float>(phaseToGroundKv * cosTheta * 1000.0),
            static_cast<float>(phaseToGroundKv * sinTheta * 1000.0)};
}

TPhasor VoltagePhasorV(float maxVoltageKv, float phaseAngleDeg, double offsetDeg) {
    const double theta = VoltageAngleRad(phaseAngleDeg, offsetDeg);
    return VoltagePhasorFromCosSinV(PhaseToGroundKv(maxVoltageKv), std::cos(theta),
                                    std::sin(theta));
}

double CurrentAngleRad(bool isAc, float maxVoltageKv, float phaseAngleDeg) {
    if (!isAc && !(maxVoltageKv > 0)) return kNegativePoleAngle;
    return phaseAngleDeg * kRadPerDeg;
}

void PrepareConductorSystem(std::span<TSystemConductor> system) {
    for (TSystemConductor& c : system) {
        const bool usable = BundleGeometryFault(c.SubCondCount, c.DiameterMm, c.SubSpacingCm) ==
                            TGeometryFault::None;
        c.InChargeSystem = usable && c.YM > 0;
        c.Bundle =
            usable ? BundleDimensions(c.SubCondCount, c.DiameterMm, c.SubSpacingCm) : TBundle{};
        c.RadiusM = usable ? OuterRadiusM(c.SubCondCount, c.Bundle) : 0.0;
        if (!std::isfinite(c.RadiusM)) c.RadiusM = 0;
        const double theta = CurrentAngleRad(c.IsAc, c.MaxVoltageKv, c.PhaseAngleDeg);
        const double k = c.CurrentA / 1000.0 * 2.0;
        c.CurrentSourceRe = k * std::cos(theta);
        c.CurrentSourceIm = k * std::sin(theta);
    }
}

bool IsMixedAcDc(std::span<const TSystemConductor> system) {
    const TSystemConductor* first = nullptr;
    for (const TSystemConductor& c : system) {
        if (!c.InChargeSystem) continue;
        if (first == nullptr)
            first = &c;
        else if (c.IsAc != first->IsAc)
            return true;
    }
    return false;
}

bool IsInsideConductor(double distanceSqM2, double radiusM) {
    return distanceSqM2 == 0 || distanceSqM2 < radiusM * radiusM;
}

} // namespace corvalt
