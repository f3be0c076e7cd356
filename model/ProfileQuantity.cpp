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

const TResultantInfo* ResultantOf(TProfileQuantity quantity) {
    for (const TResultantInfo& resultant : kFieldResultants)
        if (resultant.Field == quantity) return &resultant;
    return nullptr;
}

std::optional<float> ShownValue(const TCalcResult& record, TProfileQuantity quantity,
                                TFieldMeasure measure) {
    const TResultantInfo* resultant = ResultantOf(quantity);
    if (measure == TFieldMeasure::Resultant && resultant != nullptr)
        return ShownValue(record, *resultant);
    return ShownValue(record, quantity);
}

} // namespace corvalt
