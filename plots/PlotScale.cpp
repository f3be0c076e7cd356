#include "plots/PlotScale.h"

#include <algorithm>
#include <cmath>

namespace corvalt {
namespace {

// Steps within this share of a nice number count as that number (rounding).
constexpr double kRoundingShare = 1e-9;

// The scale of n intervals with the smallest nice step that covers low..high.
TAxisScale CoveringScale(double low, double high, int intervals) {
    TAxisScale scale;
    scale.Intervals = intervals;
    scale.Step = NiceStepAtLeast((high - low) / intervals);
    // Starting at a multiple of the step may leave the top uncovered: the next
    // step up then covers it (twice the span of the first at most).
    for (int tries = 0; tries < 4; ++tries) {
        scale.Low = std::floor(low / scale.Step + kRoundingShare) * scale.Step;
        if (scale.High() >= high - scale.Step * kRoundingShare) break;
        scale.Step = NiceStepAtLeast(scale.Step * (1 + 1e-6));
    }
    return scale;
}

std::pair<double, double> WithExtent(double low, double high) {
    if (high > low) return {low, high};
    return {low, low + std::max(1.0, std::abs(low) / 10)};
}

// The share of the scale's height that the values leave empty.
double EmptyShare(const TAxisScale& scale, double low, double high) {
    const double height = scale.Step * scale.Intervals;
    return (height - (high - low)) / height;
}

} // namespace

double NiceStepAtLeast(double least) {
    if (!(least > 0) || !std::isfinite(least)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= least * (1 - kRoundingShare)) return factor * power;
    return 10 * power;
}

TSharedScales SharedScales(double leftLow, double leftHigh,
                           std::optional<std::pair<double, double>> right) {
    const auto [lLow, lHigh] = WithExtent(leftLow, leftHigh);
    std::optional<std::pair<double, double>> r;
    if (right) r = WithExtent(right->first, right->second);
    TSharedScales best;
    double fewestEmpty = 0;
    for (int n = kFewestIntervals; n <= kMostIntervals; ++n) {
        TSharedScales scales;
        scales.Left = CoveringScale(lLow, lHigh, n);
        double empty = EmptyShare(scales.Left, lLow, lHigh);
        if (r) {
            scales.Right = CoveringScale(r->first, r->second, n);
            empty += EmptyShare(*scales.Right, r->first, r->second);
        }
        if (n == kFewestIntervals || empty < fewestEmpty - kRoundingShare) {
            best = scales;
            fewestEmpty = empty;
        }
    }
    return best;
}

TPlotRun ThinnedRun(const TPlotRun& run, double xLow, double xHigh, int columns) {
    const std::size_t most = 2 * static_cast<std::size_t>(std::max(columns, 0)) + 2;
    if (columns <= 0 || !(xHigh > xLow) || run.size() <= most) return run;
    const auto byX = [](const TPlotPoint& point, double x) { return point.X < x; };
    const auto first = std::lower_bound(run.begin(), run.end(), xLow, byX);
    const auto end = std::upper_bound(run.begin(), run.end(), xHigh,
                                      [](double x, const TPlotPoint& point) { return x < point.X; });
    TPlotRun thinned;
    thinned.reserve(most);
    if (first != run.begin()) thinned.push_back(*std::prev(first));
    const double perColumn = columns / (xHigh - xLow);
    const auto columnOf = [&](double x) {
        return std::clamp(static_cast<int>((x - xLow) * perColumn), 0, columns - 1);
    };
    auto lowest = first, highest = first;
    const auto flush = [&] {
        if (lowest == highest) {
            thinned.push_back(*lowest);
            return;
        }
        thinned.push_back(*std::min(lowest, highest)); // in lateral order
        thinned.push_back(*std::max(lowest, highest));
    };
    for (auto it = first; it != end; ++it) {
        if (columnOf(it->X) != columnOf(lowest->X)) {
            flush();
            lowest = highest = it;
            continue;
        }
        if (it->Y < lowest->Y) lowest = it;
        if (it->Y > highest->Y) highest = it;
    }
    if (first != end) flush();
    if (end != run.end()) thinned.push_back(*end);
    return thinned;
}

} // namespace corvalt
