#pragma once
// How much one cross section, and one project, may hold. The limits lie far
// above any real line or substation; they bound the work of a computation,
// which grows with the cube of the conductors, and the memory a project file
// and its results can claim (a report of the whole project holds the results
// of every cross section, up to 7.7 MB each). The project reader refuses a
// file beyond them, the dialogs stop at them, and the computation refuses a
// cross section beyond them.

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

// "more conductors than Corvalt supports (at most 500 in one cross section)",
// and the same for points of interest and circuits: the core of every message
// about a limit.
std::string TooManyConductorsText();
std::string TooManyInterestPointsText();
std::string TooManyCircuitsText();
// "more cross sections than Corvalt supports (at most 100 in one project)"
std::string TooManyCrossSectionsText();

// For the dialogs: empty when the cross section can take what would be added,
// else the message to show ("The cross section would have more conductors
// than Corvalt supports (...).").
std::optional<std::string> RoomForConductors(const TScenario& scenario, int added);
std::optional<std::string> RoomForCircuit(const TScenario& scenario, int conductors);
std::optional<std::string> RoomForInterestPoint(const TScenario& scenario);
// "The project would have more cross sections than ..." when it cannot take one more.
std::optional<std::string> RoomForCrossSection(const TEmfProject& project);

} // namespace corvalt
