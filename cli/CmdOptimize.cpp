// corvalt-cli optimize FILE.emf [--section N] [--objective edge-b|edge-e|row-e|weighted]
// [--weights B,E,R] [--top K]: every arrangement of the phases of cross
// section N's three-phase circuits, the best K (10 by default) ranked by the
// objective, printed as JSON with the current arrangement. Each arrangement
// lists its circuits' orders ("ACB": the phases now on the positions that held
// A, B and C), the three values the objectives use and the largest surface
// gradient, audible noise (rain) and radio interference (fair) at the ROW
// edges, as the computation gives them; a ranked one the count of the
// arrangements that share its values. A cross section that cannot be
// computed: exit 1 with the reason.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/Json.h"

#include "design/PhasingOptimiser.h"
#include "model/Project.h"

#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

namespace corvalt::cli {
namespace {

constexpr const char* kUsage =
    "usage: corvalt-cli optimize FILE.emf [--section N] "
    "[--objective edge-b|edge-e|row-e|weighted] [--weights B,E,R] [--top K]";

struct TObjectiveName {
    TPhasingObjective Objective;
    const char* Name;
};
constexpr TObjectiveName kObjectives[] = {
    {TPhasingObjective::EdgeB, "edge-b"},
    {TPhasingObjective::EdgeE, "edge-e"},
    {TPhasingObjective::RowE, "row-e"},
    {TPhasingObjective::Weighted, "weighted"},
};

const char* NameOf(TPhasingObjective objective) {
    for (const TObjectiveName& entry : kObjectives)
        if (entry.Objective == objective) return entry.Name;
    return "edge-b";
}

std::optional<std::string> TakeObjective(Args& args, TPhasingObjective& objective) {
    std::string text;
    bool given = false;
    if (auto error = TakeOption(args, "--objective", "an objective", text, given)) return error;
    if (!given) return std::nullopt;
    for (const TObjectiveName& entry : kObjectives)
        if (text == entry.Name) {
            objective = entry.Objective;
            return std::nullopt;
        }
    return "--objective needs edge-b, edge-e, row-e or weighted, not '" + text + "'";
}

// "--weights B,E,R": per mG of the edge magnetic field, per kV/m of the edge
// and of the within-ROW electric field.
std::optional<std::string> TakeWeights(Args& args, TObjectiveWeights& weights, bool& given) {
    std::string text;
    if (auto error = TakeOption(args, "--weights", "three weights B,E,R", text, given))
        return error;
    if (!given) return std::nullopt;
    double values[3] = {};
    std::string_view rest = text;
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = rest.substr(0, comma);
        const bool lastPart = i == 2;
        if ((comma == std::string_view::npos) != lastPart || !ReadNumber(part, values[i]))
            return "--weights needs three numbers B,E,R, not '" + text + "'";
        rest = lastPart ? std::string_view() : rest.substr(comma + 1);
    }
    weights = {values[0], values[1], values[2]};
    return std::nullopt;
}

std::optional<std::string> TakeTop(Args& args, int& top) {
    std::string text;
    bool given = false;
    if (auto error = TakeOption(args, "--top", "a number of arrangements", text, given))
        return error;
    if (!given) return std::nullopt;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, top);
    if (error != std::errc() || stop != end || top < 1 || top > 100000)
        return "--top needs a number of arrangements from 1 on, not '" + text + "'";
    return std::nullopt;
}

// A ranked arrangement also gives its count: how many arrangements share its
// values (mirror images, relabellings); the current one stands alone.
void WriteArrangement(TJsonWriter& json, const TScenario& scenario, const TPhasingSearch& search,
                      const TArrangement& arrangement, bool ranked) {
    json.BeginObject(TJsonLayout::Inline);
    json.Key("phasing").BeginArray(TJsonLayout::Inline);
    for (std::size_t k = 0; k < search.Circuits.size(); ++k) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("circuit").String(scenario.Circuits[search.Circuits[k].CircuitIndex].Name);
        json.Key("order").String(PhaseOrderText(arrangement.Orders[k]));
        json.EndObject();
    }
    json.EndArray();
    json.Key("edge_b_mg").Number(arrangement.Values.EdgeBMg);
    json.Key("edge_e_kv_m").Number(arrangement.Values.EdgeEKvPerM);
    json.Key("row_e_kv_m").Number(arrangement.Values.RowEKvPerM);
    json.Key("max_gradient_kv_cm").Number(arrangement.Values.MaxGradientKvPerCm);
    json.Key("edge_an_rain_dba").Number(arrangement.Values.EdgeAnRainDba);
    json.Key("edge_ri_fair_dbuv_m").Number(arrangement.Values.EdgeRiFairDbuvPerM);
    if (ranked) json.Key("count").Integer(arrangement.Count);
    json.EndObject();
}

void WriteSearch(std::ostream& out, const TScenario& scenario, int section,
                 const TPhasingRequest& request, const TPhasingSearch& search) {
    TJsonWriter json(out);
    json.BeginObject();
    json.Key("format").String("corvalt-optimize/1");
    json.Key("section").Integer(section);
    json.Key("objective").String(NameOf(request.Objective));
    json.Key("current");
    WriteArrangement(json, scenario, search, search.Current, false);
    json.Key("ranked").BeginArray();
    for (const TArrangement& arrangement : search.Ranked)
        WriteArrangement(json, scenario, search, arrangement, true);
    json.EndArray();
    json.EndObject();
    json.Finish();
}

} // namespace

int RunOptimize(const Args& arguments) {
    Args args = arguments;
    int section = 1;
    TPhasingRequest request;
    bool weightsGiven = false;
    if (auto error = TakeSectionOption(args, section)) return Fail(ExitBadInput, *error);
    if (auto error = TakeObjective(args, request.Objective)) return Fail(ExitBadInput, *error);
    if (auto error = TakeWeights(args, request.Weights, weightsGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeTop(args, request.Top)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);
    if (weightsGiven != (request.Objective == TPhasingObjective::Weighted))
        return Fail(ExitBadInput, "--weights goes with --objective weighted, and it with them");
    if (auto fault = PhasingRequestFault(request))
        return Fail(ExitBadInput, "--weights: " + *fault);

    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    const TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    const TPhasingSearch search = OptimisePhasing(*scenario, request);
    if (search.Outcome != TSearchOutcome::Done) {
        // The request was checked above: what is left is the cross section.
        return Fail(ExitCheckFailed, search.Message);
    }
    WriteSearch(std::cout, *scenario, section, request, search);
    return ExitOk;
}

} // namespace corvalt::cli
