#include "model/Project.h"

#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/ProjectFile.h"
#include "model/Units.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

const TCalcResult* MaximumRecord(const TScenario& scenario, TMaxQuantity quantity) {
    switch (quantity) {
    case TMaxQuantity::EMaxWithinRow:
        return scenario.ResultAt(scenario.MaxEWithinRowResult());
    case TMaxQuantity::EMaxAtRowEdge:
        return scenario.ResultAt(scenario.RowMaxEResult);
    case TMaxQuantity::BMaxAtRowEdge:
        return scenario.ResultAt(scenario.RowMaxBResult);
    }
    return nullptr;
}

std::optional<float> MaximumValue(const TScenario& scenario, TMaxQuantity quantity) {
    const TCalcResult* record = MaximumRecord(scenario, quantity);
    if (record == nullptr) return std::nullopt;
    return quantity == TMaxQuantity::BMaxAtRowEdge ? record->BMax : record->EMax;
}

bool TEmfProject::IsProjectMaximum(TMaxQuantity quantity, float value) const {
    for (const TScenario& scenario : Scenarios) {
        if (scenario.SectionType != TransmissionLine) continue;
        const std::optional<float> other = MaximumValue(scenario, quantity);
        if (other && *other > value) return false;
    }
    return true;
}

TFileResult TEmfProject::Load(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const TReadOutcome outcome = ReadWholeFile(path, kMaxProjectFileBytes, bytes);
    switch (outcome.Status) {
    case TReadStatus::Ok:
        break;
    case TReadStatus::Missing:
        return TFileResult::Failure(messages::kFileDoesNotExist);
    case TReadStatus::PathTooLong:
        return TFileResult::Failure(messages::kPathTooLong, outcome.Detail);
    case TReadStatus::Unreadable:
        return TFileResult::Failure(messages::kFileUnreadable, outcome.Detail);
    case TReadStatus::TooLarge:
        return TFileResult::Failure(messages::kFileDamaged, outcome.Detail);
    }
    TFileResult result = ReadProjectBytes(bytes, *this);
    if (result.Ok) Save(kOriginalData);
    return result;
}

TFileResult TEmfProject::Save(const std::string& target) {
    std::vector<std::uint8_t> bytes = SerializeProject(*this);
    if (target == kOriginalData) {
        OriginalData = std::move(bytes);
    } else if (target == kCheckData) {
        CheckData = std::move(bytes);
    } else {
        // Every save reopens: a file that would not be read back is not
        // written over the previous one.
        TEmfProject reopened;
        const TFileResult reading = ReadProjectBytes(bytes, reopened);
        if (!reading.Ok) return TFileResult::Failure(messages::kSaveWouldNotReopen, reading.Detail);
        // The baseline of the modified check moves only once the file holds the
        // project, so a failed save still counts as unsaved work.
        const std::string failure = ReplaceFile(target, bytes);
        if (!failure.empty()) return TFileResult::Failure(messages::kSaveFailed, failure);
        OriginalData = std::move(bytes);
    }
    return TFileResult::Success();
}

bool TEmfProject::IsModified() {
    Save(kCheckData);
    const bool modified = CheckData != OriginalData;
    CheckData.clear();
    return modified;
}

const TPlan* TEmfProject::FindPlan(std::string_view name) const {
    const auto found = std::find_if(Plans.begin(), Plans.end(),
                                    [name](const TPlan& plan) { return plan.Name == name; });
    return found == Plans.end() ? nullptr : &*found;
}

void TEmfProject::StorePlan(TPlan plan) {
    for (TPlan& stored : Plans) {
        if (stored.Name == plan.Name) {
            stored = std::move(plan);
            return;
        }
    }
    Plans.push_back(std::move(plan));
}

bool TEmfProject::DeletePlan(std::string_view name) {
    return std::erase_if(Plans, [name](const TPlan& plan) { return plan.Name == name; }) > 0;
}

void TEmfProject::TakeContentsOf(TEmfProject& source) {
    static_cast<TProjectInfo&>(*this) = static_cast<const TProjectInfo&>(source);
    Scenarios = std::move(source.Scenarios);
    Plans = std::move(source.Plans);
    for (TScenario& scenario : Scenarios)
        scenario.Project = this;
}

} // namespace corvalt
