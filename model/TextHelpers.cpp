#include "model/TextHelpers.h"

namespace corvalt {
namespace {

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

int MaxInt(int a, int b) {
    return a > b ? a : b;
}

float MaxFloat(float a, float b) {
    return b > a ? b : a;
}

} // namespace corvalt
