#include "TestProject.h"

#include "model/DataCheck.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace corvalt;

namespace {

struct TConductorSpec {
    const char* id;
    float x, height; // m
    float diameter;  // mm
    int subCount;
    float spacing; // cm
};

TScenario& AddScenario(TEmfProject& project, const char* tab, const char* title) {
    TScenario& scenario = test::AddScenario(project);
    scenario.TabTitle = tab;
    scenario.Title = title;
    return scenario;
}

TCircuit& AddCircuit(TScenario& scenario, const char* name, float x,
                     std::initializer_list<TConductorSpec> conductors) {
    auto circuit = std::make_unique<TCircuit>(scenario);
    circuit->Name = name;
    circuit->DistFromRowLeft = x;
    for (const TConductorSpec& spec : conductors) {
        auto conductor = std::make_unique<TConductor>(scenario, *circuit);
        conductor->Id = spec.id;
        conductor->HorizDistance = spec.x;
        conductor->Height = spec.height;
        conductor->Diameter = spec.diameter;
        conductor->SubCondCount = static_cast<std::uint8_t>(spec.subCount);
        conductor->SubSpacing = spec.spacing;
        circuit->AddConductor(std::move(conductor));
    }
    scenario.Circuits.Add(std::move(circuit));
    return scenario.Circuits[scenario.Circuits.Count() - 1];
}

std::vector<std::string> Lines(const std::vector<TCheckLine>& lines) {
    std::vector<std::string> texts;
    for (const TCheckLine& line : lines)
        texts.push_back((line.IsError ? "! " : "  ") + line.Line());
    return texts;
}

} // namespace

TEST(DataCheck, ProjectWithoutCrossSections) {
    TEmfProject project;
    const std::vector<TCheckLine> lines = CheckProject(project);
    EXPECT_EQ(Lines(lines), (std::vector<std::string>{"! 0Project has no CrossSections."}));
    EXPECT_TRUE(HasErrors(lines));
}

TEST(DataCheck, FindingsInOrderUnderTheirHeadings) {
    TEmfProject project;
    project.Units = English;
    TScenario& empty = AddScenario(project, "A", "Empty section");
    AddCircuit(empty, "No wires", 0, {}); // circuits without conductors: no headings
    TScenario& line = AddScenario(project, "B", "Line");
    AddCircuit(line, "West", -10,
               {{"1A1", 0, 0, 0, 0, 0},          // height, diameter, sub-conductors
                {"1B1", 5, 12, 28.1f, 1, 0},     // a single conductor needs no spacing
                {"1C1", 10, 12, 28.1f, 2, 0},    // a bundle does
                {"1G1", 0, -1.5f, 9.5f, 1, 0},   // below ground, and still checked
                {"1G1", 0, -1.5f, 9.5f, 1, 0}}); // same id, same place: not an overlap
    AddCircuit(line, "Empty", 0, {});
    AddCircuit(line, "East", 0, {{"2A1", -5, 12, 28.1f, 1, 0}}); // x -5: where 1B1 is
    const std::vector<TCheckLine> lines = CheckProject(project);
    EXPECT_EQ(Lines(lines), (std::vector<std::string>{
                                "  0CrossSection: A- Empty section",
                                "! 1No Conductors.",
                                "  0CrossSection: B- Line",
                                "  1Circuit West",
                                "! 2Conductor '1A1' has a 0 height",
                                "! 2Conductor '1A1' has a Diameter <= 0",
                                "! 2Conductor '1A1' has <= 0 SubConductors",
                                "! 2Conductor '1B1' occupies same space as '2A1' of Circuit 'East'",
                                "! 2Conductor '1C1' has SubConductor Spacing = 0",
                                "! 2Conductor '1G1' is below ground",
                                "! 2Conductor '1G1' is below ground",
                                "  1Circuit Empty",
                                "  1Circuit East",
                                "! 2Conductor '2A1' occupies same space as '1B1' of Circuit 'West'",
                            }));
}

TEST(DataCheck, ConductorsWhoseOuterCirclesMeetOccupyTheSameSpace) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& line = AddScenario(project, "T", "Crowded");
    // 28.1 mm conductors reach 14.05 mm from their centres, the 2-bundle of 30 mm
    // at 45 cm 22.5 + 1.5 = 24 cm, the 9.5 mm ground wire 4.75 mm.
    AddCircuit(line, "West", 0,
               {{"1A1", 0, 12, 28.1f, 1, 0},
                {"1B1", 0.02f, 12, 28.1f, 1, 0},    // 2 cm from 1A1 < 2.81 cm
                {"1C1", 5, 12, 30, 2, 45},          // the bundle
                {"1G1", 5.2f, 12.1f, 9.5f, 1, 0}}); // 22.36 cm from its centre < 24.475 cm
    AddCircuit(line, "East", 0,
               {{"2A1", 0.01f, 12.01f, 28.1f, 1, 0}, // 1.41 cm from 1A1 and from 1B1
                {"2B1", 5.5f, 12, 28.1f, 1, 0},      // 50 cm from the bundle: clear
                {"2C1", 20, 12, 28.1f, 1, 0},
                {"2D1", 20.03f, 12, 28.1f, 1, 0}}); // 3 cm > 2.81 cm: clear
    // Each conductor names the first conductor in the cross section's list that
    // it overlaps: 1A1 overlaps 1B1 and 2A1, and 1B1 comes first.
    EXPECT_EQ(Lines(CheckProject(project)),
              (std::vector<std::string>{
                  "  0CrossSection: T- Crowded",
                  "  1Circuit West",
                  "! 2Conductor '1A1' occupies same space as '1B1' of Circuit 'West'",
                  "! 2Conductor '1B1' occupies same space as '1A1' of Circuit 'West'",
                  "! 2Conductor '1C1' occupies same space as '1G1' of Circuit 'West'",
                  "! 2Conductor '1G1' occupies same space as '1C1' of Circuit 'West'",
                  "  1Circuit East",
                  "! 2Conductor '2A1' occupies same space as '1A1' of Circuit 'West'",
              }));
}

TEST(DataCheck, EachLineNamesWhatItIsAbout) {
    TEmfProject project;
    AddScenario(project, "A", "Empty section");
    TScenario& line = AddScenario(project, "B", "Line");
    AddCircuit(line, "West", -10, {{"1A1", 0, 12, 28.1f, 1, 0}, {"1B1", 5, 0, 28.1f, 1, 0}});
    AddCircuit(line, "East", 10, {{"2A1", 0, 12, 0, 1, 0}});
    const std::vector<TCheckLine> lines = CheckProject(project);
    // Cross section B is index 1, East circuit 1 of it, 1B1 conductor 1 of West.
    const std::vector<std::pair<std::string, TCheckPlace>> expected = {
        {"  0CrossSection: A- Empty section", {0, -1, -1}},
        {"! 1No Conductors.", {0, -1, -1}},
        {"  0CrossSection: B- Line", {1, -1, -1}},
        {"  1Circuit West", {1, 0, -1}},
        {"! 2Conductor '1B1' has a 0 height", {1, 0, 1}},
        {"  1Circuit East", {1, 1, -1}},
        {"! 2Conductor '2A1' has a Diameter <= 0", {1, 1, 0}},
    };
    ASSERT_EQ(Lines(lines).size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first);
        EXPECT_EQ(Lines(lines)[i], expected[i].first);
        EXPECT_EQ(lines[i].Place, expected[i].second);
    }
    EXPECT_EQ(CheckProject(TEmfProject()).front().Place, TCheckPlace{});
    // One cross section checked alone gives the project's lines for it, with
    // the places the project's check gives them.
    const std::vector<TCheckLine> alone = CheckCrossSection(line, 1);
    const std::vector<std::string> texts = Lines(lines);
    EXPECT_EQ(Lines(alone), std::vector<std::string>(texts.begin() + 2, texts.end()));
    ASSERT_EQ(alone.size(), std::size_t{5});
    EXPECT_EQ(alone[2].Place, (TCheckPlace{1, 0, 1}));
}

TEST(DataCheck, HeightsCompareInDisplayUnitsAndPositionsInMetres) {
    TEmfProject project;
    project.Units = English;
    TScenario& line = AddScenario(project, "T", "Tiny heights");
    // Exact comparisons: the smallest positive height is not 0 (not even in
    // feet), while minus zero is.
    AddCircuit(line, "C", 0, {{"1A1", 0, 1e-45f, 10, 1, 0}, {"1B1", 3, -0.0f, 10, 1, 0}});
    const std::vector<TCheckLine> lines = CheckProject(project);
    EXPECT_EQ(Lines(lines),
              (std::vector<std::string>{"  0CrossSection: T- Tiny heights", "  1Circuit C",
                                        "! 2Conductor '1B1' has a 0 height"}));
}

TEST(DataCheck, ACleanProjectHasOnlyHeadings) {
    TEmfProject project;
    TScenario& line = AddScenario(project, "T", "Line");
    AddCircuit(line, "C", 0, {{"1A1", -5, 12, 28.1f, 2, 45}, {"1B1", 5, 12, 28.1f, 2, 45}});
    const std::vector<TCheckLine> lines = CheckProject(project);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_FALSE(HasErrors(lines));
}

TEST(DataCheck, TreeNestsLinesAndExpandsOnlyAboveConductorErrors) {
    const std::vector<TCheckLine> lines = {
        {0, "CrossSection: A- a", false},
        {1, "No Conductors.", true},
        {0, "CrossSection: B- b", false},
        {1, "Circuit 1", false},
        {2, "Conductor '1A1' has a 0 height", true},
        {1, "Circuit 2", false},
        {0, "CrossSection: C- c", false},
        {2, "stray conductor line", true},
    };
    const std::vector<TCheckNode> nodes = CheckTree(lines);
    ASSERT_EQ(nodes.size(), lines.size());
    const int parents[] = {-1, 0, -1, 2, 3, 2, -1, 6};
    const bool expanded[] = {false, false, true, true, false, false, true, false};
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        SCOPED_TRACE(lines[i].Text);
        EXPECT_EQ(nodes[i].Parent, parents[i]);
        EXPECT_EQ(nodes[i].Expanded, expanded[i]);
    }
    EXPECT_TRUE(CheckTree({}).empty());
}
