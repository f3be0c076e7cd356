// libFuzzer target for what follows the reading of a project: the computation
// of each cross section, the phasing optimiser and the clearance solver. A
// project that loads must compute, search and solve without a crash or a
// sanitizer report; every value they give is a finite number or none, every
// failure says why, and the ranked arrangements are no more than asked for.
// Inputs whose work would take long (wide rights of way with many conductors,
// many circuits) are computed only as far as they stay quick: the target looks
// for faults, not for slowness, which the limits and the search estimate bound.
#include "compute/Compute.h"
#include "design/ClearanceSolver.h"
#include "design/PhasingOptimiser.h"
#include "limits/FieldLimits.h"
#include "model/FieldLimitTable.h"
#include "model/Project.h"
#include "model/ProjectFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

using namespace corvalt;

namespace {

// Records × conductors of a cross section the target computes in full, and
// the share of that the design tools get (they compute it many times over).
constexpr double kMostWork = 2e6;
constexpr double kMostDesignWork = 2e4;
constexpr int kMostSearchedCircuits = 3;

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireFinite(const std::optional<float>& value) {
    Require(!value || std::isfinite(*value));
}

void CheckResults(const TScenario& scenario, bool computed) {
    Require(computed == scenario.CalcError.empty());
    if (!computed) {
        Require(scenario.Results.empty());
        return;
    }
    Require(!scenario.Results.empty());
    for (const TCalcResult& r : scenario.Results) {
        Require(std::isfinite(r.Dist) && std::isfinite(r.DistM));
        for (const std::optional<float>* value : {&r.EMax, &r.BMax, &r.AnFairL50, &r.AnRainL50,
                                                  &r.TviRain, &r.RiFair, &r.RiRain, &r.Ozone})
            RequireFinite(*value);
    }
    for (const TInterestPoint& point : scenario.InterestPoints)
        Require(scenario.ResultAt(point.ResultIndex) != nullptr);
}

void Optimise(const TScenario& scenario) {
    TPhasingRequest request;
    request.Objective = TPhasingObjective::Weighted;
    request.Weights = {0.01, 1, 1};
    request.Top = 3;
    const TPhasingSearch search = OptimisePhasing(scenario, request);
    if (search.Outcome == TSearchOutcome::Failed) {
        Require(!search.Message.empty());
        return;
    }
    Require(search.Outcome == TSearchOutcome::Done);
    Require(search.Ranked.size() <= static_cast<std::size_t>(request.Top));
    for (const TArrangement& arrangement : search.Ranked) {
        Require(arrangement.Orders.size() == search.Circuits.size());
        RequireFinite(arrangement.Values.EdgeBMg);
        RequireFinite(arrangement.Values.EdgeEKvPerM);
        RequireFinite(arrangement.Values.RowEKvPerM);
    }
}

void Solve(const TScenario& scenario) {
    const std::optional<int> circuit =
        scenario.Circuits.Empty() ? std::nullopt : std::optional<int>(0);
    const TClearance clearance = SolveClearance(scenario, circuit, DefaultFieldLimits());
    if (clearance.Outcome == TClearanceOutcome::Failed) {
        Require(!clearance.Message.empty());
        return;
    }
    Require(std::isfinite(clearance.RaiseShown) && clearance.RaiseShown >= 0);
    for (const TLimitCheck& check : clearance.After)
        RequireFinite(check.Value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TEmfProject project;
    if (!ReadProjectBytes(std::span(data, size), project).Ok) return 0;
    for (TScenario& scenario : project.Scenarios) {
        const auto inputs = FieldInputsOf(scenario);
        const auto* fields = std::get_if<TFieldInputs>(&inputs);
        const double work =
            fields == nullptr ? 0
                              : static_cast<double>(fields->Layout.Records.size()) *
                                    static_cast<double>(std::max<std::size_t>(fields->System.size(), 1));
        if (work > kMostWork) continue;
        CheckResults(scenario, ComputeScenario(scenario));
        if (work > kMostDesignWork) continue;
        if (PhasedCircuits(scenario).size() <= kMostSearchedCircuits) Optimise(scenario);
        Solve(scenario);
    }
    return 0;
}
