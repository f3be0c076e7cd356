#include "compute/ConductorSystem.h"

#include "compute/Constants.h"
#include "compute/UnitFields.h"

#include <cmath>

namespace corvalt {

using namespace constants;

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
        const double k = LineCurrentGaussM(c.CurrentA);
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
    bool inside = false;
    InsideConductorInto(distanceSqM2, radiusM * radiusM, inside);
    return inside;
}

double LineCurrentGaussM(float currentA) {
    return currentA / 1000.0 * 2.0;
}

} // namespace corvalt
