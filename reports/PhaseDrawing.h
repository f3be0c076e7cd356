#pragma once
// The phase configuration drawing that ends each details section of the
// compliance report: a scaled side view of the cross section in a frame whose
// bottom edge is the ground line, with the ROW edges and their distances, the
// electric (E) and magnetic (M) sensor marks at both edges, one structure line
// per circuit and every conductor as a symbol with a leader and a label.

#include "engine/PageModel.h"

#include <QImage>
#include <QRectF>
#include <QString>

#include <cstddef>
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
// in smaller fonts, 3 ids only, without symbols or leaders.
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
class TPhaseDrawing {
  public:
    TPhaseDrawing(TPageCanvas& canvas, double left, double centreLine);

    // Breaks the page when the drawing does not fit; leaves the cursor below the
    // drawing.
    void Draw(const TScenario& scenario);

    // Leaders from a mark to its label: the direction of the leader's first
    // stroke (up is negative y).
    enum class TLeader { None, Left, Right, LeftUp, LeftDown, RightUp, RightDown };

  private:
    double MapX(double lateral) const;
    double MapY(double height) const;
    void DrawUnitsNote(const TScenario& scenario);
    void DrawRowEdges(const TScenario& scenario);
    void DrawCircuits(const TScenario& scenario);
    // A label, where it is printed (baseline start) and the box it covers, in
    // drawing coordinates.
    struct TLabel {
        QString Text;
        double X = 0, Y = 0;
        TFontSpec Font;
        QRectF Box;
    };
    // A conductor to mark: its symbol, the leader its side of the circuit asks
    // for, its label and its place in the drawing.
    struct TMark {
        const QImage* Symbol;
        TLeader Preferred;
        QString Label;
        double X, Y;
    };

    // Draws the symbol and the leader; the label is printed by PrintLabels.
    void MarkWithLeader(const QImage* symbol, TLeader leader, const QString& label, double x,
                        double y);
    TLeader ChooseLeader(const std::vector<TMark>& marks, std::size_t index) const;
    TLabel LabelFor(TLeader leader, const QString& text, double x, double y) const;
    static QRectF SymbolBox(double x, double y, double half);
    void PrintLabels();

    TPageCanvas& canvas_;
    double left_, centreLine_;
    double width_ = 0;   // of the frame, inches
    double halfRow_ = 0; // half the ROW width, length unit
    TDrawingScale scale_;
    std::vector<TLabel> labels_;
};

} // namespace corvalt
