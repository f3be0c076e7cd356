#pragma once
// Numbers as the preferences file writes and reads them: "." as the decimal
// point whatever the locale, fixed decimals rounded half away from zero, and
// integers in decimal or "0x" hexadecimal.

#include <optional>
#include <string>
#include <string_view>

namespace corvalt {

// value with `decimals` digits after the point (0 to 8), rounded half away from
// zero on the exact stored value: 34.5 gives "35" with 0 decimals, 0.0625 gives
// "0.063" with 3. Never "-0"; a NaN or an infinity is written as "0" so that a
// file never holds a number it cannot read back.
std::string FormatFixed(float value, int decimals);

// The shortest plain decimal text that reads back as the same float (230 gives
// "230", 34.5 gives "34.5"); scientific notation only beyond 1e15.
std::string FormatShortest(float value);

// The whole text as an int: an optional sign and decimal digits, or "0x"/"0X"
// and hexadecimal digits. Anything else, or a value outside int, is nullopt.
std::optional<int> ParseInteger(std::string_view text);

// The whole text as a finite float ("." decimal point, optional exponent).
// Empty text, trailing characters, NaN, infinities and overflows are nullopt.
std::optional<float> ParseFloat(std::string_view text);

} // namespace corvalt
