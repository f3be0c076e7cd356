// The phase configuration drawing: its scale and placement as numbers, and the
// drawing itself read back from the recorded page: conductors where they are,
// the page-break rule, the label densities, the structure marks and the
// conductor symbols.
#include "ReportTestSupport.h"
#include "StressProjects.h"

#include "EngineTestSupport.h"
#include "engine/PageCanvas.h"
#include "reports/ConductorSymbols.h"
#include "reports/PhaseDrawing.h"

#include <gtest/gtest.h>

#include <QRectF>

#include <algorithm>
#include <functional>
#include <set>
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

// A conductor symbol as the page records it: a ring of 24 strokes of one pen
// (its centre the mean of their starts), then the strokes of its mark.
struct TRing {
    QPointF Centre;
    double Radius = 0; // to the middle of the pen
    TPenSpec Pen;
    std::vector<TLineCmd> Mark; // the strokes drawn after it in the mark's pen
    QRectF Box() const {
        const double outer = Radius + Pen.Width / 2;
        return QRectF(Centre.x() - outer, Centre.y() - outer, 2 * outer, 2 * outer);
    }
};

constexpr std::size_t kRingStrokes = 24;
constexpr double kMarkPen = 0.006; // in

std::vector<TRing> Rings(const TPage& page) {
    std::vector<TLineCmd> lines = CommandsOf<TLineCmd>(page);
    std::vector<TRing> rings;
    for (std::size_t i = 0; i + kRingStrokes <= lines.size();) {
        bool closed = true;
        for (std::size_t k = 1; k < kRingStrokes && closed; ++k)
            closed = lines[i + k].Pen == lines[i].Pen && lines[i + k].X1 == lines[i + k - 1].X2 &&
                     lines[i + k].Y1 == lines[i + k - 1].Y2;
        const TLineCmd& last = lines[i + kRingStrokes - 1];
        closed = closed && std::abs(last.X2 - lines[i].X1) < 1e-9 &&
                 std::abs(last.Y2 - lines[i].Y1) < 1e-9;
        if (!closed) {
            ++i;
            continue;
        }
        TRing ring;
        for (std::size_t k = 0; k < kRingStrokes; ++k)
            ring.Centre += QPointF(lines[i + k].X1, lines[i + k].Y1) / kRingStrokes;
        ring.Radius = QLineF(ring.Centre, QPointF(lines[i].X1, lines[i].Y1)).length();
        ring.Pen = lines[i].Pen;
        i += kRingStrokes;
        while (i < lines.size() && std::abs(lines[i].Pen.Width - kMarkPen) < 1e-12 &&
               ring.Box().contains(QPointF(lines[i].X1, lines[i].Y1)))
            ring.Mark.push_back(lines[i++]);
        rings.push_back(ring);
    }
    return rings;
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

// The drawing read back from the page: the frame (its bottom is the ground
// line), the structure lines (solid and vertical, 0.01 or 0.03 in wide, in
// pieces between the symbols), the ROW lines (dashed), the symbols, the
// leaders (the other solid lines of 0.01 in inside the frame), the labels
// (texts inside the frame) and the captions and legend (texts under the
// ground line).
struct TDrawn {
    TFrameCmd Frame;
    std::vector<TLineCmd> Structures, RowLines, Leaders;
    std::vector<TRing> Symbols;
    std::vector<TTextCmd> Labels, Captions;
};

TDrawn Read(const TPage& page) {
    TDrawn drawn;
    drawn.Frame = FrameOf(page);
    const double ground = drawn.Frame.Bottom;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page)) {
        if (line.Pen.Style == Qt::DashLine) {
            drawn.RowLines.push_back(line);
        } else if (line.X1 == line.X2 && (std::abs(line.Pen.Width - 0.01) < 1e-12 ||
                                          std::abs(line.Pen.Width - 0.03) < 1e-12)) {
            drawn.Structures.push_back(line);
        } else if (std::abs(line.Pen.Width - 0.01) < 1e-12 && line.Y1 <= ground &&
                   line.Y2 <= ground) {
            drawn.Leaders.push_back(line);
        }
    }
    for (const TRing& ring : Rings(page))
        if (ring.Centre.y() < ground) drawn.Symbols.push_back(ring);
    for (const TTextCmd* text : page.Texts()) {
        if (text->Y > ground) {
            drawn.Captions.push_back(*text);
        } else if (text->Y > drawn.Frame.Top) {
            drawn.Labels.push_back(*text);
        }
    }
    return drawn;
}

// The distance between a segment and a rectangle, 0 when they meet.
double Distance(const TLineCmd& line, const QRectF& box) {
    if (Meet(line, box)) return 0;
    double nearest = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= 400; ++i) {
        const double t = i / 400.0;
        const QPointF p(line.X1 + t * (line.X2 - line.X1), line.Y1 + t * (line.Y2 - line.Y1));
        const double dx = std::max({box.left() - p.x(), 0.0, p.x() - box.right()});
        const double dy = std::max({box.top() - p.y(), 0.0, p.y() - box.bottom()});
        nearest = std::min(nearest, std::hypot(dx, dy));
    }
    return nearest;
}

// The last stroke of a leader ends 0.03 in before the start of the label it
// leads to (after its end for a leader to the left), at the height of its
// text.
bool LeadsTo(const TLineCmd& leader, const TTextCmd& label) {
    const QRectF box = InkBox(label);
    const bool beside = std::abs(label.X - leader.X2 - 0.03) < 1e-6 ||
                        std::abs(leader.X2 - (label.X + label.Width) - 0.03) < 1e-6;
    return beside && leader.Y2 > box.top() - 0.05 && leader.Y2 < box.bottom() + 0.05;
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
        for (const TRing& symbol : d.Symbols)
            EXPECT_FALSE(Meet(box, symbol.Box())) << "symbol at " << symbol.Centre.x();
        // No leader meets the label, and its own (both strokes) keeps 0.03 in
        // from it.
        for (const TLineCmd& leader : d.Leaders) {
            bool own = LeadsTo(leader, label);
            for (const TLineCmd& next : d.Leaders)
                own = own || (next.X1 == leader.X2 && next.Y1 == leader.Y2 && LeadsTo(next, label));
            EXPECT_GE(Distance(leader, box), own ? 0.03 - 1e-9 : 1e-9)
                << "leader from " << leader.X1 << ", " << leader.Y1;
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

    const std::vector<TRing> symbols = Read(page).Symbols;
    ASSERT_EQ(symbols.size(), 4u);
    const double expected[][2] = {{-30, 42}, {-4, 42}, {22, 42}, {-21, 60}};
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(symbols[i].Centre.x() - edges[0], (50 + expected[i][0]) * scale, 1e-6);
        EXPECT_NEAR(ground - symbols[i].Centre.y(), expected[i][1] * scale, 1e-6);
        // 0.1 in across to the outside of the ring; a new circuit's ring is
        // black and 0.012 in thick.
        EXPECT_NEAR(symbols[i].Box().width(), 0.1, 1e-6);
        EXPECT_NEAR(symbols[i].Pen.Width, 0.012, 1e-12);
        EXPECT_EQ(symbols[i].Pen.Colour, qRgb(0, 0, 0));
    }
    // 1A1's mark is an "A" (two slanting strokes and a bar), 1G1's a "G" (an
    // arc of 12 strokes and a bar) in another colour.
    EXPECT_EQ(symbols[0].Mark.size(), 3u);
    EXPECT_EQ(symbols[3].Mark.size(), 13u);
    EXPECT_NE(symbols[0].Mark.front().Pen.Colour, symbols[3].Mark.front().Pen.Colour);

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
        const auto* line = std::get_if<TLineCmd>(&page.Commands[i]);
        if (line && line->Y1 < ground && std::abs(line->Pen.Width - 0.012) < 1e-12) lastSymbol = i;
        const auto* text = std::get_if<TTextCmd>(&page.Commands[i]);
        if (text && text->Text.startsWith(QStringLiteral("1")) && firstLabel > i) firstLabel = i;
    }
    EXPECT_LT(lastSymbol, firstLabel);
}

// The drawing is sized for the room left less 1 in, at most 5.5 in; under
// 3 in it is sized for 4 in on a new page. Its captions and its legend stay
// above the section bottom: where the room less 1 in leaves them too little,
// the drawing is made smaller.
TEST_F(TDrawingFixture, DrawingThatFindsTooLittleRoomStartsANewPageSizedForFourInches) {
    test::AddLine(scenario, "Tall", {{-10, 200}, {0, 200}, {10, 200}});
    struct TCase {
        double Room;
        std::size_t Page;
        double Height; // the drawing is sized for; 0: less than the room less 1 in
    };
    for (const TCase& c : {TCase{3.9, 1, 4.0}, TCase{4.1, 0, 0}, TCase{9.5, 0, 5.5}}) {
        SCOPED_TRACE(c.Room);
        const TPageList pages = Draw(scenario, c.Room);
        ASSERT_EQ(pages.Pages.size(), c.Page + 1);
        const TPage& page = pages.Pages[c.Page];
        OnlyText(page, QStringLiteral("Phase Configuration"));
        const TFrameCmd frame = FrameOf(page);
        // The height decides here: 200 ft into the height the drawing is sized for.
        if (c.Height > 0) {
            EXPECT_NEAR(frame.Bottom - frame.Top, c.Height + 0.25, 1e-9);
        } else {
            EXPECT_LT(frame.Bottom - frame.Top, c.Room - 1 + 0.25);
            EXPECT_GT(frame.Bottom - frame.Top, c.Room - 1 + 0.25 - 0.6);
        }
        // Nothing of it below the section bottom (at 10 in).
        for (const TTextCmd* text : page.Texts())
            EXPECT_LT(text->Y, 10) << text->Text.toStdString();
        for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
            EXPECT_LT(std::max(line.Y1, line.Y2), 10);
        EXPECT_EQ(TextsOf(page, QStringLiteral("Phase conductors")).size(), 1u);
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
        // With symbols a leader leads from each conductor, starting at its
        // symbol's ring 0.05 in from its centre. Without them each id sits at
        // its conductor, 0.02 in below it (1A1 ending there, as its side's
        // leader goes to the left), except 1B1: on the structure line its id
        // would meet the line, so a leader leads it off from the conductor.
        const double scale = (kDrawingWidth - 0.7) / (2 * c.Row);
        const double centre = 0.75 + kDrawingWidth / 2;
        const double y = drawn.Frame.Bottom - 42 * scale;
        const double xs[] = {centre - 26 * spread * scale, centre, centre + 26 * spread * scale};
        for (std::size_t i = 0; i < 3; ++i) {
            const auto led =
                std::count_if(drawn.Leaders.begin(), drawn.Leaders.end(), [&](const TLineCmd& l) {
                    return std::abs(std::hypot(l.X1 - xs[i], l.Y1 - y) - (symbols ? 0.05 : 0)) <
                           1e-9;
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
    // each from the ground up to 2 ft above its highest conductor, passing
    // behind the symbol of the conductor on it (a gap of the symbol's 0.1 in).
    const std::vector<double> edges = RowEdges(page);
    ASSERT_EQ(edges.size(), 2u);
    const double scale = (edges[1] - edges[0]) / 100;
    const double ground = FrameOf(page).Bottom;
    const TDrawn drawn = Read(page);
    struct TStructure {
        double X, Width, Top, Length;
    };
    std::vector<TStructure> structures;
    for (const TLineCmd& piece : drawn.Structures) {
        auto it = std::find_if(structures.begin(), structures.end(),
                               [&](const TStructure& st) { return st.X == piece.X1; });
        if (it == structures.end()) it = structures.insert(structures.end(), {piece.X1, piece.Pen.Width, ground, 0});
        it->Top = std::min({it->Top, piece.Y1, piece.Y2});
        it->Length += std::abs(piece.Y2 - piece.Y1);
    }
    ASSERT_EQ(structures.size(), 2u);
    EXPECT_NEAR(structures[0].Width, 0.01, 1e-12);
    EXPECT_NEAR(structures[0].X - edges[0], 50 * scale, 1e-9);
    EXPECT_NEAR(ground - structures[0].Top, 32 * scale, 1e-9);
    EXPECT_NEAR(structures[0].Length, 32 * scale - 0.1, 1e-9);
    EXPECT_NEAR(structures[1].Width, 0.03, 1e-12);
    EXPECT_NEAR(structures[1].X - edges[0], 75 * scale, 1e-9);
    EXPECT_NEAR(structures[1].Length, 22 * scale - 0.1, 1e-9);
    EXPECT_NEAR(s.X + s.Width / 2, structures[1].X, 1e-9);
    // Existing circuits' rings are thin and of the mark's colour, new ones'
    // thick and black; both carry a "B" for phase B (two strokes).
    const std::vector<TRing> symbols = Read(page).Symbols;
    ASSERT_EQ(symbols.size(), 6u);
    EXPECT_NEAR(symbols[1].Pen.Width, 0.004, 1e-12);
    EXPECT_EQ(symbols[1].Pen.Colour, symbols[1].Mark.front().Pen.Colour);
    EXPECT_NEAR(symbols[4].Pen.Width, 0.012, 1e-12);
    EXPECT_EQ(symbols[4].Pen.Colour, qRgb(0, 0, 0));
    EXPECT_EQ(symbols[1].Mark.size(), 6u + 4u);
    EXPECT_EQ(symbols[4].Mark.size(), 6u + 4u);
}

TEST_F(TDrawingFixture, LabelThatWouldCoverANeighbourTakesAnotherDirection) {
    // A scale at which labels carry positions and the conductors stand closer
    // than their labels are long.
    scenario.SetDisplayRowLeft(100);
    scenario.SetDisplayRowRight(100);
    test::AddLine(scenario, "PC", {{-26, 42}, {0, 42}, {26, 42}});
    const TPage page = Draw(scenario, 8).Pages.at(0);
    const std::vector<TRing> symbols = Read(page).Symbols;
    ASSERT_EQ(symbols.size(), 3u);
    const TTextCmd centre = OnlyText(page, QStringLiteral("1B1: 0.0, 42.0"));
    const TTextCmd right = OnlyText(page, QStringLiteral("1C1: 26.0, 42.0"));
    const TTextCmd left = OnlyText(page, QStringLiteral("1A1: -26.0, 42.0"));
    // 1C1 and 1A1 keep their side's leader: right and down, left and up.
    EXPECT_GT(right.X, symbols[2].Centre.x());
    EXPECT_GT(right.Y, symbols[2].Centre.y());
    EXPECT_LT(left.X + left.Width, symbols[0].Centre.x());
    EXPECT_LT(left.Y, symbols[0].Centre.y());
    // 1B1's label down to the right would run into 1C1's symbol: it goes
    // elsewhere, clear of it.
    EXPECT_FALSE(Meet(InkBox(centre), symbols[2].Box()));
    EXPECT_FALSE(centre.X > symbols[1].Centre.x() && centre.Y > symbols[1].Centre.y() &&
                 std::abs(centre.Y - symbols[1].Centre.y() - 0.1) < 0.05);
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
        std::set<double> structureLines;
        for (const TLineCmd& piece : drawn.Structures)
            structureLines.insert(piece.X1);
        // Circuits on one structure share its line.
        std::set<float> structures;
        for (const TCircuit& circuit : crowded.Circuits)
            structures.insert(circuit.DisplayDistFromRowLeft());
        EXPECT_EQ(structureLines.size(), structures.size());
        EXPECT_EQ(static_cast<int>(TextsOf(page, QStringLiteral("S")).size()), c.StructureCaptions);
        EXPECT_EQ(TextsOf(page, QStringLiteral("ROW")).size(), 2u);
        const bool positions = c.Density == 0;
        EXPECT_EQ(drawn.Labels.back().Text.contains(QLatin1Char(',')), positions);
        ExpectClearLayout(drawn);
    }
}

// An 1100 kV line whose outer phases stand 4 m inside a 25 m ROW edge: at
// 0.131 in/m the label "1A1: -21.0, 25.0" (about 0.8 in) finds no room left
// of its conductor, whose symbol is 0.87 in from the frame; it goes elsewhere
// inside the frame. The legend under the drawing explains the symbols drawn.
TEST(PhaseDrawing, UhvLineKeepsEveryLabelInsideTheFrameWithALegend) {
    auto project = test::UhvProject();
    TScenario& line = project->Scenarios[0];
    line.InterestPoints.Clear();
    const TPage page = Draw(line, 8).Pages.at(0);
    const TDrawn drawn = Read(page);
    EXPECT_EQ(drawn.Symbols.size(), 5u);
    const TTextCmd label = OnlyText(page, QStringLiteral("1A1: -21.0, 25.0"));
    EXPECT_GE(label.X, drawn.Frame.Left);
    ExpectClearLayout(drawn);
    for (const char* entry : {"Phase conductors", "Ground wire", "New circuit"})
        EXPECT_GT(OnlyText(page, QString::fromLatin1(entry)).Y, drawn.Frame.Bottom) << entry;
    for (const char* absent : {"Existing circuit", "DC pole, positive", "Point of interest"})
        EXPECT_TRUE(TextsOf(page, QString::fromLatin1(absent)).empty()) << absent;
}

// DC poles are marked by their polarity, "+" (two strokes) and "-" (one),
// not by the phase letter of their conductor type, and so named in the legend.
TEST_F(TDrawingFixture, DcPolesAreMarkedByPolarity) {
    TCircuit& dc = test::AddLine(scenario, "DC", {{-12, 50}, {12, 50}, {40, 50}});
    for (int i = 0; i < 2; ++i) {
        dc.Conductors[i].AcFlag = 0;
        dc.Conductors[i].MaxVoltage = i == 0 ? 250 : -250;
    }
    const TPage page = Draw(scenario, 8).Pages.at(0);
    const std::vector<TRing> symbols = Read(page).Symbols;
    ASSERT_EQ(symbols.size(), 3u);
    ASSERT_EQ(symbols[0].Mark.size(), 2u);
    EXPECT_EQ(symbols[0].Mark[0].Y1, symbols[0].Mark[0].Y2); // across
    EXPECT_EQ(symbols[0].Mark[1].X1, symbols[0].Mark[1].X2); // up and down
    ASSERT_EQ(symbols[1].Mark.size(), 1u);
    EXPECT_EQ(symbols[1].Mark[0].Y1, symbols[1].Mark[0].Y2);
    EXPECT_NE(symbols[0].Mark[0].Pen.Colour, symbols[1].Mark[0].Pen.Colour);
    EXPECT_EQ(symbols[2].Mark.size(), 12u); // the AC conductor of phase C: the arc of a "C"
    for (const char* entry : {"DC pole, positive", "DC pole, negative", "Phase conductors"})
        OnlyText(page, QString::fromLatin1(entry));
}

// Points of interest are triangles standing on the ground line at their
// places, their names above them (cut with "…" beyond 1.5 in); a name that finds
// no room clear of everything else is left out, its mark kept.
TEST_F(TDrawingFixture, PointsOfInterestAreMarkedOnTheGroundWithTheirNames) {
    test::AddLine(scenario, "PC", {{-10, 40}, {0, 40}, {10, 40}});
    const std::pair<const char*, float> points[] = {
        {"School", -30}, {"A name far too long to be shown whole in the drawing", 30}};
    for (const auto& [name, distance] : points) {
        auto point = std::make_unique<TInterestPoint>(scenario);
        point->Name = name;
        point->SetDisplayDistFromRowLeft(distance);
        scenario.InterestPoints.Add(std::move(point));
    }
    const TPage page = Draw(scenario, 8).Pages.at(0);
    const TDrawn drawn = Read(page);
    const std::vector<double> edges = RowEdges(page);
    const double scale = (edges[1] - edges[0]) / 100;
    const double ground = drawn.Frame.Bottom;
    for (const auto& [name, distance] : points) {
        SCOPED_TRACE(name);
        const double x = edges[0] + (50 + distance) * scale;
        // Three strokes: the base on the ground 0.08 in wide, the apex 0.07 in up.
        std::vector<TLineCmd> mark;
        for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
            if (std::abs(line.Pen.Width - 0.006) < 1e-12 && std::abs(line.X1 - x) <= 0.04 + 1e-9 &&
                line.Y1 <= ground + 1e-9 && line.Y1 >= ground - 0.07 - 1e-9)
                mark.push_back(line);
        ASSERT_EQ(mark.size(), 3u);
        EXPECT_NEAR(std::min({mark[0].Y1, mark[1].Y1, mark[2].Y1}), ground - 0.07, 1e-9);
    }
    const TTextCmd school = OnlyText(page, QStringLiteral("School"));
    EXPECT_LT(school.Y, ground);
    const TTextCmd* cut = nullptr;
    for (const TTextCmd* text : page.Texts())
        if (text->Text.startsWith(QStringLiteral("A name far")) && text->Text.endsWith(QChar(0x2026)))
            cut = text;
    ASSERT_NE(cut, nullptr);
    EXPECT_LE(cut->Width, 1.5);
    OnlyText(page, QStringLiteral("Point of interest"));
    ExpectClearLayout(drawn);
}

// Structure and ROW lines end inside the frame, their square ends too: a
// metric structure 2 m above its conductors would reach past the frame's top.
TEST(PhaseDrawing, StructureAndRowLinesEndInsideTheFrame) {
    auto project = test::MakeProject(Metric);
    TScenario& line = project->Scenarios[0];
    line.SetDisplayRowLeft(10);
    line.SetDisplayRowRight(10);
    test::AddLine(line, "M", {{-4, 8}, {0, 10}, {4, 8}});
    const TPage page = Draw(line, 8).Pages.at(0);
    const TDrawn drawn = Read(page);
    ASSERT_FALSE(drawn.Structures.empty());
    for (const TLineCmd& piece : drawn.Structures) {
        EXPECT_GE(std::min(piece.Y1, piece.Y2) - piece.Pen.Width / 2, drawn.Frame.Top - 1e-9);
    }
    for (const TLineCmd& row : drawn.RowLines)
        EXPECT_GE(std::min(row.Y1, row.Y2) - row.Pen.Width / 2, drawn.Frame.Top - 1e-9);
    // The structure does reach the frame's top: 2 m above the 10 m conductor
    // would be past it (the frame is 0.25 in above 10 m).
    double top = drawn.Frame.Bottom;
    for (const TLineCmd& piece : drawn.Structures)
        top = std::min({top, piece.Y1, piece.Y2});
    EXPECT_NEAR(top, drawn.Frame.Top + 0.015, 1e-9);
}

// The pieces of a vertical line outside circles: worked out by hand for a
// circle of radius 0.05 on the line, one 0.03 beside it (0.04 of it blocked
// each way) and one too far to touch it.
TEST(PhaseDrawing, VerticalLinesPassBehindSymbols) {
    const auto pieces = PiecesOutsideCircles(0, -1, 0, {{0, -0.5}, {0.03, -0.2}, {0.06, -0.8}}, 0.05);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_NEAR(pieces[0].first, -1, 1e-12);
    EXPECT_NEAR(pieces[0].second, -0.55, 1e-12);
    EXPECT_NEAR(pieces[1].first, -0.45, 1e-12);
    EXPECT_NEAR(pieces[1].second, -0.24, 1e-12);
    EXPECT_NEAR(pieces[2].first, -0.16, 1e-12);
    EXPECT_NEAR(pieces[2].second, 0, 1e-12);
    EXPECT_TRUE(PiecesOutsideCircles(0, -1, 0, {{0, -0.5}}, 2).empty());
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

} // namespace
} // namespace corvalt
