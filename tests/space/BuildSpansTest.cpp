// Lines laid out from cross sections: structures along a route with a corner,
// the mitre that keeps the offsets from both legs, the supports a sag above
// the cross section's heights, the DC poles as the cross sections take them,
// and two lines joined in one plan.
#include "LineBuilder.h"
#include "space/BuildSpans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <variant>
#include <vector>

using namespace corvalt;
using namespace corvalt::space;
using corvalt::testing::TCond;

namespace {

class BuildSpansTest : public ::testing::Test {
  protected:
    TScenario& Section(const std::vector<TCond>& line, int units = Metric) {
        project_.Units = static_cast<std::uint8_t>(units);
        TScenario& section = corvalt::testing::AddScenario(project_);
        corvalt::testing::AddConductors(corvalt::testing::AddCircuit(section), line);
        return section;
    }

    static TPlan Built(const TScenario& section, std::vector<TPlanCorner> route, double span,
                       double sag) {
        auto built = BuildSpans(section, route, span, sag);
        EXPECT_TRUE(std::holds_alternative<TPlan>(built))
            << std::get<TMapInputError>(built).Message;
        return std::holds_alternative<TPlan>(built) ? std::get<TPlan>(built) : TPlan{};
    }

    TEmfProject project_;
};

// A route east 100 m, then north 100 m, in spans of at most 60 m: two spans
// per leg. A conductor 5 m right of the centre lies at y = −5 along the first
// leg and at x = 105 along the second; at the corner both hold, at (105, −5).
TEST_F(BuildSpansTest, ConductorsKeepTheirOffsetsRoundACorner) {
    const TScenario& section =
        Section({{.X = 5, .Y = 12, .DiameterMm = 28, .VoltageKv = 230, .AngleDeg = 120,
                  .CurrentA = 900, .Id = "1A1"}});
    const TPlan plan = Built(section, {{0, 0}, {100, 0}, {100, 100}}, 60, 3);
    ASSERT_EQ(plan.Conductors.size(), 4u);
    const double xs[] = {0, 50, 105, 105, 105}, ys[] = {-5, -5, -5, 50, 100};
    for (std::size_t s = 0; s < 4; ++s) {
        const TPlanConductor& c = plan.Conductors[s];
        SCOPED_TRACE(s);
        EXPECT_EQ(c.Id, "1A1 span " + std::to_string(s + 1));
        EXPECT_EQ(c.Shape, TPlanShape::Span);
        EXPECT_EQ(c.Sag, 3);
        EXPECT_NEAR(c.Points[0].X, xs[s], 1e-9);
        EXPECT_NEAR(c.Points[0].Y, ys[s], 1e-9);
        EXPECT_NEAR(c.Points[1].X, xs[s + 1], 1e-9);
        EXPECT_NEAR(c.Points[1].Y, ys[s + 1], 1e-9);
        EXPECT_EQ(c.Points[0].Z, 15); // the lowest point 12 m, 3 m below the supports
        EXPECT_EQ(c.Kv, 230);
        EXPECT_EQ(c.AngleDeg, 120);
        EXPECT_EQ(c.CurrentA, 900);
        EXPECT_EQ(c.Diameter, 28);
    }
    // The grid covers the structures and 35 m more (5 m out plus 30 m).
    EXPECT_LE(plan.Grid.X0, -35);
    EXPECT_GE(plan.Grid.X1, 135);
    EXPECT_LE((plan.Grid.X1 - plan.Grid.X0) / plan.Grid.Step, 200);
    EXPECT_EQ(plan.Grid.Height, 1);
}

// The cross sections take every maximum voltage as phase-to-phase (÷ √3)
// and the current of a negative pole as flowing back.
TEST_F(BuildSpansTest, DcPolesAndGroundWiresTakeTheCrossSectionsValues) {
    const TScenario& section = Section({
        {.X = -8, .Y = 20, .DiameterMm = 40, .VoltageKv = 500, .CurrentA = 2000, .Ac = false},
        {.X = 8, .Y = 20, .DiameterMm = 40, .VoltageKv = -500, .CurrentA = 2000, .Ac = false},
        {.X = 0, .Y = 30, .DiameterMm = 11, .Ground = true},
    });
    const TPlan plan = Built(section, {{0, 0}, {0, 300}}, 0, 5);
    ASSERT_EQ(plan.Conductors.size(), 3u);
    EXPECT_FALSE(plan.Conductors[0].IsAc);
    EXPECT_NEAR(plan.Conductors[0].Kv, 288.675134595, 1e-8);
    EXPECT_NEAR(plan.Conductors[1].Kv, -288.675134595, 1e-8);
    EXPECT_EQ(plan.Conductors[0].CurrentA, 2000);
    EXPECT_NEAR(plan.Conductors[1].CurrentA, -2000, 1e-9);
    EXPECT_TRUE(plan.Conductors[2].IsGround);
    EXPECT_EQ(plan.Conductors[2].Kv, 0);
    EXPECT_EQ(plan.Conductors[0].Id, section.Conductors[0]->Id); // one span: the id alone
    // Route north: the right of the line is east.
    EXPECT_EQ(plan.Conductors[1].Points[0].X, 8);
}

TEST_F(BuildSpansTest, EnglishProjectsLayOutInFeet) {
    const TScenario& section = Section({{.X = FeetToMetres(10), .Y = FeetToMetres(40),
                                         .DiameterMm = InchesToMillimetres(1.108f),
                                         .VoltageKv = 230, .CurrentA = 1000}},
                                       English);
    const TPlan plan = Built(section, {{0, 0}, {500, 0}}, 0, 10);
    EXPECT_EQ(plan.Units, English);
    EXPECT_EQ(plan.Conductors[0].Points[0].Z, 50);
    EXPECT_EQ(plan.Conductors[0].Points[0].Y, -10);
    EXPECT_NEAR(plan.Conductors[0].Diameter, 1.108, 1e-5); // 2.54 and 0.3937 are not reciprocals
    EXPECT_LE(plan.Grid.Y0, -110); // 10 ft out and 100 ft more
}

TEST_F(BuildSpansTest, RefusesRoutesAndConductorsThatCannotBeLaidOut) {
    const TScenario& section = Section({{.X = 0, .Y = 10, .VoltageKv = 69}});
    for (const std::vector<TPlanCorner>& route :
         std::vector<std::vector<TPlanCorner>>{{{0, 0}},
                                               {{0, 0}, {0, 0}},
                                               {{0, 0}, {100, 0}, {0, 10}},
                                               {{0, 0}, {NAN, 0}}}) {
        EXPECT_TRUE(std::holds_alternative<TMapInputError>(BuildSpans(section, route, 0, 1)));
    }
    const std::vector<TPlanCorner> route = {{0, 0}, {100, 0}};
    EXPECT_TRUE(std::holds_alternative<TMapInputError>(BuildSpans(section, route, 0, -1)));
    EXPECT_TRUE(std::holds_alternative<TMapInputError>(BuildSpans(section, route, 1e-3, 1)));
    // A turn of 140° is still a corner.
    const std::vector<TPlanCorner> sharp = {{0, 0}, {100, 0}, {100 - 76.6, 64.3}};
    EXPECT_TRUE(std::holds_alternative<TPlan>(BuildSpans(section, sharp, 0, 1)));
    TEmfProject cables;
    TScenario& underground = corvalt::testing::AddScenario(cables);
    corvalt::testing::AddConductors(corvalt::testing::AddCircuit(underground),
                                    {{.X = 0, .Y = -1.2f, .VoltageKv = 138, .Id = "cable"}});
    const auto refused = BuildSpans(underground, route, 0, 1);
    ASSERT_TRUE(std::holds_alternative<TMapInputError>(refused));
    EXPECT_NE(std::get<TMapInputError>(refused).Message.find("\"cable\""), std::string::npos);
}

// A crossing: the second line's ids that the first holds get a number; the
// grid covers both.
TEST_F(BuildSpansTest, TwoLinesMergeIntoOnePlan) {
    const TScenario& section = Section({{.X = 0, .Y = 10, .VoltageKv = 69, .Id = "1A1"}});
    TPlan plan = Built(section, {{-100, 0}, {100, 0}}, 0, 2);
    const TPlan other = Built(section, {{0, -300}, {0, 300}}, 0, 2);
    ASSERT_FALSE(MergePlan(plan, other).has_value());
    ASSERT_EQ(plan.Conductors.size(), 2u);
    EXPECT_EQ(plan.Conductors[1].Id, "1A1 (2)");
    EXPECT_LE(plan.Grid.Y0, -300);
    EXPECT_LE(plan.Grid.X0, -100);
    EXPECT_EQ(plan.Grid.Step, std::min(Built(section, {{-100, 0}, {100, 0}}, 0, 2).Grid.Step,
                                       other.Grid.Step));
    TPlan feet = other;
    feet.Units = English;
    EXPECT_TRUE(MergePlan(plan, feet).has_value());
}

} // namespace
