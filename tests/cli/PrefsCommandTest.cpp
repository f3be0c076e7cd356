// corvalt-cli prefs and --version, run as a user runs them. Every run names its
// preferences file (--ini or CORVALT_INI) in a test folder.
#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using corvalt::test::ReadFile;
using corvalt::test::TTempFolder;
using corvalt::test::WriteFile;
namespace fs = std::filesystem;

namespace {

struct TRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

class PrefsCommandTest : public ::testing::Test {
  protected:
    // Runs "corvalt-cli arguments" with CORVALT_INI set to environmentIni (unset
    // when empty).
    TRun Run(const std::string& arguments, const std::string& environmentIni = "",
             const std::string& runAs = "") const {
        const fs::path out = folder / "stdout";
        const fs::path err = folder / "stderr";
        const std::string environment = environmentIni.empty()
                                            ? "env -u CORVALT_INI "
                                            : "env CORVALT_INI='" + environmentIni + "' ";
        const std::string command = environment + runAs + "'" CORVALT_CLI "' " + arguments + " >'" +
                                    out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        TRun run;
        run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Out = ReadFile(out);
        run.Err = ReadFile(err);
        return run;
    }

    std::string Quoted(const fs::path& path) const { return "'" + path.string() + "'"; }

    TTempFolder folder;
    const fs::path ini = folder / "corvalt.INI";
};

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

// The field limits of the standards, kV/m and mG, as prefs prints them.
const std::string kDefaultLimits =
    "  \"Limits\": {\n"
    "    \"Line230\": {\"EWithinRow\": 8, \"EAtEdge\": 2, \"BAtEdge\": 150},\n"
    "    \"Line500\": {\"EWithinRow\": 10, \"EAtEdge\": 2, \"BAtEdge\": 200},\n"
    "    \"Line500Double\": {\"EWithinRow\": 10, \"EAtEdge\": 2, \"BAtEdge\": 250},\n"
    "    \"Substation\": {\"EWithinRow\": null, \"EAtEdge\": 2, \"BAtEdge\": 150}\n"
    "  }\n";

TEST_F(PrefsCommandTest, WithoutAFilePrintsEveryDefaultAndCreatesNothing) {
    const TRun run = Run("prefs --ini " + Quoted(ini));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, "{\n"
                       "  \"file\": \"" +
                           ini.string() +
                           "\",\n"
                           "  \"exists\": false,\n"
                           "  \"General\": {\n"
                           "    \"BPAFile\": false,\n"
                           "    \"BPADetails\": false,\n"
                           "    \"EnterAsTab\": true\n"
                           "  },\n"
                           "  \"Circuits\": {\n"
                           "    \"PhaseAAngle\": 0,\n"
                           "    \"PhaseBAngle\": 120,\n"
                           "    \"PhaseCAngle\": 240\n"
                           "  },\n"
                           "  \"Project\": {\n"
                           "    \"EngineerName\": \"\",\n"
                           "    \"AgentName\": \"\",\n"
                           "    \"AgentAddress\": \"\",\n"
                           "    \"AgentPhone\": \"\",\n"
                           "    \"PeName\": \"\",\n"
                           "    \"PeAddress\": \"\",\n"
                           "    \"PePhone\": \"\",\n"
                           "    \"MesUnits\": 0,\n"
                           "    \"CsPrtOpt\": 0,\n"
                           "    \"FacName\": \"\",\n"
                           "    \"FacAddr\": \"\",\n"
                           "    \"FacCnt\": \"\",\n"
                           "    \"FacCty\": \"\"\n"
                           "  },\n"
                           "  \"CoronaSite\": {\n"
                           "    \"MicrophoneHeight\": 0,\n"
                           "    \"RadioAntennaHeight\": 0,\n"
                           "    \"TvAntennaHeight\": 0,\n"
                           "    \"OzoneHeight\": 0,\n"
                           "    \"Altitude\": 0,\n"
                           "    \"RainRate\": 0,\n"
                           "    \"WindVelocity\": 0,\n"
                           "    \"RadioFrequency\": 0,\n"
                           "    \"TvFrequency\": 0,\n"
                           "    \"GroundConductivity\": 0\n"
                           "  },\n"
                           "  \"Reports\": {\n"
                           "    \"LimitsStatement\": true,\n"
                           "    \"DetailsPlot\": true,\n"
                           "    \"CoronaPlot\": true\n"
                           "  },\n"
                           "  \"Voltages\": [],\n"
                           "  \"Conductors\": [],\n"
                           "  \"Ohgws\": [],\n" +
                           kDefaultLimits + "}\n");
    EXPECT_EQ(Run("prefs --resave --ini " + Quoted(ini)).ExitCode, 0);
    EXPECT_FALSE(fs::exists(ini)); // empty libraries: nothing to write
}

TEST_F(PrefsCommandTest, PrintsTypedValuesAndTheLibraries) {
    WriteFile(ini, "[General]\nBPAFile=1\nEnterAsTab=0\n[Project]\nMesUnits=1\n"
                   "EngineerName=Ann \"A.\" O'Neil\n[CoronaSite]\nAltitude=1500\n"
                   "[Voltages]\n0=230,1.050,242\n"
                   "[Conductors]\n0=|Drake|,28.143,907\n[Ohgws]\n0=|3/8 EHS|,9.525\n");
    const TRun run = Run("prefs", ini.string()); // through CORVALT_INI
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const char* const expectedParts[] = {
        "\"exists\": true,",
        "\"BPAFile\": true,",
        "\"EnterAsTab\": false\n",
        "\"MesUnits\": 1,",
        "\"Altitude\": 1500,",
        "\"EngineerName\": \"Ann \\\"A.\\\" O'Neil\",",
        "\"Voltages\": [\n    {\"Voltage\": 230, \"OverRateFactor\": 1.05, \"MaxVoltage\": 242}\n  "
        "]",
        "\"Conductors\": [\n    {\"Name\": \"Drake\", \"Diameter\": 28.143, \"Mcr\": 907}\n  ]",
        "\"Ohgws\": [\n    {\"Name\": \"3/8 EHS\", \"Diameter\": 9.525}\n  ]",
    };
    for (const char* part : expectedParts)
        EXPECT_NE(run.Out.find(part), std::string::npos) << part;
}

TEST_F(PrefsCommandTest, ResaveWritesAnOlderFileInTheNewerLayout) {
    // A section that mixes the layouts keeps every entry, in order.
    WriteFile(ini, "[Project]\nFacName=Grid Co\n\n[Conductors]\nDrake=28.143,907\n"
                   "1=|Linnet|,18.288,529\n\n[Voltages]\n34.5=1.05,36.225\n");
    const TRun run = Run("prefs --resave --ini " + Quoted(ini));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(ReadFile(ini), "[Project]\nFacName=Grid Co\n\n"
                             "[Voltages]\n0=35,1.050,36\n\n"
                             "[Conductors]\n0=|Drake|,28.143,907\n1=|Linnet|,18.288,529\n");
    // What is printed is what the file now holds.
    EXPECT_NE(run.Out.find("{\"Voltage\": 35, \"OverRateFactor\": 1.05, \"MaxVoltage\": 36}"),
              std::string::npos);
}

TEST_F(PrefsCommandTest, AResaveThatWouldDropUnreadableLinesWritesNothingAndListsThem) {
    const std::string text =
        "[Conductors]\nDrake=28.143,907\nbroken=wide,1\n1=|Linnet|,18.288,529\n"
        "[Ohgws]\n0=|3/8 EHS|\n";
    WriteFile(ini, text);
    const TRun run = Run("prefs --resave --ini " + Quoted(ini));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "corvalt-cli: nothing was written: saving would drop 2 library lines that "
                       "cannot be read from " +
                           ini.string() +
                           ":\n"
                           "  [Conductors] broken=wide,1\n"
                           "  [Ohgws] 0=|3/8 EHS|\n");
    EXPECT_EQ(ReadFile(ini), text);
    // Without --resave the readable entries are listed and the rest skipped, as before.
    const TRun listing = Run("prefs --ini " + Quoted(ini));
    EXPECT_EQ(listing.ExitCode, 0);
    EXPECT_EQ(listing.Err,
              "corvalt-cli: warning: skipped 2 unusable library lines in " + ini.string() + "\n");
}

TEST_F(PrefsCommandTest, TheStarterLibraryIsPrintedWhole) {
    const TRun run =
        Run("prefs --ini " + Quoted(fs::path(CORVALT_SOURCE_DIR) / "examples" / "corvalt.INI"));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(Count(run.Out, "\"OverRateFactor\""), 7u);
    EXPECT_EQ(Count(run.Out, "\"Mcr\""), 22u);
    EXPECT_EQ(Count(run.Out, "\"Name\""), 22u + 12u);
}

TEST_F(PrefsCommandTest, BadArgumentsAndUnusableFilesExitWithTwo) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"prefs --bogus", "corvalt-cli: unknown option '--bogus' (see corvalt-cli --help)\n"},
        {"prefs extra", "corvalt-cli: unexpected argument 'extra' (see corvalt-cli --help)\n"},
        {"prefs --ini", "corvalt-cli: --ini needs a file name\n"},
        {"prefs --ini=", "corvalt-cli: --ini needs a file name\n"},
        {"prefs --ini a.INI --ini=b.INI", "corvalt-cli: --ini given twice\n"},
        {"prefs --path --resave", "corvalt-cli: --path and --resave cannot be combined\n"},
        {"prefs --ini " + Quoted(folder.Path()),
         "corvalt-cli: Unable to read " + folder.Path().string() + " (it is a folder)\n"},
        {"prefs --ini /dev/null",
         "corvalt-cli: Unable to read /dev/null (it is not a regular file)\n"},
        {"--version extra", "corvalt-cli: unexpected argument 'extra'\n"},
        {"--version -v", "corvalt-cli: unknown option '-v' (see corvalt-cli --help)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const TRun run = Run(c.arguments);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, c.message);
    }
}

TEST_F(PrefsCommandTest, ARefusedResaveExitsWithTwoAndKeepsTheFile) {
    // The superuser may write into a read-only folder: run as "nobody" then.
    const bool superuser = geteuid() == 0;
    if (superuser && std::system("command -v setpriv >/dev/null") != 0)
        GTEST_SKIP() << "running as root without setpriv";
    const std::string runAs =
        superuser ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    const std::string text = "[Voltages]\n230=1.05,242\n";
    WriteFile(locked / "corvalt.INI", text);
    using fs::perms;
    const perms readOnly = perms::owner_read | perms::owner_exec | perms::group_read |
                           perms::group_exec | perms::others_read | perms::others_exec;
    fs::permissions(folder.Path(), readOnly | perms::owner_write);
    fs::permissions(locked, readOnly);
    fs::permissions(locked / "corvalt.INI",
                    perms::owner_read | perms::group_read | perms::others_read);
    const TRun run = Run("prefs --resave --ini " + Quoted(locked / "corvalt.INI"), "", runAs);
    fs::permissions(locked, perms::owner_all);
    EXPECT_EQ(run.ExitCode, 2);
    const std::string file = (locked / "corvalt.INI").string();
    EXPECT_EQ(run.Err,
              "corvalt-cli: Unable to write to " + file + " ('" + file + "' is read-only)\n");
    EXPECT_EQ(ReadFile(locked / "corvalt.INI"), text);
}

TEST_F(PrefsCommandTest, VersionAndPathNameTheFileInUse) {
    // The build tree keeps the starter library where an installed program
    // has it: share/corvalt/ beside bin/.
    const std::string starter =
        "starter library: " +
        (fs::path(CORVALT_CLI).parent_path().parent_path() / "share/corvalt/corvalt.INI").string() +
        "\n";
    TRun run = Run("--version", ini.string());
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "corvalt-cli v1.19\npreferences: " + ini.string() +
                           " (from CORVALT_INI, not created yet)\n" + starter);

    WriteFile(ini, "");
    run = Run("--version --ini " + Quoted(ini));
    EXPECT_EQ(run.Out, "corvalt-cli v1.19\npreferences: " + ini.string() +
                           " (given on the command line)\n" + starter);

    // Without either, the file beside the program, which both programs share.
    const std::string beside = (fs::path(CORVALT_CLI).parent_path() / "corvalt.INI").string();
    run = Run("--version");
    EXPECT_EQ(
        run.Out.rfind("corvalt-cli v1.19\npreferences: " + beside + " (beside the program", 0), 0u)
        << run.Out;
    EXPECT_EQ(Run("prefs --path").Out, beside + "\n");
    EXPECT_EQ(Run("prefs --path", ini.string()).Out, ini.string() + "\n");
}
