#include "reports/ReportFormat.h"

#include "model/DayNumbers.h"
#include "model/TextHelpers.h"

namespace corvalt {
namespace {

constexpr const char* kMonthNames[12] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

QString MonthName(const QDate& date) {
    return QString::fromLatin1(kMonthNames[date.month() - 1]);
}

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FixedText(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}

QString FixedText(std::optional<float> value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}

QString MilligaussText(std::optional<float> gauss, int decimals) {
    return QString::fromStdString(FormatMilligauss(gauss, decimals));
}

QString DistanceText(double value, bool metric) {
    return QString::fromStdString(FormatDistance(value, metric));
}

QDate DateOfDayNumber(double dayNumber) {
    const std::optional<TCalendarDate> date = CalendarDateOfDayNumber(dayNumber);
    return date ? QDate(date->Year, date->Month, date->Day) : QDate();
}

QString LongDate(const QDate& date) {
    if (!date.isValid()) return {};
    return MonthName(date) + QLatin1Char(' ') + TwoDigits(date.day()) + QStringLiteral(", ") +
           QString::number(date.year());
}

QString LongDateCommaAfterMonth(const QDate& date) {
    if (!date.isValid()) return {};
    return MonthName(date) + QStringLiteral(", ") + TwoDigits(date.day()) + QLatin1Char(' ') +
           QString::number(date.year());
}

QString ShortDate(const QDate& date) {
    if (!date.isValid()) return {};
    return TwoDigits(date.month()) + QLatin1Char('/') + TwoDigits(date.day()) + QLatin1Char('/') +
           TwoDigits(date.year() % 100);
}

QString ReportText(std::string_view text) {
    QString printed = QString::fromStdString(ToValidUtf8(text));
    for (QChar& c : printed)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    return printed;
}

} // namespace corvalt
