// The lateral profile: step counts and positions in both measurement systems,
// the record order, the maxima's tie rules, and rights of way that cannot be
// laid out.
#include "compute/Profile.h"
#include "model/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvalt;

namespace {

TCalcResult WithFields(std::optional<float> e, std::optional<float> b = std::nullopt) {
    TCalcResult r;
    r.EMax = e;
    r.BMax = b;
    return r;
}

} // namespace

TEST(Profile, MetricStepsEveryQuarterMetreWithATwoMetreMargin) {
    const auto steps = RegularStepPositionsM(15, 20, Metric);
    ASSERT_TRUE(steps.has_value());
    ASSERT_EQ(steps->size(), 157u);
    for (std::size_t i = 0; i < steps->size(); ++i)
        ASSERT_EQ((*steps)[i], -17.0f + 0.25f * static_cast<float>(i)); // exact in binary
    // A whole ROW value still gets its margin; a fractional one rounds outward.
    EXPECT_EQ(RegularStepPositionsM(48, 48, Metric)->front(), -50.0f);
    EXPECT_EQ(RegularStepPositionsM(15.1f, 3.2f, Metric)->front(), -18.0f);
    EXPECT_EQ(RegularStepPositionsM(15.1f, 3.2f, Metric)->back(), 6.0f);
    EXPECT_DOUBLE_EQ(RegularStepCountEstimate(15, 20, Metric), 157);
    // Reaching 30 m beyond the ROW instead of 2 m: -45 to 50 m; less than the
    // margin keeps the margin.
    const auto further = RegularStepPositionsM(15, 20, Metric, 30);
    ASSERT_TRUE(further.has_value());
    EXPECT_EQ(further->front(), -45.0f);
    EXPECT_EQ(further->back(), 50.0f);
    EXPECT_EQ(further->size(), 381u);
    EXPECT_EQ(RegularStepPositionsM(15, 20, Metric, 1.5)->size(), 157u);
}

TEST(Profile, EnglishStepsEveryFootAccumulatedInSinglePrecision) {
    const float row = FeetToMetres(50); // 50 ft entered
    const auto steps = RegularStepPositionsM(row, row, English);
    ASSERT_TRUE(steps.has_value());
    ASSERT_EQ(steps->size(), 109u);
    EXPECT_DOUBLE_EQ(RegularStepCountEstimate(row, row, English), 109); // with 4 ft margins
    EXPECT_FLOAT_EQ(MetresToFeet(steps->front()), -54.0f);
    // The step of 1 ÷ 3.28 m accumulates rounding: the last record lies a little
    // beyond 54 ft, and is the first to reach the end.
    const float last = MetresToFeet(steps->back());
    EXPECT_GT(last, 54.0f);
    EXPECT_NEAR(last, 54.00004f, 0.00001f);
    EXPECT_LT((*steps)[107], FeetToMetres(54));
    for (std::size_t i = 1; i < steps->size(); ++i)
        ASSERT_NEAR((*steps)[i] - (*steps)[i - 1], 1 / 3.28, 2e-6);
}

TEST(Profile, RecordsInOrderEdgesPointsSteps) {
    const float points[] = {3, -15, 40};
    const auto layout = LayOutProfile(15, 20, points, Metric);
    ASSERT_TRUE(layout.has_value());
    ASSERT_EQ(layout->Records.size(), 2 + 3 + 157u);
    EXPECT_EQ(layout->RowLeftResult, 0);
    EXPECT_EQ(layout->RowRightResult, 1);
    EXPECT_EQ(layout->PointResults, (std::vector<int>{2, 3, 4}));
    const float expected[] = {-15, 20, 3, -15, 40, -17, -16.75f};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(layout->Records[i].DistM, expected[i]);
        EXPECT_EQ(layout->Records[i].IsMarked, i < 5 ? 1 : 0);
    }
    // Without points the steps start at index 2.
    const auto plain = LayOutProfile(15, 20, {}, Metric);
    EXPECT_EQ(plain->Records[2].DistM, -17.0f);
    EXPECT_TRUE(plain->PointResults.empty());
}

TEST(Profile, RecordPositionsInDisplayUnitsAndBack) {
    const TCalcResult english = ProfileRecord(FeetToMetres(-54), false, English);
    EXPECT_FLOAT_EQ(english.Dist, -54.0f);
    EXPECT_EQ(english.DistM, FeetToMetres(-54));
    EXPECT_EQ(RecordPositionM(english, English), FeetToMetres(english.Dist));
    const TCalcResult metric = ProfileRecord(-16.5f, true, Metric);
    EXPECT_EQ(metric.Dist, -16.5f);
    EXPECT_EQ(RecordPositionM(metric, Metric), -16.5f);
    EXPECT_EQ(metric.IsMarked, 1);
}

TEST(Profile, LargestFieldKeepsTheEarliestOfEqualValues) {
    struct Case {
        const char* name;
        std::vector<std::optional<float>> e;
        int expected;
    };
    const Case cases[] = {
        {"strict maximum", {1, 2, 5, 3}, 2},
        {"tie keeps the first", {1, 4, 2, 4}, 1},
        {"edge before step", {4, 1, 4}, 0},
        {"nothing above 0", {0, 0, 0}, 0},
        {"missing values are skipped", {std::nullopt, 2, std::nullopt, 3}, 3},
        {"no values", {std::nullopt, std::nullopt}, 0},
        {"empty", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TCalcResult> records;
        for (const auto& e : c.e)
            records.push_back(WithFields(e));
        EXPECT_EQ(LargestEMaxIndex(records), c.expected);
    }
}

TEST(Profile, RowEdgeWithTheLargerValueAndTheRightOnATie) {
    EXPECT_EQ(LargerRowEdge(2.0f, 1.0f, 0, 1), 0);
    EXPECT_EQ(LargerRowEdge(1.0f, 2.0f, 0, 1), 1);
    EXPECT_EQ(LargerRowEdge(1.5f, 1.5f, 0, 1), 1);
    EXPECT_EQ(LargerRowEdge(std::nullopt, 1.0f, 0, 1), 1);
    EXPECT_EQ(LargerRowEdge(1.0f, std::nullopt, 0, 1), 0);
    EXPECT_EQ(LargerRowEdge(std::nullopt, std::nullopt, 0, 1), 1);
}

TEST(Profile, RightsOfWayThatCannotBeLaidOut) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(RegularStepPositionsM(std::nanf(""), 10, Metric).has_value());
    EXPECT_FALSE(RegularStepPositionsM(10, inf, English).has_value());
    EXPECT_FALSE(RegularStepPositionsM(20000, 20000, Metric).has_value()); // 160 000 steps
    EXPECT_TRUE(RegularStepPositionsM(12000, 12000, Metric).has_value());  // 96 017 steps
    // Far from the reference line a quarter metre no longer moves a float: the
    // layout gives up instead of looping.
    EXPECT_FALSE(RegularStepPositionsM(-1e8f, 1e8f + 50, Metric).has_value());
    // Crossed edges leave one step.
    EXPECT_EQ(RegularStepPositionsM(-30, -30, Metric)->size(), 1u);
}

// The layout's records against the positions laid out on their own: the ROW
// edges, the points, then every regular step, in both units, with a wider
// margin, with crossed edges; and no layout wherever the steps are refused.
TEST(Profile, LayoutHoldsEveryRegularStepAfterEdgesAndPoints) {
    struct Case {
        float Left, Right;
        int Units;
        double Beyond;
    };
    const float points[] = {0.5f, -3};
    const Case cases[] = {{15, 20, Metric, 0},  {15, 20, Metric, 30},   {48, 48, English, 0},
                          {-30, -30, Metric, 0}, {12000, 12000, Metric, 0}, {20000, 20000, Metric, 0},
                          {std::nanf(""), 10, English, 0}, {-1e8f, 1e8f + 50, Metric, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Left);
        const auto steps = RegularStepPositionsM(c.Left, c.Right, c.Units, c.Beyond);
        const auto layout = LayOutProfile(c.Left, c.Right, points, c.Units, c.Beyond);
        ASSERT_EQ(layout.has_value(), steps.has_value());
        if (!steps) continue;
        ASSERT_EQ(layout->Records.size(), 4 + steps->size());
        EXPECT_EQ(layout->Records[0].DistM, -c.Left);
        EXPECT_EQ(layout->Records[1].DistM, c.Right);
        EXPECT_EQ(layout->Records[2].DistM, points[0]);
        EXPECT_EQ(layout->Records[3].DistM, points[1]);
        for (std::size_t i = 0; i < steps->size(); ++i) {
            ASSERT_EQ(layout->Records[4 + i].DistM, (*steps)[i]) << i;
            ASSERT_EQ(layout->Records[4 + i].IsMarked, 0) << i;
        }
    }
}
