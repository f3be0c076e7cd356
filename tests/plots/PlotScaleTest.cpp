// Drawing a plot at a size: two y axes whose ticks fall at the same heights
// with round steps (worked by hand), and runs thinned to two points per pixel
// column that keep every column's lowest and highest value (against a brute
// force over random runs).
#include "plots/PlotScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace corvalt {
namespace {

void ExpectScale(const TAxisScale& scale, double low, double step, int intervals) {
    EXPECT_DOUBLE_EQ(scale.Low, low);
    EXPECT_DOUBLE_EQ(scale.Step, step);
    EXPECT_EQ(scale.Intervals, intervals);
}

TEST(SharedScales, BothAxesGetRoundStepsOverTheSameNumberOfIntervals) {
    // E up to 2.36 kV/m, B up to 246.4 mG. Five intervals of 0.5 and of 50
    // leave 0.14 of 2.5 and 3.6 of 250 empty; four (1 and 100) leave 1.64 of
    // 4 and 153.6 of 400, six (0.5, 50) 0.64 of 3 and 53.6 of 300.
    const TSharedScales fields = SharedScales(0, 2.36, std::pair{0.0, 246.4});
    ExpectScale(fields.Left, 0, 0.5, 5);
    ASSERT_TRUE(fields.Right.has_value());
    ExpectScale(*fields.Right, 0, 50, 5);

    // One axis, 0 to 7.3: four steps of 2 and eight of 1 both end at 8; the
    // fewer intervals win the tie.
    const TSharedScales one = SharedScales(0, 7.3, std::nullopt);
    ExpectScale(one.Left, 0, 2, 4);
    EXPECT_FALSE(one.Right.has_value());

    // Levels in dB from -3 to 47: six steps of 10 from -10 to 50 leave 10 of
    // 60 empty; four of 20 from -20 to 60 leave 30 of 80.
    ExpectScale(SharedScales(-3, 47, std::nullopt).Left, -10, 10, 6);

    // A flat line still gets a scale that holds it.
    const TAxisScale flat = SharedScales(0, 0, std::pair{40.0, 40.0}).Right.value();
    EXPECT_LE(flat.Low, 40);
    EXPECT_GE(flat.High(), 44);
}

TEST(SharedScales, NiceStepsAreOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(NiceStepAtLeast(0.59), 1);
    EXPECT_DOUBLE_EQ(NiceStepAtLeast(41.07), 50);
    EXPECT_DOUBLE_EQ(NiceStepAtLeast(0.0021), 0.005);
    EXPECT_DOUBLE_EQ(NiceStepAtLeast(200), 200); // a nice value is its own step
    EXPECT_DOUBLE_EQ(NiceStepAtLeast(0), 1);
}

TEST(ThinnedRun, KeepsEveryColumnsLowestAndHighestAndTheNeighboursBeyond) {
    std::mt19937 random(21);
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE(trial);
        // A profile of 0 to 5,000 points at random rising x, random values.
        const int count = std::uniform_int_distribution<int>(0, 5000)(random);
        TPlotRun run;
        double x = std::uniform_real_distribution<double>(-100, 0)(random);
        for (int i = 0; i < count; ++i) {
            x += std::uniform_real_distribution<double>(0.01, 0.5)(random);
            run.push_back({x, std::uniform_real_distribution<double>(-5, 5)(random)});
        }
        const int columns = std::uniform_int_distribution<int>(1, 900)(random);
        const double xLow = std::uniform_real_distribution<double>(-120, 100)(random);
        const double xHigh = xLow + std::uniform_real_distribution<double>(1, 400)(random);
        const TPlotRun thinned = ThinnedRun(run, xLow, xHigh, columns);
        if (run.size() <= 2 * static_cast<std::size_t>(columns) + 2) {
            EXPECT_EQ(thinned, run);
            continue;
        }
        // A subsequence of the run, in its order.
        auto at = run.begin();
        for (const TPlotPoint& point : thinned) {
            at = std::find(at, run.end(), point);
            ASSERT_NE(at, run.end());
            ++at;
        }
        // Per column: at most two points, the lowest and the highest there.
        const auto column = [&](double px) {
            return std::clamp(static_cast<int>((px - xLow) / (xHigh - xLow) * columns), 0,
                              columns - 1);
        };
        struct TColumn {
            int Count = 0;
            double Low = 1e300, High = -1e300;
            void Add(double y) {
                ++Count;
                Low = std::min(Low, y);
                High = std::max(High, y);
            }
        };
        std::vector<TColumn> all(static_cast<std::size_t>(columns)), kept(all.size());
        const auto tally = [&](const TPlotRun& points, std::vector<TColumn>& into) {
            for (const TPlotPoint& p : points)
                if (p.X >= xLow && p.X <= xHigh) into[static_cast<std::size_t>(column(p.X))].Add(p.Y);
        };
        tally(run, all);
        tally(thinned, kept);
        for (std::size_t c = 0; c < all.size(); ++c) {
            ASSERT_EQ(all[c].Count == 0, kept[c].Count == 0) << "column " << c;
            EXPECT_LE(kept[c].Count, 2);
            EXPECT_EQ(kept[c].Low, all[c].Low);
            EXPECT_EQ(kept[c].High, all[c].High);
        }
        // The nearest point beyond each end carries the line to the plot's edge.
        const auto before = std::find_if(run.rbegin(), run.rend(),
                                         [&](const TPlotPoint& p) { return p.X < xLow; });
        const auto after =
            std::find_if(run.begin(), run.end(), [&](const TPlotPoint& p) { return p.X > xHigh; });
        if (before != run.rend()) {
            EXPECT_EQ(thinned.front(), *before);
        }
        if (after != run.end()) {
            EXPECT_EQ(thinned.back(), *after);
        }
    }
}

} // namespace
} // namespace corvalt
