// Damaged project files: every truncation of the sample projects is refused as
// damage, and flipped bytes end in a project or a clear refusal, never in a
// crash, a hang or a half-read project; a project that is read saves to a file
// that reads back and saves to the same bytes. The inputs fuzzing found
// (fuzz/corpus/project/) keep those promises too. Run under ASan/UBSan in CI.
#include "model/Clone.h"
#include "model/DataCheck.h"
#include "model/Messages.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/ProjectSnapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace corvalt;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sample(const char* name) {
    std::ifstream in(std::filesystem::path(CORVALT_SOURCE_DIR) / "examples" / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Reads the bytes; a project that loads must also go through the data check
// and save to a file that reads back and saves to the very same bytes.
TFileResult Exercise(const Bytes& bytes) {
    TEmfProject project;
    const TFileResult result = ReadProjectBytes(bytes, project);
    if (result.Ok) {
        (void)CheckProject(project);
        const Bytes saved = SerializeProject(project);
        TEmfProject again;
        const TFileResult reread = ReadProjectBytes(saved, again);
        EXPECT_TRUE(reread.Ok) << reread.Detail;
        EXPECT_EQ(SerializeProject(again), saved);
        EXPECT_EQ(again.Plans, project.Plans);
    } else {
        EXPECT_EQ(project.Scenarios.Count(), 0);
        EXPECT_TRUE(project.Plans.empty());
        EXPECT_TRUE(project.Title.empty());
    }
    return result;
}

class SampleFile : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(SampleFile, LoadsCleanAndResavesByteForByte) {
    const Bytes bytes = Sample(GetParam());
    ASSERT_GT(bytes.size(), 500u);
    TEmfProject project;
    const TFileResult result = ReadProjectBytes(bytes, project);
    ASSERT_TRUE(result.Ok) << result.Detail;
    EXPECT_FALSE(HasErrors(CheckProject(project)));
    EXPECT_EQ(SerializeProject(project), bytes);
}

TEST_P(SampleFile, EveryTruncationIsRefusedAsDamage) {
    const Bytes bytes = Sample(GetParam());
    ASSERT_FALSE(bytes.empty());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const TFileResult result =
            Exercise(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size)));
        ASSERT_FALSE(result.Ok) << "cut at " << size;
        ASSERT_EQ(result.Message, messages::kFileDamaged) << "cut at " << size;
    }
}

TEST_P(SampleFile, FlippedBytesNeverCrashOrHalfLoad) {
    const Bytes bytes = Sample(GetParam());
    ASSERT_FALSE(bytes.empty());
    int refused = 0;
    for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
        for (const std::uint8_t mask : {0x01, 0x10, 0x80, 0xFF}) {
            Bytes damaged = bytes;
            damaged[offset] ^= mask;
            const TFileResult result = Exercise(damaged);
            if (!result.Ok) {
                ++refused;
                EXPECT_FALSE(result.Message.empty());
            }
        }
    }
    EXPECT_GT(refused, 0);

    // Several bytes at once, from a fixed seed.
    std::mt19937 random(20240315);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = bytes;
        for (int flips = 1 + round % 8; flips > 0; --flips)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        Exercise(damaged);
    }
}

TEST(FoundInputs, AreRefusedOrSaveToAFixedPointAndCopyWhole) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(CORVALT_SOURCE_DIR) / "fuzz" / "corpus" / "project")) {
        SCOPED_TRACE(entry.path().filename().string());
        ++inputs;
        const Bytes bytes = ReadBytes(entry.path());
        if (!Exercise(bytes).Ok) continue;
        TEmfProject project;
        ASSERT_TRUE(ReadProjectBytes(bytes, project).Ok);
        // The design tools' copy, the undo snapshot and clones hold everything.
        const std::unique_ptr<TEmfProject> copy = CopyProject(project);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(SerializeProject(*copy), SerializeProject(project));
        EXPECT_EQ(copy->Plans, project.Plans);
        for (const TScenario& scenario : project.Scenarios) {
            const std::unique_ptr<TScenario> clone = CloneScenario(scenario);
            ASSERT_NE(clone, nullptr);
            EXPECT_EQ(clone->ConductorCount(), scenario.ConductorCount());
            EXPECT_EQ(clone->InterestPoints.Count(), scenario.InterestPoints.Count());
        }
    }
    EXPECT_GE(inputs, 4);
}

INSTANTIATE_TEST_SUITE_P(Examples, SampleFile,
                         ::testing::Values("sample-english.emf", "sample-metric.emf",
                                           "sample-site.emf", "sample-plans.emf"));
