// Iso-lines by marching squares against lines known by hand: circles of a
// radial field, a straight line of a field growing in x that ends at the
// grid's border or at a point without value, and both readings of a saddle.
#include "plots/MapContours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace corvalt;

namespace {

struct TField {
    std::vector<float> X, Y, Values;
    TGridValues View() const { return {X, Y, Values}; }
};

template <class F>
TField Sampled(float x0, float x1, float y0, float y1, float step, F f) {
    TField field;
    for (float x = x0; x <= x1 + step / 2; x += step) field.X.push_back(x);
    for (float y = y0; y <= y1 + step / 2; y += step) field.Y.push_back(y);
    for (const float y : field.Y)
        for (const float x : field.X) field.Values.push_back(f(double(x), double(y)));
    return field;
}

double Area(const std::vector<TPlanXY>& ring) {
    double twice = 0;
    for (std::size_t k = 0; k < ring.size(); ++k) {
        const TPlanXY& a = ring[k];
        const TPlanXY& b = ring[(k + 1) % ring.size()];
        twice += a.X * b.Y - b.X * a.Y;
    }
    return std::abs(twice) / 2;
}

} // namespace

// f = r: the line at 6 is the circle of radius 6. Linear interpolation along
// an edge of 0.5 misses the circle by at most h²/(8r) ≈ 0.005; the polygon
// through ~100 points on it holds π r² to well within 0.5 %.
TEST(IsoLines, ARadialFieldGivesOneClosedCircle) {
    const TField field = Sampled(-10, 10, -10, 10, 0.5f,
                                 [](double x, double y) { return std::hypot(x, y); });
    const auto lines = IsoLines(field.View(), 6);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].Closed);
    ASSERT_GT(lines[0].Points.size(), 60u);
    for (const TPlanXY& p : lines[0].Points) EXPECT_NEAR(std::hypot(p.X, p.Y), 6.0, 0.01);
    EXPECT_NEAR(Area(lines[0].Points), std::numbers::pi * 36, 0.005 * std::numbers::pi * 36);

    // Two levels, two rings; none beyond the grid's largest value.
    EXPECT_EQ(IsoLines(field.View(), 2).size(), 1u);
    EXPECT_EQ(IsoLines(field.View(), 15).size(), 0u);
}

// f = x: the line at 2.5 runs straight across, from border to border. A
// point without value at (2, 1) removes the four cells round it: the line at
// 1.5 passes only through them and is gone, the line at 3.5 does not touch
// them.
TEST(IsoLines, LinesEndAtTheBorderAndAtPointsWithoutValue) {
    TField field = Sampled(0, 4, 0, 2, 1, [](double x, double) { return x; });
    auto lines = IsoLines(field.View(), 2.5f);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FALSE(lines[0].Closed);
    ASSERT_EQ(lines[0].Points.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(lines[0].Points[k].X, 2.5);
    EXPECT_DOUBLE_EQ(std::abs(lines[0].Points[2].Y - lines[0].Points[0].Y), 2.0);

    field.Values[1 * 5 + 2] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(IsoLines(field.View(), 1.5f).size(), 0u);
    lines = IsoLines(field.View(), 3.5f);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points.size(), 3u);
}

// One cell, 1 at (0,0) and (1,1), 0 at the two other corners; mean 0.5.
// Level 0.5: the middle counts as above, the lines cut off the low corners:
// (0.5,0)–(1,0.5) and (0.5,1)–(0,0.5). Level 0.6: the middle is below, the
// lines cut off the high corners: (0,0.4)–(0.4,0) and (1,0.6)–(0.6,1).
TEST(IsoLines, TheMeanOfASaddleDecidesWhichCornersTheLinesCutOff) {
    const TField field{{0, 1}, {0, 1}, {1, 0, 0, 1}};
    const auto ends = [&](float level) {
        std::vector<std::vector<double>> found;
        for (const TIsoLine& line : IsoLines(field.View(), level)) {
            EXPECT_EQ(line.Points.size(), 2u);
            std::vector<double> e = {line.Points.front().X, line.Points.front().Y,
                                     line.Points.back().X, line.Points.back().Y};
            if (e[0] > e[2] || (e[0] == e[2] && e[1] > e[3])) e = {e[2], e[3], e[0], e[1]};
            found.push_back(e);
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    const auto near = [](const std::vector<std::vector<double>>& got,
                         const std::vector<std::vector<double>>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            for (std::size_t c = 0; c < 4; ++c) EXPECT_NEAR(got[k][c], want[k][c], 1e-6);
    };
    near(ends(0.5f), {{0, 0.5, 0.5, 1}, {0.5, 0, 1, 0.5}});
    near(ends(0.6f), {{0, 0.4, 0.4, 0}, {0.6, 1, 1, 0.6}});
}
