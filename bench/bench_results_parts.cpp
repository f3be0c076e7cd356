// The results view's parts after an edit of a cross section: the maxima rows
// and the cross-section drawing of each sample's cross section with the most
// conductors, painted into a 640 by 400 image (the size of the panel's view).
// The computation itself is measured by bench_compute.

#include "compute/Compute.h"
#include "limits/MaximaSummary.h"
#include "model/Project.h"
#include "plots/CrossSectionDrawing.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace corvalt;

namespace {

// The sample's cross section with the most conductors, computed.
struct TSample {
    std::unique_ptr<TEmfProject> Project = std::make_unique<TEmfProject>();
    TScenario* Largest = nullptr;

    explicit TSample(const std::string& name) {
        if (!Project->Load(std::string(CORVALT_SOURCE_DIR "/examples/") + name).Ok) return;
        for (TScenario& scenario : Project->Scenarios)
            if (Largest == nullptr || scenario.ConductorCount() > Largest->ConductorCount())
                Largest = &scenario;
        if (Largest != nullptr) ComputeScenario(*Largest);
    }
};

const char* SampleName(int index) {
    return index == 0 ? "sample-english.emf" : "sample-metric.emf";
}

void MaximaRows(benchmark::State& state) {
    TSample sample(SampleName(static_cast<int>(state.range(0))));
    if (sample.Largest == nullptr) {
        state.SkipWithError("sample not readable");
        return;
    }
    const TFieldLimits limits = DefaultFieldLimits();
    for (auto _ : state)
        benchmark::DoNotOptimize(MaximaSummaryOf(*sample.Largest, limits));
}

void PaintDrawing(benchmark::State& state) {
    TSample sample(SampleName(static_cast<int>(state.range(0))));
    if (sample.Largest == nullptr) {
        state.SkipWithError("sample not readable");
        return;
    }
    QImage image(640, 400, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        TCrossSectionRenderer renderer(*sample.Largest);
        renderer.SetHighlighted({0, 0});
        QPainter painter(&image);
        renderer.Paint(painter, QRectF(image.rect()));
        painter.end();
        benchmark::ClobberMemory();
    }
}

BENCHMARK(MaximaRows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PaintDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // Text needs the fonts of a platform; offscreen unless one is chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
