#pragma once
// The phase configuration drawing that ends each details section of the
// compliance report: a scaled side view of the cross section in a frame whose
// bottom edge is the ground line, with the ROW edges and their distances, the
// electric (E) and magnetic (M) sensor marks at both edges, one structure line
// per circuit, every conductor as a symbol with a leader and a label, the
// points of interest as marks on the ground with their names, and a legend of
// the symbols under the drawing.

#include "engine/PageModel.h"
#include "labels/LabelPlacement.h"
#include "reports/ConductorSymbols.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace corvalt {

class TPageCanvas;
class TScenario;

// What the scale of the drawing is worked out from, in the project's length
// unit: the ROW edges' distances and the cross section's derived extents.
struct TDrawingExtents {
    double RowLeft = 0, RowRight = 0;
    double RightExtent = 0, LeftExtent = 0; // RightExtent(), LeftExtent()
    double MaxHeight = 0, MaxDepth = 0;     // MaxHeight(), MaxDepth()
};
TDrawingExtents DrawingExtentsOf(const TScenario& scenario);

// How dense the labels are drawn: 0 labels with id and position, 1 and 2 ids
// in smaller fonts, 3 ids only, without symbols, and printed at their points
// without leaders unless a point is too crowded for its label.
int LabelDensity(double scale);

// The scale and placement of a drawing `width` wide with `height` inches for
// its vertical extent.
struct TDrawingScale {
    double Scale = 0;       // inches per length unit; 0 when nothing has an extent
    double Centre = 0;      // lateral value (shifted by half the ROW width) drawn mid-frame
    double FrameHeight = 0; // inches, ground line at the frame's bottom
    int Density = 0;        // LabelDensity(Scale)
};
TDrawingScale ScaleDrawing(const TDrawingExtents& extents, double width, double height);

// The pieces (from, to) of the vertical line at x from y1 to y2 (y1 < y2) that
// lie outside every circle of the radius around the centres: a line passes
// behind a symbol rather than through its mark.
std::vector<std::pair<double, double>> PiecesOutsideCircles(double x, double y1, double y2,
                                                            const std::vector<QPointF>& centres,
                                                            double radius);

// Draws the phase configuration of cross sections on the canvas inside the
// report's page geometry (left edge, centre line; the drawing reaches to page
// width - 0.5 in). The draw origin is moved while drawing and restored to (0, 0).
//
// Labels (conductor ids and positions, the sensor marks' E and M, the names of
// the points of interest) are placed inside the frame so that none meets
// another label, a structure line, a ROW line, a sensor mark, a symbol or the
// frame; each keeps 0.03 in from its leader. The captions under the ground
// line (ROW edges and structures, one per structure) are stacked in rows where
// they would meet; the legend follows them.
class TPhaseDrawing {
  public:
    TPhaseDrawing(TPageCanvas& canvas, double left, double centreLine);

    // Breaks the page when the drawing does not fit; leaves the cursor below the
    // drawing, its captions and its legend.
    void Draw(const TScenario& scenario);

  private:
    // A caption under the ground line: a name ("ROW", "S") over a distance,
    // centred on x.
    struct TCaption {
        double X;
        QString Name, Distance;
        double FontSize;
    };
    // A point to mark with a leader and a label: a conductor (with its symbol
    // when symbols are drawn), a sensor or a point of interest.
    struct TMark {
        enum TKind { Sensor, Conductor, Point };
        TKind Kind;
        std::optional<TSymbolKind> Symbol;
        bool NewCircuit;
        TLeader Preferred;
        QString Label;
        QString Suffix; // printed after the label, never cut (a conductor's position)
        double X, Y;
    };
    // One entry of the legend: its symbols, drawn left to right, and its text.
    struct TLegendEntry {
        enum TSample { Symbol, NewRing, ExistingRing, PointMark };
        TSample Sample;
        std::vector<TSymbolKind> Symbols;
        QString Text;
    };

    double MapX(double lateral) const;
    double MapY(double height) const;
    double SizeFor(const TScenario& scenario, double available);
    void CollectCaptions(const TScenario& scenario);
    std::vector<int> CaptionRowsOf() const;
    double CaptionsHeight() const;
    void DrawUnitsNote(const TScenario& scenario);
    void DrawVerticalLine(double x, double y1, double y2);
    void DrawRowEdges(const TScenario& scenario);
    void DrawStructures(const TScenario& scenario);
    // Prints the captions in rows; returns the lowest point of their words.
    double PrintCaptions();
    std::vector<TMark> SensorMarks(const TScenario& scenario) const;
    std::vector<TMark> ConductorMarks(const TScenario& scenario) const;
    std::vector<TMark> PointMarks(const TScenario& scenario) const;
    bool SymbolsDrawn() const;
    void DrawMarks(const std::vector<TMark>& marks);
    TFontSpec LabelFont() const;
    QString FittedLabel(const TMark& mark) const;
    TLabelRequest RequestFor(const TMark& mark, std::size_t symbol) const;
    void DrawLeader(const TLabelPlace& place, bool fromSymbol);
    void PrintLabels();
    std::vector<TLegendEntry> LegendEntries(const TScenario& scenario) const;
    // The lines the legend takes: the entries of each, in order.
    std::vector<std::vector<std::size_t>> LegendLines() const;
    double LegendEntryWidth(const TLegendEntry& entry) const;
    double LegendHeight() const;
    // Prints the legend with its first line's top at y; returns its bottom.
    double PrintLegend(double top);

    TPageCanvas& canvas_;
    double left_, centreLine_;
    double width_ = 0;   // of the frame, inches
    double halfRow_ = 0; // half the ROW width, length unit
    TDrawingScale scale_;
    std::vector<TCaption> captions_;
    std::vector<TLegendEntry> legend_;
    std::vector<QPointF> symbolCentres_; // of the symbols drawn, drawing inches
    std::unique_ptr<TLabelLayout> layout_;
    // Labels are printed last, over every symbol and line.
    struct TLabel {
        QString Text;
        QPointF Baseline;
        TFontSpec Font;
    };
    std::vector<TLabel> labels_;
};

} // namespace corvalt
