// Speed of the data check on cross sections of hundreds to thousands of
// conductors: a long row (each conductor has neighbours only to its sides) and
// a dense grid (columns of conductors at one x), both free of overlaps so the
// check looks at every conductor and reports nothing.
#include "LineBuilder.h"
#include "model/DataCheck.h"
#include "model/Project.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// Conductors of 30 mm on a grid of columns 1 m apart and rows 0.5 m apart.
std::unique_ptr<TEmfProject> GridProject(int conductors, int columns) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    TCircuit& circuit = AddCircuit(AddScenario(*project));
    for (int k = 0; k < conductors; ++k)
        AddConductor(circuit, {.X = static_cast<float>(k % columns),
                               .Y = 5 + 0.5f * static_cast<float>(k / columns),
                               .DiameterMm = 30,
                               .VoltageKv = 230,
                               .Id = "C" + std::to_string(k)});
    return project;
}

void CheckGrid(benchmark::State& state, int columns) {
    const int conductors = static_cast<int>(state.range(0));
    const auto project = GridProject(conductors, columns);
    for (auto _ : state) {
        const std::vector<TCheckLine> lines = CheckProject(*project);
        if (HasErrors(lines)) state.SkipWithError("the grid should pass the check");
        benchmark::DoNotOptimize(lines);
    }
    state.counters["conductors"] = conductors;
}

// One row: every conductor at its own x.
void BM_CheckRow(benchmark::State& state) {
    CheckGrid(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_CheckRow)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

// 50 columns: conductors / 50 of them share each x.
void BM_CheckGrid50Columns(benchmark::State& state) {
    CheckGrid(state, 50);
}
BENCHMARK(BM_CheckGrid50Columns)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
