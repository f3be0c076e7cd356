// The conductor system: bundle dimensions against the geometry by hand, the
// voltage phasor and current angle, the AC/DC mix test, and the records built
// from the model (absolute x, current in amperes, who carries charge).
#include "compute/ConductorSystem.h"
#include "LineBuilder.h"
#include "compute/Compute.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// EqDiameterM by hand: the bundle circle through the sub-conductor centres has
// diameter D = s ÷ sin(π ÷ n); the equivalent diameter is D (n d ÷ D)^(1/n).
long double EqDiameterByHand(int n, long double dCm, long double sCm) {
    if (n == 1) return dCm / 100;
    const long double bigD = sCm / std::sin(3.14159265358979323846L / n);
    return bigD * std::pow(n * dCm / bigD, 1.0L / n) / 100;
}

} // namespace

TEST(ConductorSystem, SingleConductorDimensions) {
    const TBundle b = BundleDimensions(1, 25.4f, 0);
    EXPECT_FLOAT_EQ(b.SubDiameterCm, 2.54f);
    EXPECT_FLOAT_EQ(b.SubRadiusCm, 1.27f);
    EXPECT_FLOAT_EQ(b.SpacingCm, 1.27f);
    EXPECT_FLOAT_EQ(b.DiameterCm, 2.54f);
    EXPECT_FLOAT_EQ(b.EqDiameterM, 0.0254f);
}

TEST(ConductorSystem, BundleDimensionsMatchTheGeometry) {
    struct Case {
        int n;
        float diameterMm, spacingCm;
    };
    const Case cases[] = {{2, 30, 45}, {3, 30.4f, 45}, {4, 28.1f, 45.72f}, {6, 35, 40}, {1, 11, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        const TBundle b = BundleDimensions(c.n, c.diameterMm, c.spacingCm);
        const long double d = c.diameterMm / 10.0L;
        EXPECT_NEAR(b.EqDiameterM, EqDiameterByHand(c.n, d, c.spacingCm), 2e-7 * b.EqDiameterM);
        if (c.n > 1) {
            EXPECT_NEAR(b.DiameterCm, c.spacingCm / std::sin(3.14159265358979323846L / c.n),
                        1e-6 * b.DiameterCm);
        }
    }
    // The two-conductor bundle of 30 mm at 45 cm: D = 45 cm, 45 √(6 ÷ 45) ÷ 100.
    EXPECT_NEAR(BundleDimensions(2, 30, 45).EqDiameterM, 0.1643, 5e-5);
}

TEST(ConductorSystem, GeometryFaults) {
    EXPECT_EQ(BundleGeometryFault(1, 25.4f, 0), TGeometryFault::None);
    EXPECT_EQ(BundleGeometryFault(0, 25.4f, 45), TGeometryFault::NoSubConductors);
    EXPECT_EQ(BundleGeometryFault(1, 0, 0), TGeometryFault::NoDiameter);
    EXPECT_EQ(BundleGeometryFault(2, -3, 45), TGeometryFault::NoDiameter);
    EXPECT_EQ(BundleGeometryFault(2, 25.4f, 0), TGeometryFault::NoSpacing);
    EXPECT_EQ(BundleGeometryFault(3, 25.4f, -1), TGeometryFault::NoSpacing);
}

TEST(ConductorSystem, VoltagePhasorIsPhaseToGroundRms) {
    struct Case {
        float u, angle;
        double offset;
        double degrees; // the angle the phasor should have
    };
    const Case cases[] = {{230, 0, 0, 0},           {230, 120, 0, 120}, {500, -120, 0, -120},
                          {345, 240, 359.9, 599.9}, {-500, 0, 0, 0},    {0, 90, 0, 90}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        const TPhasor v = VoltagePhasorV(c.u, c.angle, c.offset);
        const double amplitude = c.u / std::sqrt(3.0) * 1000;
        const double theta = c.degrees * 3.14159265358979323846 / 180;
        EXPECT_NEAR(v.Re, amplitude * std::cos(theta), 1e-5 * std::fabs(amplitude) + 1e-3);
        EXPECT_NEAR(v.Im, amplitude * std::sin(theta), 1e-5 * std::fabs(amplitude) + 1e-3);
    }
}

TEST(ConductorSystem, CurrentAngleReversesOnlyNegativeDcPoles) {
    EXPECT_DOUBLE_EQ(CurrentAngleRad(true, 230, 120), 120 * 0.017453292);
    EXPECT_DOUBLE_EQ(CurrentAngleRad(true, -230, 120), 120 * 0.017453292);
    EXPECT_DOUBLE_EQ(CurrentAngleRad(false, 500, 0), 0);
    EXPECT_DOUBLE_EQ(CurrentAngleRad(false, -500, 0), -3.1415927);
    EXPECT_DOUBLE_EQ(CurrentAngleRad(false, 0, 0), -3.1415927);
}

TEST(ConductorSystem, MixedOnlyWithBothFlagsInTheChargeSystem) {
    struct Case {
        const char* name;
        std::vector<TCond> line;
        bool mixed;
    };
    const Case cases[] = {
        {"all AC", {{.X = 0}, {.X = 5}, {.X = 2, .Ground = true}}, false},
        {"all DC", {{.X = 0, .Ac = false}, {.X = 5, .Ac = false}}, false},
        {"single conductor", {{.X = 0, .Ac = false}}, false},
        {"AC then DC", {{.X = 0}, {.X = 5}, {.X = 9, .Ac = false}}, true},
        {"DC then AC", {{.X = 0, .Ac = false}, {.X = 5}}, true},
        {"DC ground wire", {{.X = 0}, {.X = 5, .Ac = false, .Ground = true}}, true},
        {"DC cable below ground", {{.X = 0}, {.X = 5, .Y = -2, .Ac = false}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsMixedAcDc(SystemOf(c.line)), c.mixed);
    }
}

TEST(ConductorSystem, BuiltFromTheModelInListOrder) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& first = AddCircuit(scenario, 10);
    TCircuit& second = AddCircuit(scenario, -20);
    TConductor& a = AddConductor(first, {.X = 7, .VoltageKv = 230, .CurrentA = 900});
    AddConductor(second, {.X = -25, .Y = -1.5f, .CurrentA = 400});
    AddConductor(first, {.X = 12, .Y = 0, .Ground = true});
    ASSERT_FLOAT_EQ(a.HorizDistance, -3);

    const std::vector<TSystemConductor> system = BuildConductorSystem(scenario);
    ASSERT_EQ(system.size(), 3u);
    EXPECT_FLOAT_EQ(system[0].XM, 7);
    EXPECT_FLOAT_EQ(system[0].CurrentA, 900);
    EXPECT_TRUE(system[0].InChargeSystem);
    EXPECT_FLOAT_EQ(system[1].XM, -25);
    EXPECT_FALSE(system[1].InChargeSystem); // below ground: magnetic field only
    EXPECT_FALSE(system[2].InChargeSystem); // on the ground
    EXPECT_TRUE(system[2].IsGround);
}
