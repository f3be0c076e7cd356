// corvalt-cli map MODEL.json [--csv OUT.csv] [--quantity e|b]: computes the
// field map of a model (format corvalt-map/1) and prints the result as JSON
// (format corvalt-mapresult/1), or writes it as CSV. --quantity computes one
// field only (the other's values are null, its CSV cells empty).
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/MapJson.h"

#include "model/FileIo.h"
#include "model/Limits.h"
#include "space/FieldMap.h"
#include "space/MapModelJson.h"

#include <iostream>
#include <span>
#include <variant>

namespace corvalt::cli {

namespace {

constexpr const char* kUsage = "usage: corvalt-cli map MODEL.json [--csv OUT.csv] [--quantity e|b]";

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

} // namespace

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

int WriteFieldMap(const TPlan& plan, const std::string& source, space::TMapQuantities quantities,
                  const std::string& csvFile, bool csvGiven) {
    const space::TMapRun run = space::ComputeFieldMap(plan, quantities);
    switch (run.Outcome) {
    case space::TMapOutcome::Computed:
        break;
    case space::TMapOutcome::BadInput:
        return Fail(ExitBadInput, source + ": " + run.Message);
    case space::TMapOutcome::Unsolvable:
        return Fail(ExitCheckFailed, source + ": " + run.Message);
    }
    if (!csvGiven) {
        WriteMapResultJson(std::cout, run.Map);
        return ExitOk;
    }
    const std::string text = MapCsvText(run.Map);
    const std::string failure = ReplaceFile(
        csvFile, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!failure.empty()) return Fail(ExitBadInput, failure);
    return ExitOk;
}

int RunMap(const Args& arguments) {
    Args args = arguments;
    std::string csvFile, outFile;
    bool csvGiven = false, outGiven = false;
    space::TMapQuantities quantities{};
    if (auto error = TakeOption(args, "--csv", "a file name", csvFile, csvGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeOption(args, "--out", "a file name", outFile, outGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeQuantity(args, quantities)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);
    if (outGiven)
        return Fail(ExitBadInput, "--out: colour maps cannot be drawn yet; write the values "
                                  "with --csv or as JSON");
    TPlan plan;
    if (const int loaded = LoadMapModelFile(args[0], plan); loaded != ExitOk) return loaded;
    return WriteFieldMap(plan, args[0], quantities, csvFile, csvGiven);
}

} // namespace corvalt::cli
