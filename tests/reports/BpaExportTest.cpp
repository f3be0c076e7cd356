// The BPA input file: its lines, their formats and order, and how it is written.
#include "ReportTestSupport.h"

#include "reports/BpaExport.h"
#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>

namespace corvalt {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const TScenario& scenario) {
    const TBpaLines file = BuildBpaLines(scenario);
    EXPECT_EQ(file.Error, "");
    return file.Lines;
}

// Two circuits, the second with its ground wire, to check the two passes.
struct TBpaFixture : ::testing::Test {
    std::unique_ptr<TEmfProject> project = test::MakeProject(English);
    TScenario& scenario = project->Scenarios[0];

    void AddTwoCircuits() {
        TCircuit& first =
            test::AddLine(scenario, "West", {{-26, 42}, {0, 42}, {26, 42}, {0, 60}}, 1);
        first.SetDisplayDistFromRowLeft(-10);
        TCircuit& second =
            test::AddLine(scenario, "East", {{-9, 62}, {-9, 50}, {-9, 38}, {0, 74}}, 1);
        second.SetDisplayDistFromRowLeft(40);
    }
};

TEST_F(TBpaFixture, EnglishFileLineByLine) {
    scenario.SetDisplayRowRight(150);
    AddTwoCircuits();
    const std::vector<std::string> expected = {
        "Test Project",
        "North segment",
        "1, 0, 6, 8, 0, 1, 0, 0",
        "COMB",
        "0, 0, 0, 0, 1, 75, 3.28, 1, 3.28",
        "'1A1  ','A', -36.00,  42.00,  2,  1.108, 18.000,139.430,      0,  0.900,  0.000",
        "'1B1  ','A', -10.00,  42.00,  2,  1.108, 18.000,139.430,    120,  0.900,  0.000",
        "'1C1  ','A',  16.00,  42.00,  2,  1.108, 18.000,139.430,    240,  0.900,  0.000",
        "'2A1  ','A',  31.00,  62.00,  2,  1.108, 18.000,139.430,      0,  0.900,  0.000",
        "'2B1  ','A',  31.00,  50.00,  2,  1.108, 18.000,139.430,    120,  0.900,  0.000",
        "'2C1  ','A',  31.00,  38.00,  2,  1.108, 18.000,139.430,    240,  0.900,  0.000",
        "'1G1  ','A', -10.00,  60.00,  1,  0.360,  0.000,  0.000,      0,  0.000,  0.000",
        "'2G1  ','A',  40.00,  74.00,  1,  0.360,  0.000,  0.000,      0,  0.000,  0.000",
        "100,0,2",
        "0,0,0",
    };
    EXPECT_EQ(Lines(scenario), expected);
}

// The file carries the EMF variables only; the fixed 1 and 75 of line 5 stay
// whatever radio and TV frequencies the cross section's corona study uses.
TEST_F(TBpaFixture, SiteParametersDoNotChangeTheFile) {
    AddTwoCircuits();
    const std::vector<std::string> unset = Lines(scenario);
    float value = 0.5f;
    for (const TSiteParameterInfo& parameter : kSiteParameters) {
        scenario.SetSiteValue(parameter.Id, std::max(value, parameter.Lowest));
        value += 1;
    }
    ASSERT_TRUE(scenario.HasSiteParameters());
    EXPECT_EQ(Lines(scenario), unset);
}

TEST_F(TBpaFixture, MetricFileWritesZeroAndMetres) {
    auto metric = test::MakeProject(Metric);
    TScenario& line = metric->Scenarios[0];
    test::AddLine(line, "RS", {{-5.5f, 14}, {0, 17.5f}, {5.5f, 14}});
    const std::vector<std::string> lines = Lines(line);
    ASSERT_EQ(lines.size(), 5u + 3 + 2);
    EXPECT_EQ(lines[2], "0, 0, 3, 3, 0, 1, 0, 0");
    EXPECT_EQ(lines[5],
              "'1A1  ','A',  -5.50,  14.00,  2, 28.143, 18.000,139.430,      0,  0.900,  0.000");
    EXPECT_EQ(lines[8], "50,0,1"); // a ROW right edge of 50 m
}

TEST_F(TBpaFixture, IdsAreCutOrPaddedToFiveCharacters) {
    AddTwoCircuits();
    scenario.Conductors[0]->Id = "North-1A1";
    scenario.Conductors[1]->Id = "AB";
    scenario.Conductors[2]->Id = "";
    scenario.Conductors[3]->Id = "12345";
    const std::vector<std::string> lines = Lines(scenario);
    EXPECT_EQ(lines[5].substr(0, 12), "'North','A',");
    EXPECT_EQ(lines[6].substr(0, 12), "'AB   ','A',");
    EXPECT_EQ(lines[7].substr(0, 12), "'     ','A',");
    EXPECT_EQ(lines[11].substr(0, 12), "'12345','A',"); // the first circuit's ground wire
}

TEST_F(TBpaFixture, ProfileLineCountsHundredsRoundingHalvesToEven) {
    const std::pair<float, const char*> cases[] = {
        {150, "100,0,2"}, {250, "100,0,2"},   {350, "100,0,4"},   {100, "100,0,1"},
        {60, "60,0,1"},   {99.5f, "100,0,1"}, {98.5f, "98,0,1"},  {0, "0,0,1"},
        {0.4f, "0,0,1"},  {-0.4f, "0,0,1"},   {1249, "100,0,12"},
    };
    for (const auto& [rowRight, expected] : cases) {
        SCOPED_TRACE(rowRight);
        scenario.SetDisplayRowRight(rowRight);
        const std::vector<std::string> lines = Lines(scenario);
        ASSERT_EQ(lines.size(), 7u); // no circuits: lines 1 to 5, the profile and "0,0,0"
        EXPECT_EQ(lines[5], expected);
        EXPECT_EQ(lines[6], "0,0,0");
    }
}

TEST_F(TBpaFixture, TitlesWithLineBreaksStayOneLine) {
    project->Title = "Line 12\r\nupgrade";
    const std::vector<std::string> lines = Lines(scenario);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Line 12  upgrade");
}

using test::ReadFile;
using test::WriteFile;

struct TBpaFileFixture : TBpaFixture {
    test::TTempFolder folder;
};

TEST_F(TBpaFileFixture, FileHasCrLfLinesAndReplacesAnOldOne) {
    AddTwoCircuits();
    const fs::path path = folder / "line.bpa";
    WriteFile(path, "old content that is longer than nothing\n");
    const TFileResult result = ExportBpaFile(scenario, path.string());
    ASSERT_TRUE(result.Ok) << result.Detail;
    std::string expected;
    for (const std::string& line : Lines(scenario))
        expected += line + "\r\n";
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST_F(TBpaFileFixture, FailedWriteSaysSoAndLeavesTheOldFile) {
    const fs::path missing = folder / "no such folder" / "line.bpa";
    TFileResult result = ExportBpaFile(scenario, missing.string());
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Message, "The BPA file could not be written.");
    EXPECT_NE(result.Detail.find("no such folder"), std::string::npos) << result.Detail;

    const fs::path readOnly = folder / "kept.bpa";
    WriteFile(readOnly, "kept");
    fs::permissions(readOnly, fs::perms::owner_read);
    result = ExportBpaFile(scenario, readOnly.string());
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(ReadFile(readOnly), "kept");
}

TEST_F(TBpaFileFixture, ValueThatIsNotANumberIsRefused) {
    AddTwoCircuits();
    scenario.Conductors[4]->Height = std::numeric_limits<float>::infinity();
    const TBpaLines lines = BuildBpaLines(scenario);
    EXPECT_TRUE(lines.Lines.empty());
    EXPECT_EQ(lines.Error,
              "Cross section 'North': the height of conductor '2A1' is not a finite number.");

    const fs::path path = folder / "line.bpa";
    WriteFile(path, "kept");
    const TFileResult result = ExportBpaFile(scenario, path.string());
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Detail, lines.Error);
    EXPECT_EQ(ReadFile(path), "kept");
}

} // namespace
} // namespace corvalt
