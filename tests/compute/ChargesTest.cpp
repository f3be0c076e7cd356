// Charges and surface gradients: one and two conductors over ground solved by
// hand, the worked 230 kV case, ground wires, DC poles, and the AC/DC sweep
// checked bit for bit against a plain step-by-step transcription.
#include "compute/Charges.h"
#include "LineBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

constexpr long double kK = 1.8e10L; // 1 ÷ (2π ε0), m/F
const long double kSqrt3 = std::sqrt(3.0L);

// Gradient of a bundle by hand: |q| (1 + 2 (n − 1) sin(π/n) r/s) 1.8e7 ÷ (n r).
long double GradientByHand(long double q, const TCond& c) {
    const long double r = c.DiameterMm / 20.0L;
    const long double s = c.N == 1 ? r : c.SpacingCm;
    const long double bracket = 1 + 2 * (c.N - 1) * std::sin(3.14159265L / c.N) * r / s;
    return q * bracket * 1.8e7L / (c.N * r);
}

long double EqDiameterM(const TCond& c) {
    return BundleDimensions(c.N, c.DiameterMm, c.SpacingCm).EqDiameterM;
}

// The sweep written out step by step as the method states it: every step sets
// every voltage, sums every charge row by row, and compares every gradient.
struct TReference {
    std::vector<float> maxGradient;
    std::vector<TPhasor> lastCharge;
};

TReference SolveStepByStep(std::vector<TSystemConductor> system) {
    const std::vector<int> members = ChargeSystemMembers(system);
    TMatrix inverse = PotentialCoefficients(system, members);
    EXPECT_TRUE(InvertMatrix(inverse.Rows(), inverse));
    const std::size_t n = members.size();
    const int steps = IsMixedAcDc(system) ? 3600 : 1;
    TReference ref;
    ref.maxGradient.assign(n, 0);
    ref.lastCharge.assign(n, {});
    std::vector<float> vRe(n), vIm(n);
    for (int m = 1; m <= steps; ++m) {
        const double offset = (m - 1) * 0.1;
        for (std::size_t j = 0; j < n; ++j) {
            const TSystemConductor& c = system[static_cast<std::size_t>(members[j])];
            const double theta = (c.PhaseAngleDeg + (c.IsAc ? offset : 0.0)) * 0.017453292;
            vRe[j] = static_cast<float>(c.MaxVoltageKv / std::sqrt(3.0) * std::cos(theta) * 1000);
            vIm[j] = static_cast<float>(c.MaxVoltageKv / std::sqrt(3.0) * std::sin(theta) * 1000);
        }
        for (std::size_t i = 0; i < n; ++i) {
            float qRe = 0, qIm = 0;
            for (std::size_t j = 0; j < n; ++j) {
                qRe = static_cast<float>(
                    qRe + inverse.Get(static_cast<int>(i), static_cast<int>(j)) * vRe[j]);
                qIm = static_cast<float>(
                    qIm + inverse.Get(static_cast<int>(i), static_cast<int>(j)) * vIm[j]);
            }
            const TSystemConductor& c = system[static_cast<std::size_t>(members[i])];
            const int nSub = c.SubCondCount;
            const double r = c.Bundle.SubRadiusCm;
            const double s = c.Bundle.SpacingCm;
            const double q =
                std::sqrt(static_cast<double>(qRe) * qRe + static_cast<double>(qIm) * qIm);
            const auto g = static_cast<float>(
                q * (1.0 + 2.0 * (nSub - 1) * std::sin(3.14159265 / nSub) * r / s) * 1.8e7 /
                (static_cast<double>(nSub) * r));
            if (m == 1 || g > ref.maxGradient[i]) ref.maxGradient[i] = g;
            ref.lastCharge[i] = {qRe, qIm};
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        if (system[static_cast<std::size_t>(members[i])].MaxVoltageKv < 0)
            ref.maxGradient[i] = -ref.maxGradient[i];
    return ref;
}

// A random line of up to 14 conductors, each AC or DC, some ground wires.
std::vector<TCond> RandomLine(std::mt19937& rng) {
    std::uniform_real_distribution<float> x(-40, 40), y(6, 45), u(69, 800), angle(-180, 180);
    std::uniform_int_distribution<int> count(2, 14), n(1, 4), pick(0, 9);
    std::vector<TCond> line;
    const int conductors = count(rng);
    for (int k = 0; k < conductors; ++k) {
        TCond c{.X = x(rng), .Y = y(rng), .N = n(rng), .DiameterMm = 30, .SpacingCm = 45};
        const int kind = pick(rng);
        c.Ground = kind == 0;
        c.Ac = kind >= 4;
        c.VoltageKv = c.Ground ? 0 : (kind % 2 == 0 ? u(rng) : -u(rng));
        c.AngleDeg = kind >= 7 ? angle(rng) : 120.0f * static_cast<float>(kind % 3);
        if (c.Ground) c.N = 1;
        line.push_back(c);
    }
    return line;
}

} // namespace

TEST(Charges, SingleConductorMatchesTheClosedForm) {
    const TCond cases[] = {
        {.Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230},
        {.Y = 25, .N = 2, .DiameterMm = 30, .SpacingCm = 45, .VoltageKv = 345, .AngleDeg = 120},
        {.Y = 30, .N = 4, .DiameterMm = 28.1f, .SpacingCm = 45.72f, .VoltageKv = 765},
        {.Y = 12, .DiameterMm = 40.7f, .VoltageKv = -500, .Ac = false},
    };
    for (const TCond& c : cases) {
        SCOPED_TRACE(c.VoltageKv);
        std::vector<TSystemConductor> system = SystemOf({c});
        const TChargeResult result = SolveCharges(system);
        ASSERT_EQ(result.Outcome, TChargeOutcome::Solved);
        EXPECT_EQ(result.Steps, 1);
        // q = V ÷ P with V = U ÷ √3 × 1000 and P = k ln(4h ÷ EqDiameterM).
        const long double q =
            c.VoltageKv / kSqrt3 * 1000 / (kK * std::log(4 * c.Y / EqDiameterM(c)));
        const TPhasor charge = system[0].ChargeCPerM;
        const long double magnitude = std::hypot(charge.Re, charge.Im);
        EXPECT_NEAR(magnitude, std::fabs(q), 1e-6L * std::fabs(q));
        const long double g = GradientByHand(std::fabs(q), c) * (c.VoltageKv < 0 ? -1 : 1);
        ASSERT_TRUE(system[0].MaxGradientKvCm.has_value());
        EXPECT_NEAR(*system[0].MaxGradientKvCm, g, 1e-6L * std::fabs(g));
    }
}

TEST(Charges, WorkedCase230kV) {
    std::vector<TSystemConductor> system =
        SystemOf({{.Y = 10, .DiameterMm = 25.4f, .VoltageKv = 230}});
    const std::vector<int> members = ChargeSystemMembers(system);
    EXPECT_NEAR(PotentialCoefficients(system, members)(0, 0), 1.3251e11, 0.00005e11);
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    EXPECT_NEAR(system[0].ChargeCPerM.Re, 1.0021e-6, 0.00005e-6);
    EXPECT_EQ(system[0].ChargeCPerM.Im, 0.0f);
    EXPECT_NEAR(*system[0].MaxGradientKvCm, 14.20, 0.005);
}

TEST(Charges, TwoConductorsMatchTheTwoByTwoInverse) {
    const TCond a{.X = -5, .Y = 12, .VoltageKv = 230, .AngleDeg = 0};
    const TCond b{.X = 4,
                  .Y = 15,
                  .N = 2,
                  .DiameterMm = 30,
                  .SpacingCm = 45,
                  .VoltageKv = 230,
                  .AngleDeg = 120};
    std::vector<TSystemConductor> system = SystemOf({a, b});
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);

    const long double p11 = kK * std::log(4 * a.Y / EqDiameterM(a));
    const long double p22 = kK * std::log(4 * b.Y / EqDiameterM(b));
    const long double dx = a.X - b.X;
    const long double p12 = kK * std::log(std::hypot(dx, a.Y + b.Y) / std::hypot(dx, a.Y - b.Y));
    const long double det = p11 * p22 - p12 * p12;
    const long double amplitude = 230 / kSqrt3 * 1000;
    const long double pi = 3.14159265358979323846L;
    const long double v2Re = amplitude * std::cos(120 * pi / 180);
    const long double v2Im = amplitude * std::sin(120 * pi / 180);
    const long double q1Re = (p22 * amplitude - p12 * v2Re) / det;
    const long double q1Im = (-p12 * v2Im) / det;
    const long double q2Re = (-p12 * amplitude + p11 * v2Re) / det;
    const long double q2Im = (p11 * v2Im) / det;
    const long double scale = amplitude / p11;
    EXPECT_NEAR(system[0].ChargeCPerM.Re, q1Re, 1e-6L * scale);
    EXPECT_NEAR(system[0].ChargeCPerM.Im, q1Im, 1e-6L * scale);
    EXPECT_NEAR(system[1].ChargeCPerM.Re, q2Re, 1e-6L * scale);
    EXPECT_NEAR(system[1].ChargeCPerM.Im, q2Im, 1e-6L * scale);
}

TEST(Charges, GroundWireAboveAPhaseCarriesAnOpposingCharge) {
    std::vector<TSystemConductor> system = SystemOf(
        {{.Y = 12, .VoltageKv = 230, .AngleDeg = 30}, {.Y = 20, .DiameterMm = 11, .Ground = true}});
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    const TPhasor phase = system[0].ChargeCPerM;
    const TPhasor wire = system[1].ChargeCPerM;
    EXPECT_EQ(system[1].VoltV.Re, 0.0f);
    EXPECT_EQ(system[1].VoltV.Im, 0.0f);
    // Opposite phase: the ratio of the phasors is a negative real number.
    const double cross =
        static_cast<double>(phase.Re) * wire.Im - static_cast<double>(phase.Im) * wire.Re;
    const double dot =
        static_cast<double>(phase.Re) * wire.Re + static_cast<double>(phase.Im) * wire.Im;
    EXPECT_LT(dot, 0);
    EXPECT_NEAR(cross, 0, 1e-6 * std::fabs(dot));
    EXPECT_GT(*system[1].MaxGradientKvCm, 0);
}

TEST(Charges, NegativeDcPoleEndsWithANegativeGradient) {
    // A symmetric bipole: both poles DC, so one step, and mirror-equal gradients.
    std::vector<TSystemConductor> system =
        SystemOf({{.X = -6, .Y = 20, .DiameterMm = 40.7f, .VoltageKv = 500, .Ac = false},
                  {.X = 6, .Y = 20, .DiameterMm = 40.7f, .VoltageKv = -500, .Ac = false}});
    const TChargeResult result = SolveCharges(system);
    ASSERT_EQ(result.Outcome, TChargeOutcome::Solved);
    EXPECT_EQ(result.Steps, 1);
    EXPECT_GT(*system[0].MaxGradientKvCm, 0);
    EXPECT_FLOAT_EQ(*system[1].MaxGradientKvCm, -*system[0].MaxGradientKvCm);
    EXPECT_FLOAT_EQ(system[1].ChargeCPerM.Re, -system[0].ChargeCPerM.Re);
}

TEST(Charges, UniformFlagsTakeOneStepAndMixedSystemsTheWholeSweep) {
    std::vector<TSystemConductor> ac = SystemOf(Circuit230kV());
    EXPECT_EQ(SolveCharges(ac).Steps, 1);
    std::vector<TSystemConductor> mixed = SystemOf(MixedAcDc12());
    EXPECT_EQ(SolveCharges(mixed).Steps, 3600);
    // The charges left are those of the last step, the AC phases turned by 359.9°.
    const TSystemConductor& phaseA = mixed[2];
    const TPhasor expected = VoltagePhasorV(phaseA.MaxVoltageKv, phaseA.PhaseAngleDeg, 359.9);
    EXPECT_EQ(phaseA.VoltV.Re, expected.Re);
    EXPECT_EQ(phaseA.VoltV.Im, expected.Im);
    EXPECT_EQ(mixed[0].VoltV.Re, VoltagePhasorV(500, 0, 0).Re); // DC poles never turn
}

// The charges are solved in double precision and rounded once; the method
// step by step rounds every partial sum: they agree to about n ε of the
// largest charge of the line.
TEST(Charges, SweepAgreesWithTheStepByStepMethod) {
    std::mt19937 rng(20240611);
    std::vector<std::vector<TCond>> lines = {MixedAcDc12(), Circuit230kV(), DoubleCircuit500kV()};
    for (int k = 0; k < 12; ++k)
        lines.push_back(RandomLine(rng));
    int mixedLines = 0;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        SCOPED_TRACE(l);
        std::vector<TSystemConductor> system = SystemOf(lines[l]);
        const TReference ref = SolveStepByStep(system);
        if (SolveCharges(system).Outcome != TChargeOutcome::Solved) continue;
        mixedLines += IsMixedAcDc(system) ? 1 : 0;
        const std::vector<int> members = ChargeSystemMembers(system);
        double largestCharge = 0, largestGradient = 0;
        for (std::size_t i = 0; i < members.size(); ++i) {
            largestCharge = std::max({largestCharge, std::fabs(double{ref.lastCharge[i].Re}),
                                      std::fabs(double{ref.lastCharge[i].Im})});
            largestGradient = std::max(largestGradient, std::fabs(double{ref.maxGradient[i]}));
        }
        for (std::size_t i = 0; i < members.size(); ++i) {
            const TSystemConductor& c = system[static_cast<std::size_t>(members[i])];
            EXPECT_NEAR(*c.MaxGradientKvCm, ref.maxGradient[i], 1e-5 * largestGradient) << i;
            EXPECT_NEAR(c.ChargeCPerM.Re, ref.lastCharge[i].Re, 1e-5 * largestCharge) << i;
            EXPECT_NEAR(c.ChargeCPerM.Im, ref.lastCharge[i].Im, 1e-5 * largestCharge) << i;
        }
    }
    EXPECT_GE(mixedLines, 6); // the comparison covered real sweeps
}

TEST(Charges, SweepKeepsTheLargestGradientOfAnyStep) {
    std::vector<TSystemConductor> system = SystemOf(MixedAcDc12());
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    // The DC pole's gradient at step 1 (no rotation) is not above its maximum,
    // and the sweep finds a strictly larger one somewhere.
    std::vector<TSystemConductor> unrotated = SystemOf(MixedAcDc12());
    for (TSystemConductor& c : unrotated)
        c.IsAc = false; // all DC: one step, AC phases at their own angles
    ASSERT_EQ(SolveCharges(unrotated).Steps, 1);
    EXPECT_GT(*system[0].MaxGradientKvCm, *unrotated[0].MaxGradientKvCm);
    EXPECT_LT(*system[1].MaxGradientKvCm, *unrotated[1].MaxGradientKvCm); // negative pole
}

TEST(Charges, OverlappingConductorsAreNamedNotSolved) {
    struct Case {
        const char* name;
        std::vector<TCond> line;
        int first, second; // -1: solved
    };
    // 25.4 mm conductors have an outer radius of 12.7 mm, so centres less than
    // 25.4 mm apart overlap. A 2-bundle of 30 mm at 45 cm reaches 22.5 + 1.5 =
    // 24 cm from its centre.
    const TCond bundle{.X = 0, .N = 2, .DiameterMm = 30, .SpacingCm = 45, .VoltageKv = 500};
    const Case cases[] = {
        {"same place", {{.X = 0}, {.X = 3}, {.X = 3}}, 1, 2},
        {"1 cm apart", {{.X = 0}, {.X = 3}, {.X = 3.01f}}, 1, 2},
        {"1 um apart", {{.X = 3, .Y = 10.000001f}, {.X = 3}}, 0, 1},
        {"3 cm apart", {{.X = 0}, {.X = 3}, {.X = 3.03f}}, -1, -1},
        {"first pair in list order", {{.X = 9}, {.X = 0}, {.X = 9.01f}, {.X = 0.01f}}, 0, 2},
        {"bundles 47 cm apart",
         {bundle, {.X = 0.47f, .N = 2, .DiameterMm = 30, .SpacingCm = 45}},
         0,
         1},
        {"bundles 49 cm apart",
         {bundle, {.X = 0.49f, .N = 2, .DiameterMm = 30, .SpacingCm = 45}},
         -1,
         -1},
        {"ground wire in a bundle",
         {bundle, {.X = 0.2f, .Y = 10.1f, .DiameterMm = 11, .Ground = true}},
         0,
         1},
        // Cables carry no charge; the data check refuses conductors below ground.
        {"cables below ground at one place",
         {{.X = 0}, {.X = 5, .Y = -2}, {.X = 5, .Y = -2}},
         -1,
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TSystemConductor> system = SystemOf(c.line);
        const TChargeResult result = SolveCharges(system);
        if (c.first < 0) {
            EXPECT_EQ(result.Outcome, TChargeOutcome::Solved);
            continue;
        }
        EXPECT_EQ(result.Outcome, TChargeOutcome::Overlapping);
        EXPECT_EQ(result.Pair.First, c.first);
        EXPECT_EQ(result.Pair.Second, c.second);
        for (const TSystemConductor& s : system)
            EXPECT_FALSE(s.MaxGradientKvCm.has_value());
    }
}

TEST(Charges, ConductorsOnOrBelowGroundCarryNoCharge) {
    std::vector<TSystemConductor> system = SystemOf({{.X = 0, .Y = 10, .VoltageKv = 230},
                                                     {.X = 0, .Y = -10, .VoltageKv = 230},
                                                     {.X = 5, .Y = 0, .VoltageKv = 230}});
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    EXPECT_TRUE(system[0].MaxGradientKvCm.has_value());
    for (std::size_t k : {1u, 2u}) {
        EXPECT_FALSE(system[k].MaxGradientKvCm.has_value());
        EXPECT_EQ(system[k].ChargeCPerM.Re, 0.0f);
    }
    // The one above ground is solved as if alone.
    std::vector<TSystemConductor> alone = SystemOf({{.X = 0, .Y = 10, .VoltageKv = 230}});
    SolveCharges(alone);
    EXPECT_EQ(*system[0].MaxGradientKvCm, *alone[0].MaxGradientKvCm);
}
