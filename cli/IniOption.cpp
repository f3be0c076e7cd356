#include "cli/IniOption.h"

namespace corvalt::cli {

std::optional<std::string> TakeIniOption(Args& args, std::string& file) {
    constexpr std::string_view kOption = "--ini";
    bool given = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& arg = args[i];
        const bool separate = arg == kOption;
        const bool joined = arg.rfind("--ini=", 0) == 0;
        if (!separate && !joined) {
            ++i;
            continue;
        }
        if (given) return "--ini given twice";
        if (separate && i + 1 >= args.size()) return "--ini needs a file name";
        file = separate ? args[i + 1] : arg.substr(kOption.size() + 1);
        if (file.empty()) return "--ini needs a file name";
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i + (separate ? 2 : 1)));
        given = true;
    }
    return std::nullopt;
}

TIniLocation CliIniLocation(const std::string& file) {
    return LocateIniFile(IniSearchFor(RunningProgramFile(), file));
}

} // namespace corvalt::cli
