// How long closing a window blocks while its background work runs, on the
// largest cross section a project may hold (500 conductors): the phasing
// dialog (Escape, then the dialog destroyed) at moments that fall in each
// step of its search (the current arrangement and the linear fields, the
// search, the computation of the candidates), the clearance dialog (its first
// computation of the cross section, then its trials) and the project
// window's results panel. The target is 100 ms at most; each figure is the
// time from the close to the dialog gone, the worst of the iterations as
// "max_ms". "running" is the share of the iterations whose worker still ran
// when the dialog was closed, "done" the progress bar's mean share done then.
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "PhasedLines.h"

#include "model/FieldLimitTable.h"
#include "model/Project.h"
#include "model/ProjectSnapshot.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/PhasingDialog.h"
#include "ui/windows/ResultsPanel.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

// Four 500 kV circuits whose phasing is searched (1,296 arrangements) under a
// mesh of ground wires that brings the cross section to 500 conductors, all
// of them in the charge system.
std::unique_ptr<TEmfProject> FiveHundredConductors() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = English;
    TScenario& scenario = ManyCircuitLine(*project, 4);
    auto owned = std::make_unique<TCircuit>(scenario);
    owned->Number = static_cast<std::uint8_t>(scenario.NextCircuitNumber());
    owned->Name = "Shield";
    TCircuit& shield = scenario.Circuits[scenario.Circuits.Add(std::move(owned))];
    for (int i = 0; scenario.ConductorCount() < 500; ++i) {
        TConductor& wire = AddTypedConductor(shield, Ground,
                                             {-40.0f + 0.2f * static_cast<float>(i % 400),
                                              55.0f + 2.0f * static_cast<float>(i / 400)});
        wire.SubCondCount = 1;
        wire.Diameter = 11;
    }
    return project;
}

// Times close as the iteration's time; its milliseconds.
template <typename TClose> double TimeClose(benchmark::State& state, TClose close) {
    QElapsedTimer timer;
    timer.start();
    close();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    state.SetIterationTime(seconds);
    return seconds * 1000;
}

// Opens the dialog, lets its worker run for the benchmark's argument in
// milliseconds, then times Escape and the dialog's destruction.
template <typename TDialog, typename... TArgs>
void CloseAfter(benchmark::State& state, const TArgs&... args) {
    const std::unique_ptr<TEmfProject> project = FiveHundredConductors();
    double worst = 0, running = 0, done = 0;
    for (auto _ : state) {
        auto dialog = std::make_unique<TDialog>(*project, 0, args...);
        QTest::qWait(static_cast<int>(state.range(0)));
        const auto* bar = dialog->template findChild<QProgressBar*>(QStringLiteral("pbProgress"));
        done += bar->value() / static_cast<double>(bar->maximum());
        running +=
            dialog->template findChild<QPushButton*>(QStringLiteral("btCancel"))->isEnabled();
        worst = std::max(worst, TimeClose(state, [&] {
                             QTest::keyClick(dialog.get(), Qt::Key_Escape);
                             dialog.reset();
                         }));
    }
    state.counters["max_ms"] = worst;
    state.counters["running"] = running / static_cast<double>(state.iterations());
    state.counters["done"] = done / static_cast<double>(state.iterations());
}

void BM_ClosePhasingDialog(benchmark::State& state) {
    CloseAfter<ui::TPhasingDialog>(state);
}
BENCHMARK(BM_ClosePhasingDialog)
    ->ArgName("after_ms")
    ->ArgsProduct({{0, 300, 1000, 2000, 4000, 6000}})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_CloseClearanceDialog(benchmark::State& state) {
    CloseAfter<ui::TClearanceDialog>(state, DefaultFieldLimits());
}
BENCHMARK(BM_CloseClearanceDialog)
    ->ArgName("after_ms")
    ->ArgsProduct({{0, 300, 1000, 3000}})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The panel computes the cross section on its worker; the window goes.
void BM_CloseResultsPanel(benchmark::State& state) {
    const std::unique_ptr<TEmfProject> project = FiveHundredConductors();
    auto snapshot = std::make_shared<const TProjectSnapshot>(TakeProjectSnapshot(*project));
    double worst = 0;
    for (auto _ : state) {
        auto panel = std::make_unique<ui::TResultsPanel>();
        panel->SetSynchronousLimit(0);
        panel->ShowResults(*project, snapshot, 0);
        QTest::qWait(static_cast<int>(state.range(0)));
        worst = std::max(worst, TimeClose(state, [&] { panel.reset(); }));
    }
    state.counters["max_ms"] = worst;
}
BENCHMARK(BM_CloseResultsPanel)
    ->ArgName("after_ms")
    ->ArgsProduct({{0, 100, 300}})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
