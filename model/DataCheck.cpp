#include "model/DataCheck.h"

#include "model/Bundle.h"
#include "model/Overlap.h"
#include "model/Project.h"

#include <algorithm>
#include <unordered_map>

namespace corvalt {
namespace {

class TChecker {
  public:
    // What the following lines are about.
    TCheckPlace Place;

    void Context(int level, std::string text) {
        lines_.push_back({level, std::move(text), false, Place});
    }
    void Error(int level, std::string text) {
        lines_.push_back({level, std::move(text), true, Place});
    }
    std::vector<TCheckLine> Take() { return std::move(lines_); }

  private:
    std::vector<TCheckLine> lines_;
};

std::string Quoted(const std::string& id) {
    return "'" + id + "'";
}

// The outer circle of a conductor in internal metres.
TConductorCircle CircleOf(const TConductor& c) {
    return {c.AbsoluteX(), c.Height,
            ConductorOuterRadiusM(c.SubCondCount, c.Diameter, c.SubSpacing)};
}

// For each conductor of the cross section, the first other conductor in list
// order that occupies the same space: a different id (byte for byte), and an
// outer circle that meets its own or the same absolute x (internal metres) and
// the same displayed height. A sweep over x keeps this near N log N.
std::unordered_map<const TConductor*, const TConductor*>
OverlappingConductors(const TScenario& scenario) {
    const std::vector<TConductor*>& list = scenario.Conductors;
    std::vector<TConductorCircle> circles;
    circles.reserve(list.size());
    for (const TConductor* c : list)
        circles.push_back(CircleOf(*c));
    std::vector<int> first(list.size(), -1); // index of the first partner
    const auto note = [&](int k, int other) {
        int& partner = first[static_cast<std::size_t>(k)];
        if (partner < 0 || other < partner) partner = other;
    };
    ForEachPairMeetingInX(circles, [&](int i, int j) {
        const TConductor& a = *list[static_cast<std::size_t>(i)];
        const TConductor& b = *list[static_cast<std::size_t>(j)];
        if (a.Id == b.Id) return;
        const bool samePlace =
            a.AbsoluteX() == b.AbsoluteX() && a.DisplayHeight() == b.DisplayHeight();
        if (!samePlace && !CirclesMeet(circles[static_cast<std::size_t>(i)],
                                       circles[static_cast<std::size_t>(j)]))
            return;
        note(i, j);
        note(j, i);
    });
    std::unordered_map<const TConductor*, const TConductor*> overlaps;
    for (std::size_t k = 0; k < list.size(); ++k)
        if (first[k] >= 0) overlaps[list[k]] = list[static_cast<std::size_t>(first[k])];
    return overlaps;
}

void CheckConductor(TChecker& check, const TConductor& conductor, const TConductor* overlapping) {
    const std::string name = "Conductor " + Quoted(conductor.Id);
    if (conductor.DisplayHeight() == 0) check.Error(2, name + " has a 0 height");
    // The field computation places images below ground; a conductor there would
    // meet its own image.
    if (conductor.Height < 0) check.Error(2, name + " is below ground");
    if (conductor.DisplayDiameter() <= 0) check.Error(2, name + " has a Diameter <= 0");
    if (conductor.SubCondCount == 0) check.Error(2, name + " has <= 0 SubConductors");
    if (conductor.SubCondCount > 1 && conductor.DisplaySubSpacing() == 0)
        check.Error(2, name + " has SubConductor Spacing = 0");
    if (overlapping)
        check.Error(2, name + " occupies same space as " + Quoted(overlapping->Id) +
                           " of Circuit " + Quoted(overlapping->Circuit->Name));
}

void CheckScenario(TChecker& check, const TScenario& scenario) {
    check.Context(0, "CrossSection: " + scenario.TabTitle + "- " + scenario.Title);
    if (scenario.Conductors.empty()) {
        check.Error(1, "No Conductors.");
        return;
    }
    const auto overlaps = OverlappingConductors(scenario);
    for (int c = 0; c < scenario.Circuits.Count(); ++c) {
        const TCircuit& circuit = scenario.Circuits[c];
        check.Place.Circuit = c;
        check.Place.Conductor = -1;
        check.Context(1, "Circuit " + circuit.Name);
        for (int k = 0; k < circuit.Conductors.Count(); ++k) {
            check.Place.Conductor = k;
            const TConductor& conductor = circuit.Conductors[k];
            const auto overlap = overlaps.find(&conductor);
            CheckConductor(check, conductor, overlap == overlaps.end() ? nullptr : overlap->second);
        }
    }
}

} // namespace

std::vector<TCheckLine> CheckProject(const TEmfProject& project) {
    TChecker check;
    if (project.Scenarios.Empty()) check.Error(0, "Project has no CrossSections.");
    for (int s = 0; s < project.Scenarios.Count(); ++s) {
        check.Place = TCheckPlace{s, -1, -1};
        CheckScenario(check, project.Scenarios[s]);
    }
    return check.Take();
}

std::vector<TCheckLine> CheckCrossSection(const TScenario& scenario, int index) {
    TChecker check;
    check.Place = TCheckPlace{index, -1, -1};
    CheckScenario(check, scenario);
    return check.Take();
}

bool HasErrors(const std::vector<TCheckLine>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const TCheckLine& line) { return line.IsError; });
}

std::vector<TCheckNode> CheckTree(const std::vector<TCheckLine>& lines) {
    std::vector<TCheckNode> nodes(lines.size());
    int section = -1; // current level-0 node
    int circuit = -1; // current level-1 node of that section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int index = static_cast<int>(i);
        switch (std::clamp(lines[i].Level, 0, 2)) {
        case 0:
            section = index;
            circuit = -1;
            break;
        case 1:
            nodes[i].Parent = section;
            circuit = index;
            break;
        default:
            nodes[i].Parent = circuit >= 0 ? circuit : section;
            if (section >= 0) nodes[static_cast<std::size_t>(section)].Expanded = true;
            if (circuit >= 0) nodes[static_cast<std::size_t>(circuit)].Expanded = true;
            break;
        }
    }
    return nodes;
}

} // namespace corvalt
