// How the reports write numbers, dates and model texts.
#include "reports/ReportFormat.h"
#include "tests/model/GermanLocale.h"

#include <gtest/gtest.h>

#include <tuple>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace corvalt {
namespace {

std::string Printf(double value, int decimals) {
    char text[512];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

TEST(ReportFormat, FixedRoundsTheBinaryValueAsPrintfDoes) {
    struct TCase {
        double Value;
        int Decimals;
        const char* Expected;
    };
    const TCase cases[] = {
        {0.125, 2, "0.12"}, // exactly half: to even
        {0.375, 2, "0.38"}, // exactly half: to even
        {2.675, 2, "2.67"}, // held as 2.67499999...
        {1.005, 2, "1.00"}, // held as 1.00499999...
        {0.5, 0, "0"},
        {1.5, 0, "2"},
        {2.5, 0, "2"},
        {241.5, 1, "241.5"},
        {1e20, 0, "100000000000000000000"},
        {static_cast<double>(3.28f), 6, "3.280000"}, // a float's value as printed
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(FormatFixed(c.Value, c.Decimals), c.Expected);
    }
}

// printf keeps the sign of a negative value that rounds to zero ("-0.00");
// the reports print it as zero.
TEST(ReportFormat, ValuesThatRoundToZeroHaveNoSign) {
    struct TCase {
        double Value;
        int Decimals;
        const char* Expected;
    };
    const TCase cases[] = {
        {-0.001, 2, "0.00"},      {-0.0, 1, "0.0"},
        {-0.0, 0, "0"},           {-0.4, 0, "0"},
        {-0.5, 0, "0"}, // exactly half: to even, which is zero
        {-0.04, 1, "0.0"},        {-0.004999, 2, "0.00"},
        {-0.005001, 2, "-0.01"}, // rounds away from zero: the sign stays
        {-0.06, 1, "-0.1"},       {-0.6, 0, "-1"},
        {-1e-300, 6, "0.000000"}, {-10.0, 0, "-10"}, // zeros that are digits of a non-zero value
        {-0.001, 3, "-0.001"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Value << " to " << c.Decimals);
        EXPECT_EQ(FormatFixed(c.Value, c.Decimals), c.Expected);
    }
    EXPECT_EQ(FormatGrouped(-0.4), "0");
    EXPECT_EQ(FormatGrouped(-999.6), "-1,000");
    EXPECT_EQ(FormatMilligauss(-0.00004f, 1), "0.0"); // -0.04 mG
    EXPECT_EQ(FixedText(-0.3, 0), QStringLiteral("0"));
}

TEST(ReportFormat, FixedMatchesPrintfOnManyValues) {
    std::mt19937 random(20240305);
    std::uniform_real_distribution<double> magnitude(-7, 7);
    for (int i = 0; i < 5000; ++i) {
        const double value = std::pow(10.0, magnitude(random)) * (i % 2 ? -1 : 1);
        const int decimals = i % 7;
        std::string expected = Printf(value, decimals);
        if (expected.find_first_of("123456789") == std::string::npos && expected.front() == '-')
            expected.erase(0, 1); // printf's "-0.00"
        ASSERT_EQ(FormatFixed(value, decimals), expected) << value;
    }
}

TEST(ReportFormat, ValuesThatAreNotNumbersPrintAsNotAvailable) {
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2), "n/a");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 2), "n/a");
    EXPECT_EQ(FormatFixed(std::optional<float>(), 2), "n/a");
    EXPECT_EQ(FormatFixed(std::optional<float>(1.5f), 2), "1.50");
    EXPECT_EQ(FormatGrouped(-std::numeric_limits<double>::infinity()), "n/a");
}

TEST(ReportFormat, DistancesKeepTheTenthsOfMetresAWholeNumberWouldLose) {
    const std::tuple<double, bool, const char*> cases[] = {
        {12.5, true, "12.5"},   {15.0, true, "15"},     {14.96, true, "15"},
        {9.25, true, "9.2"},    {-150, true, "-150"},   {-0.04, true, "0"},
        {-12.5, true, "-12.5"}, {12.5, false, "12"},    {75.5, false, "76"},
    };
    for (const auto& [value, metric, text] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(FormatDistance(value, metric), text);
    }
}

TEST(ReportFormat, GroupedHasThousandsSeparatorsAndNoDecimals) {
    EXPECT_EQ(FormatGrouped(0), "0");
    EXPECT_EQ(FormatGrouped(999.4), "999");
    EXPECT_EQ(FormatGrouped(1000), "1,000");
    EXPECT_EQ(FormatGrouped(1234567.6), "1,234,568");
    EXPECT_EQ(FormatGrouped(-1234), "-1,234");
    EXPECT_EQ(FormatGrouped(-123), "-123");
}

TEST(ReportFormat, PaddingAndCutting) {
    EXPECT_EQ(PadLeft("1.5", 7), "    1.5");
    EXPECT_EQ(PadLeft("12345678", 7), "12345678"); // a wider value is not cut
    EXPECT_EQ(FitLeft("1A1", 5), "1A1  ");
    EXPECT_EQ(FitLeft("1A1-North", 5), "1A1-N");
    EXPECT_EQ(FitLeft("", 5), "     ");
}

TEST(ReportFormat, DatesUseEnglishMonthsAndTwoDigitFields) {
    EXPECT_EQ(LongDate(QDate(2024, 3, 5)), QStringLiteral("March 05, 2024"));
    EXPECT_EQ(LongDate(QDate(2025, 12, 31)), QStringLiteral("December 31, 2025"));
    EXPECT_EQ(ShortDate(QDate(2024, 3, 5)), QStringLiteral("03/05/24"));
    EXPECT_EQ(ShortDate(QDate(2000, 11, 9)), QStringLiteral("11/09/00"));
    EXPECT_EQ(LongDateCommaAfterMonth(QDate(2025, 6, 1)), QStringLiteral("June, 01 2025"));
    EXPECT_EQ(LongDateCommaAfterMonth(QDate()), QString());
    EXPECT_EQ(FormatMilligauss(0.0796f, 1), "79.6");
    EXPECT_EQ(FormatMilligauss(std::nullopt, 1), "n/a");
}

TEST(ReportFormat, DayNumbersBecomeCalendarDatesAndUnsetDatesNone) {
    EXPECT_EQ(DateOfDayNumber(45809), QDate(2025, 6, 1));
    EXPECT_EQ(DateOfDayNumber(45809.75), QDate(2025, 6, 1)); // the time of day is dropped
    EXPECT_EQ(DateOfDayNumber(1), QDate(1899, 12, 31));
    EXPECT_EQ(DateOfDayNumber(-1), QDate(1899, 12, 29));
    for (const double none : {0.0, std::numeric_limits<double>::quiet_NaN(), 1e12, -1e12}) {
        SCOPED_TRACE(none);
        EXPECT_FALSE(DateOfDayNumber(none).isValid());
        EXPECT_EQ(LongDate(DateOfDayNumber(none)), QString());
    }
}

TEST(ReportFormat, ModelTextsStayOnTheirLine) {
    EXPECT_EQ(ReportText("North\tsegment\r\n2"), QStringLiteral("North segment  2"));
    EXPECT_EQ(ReportText("a;b"), QStringLiteral("a;b"));
    EXPECT_EQ(ReportText("Caf\xC3\xA9"), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(ReportText("Caf\xE9 \x80"), QStringLiteral("Caf\u00E9 \u20AC")); // Windows-1252
}

TEST(ReportFormat, NumbersAndDatesIgnoreTheLocale) {
    CORVALT_USE_GERMAN_LOCALE(german);
    EXPECT_EQ(Printf(1.5, 2), "1,50"); // the locale is really in effect
    EXPECT_EQ(FormatFixed(1.5, 2), "1.50");
    EXPECT_EQ(FormatGrouped(1234567), "1,234,567");
    EXPECT_EQ(LongDate(QDate(2024, 3, 5)), QStringLiteral("March 05, 2024"));
}

} // namespace
} // namespace corvalt
