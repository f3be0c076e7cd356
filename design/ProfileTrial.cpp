#include "design/ProfileTrial.h"

#include "model/Project.h"

#include <utility>
#include <variant>

namespace corvalt {

TProfileTrial::TProfileTrial(const TScenario& scenario, bool withPoints) : scenario_(scenario) {
    std::variant<TFieldInputs, TCalcFailure> inputs = FieldInputsOf(scenario);
    if (const TCalcFailure* failure = std::get_if<TCalcFailure>(&inputs)) {
        message_ = CalcErrorMessage(scenario.TabTitle, *failure);
        return;
    }
    inputs_ = std::get<TFieldInputs>(std::move(inputs));
    places_.RowLeftM = scenario.RowLeft;
    places_.RowRightM = scenario.RowRight;
    places_.RowLeftResult = inputs_.Layout.RowLeftResult;
    places_.RowRightResult = inputs_.Layout.RowRightResult;
    if (withPoints) places_.PointResults = inputs_.Layout.PointResults;
}

TTrialChecks TProfileTrial::Checks(std::vector<TSystemConductor> system, const TClassLimits& limits,
                                   std::stop_token stop) const {
    return SolveAndCheck(system, limits, std::move(stop));
}

TTrialChecks TProfileTrial::SolveAndCheck(std::vector<TSystemConductor>& system,
                                          const TClassLimits& limits, std::stop_token stop) const {
    if (!message_.empty()) return {std::nullopt, message_};
    PrepareConductorSystem(system);
    TCalcResults records = inputs_.Layout.Records;
    if (const auto failure = ComputeProfileFields(scenario_, system, records, stop))
        return {std::nullopt, CalcErrorMessage(scenario_.TabTitle, *failure)};
    return {EvaluateProfile(records, places_, limits), {}};
}

} // namespace corvalt
