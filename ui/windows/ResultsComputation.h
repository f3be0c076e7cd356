#pragma once
// The computation behind the results panel: a private copy of the project,
// rebuilt from a snapshot, with the shown cross section and its overlays
// computed on it. The copy shares nothing with the project the user edits,
// so it may be computed on a worker thread while the user goes on editing,
// and computing it never touches the project's own results or point indices.

#include "model/DataCheck.h"
#include "model/ProjectSnapshot.h"
#include "plots/PlotData.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace corvalt {
class TEmfProject;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

struct TResultsRequest {
    std::shared_ptr<const TProjectSnapshot> Snapshot;
    int Section = 0;              // the shown cross section, index in Scenarios
    std::vector<int> Overlays;    // the overlaid cross sections, indices in Scenarios
    std::uint64_t Generation = 0; // later requests have larger numbers
    // How far beyond the ROW the profiles reach, display units; 0: the
    // profile's own margin (what the reports and corvalt-cli compute).
    double BeyondRowShown = 0;
    // The plots to build from the shown cross section and its overlays, so
    // that the window only draws them; Version comes back with them, for the
    // window to tell whether they are still the plots it wants.
    struct TPlots {
        TPlotOptions Fields, Corona;
        std::uint64_t Version = 0;
    };
    std::optional<TPlots> Plots;
};

// The plots built for a request that asked for them.
struct TBuiltPlots {
    TPlotData Fields, Corona;
    std::uint64_t Version = 0;
};

struct TComputedResults {
    std::uint64_t Generation = 0;
    std::shared_ptr<TEmfProject>
        Project; // the computed copy; null when the snapshot could not be read
    int Section = 0;
    std::vector<int> Overlays;
    double Milliseconds = 0; // how long the computation took
    // The data check's lines for the shown cross section when they hold an
    // error: it is then not computed, and has no field values to show.
    std::vector<TCheckLine> Findings;
    // The overlays the data check refused (not computed), by index in Scenarios.
    std::vector<int> RefusedOverlays;
    // Stopped before it ended: Project is null, nothing is to be shown.
    bool Cancelled = false;
    // When asked for and the shown cross section has field values.
    std::optional<TBuiltPlots> Plots;

    // The cross sections of the copy; nullptr (or left out) for an index the
    // copy does not have. Overlays the data check refused are left out; the
    // shown cross section is there with its findings.
    const TScenario* Scenario() const;
    std::vector<const TScenario*> OverlayScenarios() const;
};

// Restores the snapshot into a new project, runs the data check on the
// requested cross sections and computes those it passes, then builds the
// plots asked for. Safe on any thread: it reads only the request. Stop is
// looked at between the cross sections and within their computation
// (ComputeScenario).
TComputedResults ComputeResults(const TResultsRequest& request, std::stop_token stop = {});

// What the time of a cross section's computation and plots depends on.
struct TSectionSize {
    float RowLeft = 0, RowRight = 0; // m
    int Units = 0;
    int Points = 0;
    int Conductors = 0;
};
TSectionSize SectionSize(const TScenario& scenario);

// A guess of the milliseconds the computation of the cross section and the
// building and thinning of its plots take, from its profile's record count
// (with the profile reaching beyondRowShown beyond the ROW) and its conductor
// count: the same size always gives the same guess.
double EstimatedMilliseconds(const TSectionSize& size, double beyondRowShown = 0);

} // namespace corvalt::ui
