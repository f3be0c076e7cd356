#include "plots/FieldMapDrawing.h"

#include "plots/MapContours.h"
#include "plots/MapScale.h"
#include "plots/ModelText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvalt {
namespace {

const QColor kHalo(255, 255, 255);
const QColor kInk(20, 20, 20);
const QColor kGroundWire(140, 140, 140);
const QColor kPhase[3] = {QColor(220, 20, 60), QColor(20, 20, 20), QColor(30, 100, 255)};
constexpr int kMaxImageSide = 2400; // device pixels of the filled map

QColor FromRgb(std::uint32_t rgb) { return QColor::fromRgb(rgb | 0xff000000u); }

QString ValueText(double value) {
    const double a = std::abs(value);
    return QString::number(value, 'f', a >= 100 ? 0 : a >= 10 ? 1 : 2);
}

QString LevelText(double value) { return QString::number(value, 'g', 6); }

QString TickText(double value, double step) {
    return QString::number(value, 'f', DecimalsForStep(step));
}

QString LogTickText(double value) {
    return QString::number(value, 'f', DecimalsForStep(value));
}

// The drawing's parts and where they go.
class TMapPainter {
  public:
    TMapPainter(QPainter& painter, const QRectF& rect, const TPlan& plan,
                const space::TFieldMap& map, const TMapDrawOptions& options)
        : p_(painter), rect_(rect), plan_(plan), map_(map), options_(options),
          layer_(options.Quantity == TMapQuantity::Electric ? map.E : map.B),
          peak_(options.Quantity == TMapQuantity::Electric ? map.MaxE : map.MaxB) {
        QFont font = painter.font();
        font.setFamily(QStringLiteral("Arial"));
        font_ = std::clamp(std::min(rect.width(), rect.height()) / 55.0, 8.0, 18.0);
        font.setPixelSize(static_cast<int>(std::lround(font_)));
        p_.setFont(font);
        unit_ = options.Quantity == TMapQuantity::Electric ? QStringLiteral("kV/m")
                                                           : QStringLiteral("mG");
        length_ = plan.Units == English ? QStringLiteral("ft") : QStringLiteral("m");
    }

    QRectF Draw() {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing);
        p_.fillRect(rect_, Qt::white);
        DrawTitle();
        if (!layer_.Computed() || !peak_ || map_.X.empty() || map_.Y.empty()) {
            p_.setPen(kInk);
            p_.drawText(rect_, Qt::AlignCenter,
                        options_.Quantity == TMapQuantity::Electric
                            ? QStringLiteral("The electric field has no value to show.")
                            : QStringLiteral("The magnetic field has no value to show."));
            p_.restore();
            return {};
        }
        scale_ = options_.LogScale ? LogScaleOfLayer() : LinearMapScale(peak_->Value);
        Layout();
        DrawFill();
        p_.save();
        p_.setClipRect(map_rect_);
        DrawIsoLines();
        DrawConductors();
        DrawFootprints();
        DrawPeak();
        p_.restore();
        DrawAxes();
        DrawLegend();
        p_.restore();
        return map_rect_;
    }

  private:
    TMapScale LogScaleOfLayer() const {
        double low = 0;
        for (const float v : layer_.Values())
            if (v > 0 && (low == 0 || v < low)) low = v;
        return LogMapScale(low, peak_->Value);
    }

    void DrawTitle() {
        const QString quantity = options_.Quantity == TMapQuantity::Electric
                                     ? QStringLiteral("Electric field")
                                     : QStringLiteral("Magnetic field");
        const QString title = QStringLiteral("%1 · %2 at %3 %4 above ground")
                                  .arg(ToQString(plan_.Name), quantity,
                                       QString::number(map_.Height, 'g', 6), length_);
        p_.setPen(kInk);
        const QRectF line(rect_.left() + font_, rect_.top() + font_ * 0.4,
                          rect_.width() - 2 * font_, font_ * 1.6);
        p_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetricsF(p_.font()).elidedText(title, Qt::ElideRight, line.width()));
    }

    double X0() const { return map_.X.front(); }
    double Y0() const { return map_.Y.front(); }
    double Width() const { return std::max(double(map_.X.back()) - X0(), 1e-9); }
    double Height() const { return std::max(double(map_.Y.back()) - Y0(), 1e-9); }

    void Layout() {
        const QFontMetricsF metrics(p_.font());
        // The bar with its tick labels, or a conductor key's line and text.
        double content = metrics.horizontalAdvance(QStringLiteral("E (kV/m)"));
        for (const double tick : scale_.Ticks)
            content = std::max(content, font_ * 1.7 + metrics.horizontalAdvance(TickLabel(tick)));
        for (const char* text : {"Ground wire", "Phase A", "Phase B", "Phase C"})
            content = std::max(content, font_ * 2 + metrics.horizontalAdvance(QString::fromLatin1(text)));
        legendWidth_ = font_ * 2 + content;
        const QRectF area(rect_.left() + font_ * 5.5, rect_.top() + font_ * 2.6,
                          rect_.width() - font_ * 6.5 - legendWidth_,
                          rect_.height() - font_ * 5.6);
        scale_px_ = std::max(std::min(area.width() / Width(), area.height() / Height()), 1e-9);
        const double w = Width() * scale_px_, h = Height() * scale_px_;
        map_rect_ = QRectF(area.left() + (area.width() - w) / 2, area.top(), w, h);
    }

    QPointF ToScreen(double x, double y) const {
        return {map_rect_.left() + (x - X0()) * scale_px_,
                map_rect_.bottom() - (y - Y0()) * scale_px_};
    }

    QString TickLabel(double tick) const {
        if (scale_.Log) return LogTickText(tick);
        return TickText(tick, scale_.Ticks.size() > 1 ? scale_.Ticks[1] - scale_.Ticks[0] : 1);
    }

    // Index and fraction of each coordinate between the grid lines.
    struct TCell {
        std::size_t Index = 0;
        double Fraction = 0;
    };
    static std::vector<TCell> Cells(const std::vector<float>& lines, double from, double to,
                                    int count) {
        std::vector<TCell> cells(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            const double at = from + (to - from) * (k + 0.5) / count;
            const auto above = std::upper_bound(lines.begin(), lines.end(), at);
            std::size_t i = above == lines.begin() ? 0 : std::size_t(above - lines.begin()) - 1;
            if (i + 1 >= lines.size()) {
                cells[std::size_t(k)] = {lines.size() - 1, 0};
                continue;
            }
            const double f = (at - lines[i]) / (double(lines[i + 1]) - lines[i]);
            cells[std::size_t(k)] = {i, std::clamp(f, 0.0, 1.0)};
        }
        return cells;
    }

    // Bilinear between the four grid points round the cell; NaN when one has
    // no value.
    double ValueAt(const TCell& cx, const TCell& cy) const {
        const std::size_t nx = map_.X.size();
        const auto values = layer_.Values();
        const std::size_t i1 = std::min(cx.Index + 1, nx - 1);
        const std::size_t j1 = std::min(cy.Index + 1, map_.Y.size() - 1);
        const double v00 = values[cy.Index * nx + cx.Index], v10 = values[cy.Index * nx + i1];
        const double v01 = values[j1 * nx + cx.Index], v11 = values[j1 * nx + i1];
        const double bottom = v00 + cx.Fraction * (v10 - v00);
        const double top = v01 + cx.Fraction * (v11 - v01);
        return bottom + cy.Fraction * (top - bottom);
    }

    void DrawFill() {
        const double device = std::max(p_.deviceTransform().m11(), 1e-3);
        const int w = std::clamp(int(std::ceil(map_rect_.width() * device)), 1, kMaxImageSide);
        const int h = std::clamp(int(std::ceil(map_rect_.height() * device)), 1, kMaxImageSide);
        const auto xs = Cells(map_.X, X0(), X0() + Width(), w);
        const auto ys = Cells(map_.Y, Y0() + Height(), Y0(), h);
        std::vector<QRgb> bands(scale_.Ticks.size());
        for (std::size_t b = 0; b < bands.size(); ++b)
            bands[b] = FromRgb(scale_.BandRgb(int(b))).rgb();
        QImage image(w, h, QImage::Format_ARGB32);
        for (int row = 0; row < h; ++row) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int col = 0; col < w; ++col) {
                const double v = ValueAt(xs[std::size_t(col)], ys[std::size_t(row)]);
                line[col] = std::isnan(v) ? qRgba(255, 255, 255, 0)
                                          : bands[std::size_t(scale_.Band(v))];
            }
        }
        p_.drawImage(map_rect_, image);
    }

    std::vector<TMapLevel> Levels() const {
        if (options_.Levels) return *options_.Levels;
        return DefaultMapLevels(plan_, DefaultFieldLimits(), options_.Quantity);
    }

    void DrawIsoLines() {
        const TGridValues field{map_.X, map_.Y, layer_.Values()};
        const QFontMetricsF metrics(p_.font());
        int style = 0;
        for (const TMapLevel& level : Levels()) {
            const QString label = LevelText(level.Value) + QLatin1Char(' ') + unit_;
            const double labelWidth = metrics.horizontalAdvance(label) + font_ * 0.6;
            const Qt::PenStyle pen = style++ % 2 == 0 ? Qt::SolidLine : Qt::DashLine;
            for (const TIsoLine& line : IsoLines(field, float(level.Value))) {
                QPainterPath path;
                for (std::size_t k = 0; k < line.Points.size(); ++k) {
                    const QPointF at = ToScreen(line.Points[k].X, line.Points[k].Y);
                    if (k == 0) path.moveTo(at); else path.lineTo(at);
                }
                if (line.Closed) path.closeSubpath();
                StrokeWithHalo(path, kInk, 1.6, pen);
                if (path.length() > 3 * labelWidth)
                    Label(path.pointAtPercent(0.5), label, labelWidth);
            }
        }
    }

    void StrokeWithHalo(const QPainterPath& path, const QColor& colour, double width,
                        Qt::PenStyle style = Qt::SolidLine) {
        p_.setBrush(Qt::NoBrush);
        p_.setPen(QPen(kHalo, width + 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.drawPath(path);
        p_.setPen(QPen(colour, width, style, Qt::RoundCap, Qt::RoundJoin));
        p_.drawPath(path);
    }

    // Text on a white box centred at the point.
    void Label(QPointF at, const QString& text, double width) {
        const QRectF box(at.x() - width / 2, at.y() - font_ * 0.7, width, font_ * 1.4);
        p_.setPen(QPen(kInk, 0.8));
        p_.setBrush(QColor(255, 255, 255, 225));
        p_.drawRoundedRect(box, font_ * 0.3, font_ * 0.3);
        p_.drawText(box, Qt::AlignCenter, text);
    }

    QColor ConductorColour(const TPlanConductor& c) const {
        if (c.IsGround) return kGroundWire;
        if (!c.IsAc) return c.Kv >= 0 ? kPhase[0] : kPhase[2];
        return kPhase[PhaseIndexOf(c.AngleDeg)];
    }

    void DrawConductors() {
        for (const TPlanConductor& c : plan_.Conductors) {
            QPainterPath path;
            for (std::size_t k = 0; k < c.Points.size(); ++k) {
                const QPointF at = ToScreen(c.Points[k].X, c.Points[k].Y);
                if (k == 0) path.moveTo(at); else path.lineTo(at);
            }
            StrokeWithHalo(path, ConductorColour(c), c.IsGround ? 1.4 : 2.2);
        }
    }

    void DrawFootprints() {
        const QFontMetricsF metrics(p_.font());
        for (std::size_t f = 0; f < plan_.Footprints.size(); ++f) {
            const TFootprint& footprint = plan_.Footprints[f];
            QPolygonF polygon;
            for (const TPlanCorner& corner : footprint.Corners)
                polygon << ToScreen(corner.X, corner.Y);
            QPainterPath path;
            path.addPolygon(polygon);
            path.closeSubpath();
            StrokeWithHalo(path, kInk, 1.4, Qt::DashLine);
            const auto& peaks = f < map_.Footprints.size() ? map_.Footprints[f]
                                                           : space::TFootprintPeaks{};
            const auto& peak = options_.Quantity == TMapQuantity::Electric ? peaks.E : peaks.B;
            const QString value = peak ? ValueText(peak->Value) + QLatin1Char(' ') + unit_
                                       : QStringLiteral("no value");
            const QString text = ToQString(footprint.Name) + QLatin1Char('\n') + value;
            const double width = std::max(metrics.horizontalAdvance(value),
                                          metrics.horizontalAdvance(
                                              ToQString(footprint.Name))) + font_;
            const QPointF centre = polygon.boundingRect().center();
            const QRectF box(centre.x() - width / 2, centre.y() - font_ * 1.3, width, font_ * 2.6);
            p_.setPen(QPen(kInk, 0.8));
            p_.setBrush(QColor(255, 255, 255, 225));
            p_.drawRect(box);
            p_.drawText(box, Qt::AlignCenter, text);
        }
    }

    void DrawPeak() {
        const QPointF at = ToScreen(peak_->X, peak_->Y);
        const double r = font_ * 0.45;
        p_.setPen(QPen(kInk, 1.4));
        p_.setBrush(Qt::white);
        p_.drawEllipse(at, r, r);
        p_.drawLine(at - QPointF(r * 1.8, 0), at + QPointF(r * 1.8, 0));
        p_.drawLine(at - QPointF(0, r * 1.8), at + QPointF(0, r * 1.8));
        const QString text = QStringLiteral("max %1 %2").arg(ValueText(peak_->Value), unit_);
        const double width = QFontMetricsF(p_.font()).horizontalAdvance(text) + font_ * 0.6;
        const bool left = at.x() + r * 2 + width > map_rect_.right();
        const double x = left ? at.x() - r * 2 - width / 2 : at.x() + r * 2 + width / 2;
        const bool below = at.y() - font_ * 1.6 < map_rect_.top();
        Label(QPointF(x, at.y() + (below ? font_ : -font_)), text, width);
    }

    void DrawAxes() {
        p_.setPen(QPen(kInk, 1));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(map_rect_);
        const double tick = font_ * 0.4;
        const auto xs = AxisTicks(X0(), X0() + Width(), std::max(2, int(map_rect_.width() / (font_ * 6))));
        const auto ys = AxisTicks(Y0(), Y0() + Height(), std::max(2, int(map_rect_.height() / (font_ * 3))));
        const double xStep = xs.size() > 1 ? xs[1] - xs[0] : 1;
        const double yStep = ys.size() > 1 ? ys[1] - ys[0] : 1;
        for (const double x : xs) {
            const double sx = ToScreen(x, Y0()).x();
            p_.drawLine(QPointF(sx, map_rect_.bottom()), QPointF(sx, map_rect_.bottom() + tick));
            p_.drawText(QRectF(sx - font_ * 4, map_rect_.bottom() + tick, font_ * 8, font_ * 1.4),
                        Qt::AlignHCenter | Qt::AlignTop, TickText(x, xStep));
        }
        for (const double y : ys) {
            const double sy = ToScreen(X0(), y).y();
            p_.drawLine(QPointF(map_rect_.left() - tick, sy), QPointF(map_rect_.left(), sy));
            p_.drawText(QRectF(map_rect_.left() - font_ * 8.4, sy - font_ * 0.7, font_ * 8,
                               font_ * 1.4),
                        Qt::AlignRight | Qt::AlignVCenter, TickText(y, yStep));
        }
        p_.drawText(QRectF(map_rect_.left(), map_rect_.bottom() + font_ * 1.6,
                           map_rect_.width(), font_ * 1.4),
                    Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("x (%1)").arg(length_));
        p_.save();
        p_.translate(rect_.left() + font_ * 0.9, map_rect_.center().y());
        p_.rotate(-90);
        p_.drawText(QRectF(-map_rect_.height() / 2, -font_ * 0.7, map_rect_.height(), font_ * 1.4),
                    Qt::AlignCenter, QStringLiteral("y (%1)").arg(length_));
        p_.restore();
    }

    void DrawLegend() {
        const double left = rect_.right() - legendWidth_ + font_;
        const double barWidth = font_ * 1.2;
        const QRectF bar(left, map_rect_.top() + font_ * 1.8, barWidth,
                         std::max(map_rect_.height() * 0.6, font_ * 6));
        p_.setPen(kInk);
        p_.drawText(QRectF(left, map_rect_.top(), legendWidth_ - font_, font_ * 1.4),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    (options_.Quantity == TMapQuantity::Electric ? QStringLiteral("E (%1)")
                                                                 : QStringLiteral("B (%1)"))
                        .arg(unit_));
        const auto yOf = [&](double value) {
            return bar.bottom() - scale_.Position(value) * bar.height();
        };
        p_.setPen(Qt::NoPen);
        for (std::size_t b = 0; b + 1 < scale_.Ticks.size(); ++b) {
            p_.setBrush(FromRgb(scale_.BandRgb(int(b))));
            p_.drawRect(QRectF(QPointF(bar.left(), yOf(scale_.Ticks[b + 1])),
                               QPointF(bar.right(), yOf(scale_.Ticks[b]))));
        }
        p_.setBrush(Qt::NoBrush);
        p_.setPen(QPen(kInk, 0.8));
        p_.drawRect(bar);
        double lastLabel = 1e300;
        for (const double tick : scale_.Ticks) {
            const double y = yOf(tick);
            p_.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + font_ * 0.3, y));
            if (lastLabel - y < font_ * 1.1) continue; // too close to the label below
            lastLabel = y;
            p_.drawText(QRectF(bar.right() + font_ * 0.5, y - font_ * 0.7, legendWidth_, font_ * 1.4),
                        Qt::AlignLeft | Qt::AlignVCenter, TickLabel(tick));
        }
        // The iso-lines' levels on the bar.
        for (const TMapLevel& level : Levels()) {
            if (level.Value > scale_.Hi || level.Value < scale_.Lo) continue;
            const double y = yOf(level.Value);
            p_.setPen(QPen(kHalo, 3.4));
            p_.drawLine(QPointF(bar.left() - font_ * 0.3, y), QPointF(bar.right(), y));
            p_.setPen(QPen(kInk, 1.6));
            p_.drawLine(QPointF(bar.left() - font_ * 0.3, y), QPointF(bar.right(), y));
        }
        DrawConductorKey(QPointF(left, bar.bottom() + font_ * 1.5));
    }

    void DrawConductorKey(QPointF at) {
        const auto entry = [&](const QColor& colour, double width, const QString& text) {
            if (at.y() + font_ > rect_.bottom()) return;
            QPainterPath path(at);
            path.lineTo(at + QPointF(font_ * 1.6, 0));
            StrokeWithHalo(path, colour, width);
            p_.setPen(kInk);
            p_.drawText(QRectF(at.x() + font_ * 2, at.y() - font_ * 0.7, legendWidth_, font_ * 1.4),
                        Qt::AlignLeft | Qt::AlignVCenter, text);
            at.ry() += font_ * 1.5;
        };
        entry(kPhase[0], 2.2, QStringLiteral("Phase A"));
        entry(kPhase[1], 2.2, QStringLiteral("Phase B"));
        entry(kPhase[2], 2.2, QStringLiteral("Phase C"));
        entry(kGroundWire, 1.4, QStringLiteral("Ground wire"));
    }

    QPainter& p_;
    QRectF rect_;
    const TPlan& plan_;
    const space::TFieldMap& map_;
    const TMapDrawOptions& options_;
    const space::TMapLayer& layer_;
    const std::optional<space::TMapPeak>& peak_;
    double font_ = 12;
    QString unit_, length_;
    TMapScale scale_;
    double legendWidth_ = 0;
    double scale_px_ = 1;
    QRectF map_rect_;
};

} // namespace

QRectF DrawFieldMap(QPainter& painter, const QRectF& rect, const TPlan& plan,
                    const space::TFieldMap& map, const TMapDrawOptions& options) {
    return TMapPainter(painter, rect, plan, map, options).Draw();
}

} // namespace corvalt
