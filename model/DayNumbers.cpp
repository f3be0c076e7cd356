#include "model/DayNumbers.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace corvalt {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

sys_days SysDays(const TCalendarDate& date) {
    return sys_days{std::chrono::year{date.Year} / static_cast<unsigned>(date.Month) /
                    static_cast<unsigned>(date.Day)};
}

const sys_days kZero = SysDays(kDayZero);

double DaysFromZero(const TCalendarDate& date) {
    return static_cast<double>((SysDays(date) - kZero).count());
}

} // namespace

std::optional<TCalendarDate> CalendarDateOfDayNumber(double dayNumber) {
    static const double lowest = DaysFromZero({100, 1, 1});
    static const double highest = DaysFromZero({9999, 12, 31});
    if (!std::isfinite(dayNumber) || dayNumber == 0 || dayNumber < lowest ||
        dayNumber >= highest + 1)
        return std::nullopt;
    const year_month_day date{kZero + days{static_cast<long long>(std::floor(dayNumber))}};
    return TCalendarDate{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                         static_cast<int>(unsigned{date.day()})};
}

double DayNumberOfCalendarDate(const TCalendarDate& date) {
    const year_month_day checked{std::chrono::year{date.Year},
                                 std::chrono::month{static_cast<unsigned>(date.Month)},
                                 std::chrono::day{static_cast<unsigned>(date.Day)}};
    if (date.Month < 1 || date.Day < 1 || !checked.ok()) return 0;
    return DaysFromZero(date);
}

double TodayDayNumber() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return 0;
    return DayNumberOfCalendarDate({local->tm_year + 1900, local->tm_mon + 1, local->tm_mday});
}

} // namespace corvalt
