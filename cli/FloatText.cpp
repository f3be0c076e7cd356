#include "cli/FloatText.h"

#include <charconv>
#include <cmath>

namespace corvalt::cli {

namespace {

// Positions along a profile are whole quarters (of a metre or a foot) of a few
// thousand at most. Below 10,000 such a value's exact decimal is its shortest
// text: any text with fewer digits is at least 0.05 away, while neighbouring
// floats there are less than 0.001 apart. Fixed notation is the shorter one
// there (or ties), so the text is the whole part and ".25", ".5" or ".75".
// Returns nullptr for any other value.
char* QuarterText(char* out, float value) {
    const float magnitude = std::fabs(value);
    if (!(magnitude < 10000.0f)) return nullptr;
    const float quarters = magnitude * 4.0f; // exact below 2^22
    const auto whole = static_cast<unsigned>(quarters);
    if (static_cast<float>(whole) != quarters) return nullptr;
    if (std::signbit(value)) *out++ = '-';
    out = std::to_chars(out, out + 5, whole / 4).ptr;
    static constexpr const char* kFraction[] = {"", ".25", ".5", ".75"};
    for (const char* f = kFraction[whole % 4]; *f != '\0'; ++f)
        *out++ = *f;
    return out;
}

} // namespace

// std::to_chars without a format is defined as this text. The standard
// library's implementation (the Ryu algorithm in libstdc++) writes it about
// twice as fast as the shortest digits taken from fmt's formatted text and
// laid out again, which this replaced; profile positions take a shorter way.
char* FloatText(char* out, float value) {
    if (char* end = QuarterText(out, value)) return end;
    return std::to_chars(out, out + kFloatTextCapacity, value).ptr;
}

} // namespace corvalt::cli
