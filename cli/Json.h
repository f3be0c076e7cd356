#pragma once
// A small JSON writer for corvalt-cli's output: nested objects and arrays,
// strings escaped for any byte string, numbers in shortest round-trip form with
// "." as decimal point whatever the locale, and null for NaN and infinities.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt::cli {

// text as a JSON string literal, quotes included. Valid UTF-8 passes through;
// quotes, backslashes and control characters are escaped. A byte that is not
// part of valid UTF-8 is read as Windows-1252, the encoding of texts typed into
// older files (0xE9 becomes "é"), and one without a character there as U+FFFD.
std::string JsonString(std::string_view text);

// The shortest text that reads back as the same number; "null" for a NaN or an
// infinity, which JSON cannot hold.
std::string JsonNumber(float value);
std::string JsonNumber(double value);

// Block: one member per line, indented; Inline: all members on one line.
enum class TJsonLayout { Block, Inline };

// Writes one JSON value to a stream. Calls nest as the document does: in an
// object, Key() before every value.
class TJsonWriter {
  public:
    explicit TJsonWriter(std::ostream& out) : out_(out) {}

    TJsonWriter& BeginObject(TJsonLayout layout = TJsonLayout::Block);
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray(TJsonLayout layout = TJsonLayout::Block);
    TJsonWriter& EndArray();
    TJsonWriter& Key(std::string_view key);
    TJsonWriter& String(std::string_view value);
    TJsonWriter& Number(float value);
    TJsonWriter& Number(double value);
    TJsonWriter& Integer(long long value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();
    // Ends the document with a line break, once the outermost value is closed.
    void Finish();

  private:
    struct TLevel {
        bool IsObject;
        TJsonLayout Layout;
        bool Empty = true;
    };

    void Separate();    // the comma, line break and indentation before a member
    void BeforeValue(); // after a key, or as the next element of an array
    TJsonWriter& Raw(std::string_view text);
    TJsonWriter& Begin(bool isObject, TJsonLayout layout, char open);
    TJsonWriter& End(char close);

    std::ostream& out_;
    std::vector<TLevel> levels_;
    bool afterKey_ = false;
};

} // namespace corvalt::cli
