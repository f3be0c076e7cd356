#include "ui/widgets/FieldMapView.h"

#include "model/Units.h"
#include "plots/GridMapPainter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QStringList>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace corvalt::ui {

namespace {

// A wheel notch zooms by this factor.
constexpr double kWheelZoom = 0.8;
// A rubber band smaller than this (pixels) is a click, not a zoom.
constexpr int kMinBand = 5;
// The smallest part of the grid shown, as a share of its width and height.
constexpr double kMinShown = 1e-3;

// The index of the line nearest to v (lines ascending, not empty); the lower
// one when v lies halfway.
std::size_t NearestLine(const std::vector<float>& lines, double v) {
    const auto above = std::lower_bound(lines.begin(), lines.end(), v);
    if (above == lines.begin()) return 0;
    if (above == lines.end()) return lines.size() - 1;
    const auto below = above - 1;
    return std::size_t((v - *below <= *above - v ? below : above) - lines.begin());
}

// Whether v lies on the grid's lines or within half a step beyond them.
bool WithinLines(const std::vector<float>& lines, double v) {
    const double half = lines.size() > 1 ? (double(lines[1]) - lines[0]) / 2 : 0;
    return v >= lines.front() - half && v <= double(lines.back()) + half;
}

std::optional<float> ValueOf(const space::TMapLayer& layer, std::size_t i, std::size_t j) {
    if (!layer.Computed()) return std::nullopt;
    return layer.At(i, j);
}

QString CoordinateText(double v) { return QString::number(v, 'f', std::abs(v) >= 1000 ? 0 : 1); }

QString ValueText(const std::optional<float>& v, const QString& unit) {
    return v ? MapValueText(*v) + QLatin1Char(' ') + unit : QStringLiteral("no value");
}

// Keeps the extent within the full one, no larger and not vanishingly small.
TPlanExtent KeptWithin(TPlanExtent e, const TPlanExtent& full) {
    const auto keep = [](double& lo, double& hi, double fullLo, double fullHi) {
        const double fullSize = fullHi - fullLo;
        const double size = std::clamp(hi - lo, fullSize * kMinShown, fullSize);
        const double centre = (lo + hi) / 2;
        lo = std::max(fullLo, std::min(centre - size / 2, fullHi - size));
        hi = lo + size;
    };
    keep(e.X0, e.X1, full.X0, full.X1);
    keep(e.Y0, e.Y1, full.Y0, full.Y1);
    return e;
}

} // namespace

std::optional<TMapReading> MapReadingNear(const space::TFieldMap& map, double x, double y) {
    if (map.X.empty() || map.Y.empty() || !std::isfinite(x) || !std::isfinite(y)) return {};
    if (!WithinLines(map.X, x) || !WithinLines(map.Y, y)) return {};
    TMapReading reading;
    reading.I = NearestLine(map.X, x);
    reading.J = NearestLine(map.Y, y);
    reading.X = map.X[reading.I];
    reading.Y = map.Y[reading.J];
    reading.EComputed = map.E.Computed();
    reading.BComputed = map.B.Computed();
    reading.E = ValueOf(map.E, reading.I, reading.J);
    reading.EResultant = ValueOf(map.EResultant, reading.I, reading.J);
    reading.B = ValueOf(map.B, reading.I, reading.J);
    reading.BResultant = ValueOf(map.BResultant, reading.I, reading.J);
    return reading;
}

QString MapReadingText(const TMapReading& reading, std::uint8_t units) {
    const QString length = QString::fromLatin1(LengthUnit(units));
    const QString place = QStringLiteral("x %1 %3, y %2 %3")
                              .arg(CoordinateText(reading.X), CoordinateText(reading.Y), length);
    QStringList fields;
    const auto field = [&](const char* name, const std::optional<float>& major,
                           const std::optional<float>& resultant, const QString& unit) {
        fields << QStringLiteral("%1 %2 (resultant %3)")
                      .arg(QLatin1String(name), ValueText(major, unit), ValueText(resultant, unit));
    };
    if (reading.EComputed) field("E", reading.E, reading.EResultant, QStringLiteral("kV/m"));
    if (reading.BComputed) field("B", reading.B, reading.BResultant, QStringLiteral("mG"));
    return fields.isEmpty() ? place : place + QStringLiteral(": ") + fields.join(QStringLiteral(", "));
}

TFieldMapView::TFieldMapView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(240, 180);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

void TFieldMapView::ShowMap(std::shared_ptr<const TPlan> plan,
                            std::shared_ptr<const space::TFieldMap> map) {
    // The zoom stays on the same grid lines.
    const bool sameGrid = map_ && map && map_->X == map->X && map_->Y == map->Y;
    plan_ = std::move(plan);
    map_ = std::move(map);
    if (!sameGrid || map_->X.empty() || map_->Y.empty()) shown_.reset();
    Changed();
}

void TFieldMapView::SetPlaceholder(const QString& text) {
    placeholder_ = text;
    Changed();
}

void TFieldMapView::SetDrawOptions(const TMapDrawOptions& options) {
    options_ = options;
    Changed();
}

TMapDrawOptions TFieldMapView::DrawOptions() const {
    TMapDrawOptions options = options_;
    options.Shown = shown_;
    return options;
}

void TFieldMapView::ResetZoom() {
    shown_.reset();
    Changed();
}

TPlanExtent TFieldMapView::FullExtent() const {
    return {map_->X.front(), map_->X.back(), map_->Y.front(), map_->Y.back()};
}

TPlanExtent TFieldMapView::ShownExtent() const {
    return shown_.value_or(map_ ? FullExtent() : TPlanExtent{});
}

void TFieldMapView::ShowExtent(const TPlanExtent& extent) {
    if (!map_ || map_->X.size() < 2 || map_->Y.size() < 2) return;
    const TPlanExtent full = FullExtent();
    const TPlanExtent kept = KeptWithin(extent, full);
    if (kept == full)
        shown_.reset();
    else
        shown_ = kept;
    Changed();
}

void TFieldMapView::ZoomAround(QPointF at, double factor) {
    if (GridRect().isEmpty()) return;
    const QPointF p = PlanAt(at);
    const TPlanExtent e = ShownExtent();
    ShowExtent({p.x() - (p.x() - e.X0) * factor, p.x() + (e.X1 - p.x()) * factor,
                p.y() - (p.y() - e.Y0) * factor, p.y() + (e.Y1 - p.y()) * factor});
}

void TFieldMapView::Changed() {
    stale_ = true;
    update();
}

void TFieldMapView::Render() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QPixmap((QSizeF(size()) * ratio).toSize());
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(Qt::white);
    QPainter painter(&picture_);
    gridRect_ = {};
    if (plan_ && map_)
        gridRect_ = DrawFieldMap(painter, QRectF(rect()), *plan_, *map_, DrawOptions());
    else
        painter.drawText(QRectF(rect()).adjusted(12, 12, -12, -12),
                         Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
    stale_ = false;
}

QRectF TFieldMapView::GridRect() {
    if (stale_) Render();
    return gridRect_;
}

QPointF TFieldMapView::PlanAt(QPointF at) {
    const QRectF r = GridRect();
    if (r.isEmpty()) return {};
    const TPlanExtent e = ShownExtent();
    return {e.X0 + (at.x() - r.left()) / r.width() * (e.X1 - e.X0),
            e.Y0 + (r.bottom() - at.y()) / r.height() * (e.Y1 - e.Y0)};
}

QPointF TFieldMapView::ViewPointOf(double x, double y) {
    const QRectF r = GridRect();
    if (r.isEmpty()) return {};
    const TPlanExtent e = ShownExtent();
    return {r.left() + (x - e.X0) / (e.X1 - e.X0) * r.width(),
            r.bottom() - (y - e.Y0) / (e.Y1 - e.Y0) * r.height()};
}

std::optional<TMapReading> TFieldMapView::ReadingAt(QPointF at) {
    const QRectF r = GridRect();
    if (r.isEmpty() || !r.contains(at)) return std::nullopt;
    const QPointF p = PlanAt(at);
    return MapReadingNear(*map_, p.x(), p.y());
}

void TFieldMapView::paintEvent(QPaintEvent*) {
    if (stale_ || picture_.size() != (QSizeF(size()) * devicePixelRatioF()).toSize()) Render();
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void TFieldMapView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    stale_ = true;
}

void TFieldMapView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) ZoomAround(event->position(), std::pow(kWheelZoom, notches));
    event->accept();
}

void TFieldMapView::mousePressEvent(QMouseEvent* event) {
    if (GridRect().isEmpty()) return;
    if (event->button() == Qt::LeftButton) {
        bandFrom_ = event->position();
        band_->setGeometry(QRect(bandFrom_.toPoint(), QSize()));
        band_->show();
    } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void TFieldMapView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (band_->isVisible())
        band_->setGeometry(QRectF(bandFrom_, at).normalized().toRect());
    if (panning_) {
        const QRectF r = GridRect();
        const TPlanExtent e = ShownExtent();
        const double dx = -(at.x() - panFrom_.x()) / r.width() * (e.X1 - e.X0);
        const double dy = (at.y() - panFrom_.y()) / r.height() * (e.Y1 - e.Y0);
        panFrom_ = at;
        ShowExtent({e.X0 + dx, e.X1 + dx, e.Y0 + dy, e.Y1 + dy});
    }
    if (const std::optional<TMapReading> reading = ReadingAt(at))
        emit ReadingChanged(*reading);
    else
        emit ReadingLeft();
}

void TFieldMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (band_->isVisible() && event->button() == Qt::LeftButton) {
        band_->hide();
        const QRectF chosen = QRectF(bandFrom_, event->position()).normalized();
        if (chosen.width() >= kMinBand && chosen.height() >= kMinBand) {
            const QPointF a = PlanAt(chosen.bottomLeft()), b = PlanAt(chosen.topRight());
            ShowExtent({a.x(), b.x(), a.y(), b.y()});
        }
    }
    if (panning_ && event->button() != Qt::LeftButton) {
        panning_ = false;
        setCursor(Qt::CrossCursor);
    }
}

void TFieldMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) ResetZoom();
}

void TFieldMapView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit ReadingLeft();
}

} // namespace corvalt::ui
