#include "prefs/StarterLibrary.h"

#include "prefs/IniFile.h"
#include "prefs/IniLocation.h"

#include <system_error>

namespace corvalt {
namespace fs = std::filesystem;

fs::path StarterLibraryFor(const fs::path& programFile) {
    if (programFile.empty()) return {};
    const fs::path starter =
        (programFile.parent_path().parent_path() / kStarterLibraryFolder / kIniFileName)
            .lexically_normal();
    std::error_code error;
    return fs::is_regular_file(starter, error) ? starter : fs::path();
}

TStarterResult ProvideStarterLibrary(const fs::path& iniFile, const fs::path& starter) {
    std::error_code error;
    if (fs::exists(iniFile, error) || error) return {TStarterOutcome::Existing, {}};
    if (starter.empty() || !fs::is_regular_file(starter, error))
        return {TStarterOutcome::NoStarter, {}};
    auto failed = [&](const std::error_code& cause) {
        return TStarterResult{TStarterOutcome::Failed,
                              UnableToWriteMessage(iniFile) + ": " + cause.message()};
    };
    if (fs::create_directories(iniFile.parent_path(), error); error) return failed(error);
    // copy_options::none refuses a file that exists: one that another start
    // made in the meantime stays as it is.
    if (!fs::copy_file(starter, iniFile, fs::copy_options::none, error)) {
        if (error == std::errc::file_exists) return {TStarterOutcome::Existing, {}};
        return failed(error);
    }
    // The starter may be read-only where it is installed; the copy is the user's.
    fs::permissions(iniFile, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    error);
    return {TStarterOutcome::Copied, {}};
}

} // namespace corvalt
