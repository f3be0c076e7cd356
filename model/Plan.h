#pragma once
// A plan: conductors of any shape in three dimensions (straight paths and
// hanging spans) above flat ground, the grid of a field map over them and the
// areas (footprints) whose largest field the map reports. A plan keeps its
// values in its own measurement system, exactly as its model was written
// (English: lengths ft, diameters and spacings in; Metric: lengths m,
// diameters mm, spacings cm), so that a plan read from a model and written
// back gives the same model; the field map converts them. Axes: x and y in the
// ground plane, z the height above ground.

#include "model/Units.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvalt {

// The format name of a plan's model as JSON (and of nothing else).
inline constexpr const char* kMapModelFormat = "corvalt-map/1";

struct TPlanPoint {
    double X = 0, Y = 0, Z = 0; // ft or m
    bool operator==(const TPlanPoint&) const = default;
};

struct TPlanCorner {
    double X = 0, Y = 0; // ft or m
    bool operator==(const TPlanCorner&) const = default;
};

// A conductor's shape: straight pieces through its points, or a catenary
// hanging between its two points.
enum class TPlanShape : std::uint8_t { Path = 0, Span = 1 };

struct TPlanConductor {
    std::string Id;
    bool IsGround = false; // at 0 V
    bool IsAc = true;
    // AC: the line-to-line rms voltage of its circuit; DC: the pole's voltage
    // to ground, signed. 0 for a ground conductor. kV.
    double Kv = 0;
    double AngleDeg = 0; // AC: phase angle of voltage and current; 0 for DC. Degrees.
    double CurrentA = 0; // rms (DC: signed), flowing from the first point to the last. A.
    double Diameter = 0; // (sub-)conductor diameter, mm or in
    int SubConductors = 1;
    double Spacing = 0; // sub-conductor spacing of a bundle, cm or in
    TPlanShape Shape = TPlanShape::Path;
    std::vector<TPlanPoint> Points; // a path's points; a span's two ends
    double Sag = 0;                 // a span's sag at its midpoint, ft or m
    bool operator==(const TPlanConductor&) const = default;
};

// The grid points x0 + i·step ≤ x1, y0 + j·step ≤ y1 at the height.
struct TPlanGrid {
    double X0 = 0, X1 = 0, Y0 = 0, Y1 = 0;
    double Step = 1;
    double Height = 1;
    bool operator==(const TPlanGrid&) const = default;
};

struct TFootprint {
    std::string Name;
    std::vector<TPlanCorner> Corners; // a polygon, in order
    bool operator==(const TFootprint&) const = default;
};

struct TPlan {
    std::string Name;
    std::uint8_t Units = Metric; // TUnits
    std::vector<TPlanConductor> Conductors;
    TPlanGrid Grid;
    std::vector<TFootprint> Footprints;
    bool operator==(const TPlan&) const = default;
};

} // namespace corvalt
