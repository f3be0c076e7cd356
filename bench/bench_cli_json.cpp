// Speed of corvalt-cli compute's output: the JSON of a computed 20,000-record
// cross section written through the same kind of stream as standard output
// (a stdio-synchronised stream on /dev/null), and the shortest float text
// against std::to_chars, which writes the same characters.
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
#include <ostream>
#include <random>
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

// 200,000 floats of the sizes the output holds (fields, levels, positions).
std::vector<float> SampleFloats() {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-12, 4);
    std::vector<float> values(200000);
    for (float& v : values)
        v = mantissa(rng) * std::pow(10.0f, static_cast<float>(exponent(rng)));
    return values;
}

void BM_FloatText200k(benchmark::State& state) {
    const std::vector<float> values = SampleFloats();
    char text[cli::kFloatTextCapacity];
    for (auto _ : state)
        for (const float v : values)
            benchmark::DoNotOptimize(cli::FloatText(text, v));
}
BENCHMARK(BM_FloatText200k)->Unit(benchmark::kMillisecond);

void BM_ToChars200k(benchmark::State& state) {
    const std::vector<float> values = SampleFloats();
    char text[64];
    for (auto _ : state)
        for (const float v : values)
            benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, v).ptr);
}
BENCHMARK(BM_ToChars200k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
