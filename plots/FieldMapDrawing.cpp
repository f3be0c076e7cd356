#include "plots/FieldMapDrawing.h"

#include "plots/GridMapPainter.h"
#include "plots/ModelText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace corvalt {
namespace {

const QColor kInk(20, 20, 20);

void DrawConductors(TGridMapPainter& map, const TPlan& plan) {
    for (const TPlanConductor& c : plan.Conductors) {
        QPainterPath path;
        for (std::size_t k = 0; k < c.Points.size(); ++k) {
            const QPointF at = map.ToScreen(c.Points[k].X, c.Points[k].Y);
            if (k == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        map.StrokeWithHalo(path, PlanConductorColour(c), c.IsGround ? 1.4 : 2.2);
    }
}

// Each footprint outlined, with its name and largest value in a box inside.
void DrawFootprints(TGridMapPainter& map, const TPlan& plan, const space::TFieldMap& values,
                    TMapQuantity quantity, const QString& unit) {
    QPainter& p = map.Painter();
    const double font = map.FontSize();
    const QFontMetricsF metrics(p.font());
    for (std::size_t f = 0; f < plan.Footprints.size(); ++f) {
        const TFootprint& footprint = plan.Footprints[f];
        QPolygonF polygon;
        for (const TPlanCorner& corner : footprint.Corners)
            polygon << map.ToScreen(corner.X, corner.Y);
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        map.StrokeWithHalo(path, kInk, 1.4, Qt::DashLine);
        const auto& peaks =
            f < values.Footprints.size() ? values.Footprints[f] : space::TFootprintPeaks{};
        const auto& peak = quantity == TMapQuantity::Electric ? peaks.E : peaks.B;
        const QString value = peak ? MapValueText(peak->Value) + QLatin1Char(' ') + unit
                                   : QStringLiteral("no value");
        const QString name = ToQString(footprint.Name);
        const QString text = name + QLatin1Char('\n') + value;
        const double width =
            std::max(metrics.horizontalAdvance(value), metrics.horizontalAdvance(name)) + font;
        const QPointF centre = polygon.boundingRect().center();
        const QRectF box(centre.x() - width / 2, centre.y() - font * 1.3, width, font * 2.6);
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(255, 255, 255, 225));
        p.drawRect(box);
        p.drawText(box, Qt::AlignCenter, text);
        map.KeepClear(box);
    }
}

} // namespace

QColor PlanConductorColour(const TPlanConductor& c) {
    if (c.IsGround) return MapGroundWireColour();
    if (!c.IsAc) return MapPhaseColour(c.Kv >= 0 ? 0 : 2);
    return MapPhaseColour(PhaseIndexOf(c.AngleDeg));
}

QRectF DrawFieldMap(QPainter& painter, const QRectF& rect, const TPlan& plan,
                    const space::TFieldMap& map, const TMapDrawOptions& options) {
    const bool electric = options.Quantity == TMapQuantity::Electric;
    const space::TMapLayer& layer = electric ? map.E : map.B;
    const std::optional<space::TMapPeak>& peak = electric ? map.MaxE : map.MaxB;
    const QString length = plan.Units == English ? QStringLiteral("ft") : QStringLiteral("m");
    TGridMap grid;
    grid.X = map.X;
    grid.Y = map.Y;
    grid.Values = layer.Values();
    grid.Unit = electric ? QStringLiteral("kV/m") : QStringLiteral("mG");
    grid.Heading = (electric ? QStringLiteral("E (%1)") : QStringLiteral("B (%1)")).arg(grid.Unit);
    grid.Title = QStringLiteral("%1 · %2 at %3 %4 above ground")
                     .arg(ToQString(plan.Name),
                          electric ? QStringLiteral("Electric field")
                                   : QStringLiteral("Magnetic field"),
                          QString::number(map.Height, 'g', 6), length);
    grid.XCaption = QStringLiteral("x (%1)").arg(length);
    grid.YCaption = QStringLiteral("y (%1)").arg(length);
    grid.NoValues = electric ? QStringLiteral("The electric field has no value to show.")
                             : QStringLiteral("The magnetic field has no value to show.");
    grid.LogScale = options.LogScale;
    grid.Shown = options.Shown;
    if (layer.Computed() && peak) {
        grid.Top = peak->Value;
        grid.PeakAt = TPlanXY{peak->X, peak->Y};
    }
    grid.Levels = options.Levels ? *options.Levels
                                 : DefaultMapLevels(plan, DefaultFieldLimits(), options.Quantity);
    grid.Key = {{MapPhaseColour(0), 2.2, QStringLiteral("Phase A")},
                {MapPhaseColour(1), 2.2, QStringLiteral("Phase B")},
                {MapPhaseColour(2), 2.2, QStringLiteral("Phase C")},
                {MapGroundWireColour(), 1.4, QStringLiteral("Ground wire")}};
    return TGridMapPainter(painter, rect, grid).Draw([&](TGridMapPainter& on) {
        DrawConductors(on, plan);
        DrawFootprints(on, plan, map, options.Quantity, grid.Unit);
    });
}

} // namespace corvalt
