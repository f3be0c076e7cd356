#include "cli/IniOption.h"

#include "cli/ArgOptions.h"
#include "prefs/Options.h"

namespace corvalt::cli {

std::optional<std::string> TakeIniOption(Args& args, std::string& file) {
    bool given = false;
    return TakeOption(args, "--ini", "a file name", file, given);
}

TIniLocation CliIniLocation(const std::string& file) {
    return LocateIniFile(IniSearchFor(RunningProgramFile(), file));
}

int ReadFieldLimits(const std::string& file, TFieldLimits& limits) {
    const TOptions options(CliIniLocation(file).File);
    if (auto error = options.CheckReadable()) return Fail(ExitBadInput, *error);
    for (const std::string& line : options.UnreadableLimitLines())
        Warn("field limits line read in part (the rest are defaults): " + line);
    limits = options.FieldLimits();
    return ExitOk;
}

} // namespace corvalt::cli
