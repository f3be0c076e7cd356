#pragma once
// The colour map of E or B over a cross section's plane (lateral distance ×
// height above ground), on any QPainter rectangle: the filled bands and
// iso-lines of the grid map, the conductors marked by what they carry, the
// ROW edges and the sensor heights dashed, and the line of a height profile.

#include "compute/SectionMap.h"
#include "plots/MapLevels.h"

#include <QRectF>

#include <optional>
#include <vector>

class QPainter;

namespace corvalt {

class TScenario;

struct TSectionMapOptions {
    TMapQuantity Quantity = TMapQuantity::Electric;
    // Near the conductors the fields are tens of times those at the ground:
    // a logarithmic scale keeps both readable.
    bool LogScale = true;
    std::vector<TMapLevel> Levels; // the iso-lines, kV/m or mG
    std::optional<float> ProbeXM;  // where a height profile was taken, m
};

// Draws the map of the cross section (the scenario gives the conductors,
// edges, sensor heights, units and title) and returns where the grid's
// rectangle went (lateral distance and height in display units from its
// left and bottom edges); empty when the map has no value to show.
QRectF DrawSectionMap(QPainter& painter, const QRectF& rect, const TScenario& scenario,
                      const TSectionMap& map, const TSectionMapOptions& options);

// The largest value of a map's quantity; none when it has no value.
std::optional<float> LargestValue(const std::vector<float>& values);

} // namespace corvalt
