// The cross-section drawing's mapping between metres and pixels, the
// conductors it draws and which of them a click selects. Pixel positions are
// worked out by hand from the scale and the margins.
#include "plots/CrossSectionDrawing.h"

#include "model/Project.h"
#include "plots/ConductorKind.h"
#include "tests/compute/LineBuilder.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace corvalt {
namespace {

using testing::AddCircuit;
using testing::AddConductor;
using testing::AddScenario;

void ExpectPoint(QPointF actual, double x, double y) {
    EXPECT_NEAR(actual.x(), x, 1e-9);
    EXPECT_NEAR(actual.y(), y, 1e-9);
}

TEST(DrawingTransform, FitsTheBoxWithOneScaleCentredAcrossAndStandingOnTheBottom) {
    // 40 m by 20 m into 400 by 300 px: 400 / 40 = 10 px/m across, 300 / 20 = 15
    // up; the smaller, 10, for both. The middle (10 m) goes to x = 200 px, so
    // x = 0 lies at 100 px; the ground (y = 0) on the bottom, 300 px.
    const TDrawingTransform wide = TDrawingTransform::Fit(-10, 30, 0, 20, QRectF(0, 0, 400, 300));
    EXPECT_DOUBLE_EQ(wide.PixelsPerMetre(), 10);
    ExpectPoint(wide.ToPixels(0, 0), 100, 300);
    ExpectPoint(wide.ToPixels(30, 20), 400, 100);
    ExpectPoint(wide.ToMetres(QPointF(250, 150)), 15, 15);

    // 10 m by 40 m: 300 / 40 = 7.5 px/m rules; the middle (5 m) at 200 px puts
    // x = 0 at 162.5 px; a box starting 2 m below ground puts the ground 15 px
    // above the bottom, inside a rectangle offset by (20, 10).
    const TDrawingTransform tall = TDrawingTransform::Fit(0, 10, -2, 38, QRectF(20, 10, 400, 300));
    EXPECT_DOUBLE_EQ(tall.PixelsPerMetre(), 7.5);
    ExpectPoint(tall.ToPixels(0, 0), 182.5, 295);
    ExpectPoint(tall.ToMetres(QPointF(182.5 + 75, 295 - 150)), 10, 20);
}

TEST(DrawingTransform, ABoxWithoutExtentStillMapsToFinitePixels) {
    const TDrawingTransform flat = TDrawingTransform::Fit(5, 5, 0, 0, QRectF(0, 0, 100, 100));
    EXPECT_DOUBLE_EQ(flat.PixelsPerMetre(), 1);
    ExpectPoint(flat.ToPixels(5, 0), 50, 100);
    // Only the height sets the scale of a box that has no width.
    const TDrawingTransform line = TDrawingTransform::Fit(0, 0, 0, 50, QRectF(0, 0, 100, 100));
    EXPECT_DOUBLE_EQ(line.PixelsPerMetre(), 2);
}

TEST(DrawnConductors, BundlesAreTheirOuterCircle) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& left = AddCircuit(scenario, -6);
    AddConductor(left, {.X = -10, .Y = 15, .DiameterMm = 25.4f});
    TCircuit& right = AddCircuit(scenario, 6);
    // Four sub-conductors of 30 mm, 45 cm apart: the circle through their centres
    // has the diameter 45 / sin(π/4) = 63.64 cm; outer radius 31.82 + 1.5 cm.
    AddConductor(right, {.X = 8, .Y = 20, .N = 4, .DiameterMm = 30, .SpacingCm = 45});
    AddConductor(right, {.X = 6, .Y = 25, .DiameterMm = 10, .Ground = true});
    const std::vector<TDrawnConductor> drawn = DrawnConductorsOf(scenario);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].Ref, (TConductorRef{0, 0}));
    EXPECT_NEAR(drawn[0].XM, -10, 1e-5);
    EXPECT_NEAR(drawn[0].RadiusM, 0.0127, 1e-6);
    EXPECT_FALSE(drawn[0].Ground);
    EXPECT_EQ(drawn[1].Ref, (TConductorRef{1, 0}));
    EXPECT_NEAR(drawn[1].XM, 8, 1e-5);
    EXPECT_NEAR(drawn[1].YM, 20, 1e-5);
    EXPECT_NEAR(drawn[1].RadiusM, 0.3332, 1e-4);
    EXPECT_EQ(drawn[2].Ref, (TConductorRef{1, 1}));
    EXPECT_TRUE(drawn[2].Ground);
}

// 10 px per metre with the ground point x = 0 at (100, 300): a conductor 10 m
// up at x = 0 is drawn at (100, 200).
class HitTest : public ::testing::Test {
  protected:
    const TDrawingTransform transform{10, QPointF(100, 300)};
    TDrawnConductor single{{0, 0}, 0, 10, 0.0127, false}; // 0.127 px to scale: drawn 3 px
    TDrawnConductor bundle{{0, 1}, 0, 10, 0.5, false};    // 5 px to scale
};

TEST_F(HitTest, SelectsWithinTheToleranceOfTheDrawnCircle) {
    const std::vector<TDrawnConductor> one = {single};
    EXPECT_DOUBLE_EQ(DrawnRadiusPx(single, transform), kMinConductorRadiusPx);
    EXPECT_EQ(HitTestConductor(one, transform, QPointF(100, 200)), single.Ref);
    // 3 px of radius and 4 of tolerance: 7 px from the centre still selects it.
    EXPECT_EQ(HitTestConductor(one, transform, QPointF(107, 200)), single.Ref);
    EXPECT_EQ(HitTestConductor(one, transform, QPointF(100, 193)), single.Ref);
    EXPECT_FALSE(HitTestConductor(one, transform, QPointF(108, 200)).IsValid());
    EXPECT_FALSE(HitTestConductor(one, transform, QPointF(106, 206)).IsValid()); // 8.5 px
    EXPECT_FALSE(HitTestConductor({}, transform, QPointF(100, 200)).IsValid());
}

TEST_F(HitTest, BundlesAreHitOnTheirOuterCircle) {
    const std::vector<TDrawnConductor> one = {bundle};
    EXPECT_DOUBLE_EQ(DrawnRadiusPx(bundle, transform), 5);
    // 5 px of radius and 4 of tolerance: 9 px out selects, 10 does not.
    EXPECT_EQ(HitTestConductor(one, transform, QPointF(109, 200)), bundle.Ref);
    EXPECT_FALSE(HitTestConductor(one, transform, QPointF(110, 200)).IsValid());
    // A larger scale draws it larger: at 40 px/m its circle is 20 px.
    const TDrawingTransform closer(40, QPointF(100, 600));
    EXPECT_EQ(HitTestConductor(one, closer, QPointF(123, 200)), bundle.Ref);
}

TEST_F(HitTest, TheNearestCircleWins) {
    TDrawnConductor neighbour = single;
    neighbour.Ref = {1, 0};
    neighbour.XM = 1; // at (110, 200)
    const std::vector<TDrawnConductor> two = {single, neighbour};
    EXPECT_EQ(HitTestConductor(two, transform, QPointF(104, 200)), single.Ref);
    EXPECT_EQ(HitTestConductor(two, transform, QPointF(106, 200)), neighbour.Ref);
    // Inside both circles of two conductors at one place: the first listed.
    neighbour.XM = 0;
    const std::vector<TDrawnConductor> same = {single, neighbour};
    EXPECT_EQ(HitTestConductor(same, transform, QPointF(101, 200)), single.Ref);
    // A tighter tolerance.
    EXPECT_FALSE(HitTestConductor(same, transform, QPointF(105, 200), 1).IsValid());
}

// A metric cross section with its ROW from -20 m to +20 m and one conductor
// 10 m up at x = 0, in a 534 by 400 px drawing. The plot area lies 56 px in
// from the left, 22 from the top, 14 from the right and 40 from the bottom,
// less an earth band of 20 px: 464 by 318 px. The extent across is 40 m with
// 8 % on each side, 46.4 m: 10 px/m (the height, 10.8 m with its room, would
// allow 29 px/m). x = 0 lies mid-area at 56 + 232 = 288 px, the ground at
// 22 + 318 = 340 px, so the conductor at (288, 240).
TEST(CrossSectionRenderer, ScalesAndHitTestsAKnownCrossSection) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = scenario.RowRight = 20;
    TCircuit& circuit = AddCircuit(scenario);
    AddConductor(circuit, {.X = 0, .Y = 10, .VoltageKv = 230});
    AddConductor(circuit, {.X = 5, .Y = 10, .VoltageKv = 230});
    TCrossSectionRenderer renderer(scenario);
    const QRectF rect(0, 0, 534, 400);
    const TDrawingTransform t = renderer.TransformFor(rect);
    EXPECT_NEAR(t.PixelsPerMetre(), 10, 1e-9);
    ExpectPoint(t.ToPixels(0, 10), 288, 240);
    EXPECT_EQ(renderer.HitTest(rect, QPointF(288, 240)), (TConductorRef{0, 0}));
    EXPECT_EQ(renderer.HitTest(rect, QPointF(338 + 6, 240)), (TConductorRef{0, 1}));
    EXPECT_FALSE(renderer.HitTest(rect, QPointF(288, 231)).IsValid());
    // The same cross section in feet is the same drawing.
    project.Units = English;
    EXPECT_NEAR(TCrossSectionRenderer(scenario).TransformFor(rect).PixelsPerMetre(), 10, 1e-4);
}

// Values a damaged file can hold (the data check reports them) neither reach
// the drawing's scale nor place a conductor anywhere.
TEST(CrossSectionRenderer, ValuesThatAreNotNumbersAreLeftOut) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = std::numeric_limits<float>::quiet_NaN();
    scenario.RowRight = 20;
    TCircuit& circuit = AddCircuit(scenario);
    AddConductor(circuit, {.X = 0, .Y = std::numeric_limits<float>::infinity()});
    AddConductor(circuit, {.X = 3, .Y = 12});
    const std::vector<TDrawnConductor> drawn = DrawnConductorsOf(scenario);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].Ref, (TConductorRef{0, 1}));
    const TCrossSectionRenderer renderer(scenario);
    const TDrawingTransform t = renderer.TransformFor(QRectF(0, 0, 534, 400));
    EXPECT_TRUE(std::isfinite(t.PixelsPerMetre()) && t.PixelsPerMetre() > 0);
    EXPECT_TRUE(std::isfinite(t.ToPixels(0, 0).x()) && std::isfinite(t.ToPixels(0, 0).y()));
}

// Three phases, a ground wire and two DC poles side by side: each phase has a
// colour of its own (no two alike, none grey), the ground wire is grey, and
// the poles are named by their sign, a pole at 0 kV counting as negative.
TEST(CrossSectionRenderer, PhasesInThreeColoursGroundWiresGreyAndPolesBySign) {
    static int argc = 1;
    static char name[] = "corvalt_plots_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& circuit = AddCircuit(scenario);
    const TCondType phases[] = {PhaseA, PhaseB, PhaseC};
    for (int i = 0; i < 3; ++i)
        AddConductor(circuit, {.X = -12.0f + 6 * i, .Y = 15, .DiameterMm = 400, .VoltageKv = 230})
            .CondType = phases[i];
    AddConductor(circuit, {.X = 6, .Y = 22, .DiameterMm = 400, .Ground = true});
    const TConductor& plus =
        AddConductor(circuit, {.X = 12, .Y = 15, .VoltageKv = 400, .Ac = false, .Id = "P1"});
    const TConductor& minus =
        AddConductor(circuit, {.X = 16, .Y = 15, .VoltageKv = -400, .Ac = false, .Id = "P2"});
    const TConductor& zero =
        AddConductor(circuit, {.X = 20, .Y = 15, .VoltageKv = 0, .Ac = false, .Id = "P3"});

    EXPECT_EQ(ConductorLabelOf(plus), QStringLiteral("+ P1"));
    EXPECT_EQ(ConductorLabelOf(minus), QStringLiteral("\u2212 P2"));
    EXPECT_EQ(ConductorLabelOf(zero), QStringLiteral("\u2212 P3"));
    EXPECT_EQ(ConductorLabelOf(*scenario.Conductors[0]), QStringLiteral("C1"));
    EXPECT_EQ(SymbolKindOf(*scenario.Conductors[1]), TSymbolKind::PhaseB);

    const QRectF rect(0, 0, 800, 500);
    QImage image(rect.size().toSize(), QImage::Format_RGB32);
    const TCrossSectionRenderer renderer(scenario);
    {
        QPainter painter(&image);
        renderer.Paint(painter, rect);
    }
    const TDrawingTransform t = renderer.TransformFor(rect);
    const std::vector<TDrawnConductor> conductors = DrawnConductorsOf(scenario);
    const auto centre = [&](std::size_t i) {
        return image.pixelColor(t.ToPixels(conductors[i].XM, conductors[i].YM).toPoint());
    };
    const auto grey = [](const QColor& c) {
        return std::abs(c.red() - c.green()) < 8 && std::abs(c.green() - c.blue()) < 8;
    };
    const QColor a = centre(0), b = centre(1), c = centre(2), ground = centre(3);
    EXPECT_FALSE(grey(a) || grey(b) || grey(c));
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, c);
    EXPECT_TRUE(grey(ground) && ground != QColor(Qt::white)) << ground.name().toStdString();
}

TEST(NiceStep, OneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(NiceStep(100, 6), 20);  // 16.7
    EXPECT_DOUBLE_EQ(NiceStep(60, 6), 10);   // 10
    EXPECT_DOUBLE_EQ(NiceStep(300, 6), 50);  // 50
    EXPECT_DOUBLE_EQ(NiceStep(4, 6), 0.5);   // 0.67
    EXPECT_DOUBLE_EQ(NiceStep(500, 6), 100); // 83.3
    EXPECT_EQ(NiceStep(0, 6), 0);
    EXPECT_EQ(NiceStep(-5, 6), 0);
}

} // namespace
} // namespace corvalt
