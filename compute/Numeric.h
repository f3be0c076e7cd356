#pragma once
// Small numeric helpers shared by the field and corona kernels.

#include <cmath>
#include <optional>

namespace corvalt {

inline double Sq(double v) {
    return v * v;
}

// The value rounded to single precision, as the results are kept; empty when
// that is not a finite number, so nothing infinite or NaN reaches a result.
inline std::optional<float> FiniteFloat(double value) {
    const auto f = static_cast<float>(value);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

} // namespace corvalt
