// corvalt-cli prefs [--ini FILE] [--resave] [--path]: prints the preferences
// file in use, every scalar preference and the three libraries as JSON. With
// --resave the libraries are loaded and saved again, as the preferences
// dialog's OK does, but writes nothing and exits 1, listing the lines, when the
// rewrite would drop library lines neither layout can read; --path prints
// only the file's path. The field limits table follows the libraries (the
// defaults where the file has none). Reading never creates the file.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/IniOption.h"
#include "cli/Json.h"
#include "model/TextHelpers.h"
#include "prefs/Options.h"

#include <iostream>
#include <string_view>

namespace corvalt::cli {
namespace {

struct TPrefsRequest {
    std::string IniFile;
    bool Resave = false;
    bool PathOnly = false;
};

std::optional<std::string> ParseRequest(const Args& arguments, TPrefsRequest& request) {
    Args args = arguments;
    if (auto error = TakeIniOption(args, request.IniFile)) return error;
    request.Resave = TakeFlag(args, "--resave");
    request.PathOnly = TakeFlag(args, "--path");
    if (auto error = RejectUnknownOptions(args)) return error;
    if (!args.empty()) return "unexpected argument '" + args.front() + "' (see corvalt-cli --help)";
    if (request.Resave && request.PathOnly) return "--path and --resave cannot be combined";
    return std::nullopt;
}

// Refuses a rewrite that would lose library lines neither layout can read,
// listing them; ExitOk when there are none.
int RefuseLossyResave(const TOptions& options) {
    const std::vector<std::string> lost = options.UnreadableLibraryLines();
    if (lost.empty()) return ExitOk;
    Fail(ExitCheckFailed, "nothing was written: saving would drop " + std::to_string(lost.size()) +
                              " library line" + (lost.size() == 1 ? "" : "s") +
                              " that cannot be read from " +
                              PrintableText(options.FileName().string()) + ":");
    for (const std::string& line : lost)
        std::cerr << "  " << PrintableText(line) << '\n';
    return ExitCheckFailed;
}

void WriteScalar(TJsonWriter& json, const TOptions& options, const TPrefKey& key) {
    json.EscapedKey(key.Key);
    switch (key.Kind) {
    case TPrefKind::Boolean:
        json.Bool(options.ReadBool(key));
        break;
    case TPrefKind::Integer:
        json.Integer(options.ReadInteger(key));
        break;
    case TPrefKind::Text:
        json.String(options.ReadText(key));
        break;
    case TPrefKind::Real:
        json.Number(options.ReadReal(key));
        break;
    }
}

// One object per section, in the order of the keys table.
void WriteScalars(TJsonWriter& json, const TOptions& options) {
    std::string_view openSection;
    for (const TPrefKey& key : ScalarPrefKeys()) {
        if (key.Section != openSection) {
            if (!openSection.empty()) json.EndObject();
            json.EscapedKey(key.Section).BeginObject();
            openSection = key.Section;
        }
        WriteScalar(json, options, key);
    }
    if (!openSection.empty()) json.EndObject();
}

void WriteLibraries(TJsonWriter& json, const TOptions& options) {
    json.EscapedKey(kVoltagesSection).BeginArray();
    for (const TVoltItem& item : options.Voltages()) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("Voltage").Number(item.Voltage);
        json.Key("OverRateFactor").Number(item.OverRateFactor);
        json.Key("MaxVoltage").Number(item.MaxVoltage);
        json.EndObject();
    }
    json.EndArray();
    json.EscapedKey(kConductorsSection).BeginArray();
    for (const TCondItem& item : options.Conductors()) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("Name").String(item.Name);
        json.Key("Diameter").Number(item.Diameter);
        json.Key("Mcr").Number(item.Mcr);
        json.EndObject();
    }
    json.EndArray();
    json.EscapedKey(kOhgwsSection).BeginArray();
    for (const TOhgwItem& item : options.Ohgws()) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("Name").String(item.Name);
        json.Key("Diameter").Number(item.Diameter);
        json.EndObject();
    }
    json.EndArray();
}

void OptionalNumber(TJsonWriter& json, const std::optional<float>& value) {
    if (value)
        json.Number(*value);
    else
        json.Null();
}

// The field limits table by class, in kV/m and mG; null where no limit applies.
void WriteFieldLimits(TJsonWriter& json, const TOptions& options) {
    const TFieldLimits limits = options.FieldLimits();
    json.EscapedKey(prefkeys::FieldLimits.front().Section).BeginObject();
    for (const TLimitClass limitClass : kLimitClasses) {
        const TClassLimits& row = limits.For(limitClass);
        json.EscapedKey(prefkeys::FieldLimits[static_cast<std::size_t>(limitClass)].Key)
            .BeginObject(TJsonLayout::Inline);
        json.Key("EWithinRow");
        OptionalNumber(json, row.EWithinRow);
        json.Key("EAtEdge");
        OptionalNumber(json, row.EAtEdge);
        json.Key("BAtEdge");
        OptionalNumber(json, row.BAtEdge);
        json.EndObject();
    }
    json.EndObject();
}

void WritePreferences(std::ostream& out, const TOptions& options) {
    TJsonWriter json(out);
    json.BeginObject();
    json.Key("file").String(options.FileName().string());
    json.Key("exists").Bool(options.FileExists());
    WriteScalars(json, options);
    WriteLibraries(json, options);
    WriteFieldLimits(json, options);
    json.EndObject();
    json.Finish();
}

} // namespace

int RunPrefs(const Args& args) {
    TPrefsRequest request;
    if (auto error = ParseRequest(args, request)) return Fail(ExitBadInput, *error);
    const TIniLocation location = CliIniLocation(request.IniFile);
    if (request.PathOnly) {
        std::cout << location.File.string() << '\n';
        return ExitOk;
    }
    TOptions options(location.File);
    if (auto error = options.CheckReadable()) return Fail(ExitBadInput, *error);
    if (const int skipped = options.LoadLibraries(); skipped > 0 && !request.Resave)
        Warn("skipped " + std::to_string(skipped) + " unusable library line" +
             (skipped == 1 ? "" : "s") + " in " + location.File.string());
    for (const std::string& line : options.UnreadableLimitLines())
        Warn("field limits line read in part (the rest are defaults): " + line);
    if (request.Resave) {
        if (const int refused = RefuseLossyResave(options); refused != ExitOk) return refused;
        if (auto error = options.SaveLibraries()) return Fail(ExitBadInput, *error);
        options.LoadLibraries(); // show what the file now holds (whole kilovolts, ...)
    }
    WritePreferences(std::cout, options);
    return ExitOk;
}

} // namespace corvalt::cli
