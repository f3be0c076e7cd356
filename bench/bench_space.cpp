// Speed of the field maps: a 401 × 401 grid (160,801 points) over 600
// straight pieces, the magnetic field alone, the electric field with its
// charge solve, and the solve alone. The counters give the points × pieces
// evaluated per second and the floating-point operations per second the
// kernels' arithmetic amounts to (square roots and divisions count one).
#include "space/Charges.h"
#include "space/FieldKernels.h"
#include "space/SpaceModel.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace corvalt::space;

namespace {

// Operations per point and piece: the magnetic kernel takes one vertex
// (3 subtractions, 5 for its squared length, a square root) and one piece
// (9 for the cross product, 5 for the dot product, 6 for the factor with its
// division, 6 to add it up); the electric kernel a vertex for the piece and
// one for its image (13 and a square root each) and per piece 2 × 19 for the
// piece and its image, 3 to subtract them and 12 to add the charge's share.
constexpr double kMagneticFlops = 9 + 26;
constexpr double kElectricFlops = 2 * 14 + 2 * 19 + 3 + 12;

// Twelve conductors of 50 pieces each: a double-circuit line turning a corner
// inside the grid, its phases at 15 to 27 m, two ground wires at 32 m.
TSpaceModel BenchModel() {
    TSpaceModel model;
    const double offsets[] = {-9, -9, -9, 9, 9, 9, -6, 6, -3, 3, -1, 1};
    const double heights[] = {15, 21, 27, 15, 21, 27, 32, 32, 18, 18, 24, 24};
    for (int c = 0; c < 12; ++c) {
        TSpaceConductor s;
        s.PlanIndex = static_cast<std::size_t>(c);
        for (int k = 0; k <= 50; ++k) {
            // 25 pieces of 10 m along x, then 25 along y.
            const double along = 10.0 * k - 250;
            s.Vertices.push_back(k <= 25 ? TVec3{along, offsets[c], heights[c]}
                                         : TVec3{offsets[c], along, heights[c]});
        }
        const bool ground = c == 6 || c == 7;
        s.EqRadiusM = ground ? 0.0055 : 0.08;
        s.OuterRadiusM = ground ? 0.0055 : 0.24;
        const double angle = 2.0943951 * (c % 3);
        s.VoltageV = ground ? 0.0 : std::polar(230e3 / std::sqrt(3.0), angle);
        s.CurrentA = ground ? 0.0 : std::polar(1000.0, angle);
        model.Conductors.push_back(s);
    }
    for (int k = 0; k <= 400; ++k) {
        model.Grid.X.push_back(k - 200.0);
        model.Grid.Y.push_back(k - 200.0);
    }
    model.Grid.Height = 1;
    return model;
}

void Count(benchmark::State& state, const TSpaceModel& model, double flopsPerPair) {
    const double pairs = static_cast<double>(model.Grid.PointCount() * model.PieceCount());
    state.counters["pieces"] = static_cast<double>(model.PieceCount());
    state.counters["pairs/s"] =
        benchmark::Counter(pairs, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["FLOPS"] =
        benchmark::Counter(pairs * flopsPerPair, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MagneticMap401(benchmark::State& state) {
    const TSpaceModel model = BenchModel();
    for (auto _ : state) {
        TFieldLayers b = MagneticLayers(model);
        benchmark::DoNotOptimize(b.Major.data());
    }
    Count(state, model, kMagneticFlops);
}
BENCHMARK(BM_MagneticMap401)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ElectricMap401(benchmark::State& state) {
    const TSpaceModel model = BenchModel();
    for (auto _ : state) {
        const TChargeSolution charges = SolveCharges(model);
        TFieldLayers e = ElectricLayers(model, charges.ChargesCPerM);
        benchmark::DoNotOptimize(e.Major.data());
    }
    Count(state, model, kElectricFlops);
}
BENCHMARK(BM_ElectricMap401)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChargeSolve600(benchmark::State& state) {
    const TSpaceModel model = BenchModel();
    for (auto _ : state) {
        const TChargeSolution charges = SolveCharges(model);
        benchmark::DoNotOptimize(charges.ChargesCPerM.data());
    }
}
BENCHMARK(BM_ChargeSolve600)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
