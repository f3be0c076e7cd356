// The colour map's numbers: viridis at its table's entries, round linear and
// logarithmic scales with their bands, axis ticks, and the field limits a
// plan's iso-lines take by default from the class of its lines.
#include "plots/MapLevels.h"
#include "plots/MapScale.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvalt;

// Viridis's published ends and middle entry (128 of 0..255): #440154,
// #21918c, #fde725; halfway between entries 0 (#440154) and 1 (#440256)
// the channels round to #440255 (1.5 rounds up).
TEST(MapScale, ViridisAtItsTablesEntries) {
    EXPECT_EQ(ViridisRgb(0), 0x440154u);
    EXPECT_EQ(ViridisRgb(128.0 / 255), 0x21918cu);
    EXPECT_EQ(ViridisRgb(1), 0xfde725u);
    EXPECT_EQ(ViridisRgb(0.5 / 255), 0x440255u);
    EXPECT_EQ(ViridisRgb(-3), 0x440154u);
}

// 2.41 kV/m ÷ 8 = 0.30, rounded up to a step of 0.5: 0 to 2.5 in five bands;
// 181.8 mG ÷ 8 = 22.7: steps of 50 to 200; 3.05 ÷ 8 = 0.38: 0.5 to 3.5. A value on a tick lies in the band
// above it; the colour of a band is viridis at its middle.
TEST(MapScale, LinearScalesEndAtTheFirstRoundValueAboveTheTop) {
    const TMapScale e = LinearMapScale(2.41);
    EXPECT_FALSE(e.Log);
    EXPECT_EQ(e.Ticks, (std::vector<double>{0, 0.5, 1, 1.5, 2, 2.5}));
    EXPECT_DOUBLE_EQ(e.Hi, 2.5);
    EXPECT_EQ(e.Band(2.41), 4);
    EXPECT_EQ(e.Band(0.5), 1);
    EXPECT_EQ(e.Band(0.49), 0);
    EXPECT_EQ(e.Band(7), 4);
    EXPECT_DOUBLE_EQ(e.Position(1.25), 0.5);
    EXPECT_EQ(e.BandRgb(4), ViridisRgb(0.9));
    EXPECT_EQ(LinearMapScale(181.8).Ticks, (std::vector<double>{0, 50, 100, 150, 200}));
    EXPECT_DOUBLE_EQ(LinearMapScale(3.05).Hi, 3.5);
    EXPECT_DOUBLE_EQ(LinearMapScale(-1).Hi, 1);
}

// 0.03 to 96.2: decades 0.01 to 100, ticks at 1, 2, 5; 1 lies halfway up.
// From 1e-9 to 500 only six decades are kept: 0.001 to 1000.
TEST(MapScale, LogarithmicScalesSpanWholeDecades) {
    const TMapScale b = LogMapScale(0.03, 96.2);
    EXPECT_TRUE(b.Log);
    EXPECT_DOUBLE_EQ(b.Lo, 0.01);
    EXPECT_DOUBLE_EQ(b.Hi, 100);
    ASSERT_EQ(b.Ticks.size(), 13u);
    EXPECT_DOUBLE_EQ(b.Ticks[7], 2);
    EXPECT_DOUBLE_EQ(b.Position(1), 0.5);
    EXPECT_DOUBLE_EQ(b.Position(0), 0);
    EXPECT_EQ(b.Band(3), 7);
    const TMapScale wide = LogMapScale(1e-9, 500);
    EXPECT_DOUBLE_EQ(wide.Lo, 0.001);
    EXPECT_DOUBLE_EQ(wide.Hi, 1000);
}

TEST(MapScale, AxisTicksAreRoundMultiples) {
    EXPECT_EQ(AxisTicks(-100, 100, 8), (std::vector<double>{-100, -50, 0, 50, 100}));
    EXPECT_EQ(AxisTicks(-200, 200, 7), (std::vector<double>{-200, -100, 0, 100, 200}));
    EXPECT_EQ(AxisTicks(3, 17, 3), (std::vector<double>{5, 10, 15}));
    EXPECT_EQ(DecimalsForStep(0.5), 1);
    EXPECT_EQ(DecimalsForStep(0.05), 2);
    EXPECT_EQ(DecimalsForStep(20), 0);
}

namespace {

TPlanConductor Phase(double kv, double angle, TPlanPoint from, TPlanPoint to) {
    TPlanConductor c;
    c.Kv = kv;
    c.AngleDeg = angle;
    c.Diameter = 30;
    c.Points = {from, to};
    return c;
}

// A three-phase circuit along x at offset y, each phase in two spans joined
// at x = 0.
void AddCircuit(TPlan& plan, double kv, double y) {
    for (int k = 0; k < 3; ++k) {
        const double at = y + 10 * k;
        plan.Conductors.push_back(Phase(kv, 120 * k, {-300, at, 20}, {0, at, 20}));
        plan.Conductors.push_back(Phase(kv, 120 * k, {0, at, 20}, {300, at, 20}));
    }
}

std::vector<double> Values(const std::vector<TMapLevel>& levels) {
    std::vector<double> values;
    for (const TMapLevel& level : levels) values.push_back(level.Value);
    return values;
}

} // namespace

// The default table: 230 kV and less 8 and 2 kV/m, 150 mG; 500 kV 10 and
// 2 kV/m, 200 mG; 500 kV double circuit 250 mG. A 230 kV line at its 242 kV
// maximum stays in its class; a 500 kV circuit whose phases each run in two
// spans is one set, not two.
TEST(MapLevels, TheLimitsOfThePlansClass) {
    const TFieldLimits limits = DefaultFieldLimits();
    TPlan plan;
    AddCircuit(plan, 242, 0);
    EXPECT_EQ(PlanLimitClass(plan), TLimitClass::Line230);
    EXPECT_EQ(Values(DefaultMapLevels(plan, limits, TMapQuantity::Electric)),
              (std::vector<double>{8, 2}));
    EXPECT_EQ(Values(DefaultMapLevels(plan, limits, TMapQuantity::Magnetic)),
              (std::vector<double>{150}));

    plan.Conductors.clear();
    AddCircuit(plan, 525, 0);
    EXPECT_EQ(PlanLimitClass(plan), TLimitClass::Line500);
    EXPECT_EQ(Values(DefaultMapLevels(plan, limits, TMapQuantity::Electric)),
              (std::vector<double>{10, 2}));
    EXPECT_EQ(Values(DefaultMapLevels(plan, limits, TMapQuantity::Magnetic)),
              (std::vector<double>{200}));

    AddCircuit(plan, 525, 50);
    EXPECT_EQ(PlanLimitClass(plan), TLimitClass::Line500Double);
    EXPECT_EQ(Values(DefaultMapLevels(plan, limits, TMapQuantity::Magnetic)),
              (std::vector<double>{250}));

    EXPECT_EQ(PhaseIndexOf(-120), 2);
    EXPECT_EQ(PhaseIndexOf(240), 2);
    EXPECT_EQ(PhaseIndexOf(119), 1);
}
