#include "prefs/Libraries.h"

#include "model/TextHelpers.h"
#include "prefs/NumberText.h"

#include <optional>
#include <utility>

namespace corvalt {
namespace {

using TFields = std::vector<std::string>;

// A library line split at the "=" that ends its key. A key in quotes or bars
// may itself hold an "=".
struct TKeyAndValue {
    std::string Key;    // unquoted, trimmed
    std::string RawKey; // as written
    std::string Value;  // as written, bars and quotes kept
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
    return TKeyAndValue{GetField(key, 1, '='), key, line.substr(equals + 1)};
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

// The name field of a line as written: the key in the older layout, else the
// value up to the comma after its bar-quoted part.
std::string RawName(const TKeyAndValue& line, TLayout layout) {
    if (layout == TLayout::Older) return line.RawKey;
    const std::string& value = line.Value;
    const std::size_t first = value.find_first_not_of(' ');
    std::size_t from = 0;
    if (first != std::string::npos && value[first] == '|') {
        const std::size_t close = value.find('|', first + 1);
        if (close != std::string::npos) from = close + 1;
    }
    return value.substr(0, value.find(',', from));
}

// A name reads back as written only without bars or with one pair around it;
// "|Pipe|in|name|" would read as "Pipeinname", so such a line is not read.
bool IsCleanName(const std::string& raw) {
    const std::string name = Trim(raw);
    if (name.find('|') == std::string::npos) return true;
    return name.size() >= 2 && name.front() == '|' && name.back() == '|' &&
           name.find('|', 1) == name.size() - 1;
}

enum class TNamed { No, Yes };

template <class T, class MakeEntry>
std::vector<std::string> ParseLibrary(const std::vector<std::string>& texts, int fieldCount,
                                      TNamed named, MakeEntry makeEntry, TSafeList<T>& library) {
    library.Clear();
    std::vector<std::string> unreadable;
    for (const std::string& text : texts) {
        std::optional<TKeyAndValue> line = SplitLine(text);
        const TLayout layout = line ? LayoutOf(*line, fieldCount) : TLayout::Newer;
        if (line && named == TNamed::Yes && !IsCleanName(RawName(*line, layout)))
            line.reset();
        const std::optional<T> entry =
            line ? makeEntry(FieldsOf(*line, layout, fieldCount)) : std::nullopt;
        if (entry)
            library.Add(std::make_unique<T>(*entry));
        else
            unreadable.push_back(text);
    }
    return unreadable;
}

// The name between bars, as it reads back: without bars of its own, a line
// break inside it (which the file cannot hold) as a blank, and without the
// blanks and control characters at its ends that reading trims.
std::string BarQuoted(const std::string& name) {
    std::string kept;
    for (const char c : name) {
        if (c == '|') continue;
        kept += c == '\r' || c == '\n' ? ' ' : c;
    }
    return "|" + Trim(kept) + "|";
}

} // namespace

std::vector<std::string> ParseVoltages(const std::vector<std::string>& lines,
                                       TSafeList<TVoltItem>& library) {
    return ParseLibrary(lines, 3, TNamed::No, MakeVoltItem, library);
}

std::vector<std::string> ParseConductors(const std::vector<std::string>& lines,
                                         TSafeList<TCondItem>& library) {
    return ParseLibrary(lines, 3, TNamed::Yes, MakeCondItem, library);
}

std::vector<std::string> ParseOhgws(const std::vector<std::string>& lines,
                                    TSafeList<TOhgwItem>& library) {
    return ParseLibrary(lines, 2, TNamed::Yes, MakeOhgwItem, library);
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

bool ParseLimitRow(const std::string& value, TClassLimits& row) {
    if (Trim(value).empty()) return false; // nothing to read, not "no limits"
    const int fields = CountFields(value, ',');
    bool whole = fields == kLimitColumnCount;
    for (int k = 0; k < kLimitColumnCount; ++k) {
        const auto column = static_cast<TLimitColumn>(k);
        const std::string text = GetField(value, k + 1, ',');
        if (text.empty()) {
            if (k < fields) LimitAt(row, column).reset();
            continue;
        }
        const std::optional<float> limit = ParseFloat(text);
        if (limit && IsUsableLimit(column, *limit))
            LimitAt(row, column) = limit;
        else
            whole = false;
    }
    return whole;
}

std::string FormatLimitRow(const TClassLimits& row) {
    std::string value;
    for (int k = 0; k < kLimitColumnCount; ++k) {
        if (k > 0) value += ',';
        if (const std::optional<float>& limit = LimitAt(row, static_cast<TLimitColumn>(k)))
            value += FormatShortest(*limit);
    }
    return value;
}

std::string VoltageText(float voltage) {
    return FormatShortest(voltage);
}

} // namespace corvalt
