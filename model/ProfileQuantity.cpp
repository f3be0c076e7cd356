#include "model/ProfileQuantity.h"

#include "model/FieldLimitTable.h"

namespace corvalt {

std::optional<float> ShownValue(const TCalcResult& record, TProfileQuantity quantity) {
    const TProfileQuantityInfo& info = ProfileQuantityInfo(quantity);
    const std::optional<float> stored = record.*info.Stored;
    if (!stored || !info.StoredInGauss) return stored;
    return GaussToMilligauss(*stored);
}

} // namespace corvalt
