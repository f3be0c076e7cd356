#include "plots/ProfileSeries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace corvalt {
namespace {

// The lateral stretch the regular steps cover, in display units; empty when
// the records hold no regular step.
struct TRegularExtent {
    double From = 0;
    double To = 0;
};
std::optional<TRegularExtent> RegularExtent(std::span<const TCalcResult> records) {
    std::optional<TRegularExtent> extent;
    for (const TCalcResult& r : records) {
        if (r.IsMarked || !std::isfinite(r.Dist)) continue;
        const double x = r.Dist;
        if (!extent)
            extent = TRegularExtent{x, x};
        else
            extent = TRegularExtent{std::min(extent->From, x), std::max(extent->To, x)};
    }
    return extent;
}

// A point of interest beyond the regular steps is computed at its own place
// only: nothing is known between it and the profile, so no line joins it.
bool StandsApart(const TCalcResult& r, const std::optional<TRegularExtent>& extent) {
    return extent && r.IsMarked && (r.Dist < extent->From || r.Dist > extent->To);
}

} // namespace

std::optional<double> QuantityValue(const TCalcResult& record, TPlotQuantity quantity,
                                    TFieldMeasure measure) {
    const std::optional<float> value = ShownValue(record, quantity, measure);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return static_cast<double>(*value);
}

std::vector<std::size_t> LateralOrder(std::span<const TCalcResult> records) {
    std::vector<std::size_t> order(records.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&records](std::size_t a, std::size_t b) {
        return records[a].Dist < records[b].Dist;
    });
    return order;
}

std::vector<TPlotRun> QuantityRuns(std::span<const TCalcResult> records, TPlotQuantity quantity,
                                   TFieldMeasure measure) {
    std::vector<TPlotRun> runs;
    TPlotRun run;
    const auto endRun = [&runs, &run] {
        if (run.empty()) return;
        runs.push_back(std::move(run));
        run.clear();
    };
    const std::optional<TRegularExtent> extent = RegularExtent(records);
    for (const std::size_t index : LateralOrder(records)) {
        const TCalcResult& record = records[index];
        const std::optional<double> value = QuantityValue(record, quantity, measure);
        const bool apart = StandsApart(record, extent);
        if (apart) endRun();
        if (value && std::isfinite(record.Dist))
            run.push_back({static_cast<double>(record.Dist), *value});
        else
            endRun();
        if (apart) endRun();
    }
    if (!run.empty()) runs.push_back(std::move(run));
    return runs;
}

std::optional<double> QuantityAt(std::span<const TCalcResult> records, TPlotQuantity quantity,
                                 double x, TFieldMeasure measure) {
    if (!std::isfinite(x)) return std::nullopt;
    const std::vector<std::size_t> order = LateralOrder(records);
    // The first record at or right of x.
    const auto right =
        std::lower_bound(order.begin(), order.end(), x, [&](std::size_t i, double at) {
            return static_cast<double>(records[i].Dist) < at;
        });
    if (right == order.end()) return std::nullopt;
    const TCalcResult& after = records[*right];
    if (static_cast<double>(after.Dist) == x) {
        // Of several records at x, any with a value answers.
        for (auto it = right; it != order.end() && static_cast<double>(records[*it].Dist) == x;
             ++it)
            if (auto value = QuantityValue(records[*it], quantity, measure)) return value;
        return std::nullopt;
    }
    if (right == order.begin()) return std::nullopt;
    const TCalcResult& before = records[*std::prev(right)];
    const std::optional<TRegularExtent> extent = RegularExtent(records);
    if (StandsApart(before, extent) || StandsApart(after, extent)) return std::nullopt;
    const std::optional<double> y0 = QuantityValue(before, quantity, measure);
    const std::optional<double> y1 = QuantityValue(after, quantity, measure);
    if (!y0 || !y1) return std::nullopt;
    const double x0 = before.Dist;
    const double x1 = after.Dist;
    const double t = (x - x0) / (x1 - x0);
    return *y0 + t * (*y1 - *y0);
}

std::string PlotNumber(std::optional<double> value, int decimals) {
    if (!value || !std::isfinite(*value)) return "n/a";
    char text[64];
    if (decimals < 0)
        std::snprintf(text, sizeof text, "%.*g", std::clamp(-decimals, 1, 9), *value);
    else
        std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 9), *value);
    return text;
}

std::string ReadoutText(std::span<const TCalcResult> records, double x, const char* lengthUnit) {
    std::string text = "x " + PlotNumber(x, 1) + " " + lengthUnit;
    const auto item = [&](const std::string& name, const TProfileQuantityInfo& info,
                          TFieldMeasure measure) {
        text += "   " + name + " " +
                PlotNumber(QuantityAt(records, info.Quantity, x, measure), info.Decimals) + " " +
                info.Unit;
    };
    for (const TProfileQuantityInfo& info : kProfileQuantities) {
        item(info.Short, info, TFieldMeasure::Axis);
        if (ResultantOf(info.Quantity) != nullptr)
            item(std::string(info.Short) + " resultant", info, TFieldMeasure::Resultant);
    }
    return text;
}

} // namespace corvalt
