// Speed of corvalt-cli compute's output: the JSON of a computed 20,000-record
// cross section written through the same kind of stream as standard output
// (a stdio-synchronised stream on /dev/null), and the shortest float text of
// the output's numbers against std::to_chars, which writes the same
// characters.
//
// The whole process is timed with hyperfine on the project that
// corvalt-make-bench-project writes:
//   corvalt-make-bench-project /tmp/wide.emf
//   hyperfine -N -w 5 -r 50 'corvalt-cli compute /tmp/wide.emf'
#include "WideProfileProject.h"
#include "cli/ComputeJson.h"
#include "cli/FloatText.h"
#include "compute/Compute.h"

#include <benchmark/benchmark.h>
#include <ext/stdio_sync_filebuf.h>

#include <charconv>
#include <cstdio>
#include <optional>
#include <ostream>
#include <vector>

using namespace corvalt;

namespace {

// The JSON of the computed wide profile, written to /dev/null through the
// stream buffer std::cout uses while synchronised with stdio.
void BM_ComputeJson20000(benchmark::State& state) {
    auto project = testing::MakeWideProfileProject();
    if (ComputeAll(*project) != 0) {
        state.SkipWithError("the wide profile could not be computed");
        return;
    }
    std::FILE* sink = std::fopen("/dev/null", "w");
    __gnu_cxx::stdio_sync_filebuf<char> buffer(sink);
    std::ostream out(&buffer);
    for (auto _ : state)
        cli::WriteComputeJson(out, *project);
    std::fclose(sink);
    state.counters["records"] = testing::kWideProfileRecords;
}
BENCHMARK(BM_ComputeJson20000)->Unit(benchmark::kMillisecond);

// The numbers of the output: every value of every record of the computed wide
// profile (about 200,000 floats).
std::vector<float> OutputFloats() {
    auto project = testing::MakeWideProfileProject();
    ComputeAll(*project);
    std::vector<float> values;
    for (const TCalcResult& r : project->Scenarios[0].Results) {
        values.push_back(r.Dist);
        values.push_back(r.DistM);
        for (const std::optional<float>& v :
             {r.EMax, r.BMax, r.AnRainL50, r.AnFairL50, r.RiRain, r.RiFair, r.TviRain, r.Ozone})
            if (v) values.push_back(*v);
    }
    return values;
}

void BM_FloatTextOfOutput(benchmark::State& state) {
    const std::vector<float> values = OutputFloats();
    char text[cli::kFloatTextCapacity];
    for (auto _ : state)
        for (const float v : values)
            benchmark::DoNotOptimize(cli::FloatText(text, v));
}
BENCHMARK(BM_FloatTextOfOutput)->Unit(benchmark::kMillisecond);

void BM_ToCharsOfOutput(benchmark::State& state) {
    const std::vector<float> values = OutputFloats();
    char text[64];
    for (auto _ : state)
        for (const float v : values)
            benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, v).ptr);
}
BENCHMARK(BM_ToCharsOfOutput)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
