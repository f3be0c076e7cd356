#include "reports/ConductorSymbols.h"

#include "engine/PageCanvas.h"
#include "model/Circuit.h"
#include "model/Conductor.h"

#include <cmath>
#include <numbers>

namespace corvalt {
namespace {

// Rings: the new circuit's three times as thick as the existing one's, as
// their structure lines are.
constexpr double kNewRingWidth = 0.012;      // in
constexpr double kExistingRingWidth = 0.004; // in
constexpr double kMarkWidth = 0.006;         // in, the strokes of the letter or sign
constexpr double kMarkHalf = 0.024;          // in, half the side of the mark's square
constexpr int kRingSegments = 24;
constexpr double kPointMarkHalfBase = 0.04; // in

const QColor kPhaseColour(176, 32, 32);
const QColor kGroundWireColour(20, 120, 40);
const QColor kNegativePoleColour(30, 80, 200);
const QColor kPointColour(0, 110, 130);

// An arc of the ellipse with half axes 0.7 and 1 from one angle to another
// (degrees, counterclockwise as seen on the page).
std::vector<QPointF> Arc(double fromDeg, double toDeg) {
    std::vector<QPointF> points;
    constexpr int kSteps = 12;
    for (int i = 0; i <= kSteps; ++i) {
        const double angle = (fromDeg + (toDeg - fromDeg) * i / kSteps) * std::numbers::pi / 180;
        points.emplace_back(0.7 * std::cos(angle), -std::sin(angle));
    }
    return points;
}

void DrawPolyline(TPageCanvas& canvas, const std::vector<QPointF>& points) {
    if (points.empty()) return;
    canvas.MoveTo(points.front().x(), points.front().y());
    for (std::size_t i = 1; i < points.size(); ++i)
        canvas.LineTo(points[i].x(), points[i].y());
}

} // namespace

std::vector<std::vector<QPointF>> SymbolMarkStrokes(TSymbolKind kind) {
    switch (kind) {
    case TSymbolKind::PhaseA:
        return {{{-0.7, 1}, {0, -1}, {0.7, 1}}, {{-0.4, 0.3}, {0.4, 0.3}}};
    case TSymbolKind::PhaseB:
        return {{{-0.6, 1}, {-0.6, -1}, {0.25, -1}, {0.55, -0.8}, {0.55, -0.25}, {0.25, 0},
                 {-0.6, 0}},
                {{0.25, 0}, {0.65, 0.25}, {0.65, 0.75}, {0.3, 1}, {-0.6, 1}}};
    case TSymbolKind::PhaseC:
        return {Arc(45, 315)};
    case TSymbolKind::Ground: {
        std::vector<QPointF> g = Arc(45, 360);
        g.emplace_back(0.1, 0);
        return {g};
    }
    case TSymbolKind::DcPlus:
        return {{{-0.7, 0}, {0.7, 0}}, {{0, -0.7}, {0, 0.7}}};
    case TSymbolKind::DcMinus:
        return {{{-0.7, 0}, {0.7, 0}}};
    }
    return {};
}

QColor SymbolColour(TSymbolKind kind) {
    switch (kind) {
    case TSymbolKind::Ground:
        return kGroundWireColour;
    case TSymbolKind::DcMinus:
        return kNegativePoleColour;
    default:
        return kPhaseColour;
    }
}

void DrawSymbolRing(TPageCanvas& canvas, bool newCircuit, const QColor& colour, QPointF centre) {
    const double width = newCircuit ? kNewRingWidth : kExistingRingWidth;
    const double radius = kSymbolRadius - width / 2;
    canvas.SetPen(colour, Qt::SolidLine, TLineWidth::Inches(width));
    std::vector<QPointF> ring;
    for (int i = 0; i <= kRingSegments; ++i) {
        const double angle = 2 * std::numbers::pi * i / kRingSegments;
        ring.push_back(centre + radius * QPointF(std::cos(angle), std::sin(angle)));
    }
    DrawPolyline(canvas, ring);
}

// A new circuit's ring is black, an existing one's has the colour of its mark.
void DrawConductorSymbol(TPageCanvas& canvas, TSymbolKind kind, bool newCircuit, QPointF centre) {
    const QColor colour = SymbolColour(kind);
    DrawSymbolRing(canvas, newCircuit, newCircuit ? QColor(Qt::black) : colour, centre);
    canvas.SetPen(colour, Qt::SolidLine, TLineWidth::Inches(kMarkWidth));
    for (const std::vector<QPointF>& stroke : SymbolMarkStrokes(kind)) {
        std::vector<QPointF> placed;
        for (const QPointF& point : stroke)
            placed.push_back(centre + kMarkHalf * point);
        DrawPolyline(canvas, placed);
    }
}

QColor PointMarkColour() {
    return kPointColour;
}

std::vector<QLineF> PointMarkLines(QPointF groundPoint) {
    const QPointF left = groundPoint - QPointF(kPointMarkHalfBase, 0);
    const QPointF right = groundPoint + QPointF(kPointMarkHalfBase, 0);
    const QPointF apex = groundPoint - QPointF(0, kPointMarkHeight);
    return {QLineF(left, apex), QLineF(apex, right), QLineF(right, left)};
}

void DrawPointMark(TPageCanvas& canvas, QPointF groundPoint) {
    canvas.SetPen(kPointColour, Qt::SolidLine, TLineWidth::Inches(kMarkWidth));
    for (const QLineF& line : PointMarkLines(groundPoint)) {
        canvas.MoveTo(line.x1(), line.y1());
        canvas.LineTo(line.x2(), line.y2());
    }
}

} // namespace corvalt
