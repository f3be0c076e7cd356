#include "ui/dialogs/DayNumbers.h"

#include "reports/ReportFormat.h"

namespace corvalt::ui {
namespace {

const QDate kDayZero(1899, 12, 30);

} // namespace

QDate DateOfDayNumber(double dayNumber) {
    // The date picker cannot be empty: what the reports print as no date shows
    // as day zero.
    const QDate date = corvalt::DateOfDayNumber(dayNumber);
    return date.isValid() ? date : kDayZero;
}

double DayNumberOfDate(const QDate& date) {
    return date.isValid() ? static_cast<double>(kDayZero.daysTo(date)) : 0.0;
}

double TodayDayNumber() {
    return DayNumberOfDate(QDate::currentDate());
}

} // namespace corvalt::ui
