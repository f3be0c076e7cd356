// The limits of one cross section and of a project: the project reader refuses
// a file beyond them with its own message, and the checks the dialogs ask stop
// at them.
#include "model/Limits.h"
#include "model/Messages.h"
#include "model/NewCircuit.h"
#include "model/Project.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace corvalt;

namespace {

constexpr const char* kTooManyConductors =
    "The project has more conductors than Corvalt supports (at most 500 in one cross section).";
constexpr const char* kTooManyPoints = "The project has more points of interest than Corvalt "
                                       "supports (at most 1000 in one cross section).";
constexpr const char* kTooManyCircuits =
    "The project has more circuits than Corvalt supports (at most 255 in one cross section).";

TScenario& AddScenario(TEmfProject& project) {
    project.Scenarios.Add(std::make_unique<TScenario>(project));
    return project.Scenarios[project.Scenarios.Count() - 1];
}

TCircuit& AddCircuit(TScenario& scenario) {
    scenario.Circuits.Add(std::make_unique<TCircuit>(scenario));
    TCircuit& circuit = scenario.Circuits[scenario.Circuits.Count() - 1];
    circuit.Number = static_cast<std::uint8_t>(scenario.Circuits.Count());
    return circuit;
}

void AddConductors(TCircuit& circuit, int count) {
    for (int i = 0; i < count; ++i) {
        auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
        conductor->Height = 10.0f + static_cast<float>(i);
        circuit.AddConductor(std::move(conductor));
    }
}

void AddPoints(TScenario& scenario, int count) {
    for (int i = 0; i < count; ++i)
        scenario.InterestPoints.Add(std::make_unique<TInterestPoint>(scenario));
}

// A cross section with conductors in circuits of at most perCircuit each.
void FillScenario(TScenario& scenario, int conductors, int perCircuit, int circuits = 0,
                  int points = 0) {
    while (conductors > 0 || scenario.Circuits.Count() < circuits) {
        const int here = std::min(conductors, perCircuit);
        AddConductors(AddCircuit(scenario), here);
        conductors -= here;
    }
    AddPoints(scenario, points);
}

} // namespace

TEST(Limits, TheReaderTakesAFileAtTheLimitsAndRefusesOneBeyond) {
    struct Case {
        const char* Title;
        int Conductors;
        int PerCircuit;
        int Circuits;
        int Points;
        const char* Refusal; // nullptr: the file loads
    };
    const Case cases[] = {
        {"500 conductors", 500, 40, 0, 0, nullptr},
        {"501 conductors in 13 circuits", 501, 40, 0, 0, kTooManyConductors},
        {"501 conductors in one circuit", 501, 501, 0, 0, kTooManyConductors},
        {"1000 points of interest", 3, 3, 0, 1000, nullptr},
        {"1001 points of interest", 3, 3, 0, 1001, kTooManyPoints},
        {"255 circuits", 255, 1, 255, 0, nullptr},
        {"256 circuits, most of them empty", 3, 3, 256, 0, kTooManyCircuits},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        TEmfProject source;
        source.Units = Metric;
        FillScenario(AddScenario(source), c.Conductors, c.PerCircuit, c.Circuits, c.Points);
        TEmfProject loaded;
        loaded.Title = "as it was";
        const TFileResult result = ReadProjectBytes(SerializeProject(source), loaded);
        if (c.Refusal == nullptr) {
            ASSERT_TRUE(result.Ok) << result.Message << " " << result.Detail;
            EXPECT_EQ(loaded.Scenarios[0].ConductorCount(), c.Conductors);
            EXPECT_EQ(loaded.Scenarios[0].InterestPoints.Count(), c.Points);
        } else {
            EXPECT_FALSE(result.Ok);
            EXPECT_EQ(result.Message, c.Refusal);
            EXPECT_NE(result.Detail.find("cross section 1"), std::string::npos) << result.Detail;
            EXPECT_EQ(loaded.Title, "as it was");
            EXPECT_TRUE(loaded.Scenarios.Empty());
        }
    }
}

TEST(Limits, EachCrossSectionHasItsOwnLimit) {
    TEmfProject source;
    FillScenario(AddScenario(source), 500, 40);
    FillScenario(AddScenario(source), 500, 40);
    TEmfProject loaded;
    ASSERT_TRUE(ReadProjectBytes(SerializeProject(source), loaded).Ok);
    EXPECT_EQ(loaded.Scenarios[1].ConductorCount(), 500);
}

TEST(Limits, AProjectHoldsAtMost100CrossSections) {
    TEmfProject source;
    for (int i = 0; i < 100; ++i)
        FillScenario(AddScenario(source), 1, 1);
    EXPECT_EQ(RoomForCrossSection(source), "The project would have more cross sections than "
                                           "Corvalt supports (at most 100 in one project).");
    TEmfProject loaded;
    ASSERT_TRUE(ReadProjectBytes(SerializeProject(source), loaded).Ok);
    EXPECT_EQ(loaded.Scenarios.Count(), 100);

    source.Scenarios.Delete(99);
    EXPECT_EQ(RoomForCrossSection(source), std::nullopt);
    FillScenario(AddScenario(source), 1, 1);
    FillScenario(AddScenario(source), 1, 1);
    TEmfProject refused;
    const TFileResult result = ReadProjectBytes(SerializeProject(source), refused);
    EXPECT_EQ(result.Message, "The project has more cross sections than Corvalt supports (at "
                              "most 100 in one project).");
    EXPECT_TRUE(refused.Scenarios.Empty());
}

TEST(Limits, DamageIsStillDamageWhenACountIsAlsoTooLarge) {
    // 100,000 conductors claimed by a file far too short to hold them.
    TEmfProject source;
    FillScenario(AddScenario(source), 1, 1);
    std::vector<std::uint8_t> bytes = SerializeProject(source);
    // The file ends with the conductor record (four empty texts: 117 bytes)
    // and the point count; the conductor count stands before them.
    const std::size_t countOffset = bytes.size() - 4 - 117 - 4;
    ASSERT_EQ(bytes[countOffset], 1);
    const std::int32_t claimed = 100000;
    std::memcpy(&bytes[countOffset], &claimed, sizeof claimed); // little-endian, as the file
    TEmfProject loaded;
    const TFileResult result = ReadProjectBytes(bytes, loaded);
    EXPECT_EQ(result.Message, messages::kFileDamaged);
}

TEST(Limits, TheDialogsChecksStopAtTheLimits) {
    const std::string wouldHave = "The cross section would have more ";
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    FillScenario(scenario, 499, 40);
    EXPECT_EQ(RoomForConductors(scenario, 1), std::nullopt);
    EXPECT_EQ(RoomForConductors(scenario, 2),
              wouldHave + "conductors than Corvalt supports (at most 500 in one cross section).");
    EXPECT_EQ(RoomForCircuit(scenario, 1), std::nullopt);
    EXPECT_NE(RoomForCircuit(scenario, 2), std::nullopt);
    EXPECT_EQ(RoomForCircuit(scenario, 0), std::nullopt);

    AddPoints(scenario, 999);
    EXPECT_EQ(RoomForInterestPoint(scenario), std::nullopt);
    AddPoints(scenario, 1);
    EXPECT_EQ(RoomForInterestPoint(scenario), wouldHave + "points of interest than Corvalt "
                                                          "supports (at most 1000 in one cross "
                                                          "section).");

    TScenario& wide = AddScenario(project);
    FillScenario(wide, 0, 1, 254);
    EXPECT_EQ(RoomForCircuit(wide, 0), std::nullopt);
    AddCircuit(wide);
    EXPECT_EQ(RoomForCircuit(wide, 0),
              wouldHave + "circuits than Corvalt supports (at most 255 in one cross section).");
}

TEST(Limits, ANewCircuitCountsTheConductorsOfItsEnabledRows) {
    TNewCircuitValues values;
    values.Phases = {TPhaseRow{true, 3, 0}, TPhaseRow{false, 4, 120}, TPhaseRow{true, 2, 240}};
    values.Ground = {true, 2, 0};
    EXPECT_EQ(NewConductorCount(values), 3 + 2 + 2); // row B is not enabled
    values.Ground.Enabled = false;
    values.Phases[1].Enabled = true;
    EXPECT_EQ(NewConductorCount(values), 3 + 4 + 2);

    // What the count promises is what the circuit gets.
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    const std::unique_ptr<TCircuit> circuit = CreateNewCircuit(scenario, values);
    EXPECT_EQ(circuit->Conductors.Count(), NewConductorCount(values));
}
