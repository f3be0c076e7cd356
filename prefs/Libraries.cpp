#include "prefs/Libraries.h"

#include "model/TextHelpers.h"
#include "prefs/NumberText.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace corvalt {
namespace {

using TFields = std::vector<std::string>;

// A library line split at the "=" that ends its key. A key in quotes or bars
// may itself hold an "=".
struct TKeyAndValue {
    std::string Key;   // unquoted, trimmed
    std::string Value; // as written, bars and quotes kept
};

std::optional<TKeyAndValue> SplitLine(const std::string& line) {
    std::size_t searchFrom = 0;
    const std::size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos &&
        (line[first] == '|' || line[first] == '"' || line[first] == '\'')) {
        const std::size_t close = line.find(line[first], first + 1);
        if (close != std::string::npos) searchFrom = close + 1;
    }
    const std::size_t equals = line.find('=', searchFrom);
    if (equals == std::string::npos) return std::nullopt;
    const std::string key = line.substr(0, equals);
    return TKeyAndValue{GetField(key, 1, '='), line.substr(equals + 1)};
}

enum class TLayout { Newer, Older };

// The layout a line is written in: the newer one fills all fields in the value.
// The value is split with its bars in place, so that a comma inside a bar-quoted
// name stays in the name.
TLayout LayoutOf(const TKeyAndValue& line, int fieldCount) {
    return GetField(line.Value, fieldCount, ',').empty() ? TLayout::Older : TLayout::Newer;
}

TFields FieldsOf(const TKeyAndValue& line, TLayout layout, int fieldCount) {
    TFields fields;
    if (layout == TLayout::Older) fields.push_back(line.Key);
    const int fromValue = layout == TLayout::Older ? fieldCount - 1 : fieldCount;
    for (int k = 1; k <= fromValue; ++k)
        fields.push_back(GetField(line.Value, k, ','));
    return fields;
}

std::optional<TVoltItem> MakeVoltItem(const TFields& fields) {
    const auto voltage = ParseFloat(fields[0]);
    const auto factor = ParseFloat(fields[1]);
    const auto maximum = ParseFloat(fields[2]);
    if (!voltage || !factor || !maximum) return std::nullopt;
    return TVoltItem{*voltage, *factor, *maximum};
}

std::optional<TCondItem> MakeCondItem(const TFields& fields) {
    const auto diameter = ParseFloat(fields[1]);
    const auto mcr = ParseFloat(fields[2]);
    if (!diameter || !mcr) return std::nullopt;
    return TCondItem{fields[0], *diameter, *mcr};
}

std::optional<TOhgwItem> MakeOhgwItem(const TFields& fields) {
    const auto diameter = ParseFloat(fields[1]);
    if (!diameter) return std::nullopt;
    return TOhgwItem{fields[0], *diameter};
}

// The layout most lines are written in, the first line's on a tie. A section
// holds one layout; counting keeps a damaged first line (a newer line that lost
// a field looks like an older one) from reading the rest in the wrong layout.
TLayout SectionLayout(const std::vector<TKeyAndValue>& lines, int fieldCount) {
    int newer = 0;
    for (const TKeyAndValue& line : lines)
        if (LayoutOf(line, fieldCount) == TLayout::Newer) ++newer;
    const int older = static_cast<int>(lines.size()) - newer;
    if (newer != older) return newer > older ? TLayout::Newer : TLayout::Older;
    return lines.empty() ? TLayout::Newer : LayoutOf(lines.front(), fieldCount);
}

template <class T, class MakeEntry>
int ParseLibrary(const std::vector<std::string>& texts, int fieldCount, MakeEntry makeEntry,
                 TSafeList<T>& library) {
    library.Clear();
    std::vector<TKeyAndValue> lines;
    for (const std::string& text : texts)
        if (std::optional<TKeyAndValue> line = SplitLine(text)) lines.push_back(std::move(*line));
    int skipped = static_cast<int>(texts.size() - lines.size());
    const TLayout layout = SectionLayout(lines, fieldCount);
    for (const TKeyAndValue& line : lines) {
        if (const std::optional<T> entry = makeEntry(FieldsOf(line, layout, fieldCount)))
            library.Add(std::make_unique<T>(*entry));
        else
            ++skipped;
    }
    return skipped;
}

std::string BarQuoted(const std::string& name) {
    std::string quoted = "|";
    std::copy_if(name.begin(), name.end(), std::back_inserter(quoted),
                 [](char c) { return c != '|'; });
    return quoted + "|";
}

} // namespace

int ParseVoltages(const std::vector<std::string>& lines, TSafeList<TVoltItem>& library) {
    return ParseLibrary(lines, 3, MakeVoltItem, library);
}

int ParseConductors(const std::vector<std::string>& lines, TSafeList<TCondItem>& library) {
    return ParseLibrary(lines, 3, MakeCondItem, library);
}

int ParseOhgws(const std::vector<std::string>& lines, TSafeList<TOhgwItem>& library) {
    return ParseLibrary(lines, 2, MakeOhgwItem, library);
}

std::string FormatVoltage(const TVoltItem& item) {
    return FormatFixed(item.Voltage, 0) + "," + FormatFixed(item.OverRateFactor, 3) + "," +
           FormatFixed(item.MaxVoltage, 0);
}

std::string FormatConductor(const TCondItem& item) {
    return BarQuoted(item.Name) + "," + FormatFixed(item.Diameter, 3) + "," +
           FormatFixed(item.Mcr, 0);
}

std::string FormatOhgw(const TOhgwItem& item) {
    return BarQuoted(item.Name) + "," + FormatFixed(item.Diameter, 3);
}

std::string VoltageText(float voltage) {
    return FormatShortest(voltage);
}

} // namespace corvalt
