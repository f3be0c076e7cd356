#include "model/Project.h"

#include "model/Units.h"

#include <cstddef>
#include <optional>

namespace corvalt {

const char* TEmfProject::UnitsName() const {
    return corvalt::UnitsName(Units);
}
const char* TEmfProject::LengthUnit() const {
    return corvalt::LengthUnit(Units);
}
const char* TEmfProject::LongLengthUnit() const {
    return corvalt::LongLengthUnit(Units);
}
const char* TEmfProject::DiameterUnit() const {
    return corvalt::DiameterUnit(Units);
}
const char* TEmfProject::SpacingUnit() const {
    return corvalt::SpacingUnit(Units);
}
const char* TEmfProject::SpeedUnit() const {
    return corvalt::SpeedUnit(Units);
}

float TEmfProject::DisplayLineLength() const {
    return DisplayLongLength(Units, LineLength);
}
void TEmfProject::SetDisplayLineLength(float value) {
    LineLength = LongLengthFromDisplay(Units, value);
}

namespace {

// The value of the quantity in the result record the cross section refers to
// for it; empty when the cross section has no such computed value.
std::optional<float> MaximumOf(const TScenario& scenario, TMaxQuantity quantity) {
    if (!scenario.CalcError.empty()) return std::nullopt;
    int index = 0;
    switch (quantity) {
    case TMaxQuantity::EMaxWithinRow:
        index = scenario.MaxEResult;
        break;
    case TMaxQuantity::EMaxAtRowEdge:
        index = scenario.RowMaxEResult;
        break;
    case TMaxQuantity::BMaxAtRowEdge:
        index = scenario.RowMaxBResult;
        break;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= scenario.Results.size())
        return std::nullopt;
    const TCalcResult& result = scenario.Results[static_cast<std::size_t>(index)];
    return quantity == TMaxQuantity::BMaxAtRowEdge ? result.BMax : result.EMax;
}

} // namespace

bool TEmfProject::IsProjectMaximum(TMaxQuantity quantity, float value) const {
    for (const TScenario& scenario : Scenarios) {
        if (scenario.SectionType != TransmissionLine) continue;
        const std::optional<float> other = MaximumOf(scenario, quantity);
        if (other && *other > value) return false;
    }
    return true;
}

void TEmfProject::TakeContentsOf(TEmfProject& source) {
    static_cast<TProjectInfo&>(*this) = static_cast<const TProjectInfo&>(source);
    Scenarios = std::move(source.Scenarios);
    for (TScenario& scenario : Scenarios)
        scenario.Project = this;
}

} // namespace corvalt
