// Speed of the design tools: the phasing optimiser over every arrangement of
// lines of 4, 6 and 8 vertical 500 kV circuits (1,296, 46,656 and 1,679,616
// arrangements; 8 only for the within-ROW objective, the heaviest),
// by each objective over the ROW's full profile, and the clearance solver on a
// 230 kV double circuit hung too low. One thread; each benchmark builds its
// line once, outside the timed loop.
#include "PhasedLines.h"
#include "design/ClearanceSolver.h"
#include "design/PhasingOptimiser.h"
#include "model/Project.h"

#include <benchmark/benchmark.h>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

void Optimise(benchmark::State& state, TPhasingRequest request) {
    TEmfProject project;
    project.Units = English;
    const TScenario& scenario = ManyCircuitLine(project, static_cast<int>(state.range(0)));
    long long arrangements = 0;
    for (auto _ : state) {
        const TPhasingSearch search = OptimisePhasing(scenario, request);
        if (search.Outcome != TSearchOutcome::Done) state.SkipWithError(search.Message.c_str());
        arrangements = search.Arrangements;
        benchmark::DoNotOptimize(search.Ranked.data());
    }
    state.counters["arrangements"] = static_cast<double>(arrangements);
}

void BM_OptimiseEdgeB(benchmark::State& state) {
    Optimise(state, {.Objective = TPhasingObjective::EdgeB});
}
BENCHMARK(BM_OptimiseEdgeB)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);

void BM_OptimiseRowE(benchmark::State& state) {
    Optimise(state, {.Objective = TPhasingObjective::RowE});
}
BENCHMARK(BM_OptimiseRowE)->Arg(4)->Arg(6)->Arg(8)->Unit(benchmark::kMillisecond);

// Every value of every arrangement: the most work a search does.
void BM_OptimiseWeighted(benchmark::State& state) {
    Optimise(state, {.Objective = TPhasingObjective::Weighted,
                     .Weights = {.EdgeBPerMg = 0.01, .EdgeEPerKvPerM = 1, .RowEPerKvPerM = 1}});
}
BENCHMARK(BM_OptimiseWeighted)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);

void BM_SolveClearance(benchmark::State& state) {
    TEmfProject project;
    project.Units = English;
    TScenario& scenario = AddDesignScenario(project, 15, 15);
    AddThreePhase(
        scenario,
        {.Phases = {{{-6, 14}, {-6, 10}, {-6, 6}}}, .CurrentA = 2500, .GroundWires = {{0, 18}}});
    AddThreePhase(scenario, {.Phases = {{{6, 14}, {6, 10}, {6, 6}}}, .CurrentA = 2500});
    const TFieldLimits limits = DefaultFieldLimits();
    for (auto _ : state) {
        const TClearance clearance = SolveClearance(scenario, std::nullopt, limits);
        benchmark::DoNotOptimize(clearance.RaiseShown);
    }
}
BENCHMARK(BM_SolveClearance)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
