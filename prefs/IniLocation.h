#pragma once
// Where the preferences file lives.
//
// The file is named after the desktop program: "<folder of the program>/corvalt.INI",
// which is the program's path ("corvalt", or "corvalt.exe") with its extension
// replaced by ".INI". corvalt-cli is installed in the same folder as corvalt
// (build/bin/ in a build tree) and uses the same fixed name, so both programs
// share one file. In order:
//   1. a file named on the command line (corvalt-cli --ini FILE);
//   2. the file named by the environment variable CORVALT_INI;
//   3. corvalt.INI beside the program, when the program's folder is writable;
//   4. otherwise (an installed program) $XDG_CONFIG_HOME/corvalt/corvalt.INI,
//      by default ~/.config/corvalt/corvalt.INI.
// Finding the file never creates it.

#include <filesystem>
#include <string>

namespace corvalt {

inline constexpr const char* kIniFileName = "corvalt.INI";
inline constexpr const char* kIniEnvironmentVariable = "CORVALT_INI";

enum class TIniSource { CommandLine, Environment, ProgramFolder, UserConfig };

struct TIniLocation {
    std::filesystem::path File; // absolute
    TIniSource Source = TIniSource::ProgramFolder;
};

// Everything the choice depends on, so that it can be made without touching
// the process environment.
struct TIniSearch {
    std::filesystem::path CommandLineFile; // empty: none given
    std::string EnvironmentFile;           // CORVALT_INI; empty: unset
    std::filesystem::path ProgramFile;     // the running program; empty: unknown
    bool ProgramFolderWritable = false;
    std::string XdgConfigHome; // ignored unless absolute, as the XDG rules say
    std::string Home;
};

TIniLocation LocateIniFile(const TIniSearch& search);

// The search for the running process: CORVALT_INI, XDG_CONFIG_HOME and HOME
// from the environment, and whether programFile's folder is writable.
TIniSearch IniSearchFor(const std::filesystem::path& programFile,
                        const std::filesystem::path& commandLineFile);

// The running program's own file (from /proc/self/exe on Linux); empty when it
// cannot be found. The desktop program may pass Qt's applicationFilePath instead.
std::filesystem::path RunningProgramFile();

// How the file was chosen, for messages: "given on the command line", "from CORVALT_INI",
// "beside the program", "in the user's configuration folder".
const char* IniSourceText(TIniSource source);

} // namespace corvalt
