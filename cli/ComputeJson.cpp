#include "cli/ComputeJson.h"

#include "cli/FloatText.h"
#include "cli/Json.h"
#include "model/PoleVoltage.h"
#include "model/ProfileQuantity.h"
#include "model/Project.h"
#include "model/SiteParameters.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
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

// A record's text is laid out from fixed pieces: before each value its key
// with what separates it from the one before ("{\"dist\": ", ", \"dist_m\": ",
// ...), copied as kPieceRoom characters at once, the room each piece is padded
// to (the characters past its end are overwritten by what follows).
constexpr std::size_t kPieceRoom = 32;

struct TRecordPiece {
    std::array<char, kPieceRoom> Text{};
    std::size_t Length = 0;
};

consteval TRecordPiece PieceBefore(std::string_view key, bool first) {
    TRecordPiece piece;
    const auto add = [&](std::string_view text) {
        for (const char c : text)
            piece.Text[piece.Length++] = c;
    };
    add(first ? "{\"" : ", \"");
    add(TJsonKey(key).Text()); // checked to need no escaping
    add("\": ");
    return piece;
}

// The record's keys in the order written: its position, whether it is marked,
// the table of quantities, then the resultants.
constexpr std::size_t kRecordValues = 3 + kProfileQuantities.size() + kFieldResultants.size();

consteval std::array<TRecordPiece, kRecordValues> RecordPieces() {
    std::array<TRecordPiece, kRecordValues> pieces;
    std::size_t k = 0;
    for (const std::string_view key : {"dist", "dist_m", "marked"}) {
        pieces[k] = PieceBefore(key, k == 0);
        ++k;
    }
    for (const TProfileQuantityInfo& quantity : kProfileQuantities)
        pieces[k++] = PieceBefore(quantity.JsonKey, false);
    for (const TResultantInfo& resultant : kFieldResultants)
        pieces[k++] = PieceBefore(resultant.JsonKey, false);
    return pieces;
}

constexpr std::array<TRecordPiece, kRecordValues> kRecordPieces = RecordPieces();
constexpr std::size_t kLongestRecordText = kRecordValues * (kPieceRoom + kFloatTextCapacity) + 1;

char* PieceAt(char* out, std::size_t k) {
    std::memcpy(out, kRecordPieces[k].Text.data(), kPieceRoom);
    return out + kRecordPieces[k].Length;
}

// The text of a record as an inline object, as member-by-member writing lays
// it out: {"dist": 12.5, "dist_m": 12.5, "marked": false, "e_max": 0.25, ...}.
char* RecordText(char* out, const TCalcResult& r) {
    out = JsonNumberText(PieceAt(out, 0), r.Dist);
    out = JsonNumberText(PieceAt(out, 1), r.DistM);
    out = PieceAt(out, 2);
    std::memcpy(out, r.IsMarked != 0 ? "true " : "false", 5);
    out += r.IsMarked != 0 ? 4 : 5;
    std::size_t k = 3;
    for (const TProfileQuantityInfo& quantity : kProfileQuantities)
        out = JsonNumberText(PieceAt(out, k++), r.*quantity.Stored);
    for (const TResultantInfo& resultant : kFieldResultants)
        out = JsonNumberText(PieceAt(out, k++), r.*resultant.Stored);
    *out++ = '}';
    return out;
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
                                    run.LaidOutElement(kLongestRecordText, [&](char* out) {
                                        return RecordText(out, r);
                                    });
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
