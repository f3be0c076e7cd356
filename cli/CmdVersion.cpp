// corvalt-cli --version [--ini FILE]: the version and the preferences file in use.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/IniOption.h"
#include "model/TextHelpers.h"
#include "model/Version.h"

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
    return ExitOk;
}

} // namespace corvalt::cli
