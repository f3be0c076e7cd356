// corvalt-cli map (MODEL.json | FILE.emf --plan NAME) [--csv OUT.csv]
// [--out OUT.(png|svg|pdf)] [--quantity e|b] [--size WxH] [--scale linear|log]
// [--levels V,V,...]: computes the field map of a model (format corvalt-map/1,
// or a plan the project keeps) and prints the result as JSON (format
// corvalt-mapresult/1), or writes it as CSV, or draws its colour map into a
// picture. --quantity computes one field only (the other's values are null,
// its CSV cells empty); the picture shows E unless it asks for b. --levels
// replaces the field limits as the iso-lines' values.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/MapJson.h"
#include "cli/MapPicture.h"

#include "model/FileIo.h"
#include "model/Limits.h"
#include "space/FieldMap.h"
#include "space/MapCsv.h"
#include "space/MapModelJson.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <span>
#include <variant>

namespace corvalt::cli {

namespace {

constexpr const char* kUsage =
    "usage: corvalt-cli map (MODEL.json | FILE.emf --plan NAME) [--csv OUT.csv] "
    "[--out OUT.(png|svg|pdf)] "
    "[--quantity e|b] [--size WxH] [--scale linear|log] [--levels V,V,...]";

std::optional<std::string> TakeQuantity(Args& args, space::TMapQuantities& quantities) {
    std::string text;
    bool given = false;
    if (auto error = TakeOption(args, "--quantity", "e or b", text, given)) return error;
    quantities = space::TMapQuantities::Both;
    if (!given) return std::nullopt;
    if (text == "e")
        quantities = space::TMapQuantities::Electric;
    else if (text == "b")
        quantities = space::TMapQuantities::Magnetic;
    else
        return "--quantity needs e or b, not '" + text + "'";
    return std::nullopt;
}

std::optional<std::string> TakeLevels(Args& args, TMapPictureRequest& picture) {
    std::string text;
    bool given = false;
    if (auto error = TakeOption(args, "--levels", "values V,V,...", text, given)) return error;
    if (!given) return std::nullopt;
    std::vector<double> levels;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        double value = 0;
        const std::string_view item = std::string_view(text).substr(from, comma - from);
        if (!ReadNumber(item, value) || !std::isfinite(value) || !(value > 0))
            return "--levels needs values above 0 separated by commas, not '" +
                   std::string(item) + "'";
        levels.push_back(value);
        from = comma + 1;
    }
    picture.Levels = std::move(levels);
    return std::nullopt;
}

std::optional<std::string> TakePicture(Args& args, TMapPictureRequest& picture) {
    if (auto error = TakeOption(args, "--out", "a file name", picture.File, picture.Given))
        return error;
    if (auto error = TakeSizeOption(args, 1, kMaxMapSide, picture.Width, picture.Height))
        return error;
    std::string scale;
    bool scaleGiven = false;
    if (auto error = TakeOption(args, "--scale", "linear or log", scale, scaleGiven)) return error;
    if (scaleGiven && scale != "linear" && scale != "log")
        return "--scale needs linear or log, not '" + scale + "'";
    picture.LogScale = scale == "log";
    if (auto error = TakeLevels(args, picture)) return error;
#ifdef CORVALT_CLI_RENDERER
    if (picture.Given)
        if (std::string problem = MapPictureNameProblem(picture.File); !problem.empty())
            return problem;
#endif
    return std::nullopt;
}

} // namespace

bool MapDrawsPicture(const Args& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--out" || arg.rfind("--out=", 0) == 0) return true;
    }
    return false;
}

int LoadMapModelFile(const std::string& path, TPlan& plan) {
    std::vector<std::uint8_t> bytes;
    const TReadOutcome read = ReadWholeFile(path, kMaxMapModelBytes, bytes);
    switch (read.Status) {
    case TReadStatus::Ok:
        break;
    case TReadStatus::Missing:
        return Fail(ExitBadInput, path + ": the file does not exist");
    case TReadStatus::TooLarge:
        return Fail(ExitBadInput, path + ": larger than a model can be (64 MiB)");
    case TReadStatus::Unreadable:
    case TReadStatus::PathTooLong:
        return Fail(ExitBadInput, read.Detail);
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    auto model = space::ReadMapModelJson(text);
    if (const auto* error = std::get_if<space::TMapInputError>(&model))
        return Fail(ExitBadInput, path + ": " + error->Message);
    plan = std::move(std::get<TPlan>(model));
    return ExitOk;
}

namespace {

int WriteCsv(const space::TFieldMap& map, const std::string& csvFile) {
    const std::string text = space::MapCsvText(map);
    const std::string failure = ReplaceFile(
        csvFile, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!failure.empty()) return Fail(ExitBadInput, failure);
    return ExitOk;
}

int WriteFieldMap(const TPlan& plan, const std::string& source, space::TMapQuantities quantities,
                  const std::string& csvFile, bool csvGiven, const TMapPictureRequest& picture) {
    const space::TMapRun run = space::ComputeFieldMap(plan, quantities);
    switch (run.Outcome) {
    case space::TMapOutcome::Computed:
        break;
    case space::TMapOutcome::BadInput:
        return Fail(ExitBadInput, source + ": " + run.Message);
    case space::TMapOutcome::Unsolvable:
        return Fail(ExitCheckFailed, source + ": " + run.Message);
    }
    if (!csvGiven && !picture.Given) {
        WriteMapResultJson(std::cout, run.Map);
        return ExitOk;
    }
    if (csvGiven)
        if (const int written = WriteCsv(run.Map, csvFile); written != ExitOk) return written;
#ifdef CORVALT_CLI_RENDERER
    if (picture.Given) return WriteMapPicture(plan, run.Map, picture);
#endif
    return ExitOk;
}

} // namespace

int RunMap(const Args& arguments) {
    Args args = arguments;
    std::string csvFile;
    bool csvGiven = false;
    space::TMapQuantities quantities{};
    TMapPictureRequest picture;
    std::string planName;
    bool planGiven = false;
    if (auto error = TakeOption(args, "--plan", "a plan's name", planName, planGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeOption(args, "--csv", "a file name", csvFile, csvGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakePicture(args, picture)) return Fail(ExitBadInput, *error);
    if (auto error = TakeQuantity(args, quantities)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);
    picture.Magnetic = quantities == space::TMapQuantities::Magnetic;
    // A picture alone needs only the field it shows.
    if (picture.Given && !csvGiven && quantities == space::TMapQuantities::Both)
        quantities = space::TMapQuantities::Electric;
    TPlan plan;
    const int loaded =
        planGiven ? LoadProjectPlan(args[0], planName, plan) : LoadMapModelFile(args[0], plan);
    if (loaded != ExitOk) return loaded;
    const std::string source = planGiven ? args[0] + ": plan '" + planName + "'" : args[0];
    return WriteFieldMap(plan, source, quantities, csvFile, csvGiven, picture);
}

} // namespace corvalt::cli
