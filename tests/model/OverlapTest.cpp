// Outer radii of conductors, when two outer circles meet, and the sweep that
// finds every such pair against a plain comparison of all pairs.
#include "model/Overlap.h"
#include "model/Bundle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

using namespace corvalt;

TEST(Overlap, OuterRadiusOfConductorsAndBundles) {
    struct Case {
        const char* name;
        int n;
        float diameterMm, spacingCm;
        double radiusM;
    };
    // A bundle's circle through the sub-conductor centres has the diameter
    // s ÷ sin(π ÷ n); the outer radius adds one sub-conductor radius.
    const Case cases[] = {
        {"single 25.4 mm", 1, 25.4f, 0, 0.0127},
        {"2 x 30 mm at 45 cm: 22.5 + 1.5 cm", 2, 30, 45, 0.24},
        {"4 x 30 mm at 45 cm: 45 / (2 sin 45°) + 1.5 cm", 4, 30, 45, 0.45 / std::sqrt(2.0) + 0.015},
        {"bundle without spacing: the sub-conductor", 2, 30, 0, 0.015},
        {"no sub-conductors: the sub-conductor", 0, 30, 45, 0.015},
        {"no diameter", 1, 0, 0, 0},
        {"negative diameter", 2, -30, 45, 0},
        {"diameter not a number", 1, std::nanf(""), 0, 0},
        {"infinite spacing", 2, 30, std::numeric_limits<float>::infinity(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(ConductorOuterRadiusM(c.n, c.diameterMm, c.spacingCm), c.radiusM, 1e-7);
    }
}

TEST(Overlap, CirclesMeetWhenTheyShareAPoint) {
    struct Case {
        const char* name;
        TConductorCircle a, b;
        bool meet;
    };
    // Radii and distances exact in binary, so touching is exact.
    const Case cases[] = {
        {"same centre", {1, 10, 0.25}, {1, 10, 0.25}, true},
        {"apart", {0, 10, 0.25}, {0.75, 10, 0.25}, false},
        {"overlapping", {0, 10, 0.25}, {0.25, 10, 0.25}, true},
        {"touching side by side", {0, 10, 0.25}, {0.5, 10, 0.25}, true},
        {"touching one above the other", {0, 10, 0.125}, {0, 10.5, 0.375}, true},
        // 3-4-5 triangle: centres 1.25 apart, radii 0.5 + 0.75.
        {"touching on a slant", {0, 10, 0.5}, {0.75, 11, 0.75}, true},
        {"just apart on a slant", {0, 10, 0.5}, {0.75, 11, 0.74}, false},
        {"points at the same place", {2, 3, 0}, {2, 3, 0}, true},
        {"points apart", {2, 3, 0}, {2, 3.0001, 0}, false},
        {"position not a number", {NAN, 3, 1}, {0, 3, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CirclesMeet(c.a, c.b), c.meet);
        EXPECT_EQ(CirclesMeet(c.b, c.a), c.meet);
    }
}

TEST(Overlap, SweepFindsExactlyThePairsOfAPlainComparison) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> x(-30, 30), y(5, 40), r(0, 0.6);
    std::uniform_int_distribution<int> count(0, 60), odd(0, 9);
    for (int k = 0; k < 300; ++k) {
        SCOPED_TRACE(k);
        std::vector<TConductorCircle> circles;
        const int n = count(rng);
        for (int i = 0; i < n; ++i) {
            TConductorCircle c{x(rng), y(rng), r(rng)};
            switch (odd(rng)) {
            case 0: // stacked on an earlier one, or at its x
                if (!circles.empty()) c = circles.back();
                break;
            case 1:
                if (!circles.empty()) c.X = circles.front().X;
                break;
            case 2:
                c.X = std::nan("");
                break;
            case 3:
                c.Radius = 0;
                break;
            default:
                break;
            }
            circles.push_back(c);
        }
        std::set<std::pair<int, int>> expected, sameX, visited;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const TConductorCircle& a = circles[static_cast<std::size_t>(i)];
                const TConductorCircle& b = circles[static_cast<std::size_t>(j)];
                if (CirclesMeet(a, b)) expected.insert({i, j});
                if (a.X == b.X) sameX.insert({i, j});
            }
        std::set<std::pair<int, int>> found;
        ForEachPairMeetingInX(circles, [&](int i, int j) {
            ASSERT_LT(i, j);
            EXPECT_TRUE(visited.insert({i, j}).second) << "visited twice";
            if (CirclesMeet(circles[static_cast<std::size_t>(i)],
                            circles[static_cast<std::size_t>(j)]))
                found.insert({i, j});
        });
        EXPECT_EQ(found, expected);
        for (const auto& pair : sameX)
            EXPECT_TRUE(visited.count(pair)) << pair.first << " " << pair.second;
        const TIndexPair first = FirstMeetingPair(circles);
        ASSERT_EQ(first.Found(), !expected.empty());
        if (first.Found()) {
            EXPECT_EQ(std::make_pair(first.First, first.Second), *expected.begin());
        }
    }
}

TEST(Overlap, SweepComparesOnlyNeighboursInX) {
    // 2000 conductors 1 m apart in a row: no pair's extents meet, so nothing is
    // visited (a plain comparison would look at 1999000 pairs).
    std::vector<TConductorCircle> row;
    for (int i = 0; i < 2000; ++i)
        row.push_back({(i * 7919 % 2000) * 1.0, 10, 0.02});
    int visits = 0;
    ForEachPairMeetingInX(row, [&](int, int) { ++visits; });
    EXPECT_EQ(visits, 0);
    EXPECT_FALSE(FirstMeetingPair(row).Found());
    row.push_back({1234.01, 10, 0.02});
    const TIndexPair pair = FirstMeetingPair(row);
    EXPECT_EQ(pair.Second, 2000);
    EXPECT_EQ(row[static_cast<std::size_t>(pair.First)].X, 1234);
}
