#pragma once
// How the reports, the BPA file and the profile CSV write numbers: one home for
// every conversion from a value to printed digits, without Qt, so that the
// command line's file exports need no windowing libraries.
//
// Numbers follow C printf's "%.<n>f" (the binary value of the number is
// rounded, so 0.125 prints as "0.12" and 2.675 as "2.67"), always with "." as
// decimal point whatever the locale, except that a value that rounds to zero
// never carries a minus sign ("0.00", not "-0.00").

#include <cstddef>
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
// A distance of a summary table, in feet with no decimals; in metres with one
// decimal where no decimals would lose it ("12.5", but "15" for 15.0 and for
// 14.96, which one decimal shows as 15.0).
std::string FormatDistance(double value, bool metric);
// No decimals, thousands grouped with ",": 12345.6 gives "12,346".
std::string FormatGrouped(double value);
// printf "%d".
std::string FormatInteger(long long value);

// text preceded by blanks up to width characters (printf "%<width>s"), or cut
// and followed by blanks to exactly width characters (printf "%-<width>.<width>s").
std::string PadLeft(std::string_view text, std::size_t width);
std::string FitLeft(std::string_view text, std::size_t width);

} // namespace corvalt
