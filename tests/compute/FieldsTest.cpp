// Electric and magnetic field: the field ellipse against its time-domain
// construction, single conductors by hand, the worked cases, the far field of
// a balanced circuit, ground wires, DC poles, and points on a conductor.
#include "compute/Fields.h"
#include "LineBuilder.h"
#include "compute/Charges.h"
#include "compute/FieldEllipse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The semi-major axis found as the larger of the field magnitudes at the two
// extremal times t0 = ½ atan(−num ÷ den) and t0 + π/2 (π/4 when den = 0).
double EllipseByExtremalTimes(double x, double phiX, double y, double phiY) {
    const double num = x * x * std::sin(2 * phiX) + y * y * std::sin(2 * phiY);
    const double den = x * x * std::cos(2 * phiX) + y * y * std::cos(2 * phiY);
    const double t0 = den == 0 ? kPi / 4 : 0.5 * std::atan(-num / den);
    const auto at = [&](double t) {
        return std::hypot(x * std::cos(phiX + t), y * std::cos(phiY + t));
    };
    return std::max(at(t0), at(t0 + 1.57079633));
}

// Phase of a component by the field's rule: atan2, but 90° whenever the real
// part is 0, whatever the imaginary part.
double ComponentPhase(double re, double im) {
    return re == 0 ? kPi / 2 : std::atan2(im, re);
}

std::vector<TSystemConductor> Solved(const std::vector<TCond>& line) {
    std::vector<TSystemConductor> system = SystemOf(line);
    EXPECT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    return system;
}

} // namespace

TEST(FieldEllipse, EqualsTheLargestMagnitudeOverTime) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> magnitude(0, 5), phase(-4, 4);
    for (int k = 0; k < 2000; ++k) {
        const double x = magnitude(rng), px = phase(rng), y = magnitude(rng), py = phase(rng);
        const double expected = EllipseByExtremalTimes(x, px, y, py);
        ASSERT_NEAR(FieldEllipse(x, px, y, py), expected, 1e-12 * (1 + expected));
    }
    // den = 0: equal magnitudes 45° apart.
    EXPECT_NEAR(FieldEllipse(1, 0, 1, kPi / 2 / 1), 1, 1e-15);
    EXPECT_NEAR(FieldEllipse(2, 0, 2, kPi / 4), EllipseByExtremalTimes(2, 0, 2, kPi / 4), 1e-12);
    // Circular polarisation: the common magnitude. In phase: the vector sum.
    EXPECT_NEAR(FieldEllipse(3, 0.4, 3, 0.4 + kPi / 2), 3, 1e-12);
    EXPECT_NEAR(FieldEllipse(3, 0.4, 4, 0.4), 5, 1e-12);
    EXPECT_EQ(FieldEllipse(0, 0, 0, 0), 0);
}

TEST(FieldEllipse, PhasorFormMatchesMagnitudesAndPhases) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> part(-3, 3);
    std::uniform_int_distribution<int> zero(0, 3);
    for (int k = 0; k < 2000; ++k) {
        // Real parts of 0 (with imaginary parts of either sign) take the 90° rule.
        const double xRe = zero(rng) == 0 ? 0 : part(rng), xIm = part(rng);
        const double yRe = zero(rng) == 0 ? 0 : part(rng), yIm = part(rng);
        const double expected =
            EllipseByExtremalTimes(std::hypot(xRe, xIm), ComponentPhase(xRe, xIm),
                                   std::hypot(yRe, yIm), ComponentPhase(yRe, yIm));
        ASSERT_NEAR(FieldEllipseOfPhasors(xRe, xIm, yRe, yIm), expected, 1e-12 * (1 + expected));
    }
}

TEST(ElectricField, SingleConductorByHand) {
    const TCond c{.X = 3, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230};
    const std::vector<TSystemConductor> system = Solved({c});
    const long double q =
        230 / std::sqrt(3.0L) * 1000 / (1.8e10L * std::log(40 / static_cast<long double>(0.0254f)));
    const long double ys = 1;
    for (const float x : {3.0f, 0.0f, 10.0f, 45.5f, -20.0f}) {
        SCOPED_TRACE(x);
        const long double dx = x - 3.0L, a = c.Y - ys, b = c.Y + ys;
        const long double d1 = dx * dx + a * a, d2 = dx * dx + b * b;
        // A real charge gives components in phase: the field is their vector sum.
        const long double ex = q * 1.8e10L * (dx / d1 - dx / d2);
        const long double ey = q * 1.8e10L * (a / d1 + b / d2);
        const long double expected = std::hypot(ex, ey) / 1000;
        const std::optional<float> e = ElectricFieldKvPerM(system, x, 1);
        ASSERT_TRUE(e.has_value());
        EXPECT_NEAR(*e, expected, 2e-6L * expected);
    }
}

TEST(ElectricField, WorkedCaseIsVerticalBelowTheConductor) {
    const std::vector<TSystemConductor> system =
        Solved({{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230}});
    EXPECT_NEAR(*ElectricFieldKvPerM(system, 0, 1), 3.644, 0.0005);
}

TEST(ElectricField, ImageChargeByHand) {
    // The worked conductor: 25.4 mm, 10 m, 230 kV. P = 1.8e10 ln(40 ÷ 0.0254) =
    // 1.8e10 × 7.361886, q = 230000 ÷ √3 ÷ P, so k q = 132790.56 ÷ 7.361886 =
    // 18037.57 V.
    const std::vector<TSystemConductor> system =
        Solved({{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230}});
    // At ground level a = b = Y: the image doubles the vertical field and cancels
    // the horizontal one, E = 2 k q Y ÷ (dx² + Y²): 2 × 18037.57 ÷ 10 = 3607.515
    // V/m below the conductor, 2 × 18037.57 × 10 ÷ 200 = 1803.757 V/m at dx = 10.
    EXPECT_NEAR(*ElectricFieldKvPerM(system, 0, 0), 3.607515, 2e-6);
    EXPECT_NEAR(*ElectricFieldKvPerM(system, 10, 0), 1.803757, 2e-6);
    // At 1 m and dx = 5 (a = 9, b = 11, in phase so the field is the vector sum):
    // Ex = k q × 5 × (1 ÷ 106 − 1 ÷ 146) = 233.1038 V/m, Ey = k q (9 ÷ 106 +
    // 11 ÷ 146) = 2890.4876 V/m; E = √(Ex² + Ey²) = 2899.872 V/m.
    EXPECT_NEAR(*ElectricFieldKvPerM(system, 5, 1), 2.899872, 2e-6);
    // At a phase angle of 90° the charge is imaginary; rotating every phasor
    // leaves the field ellipse, so the values are the same.
    const std::vector<TSystemConductor> rotated =
        Solved({{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230, .AngleDeg = 90}});
    EXPECT_NEAR(*ElectricFieldKvPerM(rotated, 0, 0), 3.607515, 2e-6);
    EXPECT_NEAR(*ElectricFieldKvPerM(rotated, 5, 1), 2.899872, 2e-6);
    // A sensor below ground inside the image's circle (radius 12.7 mm around
    // (0, −10)) is inside a conductor's mirror image, where the field of a line
    // charge does not hold; just outside it there is a value again.
    EXPECT_FALSE(ElectricFieldKvPerM(system, 0.005f, -10).has_value());
    EXPECT_TRUE(ElectricFieldKvPerM(system, 0.02f, -10).has_value());
}

TEST(ElectricField, GroundWireLowersTheFieldBelowIt) {
    const TCond phase{.X = 0, .Y = 12, .VoltageKv = 345};
    const auto without = Solved({phase});
    const auto with = Solved({phase, {.X = 0, .Y = 18, .DiameterMm = 11, .Ground = true}});
    for (const float x : {0.0f, 2.0f, 5.0f}) {
        SCOPED_TRACE(x);
        EXPECT_LT(*ElectricFieldKvPerM(with, x, 1), *ElectricFieldKvPerM(without, x, 1));
    }
}

TEST(Fields, BalancedCircuitFallsWithTheSquareOfTheDistance) {
    std::vector<TCond> line = Circuit230kV();
    line.resize(3); // the three phases only
    const auto system = Solved(line);
    for (const float d : {300.0f, 600.0f}) {
        SCOPED_TRACE(d);
        // The currents sum to zero: what is left far away is a two-wire field, 1/d².
        const double b1 = *MagneticFieldGauss(system, d, 1);
        const double b2 = *MagneticFieldGauss(system, 2 * d, 1);
        EXPECT_NEAR(b1 / b2, 4.0, 0.04);
        // Each charge and its image form a dipole (1/d²); with balanced charges
        // their sum nearly cancels and the next order (1/d³) shows through.
        const double e1 = *ElectricFieldKvPerM(system, d, 1);
        const double e2 = *ElectricFieldKvPerM(system, 2 * d, 1);
        EXPECT_GE(e1 / e2, 3.96);
        EXPECT_LE(e1 / e2, 8.08);
    }
}

TEST(MagneticField, ThousandAmperesTenMetresAboveGive200Milligauss) {
    const auto system = SystemOf({{.X = 4, .Y = 11, .CurrentA = 1000}});
    EXPECT_NEAR(*MagneticFieldGauss(system, 4, 1), 0.2, 1e-7);
    // Off to the side: μ0 I ÷ (2π d) = 2 I ÷ 1000 ÷ d gauss whatever the direction.
    EXPECT_NEAR(*MagneticFieldGauss(system, 10, 1), 2.0 / std::hypot(6.0, 10.0), 1e-7);
    // Every ampere counts: 1 A at 10 m gives 2 × 1 ÷ 1000 ÷ 10 = 0.0002 gauss.
    EXPECT_NEAR(*MagneticFieldGauss(SystemOf({{.X = 4, .Y = 11, .CurrentA = 1}}), 4, 1), 0.0002,
                1e-10);
}

TEST(MagneticField, DcPolesOfOppositeVoltageCarryOppositeCurrents) {
    // Antiparallel currents I at x = ±s, height h: midway at sensor height yb the
    // field is vertical, 2 × (2 I ÷ 1000) s ÷ d².
    const float s = 6, h = 21, yb = 1;
    const auto bipole =
        SystemOf({{.X = -s, .Y = h, .VoltageKv = 500, .CurrentA = 1500, .Ac = false},
                  {.X = s, .Y = h, .VoltageKv = -500, .CurrentA = 1500, .Ac = false}});
    const double d2 = s * s + (h - yb) * (h - yb);
    EXPECT_NEAR(*MagneticFieldGauss(bipole, 0, yb), 2 * (2 * 1500 / 1000.0) * s / d2, 1e-6);
    // Two positive poles carry parallel currents: horizontal, 2 × (2 I ÷ 1000) (h − yb) ÷ d².
    const auto parallel =
        SystemOf({{.X = -s, .Y = h, .VoltageKv = 500, .CurrentA = 1500, .Ac = false},
                  {.X = s, .Y = h, .VoltageKv = 500, .CurrentA = 1500, .Ac = false}});
    EXPECT_NEAR(*MagneticFieldGauss(parallel, 0, yb), 2 * (2 * 1500 / 1000.0) * (h - yb) / d2,
                1e-6);
}

TEST(MagneticField, GroundWiresWithoutCurrentAndBuriedCables) {
    std::vector<TCond> line = Circuit230kV();
    const auto with = SystemOf(line);
    line.resize(3);
    const auto without = SystemOf(line);
    EXPECT_EQ(*MagneticFieldGauss(with, 5, 1), *MagneticFieldGauss(without, 5, 1));
    // A cable below ground counts in the magnetic field (no images, no earth).
    const auto cable = SystemOf({{.X = 0, .Y = -1.5f, .VoltageKv = 230, .CurrentA = 500}});
    EXPECT_NEAR(*MagneticFieldGauss(cable, 0, 1), 2 * 0.5 / 2.5, 1e-7);
    EXPECT_EQ(*ElectricFieldKvPerM(cable, 0, 1), 0.0f);
}

TEST(Fields, PointsInsideAConductorHaveNoValue) {
    const std::vector<TCond> line = {
        {.X = 0, .Y = 1, .DiameterMm = 25.4f, .VoltageKv = 230, .CurrentA = 500},
        {.X = 10,
         .Y = 1,
         .N = 2,
         .DiameterMm = 30,
         .SpacingCm = 40,
         .VoltageKv = 230,
         .AngleDeg = 120,
         .CurrentA = 500}};
    const auto system = Solved(line);
    struct Case {
        float x;
        bool available;
    };
    // Bundle of 40 cm: outer radius 20 + 1.5 cm.
    const Case cases[] = {{0, false},     {0.01f, false}, {0.02f, true}, {10, false},
                          {10.2f, false}, {10.22f, true}, {5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(ElectricFieldKvPerM(system, c.x, 1).has_value(), c.available);
        EXPECT_EQ(MagneticFieldGauss(system, c.x, 1).has_value(), c.available);
    }
    // A sensor below ground at a conductor's image.
    EXPECT_FALSE(ElectricFieldKvPerM(system, 0, -1).has_value());
    EXPECT_TRUE(MagneticFieldGauss(system, 0, -1).has_value());
}

// The resultant √(|X|² + |Y|²) beside the semi-major axis of the ellipse. A
// single conductor's field has its two components in phase, so the ellipse is
// a line and both are equal; a three-phase flat line turns its field, and at
// a ROW edge 10 m out the resultant is 1.7 % larger, by hand from Biot–Savart:
// Bx = Σ K dy e^{iθ} ÷ d², By = Σ K dx e^{iθ} ÷ d², K = 2 I ÷ 1000 gauss·m.
TEST(Fields, ResultantBesideTheSemiMajorAxis) {
    const std::vector<float> at = {4.0f, 30.0f};
    std::vector<std::optional<float>> axis(2), resultant(2);
    std::vector<TSystemConductor> single =
        SystemOf({{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230, .CurrentA = 1000}});
    ASSERT_EQ(SolveCharges(single).Outcome, TChargeOutcome::Solved);
    ElectricFieldsKvPerM(single, at, 1, axis, std::nullopt, resultant);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_FLOAT_EQ(*resultant[i], *axis[i]) << i;
    MagneticFieldsGauss(single, at, 1, axis, std::nullopt, resultant);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_FLOAT_EQ(*resultant[i], *axis[i]) << i;

    const double xs[3] = {-7, 0, 7};
    const double angles[3] = {0, 240, 120};
    std::vector<TCond> flat;
    for (int k = 0; k < 3; ++k)
        flat.push_back({.X = static_cast<float>(xs[k]),
                        .Y = 15,
                        .DiameterMm = 28.1f,
                        .VoltageKv = 230,
                        .AngleDeg = static_cast<float>(angles[k]),
                        .CurrentA = 1000});
    const std::vector<TSystemConductor> line = SystemOf(flat);
    const std::vector<float> edge = {10.0f};
    MagneticFieldsGauss(line, edge, 1, std::span(axis).first(1), std::nullopt,
                        std::span(resultant).first(1));
    std::complex<double> bx, by;
    for (int k = 0; k < 3; ++k) {
        const std::complex<double> source = std::polar(2.0, angles[k] * 3.14159265358979 / 180);
        const double dx = 10 - xs[k], dy = 15 - 1.0;
        bx += source * dy / (dx * dx + dy * dy);
        by += source * dx / (dx * dx + dy * dy);
    }
    const double handResultant = std::sqrt(std::norm(bx) + std::norm(by));
    const double handAxis =
        std::sqrt((std::norm(bx) + std::norm(by) + std::abs(bx * bx + by * by)) / 2);
    EXPECT_NEAR(*resultant[0], handResultant, 1e-6 * handResultant);
    EXPECT_NEAR(*axis[0], handAxis, 1e-6 * handAxis);
    EXPECT_GT(handResultant, 1.01 * handAxis); // the resultant reads higher here
}
