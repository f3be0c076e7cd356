#include "plots/GridMapPainter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvalt {
namespace {

const QColor kHalo(255, 255, 255);
const QColor kInk(20, 20, 20);
constexpr int kMaxImageSide = 2400; // device pixels of the filled map

QColor FromRgb(std::uint32_t rgb) { return QColor::fromRgb(rgb | 0xff000000u); }

QString LevelText(double value) { return QString::number(value, 'g', 6); }

QString TickText(double value, double step) {
    return QString::number(value, 'f', DecimalsForStep(step));
}

QString LogTickText(double value) {
    return QString::number(value, 'f', DecimalsForStep(value));
}

// Index and fraction of each coordinate between the grid lines; Outside for
// a coordinate beyond the grid (a zoomed map shown past its edge).
struct TCell {
    std::size_t Index = 0;
    double Fraction = 0;
    bool Outside = false;
};

std::vector<TCell> Cells(std::span<const float> lines, double from, double to, int count) {
    std::vector<TCell> cells(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const double at = from + (to - from) * (k + 0.5) / count;
        if (at < lines.front() || at > lines.back()) {
            cells[std::size_t(k)].Outside = true;
            continue;
        }
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

} // namespace

QColor MapPhaseColour(int phase) {
    static const QColor kPhase[3] = {QColor(220, 20, 60), QColor(20, 20, 20),
                                     QColor(30, 100, 255)};
    return kPhase[std::clamp(phase, 0, 2)];
}

QColor MapGroundWireColour() { return QColor(140, 140, 140); }

QString MapValueText(double value) {
    const double a = std::abs(value);
    return QString::number(value, 'f', a >= 100 ? 0 : a >= 10 ? 1 : 2);
}

TGridMapPainter::TGridMapPainter(QPainter& painter, const QRectF& rect, const TGridMap& map)
    : p_(painter), rect_(rect), map_(map) {
    QFont font = painter.font();
    font.setFamily(QStringLiteral("Arial"));
    font_ = std::clamp(std::min(rect.width(), rect.height()) / 55.0, 8.0, 18.0);
    font.setPixelSize(static_cast<int>(std::lround(font_)));
    p_.setFont(font);
}

double TGridMapPainter::Width() const {
    const double right = map_.Shown ? map_.Shown->X1 : double(map_.X.back());
    return std::max(right - X0(), 1e-9);
}

double TGridMapPainter::Height() const {
    const double top = map_.Shown ? map_.Shown->Y1 : double(map_.Y.back());
    return std::max(top - Y0(), 1e-9);
}

QRectF TGridMapPainter::Draw(const std::function<void(TGridMapPainter&)>& overlay) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing);
    p_.fillRect(rect_, Qt::white);
    DrawTitle();
    if (!map_.Top || map_.X.size() < 2 || map_.Y.size() < 2) {
        p_.setPen(kInk);
        p_.drawText(rect_, Qt::AlignCenter, map_.NoValues);
        p_.restore();
        return {};
    }
    scale_ = map_.LogScale ? ScaleOfValues() : LinearMapScale(*map_.Top);
    Layout();
    DrawFill();
    p_.save();
    p_.setClipRect(gridRect_);
    // The peak's label has its place first and the overlay's labels theirs;
    // the iso-lines' labels keep clear of them.
    const std::optional<QRectF> peakLabel = PeakLabelBox();
    if (peakLabel) labels_.push_back(*peakLabel);
    const std::vector<TLineLabel> lineLabels = DrawIsoLines();
    if (overlay) overlay(*this);
    for (const TLineLabel& label : lineLabels)
        LabelAlong(label.Path, label.Text, label.Width);
    DrawPeak(peakLabel);
    p_.restore();
    DrawAxes();
    DrawLegend();
    p_.restore();
    return gridRect_;
}

TMapScale TGridMapPainter::ScaleOfValues() const {
    double low = 0;
    for (const float v : map_.Values)
        if (v > 0 && (low == 0 || v < low)) low = v;
    return LogMapScale(low, *map_.Top);
}

void TGridMapPainter::DrawTitle() {
    p_.setPen(kInk);
    const QRectF line(rect_.left() + font_, rect_.top() + font_ * 0.4, rect_.width() - 2 * font_,
                      font_ * 1.6);
    p_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetricsF(p_.font()).elidedText(map_.Title, Qt::ElideRight, line.width()));
}

void TGridMapPainter::Layout() {
    const QFontMetricsF metrics(p_.font());
    // The bar with its tick labels, or a key's line and text.
    double content = metrics.horizontalAdvance(map_.Heading);
    for (const double tick : scale_.Ticks)
        content = std::max(content, font_ * 1.7 + metrics.horizontalAdvance(TickLabel(tick)));
    for (const TMapKeyEntry& entry : map_.Key)
        content = std::max(content, font_ * 2 + metrics.horizontalAdvance(entry.Text));
    legendWidth_ = font_ * 2 + content;
    const QRectF area(rect_.left() + font_ * 5.5, rect_.top() + font_ * 2.6,
                      rect_.width() - font_ * 6.5 - legendWidth_, rect_.height() - font_ * 5.6);
    pxPerX_ = std::max(area.width() / Width(), 1e-9);
    pxPerY_ = std::max(area.height() / Height(), 1e-9);
    if (map_.EqualScales) pxPerX_ = pxPerY_ = std::min(pxPerX_, pxPerY_);
    const double w = Width() * pxPerX_, h = Height() * pxPerY_;
    gridRect_ = QRectF(area.left() + (area.width() - w) / 2, area.top(), w, h);
}

QPointF TGridMapPainter::ToScreen(double x, double y) const {
    return {gridRect_.left() + (x - X0()) * pxPerX_, gridRect_.bottom() - (y - Y0()) * pxPerY_};
}

QString TGridMapPainter::TickLabel(double tick) const {
    if (scale_.Log) return LogTickText(tick);
    return TickText(tick, scale_.Ticks.size() > 1 ? scale_.Ticks[1] - scale_.Ticks[0] : 1);
}

// Bilinear between the four grid points round the cell; NaN when one has no
// value.
double TGridMapPainter::ValueAt(std::size_t i, double fx, std::size_t j, double fy) const {
    const std::size_t nx = map_.X.size();
    const auto& values = map_.Values;
    const std::size_t i1 = std::min(i + 1, nx - 1);
    const std::size_t j1 = std::min(j + 1, map_.Y.size() - 1);
    const double v00 = values[j * nx + i], v10 = values[j * nx + i1];
    const double v01 = values[j1 * nx + i], v11 = values[j1 * nx + i1];
    const double bottom = v00 + fx * (v10 - v00);
    const double top = v01 + fx * (v11 - v01);
    return bottom + fy * (top - bottom);
}

void TGridMapPainter::DrawFill() {
    const double device = std::max(p_.deviceTransform().m11(), 1e-3);
    const int w = std::clamp(int(std::ceil(gridRect_.width() * device)), 1, kMaxImageSide);
    const int h = std::clamp(int(std::ceil(gridRect_.height() * device)), 1, kMaxImageSide);
    const auto xs = Cells(map_.X, X0(), X0() + Width(), w);
    const auto ys = Cells(map_.Y, Y0() + Height(), Y0(), h);
    std::vector<QRgb> bands(scale_.Ticks.size());
    for (std::size_t b = 0; b < bands.size(); ++b)
        bands[b] = FromRgb(scale_.BandRgb(int(b))).rgb();
    QImage image(w, h, QImage::Format_ARGB32);
    for (int row = 0; row < h; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        const TCell& cy = ys[std::size_t(row)];
        for (int col = 0; col < w; ++col) {
            const TCell& cx = xs[std::size_t(col)];
            const double v = cx.Outside || cy.Outside
                                 ? NAN
                                 : ValueAt(cx.Index, cx.Fraction, cy.Index, cy.Fraction);
            line[col] =
                std::isnan(v) ? qRgba(255, 255, 255, 0) : bands[std::size_t(scale_.Band(v))];
        }
    }
    p_.drawImage(gridRect_, image);
}

std::vector<TGridMapPainter::TLineLabel> TGridMapPainter::DrawIsoLines() {
    std::vector<TLineLabel> labels;
    const TGridValues field{map_.X, map_.Y, map_.Values};
    const QFontMetricsF metrics(p_.font());
    int style = 0;
    for (const TMapLevel& level : map_.Levels) {
        const QString label = LevelText(level.Value) + QLatin1Char(' ') + map_.Unit;
        const double labelWidth = metrics.horizontalAdvance(label) + font_ * 0.6;
        const Qt::PenStyle pen = style++ % 2 == 0 ? Qt::SolidLine : Qt::DashLine;
        for (const TIsoLine& line : IsoLines(field, float(level.Value))) {
            QPainterPath path;
            for (std::size_t k = 0; k < line.Points.size(); ++k) {
                const QPointF at = ToScreen(line.Points[k].X, line.Points[k].Y);
                if (k == 0)
                    path.moveTo(at);
                else
                    path.lineTo(at);
            }
            if (line.Closed) path.closeSubpath();
            StrokeWithHalo(path, kInk, 1.6, pen);
            if (path.length() > 3 * labelWidth) labels.push_back({path, label, labelWidth});
        }
    }
    return labels;
}

// The label on the line at the first of a few places along it where it lies
// on the grid clear of the labels already there; none when there is no such
// place (the legend still gives the level).
void TGridMapPainter::LabelAlong(const QPainterPath& path, const QString& text, double width) {
    for (const double share : {0.5, 0.3, 0.7, 0.15, 0.85}) {
        const QRectF box = LabelBox(path.pointAtPercent(share), width);
        if (IsFree(box)) {
            Label(box.center(), text, width);
            return;
        }
    }
}

QRectF TGridMapPainter::LabelBox(QPointF at, double width) const {
    return QRectF(at.x() - width / 2, at.y() - font_ * 0.7, width, font_ * 1.4);
}

bool TGridMapPainter::IsFree(const QRectF& box) const {
    if (!gridRect_.contains(box)) return false;
    for (const QRectF& placed : labels_)
        if (placed.intersects(box)) return false;
    return true;
}

void TGridMapPainter::StrokeWithHalo(const QPainterPath& path, const QColor& colour, double width,
                                     Qt::PenStyle style) {
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(kHalo, width + 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_.drawPath(path);
    p_.setPen(QPen(colour, width, style, Qt::RoundCap, Qt::RoundJoin));
    p_.drawPath(path);
}

void TGridMapPainter::Label(QPointF at, const QString& text, double width) {
    const QRectF box = LabelBox(at, width);
    labels_.push_back(box);
    DrawLabelBox(box, text);
}

void TGridMapPainter::DrawLabelBox(const QRectF& box, const QString& text) {
    p_.setPen(QPen(kInk, 0.8));
    p_.setBrush(QColor(255, 255, 255, 225));
    p_.drawRoundedRect(box, font_ * 0.3, font_ * 0.3);
    p_.drawText(box, Qt::AlignCenter, text);
}

QString TGridMapPainter::PeakText() const {
    return QStringLiteral("max %1 %2").arg(MapValueText(*map_.Top), map_.Unit);
}

double TGridMapPainter::PeakMarkRadius() const {
    return font_ * 0.45;
}

// Beside the mark: to the right unless that leaves the grid, above unless
// that does.
std::optional<QRectF> TGridMapPainter::PeakLabelBox() const {
    if (!map_.PeakAt) return std::nullopt;
    const QPointF at = ToScreen(map_.PeakAt->X, map_.PeakAt->Y);
    const double r = PeakMarkRadius();
    const double width = QFontMetricsF(p_.font()).horizontalAdvance(PeakText()) + font_ * 0.6;
    const bool left = at.x() + r * 2 + width > gridRect_.right();
    const double x = left ? at.x() - r * 2 - width / 2 : at.x() + r * 2 + width / 2;
    const bool below = at.y() - font_ * 1.6 < gridRect_.top();
    return LabelBox(QPointF(x, at.y() + (below ? font_ : -font_)), width);
}

void TGridMapPainter::DrawPeak(const std::optional<QRectF>& label) {
    if (!map_.PeakAt || !label) return;
    const QPointF at = ToScreen(map_.PeakAt->X, map_.PeakAt->Y);
    const double r = PeakMarkRadius();
    p_.setPen(QPen(kInk, 1.4));
    p_.setBrush(Qt::white);
    p_.drawEllipse(at, r, r);
    p_.drawLine(at - QPointF(r * 1.8, 0), at + QPointF(r * 1.8, 0));
    p_.drawLine(at - QPointF(0, r * 1.8), at + QPointF(0, r * 1.8));
    DrawLabelBox(*label, PeakText());
}

void TGridMapPainter::DrawAxes() {
    p_.setPen(QPen(kInk, 1));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(gridRect_);
    const double tick = font_ * 0.4;
    const auto xs =
        AxisTicks(X0(), X0() + Width(), std::max(2, int(gridRect_.width() / (font_ * 6))));
    const auto ys =
        AxisTicks(Y0(), Y0() + Height(), std::max(2, int(gridRect_.height() / (font_ * 3))));
    const double xStep = xs.size() > 1 ? xs[1] - xs[0] : 1;
    const double yStep = ys.size() > 1 ? ys[1] - ys[0] : 1;
    for (const double x : xs) {
        const double sx = ToScreen(x, Y0()).x();
        p_.drawLine(QPointF(sx, gridRect_.bottom()), QPointF(sx, gridRect_.bottom() + tick));
        p_.drawText(QRectF(sx - font_ * 4, gridRect_.bottom() + tick, font_ * 8, font_ * 1.4),
                    Qt::AlignHCenter | Qt::AlignTop, TickText(x, xStep));
    }
    for (const double y : ys) {
        const double sy = ToScreen(X0(), y).y();
        p_.drawLine(QPointF(gridRect_.left() - tick, sy), QPointF(gridRect_.left(), sy));
        p_.drawText(
            QRectF(gridRect_.left() - font_ * 8.4, sy - font_ * 0.7, font_ * 8, font_ * 1.4),
            Qt::AlignRight | Qt::AlignVCenter, TickText(y, yStep));
    }
    p_.drawText(QRectF(gridRect_.left(), gridRect_.bottom() + font_ * 1.6, gridRect_.width(),
                       font_ * 1.4),
                Qt::AlignHCenter | Qt::AlignTop, map_.XCaption);
    p_.save();
    p_.translate(rect_.left() + font_ * 0.9, gridRect_.center().y());
    p_.rotate(-90);
    p_.drawText(QRectF(-gridRect_.height() / 2, -font_ * 0.7, gridRect_.height(), font_ * 1.4),
                Qt::AlignCenter, map_.YCaption);
    p_.restore();
}

void TGridMapPainter::DrawLegend() {
    const double left = rect_.right() - legendWidth_ + font_;
    const double barWidth = font_ * 1.2;
    const QRectF bar(left, gridRect_.top() + font_ * 1.8, barWidth,
                     std::max(gridRect_.height() * 0.6, font_ * 6));
    p_.setPen(kInk);
    p_.drawText(QRectF(left, gridRect_.top(), legendWidth_ - font_, font_ * 1.4),
                Qt::AlignLeft | Qt::AlignVCenter, map_.Heading);
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
    for (const TMapLevel& level : map_.Levels) {
        if (level.Value > scale_.Hi || level.Value < scale_.Lo) continue;
        const double y = yOf(level.Value);
        p_.setPen(QPen(kHalo, 3.4));
        p_.drawLine(QPointF(bar.left() - font_ * 0.3, y), QPointF(bar.right(), y));
        p_.setPen(QPen(kInk, 1.6));
        p_.drawLine(QPointF(bar.left() - font_ * 0.3, y), QPointF(bar.right(), y));
    }
    DrawKey(QPointF(left, bar.bottom() + font_ * 1.5));
}

void TGridMapPainter::DrawKey(QPointF at) {
    for (const TMapKeyEntry& entry : map_.Key) {
        if (at.y() + font_ > rect_.bottom()) return;
        QPainterPath path(at);
        path.lineTo(at + QPointF(font_ * 1.6, 0));
        StrokeWithHalo(path, entry.Colour, entry.Width);
        p_.setPen(kInk);
        p_.drawText(QRectF(at.x() + font_ * 2, at.y() - font_ * 0.7, legendWidth_, font_ * 1.4),
                    Qt::AlignLeft | Qt::AlignVCenter, entry.Text);
        at.ry() += font_ * 1.5;
    }
}

} // namespace corvalt
