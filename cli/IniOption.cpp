#include "cli/IniOption.h"

#include "cli/ArgOptions.h"

namespace corvalt::cli {

std::optional<std::string> TakeIniOption(Args& args, std::string& file) {
    bool given = false;
    return TakeOption(args, "--ini", "a file name", file, given);
}

TIniLocation CliIniLocation(const std::string& file) {
    return LocateIniFile(IniSearchFor(RunningProgramFile(), file));
}

} // namespace corvalt::cli
