// corvalt-cli compute FILE.emf [--site NAME=VALUE[,NAME=VALUE...]]: computes
// every cross section as a report would (without the data check) and prints the
// results as one JSON object, one cross section at a time (only its results
// are held). --site sets corona site parameters of every cross section for
// this run, in stored units.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/ComputeJson.h"

#include "compute/Compute.h"
#include "model/Parallel.h"
#include "model/Project.h"
#include "model/TextHelpers.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvalt::cli {

namespace {

constexpr const char* kUsage =
    "usage: corvalt-cli compute FILE.emf [--site NAME=VALUE[,NAME=VALUE...]]";

using TSiteOverrides = std::vector<std::pair<const TSiteParameterInfo*, float>>;

std::string KnownSiteNames() {
    std::string names;
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        names += (names.empty() ? "" : ", ") + std::string(parameter.Key);
    return names;
}

// One "NAME=VALUE" of --site, or the message saying what is wrong with it.
std::optional<std::string> ParseSiteOverride(const std::string& item, TSiteOverrides& overrides) {
    const std::size_t equals = item.find('=');
    if (equals == std::string::npos)
        return "--site needs NAME=VALUE pairs separated by commas, not '" + item + "'";
    const std::string name = item.substr(0, equals);
    const std::string text = item.substr(equals + 1);
    const TSiteParameterInfo* parameter = FindSiteParameter(name);
    if (parameter == nullptr)
        return "--site: unknown site parameter '" + name + "' (known: " + KnownSiteNames() + ")";
    for (const auto& [given, value] : overrides)
        if (given == parameter) return "--site: " + name + " given twice";
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    const auto outOfRange = [&](const std::string& given) {
        return "--site: " + name + " must be from " + SiteRangeText(*parameter) +
               ", or 0 for the default, not " + given;
    };
    // A number too small or too large for a float is a number all the same.
    if (error == std::errc::result_out_of_range && stop == end) return outOfRange(text);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return "--site: the value of " + name + " must be a finite number, not '" + text + "'";
    if (!IsAllowedSiteValue(*parameter, value)) return outOfRange(ShortestFloatText(value));
    overrides.emplace_back(parameter, value);
    return std::nullopt;
}

// Takes "--site NAME=VALUE[,NAME=VALUE...]" out of args.
std::optional<std::string> TakeSiteOption(Args& args, TSiteOverrides& overrides) {
    std::string list;
    bool given = false;
    if (auto error = TakeOption(args, "--site", "NAME=VALUE pairs", list, given)) return error;
    if (!given) return std::nullopt;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        if (auto error = ParseSiteOverride(list.substr(start, comma - start), overrides))
            return error;
        if (comma == std::string::npos) return std::nullopt;
        start = comma + 1;
    }
}

void ApplySiteOverrides(TEmfProject& project, const TSiteOverrides& overrides) {
    for (TScenario& scenario : project.Scenarios)
        for (const auto& [parameter, value] : overrides)
            scenario.SetSiteValue(parameter->Id, value);
}

} // namespace

int RunCompute(const Args& arguments) {
    StartWorkers();
    Args args = arguments;
    TSiteOverrides overrides;
    if (auto error = TakeSiteOption(args, overrides)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    ApplySiteOverrides(project, overrides);
    int failed = 0;
    TComputeJsonWriter json(std::cout, project);
    for (TScenario& scenario : project.Scenarios) {
        if (!ComputeScenario(scenario)) ++failed;
        json.CrossSection(scenario);
        ReleaseResults(scenario);
    }
    json.Finish();

    // Every cross section is in the output; one that could not be computed
    // carries its reason there and makes the command fail.
    if (failed > 0)
        return Fail(ExitCheckFailed, std::to_string(failed) + " of " +
                                         std::to_string(project.Scenarios.Count()) +
                                         " cross sections could not be computed");
    return ExitOk;
}

} // namespace corvalt::cli
