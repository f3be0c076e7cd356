#pragma once
// The numbers of drawing a plot at a size, without drawing: the value ranges
// and tick steps of two y axes that share their grid lines, and a run of
// points thinned to what the pixel columns of the plot can show.

#include "plots/ProfileSeries.h"

#include <optional>

namespace corvalt {

// A value axis from Low to Low + Intervals × Step, a tick at every step.
struct TAxisScale {
    double Low = 0;
    double Step = 1;
    int Intervals = 1;
    double High() const { return Low + Step * Intervals; }
};

// The scales of the left axis and, when there is one, the right axis, with
// the same number of intervals, so that their ticks fall at the same heights
// and one set of grid lines serves both. Each step is 1, 2 or 5 times a power
// of ten; each scale reaches from at or below its low value to at or above
// its high one. Of the counts from kFewestIntervals to kMostIntervals, the one
// that leaves the least empty room on the two axes together wins (the fewer
// intervals on a tie). A range without extent (low = high) is taken as
// reaching 1 above its value, or a tenth of the value when that is more.
struct TSharedScales {
    TAxisScale Left;
    std::optional<TAxisScale> Right;
};
inline constexpr int kFewestIntervals = 4;
inline constexpr int kMostIntervals = 8;
TSharedScales SharedScales(double leftLow, double leftHigh,
                           std::optional<std::pair<double, double>> right);

// The smallest step of 1, 2 or 5 times a power of ten that is at least
// `least`; 1 for a value that is not positive and finite.
double NiceStepAtLeast(double least);

// The run's points a plot `columns` pixels wide can show of the stretch
// xLow..xHigh: in each pixel column the lowest and the highest point (in
// lateral order; one point when they are the same), so that every peak and
// dip stays on screen, and the nearest point beyond each end, so that the
// line runs on to the plot's edges. A run with no more points than that is
// returned whole.
TPlotRun ThinnedRun(const TPlotRun& run, double xLow, double xHigh, int columns);

} // namespace corvalt
