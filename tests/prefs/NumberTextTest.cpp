#include "prefs/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvalt;

TEST(NumberText, FormatFixedRoundsTiesAwayFromZero) {
    struct Case {
        float value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {34.5f, 0, "35"}, // printf would give the even neighbour, 34
        {-34.5f, 0, "-35"},
        {35.5f, 0, "36"},
        {0.5f, 0, "1"},
        {36.225f, 0, "36"},
        {241.5f, 0, "242"},
        {0.0625f, 3, "0.063"}, // an exact tie at the third decimal
        {9.5625f, 3, "9.563"},
        {1.05f, 3, "1.050"}, // stored just below 1.05: no tie
        {28.143f, 3, "28.143"},
        {907.0f, 0, "907"},
        {0.0004f, 3, "0.000"},
        {-0.2f, 0, "0"}, // never "-0"
        {-0.0f, 3, "0.000"},
        {-1.25f, 1, "-1.3"},
        {0.001f, 3, "0.001"},
        {16777216.0f, 3, "16777216.000"},
        {3.0e20f, 0, "300000006012263202816"}, // beyond 2^53: the exact stored value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected);
    }
}

TEST(NumberText, FormatFixedNeverWritesWhatCannotBeReadBack) {
    EXPECT_EQ(FormatFixed(std::numeric_limits<float>::quiet_NaN(), 3), "0.000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<float>::infinity(), 0), "0");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<float>::infinity(), 0), "0");
    const std::string largest = FormatFixed(std::numeric_limits<float>::max(), 3);
    ASSERT_TRUE(ParseFloat(largest).has_value()) << largest;
    EXPECT_EQ(*ParseFloat(largest), std::numeric_limits<float>::max());
}

TEST(NumberText, FormatShortestIsPlainAndRoundTrips) {
    EXPECT_EQ(FormatShortest(230.0f), "230");
    EXPECT_EQ(FormatShortest(34.5f), "34.5");
    EXPECT_EQ(FormatShortest(34.1f), "34.1"); // not 34.0999984741211
    EXPECT_EQ(FormatShortest(1000000.0f), "1000000");
    EXPECT_EQ(FormatShortest(0.0001f), "0.0001");
    EXPECT_EQ(FormatShortest(-69.0f), "-69");
    EXPECT_EQ(FormatShortest(std::nanf("")), "0");
    for (float value : {0.1f, 1.05f, 765.0f, 1e-7f, 12345.678f}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(ParseFloat(FormatShortest(value)), value);
    }
}

TEST(NumberText, ParseIntegerTakesDecimalOrHexadecimalOnly) {
    struct Case {
        const char* text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"120", 120},
        {"-5", -5},
        {"+7", 7},
        {"0x1F", 31},
        {"0X10", 16},
        {"0xffff", 65535},
        {"0x7FFFFFFF", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt}, // beyond int
        {"0x80000000", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"0x-1", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"abc", std::nullopt},
        {"+-5", std::nullopt},
        {"--5", std::nullopt},
        {" 5", std::nullopt}, // values are trimmed before they get here
        {"true", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseInteger(c.text), c.expected);
    }
}

TEST(NumberText, ParseFloatTakesWholeFiniteNumbersWithAPoint) {
    struct Case {
        const char* text;
        std::optional<float> expected;
    };
    const Case cases[] = {
        {"28.143", 28.143f},
        {"907", 907.0f},
        {"-5.5", -5.5f},
        {"+1.05", 1.05f},
        {".5", 0.5f},
        {"1e3", 1000.0f},
        {"28,143", std::nullopt}, // a comma is never a decimal point
        {"28.143mm", std::nullopt},
        {"", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"-infinity", std::nullopt},
        {"1e39", std::nullopt}, // beyond float
        {"0x1p3", std::nullopt},
        {"Drake", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseFloat(c.text), c.expected);
    }
}
