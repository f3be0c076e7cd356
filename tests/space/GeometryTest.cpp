// The shapes the field map computes: catenaries against values worked by
// hand, and the subdivision rule on a line kilometres long.
#include "space/Catenary.h"
#include "space/MapModel.h"
#include "space/Subdivision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <variant>

using namespace corvalt;
using namespace corvalt::space;

namespace {

// Level supports 200 m apart at 100 m with the catenary parameter a = 100 m:
// z(u) = 100 − a (cosh(1) − cosh((u − 100) ÷ a)), so the sag is
// 100 (cosh 1 − 1) = 54.3080635 m, the lowest point 45.6919365 m, and a
// quarter along z = 100 − 100 (1.5430806 − 1.1276260) = 58.4545330 m.
TEST(CatenaryTest, LevelSpanFollowsTheCatenaryWorkedByHand) {
    const auto c = TCatenary::Through({0, 0, 100}, {200, 0, 100}, 54.3080635);
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->At(0.5).Z, 45.6919365, 1e-6);
    EXPECT_NEAR(c->At(0.25).Z, 58.4545330, 1e-6);
    EXPECT_NEAR(c->At(0.75).Z, 58.4545330, 1e-6);
    EXPECT_NEAR(c->LowestHeight(), 45.6919365, 1e-6);
    EXPECT_DOUBLE_EQ(c->At(0.25).X, 50);
}

// Unequal supports: the sag is measured vertically at the midpoint from the
// chord. The parabola with that sag, z = 10 + 20 t − 40 t (1 − t) over the
// run t, has its vertex a quarter along at 7.5 m; a catenary this shallow
// (sag a twentieth of the run) lies within centimetres of it.
TEST(CatenaryTest, UnequalSupportsSagFromTheChordAtTheMidpoint) {
    const auto c = TCatenary::Through({0, 0, 10}, {120, 160, 30}, 10);
    ASSERT_TRUE(c);
    const TVec3 mid = c->At(0.5);
    EXPECT_NEAR(mid.Z, 20 - 10, 1e-9);
    EXPECT_NEAR(mid.X, 60, 1e-12);
    EXPECT_NEAR(mid.Y, 80, 1e-12);
    EXPECT_DOUBLE_EQ(c->At(0).Z, 10);
    EXPECT_NEAR(c->At(1).Z, 30, 1e-9);
    EXPECT_NEAR(c->LowestHeight(), 7.5, 0.05);
    EXPECT_NEAR(c->At(0.25).Z, 7.5, 0.05);
    // No sag: the chord; a span cannot sag between supports one above the other.
    EXPECT_NEAR(TCatenary::Through({0, 0, 10}, {100, 0, 30}, 0)->At(0.25).Z, 15, 1e-12);
    EXPECT_FALSE(TCatenary::Through({0, 0, 10}, {0, 0, 30}, 1));
    EXPECT_FALSE(TCatenary::Through({0, 0, 10}, {10, 0, 10}, -1));
}

// Brute-force distance from a piece to the grid's rectangle: the least over
// many points along it (never less than the true distance).
double SampledDistance(const TGridBox& g, TVec3 a, TVec3 b) {
    double best = INFINITY;
    for (int k = 0; k <= 2000; ++k) {
        const TVec3 p = a + (k / 2000.0) * (b - a);
        const double dx = std::max({g.X0 - p.X, 0.0, p.X - g.X1});
        const double dy = std::max({g.Y0 - p.Y, 0.0, p.Y - g.Y1});
        best = std::min(best, std::hypot(dx, dy, p.Z - g.Z));
    }
    return best;
}

// A 230 kV line 20 km long over a 100 m grid in its middle: every piece
// keeps the rule, pieces near the grid are no longer than their height, and
// the line stays far below the piece limit.
TEST(SubdivisionTest, PiecesKeepTheRuleAndALongLineStaysSmall) {
    TPlan plan;
    plan.Name = "long";
    for (const double y : {-7.0, 0.0, 7.0}) {
        TPlanConductor c;
        c.Id = std::to_string(y);
        c.Kv = 230;
        c.Diameter = 28;
        c.Points = {{-10000, y, 15}, {-2000, y, 15}, {10000, y, 15}};
        plan.Conductors.push_back(c);
    }
    TPlanConductor span;
    span.Id = "span";
    span.IsGround = true;
    span.Diameter = 11;
    span.Shape = TPlanShape::Span;
    span.Points = {{-150, 4, 21}, {150, 4, 21}};
    span.Sag = 5;
    plan.Conductors.push_back(span);
    plan.Grid = {-50, 50, -50, 50, 1, 1};
    const auto built = BuildSpaceModel(plan);
    ASSERT_TRUE(std::holds_alternative<TSpaceModel>(built))
        << std::get<TMapInputError>(built).Message;
    const TSpaceModel& model = std::get<TSpaceModel>(built);
    const TGridBox grid{-50, 50, -50, 50, 1};
    for (const TSpaceConductor& c : model.Conductors) {
        SCOPED_TRACE(plan.Conductors[c.PlanIndex].Id);
        EXPECT_LT(c.PieceCount(), 200u);
        for (std::size_t k = 0; k + 1 < c.Vertices.size(); ++k) {
            const TVec3 a = c.Vertices[k], b = c.Vertices[k + 1];
            const double length = Norm(b - a);
            const double distance = SampledDistance(grid, a, b);
            EXPECT_LE(length, std::max(std::min(a.Z, b.Z), distance / 10) * (1 + 1e-9)) << k;
            if (distance < 20) {
                EXPECT_LE(length, 15.0) << k;
            }
        }
        // The user's points stay vertices: the path turns where it was told.
        EXPECT_EQ(c.Vertices.front().X, plan.Conductors[c.PlanIndex].Points.front().X);
        EXPECT_EQ(c.Vertices.back().X, plan.Conductors[c.PlanIndex].Points.back().X);
    }
    const auto corner = std::find_if(model.Conductors[0].Vertices.begin(),
                                     model.Conductors[0].Vertices.end(),
                                     [](TVec3 v) { return v.X == -2000; });
    EXPECT_NE(corner, model.Conductors[0].Vertices.end());
}

} // namespace
