// The EMF map report: footprints judged against the limits with a field worked
// out by hand, and the pages each plan takes.
#include "ReportTestSupport.h"

#include "limits/FieldLimits.h"
#include "reports/ReptMAP.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvalt {
namespace {

using test::CommandsOf;

// A ground wire 20 km long along the x axis, 11 m up, carrying `current`
// (0 V: the electric field is nil); the grid 1 m above ground from y = 20 to
// 50 m. "Yard" holds the grid points at y = 30, 35 and 40 m, "Shed" none.
TPlan WirePlan(const std::string& name, double current) {
    TPlan plan;
    plan.Name = name;
    plan.Units = Metric;
    TPlanConductor wire;
    wire.Id = "G1";
    wire.IsGround = true;
    wire.CurrentA = current;
    wire.Diameter = 20;
    wire.Points = {{-10000, 0, 11}, {10000, 0, 11}};
    plan.Conductors = {wire};
    plan.Grid = {-10, 10, 20, 50, 5, 1};
    plan.Footprints = {{"Yard", {{-5, 28}, {5, 28}, {5, 42}, {-5, 42}}},
                       {"Shed", {{1, 21}, {2, 21}, {2, 22}, {1, 22}}}};
    return plan;
}

TEST(MapReport, FootprintsAreJudgedByTheEdgeLimitsOfThePlansClass) {
    // Nearest the wire, at y = 30 m and 10 m below it: d = √1000 m, and a long
    // straight current gives B = µ0·I / (2π·d) = 2·I / d mG (I in A, d in m).
    const double distance = std::sqrt(30.0 * 30.0 + 10.0 * 10.0);
    struct TCase {
        double Current;
        std::optional<float> BLimit;
        TLimitStatus Expected;
    };
    const TCase cases[] = {
        {2000, 150.0f, TLimitStatus::Within}, // 126.5 mG
        {2500, 150.0f, TLimitStatus::Over},   // 158.1 mG
        {2000, 120.0f, TLimitStatus::Over},          {2000, 127.0f, TLimitStatus::Within},
        {2000, std::nullopt, TLimitStatus::NoLimit},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Current);
        const TPlan plan = WirePlan("Wire", c.Current);
        const space::TMapRun run = space::ComputeFieldMap(plan);
        ASSERT_EQ(run.Outcome, space::TMapOutcome::Computed) << run.Message;
        TFieldLimits limits = DefaultFieldLimits();
        limits.For(TLimitClass::Line230).BAtEdge = c.BLimit;
        const TFootprintLimits judged = FootprintLimitsOf(plan, run.Map, limits);

        EXPECT_EQ(judged.Class, TLimitClass::Line230); // no phase above 242 kV
        ASSERT_EQ(judged.Footprints.size(), 2u);
        const TFootprintVerdict& yard = judged.Footprints[0];
        ASSERT_TRUE(yard.BPeak.has_value());
        EXPECT_NEAR(yard.BPeak->Value, 2 * c.Current / distance, 1e-3 * 2 * c.Current / distance);
        EXPECT_EQ(yard.BPeak->Y, 30.0f);
        EXPECT_EQ(yard.B.Status(), c.Expected);
        // The edge limit of electric field holds for the nil field.
        ASSERT_TRUE(yard.E.Value.has_value());
        EXPECT_LT(*yard.E.Value, 1e-6f);
        EXPECT_EQ(yard.E.Status(), TLimitStatus::Within);
        EXPECT_EQ(*yard.E.Limit, 2.0f);
        // No grid point lies in the shed: where a limit applies it cannot be shown to hold.
        const TFootprintVerdict& shed = judged.Footprints[1];
        EXPECT_FALSE(shed.BPeak.has_value());
        EXPECT_EQ(shed.E.Status(), TLimitStatus::NotComputed);
        const bool bLimited = c.BLimit.has_value();
        EXPECT_EQ(shed.B.Status(), bLimited ? TLimitStatus::NotComputed : TLimitStatus::NoLimit);
        EXPECT_EQ(judged.Count, bLimited ? 4 : 2);
        EXPECT_EQ(judged.NotComputed, bLimited ? 2 : 1);
        EXPECT_EQ(judged.Over, c.Expected == TLimitStatus::Over ? 1 : 0);
    }
}

// Each plan takes a page for each map and one for its tables; a plan that
// cannot be mapped one page, saying why.
TEST(MapReport, PagesPerPlan) {
    auto project = test::MakeProject(Metric);
    project->Plans = {WirePlan("First", 1000), WirePlan("Second", 500), WirePlan("Broken", 500)};
    project->Plans[2].Grid.Step = 0; // refused: no grid
    struct TCase {
        std::vector<std::size_t> Plans;
        std::size_t Pages;
        std::size_t Failures;
    };
    for (const TCase& c : {TCase{{0}, 3, 0}, TCase{{0, 1}, 6, 0}, TCase{{2, 1}, 4, 1}}) {
        std::vector<const TPlan*> plans;
        for (const std::size_t i : c.Plans)
            plans.push_back(&project->Plans[i]);
        TReptMAP report(*project, plans, DefaultFieldLimits());
        const TPageList pages = test::RunReport(report);
        ASSERT_EQ(pages.Pages.size(), c.Pages);
        EXPECT_EQ(report.ComputeFailures().size(), c.Failures);
        // Both maps are pictures with their fill under them; the tables' page has neither.
        const std::size_t maps = c.Failures == 0 ? 0 : 1;
        for (std::size_t p = maps; p < pages.Pages.size(); p += 3) {
            EXPECT_EQ(CommandsOf<TPictureCmd>(pages.Pages[p]).size(), 1u);
            EXPECT_EQ(CommandsOf<TBitmapCmd>(pages.Pages[p + 1]).size(), 1u);
            EXPECT_TRUE(CommandsOf<TPictureCmd>(pages.Pages[p + 2]).empty());
            EXPECT_TRUE(pages.Pages[p + 2].PlainText().contains(QStringLiteral("within")));
        }
        if (c.Failures > 0) {
            EXPECT_TRUE(
                pages.Pages[0].PlainText().contains(QStringLiteral("could not be computed")));
        }
    }
}

} // namespace
} // namespace corvalt
