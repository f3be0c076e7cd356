#pragma once
// The field part of a cross section's computation with its inputs formed once
// (the conductor system and the profile's records), run again on changed
// copies of the conductor system: what the design tools try (other phasings,
// raised circuits). Each trial gives the checks of the field limits, or the
// reason the profile cannot be computed.

#include "compute/Compute.h"
#include "limits/FieldLimits.h"

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;

// The checks of one trial (EvaluateProfile), or the reason it failed.
struct TTrialChecks {
    std::optional<std::vector<TLimitCheck>> Checks;
    std::string Message;
};

class TProfileTrial {
  public:
    // withPoints: the checks include the points of interest after the ROW's.
    TProfileTrial(const TScenario& scenario, bool withPoints);

    // Not empty when the cross section cannot be computed at all.
    const std::string& Message() const { return message_; }
    const TFieldInputs& Inputs() const { return inputs_; }

    // The checks against limits of the profile computed with system, a changed
    // copy of Inputs().System in the same order. A requested stop ends it
    // without checks (the computation's fault Cancelled).
    TTrialChecks Checks(std::vector<TSystemConductor> system, const TClassLimits& limits,
                        std::stop_token stop = {}) const;
    // The same, leaving in system the conductors as the trial solved them
    // (charges and surface gradients), for values beyond the fields'.
    TTrialChecks SolveAndCheck(std::vector<TSystemConductor>& system, const TClassLimits& limits,
                               std::stop_token stop = {}) const;

  private:
    const TScenario& scenario_;
    TFieldInputs inputs_;
    TProfilePlaces places_;
    std::string message_;
};

} // namespace corvalt
