#include "compute/SectionMap.h"

#include "compute/Compute.h"
#include "compute/Fields.h"
#include "model/InterestPoint.h"
#include "model/Parallel.h"
#include "model/Project.h"
#include "model/Scenario.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace corvalt {

namespace {

constexpr float kGaussToMilligauss = 1000.0f;
constexpr std::size_t kRowsPerBlock = 4;

// The field values of one height row, NaN where there is none.
void FillRow(std::span<float> row, std::span<const std::optional<float>> values, float scale) {
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = values[i] ? *values[i] * scale : std::numeric_limits<float>::quiet_NaN();
}

} // namespace

std::variant<std::vector<TSystemConductor>, TCalcFailure>
SolveSectionSystem(const TScenario& scenario, std::stop_token stop) {
    std::variant<std::vector<TSystemConductor>, TCalcFailure> system = ConductorSystemOf(scenario);
    if (std::vector<TSystemConductor>* conductors = std::get_if<0>(&system)) {
        if (std::optional<TCalcFailure> failure =
                SolveScenarioCharges(scenario, *conductors, stop))
            return *std::move(failure);
    }
    return system;
}

std::vector<float> GridAxis(float lo, float hi, int count, std::span<const float> extra) {
    std::vector<float> axis;
    const int n = std::max(count, 2);
    axis.reserve(static_cast<std::size_t>(n) + extra.size());
    for (int i = 0; i < n; ++i)
        axis.push_back(i == n - 1 ? hi
                                  : lo + (hi - lo) * static_cast<float>(i) /
                                             static_cast<float>(n - 1));
    for (float value : extra)
        if (value >= lo && value <= hi) axis.push_back(value);
    std::sort(axis.begin(), axis.end());
    axis.erase(std::unique(axis.begin(), axis.end()), axis.end());
    return axis;
}

TSectionGrid SectionGridOf(const TScenario& scenario, float leftM, float rightM, int points) {
    TSectionGrid grid;
    grid.LeftM = leftM;
    grid.RightM = rightM;
    float highest = 0;
    for (const TConductor* conductor : scenario.Conductors)
        highest = std::max(highest, conductor->Height);
    const float sensors = std::max(scenario.EFieldHeight, scenario.BFieldHeight);
    grid.TopM = std::max({highest * 1.2f, sensors + 1.0f, 1.0f});
    const double width = std::max(rightM - leftM, 1.0f);
    const double aspect = width / grid.TopM;
    const double columns = std::sqrt(std::max(points, 4) * aspect);
    grid.Columns = std::max(2, static_cast<int>(std::lround(columns)));
    grid.Rows = std::max(2, static_cast<int>(std::lround(std::max(points, 4) / columns)));
    grid.ExtraHeightsM = {scenario.EFieldHeight, scenario.BFieldHeight};
    grid.ExtraXM = {-scenario.RowLeft, scenario.RowRight};
    for (const TInterestPoint& point : scenario.InterestPoints)
        grid.ExtraXM.push_back(point.DistFromRowLeft);
    return grid;
}

TSectionMap ComputeSectionMap(std::span<const TSystemConductor> system, const TSectionGrid& grid,
                              std::stop_token stop) {
    TSectionMap map;
    map.X = GridAxis(grid.LeftM, grid.RightM, grid.Columns, grid.ExtraXM);
    map.Heights = GridAxis(0, grid.TopM, grid.Rows, grid.ExtraHeightsM);
    const std::size_t columns = map.X.size();
    map.E.resize(columns * map.Heights.size());
    map.B.resize(columns * map.Heights.size());
    const bool done = ForEachBlock(
        map.Heights.size(), kRowsPerBlock, stop, [&](std::size_t first, std::size_t count) {
            std::vector<std::optional<float>> values(columns);
            for (std::size_t j = first; j < first + count; ++j) {
                const std::span<float> e(map.E.data() + j * columns, columns);
                const std::span<float> b(map.B.data() + j * columns, columns);
                ElectricFieldsKvPerM(system, map.X, map.Heights[j], values);
                FillRow(e, values, 1.0f);
                MagneticFieldsGauss(system, map.X, map.Heights[j], values);
                FillRow(b, values, kGaussToMilligauss);
            }
        });
    if (!done) return {};
    return map;
}

} // namespace corvalt
