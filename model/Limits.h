#pragma once
// How much one cross section, and one project, may hold. The limits lie far
// above any real line or substation; they bound the work of a computation,
// which grows with the cube of the conductors, and the memory a project file
// and its results can claim (a report of the whole project holds the results
// of every cross section, up to 7.7 MB each). The project reader refuses a
// file beyond them, the dialogs stop at them, and the computation refuses a
// cross section beyond them.

#include <cstddef>
#include <optional>
#include <string>

namespace corvalt {

class TEmfProject;
class TScenario;

inline constexpr int kMaxConductorsPerSection = 500;
inline constexpr int kMaxInterestPointsPerSection = 1000;
// Circuit numbers are bytes: with at most 255 circuits each has its own.
inline constexpr int kMaxCircuitsPerSection = 255;
inline constexpr int kMaxCrossSectionsPerProject = 100;
// No stored value of a real project comes near this: a float field of a
// project file whose value (as the float it becomes, in the units of the file
// and in those the model keeps) is larger is damage, and refusing it keeps
// every unit conversion finite.
inline constexpr float kLargestStoredValue = 1e30f;

// How much a project's plans (field maps in three dimensions) may hold. The
// pieces bound the work of a map (its charge system is dense: 20,000 pieces
// take 3.2 GB), the grid points its memory and output; the others bound what a
// project file or a model can claim before the pieces are counted.
inline constexpr int kMaxPlans = 1000;                 // in one project
inline constexpr int kMaxPlanConductors = 2000;        // in one plan
inline constexpr int kMaxPathPoints = 20001;           // of one conductor
inline constexpr int kMaxFootprints = 1000;            // in one plan
inline constexpr int kMaxFootprintCorners = 1000;      // of one footprint
inline constexpr int kMaxMapPieces = 20000;            // straight pieces after subdivision
inline constexpr long long kMaxMapGridPoints = 4000000;
inline constexpr int kMaxPlanSubConductors = 255;      // of one bundle
inline constexpr std::size_t kMaxPlanTextLength = 255; // a plan's name, an id, a footprint's name
inline constexpr std::size_t kMaxMapModelBytes = std::size_t{64} << 20; // a model's JSON file

// "more conductors than Corvalt supports (at most 500 in one cross section)",
// and the same for points of interest and circuits: the core of every message
// about a limit.
std::string TooManyConductorsText();
std::string TooManyInterestPointsText();
std::string TooManyCircuitsText();
// "more cross sections than Corvalt supports (at most 100 in one project)"
std::string TooManyCrossSectionsText();
// The same for plans in a project, and for a plan's conductors, straight
// pieces (before subdivision), footprints and a footprint's corners.
std::string TooManyPlansText();
std::string TooManyPlanConductorsText();
std::string TooManyPlanPiecesText();
std::string TooManyFootprintsText();
std::string TooManyFootprintCornersText();

// For the dialogs: empty when the cross section can take what would be added,
// else the message to show ("The cross section would have more conductors
// than Corvalt supports (...).").
std::optional<std::string> RoomForConductors(const TScenario& scenario, int added);
std::optional<std::string> RoomForCircuit(const TScenario& scenario, int conductors,
                                          int circuits = 1);
std::optional<std::string> RoomForInterestPoint(const TScenario& scenario);
// "The project would have more cross sections than ..." when it cannot take one more.
std::optional<std::string> RoomForCrossSection(const TEmfProject& project);
// "The project would have more plans than ..." when it cannot take a plan of
// that name (one of the name already there is replaced, so there is room).
std::optional<std::string> RoomForPlan(const TEmfProject& project, const std::string& name);

} // namespace corvalt
