#pragma once
// The shortest text of a float that reads back as the same float, as
// std::to_chars(first, last, value) writes it: the output of corvalt-cli
// compute holds hundreds of thousands of them.

#include <cstddef>

namespace corvalt::cli {

// Room FloatText needs: a sign and at most nine digits with a point and an
// exponent, or a whole number of up to fourteen digits.
inline constexpr std::size_t kFloatTextCapacity = 24;

// Writes the text of a finite value at out (kFloatTextCapacity chars of room)
// and returns the end: the shortest decimal digits that read back as value,
// in fixed notation ("0.001", "230", "16777216") or in scientific notation
// ("1e-05", "3.4028235e+38"), whichever is shorter, fixed on a tie; an
// integer in fixed notation is written exactly. Zero is "0" or "-0".
char* FloatText(char* out, float value);

} // namespace corvalt::cli
