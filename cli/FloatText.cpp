#include "cli/FloatText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// A positive float's shortest decimal: Digits × 10^Exponent, Digits without
// trailing zeros.
struct TDecimal {
    std::uint32_t Digits;
    int Exponent;
};

// 10^k rounded up to 64 significant bits, for k from kLeastPower to 45: the
// powers of ten that scale any float's rounding interval to between one and
// ten units.
constexpr int kLeastPower = -31;
constexpr std::uint64_t kPowersOfTen[] = {
    0x81CEB32C4B43FCF5, 0xA2425FF75E14FC32, 0xCAD2F7F5359A3B3F, 0xFD87B5F28300CA0E,
    0x9E74D1B791E07E49, 0xC612062576589DDB, 0xF79687AED3EEC552, 0x9ABE14CD44753B53,
    0xC16D9A0095928A28, 0xF1C90080BAF72CB2, 0x971DA05074DA7BEF, 0xBCE5086492111AEB,
    0xEC1E4A7DB69561A6, 0x9392EE8E921D5D08, 0xB877AA3236A4B44A, 0xE69594BEC44DE15C,
    0x901D7CF73AB0ACDA, 0xB424DC35095CD810, 0xE12E13424BB40E14, 0x8CBCCC096F5088CC,
    0xAFEBFF0BCB24AAFF, 0xDBE6FECEBDEDD5BF, 0x89705F4136B4A598, 0xABCC77118461CEFD,
    0xD6BF94D5E57A42BD, 0x8637BD05AF6C69B6, 0xA7C5AC471B478424, 0xD1B71758E219652C,
    0x83126E978D4FDF3C, 0xA3D70A3D70A3D70B, 0xCCCCCCCCCCCCCCCD, 0x8000000000000000,
    0xA000000000000000, 0xC800000000000000, 0xFA00000000000000, 0x9C40000000000000,
    0xC350000000000000, 0xF424000000000000, 0x9896800000000000, 0xBEBC200000000000,
    0xEE6B280000000000, 0x9502F90000000000, 0xBA43B74000000000, 0xE8D4A51000000000,
    0x9184E72A00000000, 0xB5E620F480000000, 0xE35FA931A0000000, 0x8E1BC9BF04000000,
    0xB1A2BC2EC5000000, 0xDE0B6B3A76400000, 0x8AC7230489E80000, 0xAD78EBC5AC620000,
    0xD8D726B7177A8000, 0x878678326EAC9000, 0xA968163F0A57B400, 0xD3C21BCECCEDA100,
    0x84595161401484A0, 0xA56FA5B99019A5C8, 0xCECB8F27F4200F3A, 0x813F3978F8940985,
    0xA18F07D736B90BE6, 0xC9F2C9CD04674EDF, 0xFC6F7C4045812297, 0x9DC5ADA82B70B59E,
    0xC5371912364CE306, 0xF684DF56C3E01BC7, 0x9A130B963A6C115D, 0xC097CE7BC90715B4,
    0xF0BDC21ABB48DB21, 0x96769950B50D88F5, 0xBC143FA4E250EB32, 0xEB194F8E1AE525FE,
    0x92EFD1B8D0CF37BF, 0xB7ABC627050305AE, 0xE596B7B0C643C71A, 0x8F7E32CE7BEA5C70,
    0xB35DBF821AE4F38C,
};

// floor(e · log10 2), or floor(e · log10 2 + log10 3/4); exact for |e| ≤ 1500.
int FloorLog10Pow2(int e, bool threeQuarters) {
    return (e * 1262611 - (threeQuarters ? 524031 : 0)) >> 22;
}

// floor(e · log2 10), exact for |e| ≤ 1500.
int FloorLog2Pow10(int e) {
    return (e * 1741647) >> 19;
}

// (g · cp) / 2^64 rounded to odd: the integer part, with its lowest bit set
// when anything was cut off.
std::uint32_t ScaledRoundToOdd(std::uint64_t g, std::uint32_t cp) {
    const std::uint64_t low = (g & 0xFFFFFFFFu) * cp;
    const std::uint64_t middle = (g >> 32) * cp + (low >> 32); // (g · cp) >> 32
    const auto high = static_cast<std::uint32_t>(middle >> 32);
    const auto cut = static_cast<std::uint32_t>(middle);
    return high | (cut > 1 ? 1u : 0u);
}

std::uint32_t RemovedTrailingZeros(std::uint32_t digits, int& exponent) {
    while (digits % 10 == 0) {
        digits /= 10;
        ++exponent;
    }
    return digits;
}

// The decimal with the fewest digits inside the rounding interval of the
// positive float c · 2^q (the interval's ends belong to it when c is even),
// the one nearest the float among several, the even one on a tie: the
// Schubfach method, one 64-bit product per end of the interval.
TDecimal ShortestDecimal(std::uint32_t bits) {
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    const std::uint32_t biased = bits >> 23;
    std::uint32_t c = fraction;
    int q = -149;
    if (biased != 0) {
        c |= 0x800000u;
        q = static_cast<int>(biased) - 150;
        // A whole number below 2^24 is its own shortest decimal.
        if (q <= 0 && -q < 24 && (c & ((1u << -q) - 1)) == 0) {
            int exponent = 0;
            return {RemovedTrailingZeros(c >> -q, exponent), exponent};
        }
    }
    const bool even = c % 2 == 0;
    // At a power of two the float below is half as far as the one above.
    const bool lowerCloser = fraction == 0 && biased > 1;
    const std::uint32_t cbl = 4 * c - 2 + (lowerCloser ? 1 : 0);
    const std::uint32_t cb = 4 * c;
    const std::uint32_t cbr = 4 * c + 2;

    const int k = FloorLog10Pow2(q, lowerCloser);
    const int h = q + FloorLog2Pow10(-k) + 1; // 1 to 4
    const std::uint64_t g = kPowersOfTen[-k - kLeastPower];
    const std::uint32_t vbl = ScaledRoundToOdd(g, cbl << h);
    const std::uint32_t vb = ScaledRoundToOdd(g, cb << h);
    const std::uint32_t vbr = ScaledRoundToOdd(g, cbr << h);
    const std::uint32_t lower = vbl + (even ? 0 : 1);
    const std::uint32_t upper = vbr - (even ? 0 : 1);

    // In units of 10^k the interval is a few units wide: it holds at most one
    // multiple of ten, which has a digit fewer than any other candidate. Both
    // choices are worked out and one is taken, without branches: which one
    // holds is as good as random from one number to the next.
    const std::uint32_t s = vb / 4;
    const std::uint32_t tens = s / 10;
    const bool tensInside = lower <= 40 * tens;
    const bool nextTensInside = 40 * tens + 40 <= upper;
    const bool sInside = lower <= 4 * s;
    const bool nextInside = 4 * s + 4 <= upper;
    // Both s and s + 1 inside: the nearer, the even one on a tie. (Bitwise
    // operators on purpose: the compiler keeps them free of branches.)
    const std::uint32_t middle = 4 * s + 2;
    const bool nearerUp = (vb > middle) | ((vb == middle) & (s % 2 != 0));
    const bool up = ((sInside == nextInside) & nearerUp) | ((sInside != nextInside) & nextInside);
    const bool byTens = (s >= 10) & (tensInside != nextTensInside);
    const std::uint32_t byTensMask = 0u - static_cast<std::uint32_t>(byTens);
    const std::uint32_t digits = ((tens + nextTensInside) & byTensMask) | ((s + up) & ~byTensMask);
    int exponent = k + static_cast<int>(byTens);
    return {RemovedTrailingZeros(digits, exponent), exponent};
}

constexpr std::uint32_t kPowersOfTenBelow2To32[] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000,
};

int DigitCount(std::uint32_t digits) {
    const int estimate = (std::bit_width(digits | 1u) * 1233) >> 12; // floor(bits · log10 2)
    return estimate + (digits >= kPowersOfTenBelow2To32[estimate] ? 1 : 0);
}

// The two characters of a number below 100.
void WritePair(char* out, int pair) {
    out[0] = static_cast<char>('0' + pair / 10);
    out[1] = static_cast<char>('0' + pair % 10);
}

void Store8(char* out, std::uint64_t characters) {
    std::memcpy(out, &characters, 8);
}

// The eight digits of value (below 10^8, leading zeros included) as eight
// characters in one word, the first digit in its lowest byte, by dividing all
// parts at once: into two halves of four digits, then pairs, then digits.
std::uint64_t EightDigits(std::uint32_t value) {
    const std::uint64_t halves = value / 10000 | static_cast<std::uint64_t>(value % 10000) << 32;
    // x · 10486 / 2^20 is x / 100 rounded down for x below 10,000; x · 103 / 2^10
    // is x / 10 for x below 100.
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007Fu;
    const std::uint64_t pairs = ((halves - 100 * hundreds) << 16) + hundreds;
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Fu;
    const std::uint64_t digits = tens + ((pairs - 10 * tens) << 8);
    return digits + 0x3030303030303030u;
}

// The n significant digits of a decimal (n up to nine) held in registers: the
// first eight (or fewer) as characters in a word, first in the lowest byte,
// and the ninth. Nothing goes through memory: reading back a word just
// written in parts stalls the processor.
struct TDigitText {
    std::uint64_t First8;
    char Ninth;
    TDigitText(std::uint32_t digits, int n) {
        const std::uint64_t last8 = EightDigits(digits % 100000000);
        Ninth = static_cast<char>(last8 >> 56);
        First8 = n == 9 ? static_cast<std::uint64_t>('0' + digits / 100000000) | last8 << 8
                        : last8 >> (8 * (8 - n));
    }
};

// The text is laid out with stores of eight characters, which cost no more
// than storing the digits one by one and take no branches; what they write
// past the text's end lies within kFloatTextCapacity and is not part of it.

// "d.ddde+XX": a float's exponent has two digits.
char* ScientificText(char* out, const TDigitText& digits, int n, int exponent) {
    out[0] = static_cast<char>(digits.First8);
    out[1] = '.';
    Store8(out + 2, digits.First8 >> 8);
    out[9] = digits.Ninth;
    out += n > 1 ? n + 1 : 1;
    const int power = exponent + n - 1;
    out[0] = 'e';
    out[1] = power < 0 ? '-' : '+';
    WritePair(out + 2, power < 0 ? -power : power);
    return out + 4;
}

// The digits with the point placed by a negative exponent: "12.5", "0.0125".
// The fixed form is only the shorter with at most three zeros after the point.
char* FractionText(char* out, const TDigitText& digits, int n, int exponent) {
    const int whole = n + exponent;
    if (whole > 0) {
        Store8(out, digits.First8);
        Store8(out + whole + 1, digits.First8 >> (8 * whole));
        out[whole] = '.';
        out[9] = digits.Ninth;
        return out + n + 1;
    }
    std::memcpy(out, "0.000", 5);
    Store8(out + 2 - whole, digits.First8);
    out[10 - whole] = digits.Ninth;
    return out + 2 - exponent;
}

} // namespace

// std::to_chars without a format is defined as this text, and writes it with
// the Ryu method; the Schubfach method finds a float's digits in about half
// the time, which counts in the hundreds of thousands of numbers of a wide
// profile. Whole numbers above 2^24 in fixed notation, which are written with
// their exact digits rather than the shortest ones, are left to std::to_chars.
char* FloatText(char* out, float value) {
    if (char* end = QuarterText(out, value)) return end;
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t magnitude = bits & 0x7FFFFFFFu;
    if (magnitude == 0 || magnitude >= 0x7F800000u) // zero, infinity, NaN
        return std::to_chars(out, out + kFloatTextCapacity, value).ptr;
    const TDecimal decimal = ShortestDecimal(magnitude);
    const int n = DigitCount(decimal.Digits);
    const int e = decimal.Exponent;
    const int scientificLength = n + (n > 1 ? 1 : 0) + 4;
    const int fixedLength = e >= 0 ? n + e : (n + e > 0 ? n + 1 : 2 - e);
    if (fixedLength <= scientificLength && e >= 0 && magnitude >= 0x4B800000u) // 2^24
        return std::to_chars(out, out + kFloatTextCapacity, value).ptr;
    if (bits != magnitude) *out++ = '-';
    const TDigitText digits(decimal.Digits, n);
    if (fixedLength > scientificLength) return ScientificText(out, digits, n, e);
    if (e < 0) return FractionText(out, digits, n, e);
    // A whole number below 2^24: at most eight characters.
    Store8(out, digits.First8);
    std::memcpy(out + n, "00000000", 8);
    return out + n + e;
}

} // namespace corvalt::cli
