// corvalt-cli --version [--ini FILE]: the version, the preferences file in use
// and the starter library that comes with the programs.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/IniOption.h"
#include "model/TextHelpers.h"
#include "model/Version.h"
#include "prefs/StarterLibrary.h"

#include <filesystem>
#include <iostream>

namespace corvalt::cli {

int RunVersion(const Args& arguments) {
    Args args = arguments;
    std::string iniFile;
    if (const auto error = TakeIniOption(args, iniFile)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (!args.empty()) return Fail(ExitBadInput, "unexpected argument '" + args.front() + "'");
    const TIniLocation location = CliIniLocation(iniFile);
    std::error_code error;
    const bool exists = std::filesystem::exists(location.File, error);
    std::cout << "corvalt-cli " << kVersionText << "\n"
              << "preferences: " << PrintableText(location.File.string()) << " ("
              << IniSourceText(location.Source) << (exists ? "" : ", not created yet") << ")\n";
    const std::filesystem::path starter = StarterLibraryFor(RunningProgramFile());
    std::cout << "starter library: "
              << (starter.empty() ? "none found" : PrintableText(starter.string())) << "\n";
    return ExitOk;
}

} // namespace corvalt::cli
