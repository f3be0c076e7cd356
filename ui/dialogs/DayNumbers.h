#pragma once
// Dates of the model (day numbers: days since 30 December 1899, the fraction
// being the time of day) and the calendar dates the windows show.

#include <QDate>

namespace corvalt::ui {

// The calendar date of a day number; the time of day is dropped. A value that is
// no date (not finite, or beyond the years 100 to 9999) gives 30 December 1899.
QDate DateOfDayNumber(double dayNumber);

// The day number of a date (a whole number).
double DayNumberOfDate(const QDate& date);

// Today's day number, without the time of day.
double TodayDayNumber();

} // namespace corvalt::ui
