#include "plots/SectionMapDrawing.h"

#include "model/Conductor.h"
#include "model/Project.h"
#include "model/Scenario.h"
#include "model/Units.h"
#include "plots/ConductorKind.h"
#include "plots/GridMapPainter.h"
#include "plots/ModelText.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <set>

namespace corvalt {
namespace {

const QColor kEdgeColour(20, 20, 20);
const QColor kSensorColour(255, 255, 255);
const QColor kProbeColour(255, 140, 0);

std::vector<float> InDisplayUnits(const std::vector<float>& metres, int units) {
    std::vector<float> shown;
    shown.reserve(metres.size());
    for (float m : metres) shown.push_back(DisplayLength(units, m));
    return shown;
}

// A vertical or horizontal dashed line across the grid, its text at the end.
void DashedLine(TGridMapPainter& map, QPointF from, QPointF to, const QColor& colour,
                const QString& text) {
    QPainterPath path(from);
    path.lineTo(to);
    map.StrokeWithHalo(path, colour == kSensorColour ? QColor(20, 20, 20) : colour, 1.2,
                       Qt::DashLine);
    if (text.isEmpty()) return;
    const double width = QFontMetricsF(map.Painter().font()).horizontalAdvance(text) +
                         map.FontSize() * 0.6;
    const QRectF& grid = map.GridRect();
    const QPointF at = from.x() == to.x()
                           ? QPointF(std::clamp(from.x(), grid.left() + width / 2,
                                                grid.right() - width / 2),
                                     grid.top() + map.FontSize())
                           : QPointF(grid.right() - width / 2 - map.FontSize() * 0.3,
                                     from.y() - map.FontSize() * 0.9);
    map.Label(at, text, width);
}

void DrawOverlay(TGridMapPainter& map, const TScenario& scenario,
                 const TSectionMapOptions& options) {
    const int units = scenario.Project->Units;
    const QRectF& grid = map.GridRect();
    const auto across = [&](float heightM, const QString& text) {
        const double y = map.ToScreen(0, DisplayLength(units, heightM)).y();
        DashedLine(map, QPointF(grid.left(), y), QPointF(grid.right(), y), kSensorColour, text);
    };
    const auto upright = [&](float xM, const QColor& colour, const QString& text) {
        const double x = map.ToScreen(DisplayLength(units, xM), 0).x();
        DashedLine(map, QPointF(x, grid.bottom()), QPointF(x, grid.top()), colour, text);
    };
    if (scenario.EFieldHeight == scenario.BFieldHeight) {
        across(scenario.EFieldHeight, QStringLiteral("E and B sensors"));
    } else {
        across(scenario.EFieldHeight, QStringLiteral("E sensor"));
        across(scenario.BFieldHeight, QStringLiteral("B sensor"));
    }
    upright(-scenario.RowLeft, kEdgeColour, QStringLiteral("ROW"));
    upright(scenario.RowRight, kEdgeColour, QStringLiteral("ROW"));
    if (options.ProbeXM) upright(*options.ProbeXM, kProbeColour, {});
    QPainter& p = map.Painter();
    const double r = std::max(map.FontSize() * 0.35, 3.0);
    for (const TConductor* conductor : scenario.Conductors) {
        const QPointF at = map.ToScreen(DisplayLength(units, conductor->AbsoluteX()),
                                        DisplayLength(units, conductor->Height));
        p.setPen(QPen(Qt::white, 1.2));
        p.setBrush(DrawingColourOf(SymbolKindOf(*conductor)));
        p.drawEllipse(at, r, r);
    }
}

// The kinds of conductor the cross section has, in the legend's order.
std::vector<TMapKeyEntry> KeyOf(const TScenario& scenario) {
    std::set<TSymbolKind> kinds;
    for (const TConductor* conductor : scenario.Conductors) kinds.insert(SymbolKindOf(*conductor));
    std::vector<TMapKeyEntry> key;
    for (TSymbolKind kind : kinds) key.push_back({DrawingColourOf(kind), 5, KindName(kind)});
    return key;
}

} // namespace

std::optional<float> LargestValue(const std::vector<float>& values) {
    std::optional<float> largest;
    for (float v : values)
        if (std::isfinite(v) && (!largest || v > *largest)) largest = v;
    return largest;
}

QRectF DrawSectionMap(QPainter& painter, const QRectF& rect, const TScenario& scenario,
                      const TSectionMap& map, const TSectionMapOptions& options) {
    const int units = scenario.Project->Units;
    const bool electric = options.Quantity == TMapQuantity::Electric;
    const std::vector<float>& values = electric ? map.E : map.B;
    const std::vector<float> x = InDisplayUnits(map.X, units);
    const std::vector<float> heights = InDisplayUnits(map.Heights, units);
    const QString length = QString::fromLatin1(LengthUnit(units));
    TGridMap grid;
    grid.X = x;
    grid.Y = heights;
    grid.Values = values;
    grid.Unit = electric ? QStringLiteral("kV/m") : QStringLiteral("mG");
    grid.Heading = (electric ? QStringLiteral("E (%1)") : QStringLiteral("B (%1)")).arg(grid.Unit);
    grid.Title = QStringLiteral("%1 · %2 over the cross section")
                     .arg(ToQString(scenario.TabTitle), electric ? QStringLiteral("Electric field")
                                                                 : QStringLiteral("Magnetic field"));
    grid.XCaption = QStringLiteral("Lateral distance (%1)").arg(length);
    grid.YCaption = QStringLiteral("Height (%1)").arg(length);
    grid.NoValues = electric ? QStringLiteral("The electric field has no value to show.")
                             : QStringLiteral("The magnetic field has no value to show.");
    grid.EqualScales = false;
    grid.LogScale = options.LogScale;
    grid.Top = LargestValue(values);
    if (grid.Top && !(*grid.Top > 0)) grid.Top.reset();
    grid.Levels = options.Levels;
    grid.Key = KeyOf(scenario);
    return TGridMapPainter(painter, rect, grid).Draw([&](TGridMapPainter& on) {
        DrawOverlay(on, scenario, options);
    });
}

} // namespace corvalt
