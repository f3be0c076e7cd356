// corvalt-cli span FILE.emf --route "x,y;x,y;..." --sag S [--section N]
// [--span-length L] [--spans-only]: lays cross section N's line along the
// route (BuildSpans, space/BuildSpans.h) and prints the plan's model as JSON
// (format corvalt-map/1), or with --spans-only the array of its conductors,
// for scripts to edit and hand to map or plan --add. Route, sag and span
// length are in the project's display units (ft or m).
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/MapJson.h"

#include "model/Project.h"
#include "space/BuildSpans.h"

#include <cmath>
#include <iostream>
#include <variant>

namespace corvalt::cli {

namespace {

constexpr const char* kUsage = "usage: corvalt-cli span FILE.emf --route \"x,y;x,y;...\" --sag S "
                               "[--section N] [--span-length L] [--spans-only]";

bool ReadFinite(std::string_view text, double& value) {
    return ReadNumber(text, value) && std::isfinite(value);
}

// "x,y;x,y;...": the route's points, or the message saying what is wrong.
std::optional<std::string> ParseRouteOption(const std::string& text,
                                            std::vector<TPlanCorner>& route) {
    auto parsed = space::ParseRoute(text, [](std::string_view number) -> std::optional<double> {
        double value = 0;
        if (!ReadFinite(number, value)) return std::nullopt;
        return value;
    });
    if (const space::TRouteFault* fault = std::get_if<space::TRouteFault>(&parsed))
        return "--route: point " + std::to_string(fault->Point) + " must be x,y, not '" +
               fault->Entry + "'";
    route = std::get<std::vector<TPlanCorner>>(std::move(parsed));
    return std::nullopt;
}

std::optional<std::string> TakeLength(Args& args, std::string_view name, double& value,
                                      bool& given) {
    std::string text;
    if (auto error = TakeOption(args, name, "a length", text, given)) return error;
    if (given && (!ReadFinite(text, value) || value < 0))
        return std::string(name) + " needs a length of 0 or more, not '" + text + "'";
    return std::nullopt;
}

} // namespace

int RunSpan(const Args& arguments) {
    Args args = arguments;
    std::string routeText;
    bool routeGiven = false, sagGiven = false, lengthGiven = false;
    double sag = 0, spanLength = 0;
    int section = 1;
    if (auto error = TakeOption(args, "--route", "points x,y;x,y;...", routeText, routeGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeLength(args, "--sag", sag, sagGiven)) return Fail(ExitBadInput, *error);
    if (auto error = TakeLength(args, "--span-length", spanLength, lengthGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeSectionOption(args, section)) return Fail(ExitBadInput, *error);
    const bool spansOnly = TakeFlag(args, "--spans-only");
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1 || !routeGiven || !sagGiven) return Fail(ExitBadInput, kUsage);
    std::vector<TPlanCorner> route;
    if (auto error = ParseRouteOption(routeText, route)) return Fail(ExitBadInput, *error);

    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    auto built = space::BuildSpans(*scenario, route, spanLength, sag);
    if (const auto* error = std::get_if<space::TMapInputError>(&built))
        return Fail(ExitBadInput, args[0] + ": cross section " + std::to_string(section) + ": " +
                                      error->Message);
    WriteMapModelJson(std::cout, std::get<TPlan>(built), spansOnly);
    return ExitOk;
}

} // namespace corvalt::cli
