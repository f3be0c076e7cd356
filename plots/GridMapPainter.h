#pragma once
// The colour map of a field over a grid, on any QPainter rectangle, whatever
// plane the grid lies in (a plan seen from above, a cross section's plane):
// the filled bands of the colour scale, iso-lines labelled with their values,
// axes, the scale's legend with the iso-lines' levels and a key of what the
// overlays draw, and the largest value marked. The maps add what lies in
// their plane (conductors, footprints, sensor heights) through the overlay.

#include "plots/MapContours.h"
#include "plots/MapLevels.h"
#include "plots/MapScale.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace corvalt {

// A line of the key under the legend: a stroke of the colour and width.
struct TMapKeyEntry {
    QColor Colour;
    double Width = 2;
    QString Text;
};

struct TGridMap {
    std::span<const float> X, Y;   // the grid lines, ascending
    std::span<const float> Values; // X.size() × Y.size(), row after row; NaN where none
    QString Title;                 // the line above the map
    QString Heading;               // the legend's, e.g. "E (kV/m)"
    QString Unit;                  // of the values, e.g. "kV/m"
    QString XCaption, YCaption;    // the axes', with their units
    QString NoValues;              // said instead of the map when there is nothing to show
    bool EqualScales = true;       // one length unit is as long on both axes
    bool LogScale = false;
    std::optional<double> Top;     // the scale's top (the largest value); none: nothing to show
    std::optional<TPlanXY> PeakAt; // where the largest value lies, marked "max ..."
    std::vector<TMapLevel> Levels; // the iso-lines
    std::vector<TMapKeyEntry> Key;
    // The part of the plane shown; none: the whole grid. The colour scale
    // stays the whole grid's.
    std::optional<TPlanExtent> Shown;
};

class TGridMapPainter {
  public:
    TGridMapPainter(QPainter& painter, const QRectF& rect, const TGridMap& map);

    // Draws the map; overlay draws, clipped to the grid's rectangle, what
    // lies in the plane. Returns where the grid's rectangle went (empty when
    // there is nothing to show).
    QRectF Draw(const std::function<void(TGridMapPainter&)>& overlay = {});

    QPainter& Painter() { return p_; }
    double FontSize() const { return font_; }
    const QRectF& GridRect() const { return gridRect_; }
    QPointF ToScreen(double x, double y) const;
    // A stroke with a white halo, readable on any band.
    void StrokeWithHalo(const QPainterPath& path, const QColor& colour, double width,
                        Qt::PenStyle style = Qt::SolidLine);
    // Text on a white box centred at the point.
    void Label(QPointF at, const QString& text, double width);
    // A box the overlay drew text in: the iso-lines' labels keep clear of it.
    void KeepClear(const QRectF& box) { labels_.push_back(box); }
    // The boxes of every label drawn so far (and the peak's, kept free from
    // the start), in the order they were placed.
    const std::vector<QRectF>& LabelBoxes() const { return labels_; }

  private:
    TMapScale ScaleOfValues() const;
    void DrawTitle();
    void Layout();
    QString TickLabel(double tick) const;
    double ValueAt(std::size_t i, double fx, std::size_t j, double fy) const;
    void DrawFill();
    // An iso-line's label, placed once everything else's labels are.
    struct TLineLabel {
        QPainterPath Path;
        QString Text;
        double Width = 0;
    };
    std::vector<TLineLabel> DrawIsoLines();
    void LabelAlong(const QPainterPath& path, const QString& text, double width);
    QRectF LabelBox(QPointF at, double width) const;
    bool IsFree(const QRectF& box) const; // on the grid, clear of every label
    void DrawLabelBox(const QRectF& box, const QString& text);
    QString PeakText() const;
    double PeakMarkRadius() const;
    std::optional<QRectF> PeakLabelBox() const;
    void DrawPeak(const std::optional<QRectF>& label);
    void DrawAxes();
    void DrawLegend();
    void DrawKey(QPointF at);
    double X0() const { return map_.Shown ? map_.Shown->X0 : map_.X.front(); }
    double Y0() const { return map_.Shown ? map_.Shown->Y0 : map_.Y.front(); }
    double Width() const;
    double Height() const;

    QPainter& p_;
    QRectF rect_;
    const TGridMap& map_;
    double font_ = 12;
    TMapScale scale_;
    double legendWidth_ = 0;
    double pxPerX_ = 1, pxPerY_ = 1;
    QRectF gridRect_;
    std::vector<QRectF> labels_;
};

// The colours of the phases and ground wires in a plan's map.
QColor MapPhaseColour(int phase);
QColor MapGroundWireColour();

// "12.5", "1.25", "125": a value with the decimals its size needs.
QString MapValueText(double value);

} // namespace corvalt
