// corvalt-cli compute FILE.emf: computes every cross section as a report would
// (without the data check) and prints the results as one JSON object.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/Json.h"

#include "compute/Compute.h"
#include "model/Project.h"

#include <cstddef>
#include <iostream>
#include <optional>

namespace corvalt::cli {

namespace {

constexpr const char* kFormat = "corvalt-compute/1";

void Value(TJsonWriter& json, const std::optional<float>& value) {
    if (value)
        json.Number(*value);
    else
        json.Null();
}

// An index into the cross section's Results, or null when there is no such
// record (a cross section that could not be computed has none).
void ResultIndex(TJsonWriter& json, const TScenario& scenario, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < scenario.Results.size())
        json.Integer(index);
    else
        json.Null();
}

void WriteIndices(TJsonWriter& json, const TScenario& s) {
    json.Key("row_left_result");
    ResultIndex(json, s, s.RowLeftResult);
    json.Key("row_right_result");
    ResultIndex(json, s, s.RowRightResult);
    json.Key("max_e_result");
    ResultIndex(json, s, s.MaxEResult);
    json.Key("row_max_e_result");
    ResultIndex(json, s, s.RowMaxEResult);
    json.Key("row_max_b_result");
    ResultIndex(json, s, s.RowMaxBResult);
}

void WriteInterestPoints(TJsonWriter& json, const TScenario& s) {
    json.Key("interest_points").BeginArray();
    for (const TInterestPoint& point : s.InterestPoints) {
        json.BeginObject(TJsonLayout::Inline).Key("name").String(point.Name);
        json.Key("result_index");
        ResultIndex(json, s, point.ResultIndex);
        json.EndObject();
    }
    json.EndArray();
}

void WriteConductors(TJsonWriter& json, const TScenario& s) {
    json.Key("conductors").BeginArray();
    for (const TConductor* conductor : s.Conductors) {
        json.BeginObject(TJsonLayout::Inline).Key("id").String(conductor->Id);
        json.Key("max_gradient");
        Value(json, conductor->Calc.MaxGradient);
        json.Key("corona_loss");
        Value(json, conductor->Calc.CoronaLoss);
        json.Key("ozone_rate");
        Value(json, conductor->Calc.OzoneRate);
        json.EndObject();
    }
    json.EndArray();
}

void WriteResults(TJsonWriter& json, const TScenario& s) {
    json.Key("results").BeginArray();
    for (const TCalcResult& r : s.Results) {
        json.BeginObject(TJsonLayout::Inline);
        json.Key("dist").Number(r.Dist);
        json.Key("dist_m").Number(r.DistM);
        json.Key("marked").Bool(r.IsMarked != 0);
        const std::pair<const char*, const std::optional<float>&> values[] = {
            {"e_max", r.EMax},
            {"b_max", r.BMax},
            {"an_rain_l50", r.AnRainL50},
            {"an_fair_l50", r.AnFairL50},
            {"ri_rain", r.RiRain},
            {"ri_fair", r.RiFair},
            {"tvi_rain", r.TviRain},
            {"ozone", r.Ozone},
        };
        for (const auto& [key, value] : values) {
            json.Key(key);
            Value(json, value);
        }
        json.EndObject();
    }
    json.EndArray();
}

void WriteCrossSection(TJsonWriter& json, const TScenario& s, int index) {
    json.BeginObject();
    json.Key("index").Integer(index);
    json.Key("tab_title").String(s.TabTitle);
    json.Key("title").String(s.Title);
    json.Key("section_type").Integer(s.SectionType);
    json.Key("error");
    if (s.CalcError.empty())
        json.Null();
    else
        json.String(s.CalcError);
    WriteIndices(json, s);
    WriteInterestPoints(json, s);
    WriteConductors(json, s);
    WriteResults(json, s);
    json.EndObject();
}

} // namespace

int RunCompute(const Args& arguments) {
    Args args = arguments;
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, "usage: corvalt-cli compute FILE.emf");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    const int failed = ComputeAll(project);

    TJsonWriter json(std::cout);
    json.BeginObject();
    json.Key("format").String(kFormat);
    json.Key("project").BeginObject(TJsonLayout::Inline);
    json.Key("title").String(project.Title);
    json.Key("units").String(project.UnitsName());
    json.EndObject();
    json.Key("cross_sections").BeginArray();
    int index = 0;
    for (const TScenario& scenario : project.Scenarios)
        WriteCrossSection(json, scenario, ++index);
    json.EndArray();
    json.EndObject();
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
