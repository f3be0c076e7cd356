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
#include <set>
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
constexpr double kLabelClearance = 0.01;    // labels keep this far from everything else
constexpr double kRowCaptionSize = 10;      // pt, "ROW" and its distance
constexpr double kStructureCaptionSize = 9; // pt, "S" and its distance
constexpr double kTitleToFrameRoom = 0.13;  // the title's baseline below the cursor, and to the frame
constexpr int kResizeTries = 3;             // to make the drawing smaller for its captions
constexpr double kMaxLabelWidth = 1.25;     // in; longer labels are cut with "…"
constexpr double kMaxPointNameWidth = 1.5;  // in, the same for the names of points of interest
constexpr int kLongestPointLeader = 12;     // ordinary leader lengths
// The legend under the captions: lines of entries in Tahoma 8.
constexpr double kLegendFontSize = 8;      // pt
constexpr double kLegendGap = 0.05;        // above the legend
constexpr double kLegendLinePitch = 0.15;  // in
constexpr double kLegendIndent = 0.1;      // from the frame's left edge
constexpr double kLegendEntryGap = 0.25;   // between entries
constexpr double kLegendSymbolGap = 0.04;  // between a sample and the next, and the text

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

std::vector<std::pair<double, double>> PiecesOutsideCircles(double x, double y1, double y2,
                                                            const std::vector<QPointF>& centres,
                                                            double radius) {
    std::vector<std::pair<double, double>> blocked;
    for (const QPointF& centre : centres) {
        const double dx = centre.x() - x;
        if (std::abs(dx) >= radius) continue;
        const double half = std::sqrt(radius * radius - dx * dx);
        blocked.emplace_back(centre.y() - half, centre.y() + half);
    }
    std::sort(blocked.begin(), blocked.end());
    std::vector<std::pair<double, double>> pieces;
    double from = y1;
    for (const auto& [top, bottom] : blocked) {
        if (top > from) pieces.emplace_back(from, std::min(top, y2));
        from = std::max(from, bottom);
        if (from >= y2) break;
    }
    if (from < y2) pieces.emplace_back(from, y2);
    return pieces;
}

TPhaseDrawing::TPhaseDrawing(TPageCanvas& canvas, double left, double centreLine)
    : canvas_(canvas), left_(left), centreLine_(centreLine) {}

double TPhaseDrawing::MapX(double lateral) const {
    return (lateral - scale_.Centre) * scale_.Scale;
}

double TPhaseDrawing::MapY(double height) const {
    return -height * scale_.Scale;
}

// The drawing is sized for the room left less 1 in, and smaller where its
// captions and legend need more room below it. When less than 3 in remain
// before it is sized, it starts a new page, sized for 4 in.
void TPhaseDrawing::Draw(const TScenario& scenario) {
    canvas_.ClearTabs();
    labels_.clear();
    symbolCentres_.clear();
    width_ = canvas_.PageWidth() - left_ - kRightMargin;
    double available = RemainingHeight(canvas_) - kRoomBelow;
    if (available < kLeastHeight) {
        available = kNewPageHeight;
        canvas_.NewPage();
    } else if (available > kLargestHeight) {
        available = kLargestHeight;
    }
    canvas_.SetCursorY(canvas_.CursorY() + kGapAbove);
    double overflow = SizeFor(scenario, available);
    for (int tries = 0; overflow > 0 && tries < kResizeTries; ++tries) {
        available -= overflow;
        if (available <= 0) break;
        overflow = SizeFor(scenario, available);
    }
    if (overflow > 0) {
        canvas_.NewPage();
        SizeFor(scenario, kNewPageHeight);
    }
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
    canvas_.FrameRect(0, 0, width_, scale_.FrameHeight);
    // From here on, positions are relative to the ground point under the
    // drawing's centre, y downwards.
    const double frameTop = canvas_.CursorY();
    canvas_.SetDrawOrigin(left_ + width_ / 2, frameTop + scale_.FrameHeight);
    layout_ = std::make_unique<TLabelLayout>(
        QRectF(-width_ / 2, -scale_.FrameHeight, width_, scale_.FrameHeight), kLabelClearance);
    std::vector<TMark> marks = ConductorMarks(scenario);
    if (SymbolsDrawn())
        for (const TMark& mark : marks)
            symbolCentres_.emplace_back(mark.X, mark.Y);
    DrawUnitsNote(scenario);
    DrawRowEdges(scenario);
    DrawStructures(scenario);
    const double lowestCaption = PrintCaptions();
    // Sensors first (short labels close to the ROW lines), then conductors,
    // then points of interest.
    std::vector<TMark> all = SensorMarks(scenario);
    all.insert(all.end(), marks.begin(), marks.end());
    const std::vector<TMark> points = PointMarks(scenario);
    all.insert(all.end(), points.begin(), points.end());
    DrawMarks(all);
    PrintLabels();
    layout_.reset();
    const double legendBottom =
        legend_.empty() ? lowestCaption : PrintLegend(lowestCaption + kLegendGap);

    const double ground = frameTop + scale_.FrameHeight;
    canvas_.SetCursorY(std::max(top + scale_.FrameHeight + kSpaceAfter,
                                ground + legendBottom + kSpaceAfterCaptions));
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

// A vertical line from y1 up to y2 (y2 < y1), passing behind the symbols.
void TPhaseDrawing::DrawVerticalLine(double x, double y1, double y2) {
    for (const auto& [from, to] :
         PiecesOutsideCircles(x, std::min(y1, y2), std::max(y1, y2), symbolCentres_,
                              kSymbolRadius)) {
        canvas_.MoveTo(x, to);
        canvas_.LineTo(x, from);
    }
    layout_->AddLine(QLineF(x, y1, x, y2));
}

void TPhaseDrawing::CollectCaptions(const TScenario& scenario) {
    const double rowLeft = scenario.DisplayRowLeft();
    const double rowRight = scenario.DisplayRowRight();
    captions_.push_back({MapX(halfRow_ - rowLeft), QStringLiteral("ROW"), FixedText(-rowLeft, 1),
                         kRowCaptionSize});
    captions_.push_back({MapX(halfRow_ + rowRight), QStringLiteral("ROW"), FixedText(rowRight, 1),
                         kRowCaptionSize});
    // One caption per structure away from the reference line: circuits on one
    // structure (the same distance) share it.
    std::vector<float> captioned;
    for (const TCircuit& circuit : scenario.Circuits) {
        const float distance = circuit.DisplayDistFromRowLeft();
        if (distance == 0 ||
            std::find(captioned.begin(), captioned.end(), distance) != captioned.end())
            continue;
        captioned.push_back(distance);
        captions_.push_back({MapX(halfRow_ + distance), QStringLiteral("S"),
                             FixedText(distance, 1), kStructureCaptionSize});
    }
}

void TPhaseDrawing::DrawRowEdges(const TScenario& scenario) {
    canvas_.SetPen(Qt::black, Qt::DashLine, TLineWidth::Inches(kThinLine));
    // In a frame lower than the line, the line ends at the frame's top: its
    // square end half the pen's width below it.
    const double lineTop = -std::min(kRowEdgeLineHeight, scale_.FrameHeight - kThinLine / 2);
    for (const double lateral :
         {halfRow_ - scenario.DisplayRowLeft(), halfRow_ + scenario.DisplayRowRight()})
        DrawVerticalLine(MapX(lateral), 0, lineTop);
}

// One structure line per circuit.
void TPhaseDrawing::DrawStructures(const TScenario& scenario) {
    for (const TCircuit& circuit : scenario.Circuits) {
        const double xs = MapX(halfRow_ + circuit.DisplayDistFromRowLeft());
        const double width = circuit.NewCircuit ? kThickLine : kThinLine;
        canvas_.SetPen(Qt::black, Qt::SolidLine, TLineWidth::Inches(width));
        // A structure ends at the frame's top where its height above the highest
        // conductor (2 length units: 2 m at a large scale) would reach past it,
        // its square end (half the pen's width beyond the end) inside the frame.
        const double lineTop = std::max(MapY(circuit.MaxDisplayHeight() + kStructureAboveTop),
                                        -scale_.FrameHeight + width / 2);
        DrawVerticalLine(xs, 0, lineTop);
    }
}

// Sizes the drawing for `available` inches of its vertical extent; returns by
// how much it and its captions and legend would reach below the section's
// bottom (0 or less when they fit).
double TPhaseDrawing::SizeFor(const TScenario& scenario, double available) {
    scale_ = ScaleDrawing(DrawingExtentsOf(scenario), width_, available);
    halfRow_ = scenario.HalfRowWidth();
    legend_ = LegendEntries(scenario);
    captions_.clear();
    CollectCaptions(scenario);
    return kTitleToFrameRoom + scale_.FrameHeight + CaptionsHeight() + LegendHeight() -
           RemainingHeight(canvas_);
}

std::vector<int> TPhaseDrawing::CaptionRowsOf() const {
    canvas_.PushFont();
    std::vector<std::pair<double, double>> extents;
    for (const TCaption& caption : captions_) {
        canvas_.SelectFont(kTahoma, caption.FontSize);
        const double half =
            std::max(canvas_.TextWidth(caption.Name), canvas_.TextWidth(caption.Distance)) / 2;
        extents.emplace_back(caption.X - half, caption.X + half);
    }
    canvas_.PopFont();
    return CaptionRows(extents, 2 * kCaptionGap);
}

// A row of captions is two lines of the larger caption font, each the height
// of its words, kCaptionGap apart and from the next row.
double TPhaseDrawing::CaptionsHeight() const {
    const std::vector<int> rows = CaptionRowsOf();
    const int count = rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end()) + 1;
    canvas_.PushFont();
    canvas_.SelectFont(kTahoma, kRowCaptionSize);
    const TFontMetrics box = canvas_.TextBoxMetrics();
    canvas_.PopFont();
    return count * 2 * (kCaptionGap + box.Ascent + box.Descent);
}

// Each caption is a name over a distance, centred on its line; captions that
// would meet go into rows further down. Every line keeps kCaptionGap from the
// ground line and from the line above it.
double TPhaseDrawing::PrintCaptions() {
    const std::vector<int> rows = CaptionRowsOf();
    canvas_.PushFont();
    canvas_.SelectFont(kTahoma, kRowCaptionSize);
    const TFontMetrics largest = canvas_.TextBoxMetrics();
    const double rowPitch = 2 * (kCaptionGap + largest.Ascent + largest.Descent);
    double lowest = 0;
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        const TCaption& caption = captions_[i];
        canvas_.SelectFont(kTahoma, caption.FontSize);
        const TFontMetrics box = canvas_.TextBoxMetrics();
        const double nameBaseline = kCaptionGap + rows[i] * rowPitch + box.Ascent;
        const double distanceBaseline = nameBaseline + box.Descent + kCaptionGap + box.Ascent;
        canvas_.SetCursorY(nameBaseline);
        canvas_.PrintCentredAt(caption.Name, caption.X);
        canvas_.SetCursorY(distanceBaseline);
        canvas_.PrintCentredAt(caption.Distance, caption.X);
        lowest = std::max(lowest, distanceBaseline + box.Descent);
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
        marks.push_back({TMark::Sensor, std::nullopt, false, TLeader::Left, QStringLiteral("E"),
                         {}, MapX(lateral), eHeight});
        marks.push_back({TMark::Sensor, std::nullopt, false, TLeader::Right, QStringLiteral("M"),
                         {}, MapX(lateral), mHeight});
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
            const QString position = scale_.Density == 0 ? QStringLiteral(": ") +
                                                               FixedText(offset, 1) +
                                                               QStringLiteral(", ") +
                                                               FixedText(height, 1)
                                                         : QString();
            marks.push_back({TMark::Conductor, SymbolKindOf(conductor), circuit.NewCircuit,
                             offset >= 0 ? TLeader::RightDown : TLeader::LeftUp,
                             ReportText(conductor.Id), position,
                             MapX(halfRow_ + PositionOf(conductor)), MapY(height)});
        }
    }
    return marks;
}

// A point of interest is a mark on the ground, its name above it.
std::vector<TPhaseDrawing::TMark> TPhaseDrawing::PointMarks(const TScenario& scenario) const {
    std::vector<TMark> marks;
    for (const TInterestPoint& point : scenario.InterestPoints)
        marks.push_back({TMark::Point, std::nullopt, false, TLeader::RightUp,
                         ReportText(point.Name), {},
                         MapX(halfRow_ + point.DisplayDistFromRowLeft()), -kPointMarkHeight});
    return marks;
}

bool TPhaseDrawing::SymbolsDrawn() const {
    return scale_.Density < kNoSymbolDensity;
}

// Symbols and point marks first, then each mark's leader, placed where its
// label meets nothing drawn or placed before it.
void TPhaseDrawing::DrawMarks(const std::vector<TMark>& marks) {
    std::vector<std::size_t> symbols(marks.size(), TLabelRequest::kNoSymbol);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const TMark& mark = marks[i];
        const QPointF at(mark.X, mark.Y);
        if (mark.Kind == TMark::Point) {
            const QPointF ground(mark.X, 0);
            DrawPointMark(canvas_, ground);
            QRectF box;
            for (const QLineF& line : PointMarkLines(ground))
                box |= QRectF(line.p1(), line.p2()).normalized();
            symbols[i] = layout_->AddSymbol(box);
        } else if (mark.Symbol && SymbolsDrawn()) {
            DrawConductorSymbol(canvas_, *mark.Symbol, mark.NewCircuit, at);
            symbols[i] = layout_->AddSymbol(QRectF(at.x() - kSymbolRadius, at.y() - kSymbolRadius,
                                                   2 * kSymbolRadius, 2 * kSymbolRadius));
        }
    }
    canvas_.SetPen(Qt::black, Qt::SolidLine, TLineWidth::Inches(kThinLine));
    const TFontSpec font = LabelFont();
    // A point's name that finds no room clear of everything else is left out:
    // the mark stays, and the table above names the point.
    for (std::size_t i = 0; i < marks.size(); ++i) {
        TMark fitted = marks[i];
        fitted.Label = FittedLabel(marks[i]);
        fitted.Suffix.clear();
        const TLabelRequest request = RequestFor(fitted, symbols[i]);
        const std::optional<TLabelPlace> place = marks[i].Kind == TMark::Point
                                                     ? layout_->PlaceIfClear(request)
                                                     : layout_->Place(request);
        if (!place) continue;
        DrawLeader(*place, marks[i].Kind == TMark::Conductor && SymbolsDrawn());
        labels_.push_back({fitted.Label, place->Baseline, font});
    }
}

TFontSpec TPhaseDrawing::LabelFont() const {
    TFontSpec font;
    font.Name = kTahoma;
    font.Size = kLabelStyles[scale_.Density].FontSize;
    return font;
}

// A label longer than its largest width (or half the frame) is cut with "…";
// a conductor's position after its id is kept whole.
QString TPhaseDrawing::FittedLabel(const TMark& mark) const {
    const TFontSpec font = LabelFont();
    const double largest = mark.Kind == TMark::Point ? kMaxPointNameWidth : kMaxLabelWidth;
    canvas_.PushFont();
    canvas_.SetFont(font);
    const double room = std::min(largest, width_ / 2) - canvas_.TextWidth(mark.Suffix);
    canvas_.PopFont();
    return canvas_.FitText(font, mark.Label, room, TFitRule{1, font.Size}).Lines.front() +
           mark.Suffix;
}

TLabelRequest TPhaseDrawing::RequestFor(const TMark& mark, std::size_t symbol) const {
    const TLabelStyle& style = kLabelStyles[scale_.Density];
    const TLabelStyle& longer = kLabelStyles[kNoSymbolDensity - 1];
    canvas_.PushFont();
    canvas_.SetFont(LabelFont());
    TLabelRequest request;
    request.TextWidth = canvas_.TextWidth(mark.Label);
    const TFontMetrics box = canvas_.TextBoxMetrics();
    canvas_.PopFont();
    request.Mark = QPointF(mark.X, mark.Y);
    request.Preferred = mark.Preferred;
    request.Ascent = box.Ascent;
    request.Descent = box.Descent;
    request.FontHeight = PointsToInches(style.FontSize);
    request.QuarterShift = scale_.Density == 0;
    // Points of interest have their names led off even where conductor labels
    // are printed at their points.
    const bool atPoint = style.Dh == 0 && style.Dv == 0;
    request.Steps = mark.Kind == TMark::Point && atPoint ? TLeaderSteps{longer.Dh, longer.Dv}
                                                         : TLeaderSteps{style.Dh, style.Dv};
    request.LongerSteps = {longer.Dh, longer.Dv};
    // A point's name may be led up past the ROW lines beside it.
    if (mark.Kind == TMark::Point) request.LongestLeader = kLongestPointLeader;
    request.OwnSymbol = symbol;
    return request;
}

// A leader from a conductor starts at its symbol's ring.
void TPhaseDrawing::DrawLeader(const TLabelPlace& place, bool fromSymbol) {
    if (place.LeaderPoints.size() < 2) return;
    QPointF start = place.LeaderPoints.front();
    if (fromSymbol) {
        const QLineF first(place.LeaderPoints[0], place.LeaderPoints[1]);
        if (first.length() <= kSymbolRadius) return;
        start = first.pointAt(kSymbolRadius / first.length());
    }
    canvas_.MoveTo(start.x(), start.y());
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

// ---- Legend -----------------------------------------------------------------

// The entries for what the drawing shows: the conductor symbols it draws, new
// and existing circuits, points of interest.
std::vector<TPhaseDrawing::TLegendEntry> TPhaseDrawing::LegendEntries(
    const TScenario& scenario) const {
    std::vector<TLegendEntry> entries;
    if (SymbolsDrawn()) {
        std::set<TSymbolKind> kinds;
        bool anyNew = false, anyExisting = false;
        for (const TCircuit& circuit : scenario.Circuits) {
            for (const TConductor& conductor : circuit.Conductors) {
                kinds.insert(SymbolKindOf(conductor));
                anyNew |= circuit.NewCircuit;
                anyExisting |= !circuit.NewCircuit;
            }
        }
        std::vector<TSymbolKind> phases;
        for (const TSymbolKind kind : {TSymbolKind::PhaseA, TSymbolKind::PhaseB, TSymbolKind::PhaseC})
            if (kinds.count(kind)) phases.push_back(kind);
        if (!phases.empty())
            entries.push_back({TLegendEntry::Symbol, phases, QStringLiteral("Phase conductors")});
        const std::pair<TSymbolKind, const char*> others[] = {
            {TSymbolKind::Ground, "Ground wire"},
            {TSymbolKind::DcPlus, "DC pole, positive"},
            {TSymbolKind::DcMinus, "DC pole, negative"}};
        for (const auto& [kind, text] : others)
            if (kinds.count(kind))
                entries.push_back({TLegendEntry::Symbol, {kind}, QString::fromLatin1(text)});
        if (anyNew) entries.push_back({TLegendEntry::NewRing, {}, QStringLiteral("New circuit")});
        if (anyExisting)
            entries.push_back({TLegendEntry::ExistingRing, {}, QStringLiteral("Existing circuit")});
    }
    if (!scenario.InterestPoints.Empty())
        entries.push_back({TLegendEntry::PointMark, {}, QStringLiteral("Point of interest")});
    return entries;
}

double TPhaseDrawing::LegendEntryWidth(const TLegendEntry& entry) const {
    const std::size_t samples = entry.Sample == TLegendEntry::Symbol ? entry.Symbols.size() : 1;
    canvas_.PushFont();
    canvas_.SelectFont(kTahoma, kLegendFontSize);
    const double text = canvas_.TextWidth(entry.Text);
    canvas_.PopFont();
    return samples * (2 * kSymbolRadius + kLegendSymbolGap) + text;
}

std::vector<std::vector<std::size_t>> TPhaseDrawing::LegendLines() const {
    std::vector<std::vector<std::size_t>> lines;
    const double room = width_ - 2 * kLegendIndent;
    double used = 0;
    for (std::size_t i = 0; i < legend_.size(); ++i) {
        const double entry = LegendEntryWidth(legend_[i]);
        if (lines.empty() || used + kLegendEntryGap + entry > room) {
            lines.emplace_back();
            used = entry;
        } else {
            used += kLegendEntryGap + entry;
        }
        lines.back().push_back(i);
    }
    return lines;
}

double TPhaseDrawing::LegendHeight() const {
    const std::size_t lines = LegendLines().size();
    return lines == 0 ? 0 : kLegendGap + lines * kLegendLinePitch;
}

// Each entry: its samples (symbols, a ring or the point mark) centred on the
// line's middle, then its text, left to right from the frame's left edge.
double TPhaseDrawing::PrintLegend(double top) {
    canvas_.PushFont();
    canvas_.SelectFont(kTahoma, kLegendFontSize);
    const TFontMetrics box = canvas_.TextBoxMetrics();
    double lineTop = top;
    bool anyExisting = false;
    for (const TLegendEntry& entry : legend_)
        anyExisting |= entry.Sample == TLegendEntry::ExistingRing;
    for (const std::vector<std::size_t>& line : LegendLines()) {
        const double middle = lineTop + kLegendLinePitch / 2;
        double x = -width_ / 2 + kLegendIndent;
        for (const std::size_t index : line) {
            const TLegendEntry& entry = legend_[index];
            const auto sampleAt = [&] {
                const QPointF centre(x + kSymbolRadius, middle);
                x += 2 * kSymbolRadius + kLegendSymbolGap;
                return centre;
            };
            switch (entry.Sample) {
            case TLegendEntry::Symbol:
                for (const TSymbolKind kind : entry.Symbols)
                    DrawConductorSymbol(canvas_, kind, !anyExisting, sampleAt());
                break;
            case TLegendEntry::NewRing:
            case TLegendEntry::ExistingRing:
                DrawSymbolRing(canvas_, entry.Sample == TLegendEntry::NewRing, Qt::black,
                               sampleAt());
                break;
            case TLegendEntry::PointMark:
                DrawPointMark(canvas_, sampleAt() + QPointF(0, kPointMarkHeight / 2));
                break;
            }
            canvas_.SetCursorY(middle + (box.Ascent - box.Descent) / 2);
            canvas_.PrintLeftAt(entry.Text, x);
            x = canvas_.CursorX() + kLegendEntryGap;
        }
        lineTop += kLegendLinePitch;
    }
    canvas_.PopFont();
    return lineTop;
}

} // namespace corvalt
