#pragma once
// How the reports and the BPA file write numbers, dates and model texts: one
// home for every conversion from a value to printed text.
//
// Numbers follow C printf's "%.<n>f" (the binary value of the number is
// rounded, so 0.125 prints as "0.12" and 2.675 as "2.67"), always with "." as
// decimal point whatever the locale, except that a value that rounds to zero
// never carries a minus sign ("0.00", not "-0.00"). Dates use English month
// names.

#include <QDate>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace corvalt {

// Printed in place of a value that could not be computed (or is not a finite
// number): the reports never print NaN or infinity.
inline constexpr const char* kNotAvailable = "n/a";

// printf "%.<decimals>f" without the sign of a zero; kNotAvailable for NaN and
// infinities.
std::string FormatFixed(double value, int decimals);
// The same for a computed value; kNotAvailable when it is empty.
std::string FormatFixed(std::optional<float> value, int decimals);
// A magnetic field held in gauss, printed in milligauss: FormatFixed of
// gauss × 1000; kNotAvailable when it is empty.
std::string FormatMilligauss(std::optional<float> gauss, int decimals);
// No decimals, thousands grouped with ",": 12345.6 gives "12,346".
std::string FormatGrouped(double value);
// printf "%d".
std::string FormatInteger(long long value);
// FormatFixed as printed text.
QString FixedText(double value, int decimals);
QString FixedText(std::optional<float> value, int decimals);
QString MilligaussText(std::optional<float> gauss, int decimals);

// text preceded by blanks up to width characters (printf "%<width>s"), or cut
// and followed by blanks to exactly width characters (printf "%-<width>.<width>s").
std::string PadLeft(std::string_view text, std::size_t width);
std::string FitLeft(std::string_view text, std::size_t width);

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
