#include "prefs/IniFile.h"

#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>

using namespace corvalt;
using corvalt::test::ReadFile;
using corvalt::test::TTempFolder;
using corvalt::test::WriteFile;
namespace fs = std::filesystem;

namespace {

const char* const kSample = "; written by hand\n"
                            "[General]\n"
                            "EnterAsTab=0\n"
                            "\n"
                            "[Project]\n"
                            "EngineerName = Ann Smith \n"
                            "this line has no equals sign\n"
                            "; EngineerName=commented out\n"
                            "engineername=second, ignored\n"
                            "FacAddr=1 Main St;Springfield\n"
                            "[Broken\n"
                            "AgentName=still in Project\n"
                            "\n";

} // namespace

TEST(IniFile, ReadsKeysOfTheirSectionIgnoringCaseAndUnusableLines) {
    const TIniFile ini = TIniFile::FromText(kSample);
    EXPECT_EQ(ini.Value("general", "ENTERASTAB"), "0");
    EXPECT_EQ(ini.Value("Project", "EngineerName"), "Ann Smith"); // first one, trimmed
    EXPECT_EQ(ini.Value("Project", "FacAddr"), "1 Main St;Springfield");
    EXPECT_EQ(ini.Value("Project", "AgentName"), "still in Project"); // "[Broken" is no section
    EXPECT_EQ(ini.Value("Project", "EnterAsTab"), std::nullopt);      // other section
    EXPECT_EQ(ini.Value("Missing", "EnterAsTab"), std::nullopt);
    EXPECT_EQ(ini.Value("Project", "; EngineerName"), std::nullopt); // comments are no keys
    // Every line that erasing the section would drop, but blanks and comments.
    const std::vector<std::string> expected = {"EngineerName = Ann Smith",
                                               "this line has no equals sign",
                                               "engineername=second, ignored",
                                               "FacAddr=1 Main St;Springfield",
                                               "[Broken",
                                               "AgentName=still in Project"};
    EXPECT_EQ(ini.SectionLines("PROJECT"), expected);
}

TEST(IniFile, TypedReadsFallBackToTheDefault) {
    struct Case {
        const char* value;
        int asInteger; // default 7
        bool asBool;   // default true
    };
    const Case cases[] = {
        {"12", 12, true},  {"-5", -5, true},   {"0", 0, false},  {"0x1F", 31, true},
        {"0X0", 0, false}, {"12abc", 7, true}, {"abc", 7, true}, {"", 7, true},
        {"1.0", 7, true},  {" 3 ", 3, true},   {"2", 2, true},   {"99999999999", 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const TIniFile ini = TIniFile::FromText(std::string("[S]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.ReadInteger("S", "k", 7), c.asInteger);
        EXPECT_EQ(ini.ReadBool("S", "k", true), c.asBool);
    }
    const TIniFile empty = TIniFile::FromText("");
    EXPECT_EQ(empty.ReadInteger("S", "k", 240), 240);
    EXPECT_FALSE(empty.ReadBool("S", "k", false));
    EXPECT_EQ(empty.ReadString("S", "k", "none"), "none");
}

TEST(IniFile, TextsAreCutAt2047BytesButNotInsideACharacter) {
    const std::string ascii(3000, 'a');
    EXPECT_EQ(TIniFile::FromText("[S]\nk=" + ascii).ReadString("S", "k", "").size(), 2047u);
    // "é" is two bytes; 1023 of them end at byte 2046, the next one would straddle the cut.
    std::string accented;
    for (int i = 0; i < 1500; ++i)
        accented += "\xC3\xA9";
    const std::string read = TIniFile::FromText("[S]\nk=" + accented).ReadString("S", "k", "");
    EXPECT_EQ(read.size(), 2046u);
    EXPECT_EQ(read.substr(2044), "\xC3\xA9");
}

TEST(IniFile, WritingChangesOnlyTheLinesItMust) {
    TIniFile ini = TIniFile::FromText(kSample);
    ini.WriteString("PROJECT", "engineerNAME", "Bo");
    ini.WriteString("General", "MesUnits", "1");
    ini.WriteInteger("Circuits", "PhaseBAngle", 120);
    EXPECT_EQ(ini.Text(), "; written by hand\n"
                          "[General]\n"
                          "EnterAsTab=0\n"
                          "MesUnits=1\n" // added after the last line of its section
                          "\n"
                          "[Project]\n"
                          "engineerNAME=Bo\n"
                          "this line has no equals sign\n"
                          "; EngineerName=commented out\n"
                          "engineername=second, ignored\n"
                          "FacAddr=1 Main St;Springfield\n"
                          "[Broken\n"
                          "AgentName=still in Project\n"
                          "\n"
                          "[Circuits]\n" // a new section goes at the end
                          "PhaseBAngle=120\n");
}

TEST(IniFile, KeepsLineEndsAndByteOrderMark) {
    TIniFile ini = TIniFile::FromText("\xEF\xBB\xBF[General]\r\nEnterAsTab=1\r\n");
    EXPECT_EQ(ini.Value("General", "EnterAsTab"), "1");
    ini.WriteBool("General", "EnterAsTab", false);
    EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[General]\r\nEnterAsTab=0\r\n");
}

TEST(IniFile, AValueCannotBreakIntoNewLines) {
    TIniFile ini = TIniFile::FromText("");
    ini.WriteString("Project", "EngineerName", "Ann\r\n[Voltages]\n0=999,1,999");
    const TIniFile reread = TIniFile::FromText(ini.Text());
    EXPECT_EQ(reread.ReadString("Project", "EngineerName", ""), "Ann  [Voltages] 0=999,1,999");
    EXPECT_TRUE(reread.SectionLines("Voltages").empty());
}

TEST(IniFile, ErasingASectionRemovesAllOfIt) {
    TIniFile ini = TIniFile::FromText("[Voltages]\n0=230,1.050,242\n; note\n\n"
                                      "[General]\nEnterAsTab=1\n"
                                      "[voltages]\n1=115,1.050,121\n");
    ini.EraseSection("Voltages");
    EXPECT_EQ(ini.Text(), "[General]\nEnterAsTab=1\n");
    EXPECT_TRUE(ini.SectionLines("Voltages").empty());
}

TEST(IniFile, MissingFileReadsEmptyAndNothingIsCreatedUntilAWrite) {
    TTempFolder folder;
    const fs::path path = folder / "sub" / "corvalt.INI";
    TIniFile ini = TIniFile::Read(path);
    EXPECT_FALSE(ini.Exists());
    EXPECT_FALSE(ini.Unreadable());
    EXPECT_EQ(ini.Save(), std::nullopt); // nothing changed: nothing written
    ini.EraseSection("Voltages");
    EXPECT_EQ(ini.Save(), std::nullopt);
    EXPECT_FALSE(fs::exists(folder / "sub"));

    ini.WriteBool("General", "EnterAsTab", false);
    ASSERT_EQ(ini.Save(), std::nullopt);
    EXPECT_EQ(ReadFile(path), "[General]\nEnterAsTab=0\n"); // folders created too
}

TEST(IniFile, SavingReplacesTheFileWholeAndKeepsItsPermissionsAndLinks) {
    TTempFolder folder;
    const fs::path real = folder / "real.INI";
    const fs::path link = folder / "corvalt.INI";
    WriteFile(real, "[General]\nEnterAsTab=1\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);

    TIniFile ini = TIniFile::Read(link);
    ini.WriteBool("General", "EnterAsTab", false);
    ASSERT_EQ(ini.Save(), std::nullopt);

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "[General]\nEnterAsTab=0\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 2); // no temporary file left behind
}

TEST(IniFile, ARefusedWriteIsReportedAndLosesNothing) {
    TTempFolder folder;
    // A folder where the file should be: it cannot be read, and must not be replaced.
    const fs::path notAFile = folder / "corvalt.INI";
    fs::create_directory(notAFile);
    WriteFile(notAFile / "keep.txt", "x");
    TIniFile ini = TIniFile::Read(notAFile);
    EXPECT_TRUE(ini.Unreadable());
    ini.WriteBool("General", "EnterAsTab", false);
    EXPECT_EQ(ini.Save(),
              "Unable to write to " + notAFile.string() + " (the file could not be read)");
    EXPECT_EQ(ReadFile(notAFile / "keep.txt"), "x");

    // A regular file where the folder should be.
    WriteFile(folder / "plain", "data");
    TIniFile nested = TIniFile::Read(folder / "plain" / "corvalt.INI");
    nested.WriteBool("General", "EnterAsTab", false);
    const fs::path inPlain = folder / "plain" / "corvalt.INI";
    EXPECT_EQ(nested.Save(), "Unable to write to " + inPlain.string() + " (the folder '" +
                                 (folder / "plain").string() + "' does not exist)");
    EXPECT_EQ(ReadFile(folder / "plain"), "data");
}

TEST(IniFile, AWriteTheSystemRefusesMidwaySaysWhy) {
    TTempFolder folder;
    const fs::path path = folder / "corvalt.INI";
    WriteFile(path, "[General]\nEnterAsTab=0\n");
    TIniFile ini = TIniFile::Read(path);
    ini.WriteString("Project", "Notes", std::string(2000, 'n'));
    // Files may not grow past 1 KiB: the write fails as on a full disk.
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const rlimit small{1024, original.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<std::string> refused = ini.Save();
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, SIG_DFL);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->rfind("Unable to write to " + path.string() + " (cannot write '", 0), 0u)
        << *refused;
    EXPECT_NE(refused->find(std::string(": ") + std::strerror(EFBIG) + ")"), std::string::npos)
        << *refused;
    EXPECT_EQ(ReadFile(path), "[General]\nEnterAsTab=0\n");
}

TEST(IniFile, AFileTooLargeToBePreferencesIsNeverReplaced) {
    TTempFolder folder;
    const fs::path path = folder / "corvalt.INI";
    WriteFile(path, "[General]\nEnterAsTab=0\n");
    fs::resize_file(path, 17u * 1024u * 1024u); // sparse: no real disk use
    TIniFile ini = TIniFile::Read(path);
    EXPECT_TRUE(ini.Unreadable());
    EXPECT_EQ(ini.Value("General", "EnterAsTab"), std::nullopt);
    ini.WriteBool("General", "EnterAsTab", true);
    EXPECT_EQ(ini.Save(), UnableToWriteMessage(path, "the file could not be read"));
    EXPECT_EQ(fs::file_size(path), 17u * 1024u * 1024u);
}
