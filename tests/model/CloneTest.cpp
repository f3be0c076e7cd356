#include "TestProject.h"

#include "model/Clone.h"

#include <gtest/gtest.h>

using namespace corvalt;
using namespace corvalt::test;

TEST(Clone, CrossSectionCopiesEverythingButItsTitles) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        auto project = MakeRichProject(units);
        SetSiteParameters(project->Scenarios[0]);
        const TScenario& source = project->Scenarios[0];
        std::unique_ptr<TScenario> copy = CloneScenario(source);
        EXPECT_EQ(copy->Project, project.get());
        EXPECT_EQ(copy->TabTitle, "(Clone)");
        EXPECT_EQ(copy->Title, "Bay Ridge to Palm (Clone)");
        copy->TabTitle = source.TabTitle;
        copy->Title = source.Title;
        ExpectSameScenario(source, *copy, units == English ? 2 : 0);
        EXPECT_EQ(copy->ConductorCount(), source.ConductorCount());
        EXPECT_EQ(project->Scenarios[0].ConductorCount(), 8); // the source is untouched
    }
}

TEST(Clone, CircuitIsRenumberedAndJoinsTheFlatList) {
    auto project = MakeRichProject(English);
    TScenario& line = project->Scenarios[0];
    const TCircuit& source = line.Circuits[1]; // number 2
    std::unique_ptr<TCircuit> copy = CloneCircuit(source);
    EXPECT_EQ(copy->Name, "(Clone)");
    EXPECT_EQ(copy->Number, 3);
    std::string ids;
    for (const TConductor& conductor : copy->Conductors)
        ids += conductor.Id + " ";
    EXPECT_EQ(ids, "3A1 3A2 3B1 ");
    ExpectSameCircuit(source, *copy, 2, false);
    EXPECT_EQ(line.ConductorCount(), 8 + 3);
    EXPECT_EQ(copy->Conductors[2].AcFlag, 0);
    line.Circuits.Add(std::move(copy));
    EXPECT_EQ(line.NextCircuitNumber(), 4);
}

TEST(Clone, ConductorIdsLoseTheirLeadingDigitsOnly) {
    EXPECT_EQ(RenumberedConductorId("1A2", 3), "3A2");
    EXPECT_EQ(RenumberedConductorId("12G1", 7), "7G1");
    EXPECT_EQ(RenumberedConductorId("Left 1", 4), "4Left 1");
    EXPECT_EQ(RenumberedConductorId("", 5), "5");
    EXPECT_EQ(RenumberedConductorId("9" + std::string(254, 'x'), 100).size(), 255u);
}

TEST(Clone, ACopyThatCannotBeWrittenIsRefusedWholeNotCutShort) {
    // 5e29 m is 1.64e30 ft, beyond what a project file holds: once the project
    // is English the record cannot be written, and no partial copy is made.
    auto project = MakeRichProject(Metric);
    TScenario& line = project->Scenarios[0];
    line.Circuits[1].Conductors[0].Height = 5e29f;
    ASSERT_NE(CloneScenario(line), nullptr);
    project->Units = English;
    const std::size_t conductors = line.Conductors.size();
    EXPECT_EQ(CloneScenario(line), nullptr);
    EXPECT_EQ(CloneCircuit(line.Circuits[1]), nullptr);
    EXPECT_NE(CloneCircuit(line.Circuits[0]), nullptr); // its values all fit
    EXPECT_EQ(line.Conductors.size(), conductors); // no conductor of a failed copy left behind
}
