#pragma once
// The cross-section drawing of the results view: a side view of the cross
// section to scale (equal scale across and up) with the ground line, the ROW
// edges, the sensor heights, the points of interest, one structure per circuit
// and every conductor as its circle coloured by its phase (DC poles signed),
// a legend of the kinds drawn, with axes in the project's length unit. Plain QPainter, so
// that a widget, an image or a PDF can show it; hit testing is a pure function of the same
// geometry, so a click can be tested without a window.

#include "model/ConductorRef.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <span>
#include <vector>

class QPainter;

namespace corvalt {

class TConductor;
class TScenario;

// Conductors thinner than this on screen are drawn with this radius (px), so
// that a single conductor of 2 cm on a drawing of a 60 m right of way (a
// fraction of a pixel to scale) can still be seen and clicked.
inline constexpr double kMinConductorRadiusPx = 3;
// How far from a conductor's drawn circle a click still selects it, px.
inline constexpr double kConductorHitTolerancePx = 4;

// Metres of the cross section (x across, from the reference line the ROW
// edges and circuits are measured from; y up from the ground) to pixels (y
// down), with one scale for both directions.
class TDrawingTransform {
  public:
    TDrawingTransform() = default;
    // groundOriginPx: the pixel of the point x = 0 m on the ground.
    TDrawingTransform(double pixelsPerMetre, QPointF groundOriginPx);

    // The transform that shows the box xFrom..xTo by yFrom..yTo (m) as large as
    // it fits into the pixel rectangle, centred across and with yFrom on the
    // rectangle's bottom edge. An empty or inverted box
    // side sets no limit; a box without extent maps to 1 px per metre.
    static TDrawingTransform Fit(double xFromM, double xToM, double yFromM, double yToM,
                                 const QRectF& pixels);

    QPointF ToPixels(double xM, double yM) const;
    QPointF ToMetres(QPointF pixel) const;
    double PixelsPerMetre() const { return scale_; }

  private:
    double scale_ = 1;
    QPointF origin_;
};

// A conductor as the drawing shows it, m.
struct TDrawnConductor {
    TConductorRef Ref;
    double XM = 0, YM = 0;
    double RadiusM = 0; // a bundle's outer circle, a single conductor's radius
    bool Ground = false;
};

// The name a conductor is drawn with: its id, after "+" or "\u2212" for a DC pole.
QString ConductorLabelOf(const TConductor& conductor);

// Every conductor of the cross section in circuit and conductor order.
std::vector<TDrawnConductor> DrawnConductorsOf(const TScenario& scenario);

// The radius a conductor is drawn with, px: to scale, at least kMinConductorRadiusPx.
double DrawnRadiusPx(const TDrawnConductor& conductor, const TDrawingTransform& transform);

// The conductor under a pixel: the one whose drawn circle lies nearest to the
// pixel, when that is at most tolerancePx away (inside the circle counts as
// 0). Invalid when none is that near.
TConductorRef HitTestConductor(std::span<const TDrawnConductor> conductors,
                               const TDrawingTransform& transform, QPointF pixel,
                               double tolerancePx = kConductorHitTolerancePx);

// A step of 1, 2 or 5 times a power of ten that divides a span into about
// `count` parts (0 for a span that is not positive and finite).
double NiceStep(double span, int count);

// Draws one cross section into a pixel rectangle. Keeps a reference to the
// cross section: it must outlive the renderer.
class TCrossSectionRenderer {
  public:
    explicit TCrossSectionRenderer(const TScenario& scenario);

    // The conductor drawn highlighted; invalid for none.
    void SetHighlighted(TConductorRef ref) { highlighted_ = ref; }
    TConductorRef Highlighted() const { return highlighted_; }

    // The plot area of a rectangle (inside the axes' margins) and the
    // transform that fits the cross section into it.
    static QRectF PlotArea(const QRectF& rect);
    TDrawingTransform TransformFor(const QRectF& rect) const;

    void Paint(QPainter& painter, const QRectF& rect) const;

    // The conductor drawn under a pixel of a drawing painted into rect.
    TConductorRef HitTest(const QRectF& rect, QPointF pixel,
                          double tolerancePx = kConductorHitTolerancePx) const;

  private:
    struct TBox {
        double XFrom, XTo, YFrom, YTo; // m
    };
    TBox ExtentM() const;
    void PaintGround(QPainter& painter, const QRectF& area, const TDrawingTransform& t) const;
    void PaintRowEdges(QPainter& painter, const QRectF& area, const TDrawingTransform& t) const;
    void PaintSensorHeights(QPainter& painter, const QRectF& area,
                            const TDrawingTransform& t) const;
    void PaintStructures(QPainter& painter, const TDrawingTransform& t) const;
    void PaintConductors(QPainter& painter, const TDrawingTransform& t) const;
    static void DrawConductorLabel(QPainter& painter, const QString& text, QPointF centre,
                                   double radius, std::vector<QRectF>& placed);
    void PaintInterestPoints(QPainter& painter, const QRectF& area,
                             const TDrawingTransform& t) const;
    void PaintAxes(QPainter& painter, const QRectF& area, const TDrawingTransform& t) const;
    void PaintLegend(QPainter& painter, const QRectF& rect, const QRectF& area) const;

    const TScenario& scenario_;
    std::vector<TDrawnConductor> conductors_;
    TConductorRef highlighted_;
};

} // namespace corvalt
