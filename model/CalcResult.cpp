#include "model/CalcResult.h"

#include <cstddef>

namespace corvalt {

TLargestE LargestE(std::span<const TCalcResult> records, float fromM, float toM) {
    TLargestE largest;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TCalcResult& record = records[i];
        if (!(fromM <= record.DistM && record.DistM <= toM)) continue;
        if (!record.EMax) {
            largest.Gaps = true;
            continue;
        }
        if (largest.Index < 0 ||
            *record.EMax > *records[static_cast<std::size_t>(largest.Index)].EMax)
            largest.Index = static_cast<int>(i);
    }
    return largest;
}

int LargestEMaxIndex(std::span<const TCalcResult> records, float fromM, float toM) {
    const int index = LargestE(records, fromM, toM).Index;
    return index >= 0 && *records[static_cast<std::size_t>(index)].EMax > 0 ? index : 0;
}

} // namespace corvalt
