// The fields over a cross section's plane: a hand-worked single conductor at
// several heights, and the rows at the sensor heights against the profile.
#include "LineBuilder.h"
#include "compute/Compute.h"
#include "compute/Profile.h"
#include "compute/SectionMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace corvalt {
namespace {

using testing::AddCircuit;
using testing::AddConductors;
using testing::AddScenario;
using testing::TCond;

std::size_t IndexOf(const std::vector<float>& axis, float value) {
    const auto at = std::find(axis.begin(), axis.end(), value);
    EXPECT_NE(at, axis.end()) << value << " is not a grid line";
    return static_cast<std::size_t>(at - axis.begin());
}

// One conductor of radius r at height H, 100 kV between phases (57.735 kV to
// ground), 1000 A. Below it at height h its charge and image give
//   E = (V ÷ ln(2H ÷ r)) (1 ÷ (H − h) + 1 ÷ (H + h))   kV/m
// and its current B = 2 I ÷ (H − h) mG (μ0 I ÷ 2π d, no earth return).
TEST(SectionMap, OneConductorMatchesTheHandWorkedFieldAtEveryHeight) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = scenario.RowRight = 20;
    AddConductors(AddCircuit(scenario),
                  {TCond{.X = 0, .Y = 10, .DiameterMm = 25.4f, .VoltageKv = 100, .CurrentA = 1000}});
    auto solved = SolveSectionSystem(scenario);
    ASSERT_TRUE(std::holds_alternative<std::vector<TSystemConductor>>(solved));
    TSectionGrid grid{.LeftM = -20, .RightM = 20, .TopM = 12, .Columns = 5, .Rows = 7,
                      .ExtraXM = {}, .ExtraHeightsM = {1.5f, 10}};
    const TSectionMap map = ComputeSectionMap(std::get<0>(solved), grid);
    ASSERT_EQ(map.X.size(), 5u); // -20, -10, 0, 10, 20
    ASSERT_EQ(map.Heights.size(), 8u); // 0, 2, ..., 12 and 1.5; 10 is one of them already
    const double v = 100 / std::sqrt(3.0), H = 10, r = 0.0127;
    const std::size_t below = IndexOf(map.X, 0);
    for (const float h : {0.0f, 1.5f, 4.0f, 8.0f}) {
        const std::size_t row = IndexOf(map.Heights, h);
        const double e = v / std::log(2 * H / r) * (1 / (H - h) + 1 / (H + h));
        EXPECT_NEAR(map.At(map.E, below, row), e, 1e-4 * e) << "E at " << h << " m";
        const double b = 2 * 1000 / (H - h);
        EXPECT_NEAR(map.At(map.B, below, row), b, 1e-4 * b) << "B at " << h << " m";
    }
    // At the conductor's centre the line-charge field does not hold.
    EXPECT_TRUE(std::isnan(map.At(map.E, below, IndexOf(map.Heights, 10))));
    EXPECT_TRUE(std::isnan(map.At(map.B, below, IndexOf(map.Heights, 10))));
}

// With the profile's positions among the grid lines, the rows at the sensor
// heights are the profile, value for value.
TEST(SectionMap, SensorHeightRowsAreTheLateralProfile) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = scenario.RowRight = 30;
    scenario.EFieldHeight = 1;
    scenario.BFieldHeight = 1.5f;
    AddConductors(AddCircuit(scenario), testing::Circuit230kV());
    ASSERT_TRUE(ComputeScenario(scenario));
    const int units = project.Units;
    std::vector<float> positions;
    for (const TCalcResult& record : scenario.Results)
        positions.push_back(RecordPositionM(record, units));
    const auto [left, right] = std::minmax_element(positions.begin(), positions.end());
    TSectionGrid grid = SectionGridOf(scenario, *left, *right, 400);
    grid.ExtraXM = positions;
    auto solved = SolveSectionSystem(scenario);
    ASSERT_TRUE(std::holds_alternative<std::vector<TSystemConductor>>(solved));
    const TSectionMap map = ComputeSectionMap(std::get<0>(solved), grid);
    EXPECT_FLOAT_EQ(map.Heights.back(), 21 * 1.2f); // a fifth above the ground wires
    const std::size_t eRow = IndexOf(map.Heights, 1), bRow = IndexOf(map.Heights, 1.5f);
    for (std::size_t k = 0; k < scenario.Results.size(); ++k) {
        const TCalcResult& record = scenario.Results[k];
        const std::size_t column = IndexOf(map.X, positions[k]);
        ASSERT_TRUE(record.EMax && record.BMax);
        EXPECT_EQ(map.At(map.E, column, eRow), *record.EMax) << k;
        EXPECT_EQ(map.At(map.B, column, bRow), *record.BMax * 1000.0f) << k;
    }
}

TEST(SectionMap, OverlappingConductorsAreRefusedByName) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    AddConductors(AddCircuit(scenario), {TCond{.X = 0, .Y = 10, .VoltageKv = 100, .Id = "1A1"},
                                         TCond{.X = 0.01f, .Y = 10, .VoltageKv = 100, .Id = "1B1"}});
    auto solved = SolveSectionSystem(scenario);
    ASSERT_TRUE(std::holds_alternative<TCalcFailure>(solved));
    const TCalcFailure& failure = std::get<TCalcFailure>(solved);
    EXPECT_EQ(failure.Fault, TCalcFault::Overlapping);
    EXPECT_EQ(failure.ConductorId + "," + failure.OtherId, "1A1,1B1");
}

} // namespace
} // namespace corvalt
