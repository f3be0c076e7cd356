#include "model/CalcResult.h"

#include <cstddef>

namespace corvalt {

int LargestEMaxIndex(std::span<const TCalcResult> records, float fromM, float toM) {
    int index = 0;
    float largest = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TCalcResult& record = records[i];
        if (!(fromM <= record.DistM && record.DistM <= toM)) continue;
        if (record.EMax && *record.EMax > largest) {
            largest = *record.EMax;
            index = static_cast<int>(i);
        }
    }
    return index;
}

} // namespace corvalt
