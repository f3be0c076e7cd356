// Day numbers and calendar dates. Expected day numbers count by hand from
// 30 December 1899 (day 0): 1 January 1900 is day 2, 1 January 2000 is
// 2 + 100 × 365 + 24 leap days = 36526 (1900 is no leap year).
#include "model/DayNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

using namespace corvalt;

TEST(DayNumbers, WholeDaysCountFromTheEndOf1899) {
    struct TCase {
        double Day;
        TCalendarDate Date;
    };
    const TCase cases[] = {
        {1, {1899, 12, 31}},
        {2, {1900, 1, 1}},
        {-1, {1899, 12, 29}},
        {36526, {2000, 1, 1}},
        {36526 + 31 + 28, {2000, 2, 29}}, // 2000 is a leap year
        // 2000 to 2022: 23 years, six of them leap years.
        {36526 + 23 * 365 + 6 + 31 + 28 + 14, {2023, 3, 15}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Day);
        EXPECT_EQ(CalendarDateOfDayNumber(c.Day), c.Date);
        EXPECT_EQ(DayNumberOfCalendarDate(c.Date), c.Day);
    }
    EXPECT_EQ(DayNumberOfCalendarDate({2023, 3, 15}), 45000.0);
}

TEST(DayNumbers, TheTimeOfDayIsDropped) {
    EXPECT_EQ(CalendarDateOfDayNumber(45000.75), (TCalendarDate{2023, 3, 15}));
    EXPECT_EQ(CalendarDateOfDayNumber(45000.0001), (TCalendarDate{2023, 3, 15}));
    // Before day 0 the date is the day that began before the moment.
    EXPECT_EQ(CalendarDateOfDayNumber(-0.5), (TCalendarDate{1899, 12, 29}));
}

TEST(DayNumbers, UnsetDatesAndValuesThatAreNoDateGiveNothing) {
    for (const double none : {0.0, std::nan(""), std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), 1e12, -1e12}) {
        SCOPED_TRACE(none);
        EXPECT_FALSE(CalendarDateOfDayNumber(none).has_value());
    }
}

TEST(DayNumbers, YearsOneHundredToNineNineNineNineAreDates) {
    const double first = DayNumberOfCalendarDate({100, 1, 1});
    const double last = DayNumberOfCalendarDate({9999, 12, 31});
    EXPECT_EQ(CalendarDateOfDayNumber(first), (TCalendarDate{100, 1, 1}));
    EXPECT_FALSE(CalendarDateOfDayNumber(first - 1).has_value());
    EXPECT_EQ(CalendarDateOfDayNumber(last + 0.99), (TCalendarDate{9999, 12, 31}));
    EXPECT_FALSE(CalendarDateOfDayNumber(last + 1).has_value());
}

TEST(DayNumbers, DatesThatDoNotExistGiveDayZero) {
    EXPECT_EQ(DayNumberOfCalendarDate({2023, 2, 29}), 0.0);
    EXPECT_EQ(DayNumberOfCalendarDate({2023, 13, 1}), 0.0);
    EXPECT_EQ(DayNumberOfCalendarDate({2023, 0, 1}), 0.0);
}

TEST(DayNumbers, TodayIsTheLocalDateAsAWholeDay) {
    const double today = TodayDayNumber();
    EXPECT_EQ(today, std::floor(today));
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    // A test run across midnight may see the next day.
    const TCalendarDate date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    const double expected = DayNumberOfCalendarDate(date);
    EXPECT_TRUE(today == expected || today + 1 == expected) << today << " " << expected;
}
