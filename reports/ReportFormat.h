#pragma once
// How the reports write numbers, dates and model texts as printed text: the
// number formats of NumberFormat.h as QString, dates with English month names,
// and model texts.

#include "reports/NumberFormat.h"

#include <QDate>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace corvalt {

// FormatFixed as printed text.
QString FixedText(double value, int decimals);
QString FixedText(std::optional<float> value, int decimals);
QString MilligaussText(std::optional<float> gauss, int decimals);
QString DistanceText(double value, bool metric); // FormatDistance

// The calendar date of a model date (a day number, model/DayNumbers.h) as a
// QDate; a date never set, or a value that is no date, gives an invalid QDate,
// which the formats below print as an empty text.
QDate DateOfDayNumber(double dayNumber);

// "mmmm dd, yyyy", e.g. "March 05, 2024".
QString LongDate(const QDate& date);
// "mmmm, dd yyyy", e.g. "March, 05 2024" (the TLSA form's order).
QString LongDateCommaAfterMonth(const QDate& date);
// "mm/dd/yy", e.g. "03/05/24". The separator is always "/".
QString ShortDate(const QDate& date);

// A model text (a byte string) as printed text: valid UTF-8 is read as such,
// other bytes as Windows-1252 (texts of older project files), and control
// characters (tabs, line breaks) become blanks so that a text always stays in
// its line and its cell.
QString ReportText(std::string_view text);

} // namespace corvalt
