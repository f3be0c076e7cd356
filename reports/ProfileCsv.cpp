#include "reports/ProfileCsv.h"

#include "model/FileIo.h"
#include "model/ProfileQuantity.h"
#include "model/Project.h"
#include "model/TextHelpers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>
#include <span>
#include <vector>

namespace corvalt {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kExportFailed = "The CSV file could not be written.";

// The shortest text that reads back as the same float; empty for no value.
// Zero is "0" whatever its sign: a ROW edge at 0 is the negated distance,
// and a spreadsheet shows "-0" as text.
std::string NumberCell(std::optional<float> value) {
    if (!value || !std::isfinite(*value)) return {};
    const float number = *value == 0.0f ? 0.0f : *value;
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
    return std::string(buffer.data(), result.ptr);
}

// A text field, quoted when a reader would otherwise split or trim it.
std::string TextCell(const std::string& text) {
    const std::string utf8 = ToValidUtf8(text);
    const bool quote = utf8.find_first_of(",\"\r\n") != std::string::npos ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote) return utf8;
    std::string quoted = "\"";
    for (const char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// The mark of each record: the ROW edges and the points' names.
std::vector<std::string> Marks(const TScenario& scenario) {
    std::vector<std::string> marks(scenario.Results.size());
    const auto mark = [&marks](int index, const std::string& text) {
        if (index >= 0 && static_cast<std::size_t>(index) < marks.size())
            marks[static_cast<std::size_t>(index)] = text;
    };
    mark(scenario.RowLeftResult, "ROW left edge");
    mark(scenario.RowRightResult, "ROW right edge");
    for (const TInterestPoint& point : scenario.InterestPoints)
        mark(point.ResultIndex, point.Name);
    return marks;
}

// The records' indices from left to right, so that a chart of the file runs
// one way; records at the same distance keep the order of the results (a ROW
// edge or point before the regular step there).
std::vector<std::size_t> RecordsByDistance(std::span<const TCalcResult> records) {
    std::vector<std::size_t> order(records.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&records](std::size_t a, std::size_t b) {
        return records[a].Dist < records[b].Dist;
    });
    return order;
}

std::string HeaderLine(int units) {
    std::string line = std::string("Distance (") + LengthUnit(units) + "),Mark";
    for (const TProfileQuantityInfo& info : kProfileQuantities)
        line += std::string(",") + info.Name + " (" + info.Unit + ")";
    for (const TResultantInfo& info : kFieldResultants)
        line += std::string(",") + info.Name + " (" + ProfileQuantityInfo(info.Field).Unit + ")";
    return line + kLineEnd;
}

std::string RecordLine(const TCalcResult& record, const std::string& mark) {
    std::string line = NumberCell(record.Dist) + "," + TextCell(mark);
    for (const TProfileQuantityInfo& info : kProfileQuantities)
        line += "," + NumberCell(ShownValue(record, info.Quantity));
    for (const TResultantInfo& info : kFieldResultants)
        line += "," + NumberCell(ShownValue(record, info));
    return line + kLineEnd;
}

} // namespace

std::string ProfileCsvText(const TScenario& scenario) {
    if (!scenario.CalcError.empty() || scenario.Results.empty()) return {};
    const int units = scenario.IsEnglish() ? English : Metric;
    const std::vector<std::string> marks = Marks(scenario);
    std::string text = HeaderLine(units);
    for (const std::size_t i : RecordsByDistance(scenario.Results))
        text += RecordLine(scenario.Results[i], marks[i]);
    return text;
}

TFileResult ExportProfileCsv(const TScenario& scenario, const std::string& path) {
    const std::string text = ProfileCsvText(scenario);
    if (text.empty())
        return TFileResult::Failure(kExportFailed, scenario.CalcError.empty()
                                                       ? "Cross section '" + scenario.TabTitle +
                                                             "' has not been computed."
                                                       : scenario.CalcError);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::string failure = ReplaceFile(path, std::span(bytes, text.size()));
    if (!failure.empty()) return TFileResult::Failure(kExportFailed, failure);
    return TFileResult::Success();
}

} // namespace corvalt
