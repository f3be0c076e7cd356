#include "cli/ArgOptions.h"

#include "model/Project.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace corvalt::cli {
namespace {

constexpr std::string_view kEndOfOptions = "--";

} // namespace

std::optional<std::string> TakeOption(Args& args, std::string_view name, std::string_view what,
                                      std::string& value, bool& given) {
    const std::string option(name);
    const std::string joinedPrefix = option + "=";
    given = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& arg = args[i];
        if (arg == kEndOfOptions) break;
        const bool separate = arg == option;
        const bool joined = arg.rfind(joinedPrefix, 0) == 0;
        if (!separate && !joined) {
            ++i;
            continue;
        }
        if (given) return option + " given twice";
        const std::string missing = option + " needs " + std::string(what);
        if (separate && i + 1 >= args.size()) return missing;
        value = separate ? args[i + 1] : arg.substr(joinedPrefix.size());
        if (value.empty()) return missing;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i + (separate ? 2 : 1)));
        given = true;
    }
    return std::nullopt;
}

bool TakeFlag(Args& args, std::string_view name) {
    const auto end = std::find(args.begin(), args.end(), kEndOfOptions);
    const auto kept = std::remove(args.begin(), end, name);
    const bool taken = kept != end;
    args.erase(kept, end);
    return taken;
}

std::optional<std::string> RejectUnknownOptions(Args& args) {
    for (auto arg = args.begin(); arg != args.end(); ++arg) {
        if (*arg == kEndOfOptions) {
            args.erase(arg);
            break;
        }
        if (arg->size() > 1 && arg->front() == '-')
            return "unknown option '" + *arg + "' (see corvalt-cli --help)";
    }
    return std::nullopt;
}

bool ReadNumber(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

std::optional<std::string> TakeSizeOption(Args& args, int lowest, int highest, int& width,
                                          int& height) {
    std::string text;
    bool given = false;
    if (auto error = TakeOption(args, "--size", "a size WIDTHxHEIGHT", text, given)) return error;
    if (!given) return std::nullopt;
    const std::size_t x = text.find('x');
    double w = 0, h = 0;
    const auto inRange = [lowest, highest](double side) {
        return side == std::floor(side) && side >= lowest && side <= highest;
    };
    if (x == std::string::npos || !ReadNumber(std::string_view(text).substr(0, x), w) ||
        !ReadNumber(std::string_view(text).substr(x + 1), h) || !inRange(w) || !inRange(h))
        return "--size needs WIDTHxHEIGHT, whole numbers from " + std::to_string(lowest) +
               " to " + std::to_string(highest) + ", not '" + text + "'";
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return std::nullopt;
}

std::optional<std::string> TakeSectionOption(Args& args, int& section) {
    std::string text;
    bool given = false;
    if (auto error = TakeOption(args, "--section", "a cross-section number", text, given))
        return error;
    section = 1;
    if (!given) return std::nullopt;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, section);
    if (error != std::errc() || stop != end || section < 1)
        return "--section needs a cross-section number from 1 on, not '" + text + "'";
    return std::nullopt;
}

TScenario* SectionOrFail(TEmfProject& project, int section, const std::string& projectPath) {
    const int count = project.Scenarios.Count();
    if (section >= 1 && section <= count) return &project.Scenarios[section - 1];
    Fail(ExitBadInput, projectPath + ": there is no cross section " + std::to_string(section) +
                           " (the project has " + std::to_string(count) + ")");
    return nullptr;
}

} // namespace corvalt::cli
