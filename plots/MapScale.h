#pragma once
// The colour scale of a field map (no Qt): viridis, perceptually uniform and
// readable in grey and by most colour-blind readers, over a linear or a
// logarithmic range of values with round legend ticks; the colour of a value
// is that of its band between two ticks, so the map is a filled contour map
// whose band edges are the legend's ticks.

#include <cstdint>
#include <vector>

namespace corvalt {

// 0xRRGGBB of viridis at t in [0, 1] (clamped), linear between the 256
// entries of its published table.
std::uint32_t ViridisRgb(double t);

struct TMapScale {
    bool Log = false;
    double Lo = 0, Hi = 1;     // the range the colours span (Lo > 0 when Log)
    std::vector<double> Ticks; // ascending, from Lo to Hi: the band edges

    // Where the value lies in the range, 0 at Lo, 1 at Hi, clamped; values
    // at or below 0 are at 0 on a logarithmic scale.
    double Position(double value) const;
    // The band (0 for the first, Ticks.size() − 2 for the last) the value
    // lies in; a value on a tick belongs to the band above it, values beyond
    // the range to the first or last band.
    int Band(double value) const;
    // 0xRRGGBB of the band: viridis at the middle of its positions.
    std::uint32_t BandRgb(int band) const;
};

// A linear scale from 0 to the first round value at or above top, in about
// eight steps of 1, 2 or 5 × 10^k; top ≤ 0 or not finite gives 0 to 1.
TMapScale LinearMapScale(double top);
// A logarithmic scale from the decade at or below bottom to the decade at or
// above top, ticks at 1, 2 and 5 of every decade; at most six decades (the
// bottom is raised to keep it), at least one.
TMapScale LogMapScale(double bottom, double top);

// Round steps for an axis from lo to hi (about `count` of them): every
// multiple of 1, 2 or 5 × 10^k within [lo, hi].
std::vector<double> AxisTicks(double lo, double hi, int count);
// Decimals to show values of a step of this size with (0 for a step ≥ 1).
int DecimalsForStep(double step);

} // namespace corvalt
