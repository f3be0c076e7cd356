#include "model/Limits.h"

#include "model/Scenario.h"

namespace corvalt {
namespace {

std::string TooMany(const char* things, int limit) {
    return "more " + std::string(things) + " than Corvalt supports (at most " +
           std::to_string(limit) + " in one cross section)";
}

std::string WouldHave(const std::string& tooMany) {
    return "The cross section would have " + tooMany + ".";
}

} // namespace

std::string TooManyConductorsText() {
    return TooMany("conductors", kMaxConductorsPerSection);
}

std::string TooManyInterestPointsText() {
    return TooMany("points of interest", kMaxInterestPointsPerSection);
}

std::string TooManyCircuitsText() {
    return TooMany("circuits", kMaxCircuitsPerSection);
}

std::optional<std::string> RoomForConductors(const TScenario& scenario, int added) {
    if (added > kMaxConductorsPerSection - scenario.ConductorCount())
        return WouldHave(TooManyConductorsText());
    return std::nullopt;
}

std::optional<std::string> RoomForCircuit(const TScenario& scenario, int conductors) {
    if (scenario.Circuits.Count() >= kMaxCircuitsPerSection)
        return WouldHave(TooManyCircuitsText());
    return RoomForConductors(scenario, conductors);
}

std::optional<std::string> RoomForInterestPoint(const TScenario& scenario) {
    if (scenario.InterestPoints.Count() >= kMaxInterestPointsPerSection)
        return WouldHave(TooManyInterestPointsText());
    return std::nullopt;
}

} // namespace corvalt
