#pragma once
// The fields over the plane of a cross section: E and B on a grid of lateral
// positions and heights above ground, from the same charges, currents and
// field formulas as the lateral profile (the profile is the grid's row at the
// sensor height). Used by the results panel's map of a cross section and its
// height profiles (the field at a balcony or a second floor).

#include "compute/CalcErrors.h"
#include "compute/ConductorSystem.h"

#include <span>
#include <stop_token>
#include <variant>
#include <vector>

namespace corvalt {

class TScenario;

// Builds the cross section's conductor system and solves its charges, or
// gives the reason the cross section cannot be computed (as ComputeScenario
// gives it).
std::variant<std::vector<TSystemConductor>, TCalcFailure>
SolveSectionSystem(const TScenario& scenario, std::stop_token stop = {});

// E (kV/m) and B (mG), semi-major axes of the field ellipses, at every
// lateral position X for every height of Heights (metres), row after row
// (Heights[j] is row j); NaN where the point lies inside a conductor or its
// image. X and Heights ascend.
struct TSectionMap {
    std::vector<float> X, Heights;
    std::vector<float> E, B;
    float At(const std::vector<float>& values, std::size_t column, std::size_t row) const {
        return values[row * X.size() + column];
    }
};

// The grid of a cross section's map, in metres: `Columns` lateral positions
// from LeftM to RightM and `Rows` heights from the ground to TopM, each axis
// merged with its extra values (the sensor heights, so that their rows are
// the lateral profiles; the ROW edges and points of interest, so that their
// columns are exact).
struct TSectionGrid {
    float LeftM = 0, RightM = 0, TopM = 0;
    int Columns = 0, Rows = 0;
    std::vector<float> ExtraXM, ExtraHeightsM;
};

// The grid of the cross section's map across [leftM, rightM]: from the
// ground to a fifth above the highest conductor (and at least 1 m above the
// sensor heights), about `points` grid points in cells about as wide as high,
// with the sensor heights, the ROW edges and the points of interest as extras.
TSectionGrid SectionGridOf(const TScenario& scenario, float leftM, float rightM, int points);

// The fields of a solved system over the grid. Empty when stop was requested.
TSectionMap ComputeSectionMap(std::span<const TSystemConductor> system, const TSectionGrid& grid,
                              std::stop_token stop = {});

// The positions of a grid axis: count values from lo to hi, evenly spaced,
// merged with the extra values that lie within, ascending, without repeats.
std::vector<float> GridAxis(float lo, float hi, int count, std::span<const float> extra = {});

} // namespace corvalt
