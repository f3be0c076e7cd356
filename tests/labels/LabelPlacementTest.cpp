// Where a drawing puts a label: the leader's geometry,
// what counts as meeting, the choice among directions and lengths, and the
// rows of the captions. Numbers in and out, drawing inches.
#include "labels/LabelPlacement.h"

#include <gtest/gtest.h>

#include <random>

namespace corvalt {
namespace {

constexpr double kEps = 1e-12;

// A label 0.5 in long in an 8 pt font, its box 0.06 in above and 0.02 in below
// the baseline, with the leader steps of the largest scale (0.1 in each way).
TLabelRequest Request(QPointF mark, TLeader preferred) {
    TLabelRequest request;
    request.Mark = mark;
    request.Preferred = preferred;
    request.TextWidth = 0.5;
    request.Ascent = 0.06;
    request.Descent = 0.02;
    request.FontHeight = 8.0 / 72;
    request.QuarterShift = true;
    request.Steps = {0.1, 0.1};
    request.LongerSteps = {0.025, 0.05};
    return request;
}

void ExpectPoint(QPointF actual, double x, double y) {
    EXPECT_NEAR(actual.x(), x, kEps);
    EXPECT_NEAR(actual.y(), y, kEps);
}

TEST(LabelPlacement, LeaderAndLabelFollowTheDirectionAndTheLength) {
    const double quarter = 8.0 / 72 / 4; // 0.02778 in
    {
        SCOPED_TRACE("right and down: a stroke to (+dh, +dv), one across, the label after it");
        const TLabelPlace p =
            LabelPlaceFor(Request({1, 2}, TLeader::RightDown), TLeader::RightDown, 1);
        ASSERT_EQ(p.LeaderPoints.size(), 3u);
        ExpectPoint(p.LeaderPoints[1], 1.1, 2.1);
        ExpectPoint(p.LeaderPoints[2], 1.2, 2.1);
        // 0.03 in after the end, 0.02 in below it, a quarter of the font
        // height up as the leader goes down.
        ExpectPoint(p.Baseline, 1.23, 2.12 - quarter);
        EXPECT_NEAR(p.Box.top(), 2.12 - quarter - 0.06, kEps);
        EXPECT_NEAR(p.Box.bottom(), 2.12 - quarter + 0.02, kEps);
        EXPECT_NEAR(p.Box.width(), 0.5, kEps);
    }
    {
        SCOPED_TRACE("left and up: the label ends 0.03 in short of the leader's end");
        const TLabelPlace p = LabelPlaceFor(Request({1, 2}, TLeader::LeftUp), TLeader::LeftUp, 1);
        ExpectPoint(p.LeaderPoints[2], 0.8, 1.9);
        ExpectPoint(p.Baseline, 0.8 - 0.03 - 0.5, 1.92 + quarter);
    }
    {
        SCOPED_TRACE("twice as long: the first stroke doubles, the second stays");
        const TLabelPlace p = LabelPlaceFor(Request({1, 2}, TLeader::RightUp), TLeader::RightUp, 2);
        ExpectPoint(p.LeaderPoints[1], 1.2, 1.8);
        ExpectPoint(p.LeaderPoints[2], 1.3, 1.8);
    }
    {
        SCOPED_TRACE("horizontal: no rise, the label a quarter lower");
        const TLabelPlace p = LabelPlaceFor(Request({1, 2}, TLeader::Left), TLeader::Left, 1);
        ExpectPoint(p.LeaderPoints[1], 0.9, 2);
        ExpectPoint(p.LeaderPoints[2], 0.8, 2);
        ExpectPoint(p.Baseline, 0.27, 2.02 + quarter);
    }
    {
        SCOPED_TRACE("labels printed at their point: none, then the longer steps");
        TLabelRequest request = Request({1, 2}, TLeader::RightDown);
        request.Steps = {0, 0};
        request.QuarterShift = false;
        const TLabelPlace at = LabelPlaceFor(request, TLeader::RightDown, 1);
        EXPECT_TRUE(at.LeaderPoints.empty());
        ExpectPoint(at.Baseline, 1, 2.02);
        const TLabelPlace led = LabelPlaceFor(request, TLeader::RightDown, 2);
        ASSERT_EQ(led.LeaderPoints.size(), 3u);
        ExpectPoint(led.LeaderPoints[2], 1.05, 2.05);
    }
}

TEST(LabelPlacement, SegmentsMeetRectanglesTheyCrossOrTouch) {
    const QRectF box(1, 1, 2, 1); // x 1..3, y 1..2
    const std::pair<QLineF, bool> cases[] = {
        {QLineF(0, 0, 4, 3), true},       // crosses
        {QLineF(2, 0, 2, 5), true},       // a vertical line through it
        {QLineF(3, 0, 3, 0.999), false},  // ends just short of its corner
        {QLineF(3, 0, 3, 1), true},       // touches the corner
        {QLineF(0, 2.5, 5, 2.5), false},  // parallel, below
        {QLineF(1.5, 1.5, 2, 1.8), true}, // inside
        {QLineF(0, 0, 0.9, 5), false},    // passes left of it
        {QLineF(0, 1.5, 1, 1.5), true},   // ends on its left side
    };
    for (const auto& [line, meets] : cases) {
        SCOPED_TRACE(testing::Message()
                     << line.x1() << "," << line.y1() << " " << line.x2() << "," << line.y2());
        EXPECT_EQ(SegmentMeetsRect(line, box), meets);
    }
}

TEST(LabelPlacement, PlaceTakesTheFirstClearDirectionAndLength) {
    const QRectF frame(-5, -5, 10, 5);
    const TLabelRequest request = Request({0, -1}, TLeader::RightDown);
    {
        SCOPED_TRACE("nothing in the way: the preferred leader");
        TLabelLayout layout(frame, 0.01);
        EXPECT_EQ(layout.Place(request).Leader, TLeader::RightDown);
    }
    {
        SCOPED_TRACE("a label below to the right: up to the right");
        TLabelLayout layout(frame, 0.01);
        layout.AddBox(QRectF(0.3, -0.95, 0.5, 0.1));
        const TLabelPlace p = layout.Place(request);
        EXPECT_EQ(p.Leader, TLeader::RightUp);
        EXPECT_EQ(p.LeaderPoints.size(), 3u);
        EXPECT_TRUE(p.Clear);
    }
    {
        SCOPED_TRACE("a line 0.3 in to the right: every leader of that side meets it, "
                     "the left side is next");
        TLabelLayout layout(frame, 0.01);
        layout.AddLine(QLineF(0.3, 0, 0.3, -3));
        EXPECT_EQ(layout.Place(request).Leader, TLeader::LeftUp);
    }
    {
        SCOPED_TRACE("lines close on both sides: a longer leader leads past them");
        TLabelLayout layout(frame, 0.01);
        layout.AddLine(QLineF(0.3, 0, 0.3, -1.25));
        layout.AddLine(QLineF(-0.3, 0, -0.3, -1.25));
        const TLabelPlace p = layout.Place(request);
        // Up to the right with length k the leader ends at (0.1 k + 0.1,
        // -1 - 0.1 k) and the label starts 0.03 in further right. For k = 2
        // the leader ends on the line at 0.3; for k = 3 it passes above it.
        EXPECT_EQ(p.Leader, TLeader::RightUp);
        ASSERT_EQ(p.LeaderPoints.size(), 3u);
        ExpectPoint(p.LeaderPoints[2], 0.4, -1.3);
        EXPECT_TRUE(p.Clear);
    }
    {
        SCOPED_TRACE("the label's frame is the limit");
        const QRectF small(-0.3, -1.2, 0.6, 1.2);
        TLabelLayout layout(small, 0.01);
        const TLabelPlace p = layout.Place(request);
        EXPECT_FALSE(p.Clear); // a 0.5 in label has no room in a 0.6 in frame beside the mark
        // It is moved inside, 0.01 in from the frame's right side.
        EXPECT_TRUE(small.contains(p.Box));
        EXPECT_NEAR(p.Box.right(), 0.29, kEps);
        ExpectPoint(p.LeaderPoints.front(), 0, -1);
    }
}

TEST(LabelPlacement, PlacedLabelsAndLeadersAreKeptClearOfByLaterOnes) {
    TLabelLayout layout(QRectF(-5, -5, 10, 5), 0.01);
    const TLabelPlace first = layout.Place(Request({0, -1}, TLeader::RightDown));
    const TLabelPlace second = layout.Place(Request({0, -1.02}, TLeader::RightDown));
    EXPECT_EQ(first.Leader, TLeader::RightDown);
    EXPECT_NE(second.Leader, TLeader::RightDown);
    EXPECT_FALSE(second.Box.intersects(first.Box));
}

TEST(LabelPlacement, ALeaderThatCrossesNoLineIsPreferred) {
    // A structure line 0.15 in to the right of the mark: the labels to the
    // right (from 0.23 in) clear it, but their leaders cross it; the label to
    // the left has room and a leader that crosses nothing.
    TLabelLayout layout(QRectF(-5, -5, 10, 5), 0.01);
    layout.AddLine(QLineF(0.15, 0, 0.15, -3));
    const TLabelPlace p = layout.Place(Request({0, -1}, TLeader::RightDown));
    EXPECT_EQ(p.Leader, TLeader::LeftUp);
    ASSERT_EQ(p.LeaderPoints.size(), 3u);
    ExpectPoint(p.LeaderPoints[2], -0.2, -1.1);
}

// What a layout holds, tested thing by thing: the meaning of Conflicts and
// Crossings without any index, to hold the layout's counts against.
struct TEveryThing {
    QRectF Bounds;
    double Clearance = 0;
    std::vector<QRectF> Boxes, Symbols;
    std::vector<QLineF> Lines;

    static bool Meets(const QRectF& a, const QRectF& b) {
        return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
               b.top() <= a.bottom();
    }
    static std::vector<QLineF> Strokes(const TLabelPlace& place) {
        std::vector<QLineF> strokes;
        for (std::size_t i = 1; i < place.LeaderPoints.size(); ++i)
            strokes.emplace_back(place.LeaderPoints[i - 1], place.LeaderPoints[i]);
        return strokes;
    }
    int Conflicts(const TLabelPlace& place, std::size_t own) const {
        const QRectF box = place.Box.adjusted(-Clearance, -Clearance, Clearance, Clearance);
        const QRectF inside = Bounds.adjusted(Clearance, Clearance, -Clearance, -Clearance);
        int n = inside.contains(place.Box) ? 0 : 1;
        for (const QRectF& other : Boxes)
            n += Meets(box, other);
        for (std::size_t i = 0; i < Symbols.size(); ++i)
            n += Meets(i == own ? place.Box : box, Symbols[i]);
        for (const QLineF& line : Lines)
            n += SegmentMeetsRect(line, box);
        for (const QLineF& stroke : Strokes(place))
            for (const QRectF& other : Boxes)
                n += SegmentMeetsRect(stroke, other);
        return n;
    }
    int Crossings(const TLabelPlace& place, std::size_t own) const {
        int n = 0;
        for (const QLineF& stroke : Strokes(place)) {
            for (const QLineF& line : Lines) {
                QPointF at;
                n += stroke.intersects(line, &at) == QLineF::BoundedIntersection &&
                     QLineF(at, place.LeaderPoints.front()).length() > 1e-6;
            }
            for (std::size_t s = 0; s < Symbols.size(); ++s)
                n += s != own && SegmentMeetsRect(stroke, Symbols[s]);
        }
        return n;
    }
};

TEST(LabelPlacement, TheIndexedLayoutCountsAndPlacesAsTestingEveryThing) {
    // A plot of 600 x 400 px crowded the way a cross section with many points
    // of interest crowds it: vertical lines at a few places (many on top of
    // one another, some reaching past the plot), boxes and symbols, and 400
    // labels, a third of them at one mark, some outside the plot, some at
    // their point.
    const QRectF bounds(0, 0, 600, 400);
    TLabelLayout layout(bounds, 2);
    TEveryThing every{bounds, 2, {}, {}, {}};
    std::mt19937 random(20261209);
    const auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    for (int i = 0; i < 40; ++i) {
        const double x = 600.0 * pick(7) / 6; // on the cells' borders too
        const QLineF line(x, pick(2) == 0 ? 0 : -50, x, 400);
        layout.AddLine(line);
        every.Lines.push_back(line);
    }
    for (int i = 0; i < 40; ++i) {
        const QRectF box(uniform(-20, 600), uniform(-20, 400), uniform(5, 60), 12);
        for (int copies = pick(3); copies >= 0; --copies) {
            layout.AddBox(box);
            every.Boxes.push_back(box);
        }
    }
    for (int i = 0; i < 30; ++i) {
        const QRectF symbol(uniform(0, 590), uniform(0, 390), 7, 7);
        EXPECT_EQ(layout.AddSymbol(symbol), every.Symbols.size());
        every.Symbols.push_back(symbol);
    }
    int clear = 0, crowded = 0;
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(testing::Message() << "label " << i);
        TLabelRequest request;
        request.Mark =
            pick(3) == 0 ? QPointF(280, 200) : QPointF(uniform(-30, 630), uniform(-30, 430));
        request.Preferred = static_cast<TLeader>(pick(7));
        request.TextWidth = uniform(10, 60);
        request.Ascent = 9;
        request.Descent = 3;
        request.FontHeight = 12;
        request.QuarterShift = pick(2) == 0;
        request.Steps = pick(4) == 0 ? TLeaderSteps{0, 0} : TLeaderSteps{5, 5};
        request.LongerSteps = {3, 6};
        if (pick(2) == 0) request.OwnSymbol = static_cast<std::size_t>(pick(30));
        // Every place the layout may try, counted both ways, in the order it
        // tries them (a side's three directions with each length, then the
        // other side's); the first that meets and crosses nothing is taken.
        const std::vector<TLeader> leaders = LeaderCandidates(request.Preferred);
        std::optional<TLabelPlace> first;
        for (std::size_t side = 0; side < 2; ++side)
            for (int length = 1; length <= request.LongestLeader; ++length)
                for (std::size_t k = 0; k < 3; ++k) {
                    const TLabelPlace place = LabelPlaceFor(request, leaders[side * 3 + k], length);
                    const int conflicts = every.Conflicts(place, request.OwnSymbol);
                    const int crossings = every.Crossings(place, request.OwnSymbol);
                    ASSERT_EQ(layout.Conflicts(place, request.OwnSymbol), conflicts);
                    ASSERT_EQ(layout.Crossings(place, request.OwnSymbol), crossings);
                    if (conflicts == 0 && crossings == 0 && !first) first = place;
                }
        const std::optional<TLabelPlace> placed =
            pick(4) == 0 ? layout.PlaceIfClear(request) : layout.Place(request);
        if (first) {
            ASSERT_TRUE(placed.has_value());
            EXPECT_EQ(placed->Box, first->Box);
            EXPECT_EQ(placed->LeaderPoints, first->LeaderPoints);
        }
        if (!placed) continue;
        (first ? clear : crowded) += 1;
        every.Boxes.push_back(placed->Box);
        for (const QLineF& stroke : TEveryThing::Strokes(*placed))
            every.Lines.push_back(stroke);
    }
    // The layout filled up: both kinds of outcome were compared.
    EXPECT_GT(clear, 50);
    EXPECT_GT(crowded, 50);
}

TEST(LabelPlacement, CaptionsThatWouldMeetGoToTheNextRow) {
    const std::vector<std::pair<double, double>> extents = {
        {0, 1}, {0.5, 1.5}, {1.2, 2}, {1.05, 1.1}, {-1, -0.2}};
    // {0.5, 1.5} overlaps {0, 1}: row 1. {1.2, 2} keeps 0.2 from {0, 1}: row 0.
    // {1.05, 1.1} is only 0.05 from {0, 1} and meets {0.5, 1.5} and {1.2, 2}
    // within the gap: row 2. {-1, -0.2} keeps 0.2 from everything: row 0.
    EXPECT_EQ(CaptionRows(extents, 0.1), (std::vector<int>{0, 1, 0, 2, 0}));
    EXPECT_TRUE(CaptionRows({}, 0.1).empty());
}

} // namespace
} // namespace corvalt
