#pragma once
// The phase configuration drawing that ends each details section of the
// compliance report: a scaled side view of the cross section in a frame whose
// bottom edge is the ground line, with the ROW edges and their distances, the
// electric (E) and magnetic (M) sensor marks at both edges, one structure line
// per circuit and every conductor as a symbol with a leader and a label.

#include "engine/PageModel.h"
#include "labels/LabelPlacement.h"

#include <QImage>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <memory>
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

// Draws the phase configuration of cross sections on the canvas inside the
// report's page geometry (left edge, centre line; the drawing reaches to page
// width - 0.5 in). The draw origin is moved while drawing and restored to (0, 0).
//
// Labels (conductor ids and positions, the sensor marks' E and M) are placed so
// that none meets another label, a structure line, a ROW line, a sensor mark, a
// symbol or the frame; the captions under the ground line (ROW edges and
// structures, one per structure) are stacked in rows where they would meet.
class TPhaseDrawing {
  public:
    TPhaseDrawing(TPageCanvas& canvas, double left, double centreLine);

    // Breaks the page when the drawing does not fit; leaves the cursor below the
    // drawing and its captions.
    void Draw(const TScenario& scenario);

  private:
    // A caption under the ground line: a name ("ROW", "S") over a distance,
    // centred on x.
    struct TCaption {
        double X;
        QString Name, Distance;
        double FontSize;
    };
    // A point to mark with a leader and a label.
    struct TMark {
        const QImage* Symbol; // none for sensor marks
        TLeader Preferred;
        QString Label;
        double X, Y;
    };

    double MapX(double lateral) const;
    double MapY(double height) const;
    void DrawUnitsNote(const TScenario& scenario);
    void DrawRowEdges(const TScenario& scenario);
    void DrawStructures(const TScenario& scenario);
    // Prints the captions in rows; returns the lowest baseline.
    double PrintCaptions();
    std::vector<TMark> SensorMarks(const TScenario& scenario) const;
    std::vector<TMark> ConductorMarks(const TScenario& scenario) const;
    void DrawMarks(const std::vector<TMark>& marks);
    TFontSpec LabelFont() const;
    TLabelRequest RequestFor(const TMark& mark, std::size_t symbol) const;
    static QRectF SymbolBox(double x, double y, double half);
    void DrawLeader(const TLabelPlace& place);
    void PrintLabels();

    TPageCanvas& canvas_;
    double left_, centreLine_;
    double width_ = 0;   // of the frame, inches
    double halfRow_ = 0; // half the ROW width, length unit
    TDrawingScale scale_;
    std::vector<TCaption> captions_;
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
