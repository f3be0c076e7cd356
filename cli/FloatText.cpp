#include "cli/FloatText.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

// The shortest digits come from the fmt library (its Dragonbox algorithm): the
// digit string closest to the value among the shortest that read back as it,
// which is the one std::to_chars chooses. fmt writes them in its own layout;
// ShortestDecimal takes the digits and their place back out of its text.
#include <fmt/compile.h>
#include <fmt/format.h>

namespace corvalt::cli {

namespace {

constexpr std::uint32_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                          100000, 1000000, 10000000, 100000000, 1000000000};

// Decimal digits of v (1 for 0): from the bit length, log10(2) ≈ 1233 ÷ 4096
// gives the count or one less.
int DigitCount(std::uint32_t v) {
    const int guess = (std::bit_width(v | 1u) * 1233) >> 12;
    return guess + (v >= kPowersOfTen[guess] ? 1 : 0);
}

// "00" to "99": two digits per division.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The last count decimal digits of v, leading zeros included, ending at end.
void WriteDigits(char* end, std::uint32_t v, int count) {
    for (; count >= 2; count -= 2) {
        end -= 2;
        std::memcpy(end, &kDigitPairs[2 * (v % 100)], 2);
        v /= 100;
    }
    if (count == 1) *--end = static_cast<char>('0' + v % 10);
}

// "e+05", "e-12", "e+38": the exponent in two digits (a float's lies
// between -45 and 38).
char* WriteExponent(char* out, int exponent) {
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    WriteDigits(out + 2, static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent), 2);
    return out + 2;
}

int ScientificLength(int count) {
    return count + (count > 1 ? 1 : 0) + 4;
}

// d.ddde±xx from the count digits of significand.
char* WriteScientific(char* out, std::uint32_t significand, int count, int exponent) {
    const std::uint32_t tail = kPowersOfTen[count - 1];
    *out++ = static_cast<char>('0' + significand / tail);
    if (count > 1) {
        *out++ = '.';
        WriteDigits(out + count - 1, significand % tail, count - 1);
        out += count - 1;
    }
    return WriteExponent(out, exponent);
}

// The fixed form of a value with a fraction: the point among the digits
// (exponent of the first digit 0 or more), or "0." and zeros before them.
char* WriteFixedFraction(char* out, std::uint32_t significand, int count, int exponent) {
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int zeros = -exponent - 1; zeros > 0; --zeros)
            *out++ = '0';
        WriteDigits(out + count, significand, count);
        return out + count;
    }
    const int whole = exponent + 1;
    const int fraction = count - whole;
    const std::uint32_t split = kPowersOfTen[fraction];
    WriteDigits(out + whole, significand / split, whole);
    out += whole;
    *out++ = '.';
    WriteDigits(out + fraction, significand % split, fraction);
    return out + fraction;
}

// A positive finite float as its shortest decimal digits: value =
// Significand × 10^Exponent, without trailing zeros in the significand.
struct TDecimal {
    std::uint32_t Significand = 0;
    int Exponent = 0;
};

// fmt writes the shortest digits either in fixed notation ("0.001", "230",
// "10000000000") or in scientific notation ("1.5e-07"); either way the digits
// before the exponent, without the point, are the significand padded with
// zeros, and the point and the exponent place them.
TDecimal ShortestDecimal(float value) {
    char text[32];
    const char* const end = fmt::format_to(text, FMT_COMPILE("{}"), value);
    std::uint32_t significand = 0;
    bool started = false; // a nonzero digit was seen
    int pendingZeros = 0; // zeros seen after the last nonzero digit
    int digitsBeforePoint = -1;
    int seen = 0; // digits before the exponent, leading zeros included
    const char* c = text;
    for (; c != end && *c != 'e'; ++c) {
        if (*c == '.') {
            digitsBeforePoint = seen;
            continue;
        }
        ++seen;
        if (*c == '0') {
            if (started) ++pendingZeros;
            continue;
        }
        for (; pendingZeros > 0; --pendingZeros)
            significand *= 10;
        significand = significand * 10 + static_cast<std::uint32_t>(*c - '0');
        started = true;
    }
    int exponent = 0;
    if (c != end) std::from_chars(c + 1 + (c[1] == '+' ? 1 : 0), end, exponent);
    if (digitsBeforePoint < 0) digitsBeforePoint = seen;
    // The last significand digit stands pendingZeros places above the last digit written.
    return {significand, exponent + digitsBeforePoint - seen + pendingZeros};
}

} // namespace

char* FloatText(char* out, float value) {
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    const TDecimal decimal = ShortestDecimal(value);
    const std::uint32_t significand = decimal.Significand;
    const int count = DigitCount(significand);
    const int exponent = decimal.Exponent + count - 1; // of the first digit
    const int scientificLength = ScientificLength(count);
    if (decimal.Exponent >= 0) {
        // An integer: its digits, then zeros down to the units, or the exact
        // value, which is that integer (a float this large has no fraction).
        if (exponent + 1 > scientificLength)
            return WriteScientific(out, significand, count, exponent);
        return std::to_chars(out, out + kFloatTextCapacity - 1, static_cast<std::uint64_t>(value))
            .ptr;
    }
    const int fixedLength = exponent < 0 ? count + 1 - exponent : count + 1;
    if (fixedLength > scientificLength) return WriteScientific(out, significand, count, exponent);
    return WriteFixedFraction(out, significand, count, exponent);
}

} // namespace corvalt::cli
