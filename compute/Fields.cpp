#include "compute/Fields.h"

#include "compute/Constants.h"
#include "compute/FieldEllipse.h"
#include "compute/Numeric.h"

#include <cmath>

namespace corvalt {

using namespace constants;

namespace {

// A single-precision running sum of a phasor's parts.
struct TFloatPhasorSum {
    float Re = 0;
    float Im = 0;
    void Add(double re, double im) {
        Re = static_cast<float>(Re + re);
        Im = static_cast<float>(Im + im);
    }
};

} // namespace

std::optional<float> ElectricFieldKvPerM(std::span<const TSystemConductor> system, float xM,
                                         float sensorHeightM) {
    const double ys = sensorHeightM;
    TFloatPhasorSum ex, ey;
    for (const TSystemConductor& c : system) {
        if (!c.InChargeSystem) continue;
        const double dx = static_cast<double>(xM) - c.XM;
        const double a = c.YM - ys;
        const double b = c.YM + ys;
        const double d1Sq = dx * dx + a * a; // to the conductor
        const double d2Sq = dx * dx + b * b; // to its image
        if (IsInsideConductor(d1Sq, c.RadiusM) || IsInsideConductor(d2Sq, c.RadiusM))
            return std::nullopt;
        // With c = d² ÷ k: the terms q dx ÷ c1 and so on.
        const double kOverC1 = kInvTwoPiEps0 / d1Sq;
        const double kOverC2 = kInvTwoPiEps0 / d2Sq;
        const double horizontal = dx * kOverC1 - dx * kOverC2;
        const double vertical = -a * kOverC1 - b * kOverC2;
        ex.Add(c.ChargeCPerM.Re * horizontal, c.ChargeCPerM.Im * horizontal);
        ey.Add(c.ChargeCPerM.Re * vertical, c.ChargeCPerM.Im * vertical);
    }
    // V/m to kV/m.
    return FiniteFloat(
        FieldEllipseOfPhasors(ex.Re / 1000.0, ex.Im / 1000.0, ey.Re / 1000.0, ey.Im / 1000.0));
}

std::optional<float> MagneticFieldGauss(std::span<const TSystemConductor> system, float xM,
                                        float sensorHeightM) {
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

} // namespace corvalt
