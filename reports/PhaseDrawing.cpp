#include "reports/PhaseDrawing.h"

#include "engine/PageCanvas.h"
#include "model/Project.h"
#include "reports/ConductorSymbols.h"
#include "reports/Report.h"
#include "reports/ReportFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>

namespace corvalt {
namespace {

// Page geometry of the drawing, inches.
constexpr double kRightMargin = 0.5;       // the drawing reaches to page width - this
constexpr double kSideRoom = 0.7;          // width kept free beside the outermost items
constexpr double kLeastHeight = 3;         // below this much room the drawing takes a new page
constexpr double kNewPageHeight = 4;       // ... where it is sized for this height
constexpr double kLargestHeight = 5.5;     // height of the vertical extent at most
constexpr double kRoomBelow = 1;           // kept free below the drawing when sizing it
constexpr double kGapAbove = 0.25;         // above the title
constexpr double kFrameAboveTop = 0.25;    // frame height above the highest item
constexpr double kTitleToFrame = 0.1;      // title baseline to frame
constexpr double kSpaceAfter = 0.5;        // below the frame, for the next print line
constexpr double kRowEdgeLineHeight = 1;   // the dashed ROW edge lines
constexpr double kFirstLabelDrop = 0.1;    // first label line below the ground line
constexpr double kLabelStep = 0.1;         // between the label lines below the ground
constexpr double kUnitsNoteX = 2.15;       // "All Measurements in ..." from the centre
constexpr double kUnitsNoteRaise = 0.02;   // ... this far above the frame
constexpr double kThinLine = 0.01;         // leaders, ROW edges, existing structures
constexpr double kThickLine = 0.03;        // structures of new circuits
constexpr double kStructureAboveTop = 2;   // length units above the highest conductor
constexpr double kSymbolHalf = 0.05;       // symbols are drawn 0.1 in square
constexpr double kDiscHalf = 0.048;        // ... the disc inside, as labels avoid it
constexpr double kInkHeight = 0.75;        // capitals and digits, in font sizes
constexpr double kLabelRaise = 0.02;       // label baseline below the leader's end
constexpr double kLabelGapFactor = 0.1;    // gap between leader and label, in dh
constexpr double kLeftLabelOverlap = 0.02; // a label left of its leader reaches back this far

// Label font and leader steps by density level.
struct TLabelStyle {
    double FontSize; // pt
    double Dv, Dh;   // in
};
constexpr TLabelStyle kLabelStyles[4] = {
    {8, 0.1, 0.1}, {7, 0.075, 0.05}, {6, 0.05, 0.025}, {6, 0, 0}};
constexpr int kNoSymbolDensity = 3;

struct TDirection {
    int Sh, Sv;
};

TDirection DirectionOf(TPhaseDrawing::TLeader leader) {
    using L = TPhaseDrawing::TLeader;
    switch (leader) {
    case L::None:
        return {0, 0};
    case L::Left:
        return {-1, 0};
    case L::Right:
        return {1, 0};
    case L::LeftUp:
        return {-1, -1};
    case L::LeftDown:
        return {-1, 1};
    case L::RightUp:
        return {1, -1};
    case L::RightDown:
        return {1, 1};
    }
    return {0, 0};
}

bool LabelGoesLeft(TPhaseDrawing::TLeader leader) {
    using L = TPhaseDrawing::TLeader;
    return leader == L::Left || leader == L::LeftUp || leader == L::LeftDown;
}

bool LabelGoesUp(TPhaseDrawing::TLeader leader) {
    using L = TPhaseDrawing::TLeader;
    return leader == L::LeftDown || leader == L::RightDown;
}

// A conductor's lateral position from the reference line, length unit.
double PositionOf(const TConductor& conductor) {
    return static_cast<double>(conductor.Circuit->DisplayDistFromRowLeft()) +
           static_cast<double>(conductor.DisplayHorizDistance());
}

// Text of "%.1f" without a minus sign on zero (a ROW left edge at 0).
QString OneDecimal(double value) {
    return FixedText(value == 0 ? 0.0 : value, 1);
}

} // namespace

TDrawingExtents DrawingExtentsOf(const TScenario& scenario) {
    TDrawingExtents extents;
    extents.RowLeft = scenario.DisplayRowLeft();
    extents.RowRight = scenario.DisplayRowRight();
    extents.RightExtent = scenario.RightExtent();
    extents.LeftExtent = scenario.LeftExtent();
    extents.MaxHeight = scenario.MaxHeight();
    extents.MaxDepth = scenario.MaxDepth();
    return extents;
}

int LabelDensity(double scale) {
    if (scale < 0.01) return 3;
    if (scale < 0.015) return 2;
    if (scale < 0.03) return 1;
    return 0;
}

// The scale is the smaller of the one that fits the lateral extent into the
// width (less room at the sides) and the one that fits the vertical extent into
// the height. An extent of 0 (or less) sets no limit; with neither limit the
// drawing has no extent to show and the scale is 0.
TDrawingScale ScaleDrawing(const TDrawingExtents& e, double width, double height) {
    TDrawingScale result;
    double scale = std::numeric_limits<double>::infinity();
    const double lateral = e.RightExtent + e.LeftExtent;
    const double vertical = e.MaxHeight + e.MaxDepth;
    if (lateral > 0) scale = std::min(scale, (width - kSideRoom) / lateral);
    if (vertical > 0) scale = std::min(scale, height / vertical);
    result.Scale = std::isfinite(scale) && scale > 0 ? scale : 0;
    // Mid-frame lies the middle of the lateral extent; lateral values are drawn
    // shifted by half the ROW width.
    result.Centre = (e.RowRight + e.RightExtent) / 2;
    if (e.LeftExtent > e.RowLeft) result.Centre -= (e.LeftExtent - e.RowLeft) / 2;
    result.FrameHeight = e.MaxHeight * result.Scale + kFrameAboveTop;
    result.Density = LabelDensity(result.Scale);
    return result;
}

TPhaseDrawing::TPhaseDrawing(TPageCanvas& canvas, double left, double centreLine)
    : canvas_(canvas), left_(left), centreLine_(centreLine) {}

double TPhaseDrawing::MapX(double lateral) const {
    return (lateral - scale_.Centre) * scale_.Scale;
}

double TPhaseDrawing::MapY(double height) const {
    return -height * scale_.Scale;
}

void TPhaseDrawing::Draw(const TScenario& scenario) {
    canvas_.ClearTabs();
    labels_.clear();
    double available = RemainingHeight(canvas_) - kRoomBelow;
    if (available < kLeastHeight) {
        available = kNewPageHeight;
        canvas_.NewPage();
    } else if (available > kLargestHeight) {
        available = kLargestHeight;
    }
    const double width = canvas_.PageWidth() - left_ - kRightMargin;
    width_ = width;
    canvas_.SetCursorY(canvas_.CursorY() + kGapAbove);
    scale_ = ScaleDrawing(DrawingExtentsOf(scenario), width, available);
    halfRow_ = scenario.HalfRowWidth();
    if (RemainingHeight(canvas_) < scale_.FrameHeight) canvas_.NewPage();
    const double top = canvas_.CursorY();

    canvas_.SelectFont(kTahoma, 12);
    canvas_.KeepLineTop();
    canvas_.SetBold(true);
    canvas_.PrintCentredAt(QStringLiteral("Phase Configuration"), centreLine_);
    canvas_.SetCursorY(canvas_.CursorY() + kTitleToFrame);
    canvas_.SelectFont(kTahoma, 10);
    canvas_.KeepLineTop();

    canvas_.SetDrawOrigin(left_, canvas_.CursorY());
    canvas_.SetBrush(Qt::black, Qt::SolidPattern);
    canvas_.FrameRect(0, 0, width, scale_.FrameHeight);
    // From here on, positions are relative to the ground point under the
    // drawing's centre, y downwards.
    canvas_.SetDrawOrigin(left_ + width / 2, canvas_.CursorY() + scale_.FrameHeight);
    DrawUnitsNote(scenario);
    DrawRowEdges(scenario);
    DrawCircuits(scenario);
    PrintLabels();

    canvas_.SetCursorY(top + scale_.FrameHeight + kSpaceAfter);
    canvas_.SetDrawOrigin(0, 0);
}

void TPhaseDrawing::DrawUnitsNote(const TScenario& scenario) {
    const bool feet = std::string_view(scenario.Project->LengthUnit()) == "ft";
    const QString note = QStringLiteral("All Measurements in ") +
                         (feet ? QStringLiteral("Feet") : QStringLiteral("Meters"));
    // Moved left where it would reach past the frame's right edge.
    const double x = std::min(kUnitsNoteX, width_ / 2 - canvas_.TextWidth(note));
    canvas_.SetCursorX(x);
    canvas_.SetCursorY(-scale_.FrameHeight - kUnitsNoteRaise);
    canvas_.PrintLeftAt(note, x);
}

void TPhaseDrawing::DrawRowEdges(const TScenario& scenario) {
    const double rowLeft = scenario.DisplayRowLeft();
    const double rowRight = scenario.DisplayRowRight();
    canvas_.SetPen(Qt::black, Qt::DashLine, TLineWidth::Inches(kThinLine));
    const auto edge = [&](double lateral, double distance) {
        const double x = MapX(lateral);
        canvas_.SetCursorY(kFirstLabelDrop);
        canvas_.PrintCentredAt(QStringLiteral("ROW"), x);
        canvas_.SetCursorY(kFirstLabelDrop + kLabelStep);
        canvas_.PrintCentredAt(OneDecimal(distance), x);
        // In a frame lower than the line, the line ends at the frame's top.
        canvas_.MoveTo(x, 0);
        canvas_.LineTo(x, -std::min(kRowEdgeLineHeight, scale_.FrameHeight));
    };
    edge(halfRow_ - rowLeft, -rowLeft);
    edge(halfRow_ + rowRight, rowRight);

    const double eHeight = MapY(scenario.DisplayEFieldHeight());
    const double mHeight = MapY(scenario.DisplayBFieldHeight());
    for (const double lateral : {halfRow_ - rowLeft, halfRow_ + rowRight}) {
        MarkWithLeader(nullptr, TLeader::Left, QStringLiteral("E"), MapX(lateral), eHeight);
        MarkWithLeader(nullptr, TLeader::Right, QStringLiteral("M"), MapX(lateral), mHeight);
    }
}

void TPhaseDrawing::DrawCircuits(const TScenario& scenario) {
    std::vector<TMark> marks;
    for (const TCircuit& circuit : scenario.Circuits) {
        const double distance = circuit.DisplayDistFromRowLeft();
        const double xs = MapX(halfRow_ + distance);
        canvas_.SetPen(Qt::black, Qt::SolidLine,
                       TLineWidth::Inches(circuit.NewCircuit ? kThickLine : kThinLine));
        // A structure ends at the frame's top where its height above the highest
        // conductor (2 length units: 2 m at a large scale) would reach past it.
        canvas_.MoveTo(xs, 0);
        canvas_.LineTo(xs, std::max(MapY(circuit.MaxDisplayHeight() + kStructureAboveTop),
                                    -scale_.FrameHeight));
        if (distance != 0) {
            canvas_.SelectFont(kTahoma, 9);
            canvas_.KeepLineTop();
            canvas_.SetCursorY(kFirstLabelDrop);
            canvas_.PrintCentredAt(QStringLiteral("S"), xs);
            canvas_.SetCursorY(canvas_.CursorY() + kLabelStep);
            canvas_.PrintCentredAt(OneDecimal(distance), xs);
        }
        for (const TConductor& conductor : circuit.Conductors) {
            const double offset = conductor.DisplayHorizDistance();
            const double height = conductor.DisplayHeight();
            const QString id = ReportText(conductor.Id);
            const QString label = scale_.Density == 0
                                      ? id + QStringLiteral(": ") + OneDecimal(offset) +
                                            QStringLiteral(", ") + OneDecimal(height)
                                      : id;
            marks.push_back({&ConductorSymbol(conductor.CondType, circuit.NewCircuit),
                             offset >= 0 ? TLeader::RightDown : TLeader::LeftUp, label,
                             MapX(halfRow_ + PositionOf(conductor)), MapY(height)});
        }
    }
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const TMark& mark = marks[i];
        MarkWithLeader(mark.Symbol, ChooseLeader(marks, i), mark.Label, mark.X, mark.Y);
    }
}

namespace {

bool Overlap(const QRectF& a, const QRectF& b) {
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() &&
           b.top() < a.bottom();
}

} // namespace

// A conductor's label leads to the right and down from a conductor right of its
// circuit's reference, else to the left and up. Where that label would cover
// another conductor's symbol or a label already placed, or leave the frame,
// the first of the other three directions that does none of this is taken
// (the vertical mirror first); when every direction collides, the first stays.
TPhaseDrawing::TLeader TPhaseDrawing::ChooseLeader(const std::vector<TMark>& marks,
                                                   std::size_t index) const {
    const TMark& mark = marks[index];
    const std::array<TLeader, 4> candidates =
        mark.Preferred == TLeader::RightDown
            ? std::array{TLeader::RightDown, TLeader::RightUp, TLeader::LeftUp, TLeader::LeftDown}
            : std::array{TLeader::LeftUp, TLeader::LeftDown, TLeader::RightDown, TLeader::RightUp};
    const QRectF frame(-width_ / 2, -scale_.FrameHeight, width_, scale_.FrameHeight);
    for (const TLeader leader : candidates) {
        const QRectF box = LabelFor(leader, mark.Label, mark.X, mark.Y).Box;
        bool free = frame.contains(box);
        for (std::size_t other = 0; free && other < marks.size(); ++other)
            free = other == index || scale_.Density >= kNoSymbolDensity ||
                   !Overlap(box, SymbolBox(marks[other].X, marks[other].Y, kDiscHalf));
        for (const TLabel& placed : labels_)
            free = free && !Overlap(box, placed.Box);
        if (free) return leader;
    }
    return mark.Preferred;
}

QRectF TPhaseDrawing::SymbolBox(double x, double y, double half) {
    return {x - half, y - half, 2 * half, 2 * half};
}

// Where the label of a mark at (x, y) goes with the leader, in the label font
// of the density level.
TPhaseDrawing::TLabel TPhaseDrawing::LabelFor(TLeader leader, const QString& text, double x,
                                              double y) const {
    const TLabelStyle& style = kLabelStyles[scale_.Density];
    const TDirection d = DirectionOf(leader);
    canvas_.PushFont();
    canvas_.SelectFont(kTahoma, style.FontSize);
    TLabel label;
    label.Text = text;
    label.Font = canvas_.Font();
    const double endX = x + 2 * d.Sh * style.Dh;
    const double endY = y + d.Sv * style.Dv;
    label.X = endX + d.Sh * style.Dh * kLabelGapFactor;
    label.Y = endY + kLabelRaise;
    const double width = canvas_.TextWidth(text);
    if (LabelGoesLeft(leader)) label.X -= width - kLeftLabelOverlap;
    if (scale_.Density == 0) {
        const double quarterHeight = style.FontSize / 72.0 / 4;
        label.Y += LabelGoesUp(leader) ? -quarterHeight : quarterHeight;
    }
    // The box of the capitals and digits: labels may touch below their baseline.
    const double inkHeight = kInkHeight * style.FontSize / 72.0;
    label.Box = QRectF(label.X, label.Y - inkHeight, width, inkHeight);
    canvas_.PopFont();
    return label;
}

void TPhaseDrawing::MarkWithLeader(const QImage* symbol, TLeader leader, const QString& label,
                                   double x, double y) {
    canvas_.SetPen(Qt::black, Qt::SolidLine, TLineWidth::Inches(kThinLine));
    if (symbol != nullptr && scale_.Density < kNoSymbolDensity) {
        const QRectF box = SymbolBox(x, y, kSymbolHalf);
        canvas_.DrawBitmap(box.left(), box.top(), box.right(), box.bottom(), *symbol);
    }
    const TLabelStyle& style = kLabelStyles[scale_.Density];
    const TDirection d = DirectionOf(leader);
    const double endX = x + 2 * d.Sh * style.Dh;
    const double endY = y + d.Sv * style.Dv;
    if (endX != x || endY != y) {
        canvas_.MoveTo(x, y);
        canvas_.LineTo(x + d.Sh * style.Dh, endY);
        canvas_.LineTo(endX, endY);
    }
    labels_.push_back(LabelFor(leader, label, x, y));
}

// The labels go on top of every symbol and line, so that none is hidden by a
// neighbouring conductor's symbol.
void TPhaseDrawing::PrintLabels() {
    canvas_.PushFont();
    for (const TLabel& label : labels_) {
        canvas_.SetFont(label.Font);
        canvas_.SetCursorY(label.Y);
        canvas_.PrintLeftAt(label.Text, label.X);
    }
    canvas_.PopFont();
    labels_.clear();
}

} // namespace corvalt
