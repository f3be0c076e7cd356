#include "plots/CrossSectionDrawing.h"

#include "model/Bundle.h"
#include "model/Project.h"
#include "model/Units.h"
#include "plots/ConductorKind.h"
#include "plots/ModelText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>

namespace corvalt {
namespace {

// Margins of the plot area inside the drawing's rectangle, px: room for the
// height labels on the left and the distance labels below.
constexpr double kLeftMargin = 56;
constexpr double kBottomMargin = 40;
constexpr double kTopMargin = 22;
constexpr double kRightMargin = 14;
// Room around the cross section inside the plot area, as a share of its extent.
constexpr double kExtentPadding = 0.08;
// A box with no extent at all still shows this much, m.
constexpr double kLeastExtentM = 10;
constexpr double kHighlightGapPx = 3;
constexpr double kEarthBandPx = 20; // below the lowest item, for the points' names
constexpr int kTicksWanted = 6;
constexpr int kMaxTicks = 50;

const QColor kGroundFill(236, 228, 210);
const QColor kGroundLine(110, 85, 50);
const QColor kStructureColour(90, 90, 90);
const QColor kElectricSensorColour(30, 80, 200);
const QColor kMagneticSensorColour(150, 60, 170);
const QColor kHighlightColour(255, 140, 0);
const QColor kPointColour(0, 110, 130);
constexpr double kPointMarkerPx = 4; // half the width of a point of interest's triangle

int UnitsOf(const TScenario& scenario) {
    return scenario.IsEnglish() ? English : Metric;
}

double ToMetres(const TScenario& scenario, float shown) {
    return LengthFromDisplay(UnitsOf(scenario), shown);
}

// A number for an axis or a label: as few decimals as the step needs.
QString AxisText(double value, double step) {
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    if (std::abs(value) < step * 1e-6) value = 0;
    return QString::number(value, 'f', std::clamp(decimals, 0, 6));
}

// A length with its unit; a value that is not a number (a damaged file the
// data check has not seen yet) shows as "?" rather than "nan".
QString LengthText(const TScenario& scenario, float shown) {
    if (!std::isfinite(shown)) return QStringLiteral("? ") + LengthUnit(UnitsOf(scenario));
    return QString::number(static_cast<double>(shown), 'f', 1) + QLatin1Char(' ') +
           QString::fromLatin1(LengthUnit(UnitsOf(scenario)));
}

} // namespace

TDrawingTransform::TDrawingTransform(double pixelsPerMetre, QPointF groundOriginPx)
    : scale_(pixelsPerMetre), origin_(groundOriginPx) {}

TDrawingTransform TDrawingTransform::Fit(double xFromM, double xToM, double yFromM, double yToM,
                                         const QRectF& pixels) {
    double scale = std::numeric_limits<double>::infinity();
    const double width = xToM - xFromM;
    const double height = yToM - yFromM;
    if (width > 0) scale = std::min(scale, pixels.width() / width);
    if (height > 0) scale = std::min(scale, pixels.height() / height);
    if (!std::isfinite(scale) || !(scale > 0)) scale = 1;
    // Centred across; standing on the rectangle's bottom, so that room to
    // spare goes to the sky and not to the earth.
    const double midX = width > 0 ? (xFromM + xToM) / 2 : xFromM;
    return TDrawingTransform(
        scale, QPointF(pixels.center().x() - midX * scale, pixels.bottom() + yFromM * scale));
}

QPointF TDrawingTransform::ToPixels(double xM, double yM) const {
    return {origin_.x() + xM * scale_, origin_.y() - yM * scale_};
}

QPointF TDrawingTransform::ToMetres(QPointF pixel) const {
    return {(pixel.x() - origin_.x()) / scale_, (origin_.y() - pixel.y()) / scale_};
}

QString ConductorLabelOf(const TConductor& conductor) {
    const QString sign = PoleSign(SymbolKindOf(conductor));
    const QString id = ToQString(conductor.Id);
    if (sign.isEmpty()) return id;
    return id.isEmpty() ? sign : sign + QLatin1Char(' ') + id;
}

std::vector<TDrawnConductor> DrawnConductorsOf(const TScenario& scenario) {
    std::vector<TDrawnConductor> drawn;
    for (int c = 0; c < scenario.Circuits.Count(); ++c) {
        const TCircuit& circuit = scenario.Circuits[c];
        for (int k = 0; k < circuit.Conductors.Count(); ++k) {
            const TConductor& conductor = circuit.Conductors[k];
            TDrawnConductor item;
            item.Ref = {c, k};
            item.XM = conductor.AbsoluteX();
            item.YM = conductor.Height;
            item.RadiusM = ConductorOuterRadiusM(conductor.SubCondCount, conductor.Diameter,
                                                 conductor.SubSpacing);
            item.Ground = conductor.IsGround();
            // A position the drawing cannot place is left out rather than drawn anywhere.
            if (std::isfinite(item.XM) && std::isfinite(item.YM)) drawn.push_back(item);
        }
    }
    return drawn;
}

double DrawnRadiusPx(const TDrawnConductor& conductor, const TDrawingTransform& transform) {
    return std::max(conductor.RadiusM * transform.PixelsPerMetre(), kMinConductorRadiusPx);
}

TConductorRef HitTestConductor(std::span<const TDrawnConductor> conductors,
                               const TDrawingTransform& transform, QPointF pixel,
                               double tolerancePx) {
    TConductorRef nearest;
    double nearestGap = tolerancePx;
    for (const TDrawnConductor& conductor : conductors) {
        const QPointF centre = transform.ToPixels(conductor.XM, conductor.YM);
        const double distance = std::hypot(pixel.x() - centre.x(), pixel.y() - centre.y());
        const double gap = std::max(0.0, distance - DrawnRadiusPx(conductor, transform));
        // Strictly nearer only: of two circles at one place, the first listed wins.
        if (gap < nearestGap || (gap == nearestGap && !nearest.IsValid())) {
            nearest = conductor.Ref;
            nearestGap = gap;
        }
    }
    return nearest;
}

double NiceStep(double span, int count) {
    if (!(span > 0) || !std::isfinite(span) || count < 1) return 0;
    const double rough = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / power;
    const double nice = fraction < 1.5 ? 1 : fraction < 3.5 ? 2 : fraction < 7.5 ? 5 : 10;
    return nice * power;
}

TCrossSectionRenderer::TCrossSectionRenderer(const TScenario& scenario)
    : scenario_(scenario), conductors_(DrawnConductorsOf(scenario)) {}

QRectF TCrossSectionRenderer::PlotArea(const QRectF& rect) {
    return rect.adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
}

// The lateral and vertical extent of the drawing (the extents the compliance
// report's drawing is scaled by), the conductors' circles and the ground, with
// some room around.
TCrossSectionRenderer::TBox TCrossSectionRenderer::ExtentM() const {
    TBox box{
        -ToMetres(scenario_, scenario_.LeftExtent()), ToMetres(scenario_, scenario_.RightExtent()),
        -ToMetres(scenario_, scenario_.MaxDepth()), ToMetres(scenario_, scenario_.MaxHeight())};
    for (const TDrawnConductor& conductor : conductors_) {
        box.XFrom = std::min(box.XFrom, conductor.XM - conductor.RadiusM);
        box.XTo = std::max(box.XTo, conductor.XM + conductor.RadiusM);
        box.YTo = std::max(box.YTo, conductor.YM + conductor.RadiusM);
        box.YFrom = std::min(box.YFrom, conductor.YM - conductor.RadiusM);
    }
    box.YFrom = std::min(box.YFrom, 0.0);
    if (!std::isfinite(box.XFrom) || !std::isfinite(box.XTo) || !std::isfinite(box.YFrom) ||
        !std::isfinite(box.YTo))
        box = {-kLeastExtentM / 2, kLeastExtentM / 2, 0, kLeastExtentM};
    const double padX = std::max(box.XTo - box.XFrom, kLeastExtentM) * kExtentPadding;
    const double padY = std::max(box.YTo - box.YFrom, kLeastExtentM) * kExtentPadding;
    // Below the ground only what lies there gets room; the earth band below
    // the box (TransformFor) holds the names of the points of interest.
    return {box.XFrom - padX, box.XTo + padX, box.YFrom < 0 ? box.YFrom - padY : 0.0,
            box.YTo + padY};
}

TDrawingTransform TCrossSectionRenderer::TransformFor(const QRectF& rect) const {
    const TBox box = ExtentM();
    return TDrawingTransform::Fit(box.XFrom, box.XTo, box.YFrom, box.YTo,
                                  PlotArea(rect).adjusted(0, 0, 0, -kEarthBandPx));
}

TConductorRef TCrossSectionRenderer::HitTest(const QRectF& rect, QPointF pixel,
                                             double tolerancePx) const {
    return HitTestConductor(conductors_, TransformFor(rect), pixel, tolerancePx);
}

void TCrossSectionRenderer::Paint(QPainter& painter, const QRectF& rect) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect, Qt::white);
    const QRectF area = PlotArea(rect);
    const TDrawingTransform t = TransformFor(rect);
    painter.save();
    painter.setClipRect(area);
    PaintGround(painter, area, t);
    PaintRowEdges(painter, area, t);
    PaintSensorHeights(painter, area, t);
    PaintStructures(painter, t);
    PaintInterestPoints(painter, area, t);
    PaintConductors(painter, t);
    painter.restore();
    PaintAxes(painter, area, t);
    PaintLegend(painter, rect, area);
    painter.restore();
}

// One swatch and name per kind of conductor drawn, in a row above the plot
// area's right end, where the margin leaves room for a line of text.
void TCrossSectionRenderer::PaintLegend(QPainter& painter, const QRectF& rect,
                                        const QRectF& area) const {
    std::set<TSymbolKind> kinds;
    for (const TConductor* conductor : scenario_.Conductors)
        if (conductor != nullptr) kinds.insert(SymbolKindOf(*conductor));
    if (kinds.empty()) return;
    const QFontMetricsF metrics(painter.font());
    const double swatch = std::min(5.0, metrics.ascent() / 2);
    constexpr double kSpacing = 12;
    double width = 0;
    for (const TSymbolKind kind : kinds)
        width += 2 * swatch + 4 + metrics.horizontalAdvance(KindName(kind)) + kSpacing;
    double x = std::max(rect.left() + 2, area.right() - width + kSpacing);
    const double baseline = area.top() - (area.top() - rect.top() - metrics.ascent()) / 2 - 1;
    for (const TSymbolKind kind : kinds) {
        const QColor colour = DrawingColourOf(kind);
        painter.setPen(QPen(colour.darker(150), 1));
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(x + swatch, baseline - metrics.ascent() / 2 + 1), swatch,
                            swatch);
        x += 2 * swatch + 4;
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, baseline), KindName(kind));
        x += metrics.horizontalAdvance(KindName(kind)) + kSpacing;
    }
}

// The earth below the ground line, lightly filled.
void TCrossSectionRenderer::PaintGround(QPainter& painter, const QRectF& area,
                                        const TDrawingTransform& t) const {
    const double groundY = t.ToPixels(0, 0).y();
    if (groundY < area.bottom())
        painter.fillRect(QRectF(area.left(), groundY, area.width(), area.bottom() - groundY),
                         kGroundFill);
    painter.setPen(QPen(kGroundLine, 2));
    painter.drawLine(QPointF(area.left(), groundY), QPointF(area.right(), groundY));
}

// Dashed vertical lines at both edges, named at the top with their distances.
void TCrossSectionRenderer::PaintRowEdges(QPainter& painter, const QRectF& area,
                                          const TDrawingTransform& t) const {
    const bool substation = scenario_.SectionType == Substation;
    const QString name = substation ? QStringLiteral("Boundary") : QStringLiteral("ROW");
    const double groundY = t.ToPixels(0, 0).y();
    const QFontMetricsF metrics(painter.font());
    const struct {
        double XM;
        float Shown;
    } edges[] = {{-static_cast<double>(scenario_.RowLeft), -scenario_.DisplayRowLeft()},
                 {static_cast<double>(scenario_.RowRight), scenario_.DisplayRowRight()}};
    for (const auto& edge : edges) {
        if (!std::isfinite(edge.XM)) continue;
        const double x = t.ToPixels(edge.XM, 0).x();
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, groundY));
        const QString label = name + QLatin1Char(' ') + LengthText(scenario_, edge.Shown);
        const double width = metrics.horizontalAdvance(label);
        // Beside the line, inside the area: right of the left edge's line, left of the right's.
        const double textX = edge.XM < 0 ? x + 3 : x - 3 - width;
        painter.setPen(Qt::black);
        painter.drawText(QPointF(std::clamp(textX, area.left() + 2, area.right() - width - 2),
                                 area.top() + metrics.ascent() + 2),
                         label);
    }
}

// A dotted line across at each sensor height, named at its right end; one
// line for both when the heights are equal.
void TCrossSectionRenderer::PaintSensorHeights(QPainter& painter, const QRectF& area,
                                               const TDrawingTransform& t) const {
    const QFontMetricsF metrics(painter.font());
    const auto line = [&](float heightM, float shown, const QString& what, const QColor& colour,
                          double textRaise) {
        if (!std::isfinite(heightM)) return;
        const double y = t.ToPixels(0, heightM).y();
        painter.setPen(QPen(colour, 1, Qt::DotLine));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        const QString label = what + QLatin1Char(' ') + LengthText(scenario_, shown);
        painter.setPen(colour);
        painter.drawText(
            QPointF(area.right() - metrics.horizontalAdvance(label) - 2, y - 3 - textRaise), label);
    };
    if (scenario_.EFieldHeight == scenario_.BFieldHeight) {
        line(scenario_.EFieldHeight, scenario_.DisplayEFieldHeight(),
             QStringLiteral("E and B sensors"), kElectricSensorColour, 0);
        return;
    }
    // The lower line's label goes below it, so that close heights keep apart.
    const bool eLower = scenario_.EFieldHeight < scenario_.BFieldHeight;
    const double below = -metrics.ascent() - 4;
    line(scenario_.EFieldHeight, scenario_.DisplayEFieldHeight(), QStringLiteral("E sensor"),
         kElectricSensorColour, eLower ? below : 0);
    line(scenario_.BFieldHeight, scenario_.DisplayBFieldHeight(), QStringLiteral("B sensor"),
         kMagneticSensorColour, eLower ? 0 : below);
}

// One structure per circuit, drawn as a line engineer sketches a tower or a
// pole: a vertical line at the circuit's reference from the ground up to its
// highest conductor (the same line the compliance report's drawing shows),
// and a crossarm out to each conductor that does not hang on the line itself.
// The true outline of a lattice tower is not in the data; these lines are
// what the conductor positions imply. Conductors on or below the ground (a
// cable) get no structure.
void TCrossSectionRenderer::PaintStructures(QPainter& painter, const TDrawingTransform& t) const {
    for (const TCircuit& circuit : scenario_.Circuits) {
        const double xs = circuit.DistFromRowLeft;
        double top = 0;
        for (const TConductor& conductor : circuit.Conductors)
            if (std::isfinite(conductor.Height)) top = std::max(top, double(conductor.Height));
        if (!(top > 0) || !std::isfinite(xs)) continue;
        painter.setPen(
            QPen(kStructureColour, circuit.NewCircuit ? 3 : 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(t.ToPixels(xs, 0), t.ToPixels(xs, top));
        painter.setPen(QPen(kStructureColour, 1));
        for (const TConductor& conductor : circuit.Conductors) {
            const double x = conductor.AbsoluteX();
            if (!(conductor.Height > 0) || !std::isfinite(x) || x == xs) continue;
            painter.drawLine(t.ToPixels(xs, conductor.Height), t.ToPixels(x, conductor.Height));
        }
    }
}

// Phase conductors as filled red circles, ground wires as green rings; the
// highlighted conductor with an orange ring around it. Ids beside each.
void TCrossSectionRenderer::PaintConductors(QPainter& painter, const TDrawingTransform& t) const {
    QFont small = painter.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter.save();
    painter.setFont(small);
    std::vector<QRectF> placed;
    for (const TDrawnConductor& conductor : conductors_) {
        const QPointF centre = t.ToPixels(conductor.XM, conductor.YM);
        const double radius = DrawnRadiusPx(conductor, t);
        const TConductor* model = ConductorAt(scenario_, conductor.Ref);
        const QColor colour = DrawingColourOf(
            model != nullptr ? SymbolKindOf(*model)
                             : (conductor.Ground ? TSymbolKind::Ground : TSymbolKind::PhaseA));
        painter.setPen(QPen(colour.darker(150), 1));
        painter.setBrush(colour);
        painter.drawEllipse(centre, radius, radius);
        if (conductor.Ref == highlighted_) {
            painter.setPen(QPen(kHighlightColour, 3));
            painter.setBrush(Qt::NoBrush);
            const double ring = radius + kHighlightGapPx;
            painter.drawEllipse(centre, ring, ring);
        }
        if (model == nullptr) continue;
        painter.setPen(Qt::black);
        DrawConductorLabel(painter, ConductorLabelOf(*model), centre, radius, placed);
    }
    painter.restore();
}

// Above right of the conductor, or else below right, above left or below
// left, whichever meets no label drawn before; a label with no free place is
// left out (the conductor's row in the grid still names it).
void TCrossSectionRenderer::DrawConductorLabel(QPainter& painter, const QString& text,
                                               QPointF centre, double radius,
                                               std::vector<QRectF>& placed) {
    const QFontMetricsF metrics(painter.font());
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const double gap = radius + 2;
    const QPointF corners[] = {centre + QPointF(gap, -gap - size.height()),
                               centre + QPointF(gap, gap),
                               centre + QPointF(-gap - size.width(), -gap - size.height()),
                               centre + QPointF(-gap - size.width(), gap)};
    for (const QPointF& corner : corners) {
        const QRectF box(corner, size);
        const bool free = std::none_of(placed.begin(), placed.end(),
                                       [&](const QRectF& other) { return other.intersects(box); });
        if (!free) continue;
        placed.push_back(box);
        painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), text);
        return;
    }
}

// A small triangle on the ground line at each point of interest, its name
// below the ground where it meets no other point's name.
void TCrossSectionRenderer::PaintInterestPoints(QPainter& painter, const QRectF& area,
                                                const TDrawingTransform& t) const {
    QFont small = painter.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter.save();
    painter.setFont(small);
    const QFontMetricsF metrics(small);
    std::vector<QRectF> placed;
    for (const TInterestPoint& point : scenario_.InterestPoints) {
        if (!std::isfinite(point.DistFromRowLeft)) continue;
        const QPointF ground = t.ToPixels(point.DistFromRowLeft, 0);
        QPainterPath marker;
        marker.moveTo(ground);
        marker.lineTo(ground + QPointF(-kPointMarkerPx, -2 * kPointMarkerPx));
        marker.lineTo(ground + QPointF(kPointMarkerPx, -2 * kPointMarkerPx));
        marker.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(kPointColour);
        painter.drawPath(marker);
        const QString name = ToQString(point.Name);
        const double width = metrics.horizontalAdvance(name);
        // Centred under the mark, moved inside the area at its sides.
        const double left = std::clamp(ground.x() - width / 2, area.left() + 2,
                                       std::max(area.left() + 2, area.right() - width - 2));
        const QRectF box(left, ground.y() + 3, width, metrics.height());
        const bool free = std::none_of(placed.begin(), placed.end(),
                                       [&](const QRectF& other) { return other.intersects(box); });
        if (!free) continue;
        placed.push_back(box);
        painter.setPen(kPointColour);
        painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), name);
    }
    painter.restore();
}

// Distances across below the area and heights up its left side, both in the
// project's length unit, with a tick and a label at each step.
void TCrossSectionRenderer::PaintAxes(QPainter& painter, const QRectF& area,
                                      const TDrawingTransform& t) const {
    const int units = UnitsOf(scenario_);
    const auto shown = [&](double metres) { return DisplayLength(units, float(metres)); };
    const QPointF lowLeft = t.ToMetres(area.bottomLeft());
    const QPointF highRight = t.ToMetres(area.topRight());
    const double xFrom = shown(lowLeft.x()), xTo = shown(highRight.x());
    const double yFrom = shown(lowLeft.y()), yTo = shown(highRight.y());
    const double xStep = NiceStep(xTo - xFrom, kTicksWanted);
    const double yStep = NiceStep(yTo - yFrom, kTicksWanted);
    const QFontMetricsF metrics(painter.font());
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    // The tick loops stop after kMaxTicks whatever the numbers.
    if (xStep > 0)
        for (double v = std::ceil(xFrom / xStep) * xStep, n = 0; v <= xTo && n < kMaxTicks;
             v += xStep, ++n) {
            const double x = t.ToPixels(LengthFromDisplay(units, float(v)), 0).x();
            painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
            const QString text = AxisText(v, xStep);
            painter.drawText(QPointF(x - metrics.horizontalAdvance(text) / 2,
                                     area.bottom() + 5 + metrics.ascent()),
                             text);
        }
    if (yStep > 0)
        for (double v = std::ceil(yFrom / yStep) * yStep, n = 0; v <= yTo && n < kMaxTicks;
             v += yStep, ++n) {
            const double y = t.ToPixels(0, LengthFromDisplay(units, float(v))).y();
            painter.drawLine(QPointF(area.left() - 4, y), QPointF(area.left(), y));
            const QString text = AxisText(v, yStep);
            painter.drawText(QPointF(area.left() - 6 - metrics.horizontalAdvance(text),
                                     y + metrics.ascent() / 2 - 1),
                             text);
        }
    const QString unit = QString::fromLatin1(LengthUnit(units));
    const QString across = QStringLiteral("Lateral distance (") + unit + ")";
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(across) / 2,
                             area.bottom() + 8 + metrics.ascent() + metrics.height()),
                     across);
    const QString up = QStringLiteral("Height (") + unit + ")";
    painter.save();
    painter.translate(area.left() - kLeftMargin + metrics.ascent() + 2, area.center().y());
    painter.rotate(-90);
    painter.drawText(QPointF(-metrics.horizontalAdvance(up) / 2, 0), up);
    painter.restore();
}

} // namespace corvalt
