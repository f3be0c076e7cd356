#include "cli/Json.h"

#include "model/TextHelpers.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace corvalt::cli {
namespace {

void AppendEscapedAscii(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
        constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[code >> 4];
        out += kHex[code & 0xF];
        return;
    }
    out += c;
}

template <class T> std::string ShortestNumber(T value) {
    if (!std::isfinite(value)) return "null";
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

} // namespace

std::string JsonString(std::string_view text) {
    const std::string utf8 = ToValidUtf8(text);
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x80)
            AppendEscapedAscii(out, c);
        else
            out += c; // part of a UTF-8 sequence
    }
    return out + "\"";
}

std::string JsonNumber(float value) {
    return ShortestNumber(value);
}

std::string JsonNumber(double value) {
    return ShortestNumber(value);
}

void TJsonWriter::Separate() {
    TLevel& level = levels_.back();
    if (!level.Empty) out_ << ',';
    if (level.Layout == TJsonLayout::Block)
        out_ << '\n' << std::string(2 * levels_.size(), ' ');
    else if (!level.Empty)
        out_ << ' ';
    level.Empty = false;
}

void TJsonWriter::BeforeValue() {
    if (levels_.empty()) return;
    if (levels_.back().IsObject) {
        assert(afterKey_ && "a value in an object needs a key first");
        afterKey_ = false;
        return;
    }
    Separate();
}

TJsonWriter& TJsonWriter::Raw(std::string_view text) {
    BeforeValue();
    out_ << text;
    return *this;
}

TJsonWriter& TJsonWriter::Begin(bool isObject, TJsonLayout layout, char open) {
    BeforeValue();
    out_ << open;
    levels_.push_back({isObject, layout});
    return *this;
}

TJsonWriter& TJsonWriter::End(char close) {
    assert(!levels_.empty() && !afterKey_);
    const TLevel level = levels_.back();
    levels_.pop_back();
    if (!level.Empty && level.Layout == TJsonLayout::Block)
        out_ << '\n' << std::string(2 * levels_.size(), ' ');
    out_ << close;
    return *this;
}

TJsonWriter& TJsonWriter::BeginObject(TJsonLayout layout) {
    return Begin(true, layout, '{');
}

TJsonWriter& TJsonWriter::EndObject() {
    assert(levels_.back().IsObject);
    return End('}');
}

TJsonWriter& TJsonWriter::BeginArray(TJsonLayout layout) {
    return Begin(false, layout, '[');
}

TJsonWriter& TJsonWriter::EndArray() {
    assert(!levels_.back().IsObject);
    return End(']');
}

TJsonWriter& TJsonWriter::Key(std::string_view key) {
    assert(!levels_.empty() && levels_.back().IsObject && !afterKey_);
    Separate();
    out_ << JsonString(key) << ": ";
    afterKey_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view value) {
    return Raw(JsonString(value));
}

TJsonWriter& TJsonWriter::Number(float value) {
    return Raw(JsonNumber(value));
}

TJsonWriter& TJsonWriter::Number(double value) {
    return Raw(JsonNumber(value));
}

TJsonWriter& TJsonWriter::Integer(long long value) {
    return Raw(std::to_string(value));
}

TJsonWriter& TJsonWriter::Bool(bool value) {
    return Raw(value ? "true" : "false");
}

TJsonWriter& TJsonWriter::Null() {
    return Raw("null");
}

void TJsonWriter::Finish() {
    assert(levels_.empty());
    out_ << '\n';
}

} // namespace corvalt::cli
