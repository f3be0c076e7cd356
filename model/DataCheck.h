#pragma once
// The data check run before a project is computed: it looks for geometry that
// would make the field computation meaningless (conductors at zero height or
// below ground, without diameter or sub-conductors, bundles without spacing,
// two conductors whose outer circles overlap, cross sections without
// conductors). Its findings are data; the error window and the command line
// show them.

#include <string>
#include <vector>

namespace corvalt {

class TEmfProject;
class TScenario;

// What a line of the findings is about, by position in the project: the
// cross section's index in Scenarios, the circuit's in its Circuits and the
// conductor's in its circuit's Conductors; -1 where the line is about less.
struct TCheckPlace {
    int Scenario = -1;
    int Circuit = -1;
    int Conductor = -1;
    bool operator==(const TCheckPlace&) const = default;
};

// One line of the findings: level 0 project or cross section, 1 circuit or
// cross-section error, 2 conductor error.
struct TCheckLine {
    int Level = 0;
    std::string Text;
    bool IsError = false;
    TCheckPlace Place = {};

    // The line with its level digit in front, e.g. "2Conductor '1A1' has a 0 height".
    std::string Line() const { return std::to_string(Level) + Text; }
};

// Every cross section and circuit heading with the errors under them, in order.
std::vector<TCheckLine> CheckProject(const TEmfProject& project);
// The lines CheckProject gives for one cross section, the one at `index` of
// the project's Scenarios (the index their places name).
std::vector<TCheckLine> CheckCrossSection(const TScenario& scenario, int index);

bool HasErrors(const std::vector<TCheckLine>& lines);

// One node of the error window's tree, built from the line of the same index.
struct TCheckNode {
    int Parent = -1;       // index of the parent node; -1 at the top level
    bool Expanded = false; // nodes above a conductor error are expanded
};

// Places each line: level 0 at the top level, level 1 under the last level-0
// node, level 2 under the last level-1 node (which, with its level-0 node, is
// then expanded). A line whose parent level has not appeared yet goes under
// the nearest level that has.
std::vector<TCheckNode> CheckTree(const std::vector<TCheckLine>& lines);

} // namespace corvalt
