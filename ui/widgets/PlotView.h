#pragma once
// TPlotView: a chart view for a profile chart (plots/ProfileChart.h) that the
// mouse zooms and pans: a drag with the left button zooms to the rectangle,
// the wheel zooms in and out around the mouse, a drag with the right or the
// middle button pans, and ResetZoom (or a double-click) shows the whole
// profile again. It reports the lateral position under the mouse for the
// cursor read-out.

#include <QChartView>

namespace corvalt {
class TProfileChart;
struct TPlotData;
} // namespace corvalt

namespace corvalt::ui {

class TPlotView : public QChartView {
    Q_OBJECT
  public:
    static constexpr QSize kMinimumPlotSize{160, 100};
    // Lower than this, the chart leaves out its title and shortens its axis titles.
    static constexpr int kCompactHeight = 360;

    explicit TPlotView(QWidget* parent = nullptr);

    // Shows the plot: the first in a chart of its own, later ones in the same
    // chart, its series updated in place. With keepZoom, a zoom or pan of the
    // user's stays, so that an edit shows its effect where the user was looking.
    void ShowPlot(const TPlotData& plot, bool keepZoom = false);
    TProfileChart* Chart() const { return chart_; }
    void ResetZoom();
    // Zooms around a point of the view by the factor (below 1 zooms in).
    void ZoomAround(const QPointF& viewPoint, double factor);

  signals:
    // The lateral position (display unit) under the mouse; the mouse left the plot.
    void CursorMoved(double lateral);
    void CursorLeft();

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    TProfileChart* chart_ = nullptr;
    bool panning_ = false;
    QPointF panFrom_;
};

} // namespace corvalt::ui
