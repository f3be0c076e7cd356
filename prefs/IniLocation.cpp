#include "prefs/IniLocation.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace corvalt {
namespace fs = std::filesystem;
namespace {

fs::path Absolute(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool FolderWritable(const fs::path& folder) {
#ifdef _WIN32
    return _waccess(folder.c_str(), 2) == 0;
#else
    return access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

fs::path UserConfigFolder(const TIniSearch& search) {
    const fs::path xdg = search.XdgConfigHome;
    if (!xdg.empty() && xdg.is_absolute()) return xdg;
    if (!search.Home.empty()) return fs::path(search.Home) / ".config";
    return {};
}

} // namespace

TIniLocation LocateIniFile(const TIniSearch& search) {
    if (!search.CommandLineFile.empty())
        return {Absolute(search.CommandLineFile), TIniSource::CommandLine};
    if (!search.EnvironmentFile.empty())
        return {Absolute(search.EnvironmentFile), TIniSource::Environment};
    const fs::path programFolder = search.ProgramFile.parent_path();
    const fs::path configFolder = UserConfigFolder(search);
    // Without a home folder the program's folder is still the best place: a
    // write there fails with a message naming it.
    if ((search.ProgramFolderWritable || configFolder.empty()) && !programFolder.empty())
        return {Absolute(programFolder / kIniFileName), TIniSource::ProgramFolder};
    if (!configFolder.empty())
        return {Absolute(configFolder / "corvalt" / kIniFileName), TIniSource::UserConfig};
    return {Absolute(kIniFileName), TIniSource::ProgramFolder};
}

TIniSearch IniSearchFor(const fs::path& programFile, const fs::path& commandLineFile) {
    TIniSearch search;
    search.CommandLineFile = commandLineFile;
    search.EnvironmentFile = Environment(kIniEnvironmentVariable);
    search.ProgramFile = programFile;
    search.ProgramFolderWritable =
        !programFile.empty() && FolderWritable(programFile.parent_path());
    search.XdgConfigHome = Environment("XDG_CONFIG_HOME");
    search.Home = Environment("HOME");
    return search;
}

fs::path RunningProgramFile() {
    std::error_code error;
    const fs::path file = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : file;
}

const char* IniSourceText(TIniSource source) {
    switch (source) {
    case TIniSource::CommandLine:
        return "given on the command line";
    case TIniSource::Environment:
        return "from CORVALT_INI";
    case TIniSource::ProgramFolder:
        return "beside the program";
    case TIniSource::UserConfig:
        return "in the user's configuration folder";
    }
    return "";
}

} // namespace corvalt
