// The series a plot draws from a profile: the records in lateral order, the
// values in their plot units, a gap (a new run) wherever a value is missing,
// and the cursor read-out interpolated between records, "n/a" over a gap.
#include "plots/ProfileSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace corvalt {
namespace {

TCalcResult Record(float dist, std::optional<float> e, std::optional<float> bGauss = 0.01f) {
    TCalcResult r;
    r.Dist = dist;
    r.DistM = dist;
    r.EMax = e;
    r.BMax = bGauss;
    return r;
}

// In the order of a cross section's results: ROW edges, a point of interest
// (where E could not be computed), then the regular steps left to right.
std::vector<TCalcResult> Profile() {
    return {
        Record(-10, 1.0f),       // ROW left
        Record(10, 3.0f),        // ROW right
        Record(0, std::nullopt), // a point of interest on a conductor
        Record(-12, 0.5f),       // steps
        Record(-5, 2.0f),        Record(5, 4.0f), Record(12, std::nullopt),
    };
}

TEST(QuantityRuns, FollowTheProfileLeftToRightAndBreakAtEveryMissingValue) {
    const std::vector<TPlotRun> runs = QuantityRuns(Profile(), TPlotQuantity::EField);
    const std::vector<TPlotRun> expected = {
        {{-12, 0.5}, {-10, 1.0}, {-5, 2.0}},
        {{5, 4.0}, {10, 3.0}},
    };
    EXPECT_EQ(runs, expected);
}

// Points of interest are computed where they are; one beyond the regular steps
// has nothing computed between it and the profile.
std::vector<TCalcResult> ProfileWithPointsBeyondTheSteps() {
    std::vector<TCalcResult> records = {Record(-30, 0.2f), Record(8, 3.5f), Record(40, 0.1f)};
    for (TCalcResult& point : records)
        point.IsMarked = 1;
    for (const float x : {-12.0f, -6.0f, 0.0f, 6.0f, 12.0f})
        records.push_back(Record(x, 2.0f + x / 6));
    return records;
}

TEST(QuantityRuns, PointsBeyondTheRegularStepsStandAlone) {
    const std::vector<TPlotRun> runs =
        QuantityRuns(ProfileWithPointsBeyondTheSteps(), TPlotQuantity::EField);
    const std::vector<TPlotRun> expected = {
        {{-30, 0.2}},
        {{-12, 0.0}, {-6, 1.0}, {0, 2.0}, {6, 3.0}, {8, 3.5}, {12, 4.0}},
        {{40, 0.1}},
    };
    ASSERT_EQ(runs.size(), expected.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ASSERT_EQ(runs[i].size(), expected[i].size()) << "run " << i;
        for (std::size_t j = 0; j < runs[i].size(); ++j) {
            EXPECT_DOUBLE_EQ(runs[i][j].X, expected[i][j].X);
            EXPECT_NEAR(runs[i][j].Y, expected[i][j].Y, 1e-6);
        }
    }
}

TEST(QuantityRuns, PointsAtTheEndsOfTheRegularStepsJoinTheProfile) {
    std::vector<TCalcResult> records = {Record(-12, 1.0f), Record(12, 3.0f)};
    for (TCalcResult& point : records)
        point.IsMarked = 1;
    for (const float x : {-12.0f, 0.0f, 12.0f})
        records.push_back(Record(x, 2.0f + x / 12));
    const std::vector<TPlotRun> expected = {
        {{-12, 1.0}, {-12, 1.0}, {0, 2.0}, {12, 3.0}, {12, 3.0}}};
    EXPECT_EQ(QuantityRuns(records, TPlotQuantity::EField), expected);
}

TEST(QuantityAt, NothingBetweenTheProfileAndAPointBeyondIt) {
    const std::vector<TCalcResult> records = ProfileWithPointsBeyondTheSteps();
    EXPECT_FALSE(QuantityAt(records, TPlotQuantity::EField, -20).has_value());
    EXPECT_FALSE(QuantityAt(records, TPlotQuantity::EField, 26).has_value());
    EXPECT_NEAR(*QuantityAt(records, TPlotQuantity::EField, -30), 0.2, 1e-6);
    EXPECT_NEAR(*QuantityAt(records, TPlotQuantity::EField, 40), 0.1, 1e-6);
    // A point within the steps joins them: halfway from 6 (3.0) to 8 (3.5).
    EXPECT_NEAR(*QuantityAt(records, TPlotQuantity::EField, 7), 3.25, 1e-6);
}

TEST(QuantityRuns, HoldEveryComputedPointOnceAndNoZeroForAGap) {
    std::vector<TCalcResult> records = Profile();
    records[4].EMax = std::numeric_limits<float>::quiet_NaN(); // not a number: a gap too
    const std::vector<TPlotRun> runs = QuantityRuns(records, TPlotQuantity::EField);
    std::size_t points = 0;
    for (const TPlotRun& run : runs) {
        EXPECT_FALSE(run.empty());
        for (const TPlotPoint& point : run) {
            EXPECT_NE(point.Y, 0.0);
            EXPECT_TRUE(std::isfinite(point.Y));
        }
        points += run.size();
    }
    EXPECT_EQ(points, 4u); // -12, -10, 5, 10
    EXPECT_EQ(runs.size(), 2u);
}

TEST(QuantityRuns, WithoutAnyValueThereIsNothingToDraw) {
    std::vector<TCalcResult> records = {Record(0, std::nullopt), Record(1, std::nullopt)};
    EXPECT_TRUE(QuantityRuns(records, TPlotQuantity::EField).empty());
    EXPECT_TRUE(QuantityRuns({}, TPlotQuantity::EField).empty());
}

TEST(QuantityValue, UsesEachQuantitysPlotUnit) {
    TCalcResult r = Record(0, 1.5f, 0.0123f);
    r.AnRainL50 = 40.f;
    r.AnFairL50 = 15.f;
    r.RiRain = 50.f;
    r.RiFair = 33.f;
    r.TviRain = 12.f;
    r.Ozone = 2e-5f;
    EXPECT_DOUBLE_EQ(*QuantityValue(r, TPlotQuantity::EField), 1.5);
    // Gauss to milligauss: 0.0123 G = 12.3 mG.
    EXPECT_NEAR(*QuantityValue(r, TPlotQuantity::BField), 12.3, 1e-5);
    EXPECT_DOUBLE_EQ(*QuantityValue(r, TPlotQuantity::AnRain), 40.0);
    EXPECT_DOUBLE_EQ(*QuantityValue(r, TPlotQuantity::AnFair), 15.0);
    EXPECT_DOUBLE_EQ(*QuantityValue(r, TPlotQuantity::RiRain), 50.0);
    EXPECT_DOUBLE_EQ(*QuantityValue(r, TPlotQuantity::RiFair), 33.0);
    EXPECT_DOUBLE_EQ(*QuantityValue(r, TPlotQuantity::TviRain), 12.0);
    EXPECT_NEAR(*QuantityValue(r, TPlotQuantity::Ozone), 2e-5, 1e-12);
    r.BMax = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(QuantityValue(r, TPlotQuantity::BField));
}

TEST(QuantityAt, InterpolatesBetweenRecordsAndSaysNothingOverAGap) {
    const std::vector<TCalcResult> records = Profile();
    struct TCase {
        double X;
        std::optional<double> E;
    };
    const TCase cases[] = {
        {-12, 0.5},            // at the first record
        {-11, 0.75},           // halfway between -12 (0.5) and -10 (1.0)
        {-7.5, 1.5},           // halfway between -10 (1.0) and -5 (2.0)
        {-6, 1.8},             // a fifth of the way back from -5
        {-2.5, std::nullopt},  // between -5 and the point without a value
        {0, std::nullopt},     // on it
        {7.5, 3.5},            // between 5 (4.0) and 10 (3.0)
        {11, std::nullopt},    // towards the record without a value
        {-12.5, std::nullopt}, // beyond the profile
        {12.5, std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.X);
        const std::optional<double> e = QuantityAt(records, TPlotQuantity::EField, c.X);
        ASSERT_EQ(e.has_value(), c.E.has_value());
        if (c.E) {
            EXPECT_NEAR(*e, *c.E, 1e-12);
        }
    }
}

TEST(QuantityAt, TakesTheValueOfEitherRecordAtTheSamePlace) {
    // A point of interest on the ROW edge has a record of its own there.
    std::vector<TCalcResult> records = {Record(-10, std::nullopt), Record(-10, 2.0f),
                                        Record(0, 4.0f)};
    EXPECT_DOUBLE_EQ(*QuantityAt(records, TPlotQuantity::EField, -10), 2.0);
    EXPECT_DOUBLE_EQ(*QuantityAt(records, TPlotQuantity::EField, -5), 3.0);
}

TEST(ReadoutText, NamesEveryQuantityWithItsUnitAndNaForMissingValues) {
    std::vector<TCalcResult> records = {Record(0, 1.0f, 0.010f), Record(10, 2.0f, 0.020f)};
    const std::string text = ReadoutText(records, 5, "ft");
    EXPECT_EQ(text.rfind("x 5.0 ft", 0), 0u) << text;
    EXPECT_NE(text.find("E 1.50 kV/m"), std::string::npos) << text;
    EXPECT_NE(text.find("B 15.0 mG"), std::string::npos) << text;
    EXPECT_NE(text.find("AN rain n/a dBA"), std::string::npos) << text;
    EXPECT_NE(text.find("Ozone n/a ppb"), std::string::npos) << text;
    EXPECT_EQ(text.find("nan"), std::string::npos);

    // Each field is followed by its resultant, interpolated alike:
    // (1.25 + 2.75) / 2 = 2.00 kV/m and (0.011 + 0.023) / 2 G = 17.0 mG.
    records[0].EResultant = 1.25f;
    records[1].EResultant = 2.75f;
    records[0].BResultant = 0.011f;
    records[1].BResultant = 0.023f;
    EXPECT_NE(ReadoutText(records, 5, "ft")
                  .find("E 1.50 kV/m   E resultant 2.00 kV/m   B 15.0 mG   B resultant 17.0 mG"),
              std::string::npos);
}

TEST(PlotNumber, FixedDecimalsSignificantDigitsAndNa) {
    EXPECT_EQ(PlotNumber(1.236, 2), "1.24");
    EXPECT_EQ(PlotNumber(246.44, 1), "246.4");
    EXPECT_EQ(PlotNumber(0.0000123456, -3), "1.23e-05");
    EXPECT_EQ(PlotNumber(std::nullopt, 2), "n/a");
    EXPECT_EQ(PlotNumber(std::numeric_limits<double>::quiet_NaN(), 2), "n/a");
    EXPECT_EQ(PlotNumber(std::numeric_limits<double>::infinity(), 2), "n/a");
}

} // namespace
} // namespace corvalt
