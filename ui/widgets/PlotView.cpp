#include "ui/widgets/PlotView.h"

#include "plots/ProfileChart.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace corvalt::ui {

TPlotView::TPlotView(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
}

void TPlotView::ShowPlot(const TPlotData& plot, bool keepZoom) {
    if (chart_ != nullptr) {
        chart_->SetData(plot, keepZoom);
        return;
    }
    QChart* before = QChartView::chart();
    chart_ = new TProfileChart(plot);
    chart_->SetCompact(height() < kCompactHeight);
    setChart(chart_);
    // QChartView keeps a default chart of its own until the first setChart.
    if (before != nullptr && before != chart_) delete before;
    // The chart asks for room for its title, legend and axes; in a small
    // window the plot area shrinks rather than the grids beside or above.
    setMinimumSize(kMinimumPlotSize);
    chart_->PlaceLabels();
}

void TPlotView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    if (chart_ != nullptr) chart_->SetCompact(height() < kCompactHeight);
}

void TPlotView::ResetZoom() {
    if (chart_ != nullptr) chart_->ResetZoom();
}

void TPlotView::ZoomAround(const QPointF& viewPoint, double factor) {
    if (chart_ == nullptr || !(factor > 0)) return;
    const QRectF area = chart_->plotArea();
    const QPointF at = chart_->mapFromScene(mapToScene(viewPoint.toPoint()));
    if (!area.contains(at)) return;
    // The point under the mouse stays where it is.
    QRectF rect(at.x() - (at.x() - area.left()) * factor, at.y() - (at.y() - area.top()) * factor,
                area.width() * factor, area.height() * factor);
    chart_->zoomIn(rect);
}

void TPlotView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    ZoomAround(event->position(), steps > 0 ? 0.8 : 1.25);
    event->accept();
}

void TPlotView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TPlotView::mouseMoveEvent(QMouseEvent* event) {
    if (panning_ && chart_ != nullptr) {
        const QPointF step = event->position() - panFrom_;
        chart_->scroll(-step.x(), step.y());
        panFrom_ = event->position();
    }
    if (chart_ != nullptr) {
        const QPointF at = chart_->mapFromScene(mapToScene(event->position().toPoint()));
        if (chart_->plotArea().contains(at))
            emit CursorMoved(chart_->LateralAt(at));
        else
            emit CursorLeft();
    }
    QChartView::mouseMoveEvent(event);
}

void TPlotView::mouseReleaseEvent(QMouseEvent* event) {
    if (panning_ && (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton)) {
        panning_ = false;
        unsetCursor();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void TPlotView::mouseDoubleClickEvent(QMouseEvent* event) {
    ResetZoom();
    event->accept();
}

void TPlotView::leaveEvent(QEvent* event) {
    emit CursorLeft();
    QChartView::leaveEvent(event);
}

} // namespace corvalt::ui
