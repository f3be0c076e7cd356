// Snapshots for undo: a restored project holds exactly the values it held when
// the snapshot was taken, in both measurement systems.
#include "TestProject.h"

#include "model/ProjectFile.h"
#include "model/ProjectSnapshot.h"

#include <gtest/gtest.h>

using namespace corvalt;
using namespace corvalt::test;

namespace {

// 0.023 m is 0.07544 ft, and 0.07544 ft read back from a file is 0.0229999982 m
// (÷ 3.28, rounded to float): one float step away. A snapshot must not move it.
constexpr float kDriftingMetres = 0.023f;

std::unique_ptr<TEmfProject> ProjectWithDriftingHeight(int units) {
    std::unique_ptr<TEmfProject> project = MakeRichProject(units);
    project->Scenarios[0].Circuits[0].Conductors[0].Height = kDriftingMetres;
    project->Scenarios[0].RowRight = kDriftingMetres;
    return project;
}

} // namespace

TEST(ProjectSnapshot, EnglishFileRoundTripMovesTheHeightThatSnapshotsKeep) {
    // Why snapshots are not plain project files: the file keeps feet.
    std::unique_ptr<TEmfProject> english = ProjectWithDriftingHeight(English);
    TEmfProject read;
    ASSERT_TRUE(ReadProjectBytes(SerializeProject(*english), read).Ok);
    EXPECT_NE(read.Scenarios[0].Circuits[0].Conductors[0].Height, kDriftingMetres);
}

TEST(ProjectSnapshot, RestoreGivesBackEveryStoredValueExactly) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        std::unique_ptr<TEmfProject> expected = ProjectWithDriftingHeight(units);
        std::unique_ptr<TEmfProject> project = ProjectWithDriftingHeight(units);
        project->FileName = "/data/line.emf";
        project->OriginalData = {1, 2, 3};
        const std::vector<std::uint8_t> before = SerializeProject(*project);

        const TProjectSnapshot snapshot = TakeProjectSnapshot(*project);
        EXPECT_EQ(project->Units, units); // taking it changes nothing
        EXPECT_EQ(SerializeProject(*project), before);

        // Changes of every kind: project texts, units, a cross section gone.
        project->Title = "Changed";
        project->Units = units == English ? Metric : English;
        project->Scenarios[0].Circuits[0].Conductors[0].Height = 30;
        project->Scenarios.Delete(1);

        ASSERT_TRUE(RestoreProjectSnapshot(*project, snapshot).Ok);
        ExpectSameProject(*expected, *project, 0);
        EXPECT_EQ(SerializeProject(*project), before);
        EXPECT_EQ(project->Units, units);
        EXPECT_EQ(project->FileName, "/data/line.emf");
        EXPECT_EQ(project->OriginalData, (std::vector<std::uint8_t>{1, 2, 3}));
        // The objects belong to the project they are in.
        for (const TScenario& scenario : project->Scenarios) {
            EXPECT_EQ(scenario.Project, project.get());
            for (const TCircuit& circuit : scenario.Circuits)
                for (const TConductor& conductor : circuit.Conductors) {
                    EXPECT_EQ(conductor.Circuit, &circuit);
                    EXPECT_EQ(conductor.Scenario, &scenario);
                }
        }
    }
}

TEST(ProjectSnapshot, EqualProjectsGiveEqualSnapshots) {
    std::unique_ptr<TEmfProject> a = MakeRichProject(English);
    std::unique_ptr<TEmfProject> b = MakeRichProject(English);
    EXPECT_EQ(TakeProjectSnapshot(*a), TakeProjectSnapshot(*b));
    b->Scenarios[0].InterestPoints[0].Name += "x";
    EXPECT_NE(TakeProjectSnapshot(*a), TakeProjectSnapshot(*b));
    b = MakeRichProject(English);
    b->Units = Metric; // the same values, shown in another system
    EXPECT_NE(TakeProjectSnapshot(*a), TakeProjectSnapshot(*b));
}

TEST(ProjectSnapshot, UnreadableBytesLeaveTheProjectAsItWas) {
    std::unique_ptr<TEmfProject> project = MakeRichProject(Metric);
    TProjectSnapshot damaged = TakeProjectSnapshot(*project);
    damaged.Bytes.resize(damaged.Bytes.size() / 2);
    const std::vector<std::uint8_t> before = SerializeProject(*project);
    const TFileResult restored = RestoreProjectSnapshot(*project, damaged);
    EXPECT_FALSE(restored.Ok);
    EXPECT_FALSE(restored.Detail.empty()); // what the caller shows
    EXPECT_EQ(SerializeProject(*project), before);
    // A project whose stored value no file holds cannot be copied: said, not
    // an empty project.
    project->Scenarios[0].Circuits[0].Conductors[0].Height = 2e30f;
    EXPECT_EQ(CopyProject(*project), nullptr);
}
