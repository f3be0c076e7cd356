// The results view's speed: the results panel's recomputation and redraw
// after an edit of the largest cross section of the sample project (target
// under 30 ms), and the plot of a 20,000-record profile drawn and written as
// a PNG file the way corvalt-cli plot does it (target under 1 s; the whole
// command is timed with corvalt-make-bench-project's file, see the README).
//
// BM_PanelUiBusy: how long the window's own thread is busy after an edit of
// a cross section of 300, 20,000 and 100,000 records (target at most 30 ms):
// the time of the edit's request (a computation at once, or the start of the
// worker's) plus every event handled until the results are drawn, and the
// longest of those blocks; busy_cpu_ms is the thread's CPU time in them.
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "WideProfileProject.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "model/ProjectSnapshot.h"
#include "plots/PlotData.h"
#include "plots/PlotPicture.h"
#include "plots/ProfileChart.h"
#include "ui/widgets/PlotView.h"
#include "ui/windows/ResultsPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

using namespace corvalt;

namespace {

// The CPU time of the calling thread, ms: what the window's thread spends,
// whatever else the machine runs at the same time.
double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

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

// One metric cross section of the benchmarks' double circuit whose profile
// holds `records` records: the two ROW edges, its point of interest and the
// regular steps of 0.25 m from -(RowLeft + 2 m) to RowRight + 2 m, both ends
// whole metres. Those are 4 (A + B) + 1 steps for ends A and B m out, so A + B
// is (records - 4) / 4, split as evenly as whole metres allow. Null when
// records - 4 is not a multiple of 4: no such profile has that many.
std::unique_ptr<TEmfProject> ProjectOfRecords(int records) {
    if (records < 4 || (records - 4) % 4 != 0) return nullptr;
    const int ends = (records - 4) / 4;
    const int left = ends / 2;
    auto project = testing::MakeWideProfileProject();
    TScenario& scenario = project->Scenarios[0];
    scenario.RowLeft = static_cast<float>(left - 2);
    scenario.RowRight = static_cast<float>(ends - left - 2);
    return project;
}

void BM_PanelUiBusy(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const auto project = ProjectOfRecords(records);
    if (project == nullptr) {
        state.SkipWithError("no cross section has that many records");
        return;
    }
    ui::TResultsPanel panel;
    panel.resize(700, 600);
    panel.show();
    TConductor& conductor = *project->Scenarios[0].Conductors.front();
    const float height = conductor.Height;
    // Once shown, so that what is measured is an edit of a panel already showing it.
    panel.ShowResults(*project, std::make_shared<const TProjectSnapshot>(TakeProjectSnapshot(*project)), 0);
    while (panel.IsComputing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const std::size_t shown = panel.ShownScenario() ? panel.ShownScenario()->Results.size() : 0;
    if (shown != static_cast<std::size_t>(records) || !panel.HasFieldValues()) {
        const std::string why = "the panel shows " + std::to_string(shown) + " records, not " +
                                std::to_string(records);
        state.SkipWithError(why.c_str());
        return;
    }
    int step = 0;
    double longest = 0;
    double cpu = 0;
    for (auto _ : state) {
        conductor.Height = height + 0.01f * static_cast<float>(++step % 2);
        auto snapshot = std::make_shared<const TProjectSnapshot>(TakeProjectSnapshot(*project));
        QElapsedTimer block;
        block.start();
        double cpuFrom = ThreadCpuMilliseconds();
        panel.ShowResults(*project, std::move(snapshot), 0);
        benchmark::DoNotOptimize(panel.FieldView().grab().cacheKey());
        cpu += ThreadCpuMilliseconds() - cpuFrom;
        double busy = static_cast<double>(block.nsecsElapsed()) / 1e6;
        longest = std::max(longest, busy);
        while (panel.IsComputing()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            block.restart();
            cpuFrom = ThreadCpuMilliseconds();
            QCoreApplication::processEvents();
            cpu += ThreadCpuMilliseconds() - cpuFrom;
            const double handled = static_cast<double>(block.nsecsElapsed()) / 1e6;
            busy += handled;
            longest = std::max(longest, handled);
        }
        block.restart();
        cpuFrom = ThreadCpuMilliseconds();
        benchmark::DoNotOptimize(panel.FieldView().grab().cacheKey());
        cpu += ThreadCpuMilliseconds() - cpuFrom;
        const double painted = static_cast<double>(block.nsecsElapsed()) / 1e6;
        busy += painted;
        longest = std::max(longest, painted);
        state.SetIterationTime(busy / 1000);
    }
    state.counters["records"] =
        static_cast<double>(panel.ShownScenario() ? panel.ShownScenario()->Results.size() : 0);
    state.counters["longest_block_ms"] = longest;
    // The window thread's CPU time per edit, for a busy machine.
    state.counters["busy_cpu_ms"] =
        cpu / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["drawn_points"] = static_cast<double>(
        panel.FieldView().Chart() ? panel.FieldView().Chart()->DrawnPoints() : 0);
}
BENCHMARK(BM_PanelUiBusy)
    ->Arg(300)
    ->Arg(20000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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
