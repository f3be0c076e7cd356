// The profile kernels, in each processor build the processor runs, against the
// point-by-point computation they replaced: the same bits at every point, and
// the same points without a value, on the sample projects and on randomised
// lines (AC and DC, bundles, ground wires, buried cables, conductors without
// current), with sensors below, on and above the ground line and points on and
// beside the conductors.
#include "LineBuilder.h"
#include "PointByPointFields.h"
#include "compute/Charges.h"
#include "compute/Compute.h"
#include "compute/Fields.h"
#include "compute/Profile.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// Counts what a comparison met, so a test can insist that it met both kinds.
struct TCompared {
    int Values = 0;
    int Empty = 0;
};

// The processor builds of the kernels that this processor runs.
std::vector<TKernelBuild> BuildsThatRun() {
    std::vector<TKernelBuild> builds;
    for (const TKernelBuild build : {TKernelBuild::Baseline, TKernelBuild::Avx2})
        if (KernelBuildRuns(build)) builds.push_back(build);
    return builds;
}

// The kernels' values at the positions against the point-by-point ones, in
// every processor build: the same bits, or both empty.
void ExpectSameAsPointByPoint(std::span<const TSystemConductor> system,
                              const std::vector<float>& positions, float sensorHeightM,
                              TCompared& compared) {
    for (const TKernelBuild build : BuildsThatRun()) {
        SCOPED_TRACE(build == TKernelBuild::Avx2 ? "AVX2 build" : "baseline build");
        std::vector<std::optional<float>> e(positions.size()), b(positions.size());
        ElectricFieldsKvPerM(system, positions, sensorHeightM, e, build);
        MagneticFieldsGauss(system, positions, sensorHeightM, b, build);
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const float x = positions[i];
            const std::optional<float> expected[] = {
                PointByPointElectricField(system, x, sensorHeightM),
                PointByPointMagneticField(system, x, sensorHeightM)};
            const std::optional<float> actual[] = {e[i], b[i]};
            for (int field = 0; field < 2; ++field) {
                ASSERT_EQ(actual[field].has_value(), expected[field].has_value())
                    << (field == 0 ? "E" : "B") << " at point " << i << " x = " << x;
                if (!expected[field]) {
                    ++compared.Empty;
                    continue;
                }
                ++compared.Values;
                ASSERT_EQ(std::bit_cast<std::uint32_t>(*actual[field]),
                          std::bit_cast<std::uint32_t>(*expected[field]))
                    << (field == 0 ? "E" : "B") << " at point " << i << " x = " << x << ": "
                    << *actual[field] << " against " << *expected[field];
            }
        }
    }
}

// A random line: conductors on a 1.5 m grid (so that no two overlap), some of
// them bundles, DC poles of either sign, ground wires, buried cables,
// conductors without current or without a diameter, voltages and angles of
// any sign.
std::vector<TCond> RandomLine(std::mt19937& rng) {
    std::uniform_int_distribution<int> count(1, 14), column(-20, 20), row(-2, 30), kind(0, 9);
    std::uniform_int_distribution<int> subCount(1, 4);
    std::uniform_real_distribution<float> voltage(-800, 800), angle(-360, 360),
        current(-4000, 4000);
    std::vector<TCond> line;
    std::vector<std::pair<int, int>> taken;
    const int n = count(rng);
    while (static_cast<int>(line.size()) < n) {
        const std::pair<int, int> cell{column(rng), row(rng)};
        if (std::find(taken.begin(), taken.end(), cell) != taken.end()) continue;
        taken.push_back(cell);
        TCond c{.X = 1.5f * static_cast<float>(cell.first),
                .Y = 1.5f * static_cast<float>(cell.second),
                .DiameterMm = 20 + static_cast<float>(kind(rng)),
                .VoltageKv = voltage(rng),
                .AngleDeg = angle(rng),
                .CurrentA = current(rng)};
        switch (kind(rng)) {
        case 0:
            c.Ground = true;
            c.VoltageKv = 0;
            c.CurrentA = 0;
            break;
        case 1:
            c.CurrentA = 0;
            break;
        case 2:
        case 3:
            c.Ac = false;
            break;
        case 4:
            c.N = subCount(rng) + 1;
            c.SpacingCm = 30 + static_cast<float>(kind(rng));
            break;
        case 5: // no usable bundle: no charge, a current on a line of no width
            c.DiameterMm = 0;
            break;
        default:
            break;
        }
        line.push_back(c);
    }
    return line;
}

// Positions that meet every case: each conductor's own x (inside it at its
// height) and points just inside and just outside its outer radius, random
// positions, in a count that leaves any remainder of a block of points.
std::vector<float> PositionsAround(std::span<const TSystemConductor> system, std::mt19937& rng) {
    std::uniform_real_distribution<float> anywhere(-60, 60);
    std::uniform_int_distribution<int> extra(0, 11);
    std::vector<float> positions;
    for (const TSystemConductor& c : system) {
        const auto r = static_cast<float>(c.RadiusM);
        for (const float dx : {0.0f, 0.5f * r, -0.99f * r, 1.01f * r, -1.5f * r})
            positions.push_back(c.XM + dx);
    }
    for (int k = extra(rng); k > 0; --k)
        positions.push_back(anywhere(rng));
    std::shuffle(positions.begin(), positions.end(), rng);
    return positions;
}

} // namespace

TEST(ProfileKernels, SampleProjectsGiveThePointByPointBits) {
    TCompared compared;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(CORVALT_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() != ".emf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        TEmfProject project;
        ASSERT_TRUE(project.Load(entry.path().string()).Ok);
        for (const TScenario& scenario : project.Scenarios) {
            SCOPED_TRACE(scenario.TabTitle);
            std::vector<TSystemConductor> system = BuildConductorSystem(scenario);
            ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
            std::vector<float> pointPositions;
            for (const TInterestPoint& point : scenario.InterestPoints)
                pointPositions.push_back(point.DistFromRowLeft);
            const std::optional<TProfileLayout> layout =
                LayOutProfile(scenario.RowLeft, scenario.RowRight, pointPositions, project.Units);
            ASSERT_TRUE(layout.has_value());
            std::vector<float> positions;
            for (const TCalcResult& record : layout->Records)
                positions.push_back(RecordPositionM(record, project.Units));
            ExpectSameAsPointByPoint(system, positions, scenario.EFieldHeight, compared);
            ExpectSameAsPointByPoint(system, positions, scenario.BFieldHeight, compared);
        }
    }
    EXPECT_GT(compared.Values, 1000);
}

TEST(ProfileKernels, RandomLinesGiveThePointByPointBitsAndTheSameEmptyPoints) {
    std::mt19937 rng(2024);
    TCompared compared;
    int solved = 0;
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE(trial);
        std::vector<TSystemConductor> system = SystemOf(RandomLine(rng));
        if (SolveCharges(system).Outcome != TChargeOutcome::Solved) continue;
        ++solved;
        const std::vector<float> positions = PositionsAround(system, rng);
        // Below ground (images), on the ground line, at 1 m, and at each of
        // the first conductors' own heights (their axes lie on the profile).
        std::vector<float> heights = {-3.0f, -1.5f, 0.0f, 1.0f};
        for (std::size_t k = 0; k < std::min<std::size_t>(system.size(), 3); ++k)
            heights.push_back(system[k].YM);
        for (const float height : heights) {
            SCOPED_TRACE(height);
            ExpectSameAsPointByPoint(system, positions, height, compared);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
    EXPECT_GT(solved, 250);
    // Both kinds met in quantity: values, and points inside a conductor or image.
    EXPECT_GT(compared.Values, 50000);
    EXPECT_GT(compared.Empty, 5000);
}

TEST(ProfileKernels, EveryLengthOfProfileIncludingTheEmptyOne) {
    std::vector<TSystemConductor> system = SystemOf(DoubleCircuit500kV());
    ASSERT_EQ(SolveCharges(system).Outcome, TChargeOutcome::Solved);
    TCompared compared;
    for (std::size_t n = 0; n <= 20; ++n) {
        SCOPED_TRACE(n);
        std::vector<float> positions;
        for (std::size_t i = 0; i < n; ++i)
            positions.push_back(-9.0f + 0.7f * static_cast<float>(i)); // the first on a conductor
        // The output is only as long as the positions: a value beyond stays as it was.
        std::vector<std::optional<float>> out(n + 1, 42.0f);
        ElectricFieldsKvPerM(system, positions, 20, out);
        EXPECT_EQ(out[n], 42.0f);
        ExpectSameAsPointByPoint(system, positions, 20, compared);
    }
    EXPECT_GT(compared.Empty, 0);
}
