// corvalt-cli clearance FILE.emf [--section N] [--circuit NAME] [--ini FILE]:
// the smallest uniform raise of a circuit's conductors (of every circuit's
// without --circuit), to 0.01 ft or m, at which every field limit of cross
// section N holds, printed as JSON with the limits' checks before and after.
// The limits table comes from the preferences file, as for check --limits.
// Exit 0 when the limits hold (with the raise, or without one); 1 when no raise
// up to 100 m makes them hold or the cross section cannot be computed.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/IniOption.h"
#include "cli/Json.h"

#include "design/ClearanceSolver.h"
#include "model/Project.h"
#include "model/TextHelpers.h"
#include "model/Units.h"

#include <cmath>
#include <iostream>
#include <string>

namespace corvalt::cli {
namespace {

constexpr const char* kUsage =
    "usage: corvalt-cli clearance FILE.emf [--section N] [--circuit NAME] [--ini FILE]";

const char* OutcomeName(TClearanceOutcome outcome) {
    switch (outcome) {
    case TClearanceOutcome::Holds:
        return "holds";
    case TClearanceOutcome::Raised:
        return "raised";
    case TClearanceOutcome::NotAchievable:
        return "not-achievable";
    case TClearanceOutcome::Cancelled:
    case TClearanceOutcome::Failed:
        break;
    }
    return "failed";
}

void WriteChecks(TJsonWriter& json, const TScenario& scenario,
                 const std::vector<TLimitCheck>& checks) {
    json.BeginArray();
    for (const TLimitCheck& check : checks) {
        const TProfileQuantityInfo& info = ProfileQuantityInfo(ProfileQuantityOf(check.Quantity));
        json.BeginObject(TJsonLayout::Inline);
        json.Key("quantity").String(info.Noun);
        json.Key("place").String(ToValidUtf8(LimitPlaceText(scenario, check)));
        json.Key("unit").String(info.Unit);
        json.Key("value").Number(check.Value);
        json.Key("limit").Number(check.Limit);
        json.Key("status").String(LimitStatusName(check.Status()));
        json.EndObject();
    }
    json.EndArray();
}

void WriteClearance(std::ostream& out, const TScenario& scenario, int section,
                    const TCircuit* circuit, const TClearance& clearance) {
    TJsonWriter json(out);
    json.BeginObject();
    json.Key("format").String("corvalt-clearance/1");
    json.Key("section").Integer(section);
    json.Key("circuit");
    if (circuit != nullptr)
        json.String(circuit->Name);
    else
        json.Null();
    json.Key("limit_class").String(LimitClassText(clearance.Class));
    json.Key("outcome").String(OutcomeName(clearance.Outcome));
    json.Key("unit").String(scenario.Project->LengthUnit());
    json.Key("raise");
    if (clearance.Outcome == TClearanceOutcome::NotAchievable)
        json.Null();
    else
        json.Number(clearance.RaiseShown);
    json.Key("highest_raise_tried").Number(DisplayLength(scenario.Project->Units, kMaxRaiseM));
    json.Key("failing").BeginArray();
    if (clearance.Outcome == TClearanceOutcome::NotAchievable)
        for (const TLimitCheck& check : clearance.After)
            if (check.Fails())
                json.String(ToValidUtf8(LimitFindingText(scenario, clearance.Class, check)));
    json.EndArray();
    json.Key("before");
    WriteChecks(json, scenario, clearance.Before);
    json.Key("after");
    WriteChecks(json, scenario, clearance.After);
    json.EndObject();
    json.Finish();
}

// The circuit named name (the first, when several are), or nullptr after
// saying there is none.
const TCircuit* CircuitOrFail(const TScenario& scenario, const std::string& name, int section) {
    for (const TCircuit& circuit : scenario.Circuits)
        if (circuit.Name == name) return &circuit;
    Fail(ExitBadInput,
         "cross section " + std::to_string(section) + " has no circuit named '" + name + "'");
    return nullptr;
}

} // namespace

int RunClearance(const Args& arguments) {
    Args args = arguments;
    int section = 1;
    std::string circuitName, iniFile;
    bool circuitGiven = false;
    if (auto error = TakeSectionOption(args, section)) return Fail(ExitBadInput, *error);
    if (auto error = TakeOption(args, "--circuit", "a circuit name", circuitName, circuitGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeIniOption(args, iniFile)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);

    TFieldLimits limits;
    if (const int read = ReadFieldLimits(iniFile, limits); read != ExitOk) return read;
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    const TCircuit* circuit = nullptr;
    if (circuitGiven) {
        circuit = CircuitOrFail(*scenario, circuitName, section);
        if (circuit == nullptr) return ExitBadInput;
    }
    std::optional<int> index;
    if (circuit != nullptr) index = scenario->Circuits.IndexOf(circuit);
    const TClearance clearance = SolveClearance(*scenario, index, limits);
    if (clearance.Outcome == TClearanceOutcome::Failed)
        return Fail(ExitCheckFailed, clearance.Message);
    WriteClearance(std::cout, *scenario, section, circuit, clearance);
    if (clearance.Outcome == TClearanceOutcome::NotAchievable)
        return Fail(ExitCheckFailed,
                    "no raise up to " +
                        std::to_string(std::lround(DisplayLength(project.Units, kMaxRaiseM))) +
                        " " + project.LengthUnit() + " makes every field limit hold");
    return ExitOk;
}

} // namespace corvalt::cli
