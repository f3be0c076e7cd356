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
constexpr double kRightMargin = 0.5;        // the drawing reaches to page width - this
constexpr double kSideRoom = 0.7;           // width kept free beside the outermost items
constexpr double kLeastHeight = 3;          // below this much room the drawing takes a new page
constexpr double kNewPageHeight = 4;        // ... where it is sized for this height
constexpr double kLargestHeight = 5.5;      // height of the vertical extent at most
constexpr double kRoomBelow = 1;            // kept free below the drawing when sizing it
constexpr double kGapAbove = 0.25;          // above the title
constexpr double kFrameAboveTop = 0.25;     // frame height above the highest item
constexpr double kTitleToFrame = 0.1;       // title baseline to frame
constexpr double kSpaceAfter = 0.5;         // below the frame, for the next print line
constexpr double kSpaceAfterCaptions = 0.2; // below the last caption line, at least
constexpr double kRowEdgeLineHeight = 1;    // the dashed ROW edge lines
constexpr double kCaptionGap = 0.03;        // ground line, caption lines and rows keep this apart
constexpr double kUnitsNoteX = 2.15;        // "All Measurements in ..." from the centre
constexpr double kUnitsNoteRaise = 0.02;    // ... this far above the frame
constexpr double kThinLine = 0.01;          // leaders, ROW edges, existing structures
constexpr double kThickLine = 0.03;         // structures of new circuits
constexpr double kStructureAboveTop = 2;    // length units above the highest conductor
constexpr double kSymbolHalf = 0.05;        // symbols are drawn 0.1 in square
constexpr double kDiscHalf = 0.048;         // ... the disc inside, as labels avoid it
constexpr double kLabelClearance = 0.01;    // labels keep this far from everything else
// The box a text covers, in font sizes: capitals and digits above the
// baseline, descenders below it.
constexpr double kInkAscent = 0.75;
constexpr double kInkDescent = 0.21;
constexpr double kRowCaptionSize = 10;      // pt, "ROW" and its distance
constexpr double kStructureCaptionSize = 9; // pt, "S" and its distance

double PointsToInches(double points) {
    return points / 72.0;
}

// Label font and leader steps by density level.
struct TLabelStyle {
    double FontSize; // pt
    double Dv, Dh;   // in
};
constexpr TLabelStyle kLabelStyles[4] = {
    {8, 0.1, 0.1}, {7, 0.075, 0.05}, {6, 0.05, 0.025}, {6, 0, 0}};
constexpr int kNoSymbolDensity = 3;

// A conductor's lateral position from the reference line, length unit.
double PositionOf(const TConductor& conductor) {
    return static_cast<double>(conductor.Circuit->DisplayDistFromRowLeft()) +
           static_cast<double>(conductor.DisplayHorizDistance());
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
    captions_.clear();
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
    const double frameTop = canvas_.CursorY();
    canvas_.SetDrawOrigin(left_ + width / 2, frameTop + scale_.FrameHeight);
    layout_ = std::make_unique<TLabelLayout>(
        QRectF(-width_ / 2, -scale_.FrameHeight, width_, scale_.FrameHeight), kLabelClearance);
    DrawUnitsNote(scenario);
    DrawRowEdges(scenario);
    DrawStructures(scenario);
    const double lowestCaption = PrintCaptions();
    std::vector<TMark> marks = SensorMarks(scenario);
    const std::vector<TMark> conductors = ConductorMarks(scenario);
    marks.insert(marks.end(), conductors.begin(), conductors.end());
    DrawMarks(marks);
    PrintLabels();
    layout_.reset();

    const double ground = frameTop + scale_.FrameHeight;
    canvas_.SetCursorY(std::max(top + scale_.FrameHeight + kSpaceAfter,
                                ground + lowestCaption + kSpaceAfterCaptions));
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
        captions_.push_back({x, QStringLiteral("ROW"), FixedText(distance, 1), kRowCaptionSize});
        // In a frame lower than the line, the line ends at the frame's top.
        const double lineTop = -std::min(kRowEdgeLineHeight, scale_.FrameHeight);
        canvas_.MoveTo(x, 0);
        canvas_.LineTo(x, lineTop);
        layout_->AddLine(QLineF(x, 0, x, lineTop));
    };
    edge(halfRow_ - rowLeft, -rowLeft);
    edge(halfRow_ + rowRight, rowRight);
}

// One structure line per circuit; circuits on one structure (the same
// distance from the reference line) share its caption.
void TPhaseDrawing::DrawStructures(const TScenario& scenario) {
    std::vector<float> captioned;
    for (const TCircuit& circuit : scenario.Circuits) {
        const float distance = circuit.DisplayDistFromRowLeft();
        const double xs = MapX(halfRow_ + distance);
        canvas_.SetPen(Qt::black, Qt::SolidLine,
                       TLineWidth::Inches(circuit.NewCircuit ? kThickLine : kThinLine));
        // A structure ends at the frame's top where its height above the highest
        // conductor (2 length units: 2 m at a large scale) would reach past it.
        const double lineTop =
            std::max(MapY(circuit.MaxDisplayHeight() + kStructureAboveTop), -scale_.FrameHeight);
        canvas_.MoveTo(xs, 0);
        canvas_.LineTo(xs, lineTop);
        layout_->AddLine(QLineF(xs, 0, xs, lineTop));
        if (distance == 0 ||
            std::find(captioned.begin(), captioned.end(), distance) != captioned.end())
            continue;
        captioned.push_back(distance);
        captions_.push_back(
            {xs, QStringLiteral("S"), FixedText(distance, 1), kStructureCaptionSize});
    }
}

// Each caption is a name over a distance, centred on its line; captions that
// would meet go into rows further down. Every line keeps kCaptionGap from the
// ground line and from the line above it.
double TPhaseDrawing::PrintCaptions() {
    canvas_.PushFont();
    const double rowPitch = 2 * (PointsToInches(kRowCaptionSize) * kInkAscent + kCaptionGap);
    std::vector<std::pair<double, double>> extents;
    for (const TCaption& caption : captions_) {
        canvas_.SelectFont(kTahoma, caption.FontSize);
        const double half =
            std::max(canvas_.TextWidth(caption.Name), canvas_.TextWidth(caption.Distance)) / 2;
        extents.emplace_back(caption.X - half, caption.X + half);
    }
    const std::vector<int> rows = CaptionRows(extents, 2 * kCaptionGap);
    double lowest = 0;
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        const TCaption& caption = captions_[i];
        canvas_.SelectFont(kTahoma, caption.FontSize);
        const double capital = PointsToInches(caption.FontSize) * kInkAscent;
        const double nameBaseline = kCaptionGap + rows[i] * rowPitch + capital;
        const double distanceBaseline = nameBaseline + kCaptionGap + capital;
        canvas_.SetCursorY(nameBaseline);
        canvas_.PrintCentredAt(caption.Name, caption.X);
        canvas_.SetCursorY(distanceBaseline);
        canvas_.PrintCentredAt(caption.Distance, caption.X);
        lowest = std::max(lowest, distanceBaseline);
    }
    canvas_.PopFont();
    return lowest;
}

// The electric (E, leader to the left) and magnetic (M, to the right) sensor
// marks at both ROW edges, left edge first.
std::vector<TPhaseDrawing::TMark> TPhaseDrawing::SensorMarks(const TScenario& scenario) const {
    const double eHeight = MapY(scenario.DisplayEFieldHeight());
    const double mHeight = MapY(scenario.DisplayBFieldHeight());
    std::vector<TMark> marks;
    for (const double lateral :
         {halfRow_ - scenario.DisplayRowLeft(), halfRow_ + scenario.DisplayRowRight()}) {
        marks.push_back({nullptr, TLeader::Left, QStringLiteral("E"), MapX(lateral), eHeight});
        marks.push_back({nullptr, TLeader::Right, QStringLiteral("M"), MapX(lateral), mHeight});
    }
    return marks;
}

// A conductor's label leads to the right and down from a conductor right of its
// circuit's reference, else to the left and up.
std::vector<TPhaseDrawing::TMark> TPhaseDrawing::ConductorMarks(const TScenario& scenario) const {
    std::vector<TMark> marks;
    for (const TCircuit& circuit : scenario.Circuits) {
        for (const TConductor& conductor : circuit.Conductors) {
            const double offset = conductor.DisplayHorizDistance();
            const double height = conductor.DisplayHeight();
            const QString id = ReportText(conductor.Id);
            const QString label = scale_.Density == 0
                                      ? id + QStringLiteral(": ") + FixedText(offset, 1) +
                                            QStringLiteral(", ") + FixedText(height, 1)
                                      : id;
            marks.push_back({&ConductorSymbol(conductor.CondType, circuit.NewCircuit),
                             offset >= 0 ? TLeader::RightDown : TLeader::LeftUp, label,
                             MapX(halfRow_ + PositionOf(conductor)), MapY(height)});
        }
    }
    return marks;
}

// Symbols first, then each mark's leader, placed where its label meets nothing
// drawn or placed before it.
void TPhaseDrawing::DrawMarks(const std::vector<TMark>& marks) {
    std::vector<std::size_t> symbols(marks.size(), TLabelRequest::kNoSymbol);
    if (scale_.Density < kNoSymbolDensity) {
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const TMark& mark = marks[i];
            if (mark.Symbol == nullptr) continue;
            const QRectF box = SymbolBox(mark.X, mark.Y, kSymbolHalf);
            canvas_.DrawBitmap(box.left(), box.top(), box.right(), box.bottom(), *mark.Symbol);
            symbols[i] = layout_->AddSymbol(SymbolBox(mark.X, mark.Y, kDiscHalf));
        }
    }
    canvas_.SetPen(Qt::black, Qt::SolidLine, TLineWidth::Inches(kThinLine));
    const TFontSpec font = LabelFont();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const TLabelPlace place = layout_->Place(RequestFor(marks[i], symbols[i]));
        DrawLeader(place);
        labels_.push_back({marks[i].Label, place.Baseline, font});
    }
}

TFontSpec TPhaseDrawing::LabelFont() const {
    TFontSpec font;
    font.Name = kTahoma;
    font.Size = kLabelStyles[scale_.Density].FontSize;
    return font;
}

TLabelRequest TPhaseDrawing::RequestFor(const TMark& mark, std::size_t symbol) const {
    const TLabelStyle& style = kLabelStyles[scale_.Density];
    const TLabelStyle& longer = kLabelStyles[kNoSymbolDensity - 1];
    canvas_.PushFont();
    canvas_.SetFont(LabelFont());
    TLabelRequest request;
    request.TextWidth = canvas_.TextWidth(mark.Label);
    canvas_.PopFont();
    request.Mark = QPointF(mark.X, mark.Y);
    request.Preferred = mark.Preferred;
    const double size = PointsToInches(style.FontSize);
    request.Ascent = kInkAscent * size;
    request.Descent = kInkDescent * size;
    request.FontHeight = size;
    request.QuarterShift = scale_.Density == 0;
    request.Steps = {style.Dh, style.Dv};
    request.LongerSteps = {longer.Dh, longer.Dv};
    request.OwnSymbol = symbol;
    return request;
}

QRectF TPhaseDrawing::SymbolBox(double x, double y, double half) {
    return {x - half, y - half, 2 * half, 2 * half};
}

void TPhaseDrawing::DrawLeader(const TLabelPlace& place) {
    if (place.LeaderPoints.empty()) return;
    canvas_.MoveTo(place.LeaderPoints.front().x(), place.LeaderPoints.front().y());
    for (std::size_t i = 1; i < place.LeaderPoints.size(); ++i)
        canvas_.LineTo(place.LeaderPoints[i].x(), place.LeaderPoints[i].y());
}

// The labels go on top of every symbol and line, so that none is hidden by a
// neighbouring conductor's symbol.
void TPhaseDrawing::PrintLabels() {
    canvas_.PushFont();
    for (const TLabel& label : labels_) {
        canvas_.SetFont(label.Font);
        canvas_.SetCursorY(label.Baseline.y());
        canvas_.PrintLeftAt(label.Text, label.Baseline.x());
    }
    canvas_.PopFont();
    labels_.clear();
}

} // namespace corvalt
