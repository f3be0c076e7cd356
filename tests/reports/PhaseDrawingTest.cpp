// The phase configuration drawing: its scale and placement as numbers, and the
// drawing itself read back from the recorded page: conductors where they are,
// the page-break rule, the label densities, the structure marks and the
// conductor symbols.
#include "ReportTestSupport.h"

#include "EngineTestSupport.h"
#include "engine/PageCanvas.h"
#include "reports/ConductorSymbols.h"
#include "reports/PhaseDrawing.h"
#include "reports/symbols/SymbolPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::OnlyText;
using test::TextsOf;

constexpr double kDrawingWidth = 8.5 - 0.75 - 0.5;

// ---- Scale and placement ------------------------------------------------------

TEST(PhaseDrawingScale, FitsTheExtentsIntoTheWidthAndTheHeight) {
    struct TCase {
        const char* Name;
        TDrawingExtents Extents;
        double Height;
        double Scale, Centre;
    };
    const TCase cases[] = {
        {"lateral extent decides", {50, 50, 50, 50, 60, 0}, 5.5, 6.55 / 100, 50},
        {"height decides", {50, 50, 50, 50, 100, 0}, 4, 0.04, 50},
        {"depth counts", {50, 50, 50, 50, 30, 20}, 2, 2.0 / 50, 50},
        // A point far left of the ROW widens the extent and moves the centre.
        {"wider on the left", {50, 50, 60, 80, 10, 0}, 5.5, 6.55 / 140, 55 - 15},
        {"nothing to show", {0, 0, 0, 0, 0, 0}, 5.5, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDrawingScale scale = ScaleDrawing(c.Extents, kDrawingWidth, c.Height);
        EXPECT_NEAR(scale.Scale, c.Scale, 1e-12);
        EXPECT_NEAR(scale.Centre, c.Centre, 1e-12);
        EXPECT_NEAR(scale.FrameHeight, c.Extents.MaxHeight * c.Scale + 0.25, 1e-12);
        EXPECT_EQ(scale.Density, LabelDensity(c.Scale));
    }
}

TEST(PhaseDrawingScale, LabelDensityByScale) {
    const std::pair<double, int> cases[] = {{0, 3},     {0.0099, 3}, {0.01, 2}, {0.0149, 2},
                                            {0.015, 1}, {0.0299, 1}, {0.03, 0}, {1, 0}};
    for (const auto& [scale, density] : cases) {
        SCOPED_TRACE(scale);
        EXPECT_EQ(LabelDensity(scale), density);
    }
}

// ---- The drawing on the page ----------------------------------------------------

// Draws the cross section with `room` inches left between the cursor and the
// section bottom (at 10 in).
TPageList Draw(const TScenario& scenario, double room) {
    test::TLambdaReport report;
    report.Body = [&](TPageCanvas& canvas) {
        canvas.SetSectionBottom(10);
        canvas.SetCursorY(10 - room);
        TPhaseDrawing(canvas, 0.75, 0.75 + kDrawingWidth / 2).Draw(scenario);
    };
    TPageCanvas canvas;
    EXPECT_TRUE(canvas.Run(report).Ok);
    return canvas.TakePages();
}

TFrameCmd FrameOf(const TPage& page) {
    const auto frames = CommandsOf<TFrameCmd>(page);
    EXPECT_EQ(frames.size(), 1u);
    return frames.empty() ? TFrameCmd{} : frames.front();
}

// x of the dashed ROW edge lines, left to right.
std::vector<double> RowEdges(const TPage& page) {
    std::vector<double> edges;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
        if (line.Pen.Style == Qt::DashLine) edges.push_back(line.X1);
    std::sort(edges.begin(), edges.end());
    return edges;
}

// The symbol as the page records it.
QImage Recorded(int condType, bool newCircuit) {
    return ConductorSymbol(condType, newCircuit).convertToFormat(QImage::Format_ARGB32);
}

double CentreX(const TBitmapCmd& b) {
    return (b.Left + b.Right) / 2;
}
double CentreY(const TBitmapCmd& b) {
    return (b.Top + b.Bottom) / 2;
}

struct TDrawingFixture : ::testing::Test {
    std::unique_ptr<TEmfProject> project = test::MakeProject(English); // ROW 50 / 50 ft
    TScenario& scenario = project->Scenarios[0];
};

TEST_F(TDrawingFixture, ConductorsAreDrawnWhereTheyAreToScale) {
    TCircuit& circuit = test::AddLine(scenario, "PC", {{-26, 42}, {0, 42}, {26, 42}, {-17, 60}}, 1);
    circuit.SetDisplayDistFromRowLeft(-4);
    const TPageList pages = Draw(scenario, 8);
    ASSERT_EQ(pages.Pages.size(), 1u);
    const TPage& page = pages.Pages[0];

    // The lateral extent decides: 100 ft into the width less 0.7 in.
    const double scale = (kDrawingWidth - 0.7) / 100;
    const TFrameCmd frame = FrameOf(page);
    EXPECT_NEAR(frame.Left, 0.75, 1e-9);
    EXPECT_NEAR(frame.Right, 0.75 + kDrawingWidth, 1e-9);
    EXPECT_NEAR(frame.Bottom - frame.Top, 60 * scale + 0.25, 1e-9);
    const double ground = frame.Bottom;

    const std::vector<double> edges = RowEdges(page);
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_NEAR(edges[1] - edges[0], 100 * scale, 1e-9);
    EXPECT_NEAR((edges[0] + edges[1]) / 2, 0.75 + kDrawingWidth / 2, 1e-9); // centred

    const auto symbols = CommandsOf<TBitmapCmd>(page);
    ASSERT_EQ(symbols.size(), 4u);
    const double expected[][2] = {{-30, 42}, {-4, 42}, {22, 42}, {-21, 60}};
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(CentreX(symbols[i]) - edges[0], (50 + expected[i][0]) * scale, 1e-6);
        EXPECT_NEAR(ground - CentreY(symbols[i]), expected[i][1] * scale, 1e-6);
        EXPECT_NEAR(symbols[i].Right - symbols[i].Left, 0.1, 1e-9);
    }
    EXPECT_EQ(symbols[0].Image, Recorded(PhaseA, true));
    EXPECT_EQ(symbols[3].Image, Recorded(Ground, true));

    // Labels with id and position at this scale, the ROW distances and the sensors.
    EXPECT_EQ(OnlyText(page, QStringLiteral("1A1: -26.0, 42.0")).Font,
              (TFontSpec{QStringLiteral("Tahoma"), 8}));
    OnlyText(page, QStringLiteral("1G1: -17.0, 60.0"));
    EXPECT_NEAR(OnlyText(page, QStringLiteral("-50.0")).Y, ground + 0.2, 1e-9);
    OnlyText(page, QStringLiteral("50.0"));
    EXPECT_EQ(TextsOf(page, QStringLiteral("ROW")).size(), 2u);
    EXPECT_EQ(TextsOf(page, QStringLiteral("E")).size(), 2u);
    EXPECT_EQ(TextsOf(page, QStringLiteral("M")).size(), 2u);
    const TTextCmd units = OnlyText(page, QStringLiteral("All Measurements in Feet"));
    EXPECT_LE(units.X + units.Width, frame.Right + 1e-9);
    EXPECT_LT(units.Y, frame.Top);
    // Every label is printed after every symbol, so none is covered by one.
    std::size_t lastSymbol = 0, firstLabel = page.Commands.size();
    for (std::size_t i = 0; i < page.Commands.size(); ++i) {
        if (std::holds_alternative<TBitmapCmd>(page.Commands[i])) lastSymbol = i;
        const auto* text = std::get_if<TTextCmd>(&page.Commands[i]);
        if (text && text->Text.startsWith(QStringLiteral("1")) && firstLabel > i) firstLabel = i;
    }
    EXPECT_LT(lastSymbol, firstLabel);
}

TEST_F(TDrawingFixture, DrawingThatFindsTooLittleRoomStartsANewPageSizedForFourInches) {
    test::AddLine(scenario, "Tall", {{-10, 200}, {0, 200}, {10, 200}});
    struct TCase {
        double Room;
        std::size_t Page;
        double Height; // the drawing is sized for
    };
    for (const TCase& c : {TCase{3.9, 1, 4.0}, TCase{4.1, 0, 3.1}, TCase{9.5, 0, 5.5}}) {
        SCOPED_TRACE(c.Room);
        const TPageList pages = Draw(scenario, c.Room);
        ASSERT_EQ(pages.Pages.size(), c.Page + 1);
        const TPage& page = pages.Pages[c.Page];
        OnlyText(page, QStringLiteral("Phase Configuration"));
        const TFrameCmd frame = FrameOf(page);
        // The height decides here: 200 ft into the height the drawing is sized for.
        EXPECT_NEAR(frame.Bottom - frame.Top, c.Height + 0.25, 1e-9);
    }
}

TEST_F(TDrawingFixture, SmallScalesDrawIdsOnlyAndBelowOneHundredthNoSymbolsOrLeaders) {
    test::AddLine(scenario, "PC", {{-26, 42}, {0, 42}, {26, 42}});
    struct TCase {
        float Row; // ft each side
        int Density;
        double FontSize;
    };
    for (const TCase& c : {TCase{150, 1, 7}, TCase{250, 2, 6}, TCase{1000, 3, 6}}) {
        SCOPED_TRACE(c.Row);
        scenario.SetDisplayRowLeft(c.Row);
        scenario.SetDisplayRowRight(c.Row);
        const TPage page = Draw(scenario, 8).Pages.at(0);
        ASSERT_EQ(LabelDensity((kDrawingWidth - 0.7) / (2 * c.Row)), c.Density);
        EXPECT_EQ(OnlyText(page, QStringLiteral("1B1")).Font,
                  (TFontSpec{QStringLiteral("Tahoma"), c.FontSize}));
        EXPECT_TRUE(TextsOf(page, QStringLiteral("1B1: 0.0, 42.0")).empty());
        int leaders = 0;
        for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
            leaders += line.Pen.Style == Qt::SolidLine && std::abs(line.Pen.Width - 0.01) < 1e-9;
        const bool drawn = c.Density < 3;
        EXPECT_EQ(CommandsOf<TBitmapCmd>(page).size(), drawn ? 3u : 0u);
        EXPECT_EQ(leaders, drawn ? 4 * 2 + 3 * 2 : 0); // two strokes per sensor mark and conductor
    }
}

TEST_F(TDrawingFixture, StructuresAtTheReferenceLineHaveNoDistanceMark) {
    TCircuit& centre = test::AddLine(scenario, "Centre", {{-5, 30}, {0, 30}, {5, 30}});
    centre.NewCircuit = false;
    TCircuit& side = test::AddLine(scenario, "Side", {{-5, 20}, {0, 20}, {5, 20}});
    side.SetDisplayDistFromRowLeft(25);
    const TPage page = Draw(scenario, 8).Pages.at(0);

    const TTextCmd s = OnlyText(page, QStringLiteral("S"));
    const TTextCmd distance = OnlyText(page, QStringLiteral("25.0"));
    EXPECT_EQ(s.Font, (TFontSpec{QStringLiteral("Tahoma"), 9}));
    EXPECT_NEAR(distance.Y - s.Y, 0.1, 1e-9);
    // Structure lines: the existing circuit's 0.01 in wide, the new one's 0.03 in,
    // each from the ground up to 2 ft above its highest conductor.
    const std::vector<double> edges = RowEdges(page);
    ASSERT_EQ(edges.size(), 2u);
    const double scale = (edges[1] - edges[0]) / 100;
    const double ground = FrameOf(page).Bottom;
    std::vector<TLineCmd> structures;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
        if (line.Pen.Style == Qt::SolidLine && line.X1 == line.X2 &&
            std::abs(line.Y1 - ground) < 1e-9)
            structures.push_back(line);
    ASSERT_EQ(structures.size(), 2u);
    EXPECT_NEAR(structures[0].Pen.Width, 0.01, 1e-12);
    EXPECT_NEAR(structures[0].X1 - edges[0], 50 * scale, 1e-9);
    EXPECT_NEAR(ground - structures[0].Y2, 32 * scale, 1e-9);
    EXPECT_NEAR(structures[1].Pen.Width, 0.03, 1e-12);
    EXPECT_NEAR(structures[1].X1 - edges[0], 75 * scale, 1e-9);
    EXPECT_NEAR(s.X + s.Width / 2, structures[1].X1, 1e-9);
    // Existing circuits draw the cyan-ringed symbols, new ones the black-ringed.
    const auto symbols = CommandsOf<TBitmapCmd>(page);
    ASSERT_EQ(symbols.size(), 6u);
    EXPECT_EQ(symbols[1].Image, Recorded(PhaseB, false));
    EXPECT_EQ(symbols[4].Image, Recorded(PhaseB, true));
    EXPECT_NE(symbols[1].Image, symbols[4].Image);
}

TEST_F(TDrawingFixture, LabelThatWouldCoverANeighbourGoesAboveItsLeader) {
    // A scale at which labels carry positions and the conductors stand closer
    // than their labels are long.
    scenario.SetDisplayRowLeft(100);
    scenario.SetDisplayRowRight(100);
    test::AddLine(scenario, "PC", {{-26, 42}, {0, 42}, {26, 42}});
    const TPage page = Draw(scenario, 8).Pages.at(0);
    const auto symbols = CommandsOf<TBitmapCmd>(page);
    ASSERT_EQ(symbols.size(), 3u);
    const TTextCmd centre = OnlyText(page, QStringLiteral("1B1: 0.0, 42.0"));
    const TTextCmd right = OnlyText(page, QStringLiteral("1C1: 26.0, 42.0"));
    const TTextCmd left = OnlyText(page, QStringLiteral("1A1: -26.0, 42.0"));
    // 1C1 and 1A1 keep their side's leader: right and down, left and up.
    EXPECT_GT(right.X, CentreX(symbols[2]));
    EXPECT_GT(right.Y, CentreY(symbols[2]));
    EXPECT_LT(left.X + left.Width, CentreX(symbols[0]));
    // 1B1's label down to the right would run into 1C1's symbol: it goes up.
    EXPECT_GT(centre.X, CentreX(symbols[1]));
    EXPECT_LT(centre.Y, CentreY(symbols[1]) - 0.05);
}

// ---- Conductor symbols ------------------------------------------------------------

TEST(ConductorSymbols, ResourcesAreTheGeneratorsImages) {
    for (const symbols::TSymbolDesign& design : symbols::SymbolDesigns()) {
        SCOPED_TRACE(design.Name);
        const QImage resource(ConductorSymbolPath(design.Name));
        ASSERT_FALSE(resource.isNull());
        EXPECT_EQ(resource.size(), QSize(32, 32));
        EXPECT_LE(resource.colorCount(), 16);
        EXPECT_EQ(resource.convertToFormat(QImage::Format_ARGB32),
                  symbols::PaintSymbol(design).convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_TRUE(ConductorSymbol(7, false).isNull());
    EXPECT_EQ(ConductorSymbol(PhaseC, false), QImage(ConductorSymbolPath("PHASEC")));
}

} // namespace
} // namespace corvalt
