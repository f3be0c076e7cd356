#include "cli/Json.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace corvalt::cli {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 characters of the bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char32_t FromWindows1252(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t mapped = kWindows1252[byte - 0x80];
    return mapped != 0 ? mapped : kReplacement;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence starting at text[i] (Unicode
// table 3-7: no overlong forms, no surrogates, nothing above U+10FFFF), or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    auto continuationAt = [&](std::size_t k, unsigned char low, unsigned char high) {
        return k < text.size() && byte(k) >= low && byte(k) <= high;
    };
    const unsigned char lead = byte(i);
    if (lead >= 0xC2 && lead <= 0xDF) return continuationAt(i + 1, 0x80, 0xBF) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return continuationAt(i + 1, low, high) && continuationAt(i + 2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return continuationAt(i + 1, low, high) && continuationAt(i + 2, 0x80, 0xBF) &&
                       continuationAt(i + 3, 0x80, 0xBF)
                   ? 4
                   : 0;
    }
    return 0;
}

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
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            AppendEscapedAscii(out, text[i]);
            ++i;
        } else if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
            out.append(text, i, length);
            i += length;
        } else {
            AppendUtf8(out, FromWindows1252(byte));
            ++i;
        }
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
