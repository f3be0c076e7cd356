// The project file: layout, round trips in both unit systems, the modified
// check, safe saving, and refusal of damaged files.
#include "FolderTest.h"
#include "TestProject.h"

#include "model/Messages.h"
#include "model/NewCircuit.h"
#include "model/ProjectFile.h"
#include "model/ProjectSnapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

using namespace corvalt;
using namespace corvalt::test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void PutInt(Bytes& bytes, std::size_t offset, std::int32_t value) {
    TZuStream stream;
    stream.WriteInt(value);
    std::copy(stream.Bytes().begin(), stream.Bytes().end(),
              bytes.begin() + static_cast<long>(offset));
}

class ProjectFile : public TFolderTest {};

// The smallest project with one cross section, circuit and conductor, all
// texts empty, so that its fields lie at fixed offsets.
constexpr std::size_t kUnitsOffset = 8 + 4 + 4 + 10 + 10;
constexpr std::size_t kScenarioCountOffset = 138;
constexpr std::size_t kCircuitCountOffset = 142 + 4 + 4 + 4 + 5 * 10;
constexpr std::size_t kCircuitOffset = kCircuitCountOffset + 4;
constexpr std::size_t kConductorCountOffset = kCircuitOffset + 105;
constexpr std::size_t kConductorOffset = kConductorCountOffset + 4;
constexpr std::size_t kConductorHeightOffset = kConductorOffset + 4 + 4 + 4 + 30 + 4 + 10;
constexpr std::size_t kLineLengthOffset = kUnitsOffset + 4 + 10 * 4 + 3 * 10;

Bytes MinimalFile() {
    TEmfProject project;
    project.Units = Metric;
    project.Scenarios.Add(std::make_unique<TScenario>(project));
    TScenario& scenario = project.Scenarios[0];
    scenario.Circuits.Add(std::make_unique<TCircuit>(scenario));
    TCircuit& circuit = scenario.Circuits[0];
    auto conductor = std::make_unique<TConductor>(scenario, circuit);
    conductor->CondType = PhaseC;
    conductor->Height = 12.5f;
    circuit.AddConductor(std::move(conductor));
    return SerializeProject(project);
}

// The rich project (its second cross section with site parameters) in the
// layout given, without its version text.
Bytes Body(TFileLayout layout) {
    auto project = MakeRichProject(Metric);
    SetSiteParameters(project->Scenarios[1]);
    TZuStream stream;
    WriteProjectFile(stream, *project, layout);
    const Bytes& bytes = stream.Bytes();
    return Bytes(bytes.begin() + 4 + IntAt(bytes, 0), bytes.end());
}

Bytes WithVersion(const std::string& version, const Bytes& body) {
    TZuStream stream;
    stream.WriteText(version);
    Bytes bytes = stream.Bytes();
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

} // namespace

TEST_F(ProjectFile, EmptyProjectIsTheHeaderAndAZeroCount) {
    TEmfProject project;
    const Bytes bytes = SerializeProject(project);
    ASSERT_EQ(bytes.size(), kScenarioCountOffset + 4);
    EXPECT_EQ(IntAt(bytes, kScenarioCountOffset), 0);
    TEmfProject loaded;
    ASSERT_TRUE(ReadProjectBytes(bytes, loaded).Ok);
    EXPECT_EQ(loaded.Scenarios.Count(), 0);
    EXPECT_EQ(SerializeProject(loaded), bytes);
}

TEST_F(ProjectFile, MinimalFileHasItsFieldsWhereTheTestsExpectThem) {
    const Bytes bytes = MinimalFile();
    EXPECT_EQ(IntAt(bytes, kUnitsOffset), Metric);
    EXPECT_EQ(IntAt(bytes, kScenarioCountOffset), 1);
    EXPECT_EQ(IntAt(bytes, kCircuitCountOffset), 1);
    EXPECT_EQ(IntAt(bytes, kConductorCountOffset), 1);
    EXPECT_EQ(IntAt(bytes, kConductorOffset), PhaseC);
    EXPECT_EQ(RealAt(bytes, kConductorHeightOffset), 12.5);
    EXPECT_EQ(bytes.size(), kConductorOffset + 117 + 4); // conductor, then no points
}

TEST_F(ProjectFile, LengthsAreWrittenInDisplayUnits) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        TEmfProject project;
        project.Units = static_cast<std::uint8_t>(units);
        project.Scenarios.Add(std::make_unique<TScenario>(project));
        TCircuit circuit(project.Scenarios[0]);
        circuit.SetDisplayDistFromRowLeft(units == English ? 100.0f : 30.48f);
        TZuStream stream;
        WriteCircuitRecord(stream, circuit);
        const double written = RealAt(stream.Bytes(), 4 + 4 + 1 + 40);
        EXPECT_EQ(written, units == English ? 100.0 : static_cast<double>(30.48f));
    }
}

TEST_F(ProjectFile, CoronaLossIsWrittenAsZeroAndReadAsStored) {
    TEmfProject project;
    project.Scenarios.Add(std::make_unique<TScenario>(project));
    TScenario& scenario = project.Scenarios[0];
    TCircuit circuit(scenario);
    TConductor conductor(scenario, circuit);
    conductor.CoronaLoss = 5;
    TZuStream stream;
    WriteConductorRecord(stream, conductor);
    Bytes bytes = stream.Bytes();
    EXPECT_EQ(RealAt(bytes, bytes.size() - 10), 0.0);

    TZuStream seven;
    seven.WriteReal(7.0);
    std::copy(seven.Bytes().begin(), seven.Bytes().end(), bytes.end() - 10);
    TZuStream input(bytes);
    TRecordReader reader(input);
    TConductor read(scenario, circuit);
    ReadConductorRecord(reader, read);
    ASSERT_FALSE(reader.Failed()) << reader.Error();
    EXPECT_EQ(read.CoronaLoss, 7.0f);
}

TEST_F(ProjectFile, OhgwCountIsRecountedFromTheGroundConductorsRead) {
    auto project = MakeRichProject(Metric);
    TCircuit& circuit = project->Scenarios[0].Circuits[0];
    ASSERT_EQ(circuit.CountOfType(Ground), 2);
    circuit.OhgwCount = 7;
    TEmfProject loaded;
    ASSERT_TRUE(ReadProjectBytes(SerializeProject(*project), loaded).Ok);
    EXPECT_EQ(loaded.Scenarios[0].Circuits[0].OhgwCount, 2);
}

TEST_F(ProjectFile, VersionTextDecidesWhetherTheFileIsRead) {
    struct Case {
        const char* version;
        TFileLayout body;
        const char* message; // nullptr: read
    };
    const Case cases[] = {
        {"1.02", TFileLayout::V102, nullptr},
        {" 1.02 ", TFileLayout::V102, nullptr},
        {"+1.020", TFileLayout::V102, nullptr},
        {"1.03", TFileLayout::V103, nullptr},
        // Versions this program does not know are not guessed at.
        {"1.04", TFileLayout::V102, messages::kFileDamaged},
        {"1.04", TFileLayout::V103, messages::kFileDamaged},
        {"1.99", TFileLayout::V103, messages::kFileDamaged},
        {"2.00", TFileLayout::V103, messages::kFileDamaged},
        {"2", TFileLayout::V103, messages::kFileDamaged},
        {"1.025", TFileLayout::V103, messages::kFileDamaged},
        {"-1.03", TFileLayout::V103, messages::kFileDamaged},
        {"-3", TFileLayout::V102, messages::kFileDamaged},
        {"1.01", TFileLayout::V102, messages::kOlderVersion},
        {"1", TFileLayout::V102, messages::kOlderVersion},
        {"0.5", TFileLayout::V102, messages::kOlderVersion},
        {"1,02", TFileLayout::V102, messages::kFileDamaged},
        {"abc", TFileLayout::V102, messages::kFileDamaged},
        {"", TFileLayout::V102, messages::kFileDamaged},
        {"1.02x", TFileLayout::V102, messages::kFileDamaged},
        {"nan", TFileLayout::V102, messages::kFileDamaged},
        {"inf", TFileLayout::V102, messages::kFileDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const Bytes bytes = WithVersion(c.version, Body(c.body));
        TEmfProject project;
        const TFileResult result = ReadProjectBytes(bytes, project);
        EXPECT_EQ(result.Ok, c.message == nullptr) << result.Detail;
        if (c.message != nullptr) {
            EXPECT_EQ(result.Message, c.message);
        }
        EXPECT_EQ(project.Scenarios.Count(), c.message == nullptr ? 2 : 0);
    }
}

TEST_F(ProjectFile, EveryVersionReadsItsOwnLayoutToTheEndAndNothingElse) {
    for (const TFileVersion& version : kFileVersions) {
        for (const TFileVersion& body : kFileVersions) {
            SCOPED_TRACE(std::string(version.Text) + " over the body of " + body.Text);
            TEmfProject project;
            const TFileResult result =
                ReadProjectBytes(WithVersion(version.Text, Body(body.Layout)), project);
            if (version.Layout == body.Layout) {
                EXPECT_TRUE(result.Ok) << result.Detail;
                continue;
            }
            // A neighbour's body ends early or leaves bytes over: damage, and
            // nothing half read (no cross section emptied and kept).
            EXPECT_EQ(result.Message, messages::kFileDamaged);
            EXPECT_EQ(project.Scenarios.Count(), 0);
        }
        SCOPED_TRACE(std::string(version.Text) + " with a byte after the project");
        Bytes longer = WithVersion(version.Text, Body(version.Layout));
        longer.push_back(0);
        TEmfProject project;
        const TFileResult result = ReadProjectBytes(longer, project);
        EXPECT_EQ(result.Message, messages::kFileDamaged);
        EXPECT_NE(result.Detail.find("1 bytes follow"), std::string::npos) << result.Detail;
    }
}

TEST_F(ProjectFile, SiteParametersAreStoredOnlyWhileOneIsSet) {
    auto project = MakeRichProject(English);
    const Bytes unset = SerializeProject(*project);
    EXPECT_EQ(std::string(unset.begin() + 4, unset.begin() + 8), "1.02");

    // One value set in the second cross section: every cross section carries
    // its ten values (10 reals of 10 bytes) after its points of interest.
    TScenario& station = project->Scenarios[1];
    station.Altitude = 300;
    const Bytes set = SerializeProject(*project);
    EXPECT_EQ(std::string(set.begin() + 4, set.begin() + 8), "1.03");
    ASSERT_EQ(set.size(), unset.size() + 2 * 100);
    // The station is the last record: its site values end the file, in stored
    // units (the English project's 300 m is not written as 984 ft).
    const std::size_t stationSite = set.size() - 100;
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(RealAt(set, stationSite + 10 * i), i == 4 ? 300.0 : 0.0) << i;
    // The first cross section, unset, holds ten zero reals just before the
    // station's record.
    TZuStream stationRecord;
    WriteScenarioRecord(stationRecord, station, TFileLayout::V103);
    const std::size_t lineSite = set.size() - stationRecord.Size() - 100;
    EXPECT_EQ(Bytes(set.begin() + static_cast<long>(lineSite),
                    set.begin() + static_cast<long>(lineSite + 100)),
              Bytes(100, 0));

    station.Altitude = 0;
    EXPECT_EQ(SerializeProject(*project), unset); // exactly the older layout again
}

TEST_F(ProjectFile, SavedProjectsLoadBackEqualAndUnmodified) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        auto project = MakeRichProject(units);
        EXPECT_TRUE(project->IsModified()); // never saved
        const std::string path = PathOf(units == English ? "english.emf" : "metric.emf");
        const TFileResult saved = project->Save(path);
        ASSERT_TRUE(saved.Ok) << saved.Detail;
        EXPECT_FALSE(project->IsModified());
        EXPECT_EQ(ReadFile(path), project->OriginalData);

        TEmfProject loaded;
        const TFileResult result = loaded.Load(path);
        ASSERT_TRUE(result.Ok) << result.Detail;
        EXPECT_FALSE(loaded.IsModified());
        ExpectSameProject(*project, loaded, units == English ? 2 : 0);
        EXPECT_EQ(loaded.Scenarios[0].Circuits[0].Conductors[4].CoronaLoss, 0.0f);

        loaded.Scenarios[1].Circuits[0].Conductors[0].SetDisplayHeight(21);
        EXPECT_TRUE(loaded.IsModified());
        loaded.Scenarios[1].Circuits[0].Conductors[0].SetDisplayHeight(20);
        EXPECT_FALSE(loaded.IsModified()); // back to the stored value
        loaded.Scenarios.Delete(1);
        EXPECT_TRUE(loaded.IsModified());
        ASSERT_TRUE(loaded.Save(path).Ok);
        EXPECT_FALSE(loaded.IsModified());
        EXPECT_TRUE(loaded.CheckData.empty());
    }
}

TEST_F(ProjectFile, ComputedResultIndicesCountAsAChange) {
    auto project = MakeRichProject(Metric);
    ASSERT_TRUE(project->Save(PathOf("p.emf")).Ok);
    project->Scenarios[0].InterestPoints[1].ResultIndex = 4; // what a computation run does
    EXPECT_TRUE(project->IsModified());
}

TEST_F(ProjectFile, UnchangedProjectsDoNotDriftOverLoadSaveCycles) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        auto original = MakeRichProject(units);
        const std::string path = PathOf("cycle.emf");
        ASSERT_TRUE(original->Save(path).Ok);
        const Bytes first = ReadFile(path);
        for (int cycle = 0; cycle < 10; ++cycle) {
            TEmfProject project;
            ASSERT_TRUE(project.Load(path).Ok);
            ASSERT_TRUE(project.Save(path).Ok);
        }
        TEmfProject last;
        ASSERT_TRUE(last.Load(path).Ok);
        ExpectSameProject(*original, last, 3);
        if (units == Metric) {
            EXPECT_EQ(ReadFile(path), first);
        } // byte for byte
    }
}

TEST_F(ProjectFile, FailedSavesKeepThePreviousFileAndTheUnsavedMark) {
    auto project = MakeRichProject(Metric);
    const std::string path = PathOf("kept.emf");
    ASSERT_TRUE(project->Save(path).Ok);
    const Bytes before = ReadFile(path);
    const Bytes baseline = project->OriginalData;
    project->Title = "Edited after saving";

    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(PathOf("folder.emf"));
    for (const std::string& target :
         {path, PathOf("missing/p.emf"), PathOf("folder.emf"), PathOf("")}) {
        SCOPED_TRACE(target);
        const TFileResult result = project->Save(target);
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.Message, messages::kSaveFailed);
        EXPECT_FALSE(result.Detail.empty());
        EXPECT_EQ(project->OriginalData, baseline);
        EXPECT_TRUE(project->IsModified());
    }
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder.emf", "kept.emf"}));
}

TEST_F(ProjectFile, SavingReplacesTheFileAndKeepsItsPermissions) {
    auto project = MakeRichProject(English);
    const std::string path = PathOf("p.emf");
    WriteFile(path, Bytes(50000, 0xAB)); // longer than the project: nothing may remain
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(project->Save(path).Ok);
    EXPECT_EQ(ReadFile(path), project->OriginalData);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // Through a link, the file it names is replaced and the link stays.
    fs::create_symlink(path, PathOf("link.emf"));
    project->Title = "Via link";
    ASSERT_TRUE(project->Save(PathOf("link.emf")).Ok);
    EXPECT_TRUE(fs::is_symlink(PathOf("link.emf")));
    EXPECT_EQ(ReadFile(path), project->OriginalData);
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.emf", "p.emf"}));
}

TEST_F(ProjectFile, LoadReportsMissingAndUnreadableFiles) {
    TEmfProject project;
    TFileResult result = project.Load(PathOf("nothing.emf"));
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Message, messages::kFileDoesNotExist);
    result = project.Load(folder_.string());
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Message, messages::kFileUnreadable);
    WriteFile(PathOf("empty.emf"), {});
    result = project.Load(PathOf("empty.emf"));
    EXPECT_EQ(result.Message, messages::kFileDamaged);
}

TEST_F(ProjectFile, DamagedFieldsAreRefusedWithWhereTheyFailed) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::int32_t value;
        const char* detail; // part of the error text
    };
    const Case cases[] = {
        {"huge cross-section count", kScenarioCountOffset, 0x7FFFFFFF, "cannot fit"},
        {"negative cross-section count", kScenarioCountOffset, -1, "negative count"},
        {"count one too many", kCircuitCountOffset, 2,
         "circuit 2, name at offset 438: the file ends"},
        {"huge conductor count", kConductorCountOffset, 1 << 30, "cannot fit"},
        {"negative text length", 8, -5, "negative text length"},
        {"text longer than the file", 8, 1 << 30, "ends"},
        {"unknown measurement units", kUnitsOffset, 2, "unknown value 2"},
        {"unknown conductor type", kConductorOffset, 4, "circuit 1, conductor 1, conductor type"},
    };
    const Bytes good = MinimalFile();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = good;
        PutInt(bytes, c.offset, c.value);
        TEmfProject project;
        const TFileResult result = ReadProjectBytes(bytes, project);
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.Message, messages::kFileDamaged);
        EXPECT_NE(result.Detail.find(c.detail), std::string::npos) << result.Detail;
    }
}

TEST_F(ProjectFile, RealsThatAreNotFiniteSingleValuesAreRefused) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          -std::numeric_limits<double>::infinity(), 1e39, -4e38, 2e30};
    for (double value : bad) {
        SCOPED_TRACE(value);
        Bytes bytes = MinimalFile();
        EncodeExtended(value, bytes.data() + kConductorHeightOffset);
        TEmfProject project;
        const TFileResult result = ReadProjectBytes(bytes, project);
        EXPECT_EQ(result.Message, messages::kFileDamaged);
        EXPECT_NE(result.Detail.find("height"), std::string::npos) << result.Detail;
    }
}

TEST_F(ProjectFile, ValuesAtTheEdgeOfTheRangeAreRefusedOrSaveToAFileThatReadsBackTheSame) {
    // The reals of the minimal file that go through a unit conversion, and
    // how much larger an English project's value is in the units the model
    // keeps (inches to millimetres and centimetres, miles to kilometres).
    struct Field {
        const char* name;
        std::size_t offset;
        double englishGrowth;
    };
    const Field fields[] = {
        {"line length", kLineLengthOffset, 1.609},
        {"height", kConductorHeightOffset, 1},
        {"MCR", kConductorHeightOffset + 20, 1},
        {"diameter", kConductorHeightOffset + 31, 25.4},
        {"sub-conductor spacing", kConductorHeightOffset + 41, 2.54},
    };
    // 1e30 is no float: it is kept as the float 1.0000000150e30, which is the
    // bound; the float after it is beyond.
    const float above = std::nextafter(1e30f, 2e30f);
    const double values[] = {1e30, -1e30, 1e30f, above, 3e29, 1e29, 4e28, 12.5};
    for (const int units : {English, Metric}) {
        for (const Field& field : fields) {
            for (const double value : values) {
                SCOPED_TRACE(std::string(field.name) + (units == English ? " English " : " Metric ") +
                             std::to_string(value));
                Bytes bytes = MinimalFile();
                PutInt(bytes, kUnitsOffset, units);
                EncodeExtended(value, bytes.data() + field.offset);
                TEmfProject project;
                const TFileResult result = ReadProjectBytes(bytes, project);
                const double growth = units == English ? field.englishGrowth : 1;
                const bool beyond = value == above || std::fabs(value) * growth > 1.01e30;
                EXPECT_EQ(result.Ok, !beyond) << result.Detail;
                if (!result.Ok) {
                    EXPECT_EQ(result.Message, messages::kFileDamaged);
                    EXPECT_NE(result.Detail.find(field.name), std::string::npos) << result.Detail;
                    continue;
                }
                const Bytes saved = SerializeProject(project);
                TEmfProject again;
                const TFileResult reread = ReadProjectBytes(saved, again);
                ASSERT_TRUE(reread.Ok) << reread.Detail;
                EXPECT_EQ(SerializeProject(again), saved);
                // The undo snapshot of what was read restores too.
                TEmfProject restored;
                EXPECT_TRUE(RestoreProjectSnapshot(restored, TakeProjectSnapshot(project)).Ok);
            }
        }
    }
}

TEST_F(ProjectFile, ASaveThatWouldNotReadBackKeepsThePreviousFile) {
    // 5e29 m is a length a Metric file holds; in feet it is 1.64e30, beyond
    // what a file holds, so the project turned English cannot be saved.
    auto project = MakeRichProject(Metric);
    const std::string path = PathOf("kept.emf");
    ASSERT_TRUE(project->Save(path).Ok);
    const Bytes before = ReadFile(path);
    project->Scenarios[0].Circuits[0].Conductors[0].Height = 5e29f;
    ASSERT_TRUE(project->Save(PathOf("metric.emf")).Ok);
    project->Units = English;
    const TFileResult result = project->Save(path);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Message, messages::kSaveWouldNotReopen);
    EXPECT_NE(result.Detail.find("height"), std::string::npos) << result.Detail;
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_TRUE(project->IsModified());
}

TEST_F(ProjectFile, AFailedLoadLeavesTheProjectAsItWas) {
    auto project = MakeRichProject(English);
    const Bytes before = SerializeProject(*project);
    Bytes damaged = SerializeProject(*MakeRichProject(Metric));
    damaged.pop_back();
    EXPECT_FALSE(ReadProjectBytes(damaged, *project).Ok);
    EXPECT_EQ(SerializeProject(*project), before);
}

TEST_F(ProjectFile, LongIdsAndExemptionFlagsAreCutWhenRead) {
    auto project = MakeRichProject(Metric);
    project->ExemptionFlags = "XXXXXXX";
    project->Scenarios[0].Circuits[0].Conductors[0].Id = std::string(300, 'q');
    TEmfProject loaded;
    ASSERT_TRUE(ReadProjectBytes(SerializeProject(*project), loaded).Ok);
    EXPECT_EQ(loaded.ExemptionFlags, "XXXXX");
    EXPECT_EQ(loaded.Scenarios[0].Circuits[0].Conductors[0].Id, std::string(255, 'q'));
}

TEST_F(ProjectFile, SiteParametersRoundTripExactlyInBothUnitSystems) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        auto project = MakeRichProject(units);
        SetSiteParameters(project->Scenarios[0]);
        project->Scenarios[1].RainRate = 0.5f; // one value in the other cross section
        const std::string path = PathOf("site.emf");
        ASSERT_TRUE(project->Save(path).Ok);
        const Bytes first = ReadFile(path);
        for (int cycle = 0; cycle < 3; ++cycle) {
            TEmfProject loaded;
            const TFileResult result = loaded.Load(path);
            ASSERT_TRUE(result.Ok) << result.Detail;
            EXPECT_FALSE(loaded.IsModified());
            ExpectSameProject(*project, loaded, units == English ? 3 : 0);
            ASSERT_TRUE(loaded.Save(path).Ok);
        }
        if (units == Metric) {
            EXPECT_EQ(ReadFile(path), first);
        }

        // An edit of a site value is a change; putting it back is none.
        TEmfProject loaded;
        ASSERT_TRUE(loaded.Load(path).Ok);
        loaded.Scenarios[1].RainRate = 0.6f;
        EXPECT_TRUE(loaded.IsModified());
        loaded.Scenarios[1].RainRate = 0.5f;
        EXPECT_FALSE(loaded.IsModified());
    }
}

// A count of cross sections is checked against the smallest record each can
// have before any is made: in a 1.03 file that includes its ten site values
// (70 + 100 bytes).
TEST_F(ProjectFile, ACountOfCrossSectionsMakesRoomForTheirSiteValues) {
    TEmfProject project;
    SetSiteParameters(AddScenario(project));
    const Bytes good = SerializeProject(project);
    const std::size_t countAt = SerializeProject(TEmfProject()).size() - 4;
    TZuStream one;
    one.WriteInt(1);
    ASSERT_EQ(Bytes(good.begin() + static_cast<long>(countAt),
                    good.begin() + static_cast<long>(countAt + 4)),
              one.Bytes());
    const std::size_t left = good.size() - countAt - 4;
    const std::size_t count = left / 170 + 1; // too many with their site values, not without
    ASSERT_LE(count * 70, left);
    TZuStream patch;
    patch.WriteInt(static_cast<std::int32_t>(count));
    Bytes bytes = good;
    std::copy(patch.Bytes().begin(), patch.Bytes().end(),
              bytes.begin() + static_cast<long>(countAt));
    TEmfProject loaded;
    const TFileResult result = ReadProjectBytes(bytes, loaded);
    EXPECT_EQ(result.Message, messages::kFileDamaged);
    EXPECT_NE(result.Detail.find("number of cross sections at offset " + std::to_string(countAt) +
                                 ": a count of " + std::to_string(count) + " cannot fit"),
              std::string::npos)
        << result.Detail;
}

TEST_F(ProjectFile, AbsurdSiteValuesAreRefusedAsDamage) {
    // A one-cross-section file whose last 100 bytes are its ten site values.
    TEmfProject project;
    project.Units = English;
    TScenario& scenario = AddScenario(project);
    SetSiteParameters(scenario);
    const Bytes good = SerializeProject(project);
    const std::size_t site = good.size() - 100;
    ASSERT_EQ(RealAt(good, site + 40), static_cast<double>(1234.56f)); // altitude, in metres

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::size_t index;
        double value;
    };
    // Values no site can have: instruments below ground or a kilometre up, a
    // place deeper than any land or above any mountain, rain of a metre an
    // hour, negative or supersonic wind, radio at 0.001 MHz or 1 GHz, TV in the
    // short-wave band, negative or metal-like ground conductivity.
    const Case cases[] = {
        {0, -1},    {0, 1000}, {1, -0.5}, {2, 1e6},  {3, -3},   {0, nan}, {2, inf},
        {4, -2000}, {4, 9000}, {4, -inf}, {5, -1},   {5, 1000}, {6, -2},  {6, 400},
        {6, 0.01},  {7, -1},   {7, 1e-3}, {7, 1000}, {8, 5},    {8, 1e5}, {9, -0.1},
        {9, 1e6},   {9, nan},  {9, 1e-4}, {3, 1e40},
    };
    for (const Case& c : cases) {
        const TSiteParameterInfo& parameter = kSiteParameters[c.index];
        SCOPED_TRACE(std::string(parameter.Name) + " = " + std::to_string(c.value));
        Bytes bytes = good;
        EncodeExtended(c.value, bytes.data() + site + 10 * c.index);
        TEmfProject loaded;
        const TFileResult result = ReadProjectBytes(bytes, loaded);
        EXPECT_EQ(result.Message, messages::kFileDamaged);
        EXPECT_NE(result.Detail.find(std::string("cross section 1, ") + parameter.Label +
                                     " at offset " + std::to_string(site + 10 * c.index) + ":"),
                  std::string::npos)
            << result.Detail;
    }

    // 0 (unset) and both ends of each range are values a file may hold.
    for (const TSiteParameterInfo& parameter : kSiteParameters) {
        for (const float value : {0.0f, parameter.Lowest, parameter.Highest}) {
            SCOPED_TRACE(std::string(parameter.Name) + " = " + std::to_string(value));
            Bytes bytes = good;
            EncodeExtended(value,
                           bytes.data() + site + 10 * static_cast<std::size_t>(parameter.Id));
            TEmfProject loaded;
            const TFileResult result = ReadProjectBytes(bytes, loaded);
            ASSERT_TRUE(result.Ok) << result.Detail;
            EXPECT_EQ(loaded.Scenarios[0].SiteValue(parameter.Id), value);
        }
    }
}
