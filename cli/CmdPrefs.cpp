// corvalt-cli prefs [--ini FILE] [--resave] [--path]: prints the preferences
// file in use, every scalar preference and the three libraries as JSON. With
// --resave the libraries are loaded and saved again, as the preferences
// dialog's OK does; --path prints only the file's path. Reading never creates
// the file.
#include "cli/Commands.h"
#include "cli/IniOption.h"
#include "cli/Json.h"
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
    for (const std::string& arg : args) {
        if (arg == "--resave")
            request.Resave = true;
        else if (arg == "--path")
            request.PathOnly = true;
        else
            return "unexpected argument '" + arg + "' (see corvalt-cli --help)";
    }
    if (request.Resave && request.PathOnly) return "--path and --resave cannot be combined";
    return std::nullopt;
}

void WriteScalar(TJsonWriter& json, const TOptions& options, const TPrefKey& key) {
    json.Key(key.Key);
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
    }
}

// One object per section, in the order of the keys table.
void WriteScalars(TJsonWriter& json, const TOptions& options) {
    std::string_view openSection;
    for (const TPrefKey& key : ScalarPrefKeys()) {
        if (key.Section != openSection) {
            if (!openSection.empty()) json.EndObject();
            json.Key(key.Section).BeginObject();
            openSection = key.Section;
        }
        WriteScalar(json, options, key);
    }
    if (!openSection.empty()) json.EndObject();
}

void WriteLibraries(TJsonWriter& json, const TOptions& options) {
    json.Key(kVoltagesSection).BeginArray();
    for (const TVoltItem& item : options.Voltages()) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("Voltage").Number(item.Voltage);
        json.Key("OverRateFactor").Number(item.OverRateFactor);
        json.Key("MaxVoltage").Number(item.MaxVoltage);
        json.EndObject();
    }
    json.EndArray();
    json.Key(kConductorsSection).BeginArray();
    for (const TCondItem& item : options.Conductors()) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("Name").String(item.Name);
        json.Key("Diameter").Number(item.Diameter);
        json.Key("Mcr").Number(item.Mcr);
        json.EndObject();
    }
    json.EndArray();
    json.Key(kOhgwsSection).BeginArray();
    for (const TOhgwItem& item : options.Ohgws()) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("Name").String(item.Name);
        json.Key("Diameter").Number(item.Diameter);
        json.EndObject();
    }
    json.EndArray();
}

void WritePreferences(std::ostream& out, const TOptions& options) {
    TJsonWriter json(out);
    json.BeginObject();
    json.Key("file").String(options.FileName().string());
    json.Key("exists").Bool(options.FileExists());
    WriteScalars(json, options);
    WriteLibraries(json, options);
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
    if (const int skipped = options.LoadLibraries(); skipped > 0)
        std::cerr << "corvalt-cli: warning: skipped " << skipped << " unusable library line"
                  << (skipped == 1 ? "" : "s") << " in " << location.File.string() << '\n';
    if (request.Resave) {
        if (auto error = options.SaveLibraries()) return Fail(ExitBadInput, *error);
        options.LoadLibraries(); // show what the file now holds (whole kilovolts, ...)
    }
    WritePreferences(std::cout, options);
    return std::cout.flush() ? ExitOk : Fail(ExitBadInput, "cannot write to standard output");
}

} // namespace corvalt::cli
