#include "ui/widgets/ColumnWidths.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace corvalt::ui {
namespace {

// Shares amount (≥ 0) out in proportion to the weights, exactly: each gets
// the whole part of its share, the pixels left one each from the first on.
std::vector<int> Shares(const std::vector<int>& weights, int amount) {
    std::vector<int> shares(weights.size(), 0);
    const long long total = std::accumulate(weights.begin(), weights.end(), 0LL);
    if (weights.empty()) return shares;
    int given = 0;
    if (total > 0) {
        for (std::size_t i = 0; i < weights.size(); ++i) {
            shares[i] = static_cast<int>(static_cast<long long>(amount) * weights[i] / total);
            given += shares[i];
        }
    }
    // What the rounding down left: to the columns that have a weight, in order.
    for (std::size_t i = 0; given < amount; i = (i + 1) % weights.size()) {
        if (total > 0 && weights[i] == 0) continue;
        ++shares[i];
        ++given;
    }
    return shares;
}

} // namespace

std::vector<int> FitColumnsToWidth(const std::vector<TColumnSpan>& columns, int available) {
    std::vector<int> minimum, preferred, excess;
    for (const TColumnSpan& column : columns) {
        const int least = std::max(column.Minimum, 0);
        minimum.push_back(least);
        preferred.push_back(std::max(column.Preferred, least));
        excess.push_back(preferred.back() - least);
    }
    const int totalMinimum = std::accumulate(minimum.begin(), minimum.end(), 0);
    const int totalPreferred = std::accumulate(preferred.begin(), preferred.end(), 0);
    if (available <= totalMinimum) return minimum;

    std::vector<int> widths = preferred;
    if (available >= totalPreferred) {
        const std::vector<int> extra = Shares(preferred, available - totalPreferred);
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] += extra[i];
    } else {
        const std::vector<int> cut = Shares(excess, totalPreferred - available);
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] -= cut[i];
    }
    return widths;
}

} // namespace corvalt::ui
