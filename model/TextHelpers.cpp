#include "model/TextHelpers.h"

#include <array>
#include <charconv>

namespace corvalt {
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
    if (lead < 0x80) return 1;
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

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool IsFieldQuote(char c) {
    return IsQuote(c) || c == '|';
}

} // namespace

std::string TrimLeft(std::string_view s) {
    std::size_t first = 0;
    while (first < s.size() && IsBlankOrControl(s[first]))
        ++first;
    return std::string(s.substr(first));
}

std::string TrimRight(std::string_view s) {
    std::size_t end = s.size();
    while (end > 0 && IsBlankOrControl(s[end - 1]))
        --end;
    return std::string(s.substr(0, end));
}

std::string Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

int CountFields(std::string_view s, char delimiter) {
    const bool blankDelimiter = delimiter == ' ';
    int fields = 1;
    char openQuote = 0;
    bool seenNonBlank = false; // leading blanks never count as a delimiter
    bool inBlankRun = false;
    for (char c : s) {
        if (openQuote != 0) {
            if (c == openQuote) openQuote = 0;
            continue;
        }
        if (IsQuote(c)) {
            openQuote = c;
            seenNonBlank = true;
            inBlankRun = false;
            continue;
        }
        if (c != delimiter) {
            seenNonBlank = true;
            inBlankRun = false;
            continue;
        }
        if (!blankDelimiter) {
            ++fields;
        } else if (seenNonBlank && !inBlankRun) {
            ++fields;
            inBlankRun = true;
        }
    }
    return fields;
}

std::string GetField(std::string_view s, int n, char delimiter) {
    const bool blankDelimiter = delimiter == ' ';
    std::string result;
    int field = 1;
    char openQuote = 0;
    std::string usedQuotes;   // quote characters met so far; later strays are dropped
    bool atFieldStart = true; // no non-blank character yet in this field
    bool seenNonBlank = false;
    bool inBlankRun = false;
    for (char c : s) {
        if (field > n) break;
        if (openQuote != 0) {
            if (c == openQuote) {
                openQuote = 0;
            } else if (field == n) {
                result += c;
            }
            continue;
        }
        if (c == delimiter) {
            if (!blankDelimiter) {
                ++field;
                atFieldStart = true;
            } else if (seenNonBlank && !inBlankRun) {
                ++field;
                atFieldStart = true;
                inBlankRun = true;
            }
            continue;
        }
        inBlankRun = false;
        if (IsFieldQuote(c)) {
            if (atFieldStart) {
                openQuote = c;
                usedQuotes += c;
                atFieldStart = false;
                seenNonBlank = true;
                continue;
            }
            if (usedQuotes.find(c) != std::string::npos) continue;
        }
        if (c != ' ') {
            atFieldStart = false;
            seenNonBlank = true;
        }
        if (field == n) result += c;
    }
    return Trim(result);
}

std::string SemicolonsToTabs(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == ';') c = '\t';
    return out;
}

std::string ToValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
            out.append(text, i, length);
            i += length;
        } else {
            AppendUtf8(out, FromWindows1252(static_cast<unsigned char>(text[i])));
            ++i;
        }
    }
    return out;
}

std::string PrintableText(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    const auto escape = [&](unsigned char byte) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8SequenceLength(text, i);
        // U+0080 to U+009F (C2 80 to C2 9F) are the C1 controls; a terminal
        // may take U+009B as the start of an escape sequence.
        const bool c1Control =
            length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (length == 0 || c1Control || lead < 0x20 || lead == 0x7F) {
            const std::size_t bytes = length == 0 ? 1 : length;
            for (std::size_t k = 0; k < bytes; ++k)
                escape(static_cast<unsigned char>(text[i + k]));
            i += bytes;
            continue;
        }
        out.append(text, i, length);
        i += length;
    }
    return out;
}

int MaxInt(int a, int b) {
    return a > b ? a : b;
}

float MaxFloat(float a, float b) {
    return b > a ? b : a;
}

std::string ShortestFloatText(float value) {
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string();
}

} // namespace corvalt
