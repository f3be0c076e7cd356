#include "reports/NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace corvalt {
namespace {

// Enough for the integer digits of the largest double and the decimals asked for.
constexpr int kMaxDecimals = 20;
using TNumberBuffer = std::array<char, 320 + kMaxDecimals>;

} // namespace

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return kNotAvailable;
    TNumberBuffer buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                      std::clamp(decimals, 0, kMaxDecimals));
    std::string text(buffer.data(), result.ptr);
    // A value that rounds to zero (-0.001 at two decimals, or -0 itself) prints
    // as zero: a sign on "0.00" would tell the reader of a distance or a field
    // something that is not there.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string FormatFixed(std::optional<float> value, int decimals) {
    return value ? FormatFixed(static_cast<double>(*value), decimals) : kNotAvailable;
}

std::string FormatMilligauss(std::optional<float> gauss, int decimals) {
    return gauss ? FormatFixed(static_cast<double>(*gauss) * 1000.0, decimals) : kNotAvailable;
}

std::string FormatDistance(double value, bool metric) {
    if (!metric) return FormatFixed(value, 0);
    const std::string tenths = FormatFixed(value, 1);
    if (tenths.size() > 2 && tenths.compare(tenths.size() - 2, 2, ".0") == 0)
        return FormatFixed(value, 0);
    return tenths;
}

std::string FormatGrouped(double value) {
    std::string digits = FormatFixed(value, 0);
    if (!std::isfinite(value)) return digits;
    const std::size_t first = digits.front() == '-' ? 1 : 0;
    for (std::size_t end = digits.size(); end > first + 3; end -= 3)
        digits.insert(end - 3, 1, ',');
    return digits;
}

std::string FormatInteger(long long value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string PadLeft(std::string_view text, std::size_t width) {
    std::string padded(text.size() < width ? width - text.size() : 0, ' ');
    return padded.append(text);
}

std::string FitLeft(std::string_view text, std::size_t width) {
    std::string fitted(text.substr(0, width));
    fitted.resize(width, ' ');
    return fitted;
}

} // namespace corvalt
