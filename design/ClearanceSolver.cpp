#include "design/ClearanceSolver.h"

#include "compute/Compute.h"
#include "design/ProfileTrial.h"
#include "model/Project.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <variant>

namespace corvalt {
namespace {

// Raises are counted in hundredths of the display unit.
constexpr int kStepsPerUnit = 100;

float RaiseOfSteps(int steps) {
    return static_cast<float>(steps) / kStepsPerUnit;
}

std::vector<int> RaisedCircuits(const TScenario& scenario, std::optional<int> circuit) {
    if (circuit) return {*circuit};
    std::vector<int> all(static_cast<std::size_t>(scenario.Circuits.Count()));
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<int>(i);
    return all;
}

bool IsRaised(const TConductor& conductor) {
    return conductor.Height > 0;
}

// The cross section's field computation with some circuits raised: its inputs
// once, then the checks at each raise.
class TRaiseEvaluator {
  public:
    TRaiseEvaluator(const TScenario& scenario, std::span<const int> circuits,
                    const TFieldLimits& limits)
        : scenario_(scenario), limits_(limits.For(LimitClassOf(scenario))), trial_(scenario, true) {
        if (!trial_.Message().empty()) return;
        for (std::size_t j = 0; j < scenario.Conductors.size(); ++j) {
            const TConductor& conductor = *scenario.Conductors[j];
            const bool inRaised = std::any_of(circuits.begin(), circuits.end(), [&](int index) {
                return &scenario.Circuits[index] == conductor.Circuit;
            });
            if (inRaised && IsRaised(conductor)) raised_.push_back(j);
        }
    }

    const std::string& Message() const { return trial_.Message(); }

    TRaisedChecks Checks(float raiseShown, std::stop_token stop = {}) const {
        if (!trial_.Message().empty()) return {std::nullopt, trial_.Message()};
        std::vector<TSystemConductor> system = trial_.Inputs().System;
        const int units = scenario_.Project->Units;
        for (const std::size_t j : raised_)
            system[j].YM = RaisedHeightM(scenario_.Conductors[j]->Height, raiseShown, units);
        return trial_.Checks(std::move(system), limits_, std::move(stop));
    }

  private:
    const TScenario& scenario_;
    TClassLimits limits_;
    TProfileTrial trial_;
    std::vector<std::size_t> raised_; // the conductors that rise, in the system's order
};

// The search for the smallest number of hundredths at which the checks hold.
class TRaiseSearch {
  public:
    TRaiseSearch(const TRaiseEvaluator& evaluator, int maxSteps, const TClearanceProgress& progress,
                 std::stop_token stop)
        : evaluator_(evaluator), maxSteps_(maxSteps), progress_(progress), stop_(std::move(stop)) {}

    // The checks at steps hundredths, one trial: told to the progress
    // callback first, and not computed once stop was requested (Cancelled).
    TRaisedChecks ChecksAt(int steps) {
        if (progress_ && !stop_.stop_requested())
            progress_(std::min(1.0, static_cast<double>(steps) / maxSteps_));
        TRaisedChecks checks;
        if (!stop_.stop_requested()) checks = evaluator_.Checks(RaiseOfSteps(steps), stop_);
        cancelled_ = stop_.stop_requested();
        return checks;
    }

    // Whether the checks hold at steps hundredths; nothing when the cross
    // section cannot be computed there (message_ says why) or stop was requested.
    std::optional<bool> HoldsAt(int steps) {
        TRaisedChecks checks = ChecksAt(steps);
        if (cancelled_) return std::nullopt;
        if (!checks.Checks) {
            message_ = checks.Message;
            return std::nullopt;
        }
        return AllChecksHold(*checks.Checks);
    }

    // The smallest step count above from (which fails) that holds, stepping a
    // whole display unit at a time and bisecting the step that first holds;
    // 0 when none up to maxSteps does, nothing on failure or Cancel.
    std::optional<int> FirstHolding(int from) {
        int below = from;
        while (below < maxSteps_) {
            const int next = std::min(below + kStepsPerUnit, maxSteps_);
            const std::optional<bool> holds = HoldsAt(next);
            if (!holds) return std::nullopt;
            if (*holds) return Bisect(below, next);
            below = next;
        }
        return 0;
    }

    bool Cancelled() const { return cancelled_; }
    const std::string& Message() const { return message_; }

  private:
    // fails fails and holds holds; narrows them to neighbours.
    std::optional<int> Bisect(int fails, int holds) {
        while (holds - fails > 1) {
            const int middle = fails + (holds - fails) / 2;
            const std::optional<bool> result = HoldsAt(middle);
            if (!result) return std::nullopt;
            (*result ? holds : fails) = middle;
        }
        return holds;
    }

    const TRaiseEvaluator& evaluator_;
    int maxSteps_;
    TClearanceProgress progress_;
    std::stop_token stop_;
    bool cancelled_ = false;
    std::string message_;
};

TClearance Failed(TClearance clearance, std::string message) {
    clearance.Outcome = TClearanceOutcome::Failed;
    clearance.Message = std::move(message);
    return clearance;
}

// No raise, and no checks that could be taken for the cross section's.
TClearance Cancelled(TClearance clearance) {
    clearance.Outcome = TClearanceOutcome::Cancelled;
    clearance.RaiseShown = 0;
    clearance.Before.clear();
    clearance.After.clear();
    return clearance;
}

} // namespace

float RaisedHeightM(float heightM, float raiseShown, int units) {
    return LengthFromDisplay(units, DisplayLength(units, heightM) + raiseShown);
}

void ApplyRaise(TScenario& scenario, std::span<const int> circuits, float raiseShown) {
    const int units = scenario.Project->Units;
    for (const int index : circuits)
        for (TConductor& conductor : scenario.Circuits[index].Conductors)
            if (IsRaised(conductor))
                conductor.Height = RaisedHeightM(conductor.Height, raiseShown, units);
}

TRaisedChecks ChecksWithRaise(const TScenario& scenario, std::span<const int> circuits,
                              float raiseShown, const TFieldLimits& limits) {
    return TRaiseEvaluator(scenario, circuits, limits).Checks(raiseShown);
}

TClearance SolveClearance(const TScenario& scenario, std::optional<int> circuit,
                          const TFieldLimits& limits, const TClearanceProgress& progress,
                          std::stop_token stop) {
    TClearance clearance;
    clearance.Class = LimitClassOf(scenario);
    if (circuit && (*circuit < 0 || *circuit >= scenario.Circuits.Count()))
        return Failed(std::move(clearance), "the cross section has no such circuit");
    if (scenario.Circuits.Empty())
        return Failed(std::move(clearance), "the cross section has no circuit to raise");
    clearance.Circuits = RaisedCircuits(scenario, circuit);

    const TRaiseEvaluator evaluator(scenario, clearance.Circuits, limits);
    const int units = scenario.Project->Units;
    const int maxSteps =
        static_cast<int>(std::lround(DisplayLength(units, kMaxRaiseM) * kStepsPerUnit));
    TRaiseSearch search(evaluator, maxSteps, progress, std::move(stop));
    TRaisedChecks before = search.ChecksAt(0);
    if (search.Cancelled()) return Cancelled(std::move(clearance));
    if (!before.Checks) return Failed(std::move(clearance), before.Message);
    clearance.Before = *std::move(before.Checks);
    if (AllChecksHold(clearance.Before)) {
        clearance.Outcome = TClearanceOutcome::Holds;
        clearance.After = clearance.Before;
        return clearance;
    }

    const std::optional<int> steps = search.FirstHolding(0);
    if (search.Cancelled()) return Cancelled(std::move(clearance));
    if (!steps) return Failed(std::move(clearance), search.Message());
    const int found = *steps == 0 ? maxSteps : *steps;
    clearance.RaiseShown = RaiseOfSteps(found);
    TRaisedChecks after = search.ChecksAt(found);
    if (search.Cancelled()) return Cancelled(std::move(clearance));
    if (!after.Checks) return Failed(std::move(clearance), after.Message);
    clearance.After = *std::move(after.Checks);
    // The search only reports a raise it saw hold; the check says so again.
    const bool holds = *steps != 0 && AllChecksHold(clearance.After);
    clearance.Outcome = holds ? TClearanceOutcome::Raised : TClearanceOutcome::NotAchievable;
    return clearance;
}

} // namespace corvalt
