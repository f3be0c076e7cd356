// The starter library that comes with the program, and its copy as a first
// preferences file.
#include "prefs/StarterLibrary.h"

#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

using namespace corvalt;
using corvalt::test::ReadFile;
using corvalt::test::TTempFolder;
using corvalt::test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr const char* kStarterText = "[Voltages]\n0=230,1.050,242\n";

// A program installed in <folder>/prefix/bin with its starter library in
// <folder>/prefix/share/corvalt.
class StarterLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder / "prefix/bin");
        fs::create_directories(folder / "prefix/share/corvalt");
        WriteFile(starter, kStarterText);
    }

    TTempFolder folder;
    const fs::path program = folder / "prefix/bin/corvalt";
    const fs::path starter = folder / "prefix/share/corvalt/corvalt.INI";
};

} // namespace

TEST_F(StarterLibraryTest, LiesInShareBesideTheProgramsFolder) {
    EXPECT_EQ(StarterLibraryFor(program), starter);
    EXPECT_EQ(StarterLibraryFor(folder / "prefix/bin/corvalt-cli"), starter);
    // A program elsewhere, or none: no starter library.
    EXPECT_EQ(StarterLibraryFor(folder / "other/bin/corvalt"), fs::path());
    EXPECT_EQ(StarterLibraryFor(fs::path()), fs::path());
    fs::remove(starter);
    EXPECT_EQ(StarterLibraryFor(program), fs::path());
}

TEST_F(StarterLibraryTest, AMissingPreferencesFileBecomesACopyInItsNewFolder) {
    const fs::path ini = folder / "home/.config/corvalt/corvalt.INI";
    // Installed read-only, as a package may install it.
    fs::permissions(starter,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const TStarterResult result = ProvideStarterLibrary(ini, starter);
    EXPECT_EQ(result.Outcome, TStarterOutcome::Copied);
    EXPECT_EQ(ReadFile(ini), kStarterText);
    EXPECT_NE(fs::status(ini).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(StarterLibraryTest, AnExistingPreferencesFileIsNeverReplaced) {
    const fs::path ini = folder / "prefix/bin/corvalt.INI";
    WriteFile(ini, "[General]\nEnterAsTab=0\n");
    EXPECT_EQ(ProvideStarterLibrary(ini, starter).Outcome, TStarterOutcome::Existing);
    EXPECT_EQ(ReadFile(ini), "[General]\nEnterAsTab=0\n");
    // Nor an empty one: the user emptied it.
    WriteFile(ini, "");
    EXPECT_EQ(ProvideStarterLibrary(ini, starter).Outcome, TStarterOutcome::Existing);
    EXPECT_EQ(ReadFile(ini), "");
}

TEST_F(StarterLibraryTest, WithoutAStarterLibraryNothingIsWritten) {
    const fs::path ini = folder / "elsewhere/corvalt.INI";
    EXPECT_EQ(ProvideStarterLibrary(ini, fs::path()).Outcome, TStarterOutcome::NoStarter);
    EXPECT_EQ(ProvideStarterLibrary(ini, folder / "missing.INI").Outcome,
              TStarterOutcome::NoStarter);
    EXPECT_FALSE(fs::exists(folder / "elsewhere"));
}

TEST_F(StarterLibraryTest, ACopyThatCannotBeMadeSaysWhere) {
    // A file stands where the preferences folder should be.
    WriteFile(folder / "blocked", "");
    const fs::path ini = folder / "blocked/corvalt/corvalt.INI";
    const TStarterResult result = ProvideStarterLibrary(ini, starter);
    EXPECT_EQ(result.Outcome, TStarterOutcome::Failed);
    EXPECT_EQ(result.Message.rfind("Unable to write to " + ini.string() + ": ", 0), 0u)
        << result.Message;
}
