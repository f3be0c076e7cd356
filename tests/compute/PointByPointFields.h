#pragma once
// The straightforward field computation the profile kernels replaced, kept
// as it was as the reference they must match bit for bit: one point at a
// time, each conductor's inside test and terms in turn, leaving at the first
// conductor the point lies in.

#include "compute/ConductorSystem.h"
#include "compute/Constants.h"
#include "compute/FieldEllipse.h"
#include "compute/Numeric.h"

#include <optional>
#include <span>

namespace corvalt::testing {

// A single-precision running sum of a phasor's parts.
struct TFloatPhasorSum {
    float Re = 0;
    float Im = 0;
    void Add(double re, double im) {
        Re = static_cast<float>(Re + re);
        Im = static_cast<float>(Im + im);
    }
};

inline std::optional<float> PointByPointElectricField(std::span<const TSystemConductor> system,
                                                      float xM, float sensorHeightM) {
    const double ys = sensorHeightM;
    TFloatPhasorSum ex, ey;
    for (const TSystemConductor& c : system) {
        if (!c.InChargeSystem) continue;
        const double dx = static_cast<double>(xM) - c.XM;
        const double a = c.YM - ys;
        const double b = c.YM + ys;
        const double d1Sq = dx * dx + a * a;
        const double d2Sq = dx * dx + b * b;
        if (IsInsideConductor(d1Sq, c.RadiusM) || IsInsideConductor(d2Sq, c.RadiusM))
            return std::nullopt;
        const double kOverC1 = constants::kInvTwoPiEps0 / d1Sq;
        const double kOverC2 = constants::kInvTwoPiEps0 / d2Sq;
        const double horizontal = dx * kOverC1 - dx * kOverC2;
        const double vertical = -a * kOverC1 - b * kOverC2;
        ex.Add(c.ChargeCPerM.Re * horizontal, c.ChargeCPerM.Im * horizontal);
        ey.Add(c.ChargeCPerM.Re * vertical, c.ChargeCPerM.Im * vertical);
    }
    return FiniteFloat(
        FieldEllipseOfPhasors(ex.Re / 1000.0, ex.Im / 1000.0, ey.Re / 1000.0, ey.Im / 1000.0));
}

inline std::optional<float> PointByPointMagneticField(std::span<const TSystemConductor> system,
                                                      float xM, float sensorHeightM) {
    const double yb = sensorHeightM;
    TFloatPhasorSum bx, by;
    for (const TSystemConductor& c : system) {
        if (c.CurrentA == 0) continue;
        const double dx = static_cast<double>(xM) - c.XM;
        const double dy = c.YM - yb;
        const double dSq = dx * dx + dy * dy;
        if (IsInsideConductor(dSq, c.RadiusM)) return std::nullopt;
        const double inverseDSq = 1 / dSq;
        const double re = c.CurrentSourceRe * inverseDSq;
        const double im = c.CurrentSourceIm * inverseDSq;
        bx.Add(re * dy, im * dy);
        by.Add(re * dx, im * dx);
    }
    return FiniteFloat(FieldEllipseOfPhasors(bx.Re, bx.Im, by.Re, by.Im));
}

} // namespace corvalt::testing
