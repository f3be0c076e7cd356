#pragma once
// The maximum voltage of a voltage class: class voltage × over-rate factor,
// rounded to a whole kilovolt, half away from zero. The product is taken exactly
// on the decimal texts the user sees, not on binary floats: 230 × 1.05 is 241.5
// and gives 242, where single precision (241.49999) would give 241.

#include <optional>
#include <string_view>

namespace corvalt {

// nullopt when either text is not a plain decimal number ("230", "-1.05", ".5").
std::optional<long long> RoundedMaxVoltage(std::string_view voltage, std::string_view factor);

} // namespace corvalt
