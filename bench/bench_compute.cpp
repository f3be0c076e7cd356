// Speed of the field and corona computation: whole cross sections of typical
// lines and a substation, the AC/DC sweep, the E and B kernels on a fine
// profile beside the point-by-point computation they replaced and the tight
// loop they are measured against, the 20,000-record cross section (and its
// corona values alone, per record and four records at a time), and the
// whole sample project. Each benchmark builds or loads its input once,
// outside the timed loop.
#include "LineBuilder.h"
#include "PointByPointFields.h"
#include "TightLoops.h"
#include "WideProfileProject.h"
#include "compute/Charges.h"
#include "compute/Compute.h"
#include "compute/Corona.h"
#include "compute/Fields.h"
#include "model/Project.h"
#include "model/Units.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// A project with one cross section holding the line.
std::unique_ptr<TEmfProject> ProjectWith(const std::vector<TCond>& line, int units, float rowLeftM,
                                         float rowRightM) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = static_cast<std::uint8_t>(units);
    TScenario& scenario = AddScenario(*project);
    scenario.RowLeft = rowLeftM;
    scenario.RowRight = rowRightM;
    AddConductors(AddCircuit(scenario), line);
    return project;
}

void ComputeCrossSection(benchmark::State& state, const std::vector<TCond>& line, int units,
                         float rowLeftM, float rowRightM) {
    auto project = ProjectWith(line, units, rowLeftM, rowRightM);
    TScenario& scenario = project->Scenarios[0];
    for (auto _ : state) {
        const bool computed = ComputeScenario(scenario);
        benchmark::DoNotOptimize(computed);
    }
    state.counters["records"] = static_cast<double>(scenario.Results.size());
}

// 230 kV single circuit with ground wires, ROW 100 ft each side.
void BM_Circuit230kV(benchmark::State& state) {
    ComputeCrossSection(state, Circuit230kV(), English, FeetToMetres(100), FeetToMetres(100));
}
BENCHMARK(BM_Circuit230kV)->Unit(benchmark::kMicrosecond);

// 500 kV double circuit with 3-bundles, ROW 150 ft each side.
void BM_DoubleCircuit500kV(benchmark::State& state) {
    ComputeCrossSection(state, DoubleCircuit500kV(), English, FeetToMetres(150), FeetToMetres(150));
}
BENCHMARK(BM_DoubleCircuit500kV)->Unit(benchmark::kMicrosecond);

// 12 conductors mixing a DC bipole and an AC double circuit: the full
// 3600-step sweep, then the profile (ROW 50 m each side).
void BM_MixedAcDc12(benchmark::State& state) {
    ComputeCrossSection(state, MixedAcDc12(), Metric, 50, 50);
}
BENCHMARK(BM_MixedAcDc12)->Unit(benchmark::kMicrosecond);

// The sweep alone, charges and gradients of the 12 conductors.
void BM_MixedAcDc12SweepOnly(benchmark::State& state) {
    std::vector<TSystemConductor> system = SystemOf(MixedAcDc12());
    for (auto _ : state) {
        const TChargeResult result = SolveCharges(system);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_MixedAcDc12SweepOnly)->Unit(benchmark::kMicrosecond);

// A 60-conductor substation, fence 100 m each side.
void BM_Substation60(benchmark::State& state) {
    ComputeCrossSection(state, Substation60(), Metric, 100, 100);
}
BENCHMARK(BM_Substation60)->Unit(benchmark::kMicrosecond);

// The fine profile: 20 001 points across the double circuit, 1 cm apart, the
// sensors at 1 m; its charges solved.
constexpr int kFinePoints = 20001;

std::vector<float> FinePositionsM() {
    std::vector<float> positions;
    for (int i = 0; i < kFinePoints; ++i)
        positions.push_back(-100.0f + 0.01f * static_cast<float>(i));
    return positions;
}

std::vector<TSystemConductor> SolvedDoubleCircuit() {
    std::vector<TSystemConductor> system = SystemOf(DoubleCircuit500kV());
    SolveCharges(system);
    return system;
}

// E and B of the fine profile through the profile kernels.
void BM_FineProfileEB20001(benchmark::State& state) {
    const std::vector<TSystemConductor> system = SolvedDoubleCircuit();
    const std::vector<float> positions = FinePositionsM();
    std::vector<std::optional<float>> e(positions.size()), b(positions.size());
    for (auto _ : state) {
        ElectricFieldsKvPerM(system, positions, 1, e);
        MagneticFieldsGauss(system, positions, 1, b);
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["points"] = kFinePoints;
}
BENCHMARK(BM_FineProfileEB20001)->Unit(benchmark::kMicrosecond);

// The same through the point-by-point computation the kernels replaced (kept
// in the tests as their reference): the speed-up in one run.
void BM_PointByPointEB20001(benchmark::State& state) {
    const std::vector<TSystemConductor> system = SolvedDoubleCircuit();
    const std::vector<float> positions = FinePositionsM();
    std::vector<std::optional<float>> e(positions.size()), b(positions.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < positions.size(); ++i) {
            e[i] = PointByPointElectricField(system, positions[i], 1);
            b[i] = PointByPointMagneticField(system, positions[i], 1);
        }
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["points"] = kFinePoints;
}
BENCHMARK(BM_PointByPointEB20001)->Unit(benchmark::kMicrosecond);

// Two loops of bare arithmetic over the same profile (TightLoops.h): point
// after point, and conductor after conductor over arrays of the sums, as the
// compiler vectorises them at -O3.
void BM_TightLoopEB20001(benchmark::State& state) {
    const TTightInput in(SolvedDoubleCircuit(), FinePositionsM());
    std::vector<float> e(in.Positions.size()), b(in.Positions.size());
    for (auto _ : state) {
        TightLoopPoints(in, e, b);
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["points"] = kFinePoints;
}
BENCHMARK(BM_TightLoopEB20001)->Unit(benchmark::kMicrosecond);

void BM_TightLoopArraysEB20001(benchmark::State& state) {
    const TTightInput in(SolvedDoubleCircuit(), FinePositionsM());
    const std::size_t n = in.Positions.size();
    TTightSums es(n), bs(n);
    std::vector<float> e(n), b(n);
    for (auto _ : state) {
        TightLoopArrays(in, es, bs, e, b);
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["points"] = kFinePoints;
}
BENCHMARK(BM_TightLoopArraysEB20001)->Unit(benchmark::kMicrosecond);

// The floor the kernels are measured against: their layout and arithmetic
// inlined, without the inside-conductor tests and the empty values
// (TightLoopBlocks). It must give the kernels' values bit for bit, or it
// measures something else; the kernels must stay within 2 times its time.
void BM_FloorEB20001(benchmark::State& state) {
    const std::vector<TSystemConductor> system = SolvedDoubleCircuit();
    const TTightInput in(system, FinePositionsM());
    std::vector<float> e(in.PaddedPositions.size()), b(in.PaddedPositions.size());
    TightLoopBlocks(in, e, b);
    std::vector<std::optional<float>> kernelE(in.Positions.size()), kernelB(in.Positions.size());
    ElectricFieldsKvPerM(system, in.Positions, 1, kernelE);
    MagneticFieldsGauss(system, in.Positions, 1, kernelB);
    for (std::size_t i = 0; i < in.Positions.size(); ++i)
        if (kernelE[i] != e[i] || kernelB[i] != b[i]) {
            state.SkipWithError("the floor's values are not the kernels'");
            return;
        }
    for (auto _ : state) {
        TightLoopBlocks(in, e, b);
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["points"] = kFinePoints;
}
BENCHMARK(BM_FloorEB20001)->Unit(benchmark::kMicrosecond);

// The floating-point peak of the same profile: its divisions (two per charge
// and one per current at each point) and square roots (two per field), which
// the divider serves one after another, as independent vector divisions with
// nothing else to do. The multiplications and additions around them fit in
// the other pipes meanwhile.
void BM_DividerPeakEB20001(benchmark::State& state) {
    const TTightInput in(SolvedDoubleCircuit(), FinePositionsM());
    const std::size_t perPoint = 2 * in.Charges.X.size() + in.Currents.X.size() + 4;
    const std::size_t vectors = in.PaddedPositions.size() * perPoint / 4;
    for (auto _ : state)
        benchmark::DoNotOptimize(DividerPeak(vectors));
    state.counters["points"] = kFinePoints;
    state.counters["divider_ops_per_point"] = static_cast<double>(perPoint);
}
BENCHMARK(BM_DividerPeakEB20001)->Unit(benchmark::kMicrosecond);

// The whole computation of the 20,000-record cross section that corvalt-cli
// compute is timed on: the fields are a small part, the corona effects (a
// dozen logarithms, powers and exponentials per conductor and record) most.
void BM_WideProfile20000(benchmark::State& state) {
    auto project = MakeWideProfileProject();
    TScenario& scenario = project->Scenarios[0];
    for (auto _ : state) {
        const bool computed = ComputeScenario(scenario);
        benchmark::DoNotOptimize(computed);
    }
    state.counters["records"] = static_cast<double>(scenario.Results.size());
}
BENCHMARK(BM_WideProfile20000)->Unit(benchmark::kMillisecond);

// The corona values alone of the 20,000-record cross section, single thread:
// the per-record functions (the baseline build of Fill) beside the AVX2
// build, four records side by side; the charges are solved once, outside.
void WideProfileCorona(benchmark::State& state, TKernelBuild build) {
    if (!CoronaBuildRuns(build)) {
        state.SkipWithError("this processor does not run the build");
        return;
    }
    auto project = MakeWideProfileProject();
    const TScenario& scenario = project->Scenarios[0];
    auto inputs = std::get<TFieldInputs>(FieldInputsOf(scenario));
    if (SolveScenarioCharges(scenario, inputs.System)) {
        state.SkipWithError("the charges were not solved");
        return;
    }
    const TCoronaSite site = CoronaSiteOf(scenario);
    ComputeCoronaLosses(inputs.System, site);
    const TCoronaField corona(inputs.System, site);
    TCalcResults& records = inputs.Layout.Records;
    for (auto _ : state) {
        corona.Fill(records, project->Units, build);
        benchmark::DoNotOptimize(records.data());
        benchmark::ClobberMemory();
    }
    state.counters["records"] = static_cast<double>(records.size());
}

void BM_WideProfileCoronaPerRecord(benchmark::State& state) {
    WideProfileCorona(state, TKernelBuild::Baseline);
}
BENCHMARK(BM_WideProfileCoronaPerRecord)->Unit(benchmark::kMillisecond);

void BM_WideProfileCoronaAvx2(benchmark::State& state) {
    WideProfileCorona(state, TKernelBuild::Avx2);
}
BENCHMARK(BM_WideProfileCoronaAvx2)->Unit(benchmark::kMillisecond);

// The largest cross section there may be: 500 conductors on a grid of 25
// columns 2 m apart and 20 rows 2 m apart from 10 m up, 230 kV and 500 A in
// phases 0°, 120°, 240° by column; with `dcPoles`, the first conductors are
// ±400 kV poles instead, and the charges are swept over every relative phase.
std::vector<TCond> LargeSection(int dcPoles) {
    std::vector<TCond> line;
    for (int row = 0; row < 20; ++row)
        for (int column = 0; column < 25; ++column) {
            TCond c{.X = -24.0f + 2.0f * static_cast<float>(column),
                    .Y = 10.0f + 2.0f * static_cast<float>(row),
                    .DiameterMm = 28.1f,
                    .VoltageKv = 230,
                    .AngleDeg = 120.0f * static_cast<float>(column % 3),
                    .CurrentA = 500};
            if (static_cast<int>(line.size()) < dcPoles) {
                c.Ac = false;
                c.AngleDeg = 0;
                c.VoltageKv = line.size() % 2 == 0 ? 400.0f : -400.0f;
            }
            line.push_back(c);
        }
    return line;
}

// The charges (potential coefficients solved once) and the profile, ROW 30 m
// each side.
void BM_AcSection500(benchmark::State& state) {
    ComputeCrossSection(state, LargeSection(0), Metric, 30, 30);
}
BENCHMARK(BM_AcSection500)->Unit(benchmark::kMillisecond);

// The same with 10 DC poles: the 3600-step sweep over 500 conductors.
void BM_MixedSection500(benchmark::State& state) {
    ComputeCrossSection(state, LargeSection(10), Metric, 30, 30);
}
BENCHMARK(BM_MixedSection500)->Unit(benchmark::kMillisecond);

// ComputeAll on the English sample project: a 230 kV single circuit, a 115 kV
// double circuit and a substation, with their points of interest.
void BM_SampleProject(benchmark::State& state) {
    TEmfProject project;
    const TFileResult loaded =
        project.Load(std::string(CORVALT_SOURCE_DIR) + "/examples/sample-english.emf");
    if (!loaded.Ok) {
        state.SkipWithError(loaded.Message.c_str());
        return;
    }
    for (auto _ : state) {
        const int failed = ComputeAll(project);
        benchmark::DoNotOptimize(failed);
    }
    std::size_t records = 0;
    for (const TScenario& scenario : project.Scenarios)
        records += scenario.Results.size();
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_SampleProject)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
