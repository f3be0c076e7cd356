#include "ui/windows/ResultsComputation.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "model/Units.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace corvalt::ui {
namespace {

const TScenario* SectionOf(const TEmfProject* project, int index) {
    if (project == nullptr || index < 0 || index >= project->Scenarios.Count()) return nullptr;
    return &project->Scenarios[index];
}

// Measured on this program's field kernels: a record costs about this much per
// conductor for the fields and the corona effects together (generously rounded up).
constexpr double kMicrosecondsPerRecordAndConductor = 0.5;
// And this much, whatever the conductors, for the plots: the records ordered
// along the profile, each quantity's value, the lines thinned to the plot.
constexpr double kMicrosecondsPerRecordPlotted = 0.6;

void BuildPlots(const TResultsRequest::TPlots& asked, TComputedResults& computed) {
    const TScenario* shown = computed.Scenario();
    if (shown == nullptr || !computed.Findings.empty() || !shown->CalcError.empty() ||
        shown->Results.empty())
        return;
    const std::vector<const TScenario*> overlays = computed.OverlayScenarios();
    computed.Plots = TBuiltPlots{BuildPlotData(*shown, overlays, asked.Fields),
                                 BuildPlotData(*shown, overlays, asked.Corona), asked.Version};
}

} // namespace

const TScenario* TComputedResults::Scenario() const {
    return SectionOf(Project.get(), Section);
}

std::vector<const TScenario*> TComputedResults::OverlayScenarios() const {
    std::vector<const TScenario*> overlays;
    for (const int index : Overlays)
        if (std::find(RefusedOverlays.begin(), RefusedOverlays.end(), index) ==
            RefusedOverlays.end())
            if (const TScenario* scenario = SectionOf(Project.get(), index))
                overlays.push_back(scenario);
    return overlays;
}

TComputedResults ComputeResults(const TResultsRequest& request, std::stop_token stop) {
    QElapsedTimer timer;
    timer.start();
    TComputedResults computed;
    computed.Generation = request.Generation;
    computed.Section = request.Section;
    computed.Overlays = request.Overlays;
    auto project = std::make_shared<TEmfProject>();
    if (request.Snapshot != nullptr && RestoreProjectSnapshot(*project, *request.Snapshot).Ok) {
        // Geometry the data check refuses has no field values, as in the reports.
        const auto passes = [&project](int index) {
            return !HasErrors(CheckCrossSection(project->Scenarios[index], index));
        };
        if (request.Section >= 0 && request.Section < project->Scenarios.Count()) {
            TScenario& shown = project->Scenarios[request.Section];
            std::vector<TCheckLine> findings = CheckCrossSection(shown, request.Section);
            if (HasErrors(findings))
                computed.Findings = std::move(findings);
            else
                ComputeScenario(shown, stop, request.BeyondRowShown);
        }
        for (const int index : request.Overlays) {
            if (index < 0 || index >= project->Scenarios.Count() || index == request.Section)
                continue;
            if (passes(index))
                ComputeScenario(project->Scenarios[index], stop, request.BeyondRowShown);
            else
                computed.RefusedOverlays.push_back(index);
        }
        computed.Project = std::move(project);
        if (request.Plots && !stop.stop_requested()) BuildPlots(*request.Plots, computed);
    }
    // A cross section stopped part way has no results: none of it is shown.
    if (stop.stop_requested()) {
        computed.Cancelled = true;
        computed.Project.reset();
    }
    computed.Milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    return computed;
}

TSectionSize SectionSize(const TScenario& scenario) {
    return {scenario.RowLeft, scenario.RowRight, scenario.IsEnglish() ? English : Metric,
            scenario.InterestPoints.Count(), scenario.ConductorCount()};
}

double EstimatedMilliseconds(const TSectionSize& size, double beyondRowShown) {
    // The regular steps, and one record per ROW edge and point.
    const double records =
        RegularStepCountEstimate(size.RowLeft, size.RowRight, size.Units, beyondRowShown) + 2 +
        size.Points;
    const double conductors = std::max(size.Conductors, 1);
    const double estimate =
        records * (conductors * kMicrosecondsPerRecordAndConductor + kMicrosecondsPerRecordPlotted) /
        1000;
    return std::isfinite(estimate) ? estimate : 1e9;
}

} // namespace corvalt::ui
