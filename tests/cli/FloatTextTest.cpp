// The shortest float text against its definition: the fewest characters that
// read back as the float, fixed notation on a tie, an integer written exactly;
// by hand for the boundaries of that choice, and against std::to_chars, which
// the standard defines the same way, on random bit patterns.
#include "cli/FloatText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

using corvalt::cli::FloatText;
using corvalt::cli::kFloatTextCapacity;

namespace {

std::string TextOf(float value) {
    char text[kFloatTextCapacity];
    return std::string(text, FloatText(text, value));
}

std::string ToCharsText(float value) {
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

} // namespace

TEST(FloatText, ChoosesTheShorterNotationAndFixedOnATie) {
    struct Case {
        float value;
        const char* expected;
    };
    const Case cases[] = {
        // One digit: "0.001" and "1e-03" both have 5 characters, fixed wins;
        // at 0.0001 fixed needs 6, so the exponent form is taken.
        {0.001f, "0.001"},
        {0.0001f, "1e-04"},
        {0.00012f, "0.00012"},   // 7 against "1.2e-04", 7: fixed
        {0.000123f, "0.000123"}, // 8 against "1.23e-04", 8: fixed
        {1.2e-5f, "1.2e-05"},    // 8 against 7
        // Whole numbers: "10000" and "1e+04" tie, "100000" loses to "1e+05".
        {10000.0f, "10000"},
        {100000.0f, "1e+05"},
        {120000.0f, "120000"},    // 6 against "1.2e+05", 7
        {1200000.0f, "1200000"},  // 7 against "1.2e+06", 7: fixed
        {12000000.0f, "1.2e+07"}, // 8 against 7
        // The float nearest 123456789 is 123456792: its shortest digits are
        // 12345679, but the fixed form (9 characters against 13) is written
        // with the exact value.
        {123456789.0f, "123456792"},
        {16777216.0f, "16777216"}, // 2^24
        // The point among the digits; a leading zero before it.
        {28.143f, "28.143"},
        {0.5f, "0.5"},
        {1.05f, "1.05"}, // the float's shortest digits, not its double widening
        {-2497.0f, "-2497"},
        {-0.25f, "-0.25"},
        // The extremes: three exponent digits are never needed for a float
        // except below 1e-99, which floats do not reach; the smallest
        // subnormal reads back from one digit.
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::min(), "1.1754944e-38"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"},
        {0.0f, "0"},
        {-0.0f, "-0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(TextOf(c.value), c.expected);
    }
}

TEST(FloatText, EqualsToCharsOnRandomFloats) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<std::uint32_t> bits;
    int compared = 0;
    for (int k = 0; k < 2000000; ++k) {
        const float value = std::bit_cast<float>(bits(rng));
        if (!std::isfinite(value)) continue;
        ASSERT_EQ(TextOf(value), ToCharsText(value)) << std::bit_cast<std::uint32_t>(value);
        ++compared;
    }
    // Random bits mostly give huge or tiny magnitudes: the range of everyday
    // values, and whole numbers, again on their own.
    std::uniform_real_distribution<float> everyday(-5000, 5000);
    for (int k = 0; k < 500000; ++k) {
        for (const float value : {everyday(rng), std::round(everyday(rng) * 1000)}) {
            ASSERT_EQ(TextOf(value), ToCharsText(value)) << value;
            ++compared;
        }
    }
    EXPECT_GT(compared, 2900000);
}

// Profile positions take a shorter way: every quarter from -100,000 to 100,000
// and the floats on either side of each, against std::to_chars.
TEST(FloatText, EqualsToCharsOnEveryQuarterAndItsNeighbours) {
    int mismatches = 0;
    for (int quarters = -400004; quarters <= 400004; ++quarters) {
        const float value = static_cast<float>(quarters) / 4.0f;
        for (const float v : {value, std::nextafter(value, -1e9f), std::nextafter(value, 1e9f)})
            if (TextOf(v) != ToCharsText(v) && ++mismatches <= 5)
                ADD_FAILURE() << ToCharsText(v) << " written as " << TextOf(v);
    }
    EXPECT_EQ(TextOf(-0.0f), "-0");
    EXPECT_EQ(mismatches, 0);
}

// Where random bits seldom land: every power of two (the float below lies
// half as far as the one above, so the rounding interval is lopsided) and
// the floats beside it, subnormals included, with both signs.
TEST(FloatText, EqualsToCharsAtEveryPowerOfTwo) {
    int mismatches = 0;
    for (std::uint32_t exponent = 0; exponent < 255; ++exponent)
        for (const std::uint32_t fraction : {0u, 1u, 2u, 3u, 0x7FFFFEu, 0x7FFFFFu})
            for (const std::uint32_t sign : {0u, 0x80000000u}) {
                const float v = std::bit_cast<float>(sign | exponent << 23 | fraction);
                if (TextOf(v) != ToCharsText(v) && ++mismatches <= 5)
                    ADD_FAILURE() << ToCharsText(v) << " written as " << TextOf(v);
            }
    EXPECT_EQ(mismatches, 0);
}
