#pragma once
// The project the output of corvalt-cli compute is timed on: one metric cross
// section with the 500 kV double circuit of the benchmarks, a right of way
// 2497 m left and 2498 m right (19,997 regular steps of 0.25 m from -2499 m to
// 2500 m) and one point of interest, so that its profile holds 20,000
// records.

#include "LineBuilder.h"
#include "model/Project.h"
#include "model/Units.h"

#include <memory>

namespace corvalt::testing {

inline constexpr int kWideProfileRecords = 20000;

inline std::unique_ptr<TEmfProject> MakeWideProfileProject() {
    auto project = std::make_unique<TEmfProject>();
    project->Title = "20,000-record profile";
    project->Units = Metric;
    TScenario& scenario = AddScenario(*project, "Wide");
    scenario.RowLeft = 2497;
    scenario.RowRight = 2498;
    AddConductors(AddCircuit(scenario), DoubleCircuit500kV());
    AddInterestPoint(scenario, "House", 31.5f);
    return project;
}

} // namespace corvalt::testing
