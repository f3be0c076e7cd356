#pragma once
// TFieldMapView: a plan's field map drawn as its colour map (plots/
// FieldMapDrawing.h) that the mouse zooms and pans as the profile plot does:
// a drag with the left button zooms to the rectangle, the wheel zooms in and
// out around the mouse, a drag with the right or the middle button pans, and
// ResetZoom (or a double-click) shows the whole grid again. Under the mouse
// it reads the values of the nearest grid point, exactly as the map holds
// them (no interpolation between grid points).

#include "plots/FieldMapDrawing.h"

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

class QRubberBand;

namespace corvalt::ui {

// The values of one grid point of a map: the ellipses' semi-major axes and
// the resultants, each empty where the map has none.
struct TMapReading {
    std::size_t I = 0, J = 0; // the grid point's column (X[I]) and row (Y[J])
    float X = 0, Y = 0;       // its place, in the plan's length unit
    bool EComputed = false, BComputed = false; // the map holds the field
    std::optional<float> E, EResultant; // kV/m
    std::optional<float> B, BResultant; // mG
};

// The grid point nearest to (x, y), in the plan's length unit; empty for a
// place beyond the grid (more than half a step past its edge) or an empty map.
std::optional<TMapReading> MapReadingNear(const space::TFieldMap& map, double x, double y);

// "x 12.0 m, y -3.0 m: E 3.21 kV/m (resultant 2.95 kV/m), B 45.6 mG
// (resultant 40.1 mG)"; "no value" for a value the map lacks (a point inside
// a conductor), and a field the map does not hold left out.
QString MapReadingText(const TMapReading& reading, std::uint8_t units);

class TFieldMapView : public QWidget {
    Q_OBJECT
  public:
    explicit TFieldMapView(QWidget* parent = nullptr);

    // The map to show and the plan it is of (null map: placeholder text in its
    // place). The zoom stays while the grid's lines do.
    void ShowMap(std::shared_ptr<const TPlan> plan, std::shared_ptr<const space::TFieldMap> map);
    // What is shown in place of a map.
    void SetPlaceholder(const QString& text);
    // Quantity, scale and iso-lines (the part shown is the view's own).
    void SetDrawOptions(const TMapDrawOptions& options);
    // The options the map is drawn with, the part shown among them.
    TMapDrawOptions DrawOptions() const;

    void ResetZoom();
    // Zooms around a point of the view by the factor (below 1 zooms in).
    void ZoomAround(QPointF at, double factor);
    // Shows the part of the plan, kept within the grid.
    void ShowExtent(const TPlanExtent& extent);
    const std::optional<TPlanExtent>& Shown() const { return shown_; }

    // Where the grid's rectangle lies in the view (empty without a map), and
    // the place of the plan at a point of the view and back.
    QRectF GridRect();
    QPointF PlanAt(QPointF at);
    QPointF ViewPointOf(double x, double y);
    // The reading at a point of the view; empty outside the grid's rectangle.
    std::optional<TMapReading> ReadingAt(QPointF at);

  signals:
    // The mouse moved over the map, to a grid point; it left the map.
    void ReadingChanged(const corvalt::ui::TMapReading& reading);
    void ReadingLeft();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    // The whole grid's extent.
    TPlanExtent FullExtent() const;
    TPlanExtent ShownExtent() const;
    // Draws the map into the cached picture when something changed.
    void Render();
    void Changed();

    std::shared_ptr<const TPlan> plan_;
    std::shared_ptr<const space::TFieldMap> map_;
    TMapDrawOptions options_;
    std::optional<TPlanExtent> shown_;
    QString placeholder_;
    QPixmap picture_;
    bool stale_ = true;
    QRectF gridRect_;
    QRubberBand* band_ = nullptr;
    QPointF bandFrom_;
    bool panning_ = false;
    QPointF panFrom_;
};

} // namespace corvalt::ui
