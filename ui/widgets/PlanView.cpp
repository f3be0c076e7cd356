#include "ui/widgets/PlanView.h"

#include "plots/FieldMapDrawing.h"
#include "plots/MapScale.h"
#include "ui/app/TextConvert.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvalt::ui {

namespace {

constexpr double kReachPx = 7;      // how near the mouse must come to a handle
constexpr double kMarkPx = 3.5;     // half the side of a structure's mark
constexpr double kMarginShare = 0.06; // of the plan's extent, each side
constexpr int kLeftAxisPx = 56, kBottomAxisPx = 40, kEdgePx = 12;
const QColor kInk(30, 30, 30);
const QColor kGridColour(120, 120, 120);
const QColor kFootprintColour(110, 60, 20);

// The point rounded to a power of ten no longer than a pixel, so that a
// dragged point lands on a value as precise as the mouse can place it.
TPlanCorner Rounded(TPlanCorner at, double pxPerUnit) {
    const double unit = std::pow(10.0, std::floor(std::log10(1 / pxPerUnit)));
    // Dividing by a whole power of ten gives the double nearest the decimal.
    const auto round = [unit](double v) {
        if (unit >= 1) return std::round(v / unit) * unit;
        const double perUnit = std::round(1 / unit);
        return std::round(v * perUnit) / perUnit;
    };
    return {round(at.X), round(at.Y)};
}

QString TickText(double value, double step) {
    return QString::number(value, 'f', DecimalsForStep(step));
}

} // namespace

TPlanView::TPlanView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlanView"));
    setMinimumSize(240, 200);
    setMouseTracking(false);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

QSize TPlanView::sizeHint() const {
    return {560, 460};
}

void TPlanView::SetPlan(const TPlan& plan) {
    plan_ = plan;
    dragged_.reset();
    dragTo_.reset();
    Fit();
    update();
}

void TPlanView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Fit();
}

void TPlanView::Fit() {
    const TPlanGrid& g = plan_.Grid;
    double xLo = g.X0, xHi = g.X1, yLo = g.Y0, yHi = g.Y1;
    const auto take = [&](double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        xLo = std::min(xLo, x);
        xHi = std::max(xHi, x);
        yLo = std::min(yLo, y);
        yHi = std::max(yHi, y);
    };
    for (const TPlanConductor& c : plan_.Conductors)
        for (const TPlanPoint& p : c.Points)
            take(p.X, p.Y);
    for (const TFootprint& f : plan_.Footprints)
        for (const TPlanCorner& p : f.Corners)
            take(p.X, p.Y);
    if (!std::isfinite(xLo) || !std::isfinite(xHi) || !std::isfinite(yLo) || !std::isfinite(yHi))
        xLo = yLo = 0, xHi = yHi = 1;
    const double extent = std::max({xHi - xLo, yHi - yLo, 1e-6});
    const double margin = extent * kMarginShare;
    area_ = QRectF(kLeftAxisPx, kEdgePx, std::max(width() - kLeftAxisPx - kEdgePx, 10),
                   std::max(height() - kBottomAxisPx - kEdgePx, 10));
    const double wide = xHi - xLo + 2 * margin, high = yHi - yLo + 2 * margin;
    pxPerUnit_ = std::min(area_.width() / wide, area_.height() / high);
    // The plan in the middle of the area, the spare room shared by both sides.
    xSpan_ = area_.width() / pxPerUnit_;
    ySpan_ = area_.height() / pxPerUnit_;
    x0_ = (xLo + xHi) / 2 - xSpan_ / 2;
    y0_ = (yLo + yHi) / 2 - ySpan_ / 2;
}

QPointF TPlanView::ToWidget(double x, double y) const {
    return {area_.left() + (x - x0_) * pxPerUnit_, area_.bottom() - (y - y0_) * pxPerUnit_};
}

TPlanCorner TPlanView::ToPlan(QPointF at) const {
    return {x0_ + (at.x() - area_.left()) / pxPerUnit_,
            y0_ + (area_.bottom() - at.y()) / pxPerUnit_};
}

std::optional<TPlanHandle> TPlanView::HandleAt(QPointF at) const {
    std::optional<TPlanHandle> nearest;
    double best = kReachPx;
    const auto consider = [&](TPlanHandle handle, double x, double y) {
        const QPointF p = ToWidget(x, y);
        const double distance = std::hypot(p.x() - at.x(), p.y() - at.y());
        if (distance <= best) {
            best = distance;
            nearest = handle;
        }
    };
    for (int i = 0; i < static_cast<int>(plan_.Conductors.size()); ++i)
        for (int k = 0; k < static_cast<int>(plan_.Conductors[i].Points.size()); ++k)
            consider({TPlanHandle::ConductorPoint, i, k}, plan_.Conductors[i].Points[k].X,
                     plan_.Conductors[i].Points[k].Y);
    for (int i = 0; i < static_cast<int>(plan_.Footprints.size()); ++i)
        for (int k = 0; k < static_cast<int>(plan_.Footprints[i].Corners.size()); ++k)
            consider({TPlanHandle::FootprintCorner, i, k}, plan_.Footprints[i].Corners[k].X,
                     plan_.Footprints[i].Corners[k].Y);
    return nearest;
}

void TPlanView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawAxes(painter);
    painter.save();
    painter.setClipRect(area_);
    if (dragged_ && dragTo_) {
        TPlan moved = plan_;
        MoveHandle(moved, *dragged_, dragTo_->X, dragTo_->Y);
        DrawPlan(painter, moved);
    } else {
        DrawPlan(painter, plan_);
    }
    painter.restore();
}

void TPlanView::DrawAxes(QPainter& painter) const {
    painter.setPen(QPen(kInk, 1));
    painter.drawRect(area_);
    const QFontMetricsF metrics(painter.font());
    const QString unit = plan_.Units == English ? QStringLiteral("ft") : QStringLiteral("m");
    const int xCount = std::max(2, static_cast<int>(area_.width() / 90));
    const std::vector<double> xTicks = AxisTicks(x0_, x0_ + xSpan_, xCount);
    const double xStep = xTicks.size() > 1 ? xTicks[1] - xTicks[0] : 1;
    for (const double tick : xTicks) {
        const QPointF at = ToWidget(tick, y0_);
        painter.drawLine(at, at + QPointF(0, 4));
        const QString text = TickText(tick, xStep);
        painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(text) / 2,
                                 at.y() + 6 + metrics.ascent()),
                         text);
    }
    const int yCount = std::max(2, static_cast<int>(area_.height() / 60));
    const std::vector<double> yTicks = AxisTicks(y0_, y0_ + ySpan_, yCount);
    const double yStep = yTicks.size() > 1 ? yTicks[1] - yTicks[0] : 1;
    for (const double tick : yTicks) {
        const QPointF at = ToWidget(x0_, tick);
        painter.drawLine(at, at - QPointF(4, 0));
        const QString text = TickText(tick, yStep);
        painter.drawText(QPointF(at.x() - 6 - metrics.horizontalAdvance(text),
                                 at.y() + metrics.ascent() / 2 - 1),
                         text);
    }
    const QString xCaption = QStringLiteral("x (%1)").arg(unit);
    painter.drawText(QPointF(area_.center().x() - metrics.horizontalAdvance(xCaption) / 2,
                             height() - 4.0),
                     xCaption);
    painter.save();
    painter.translate(12, area_.center().y());
    painter.rotate(-90);
    const QString yCaption = QStringLiteral("y (%1)").arg(unit);
    painter.drawText(QPointF(-metrics.horizontalAdvance(yCaption) / 2, 0), yCaption);
    painter.restore();
}

void TPlanView::DrawPlan(QPainter& painter, const TPlan& plan) const {
    const TPlanGrid& g = plan.Grid;
    painter.setPen(QPen(kGridColour, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(ToWidget(g.X0, g.Y1), ToWidget(g.X1, g.Y0)));

    for (const TFootprint& f : plan.Footprints) {
        if (f.Corners.empty()) continue;
        QPolygonF outline;
        for (const TPlanCorner& corner : f.Corners)
            outline << ToWidget(corner.X, corner.Y);
        const QRectF bounds = outline.boundingRect();
        painter.setPen(QPen(kFootprintColour, 1.6));
        painter.setBrush(QColor(kFootprintColour.red(), kFootprintColour.green(),
                                kFootprintColour.blue(), 28));
        painter.drawPolygon(outline);
        for (const QPointF& corner : outline)
            painter.fillRect(QRectF(corner - QPointF(2.5, 2.5), QSizeF(5, 5)), kFootprintColour);
        const QString name = ToQString(f.Name);
        const QFontMetricsF metrics(painter.font());
        painter.setPen(kFootprintColour.darker(140));
        // The name above the outline: a small footprint has no room inside.
        painter.drawText(QPointF(bounds.center().x() - metrics.horizontalAdvance(name) / 2,
                                 bounds.top() - metrics.descent() - 3),
                         name);
    }

    // Ground wires after the phases, thinner: where one runs above a phase
    // both show.
    std::vector<const TPlanConductor*> order;
    for (const TPlanConductor& c : plan.Conductors)
        order.push_back(&c);
    std::stable_partition(order.begin(), order.end(),
                          [](const TPlanConductor* c) { return !c->IsGround; });
    for (const TPlanConductor* conductor : order) {
        const TPlanConductor& c = *conductor;
        QPainterPath path;
        for (std::size_t k = 0; k < c.Points.size(); ++k) {
            const QPointF at = ToWidget(c.Points[k].X, c.Points[k].Y);
            if (k == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(PlanConductorColour(c), c.IsGround ? 1.2 : 2, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    // The structures above the lines, so that every one shows.
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(Qt::white);
    for (const TPlanConductor& c : plan.Conductors)
        for (const TPlanPoint& p : c.Points)
            painter.drawRect(QRectF(ToWidget(p.X, p.Y) - QPointF(kMarkPx, kMarkPx),
                                    QSizeF(2 * kMarkPx, 2 * kMarkPx)));
}

void TPlanView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragged_ = HandleAt(event->position());
    dragTo_.reset();
    if (dragged_) setCursor(Qt::ClosedHandCursor);
}

void TPlanView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragged_) return QWidget::mouseMoveEvent(event);
    dragTo_ = Rounded(ToPlan(event->position()), pxPerUnit_);
    update();
}

void TPlanView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragged_) return QWidget::mouseReleaseEvent(event);
    const TPlanHandle handle = *dragged_;
    const std::optional<TPlanCorner> to = dragTo_;
    dragged_.reset();
    dragTo_.reset();
    unsetCursor();
    update();
    if (to) emit HandleMoved(handle, to->X, to->Y);
}

} // namespace corvalt::ui
