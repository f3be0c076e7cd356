#include "model/Limits.h"

#include "model/Project.h"
#include "model/Scenario.h"

namespace corvalt {
namespace {

std::string TooMany(const char* things, int limit, const char* within = "cross section") {
    return "more " + std::string(things) + " than Corvalt supports (at most " +
           std::to_string(limit) + " in one " + within + ")";
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

std::string TooManyCrossSectionsText() {
    return TooMany("cross sections", kMaxCrossSectionsPerProject, "project");
}

std::string TooManyPlansText() {
    return TooMany("plans", kMaxPlans, "project");
}

std::string TooManyPlanConductorsText() {
    return TooMany("conductors", kMaxPlanConductors, "plan");
}

std::string TooManyPlanPiecesText() {
    return TooMany("straight pieces", kMaxMapPieces, "plan");
}

std::string TooManyFootprintsText() {
    return TooMany("footprints", kMaxFootprints, "plan");
}

std::string TooManyFootprintCornersText() {
    return TooMany("corners", kMaxFootprintCorners, "footprint");
}

std::optional<std::string> RoomForConductors(const TScenario& scenario, int added) {
    if (added > kMaxConductorsPerSection - scenario.ConductorCount())
        return WouldHave(TooManyConductorsText());
    return std::nullopt;
}

std::optional<std::string> RoomForCircuit(const TScenario& scenario, int conductors,
                                          int circuits) {
    if (scenario.Circuits.Count() + circuits > kMaxCircuitsPerSection)
        return WouldHave(TooManyCircuitsText());
    return RoomForConductors(scenario, conductors);
}

std::optional<std::string> RoomForInterestPoint(const TScenario& scenario) {
    if (scenario.InterestPoints.Count() >= kMaxInterestPointsPerSection)
        return WouldHave(TooManyInterestPointsText());
    return std::nullopt;
}

std::optional<std::string> RoomForCrossSection(const TEmfProject& project) {
    if (project.Scenarios.Count() >= kMaxCrossSectionsPerProject)
        return "The project would have " + TooManyCrossSectionsText() + ".";
    return std::nullopt;
}

std::optional<std::string> RoomForPlan(const TEmfProject& project, const std::string& name) {
    if (project.FindPlan(name) == nullptr && project.Plans.size() >= std::size_t{kMaxPlans})
        return "The project would have " + TooManyPlansText() + ".";
    return std::nullopt;
}

} // namespace corvalt
