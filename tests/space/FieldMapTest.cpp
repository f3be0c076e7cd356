// The field map against what is known: the closed form of one straight piece,
// the cross sections for lines kilometres long, sagging spans, reversed
// paths, footprints checked point by point.
#include "LineBuilder.h"
#include "compute/Charges.h"
#include "compute/Fields.h"
#include "space/BuildSpans.h"
#include "space/Catenary.h"
#include "space/Charges.h"
#include "space/FieldKernels.h"
#include "space/FieldMap.h"
#include "space/MapModel.h"
#include "space/Subdivision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <stop_token>
#include <thread>
#include <cstring>
#include <vector>

using namespace corvalt;
using namespace corvalt::space;
using corvalt::testing::TCond;

namespace {

TPlanConductor PathConductor(std::string id, std::vector<TPlanPoint> points, double currentA,
                             double kv = 0, double angleDeg = 0) {
    TPlanConductor c;
    c.Id = std::move(id);
    c.Kv = kv;
    c.AngleDeg = angleDeg;
    c.CurrentA = currentA;
    c.Diameter = 10;
    c.Points = std::move(points);
    return c;
}

TMapRun Computed(const TPlan& plan, TMapQuantities quantities = TMapQuantities::Both) {
    TMapRun run = ComputeFieldMap(plan, quantities);
    EXPECT_EQ(run.Outcome, TMapOutcome::Computed) << run.Message;
    return run;
}

// One straight piece of 10 m at 10 m carrying 1000 A along x, the grid on the
// ground below it and beyond its start. With d = 10 m the distance from the
// line and s1, s2 the ends' places along it from the foot of the
// perpendicular, B = μ0 I ÷ (4π d) · (s2 ÷ √(s2² + d²) − s1 ÷ √(s1² + d²)),
// μ0 I ÷ (4π d) = 100 mG. Worked by hand:
//   below the middle (s = ∓5):  100 · 2 · 5 ÷ √125        = 89.4427 mG
//   below the start (s = 0, 10): 100 · 10 ÷ √200         = 70.7107 mG
//   10 m before the start (10, 20): 100 · (20 ÷ √500 − 10 ÷ √200) = 18.7320 mG
// One phase: the field is linearly polarised, so semi-major axis and rms
// resultant are equal.
TEST(FieldMapTest, OneStraightPieceGivesTheClosedFormAtThreePoints) {
    TPlan plan;
    plan.Name = "piece";
    plan.Conductors = {PathConductor("P", {{0, 0, 10}, {10, 0, 10}}, 1000)};
    plan.Grid = {-10, 5, 0, 0, 5, 0};
    const TFieldMap map = Computed(plan, TMapQuantities::Magnetic).Map;
    ASSERT_EQ(map.X.size(), 4u);
    const double expected[] = {18.7320, 0, 70.7107, 89.4427}; // x = −10, −5, 0, 5
    for (std::size_t i : {0u, 2u, 3u}) {
        SCOPED_TRACE(map.X[i]);
        EXPECT_NEAR(*map.B.At(i, 0), expected[i], 1e-4);
        EXPECT_NEAR(*map.BResultant.At(i, 0), expected[i], 1e-4);
    }
    EXPECT_FALSE(map.E.Computed());
}

// Cross section and map of the same conductors at their middle, within
// 0.02 % (they agree to about 0.01 %; the AC phases of a mixed system not
// turned as the cross sections leave them would be 0.6 % off). The cross
// section's x is the map's −y: a route along +x puts the right of the line at
// −y.
void ExpectLongLineReproducesCrossSection(const std::vector<TCond>& line) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& section = corvalt::testing::AddScenario(project);
    corvalt::testing::AddConductors(corvalt::testing::AddCircuit(section), line);
    const std::vector<TPlanCorner> route = {{-10000, 0}, {10000, 0}};
    auto built = BuildSpans(section, route, 0, 0);
    ASSERT_TRUE(std::holds_alternative<TPlan>(built)) << std::get<TMapInputError>(built).Message;
    TPlan plan = std::get<TPlan>(built);
    plan.Grid = {0, 0, -40, 40, 2, 1};
    const TFieldMap map = Computed(plan).Map;

    std::vector<TSystemConductor> system = corvalt::testing::SystemOf(line);
    ASSERT_EQ(corvalt::SolveCharges(system).Outcome, corvalt::TChargeOutcome::Solved);
    std::vector<float> xs;
    for (const float y : map.Y)
        xs.push_back(-y);
    std::vector<std::optional<float>> e(xs.size()), b(xs.size());
    ElectricFieldsKvPerM(system, xs, 1, e);
    MagneticFieldsGauss(system, xs, 1, b);
    for (std::size_t j = 0; j < xs.size(); ++j) {
        SCOPED_TRACE(xs[j]);
        EXPECT_NEAR(*map.E.At(0, j), *e[j], 2e-4 * *e[j]);
        EXPECT_NEAR(*map.B.At(0, j), *b[j] * 1000, 2e-4 * *b[j] * 1000);
    }
}

TEST(FieldMapTest, LinesTwentyKilometresLongReproduceTheirCrossSections) {
    {
        SCOPED_TRACE("230 kV single circuit with ground wires");
        ExpectLongLineReproducesCrossSection(corvalt::testing::Circuit230kV());
    }
    {
        SCOPED_TRACE("500 kV double circuit of 3-bundles");
        ExpectLongLineReproducesCrossSection(corvalt::testing::DoubleCircuit500kV());
    }
    {
        SCOPED_TRACE("DC bipole beside an AC double circuit");
        ExpectLongLineReproducesCrossSection(corvalt::testing::MixedAcDc12());
    }
}

// Five 300 m spans of the 230 kV line sagging 6 m to its cross section's
// heights. At mid-span of the middle span the fields come within a few per
// cent of the straight line at the lowest height (and below it: the
// conductors rise on both sides); at the structure, 6 m higher, they are
// well below.
TEST(FieldMapTest, SaggingSpansPeakAtMidSpanBelowTheStraightLine) {
    const std::vector<TCond> line = corvalt::testing::Circuit230kV();
    TEmfProject project;
    project.Units = Metric;
    TScenario& section = corvalt::testing::AddScenario(project);
    corvalt::testing::AddConductors(corvalt::testing::AddCircuit(section), line);
    const std::vector<TPlanCorner> route = {{-750, 0}, {750, 0}};
    TPlan plan = std::get<TPlan>(BuildSpans(section, route, 300, 6));
    ASSERT_EQ(plan.Conductors.size(), 5 * line.size());
    plan.Grid = {0, 150, -40, 40, 1, 1}; // from mid-span (i = 0) to the structure (i = 150)
    const TFieldMap map = Computed(plan).Map;

    std::vector<TSystemConductor> system = corvalt::testing::SystemOf(line);
    ASSERT_EQ(corvalt::SolveCharges(system).Outcome, corvalt::TChargeOutcome::Solved);
    float straightE = 0, straightB = 0;
    for (float x = -40; x <= 40; x += 1) {
        straightE = std::max(straightE, *ElectricFieldKvPerM(system, x, 1));
        straightB = std::max(straightB, *MagneticFieldGauss(system, x, 1) * 1000);
    }
    float midE = 0, midB = 0, structureE = 0, structureB = 0;
    for (std::size_t j = 0; j < map.Y.size(); ++j) {
        midE = std::max(midE, *map.E.At(0, j));
        midB = std::max(midB, *map.B.At(0, j));
        structureE = std::max(structureE, *map.E.At(150, j));
        structureB = std::max(structureB, *map.B.At(150, j));
    }
    EXPECT_LT(midE, straightE);
    EXPECT_GT(midE, 0.95f * straightE);
    EXPECT_LT(midB, straightB);
    EXPECT_GT(midB, 0.95f * straightB);
    EXPECT_LT(structureE, 0.8f * midE);
    EXPECT_LT(structureB, 0.8f * midB);
}

// The model of the contract's example: a phase turning a corner and a
// ground wire carrying a return current on a sagging span.
TPlan CornerExample() {
    TPlan plan;
    plan.Name = "Corner structure 14";
    TPlanConductor phase =
        PathConductor("1A", {{-300, 0, 12}, {0, 0, 12}, {212, 212, 12}}, 1000, 230, 0);
    phase.Diameter = 28.14;
    TPlanConductor ground;
    ground.Id = "G1";
    ground.IsGround = true;
    ground.Diameter = 9.5;
    ground.CurrentA = 150;
    ground.AngleDeg = 180;
    ground.Shape = TPlanShape::Span;
    ground.Points = {{-300, 0, 30}, {0, 0, 30}};
    ground.Sag = 6;
    plan.Conductors = {phase, ground};
    plan.Grid = {-20, 20, -20, 20, 2, 1};
    plan.Footprints = {{"House 12", {{4, 4}, {10, 4}, {10, 12}, {4, 12}}}};
    return plan;
}

void ExpectLayersAlike(const TMapLayer& a, const TMapLayer& b) {
    ASSERT_EQ(a.Values().size(), b.Values().size());
    for (std::size_t k = 0; k < a.Values().size(); ++k)
        EXPECT_NEAR(a.Values()[k], b.Values()[k], 1e-5f * std::abs(a.Values()[k])) << k;
}

TEST(FieldMapTest, ReversingAPathWithItsCurrentNegatedChangesNothing) {
    const TPlan plan = CornerExample();
    TPlan reversed = plan;
    for (TPlanConductor& c : reversed.Conductors) {
        std::reverse(c.Points.begin(), c.Points.end());
        c.CurrentA = -c.CurrentA;
    }
    const TFieldMap a = Computed(plan).Map, b = Computed(reversed).Map;
    ExpectLayersAlike(a.E, b.E);
    ExpectLayersAlike(a.EResultant, b.EResultant);
    ExpectLayersAlike(a.B, b.B);
    ExpectLayersAlike(a.BResultant, b.BResultant);
    // Reversing the path alone reverses the current: the corner's field
    // changes.
    TPlan pathOnly = plan;
    std::reverse(pathOnly.Conductors[1].Points.begin(), pathOnly.Conductors[1].Points.end());
    const TFieldMap c = Computed(pathOnly, TMapQuantities::Magnetic).Map;
    EXPECT_GT(std::abs(*c.B.At(10, 10) - *a.B.At(10, 10)), 1e-3f * *a.B.At(10, 10));
}

// Inside or on the polygon, by the winding of the polygon around the point,
// or on one of its edges: exact for the whole-number grid points and corners
// used here.
bool InsideOrOn(const std::vector<TPlanCorner>& polygon, double x, double y) {
    int winding = 0;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const TPlanCorner p = polygon[k], q = polygon[(k + 1) % polygon.size()];
        const double cross = (q.X - p.X) * (y - p.Y) - (q.Y - p.Y) * (x - p.X);
        const bool between = std::min(p.X, q.X) <= x && x <= std::max(p.X, q.X) &&
                             std::min(p.Y, q.Y) <= y && y <= std::max(p.Y, q.Y);
        if (cross == 0 && between) return true;
        if (p.Y <= y && q.Y > y && cross > 0) ++winding;
        if (p.Y > y && q.Y <= y && cross < 0) --winding;
    }
    return winding != 0;
}

TEST(FieldMapTest, AFootprintsValueIsTheLargestOfItsGridPoints) {
    TPlan plan = CornerExample();
    plan.Footprints = {
        {"rectangle on grid lines", {{4, 4}, {10, 4}, {10, 12}, {4, 12}}},
        {"concave L", {{-12, -12}, {0, -12}, {0, -6}, {-6, -6}, {-6, 6}, {-12, 6}}},
        {"triangle off the grid", {{-7, 7}, {7, 7}, {1, 17}}},
        {"over the conductor", {{-3, -3}, {3, -3}, {3, 3}, {-3, 3}}},
        {"between grid points", {{0.5, 0.5}, {1.5, 0.5}, {1.5, 1.5}}},
    };
    const TFieldMap map = Computed(plan).Map;
    ASSERT_EQ(map.Footprints.size(), plan.Footprints.size());
    for (std::size_t f = 0; f < plan.Footprints.size(); ++f) {
        SCOPED_TRACE(plan.Footprints[f].Name);
        for (const bool electric : {true, false}) {
            const TMapLayer& layer = electric ? map.E : map.B;
            std::optional<float> largest;
            int points = 0;
            for (std::size_t j = 0; j < map.Y.size(); ++j)
                for (std::size_t i = 0; i < map.X.size(); ++i)
                    if (InsideOrOn(plan.Footprints[f].Corners, map.X[i], map.Y[j])) {
                        ++points;
                        if (layer.At(i, j) && (!largest || *layer.At(i, j) > *largest))
                            largest = layer.At(i, j);
                    }
            const std::optional<TMapPeak>& peak =
                electric ? map.Footprints[f].E : map.Footprints[f].B;
            ASSERT_EQ(peak.has_value(), largest.has_value()) << points << " points";
            if (largest) {
                EXPECT_EQ(peak->Value, *largest);
                EXPECT_TRUE(InsideOrOn(plan.Footprints[f].Corners, peak->X, peak->Y));
            }
        }
    }
    EXPECT_FALSE(map.Footprints[4].E.has_value()); // no grid point inside
}

// A conductor at the grid's height: the grid point on its axis lies inside
// it. A ground wire without current has no magnetic field to be inside of.
TEST(FieldMapTest, AGridPointInsideAConductorHasNoValue) {
    TPlan plan;
    plan.Name = "low";
    plan.Conductors = {PathConductor("P", {{-200, 0, 1}, {200, 0, 1}}, 500, 13.8),
                       PathConductor("G", {{-200, 4, 1}, {200, 4, 1}}, 0)};
    plan.Conductors[1].IsGround = true;
    plan.Grid = {0, 0, 0, 4, 1, 1};
    const TFieldMap map = Computed(plan).Map;
    EXPECT_FALSE(map.E.At(0, 0) || map.EResultant.At(0, 0) || map.B.At(0, 0) ||
                 map.BResultant.At(0, 0));
    EXPECT_FALSE(map.E.At(0, 4));
    ASSERT_TRUE(map.B.At(0, 4));
    EXPECT_GT(*map.B.At(0, 4), 0);
    for (std::size_t j = 1; j < 4; ++j)
        EXPECT_TRUE(map.E.At(0, j) && map.B.At(0, j)) << j;
    EXPECT_EQ(map.MaxB->Y, 1); // beside the conductor, where B is largest
}

// The kernels' two builds give the same bits (they round alike: no fused
// operations, the same order of sums).
TEST(FieldMapTest, BothKernelBuildsGiveTheSameBits) {
    if (!MapKernelBuildRuns(TMapKernelBuild::Avx2)) GTEST_SKIP() << "no AVX2 here";
    TPlan plan = CornerExample();
    plan.Grid = {-20, 20, -20, 20, 0.7, 12}; // some points inside the phase
    const TSpaceModel model = std::get<TSpaceModel>(BuildSpaceModel(plan));
    const TChargeSolution charges = space::SolveCharges(model);
    const auto same = [](const TFieldLayers& a, const TFieldLayers& b) {
        return std::memcmp(a.Major.data(), b.Major.data(), a.Major.size() * sizeof(float)) == 0 &&
               std::memcmp(a.Resultant.data(), b.Resultant.data(),
                           a.Resultant.size() * sizeof(float)) == 0;
    };
    EXPECT_TRUE(same(MagneticLayers(model, TMapKernelBuild::Baseline),
                     MagneticLayers(model, TMapKernelBuild::Avx2)));
    EXPECT_TRUE(same(ElectricLayers(model, charges.ChargesCPerM, TMapKernelBuild::Baseline),
                     ElectricLayers(model, charges.ChargesCPerM, TMapKernelBuild::Avx2)));
}

// A computation tells the share done after each range of 256 grid points of
// each layer and 1 at its end, and stops soon once asked. 201 × 201 points
// are 158 ranges (157 full ones and 209 points); the grid points' share is
// 0.95, half for each layer.
TEST(FieldMapTest, AComputationTellsItsProgressAndStopsWhenAsked) {
    TPlan plan = CornerExample();
    plan.Grid = {-50, 50, -50, 50, 0.5, 1};
    std::mutex lock;
    std::vector<double> told;
    TMapControl control;
    control.Progress = [&](double done) {
        const std::lock_guard hold(lock);
        told.push_back(done);
    };
    TMapRun run = ComputeFieldMap(plan, TMapQuantities::Both, control);
    EXPECT_FALSE(run.Stopped);
    ASSERT_EQ(told.size(), 2u * 158u + 1u);
    EXPECT_EQ(told.back(), 1.0);
    told.pop_back();
    EXPECT_DOUBLE_EQ(*std::max_element(told.begin(), told.end()), 0.95);
    EXPECT_EQ(std::count(told.begin(), told.end(), 0.475), 1); // the electric layer's end

    std::stop_source stop;
    std::atomic<int> calls{0};
    control.Stop = stop.get_token();
    control.Progress = [&](double) {
        ++calls;
        stop.request_stop();
    };
    run = ComputeFieldMap(plan, TMapQuantities::Both, control);
    EXPECT_TRUE(run.Stopped);
    EXPECT_FALSE(run.Map.E.Computed() || run.Map.B.Computed());
    // Each thread finishes the range it is in, and takes no other.
    EXPECT_LE(calls, int(std::max(1u, std::thread::hardware_concurrency())));
}

} // namespace
