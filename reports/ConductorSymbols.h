#pragma once
// The conductor symbols of the phase configuration drawing, drawn as vector
// lines on the page canvas: a ring, thick for a conductor of a new circuit and
// thin for one of an existing circuit, around a mark of what the conductor
// carries (the phase letter A, B or C, G for a ground wire, + or - for a DC
// pole), and the point-of-interest mark (a triangle standing on the ground).

#include "plots/ConductorKind.h"

#include <QColor>
#include <QLineF>
#include <QPointF>

#include <vector>

namespace corvalt {

class TPageCanvas;

// The outer radius of a symbol, inches: labels and leaders keep outside it.
inline constexpr double kSymbolRadius = 0.05;

// The strokes of the mark inside a symbol in a square of side 2 around the
// symbol's centre (x to the right, y downwards), each a polyline.
std::vector<std::vector<QPointF>> SymbolMarkStrokes(TSymbolKind kind);

QColor SymbolColour(TSymbolKind kind);

// Draws the symbol centred at (x, y) in drawing coordinates (the canvas's
// draw origin applies); the pen is left as it was set here.
void DrawConductorSymbol(TPageCanvas& canvas, TSymbolKind kind, bool newCircuit, QPointF centre);
// A ring alone, as the legend shows new and existing circuits.
void DrawSymbolRing(TPageCanvas& canvas, bool newCircuit, const QColor& colour, QPointF centre);

// The point-of-interest mark: a triangle of the given height standing with
// its base centred on the point, its apex up (negative y).
inline constexpr double kPointMarkHeight = 0.07; // in
QColor PointMarkColour();
std::vector<QLineF> PointMarkLines(QPointF groundPoint);
void DrawPointMark(TPageCanvas& canvas, QPointF groundPoint);

} // namespace corvalt
