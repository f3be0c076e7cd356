#include "model/MaxVoltage.h"

namespace corvalt {
namespace {

// A decimal text as an exact integer and a power of ten: "1.05" is 105 / 10^2.
struct TDecimal {
    long long Digits = 0;
    int Scale = 0;
};

// Up to 9 digits each, so the product fits a long long exactly. The fields hold
// at most 6 digits and a class voltage's shortest text at most 9.
constexpr int kMaxDigits = 9;

std::optional<TDecimal> ParseDecimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    TDecimal number;
    int digits = 0;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        if (++digits > kMaxDigits) return std::nullopt;
        number.Digits = number.Digits * 10 + (c - '0');
        if (point) ++number.Scale;
    }
    if (digits == 0) return std::nullopt;
    if (negative) number.Digits = -number.Digits;
    return number;
}

} // namespace

std::optional<long long> RoundedMaxVoltage(std::string_view voltage, std::string_view factor) {
    const std::optional<TDecimal> v = ParseDecimal(voltage);
    const std::optional<TDecimal> f = ParseDecimal(factor);
    if (!v || !f) return std::nullopt;
    long long product = v->Digits * f->Digits;
    long long unit = 1;
    for (int i = 0; i < v->Scale + f->Scale; ++i)
        unit *= 10;
    const bool negative = product < 0;
    if (negative) product = -product;
    const long long whole = product / unit + (2 * (product % unit) >= unit ? 1 : 0);
    return negative ? -whole : whole;
}

} // namespace corvalt
