#include "cli/ComputeJson.h"

#include "cli/Json.h"
#include "model/PoleVoltage.h"
#include "model/ProfileQuantity.h"
#include "model/Project.h"
#include "model/SiteParameters.h"

#include <cstddef>
#include <optional>
#include <span>
#include <utility>

namespace corvalt::cli {

namespace {

constexpr const char* kFormat = "corvalt-compute/1";

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
        json.Key("max_gradient").Number(conductor->Calc.MaxGradient);
        json.Key("corona_loss").Number(conductor->Calc.CoronaLoss);
        json.Key("ozone_rate").Number(conductor->Calc.OzoneRate);
        json.Key("pole_kv").Number(PoleKv(*conductor)); // null for AC and ground wires
        json.EndObject();
    }
    json.EndArray();
}

// Every value of a table (kProfileQuantities, kFieldResultants) as the record
// stores it, under its key, in the table's order.
template <const auto& Table, std::size_t... Q>
void WriteStored(TJsonWriter& json, const TCalcResult& r, std::index_sequence<Q...>) {
    ((json.Key(TJsonKey(Table[Q].JsonKey)).Number(r.*Table[Q].Stored)), ...);
}

void WriteRecord(TJsonWriter& json, const TCalcResult& r) {
    json.BeginObject(TJsonLayout::Inline);
    json.Key("dist").Number(r.Dist);
    json.Key("dist_m").Number(r.DistM);
    json.Key("marked").Bool(r.IsMarked != 0);
    WriteStored<kProfileQuantities>(json, r, std::make_index_sequence<kProfileQuantities.size()>());
    WriteStored<kFieldResultants>(json, r, std::make_index_sequence<kFieldResultants.size()>());
    json.EndObject();
}

// Records in runs of this many are written side by side on the cores: the
// text of a wide profile takes longer than computing it.
constexpr std::size_t kRecordsPerRun = 2048;

void WriteResults(TJsonWriter& json, const TScenario& s) {
    json.Key("results").BeginArray();
    const std::span<const TCalcResult> records = s.Results;
    WriteElementsSideBySide(json, records.size(), kRecordsPerRun,
                            [&](TJsonWriter& run, std::size_t first, std::size_t count) {
                                for (const TCalcResult& r : records.subspan(first, count))
                                    WriteRecord(run, r);
                            });
    json.EndArray();
}

// The site parameters the computation used, defaults applied, stored units.
void WriteSite(TJsonWriter& json, const TScenario& s) {
    json.Key("site").BeginObject(TJsonLayout::Inline);
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        json.EscapedKey(parameter.Key).Number(s.EffectiveSiteValue(parameter.Id));
    json.EndObject();
}

void WriteCrossSection(TJsonWriter& json, const TScenario& s, int index) {
    json.BeginObject();
    json.Key("index").Integer(index);
    json.Key("tab_title").String(s.TabTitle);
    json.Key("title").String(s.Title);
    json.Key("section_type").Integer(s.SectionType);
    WriteSite(json, s);
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

TComputeJsonWriter::TComputeJsonWriter(std::ostream& out, const TEmfProject& project)
    : json_(std::make_unique<TJsonWriter>(out)) {
    TJsonWriter& json = *json_;
    json.BeginObject();
    json.Key("format").String(kFormat);
    json.Key("project").BeginObject(TJsonLayout::Inline);
    json.Key("title").String(project.Title);
    json.Key("units").String(project.UnitsName());
    json.EndObject();
    json.Key("cross_sections").BeginArray();
}

TComputeJsonWriter::~TComputeJsonWriter() = default;

void TComputeJsonWriter::CrossSection(const TScenario& scenario) {
    WriteCrossSection(*json_, scenario, ++index_);
}

void TComputeJsonWriter::Finish() {
    json_->EndArray();
    json_->EndObject();
    json_->Finish();
}

void WriteComputeJson(std::ostream& out, const TEmfProject& project) {
    TComputeJsonWriter writer(out, project);
    for (const TScenario& scenario : project.Scenarios)
        writer.CrossSection(scenario);
    writer.Finish();
}

} // namespace corvalt::cli
