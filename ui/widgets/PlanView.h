#pragma once
// TPlanView: a plan seen from above, to scale (one unit as long on both
// axes), with axes in the plan's units: conductors as lines in their phase
// colours, structures (the points of paths, the ends of spans) as marks,
// footprints outlined with their names, the grid's rectangle dashed. A
// structure or a footprint corner can be dragged; the view shows the move
// while the mouse is down and reports it once, when the button is let go.

#include "model/Plan.h"
#include "ui/widgets/PlanEdits.h"

#include <QWidget>

#include <optional>

namespace corvalt::ui {

class TPlanView : public QWidget {
    Q_OBJECT
  public:
    explicit TPlanView(QWidget* parent = nullptr);

    void SetPlan(const TPlan& plan);
    const TPlan& Plan() const { return plan_; }

    // Where a plan point lies in the widget, and the plan point under a
    // widget position (for the drag and its tests).
    QPointF ToWidget(double x, double y) const;
    TPlanCorner ToPlan(QPointF at) const;
    // The handle within reach of the position, the nearest one; nothing when
    // none is.
    std::optional<TPlanHandle> HandleAt(QPointF at) const;

    QSize sizeHint() const override;

  signals:
    // A handle was dragged to x,y (plan units).
    void HandleMoved(const corvalt::ui::TPlanHandle& handle, double x, double y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // The plan's extent with a margin, and the scale that fits it in the widget.
    void Fit();
    void DrawAxes(QPainter& painter) const;
    void DrawPlan(QPainter& painter, const TPlan& plan) const;

    TPlan plan_;
    std::optional<TPlanHandle> dragged_;
    std::optional<TPlanCorner> dragTo_;
    QRectF area_;           // the widget's drawing area (inside the axes)
    double x0_ = 0, y0_ = 0; // the plan point at the area's bottom left
    double pxPerUnit_ = 1;
    double xSpan_ = 1, ySpan_ = 1; // the plan units the area shows
};

} // namespace corvalt::ui
