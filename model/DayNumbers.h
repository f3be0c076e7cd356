#pragma once
// Dates of the model: day numbers, the days since 30 December 1899 with the time
// of day as their fraction, and the calendar dates they stand for. The reports
// and the project dialog convert through these functions only.

#include <optional>

namespace corvalt {

struct TCalendarDate {
    int Year = 1899;
    int Month = 12; // 1 to 12
    int Day = 30;   // 1 to 31
    bool operator==(const TCalendarDate&) const = default;
};

// The date of day number 0.
inline constexpr TCalendarDate kDayZero{1899, 12, 30};

// The calendar date of a day number; the time of day is dropped. Day 0, the
// value of a date never set, and values that are no date (not finite, or
// outside the years 100 to 9999) give nothing.
std::optional<TCalendarDate> CalendarDateOfDayNumber(double dayNumber);

// The day number of a calendar date, a whole number; 0 for a date that does
// not exist (30 February).
double DayNumberOfCalendarDate(const TCalendarDate& date);

// Today's day number by the local clock, without the time of day.
double TodayDayNumber();

} // namespace corvalt
