#include "prefs/NumberText.h"

#include <array>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace corvalt {
namespace {

constexpr std::array<double, 9> kPowersOfTen = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// Below 2^53 every integer is a double, so a scaled value under it is rounded
// exactly; above it a double is already a whole number.
constexpr double kExactIntegerLimit = 9007199254740992.0;

std::string ToChars(double value, std::chars_format format, int precision) {
    std::array<char, 400> buffer{}; // fixed notation of the largest float fits
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    return std::string(buffer.data(), result.ptr);
}

// The digits of |units| with the decimal point `decimals` places from the right.
std::string PlaceDecimalPoint(std::int64_t units, int decimals) {
    const bool negative = units < 0;
    std::string digits = std::to_string(negative ? -units : units);
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    return negative ? "-" + digits : digits;
}

} // namespace

std::string FormatFixed(float value, int decimals) {
    assert(decimals >= 0 && decimals < static_cast<int>(kPowersOfTen.size()));
    if (!std::isfinite(value)) return PlaceDecimalPoint(0, decimals);
    // A float has 24 significant bits and 10^8 needs 27, so the product is exact
    // in a double and a tie is a true tie: round() then goes away from zero,
    // where printf would go to the even neighbour (34.5 -> 34).
    const double scaled = static_cast<double>(value) * kPowersOfTen[decimals];
    if (std::fabs(scaled) >= kExactIntegerLimit)
        return ToChars(static_cast<double>(value), std::chars_format::fixed, decimals);
    return PlaceDecimalPoint(static_cast<std::int64_t>(std::round(scaled)), decimals);
}

std::string FormatShortest(float value) {
    if (!std::isfinite(value)) return "0";
    std::array<char, 64> buffer{};
    const auto format =
        std::fabs(value) < 1e15f ? std::chars_format::fixed : std::chars_format::scientific;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format);
    return std::string(buffer.data(), result.ptr);
}

std::optional<int> ParseInteger(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
        if (text.front() == '-' || text.front() == '+') return std::nullopt;
    } else if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<float> ParseFloat(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace corvalt
