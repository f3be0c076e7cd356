#include "model/ProfileQuantity.h"

#include "model/FieldLimitTable.h"

namespace corvalt {

namespace {

std::optional<float> Shown(std::optional<float> stored, const TProfileQuantityInfo& unit) {
    if (!stored || !unit.StoredInGauss) return stored;
    return GaussToMilligauss(*stored);
}

} // namespace

std::optional<float> ShownValue(const TCalcResult& record, TProfileQuantity quantity) {
    const TProfileQuantityInfo& info = ProfileQuantityInfo(quantity);
    return Shown(record.*info.Stored, info);
}

std::optional<float> ShownValue(const TCalcResult& record, const TResultantInfo& resultant) {
    return Shown(record.*resultant.Stored, ProfileQuantityInfo(resultant.Field));
}

} // namespace corvalt
