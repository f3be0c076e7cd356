#include "prefs/IniLocation.h"

#include <gtest/gtest.h>

using namespace corvalt;
namespace fs = std::filesystem;

TEST(IniLocation, ChoosesTheFileInItsOrderOfPrecedence) {
    struct Case {
        const char* title;
        TIniSearch search;
        const char* expectedFile;
        TIniSource expectedSource;
    };
    TIniSearch installed;
    installed.ProgramFile = "/usr/bin/corvalt";
    installed.ProgramFolderWritable = false;
    installed.Home = "/home/ann";
    TIniSearch built = installed;
    built.ProgramFile = "/src/corvalt/build/bin/corvalt-cli";
    built.ProgramFolderWritable = true;
    TIniSearch withXdg = installed;
    withXdg.XdgConfigHome = "/home/ann/settings";
    TIniSearch relativeXdg = installed;
    relativeXdg.XdgConfigHome = "settings"; // not absolute: ignored
    TIniSearch withEnvironment = built;
    withEnvironment.EnvironmentFile = "/tmp/test.INI";
    TIniSearch withBoth = withEnvironment;
    withBoth.CommandLineFile = "/data/other.INI";
    TIniSearch noHome = installed;
    noHome.Home = "";

    const Case cases[] = {
        {"beside a program in a writable folder", built, "/src/corvalt/build/bin/corvalt.INI",
         TIniSource::ProgramFolder},
        {"installed program", installed, "/home/ann/.config/corvalt/corvalt.INI",
         TIniSource::UserConfig},
        {"XDG_CONFIG_HOME", withXdg, "/home/ann/settings/corvalt/corvalt.INI",
         TIniSource::UserConfig},
        {"relative XDG_CONFIG_HOME", relativeXdg, "/home/ann/.config/corvalt/corvalt.INI",
         TIniSource::UserConfig},
        {"CORVALT_INI", withEnvironment, "/tmp/test.INI", TIniSource::Environment},
        {"--ini wins", withBoth, "/data/other.INI", TIniSource::CommandLine},
        {"no home folder", noHome, "/usr/bin/corvalt.INI", TIniSource::ProgramFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const TIniLocation location = LocateIniFile(c.search);
        EXPECT_EQ(location.File, fs::path(c.expectedFile));
        EXPECT_EQ(location.Source, c.expectedSource);
    }
}

TEST(IniLocation, ARelativeFileNameIsMadeAbsolute) {
    TIniSearch search;
    search.CommandLineFile = "sub/../prefs.INI";
    const TIniLocation location = LocateIniFile(search);
    EXPECT_TRUE(location.File.is_absolute());
    EXPECT_EQ(location.File, fs::current_path() / "prefs.INI");
}

TEST(IniLocation, BothProgramsOfOneFolderShareOneFile) {
    TIniSearch desktop;
    desktop.ProgramFile = "/opt/corvalt/bin/corvalt";
    desktop.ProgramFolderWritable = true;
    TIniSearch cli = desktop;
    cli.ProgramFile = "/opt/corvalt/bin/corvalt-cli";
    EXPECT_EQ(LocateIniFile(desktop).File, LocateIniFile(cli).File);
    EXPECT_EQ(LocateIniFile(desktop).File, fs::path("/opt/corvalt/bin/corvalt.INI"));
}
