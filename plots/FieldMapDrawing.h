#pragma once
// The colour map of a field map on any QPainter rectangle (a window, a
// picture file, a report page): the filled map of E or B over the grid with
// its legend and units, iso-lines at chosen levels (by default the field
// limits that apply) labelled with their values, the conductors in plan
// (phases in their colours, ground wires grey), the footprints outlined with
// their largest value written inside, the axes in the plan's units and the
// largest value marked. The numbers behind it (iso-lines, colour scale,
// levels) are Qt-free: MapContours.h, MapScale.h, MapLevels.h.

#include "plots/MapContours.h"
#include "plots/MapLevels.h"

#include "model/Plan.h"
#include "space/FieldMap.h"

#include <QColor>
#include <QRectF>

#include <optional>
#include <vector>

class QPainter;

namespace corvalt {

struct TMapDrawOptions {
    TMapQuantity Quantity = TMapQuantity::Electric;
    bool LogScale = false;
    // The iso-lines; empty: the default levels of the plan (DefaultMapLevels
    // with the table's default limits).
    std::optional<std::vector<TMapLevel>> Levels;
    // The part of the plan shown, in its length unit; none: the whole grid.
    std::optional<TPlanExtent> Shown;
};

// Draws the map of the quantity into the rectangle and returns where the
// grid's rectangle went (x0 at its left, y0 at its bottom, equal scales; the
// shown part's when one is given), for reading a place under the mouse. A quantity that was not computed, or a map
// without any value, is drawn as a line that says so, and the rectangle is
// empty.
// A conductor's colour in plan: its phase's (a DC pole: + as phase A, − as
// phase C), ground wires grey.
QColor PlanConductorColour(const TPlanConductor& conductor);

QRectF DrawFieldMap(QPainter& painter, const QRectF& rect, const TPlan& plan,
                  const space::TFieldMap& map, const TMapDrawOptions& options);

} // namespace corvalt
