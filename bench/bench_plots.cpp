// The results view's speed: the results panel's recomputation and redraw
// after an edit of the largest cross section of the sample project (target
// under 30 ms), and the plot of a 20,000-record profile drawn and written as
// a PNG file the way corvalt-cli plot does it (target under 1 s; the whole
// command is timed with corvalt-make-bench-project's file, see the README).
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "WideProfileProject.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "model/ProjectSnapshot.h"
#include "plots/PlotData.h"
#include "plots/PlotPicture.h"
#include "ui/widgets/PlotView.h"
#include "ui/windows/ResultsPanel.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <clocale>
#include <memory>

using namespace corvalt;

namespace {

// The sample's cross section with the most profile records.
int LargestSection(TEmfProject& project) {
    ComputeAll(project);
    int largest = 0;
    for (int i = 0; i < project.Scenarios.Count(); ++i)
        if (project.Scenarios[i].Results.size() > project.Scenarios[largest].Results.size())
            largest = i;
    return largest;
}

void BM_PanelAfterEdit(benchmark::State& state) {
    TEmfProject project;
    if (!project.Load(CORVALT_SOURCE_DIR "/examples/sample-english.emf").Ok) {
        state.SkipWithError("the sample project cannot be read");
        return;
    }
    const int section = LargestSection(project);
    ui::TResultsPanel panel;
    panel.resize(700, 600);
    panel.show();
    TConductor& conductor = *project.Scenarios[section].Conductors.front();
    const float height = conductor.Height;
    int step = 0;
    for (auto _ : state) {
        // The edit, the window's snapshot of it, the computation on the copy,
        // the new charts, and the plot in front painted.
        conductor.Height = height + 0.01f * static_cast<float>(++step % 2);
        auto snapshot = std::make_shared<const TProjectSnapshot>(TakeProjectSnapshot(project));
        panel.ShowResults(project, std::move(snapshot), section);
        const QPixmap painted = panel.FieldView().grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    state.counters["records"] =
        static_cast<double>(panel.ShownScenario() ? panel.ShownScenario()->Results.size() : 0);
}
BENCHMARK(BM_PanelAfterEdit)->Unit(benchmark::kMillisecond);

void BM_PlotPng20000(benchmark::State& state) {
    const auto project = testing::MakeWideProfileProject();
    TScenario& scenario = project->Scenarios[0];
    ComputeScenario(scenario);
    const QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("plot.png")).toStdString();
    for (auto _ : state) {
        const TPlotData data = BuildPlotData(scenario, {}, {});
        const QString error = ExportPicture(data, path, TPictureFormat::Png);
        if (!error.isEmpty()) state.SkipWithError(error.toStdString().c_str());
    }
    state.counters["records"] = static_cast<double>(scenario.Results.size());
}
BENCHMARK(BM_PlotPng20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
