#include "ui/DayNumbers.h"

#include <cmath>

namespace corvalt::ui {
namespace {

const QDate kDayZero(1899, 12, 30);

} // namespace

QDate DateOfDayNumber(double dayNumber) {
    const double lowest = static_cast<double>(kDayZero.daysTo(QDate(100, 1, 1)));
    const double highest = static_cast<double>(kDayZero.daysTo(QDate(9999, 12, 31)));
    if (!std::isfinite(dayNumber) || dayNumber < lowest || dayNumber >= highest + 1)
        return kDayZero;
    return kDayZero.addDays(static_cast<qint64>(std::floor(dayNumber)));
}

double DayNumberOfDate(const QDate& date) {
    return date.isValid() ? static_cast<double>(kDayZero.daysTo(date)) : 0.0;
}

double TodayDayNumber() {
    return DayNumberOfDate(QDate::currentDate());
}

} // namespace corvalt::ui
