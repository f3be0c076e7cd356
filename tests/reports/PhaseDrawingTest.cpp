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

#include <QRectF>

#include <algorithm>
#include <functional>
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

// The box a text covers: its measured width, from the top of its capitals and
// digits (Tahoma's are 0.727 of the font size high) to the bottom of its
// descenders (0.2 of the size: ",", "(", "g").
QRectF InkBox(const TTextCmd& text) {
    const double size = text.Font.Size / 72;
    return QRectF(QPointF(text.X, text.Y - 0.72 * size),
                  QPointF(text.X + text.Width, text.Y + 0.2 * size));
}

// Whether two rectangles share a point (touching counts).
bool Meet(const QRectF& a, const QRectF& b) {
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

// Whether a straight line meets a rectangle, from 200 points along it.
bool Meet(const TLineCmd& line, const QRectF& box) {
    for (int i = 0; i <= 200; ++i) {
        const double t = i / 200.0;
        if (box.contains(
                QPointF(line.X1 + t * (line.X2 - line.X1), line.Y1 + t * (line.Y2 - line.Y1))))
            return true;
    }
    return false;
}

QRectF BoxOf(const TBitmapCmd& b) {
    return QRectF(QPointF(b.Left, b.Top), QPointF(b.Right, b.Bottom));
}

// The drawing read back from the page: the frame (its bottom is the ground
// line), the structure lines (solid, up from the ground), the ROW lines
// (dashed), the leaders (the other solid lines), the symbols, the labels
// (texts inside the frame) and the captions (texts under the ground line).
struct TDrawn {
    TFrameCmd Frame;
    std::vector<TLineCmd> Structures, RowLines, Leaders;
    std::vector<TBitmapCmd> Symbols;
    std::vector<TTextCmd> Labels, Captions;
};

TDrawn Read(const TPage& page) {
    TDrawn drawn;
    drawn.Frame = FrameOf(page);
    const double ground = drawn.Frame.Bottom;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page)) {
        if (line.Pen.Style == Qt::DashLine) {
            drawn.RowLines.push_back(line);
        } else if (line.X1 == line.X2 && std::abs(line.Y1 - ground) < 1e-9) {
            drawn.Structures.push_back(line);
        } else {
            drawn.Leaders.push_back(line);
        }
    }
    drawn.Symbols = CommandsOf<TBitmapCmd>(page);
    for (const TTextCmd* text : page.Texts()) {
        if (text->Y > ground) {
            drawn.Captions.push_back(*text);
        } else if (text->Y > drawn.Frame.Top) {
            drawn.Labels.push_back(*text);
        }
    }
    return drawn;
}

// A leader ends at the label it leads to: its end lies within 0.05 in of the
// label's box.
bool LeadsTo(const TLineCmd& leader, const TTextCmd& label) {
    const QRectF near = InkBox(label).adjusted(-0.05, -0.05, 0.05, 0.05);
    return near.contains(QPointF(leader.X2, leader.Y2));
}

// Every label lies inside the frame and meets no other label, no structure
// line, no ROW line, no symbol and no leader but its own; every caption lies
// under the ground line and meets no other caption.
void ExpectClearLayout(const TDrawn& d) {
    const QRectF frame(QPointF(d.Frame.Left, d.Frame.Top), QPointF(d.Frame.Right, d.Frame.Bottom));
    for (std::size_t i = 0; i < d.Labels.size(); ++i) {
        const TTextCmd& label = d.Labels[i];
        SCOPED_TRACE("label " + label.Text.toStdString());
        const QRectF box = InkBox(label);
        EXPECT_TRUE(frame.adjusted(1e-6, 1e-6, -1e-6, -1e-6).contains(box));
        for (std::size_t j = i + 1; j < d.Labels.size(); ++j)
            EXPECT_FALSE(Meet(box, InkBox(d.Labels[j]))) << d.Labels[j].Text.toStdString();
        for (const TLineCmd& line : d.Structures)
            EXPECT_FALSE(Meet(line, box)) << "structure at " << line.X1;
        for (const TLineCmd& line : d.RowLines)
            EXPECT_FALSE(Meet(line, box)) << "ROW line at " << line.X1;
        for (const TBitmapCmd& symbol : d.Symbols)
            EXPECT_FALSE(Meet(box, BoxOf(symbol))) << "symbol at " << CentreX(symbol);
        for (const TLineCmd& leader : d.Leaders) {
            // A label's own leader ends at it, as does the stroke before the end.
            bool own = LeadsTo(leader, label);
            for (const TLineCmd& next : d.Leaders)
                own = own || (next.X1 == leader.X2 && next.Y1 == leader.Y2 && LeadsTo(next, label));
            if (!own) {
                EXPECT_FALSE(Meet(leader, box)) << "leader from " << leader.X1;
            }
        }
    }
    for (std::size_t i = 0; i < d.Captions.size(); ++i) {
        const QRectF box = InkBox(d.Captions[i]);
        SCOPED_TRACE("caption " + d.Captions[i].Text.toStdString());
        EXPECT_GT(box.top(), d.Frame.Bottom);
        for (std::size_t j = i + 1; j < d.Captions.size(); ++j)
            EXPECT_FALSE(Meet(box, InkBox(d.Captions[j]))) << d.Captions[j].Text.toStdString();
    }
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
    // Under each ROW line its caption, "ROW" over the distance, centred on it.
    const auto rowCaptions = TextsOf(page, QStringLiteral("ROW"));
    ASSERT_EQ(rowCaptions.size(), 2u);
    const TTextCmd leftDistance = OnlyText(page, QStringLiteral("-50.0"));
    EXPECT_NEAR(rowCaptions[0].X + rowCaptions[0].Width / 2, edges[0], 1e-9);
    EXPECT_NEAR(leftDistance.X + leftDistance.Width / 2, edges[0], 1e-9);
    EXPECT_GT(InkBox(rowCaptions[0]).top(), ground);
    EXPECT_GT(InkBox(leftDistance).top(), InkBox(rowCaptions[0]).bottom());
    OnlyText(page, QStringLiteral("50.0"));
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
        // Spread out so that every id has room at its conductor even at the
        // smallest scale: 1A1 and 1C1 lie 26 ft from the centre line (0.09 in
        // at 0.0033 in/ft), their ids are about 0.15 in long.
        const float spread = c.Density == 3 ? 4.0f : 1.0f;
        scenario.Circuits[0].Conductors[0].SetDisplayHorizDistance(-26 * spread);
        scenario.Circuits[0].Conductors[2].SetDisplayHorizDistance(26 * spread);
        const TPage page = Draw(scenario, 8).Pages.at(0);
        ASSERT_EQ(LabelDensity((kDrawingWidth - 0.7) / (2 * c.Row)), c.Density);
        const TTextCmd id = OnlyText(page, QStringLiteral("1B1"));
        EXPECT_EQ(id.Font, (TFontSpec{QStringLiteral("Tahoma"), c.FontSize}));
        EXPECT_TRUE(TextsOf(page, QStringLiteral("1B1: 0.0, 42.0")).empty());
        const TDrawn drawn = Read(page);
        const bool symbols = c.Density < 3;
        EXPECT_EQ(drawn.Symbols.size(), symbols ? 3u : 0u);
        // With symbols a leader leads from each conductor. Without them each id
        // sits at its conductor, 0.02 in below it (1A1 ending there, as its
        // side's leader goes to the left), except 1B1: on the structure line its
        // id would meet the line, so a leader leads it off.
        const double scale = (kDrawingWidth - 0.7) / (2 * c.Row);
        const double centre = 0.75 + kDrawingWidth / 2;
        const double y = drawn.Frame.Bottom - 42 * scale;
        const double xs[] = {centre - 26 * spread * scale, centre, centre + 26 * spread * scale};
        for (std::size_t i = 0; i < 3; ++i) {
            const auto led =
                std::count_if(drawn.Leaders.begin(), drawn.Leaders.end(), [&](const TLineCmd& l) {
                    return std::abs(l.X1 - xs[i]) < 1e-9 && std::abs(l.Y1 - y) < 1e-9;
                });
            EXPECT_EQ(led, symbols || i == 1 ? 1 : 0) << i;
        }
        if (!symbols) {
            const TTextCmd left = OnlyText(page, QStringLiteral("1A1"));
            EXPECT_NEAR(left.X + left.Width, xs[0] + 0.02, 1e-9);
            EXPECT_NEAR(left.Y, y + 0.02, 1e-9);
            const TTextCmd right = OnlyText(page, QStringLiteral("1C1"));
            EXPECT_NEAR(right.X, xs[2], 1e-9);
            EXPECT_NEAR(right.Y, y + 0.02, 1e-9);
            EXPECT_GT(id.X, xs[1]);
        }
        ExpectClearLayout(drawn);
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
    EXPECT_GT(InkBox(distance).top(), InkBox(s).bottom()); // under the "S", apart from it
    EXPECT_LT(distance.Y - s.Y, 0.2);
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

TEST_F(TDrawingFixture, LabelThatWouldCoverANeighbourTakesAnotherDirection) {
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
    EXPECT_LT(left.Y, CentreY(symbols[0]));
    // 1B1's label down to the right would run into 1C1's symbol: it goes
    // elsewhere, clear of it.
    EXPECT_FALSE(Meet(InkBox(centre), BoxOf(symbols[2])));
    EXPECT_FALSE(centre.X > CentreX(symbols[1]) && centre.Y > CentreY(symbols[1]) &&
                 std::abs(centre.Y - CentreY(symbols[1]) - 0.1) < 0.05);
    ExpectClearLayout(Read(page));
}

// ---- Crowded cross sections ------------------------------------------------------

// A circuit of the cross section, at `distance` from the reference line, its
// phases and ground wires at the given places; `isNew` picks the thick line.
TCircuit& AddCircuitAt(TScenario& scenario, float distance,
                       std::initializer_list<test::TPlace> places, int grounds, bool isNew = true) {
    TCircuit& circuit = test::AddLine(scenario, "C", places, grounds);
    circuit.SetDisplayDistFromRowLeft(distance);
    circuit.NewCircuit = isNew;
    return circuit;
}

// Cross sections where labels, lines and captions crowd each other (ROW in ft
// each side), drawn with 8 in of room: a 1100 kV and an 800 kV line side by
// side, a substation with four buses, one of them 3 ft inside the ROW edge,
// and a double circuit on one structure away from the reference line.
struct TCrowded {
    const char* Name;
    float Row;
    std::function<void(TScenario&)> Build;
    int Density;           // the scale's label density, worked out in the comment
    int StructureCaptions; // "S" captions: structures away from the reference line
};

std::vector<TCrowded> CrowdedCases() {
    return {
        // Lateral extent 2 × 250 ft: scale 6.55 / 500 = 0.0131 in/ft, density 2.
        {"1100 kV beside 800 kV", 250,
         [](TScenario& s) {
             AddCircuitAt(s, -90, {{-65, 110}, {0, 110}, {65, 110}, {-45, 150}, {45, 150}}, 2);
             AddCircuitAt(s, 75, {{-45, 80}, {0, 80}, {45, 80}, {-30, 115}, {30, 115}}, 2);
         },
         2, 2},
        // 2 × 500 ft: 0.00655 in/ft, density 3 (ids only, no symbols); the
        // conductors of the two lines 0.3 in apart, ids about 0.15 in long.
        {"the same lines at a smaller scale", 500,
         [](TScenario& s) {
             AddCircuitAt(s, -60, {{-65, 110}, {0, 110}, {65, 110}, {-45, 150}, {45, 150}}, 2);
             AddCircuitAt(s, 60, {{-45, 80}, {0, 80}, {45, 80}, {-30, 115}, {30, 115}}, 2);
         },
         3, 2},
        // 2 × 60 ft and a bus 5 ft outside the right edge: extent 125 ft,
        // 0.0524 in/ft, density 0: labels with positions, 8 ft = 0.42 in apart.
        {"substation", 60,
         [](TScenario& s) {
             AddCircuitAt(s, -42, {{-8, 20}, {0, 20}, {8, 20}, {0, 38}}, 1);
             AddCircuitAt(s, -15, {{-8, 28}, {0, 28}, {8, 28}}, 0, false);
             AddCircuitAt(s, 15, {{-8, 20}, {0, 20}, {8, 20}}, 0);
             AddCircuitAt(s, 57, {{-8, 24}, {0, 24}, {8, 24}, {0, 36}}, 1, false);
         },
         0, 4},
        // 2 × 50 ft: 0.0655 in/ft, density 0; both circuits on the structure at 20 ft.
        {"double circuit", 50,
         [](TScenario& s) {
             AddCircuitAt(s, 20, {{-10, 40}, {-10, 52}, {-10, 64}, {0, 76}}, 1);
             AddCircuitAt(s, 20, {{10, 64}, {10, 52}, {10, 40}}, 0);
         },
         0, 1},
    };
}

TEST_F(TDrawingFixture, CrowdedCrossSectionsPlaceEveryLabelAndCaptionClear) {
    for (const TCrowded& c : CrowdedCases()) {
        SCOPED_TRACE(c.Name);
        auto crowdedProject = test::MakeProject(English);
        TScenario& crowded = crowdedProject->Scenarios[0];
        crowded.SetDisplayRowLeft(c.Row);
        crowded.SetDisplayRowRight(c.Row);
        c.Build(crowded);
        const TPageList pages = Draw(crowded, 8);
        ASSERT_EQ(pages.Pages.size(), 1u);
        const TPage& page = pages.Pages[0];
        const TDrawn drawn = Read(page);
        const int conductors = crowded.ConductorCount();
        EXPECT_EQ(static_cast<int>(drawn.Labels.size()), conductors + 4); // and E, M twice
        EXPECT_EQ(drawn.Symbols.size(), c.Density < 3 ? std::size_t(conductors) : 0u);
        EXPECT_EQ(static_cast<int>(drawn.Structures.size()), crowded.Circuits.Count());
        EXPECT_EQ(static_cast<int>(TextsOf(page, QStringLiteral("S")).size()), c.StructureCaptions);
        EXPECT_EQ(TextsOf(page, QStringLiteral("ROW")).size(), 2u);
        const bool positions = c.Density == 0;
        EXPECT_EQ(drawn.Labels.back().Text.contains(QLatin1Char(',')), positions);
        ExpectClearLayout(drawn);
    }
}

// The line after the drawing starts below its last caption, also when
// captions are stacked: a structure 2 ft inside the ROW edge puts its caption
// under the edge's.
TEST_F(TDrawingFixture, CaptionsThatWouldMeetAreStackedAndTheNextLineStartsBelowThem) {
    AddCircuitAt(scenario, 48, {{-5, 30}, {0, 30}, {5, 30}}, 0);
    test::TLambdaReport report;
    double after = 0;
    report.Body = [&](TPageCanvas& canvas) {
        canvas.SetSectionBottom(10);
        canvas.SetCursorY(2);
        TPhaseDrawing(canvas, 0.75, 0.75 + kDrawingWidth / 2).Draw(scenario);
        after = canvas.CursorY();
    };
    TPageCanvas canvas;
    ASSERT_TRUE(canvas.Run(report).Ok);
    const TPage page = canvas.TakePages().Pages.at(0);
    const TTextCmd row = TextsOf(page, QStringLiteral("ROW")).at(1);
    const TTextCmd rowDistance = OnlyText(page, QStringLiteral("50.0"));
    const TTextCmd s = OnlyText(page, QStringLiteral("S"));
    const TTextCmd distance = OnlyText(page, QStringLiteral("48.0"));
    EXPECT_GT(InkBox(s).top(), InkBox(rowDistance).bottom()); // a row further down
    EXPECT_GT(InkBox(distance).top(), InkBox(s).bottom());
    EXPECT_NEAR(s.X + s.Width / 2, distance.X + distance.Width / 2, 1e-9);
    EXPECT_GT(after, distance.Y + 0.1);
    ExpectClearLayout(Read(page));
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
