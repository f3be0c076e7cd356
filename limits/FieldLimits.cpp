#include "limits/FieldLimits.h"

#include "model/Project.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace corvalt {
namespace {

// The class boundaries, kV: the lower class takes voltages up to and including it.
constexpr float kLowerClassKv = 230;

bool IsPhaseConductor(const TConductor& conductor) {
    return !conductor.IsGround();
}

bool HasPhaseConductors(const TCircuit& circuit) {
    return std::any_of(circuit.Conductors.begin(), circuit.Conductors.end(),
                       [](const TConductor& conductor) { return IsPhaseConductor(conductor); });
}

// Complete sets of A, B and C conductors with alternating current.
int ThreePhaseSets(const TCircuit& circuit) {
    int counts[3] = {0, 0, 0};
    for (const TConductor& conductor : circuit.Conductors)
        if (conductor.AcFlag != 0 && conductor.CondType <= PhaseC) ++counts[conductor.CondType];
    return std::min({counts[0], counts[1], counts[2]});
}

const TCalcResult* RecordAt(std::span<const TCalcResult> records, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= records.size()) return nullptr;
    return &records[static_cast<std::size_t>(index)];
}

std::optional<float> ValueOf(const TCalcResult* record, TLimitQuantity quantity) {
    if (record == nullptr) return std::nullopt;
    return ShownValue(*record, ProfileQuantityOf(quantity));
}

TLimitCheck CheckAt(std::span<const TCalcResult> records, int index, TLimitQuantity quantity,
                    TLimitPlace place, std::optional<float> limit) {
    TLimitCheck check;
    check.Quantity = quantity;
    check.Place = place;
    const TCalcResult* record = RecordAt(records, index);
    check.ResultIndex = record != nullptr ? index : -1;
    if (record != nullptr) check.Record = *record;
    check.Value = ValueOf(record, quantity);
    check.Limit = limit;
    return check;
}

// A tie keeps the earliest record, as the reports do.
TLimitCheck LargestEWithinRow(std::span<const TCalcResult> records, const TProfilePlaces& places,
                              std::optional<float> limit) {
    const TLargestE largest = LargestE(records, -places.RowLeftM, places.RowRightM);
    TLimitCheck check = CheckAt(records, largest.Index, TLimitQuantity::ElectricField,
                                TLimitPlace::WithinRow, limit);
    check.Gaps = largest.Gaps;
    return check;
}

TPointSide SideOf(float xM, const TProfilePlaces& places) {
    if (xM < -places.RowLeftM || xM > places.RowRightM) return TPointSide::OutsideRow;
    if (xM == -places.RowLeftM || xM == places.RowRightM) return TPointSide::OnRowEdge;
    return TPointSide::InsideRow;
}

void AddPointChecks(std::span<const TCalcResult> records, const TProfilePlaces& places,
                    const TClassLimits& limits, std::vector<TLimitCheck>& checks) {
    for (std::size_t i = 0; i < places.PointResults.size(); ++i) {
        const int index = places.PointResults[i];
        const TCalcResult* record = RecordAt(records, index);
        const TPointSide side =
            record != nullptr ? SideOf(record->DistM, places) : TPointSide::InsideRow;
        const bool inside = side == TPointSide::InsideRow;
        const std::optional<float> noLimit;
        for (const TLimitQuantity quantity :
             {TLimitQuantity::ElectricField, TLimitQuantity::MagneticField}) {
            const bool electric = quantity == TLimitQuantity::ElectricField;
            const std::optional<float>& limit = electric
                                                    ? (inside ? limits.EWithinRow : limits.EAtEdge)
                                                    : (inside ? noLimit : limits.BAtEdge);
            TLimitCheck check =
                CheckAt(records, index, quantity, TLimitPlace::InterestPoint, limit);
            check.PointIndex = static_cast<int>(i);
            check.Side = side;
            checks.push_back(check);
        }
    }
}

// value in fixed notation with `decimals` digits, "." as decimal point.
std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    // Never "-0.0": a value that rounds to zero shows without its sign.
    const bool zero = text.find_first_not_of("-0.") == std::string::npos;
    if (zero && text.front() == '-') text.erase(0, 1);
    return text;
}

} // namespace

std::string LimitValueText(float value, std::optional<float> limit, int decimals) {
    std::string text = Fixed(value, decimals);
    while (limit && value > *limit && decimals < 7) {
        double shown = 0;
        std::from_chars(text.data(), text.data() + text.size(), shown);
        if (shown > static_cast<double>(*limit)) break;
        text = Fixed(value, ++decimals);
    }
    return text;
}

std::string LimitNumberText(float limit) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, limit);
    return std::string(buffer, result.ptr);
}

namespace {

const TProfileQuantityInfo& InfoOf(TLimitQuantity quantity) {
    return ProfileQuantityInfo(ProfileQuantityOf(quantity));
}

std::string EdgeText(const TScenario& scenario) {
    return scenario.SectionType == Substation ? "property boundary" : "ROW edge";
}

std::string DistanceText(const TScenario& scenario, const std::optional<TCalcResult>& record) {
    if (!record) return {};
    const int units = scenario.IsEnglish() ? English : Metric;
    return Fixed(record->Dist, 1) + " " + LengthUnit(units);
}

std::string SideText(const TScenario& scenario, TPointSide side) {
    switch (side) {
    case TPointSide::InsideRow:
        return scenario.SectionType == Substation ? "inside the property" : "inside the ROW";
    case TPointSide::OnRowEdge:
        return "on the " + EdgeText(scenario);
    case TPointSide::OutsideRow:
        break;
    }
    return scenario.SectionType == Substation ? "outside the property" : "outside the ROW";
}

} // namespace

std::string LimitWhereText(const TScenario& scenario, const TLimitCheck& check) {
    std::string where = DistanceText(scenario, check.Record);
    if (check.Place == TLimitPlace::WithinRow && !where.empty()) where = "at " + where;
    if (check.Place == TLimitPlace::InterestPoint)
        where += (where.empty() ? "" : ", ") + SideText(scenario, check.Side);
    return where.empty() ? std::string() : " (" + where + ")";
}

int LimitDecimals(TLimitQuantity quantity) {
    return InfoOf(quantity).Decimals;
}

TProfileQuantity ProfileQuantityOf(TLimitQuantity quantity) {
    return quantity == TLimitQuantity::ElectricField ? TProfileQuantity::EField
                                                     : TProfileQuantity::BField;
}

const char* LimitStatusName(TLimitStatus status) {
    switch (status) {
    case TLimitStatus::Within:
        return "within";
    case TLimitStatus::Over:
        return "over";
    case TLimitStatus::NoLimit:
        return "no-limit";
    case TLimitStatus::NotComputed:
        break;
    }
    return "not-computed";
}

TLimitStatus TLimitCheck::Status() const {
    if (!Limit) return TLimitStatus::NoLimit;
    if (!Value || Gaps) return TLimitStatus::NotComputed;
    return *Value > *Limit ? TLimitStatus::Over : TLimitStatus::Within;
}

bool TLimitCheck::Fails() const {
    const TLimitStatus status = Status();
    return status == TLimitStatus::Over || status == TLimitStatus::NotComputed;
}

float HighestCircuitVoltage(const TScenario& scenario) {
    float highest = 0;
    for (const TCircuit& circuit : scenario.Circuits)
        if (HasPhaseConductors(circuit) && circuit.VoltageClass > highest)
            highest = circuit.VoltageClass;
    return highest;
}

int ThreePhaseSetsAbove(const TScenario& scenario, float fromKv) {
    int sets = 0;
    for (const TCircuit& circuit : scenario.Circuits)
        if (circuit.VoltageClass > fromKv) sets += ThreePhaseSets(circuit);
    return sets;
}

TLimitClass LineClassOf(float highestVoltageKv, int threePhaseSets500) {
    // NaN compares false here and takes the lower class, whose limits are the strictest.
    if (!(highestVoltageKv > kLowerClassKv)) return TLimitClass::Line230;
    return threePhaseSets500 >= 2 ? TLimitClass::Line500Double : TLimitClass::Line500;
}

TLimitClass LimitClassOf(const TScenario& scenario) {
    if (scenario.SectionType == Substation) return TLimitClass::Substation;
    return LineClassOf(HighestCircuitVoltage(scenario),
                       ThreePhaseSetsAbove(scenario, kLowerClassKv));
}

std::vector<TLimitCheck> EvaluateProfile(std::span<const TCalcResult> records,
                                         const TProfilePlaces& places, const TClassLimits& limits) {
    using enum TLimitQuantity;
    using enum TLimitPlace;
    std::vector<TLimitCheck> checks;
    checks.reserve(5 + 2 * places.PointResults.size());
    checks.push_back(LargestEWithinRow(records, places, limits.EWithinRow));
    checks.push_back(
        CheckAt(records, places.RowLeftResult, ElectricField, RowLeftEdge, limits.EAtEdge));
    checks.push_back(
        CheckAt(records, places.RowRightResult, ElectricField, RowRightEdge, limits.EAtEdge));
    checks.push_back(
        CheckAt(records, places.RowLeftResult, MagneticField, RowLeftEdge, limits.BAtEdge));
    checks.push_back(
        CheckAt(records, places.RowRightResult, MagneticField, RowRightEdge, limits.BAtEdge));
    AddPointChecks(records, places, limits, checks);
    return checks;
}

std::optional<float> Larger(std::optional<float> a, std::optional<float> b) {
    if (!a) return b;
    if (!b) return a;
    return std::max(*a, *b);
}

TRowValues RowValuesOf(std::span<const TLimitCheck> checks) {
    TRowValues values;
    for (const TLimitCheck& check : checks) {
        const bool electric = check.Quantity == TLimitQuantity::ElectricField;
        switch (check.Place) {
        case TLimitPlace::WithinRow:
            if (electric) values.LargestEWithinRowKvPerM = check.Value;
            break;
        case TLimitPlace::RowLeftEdge:
        case TLimitPlace::RowRightEdge: {
            std::optional<float>& edge = electric ? values.EdgeEKvPerM : values.EdgeBMg;
            edge = Larger(edge, check.Value);
            break;
        }
        case TLimitPlace::InterestPoint:
            break;
        }
    }
    return values;
}

bool AllChecksHold(std::span<const TLimitCheck> checks) {
    return std::none_of(checks.begin(), checks.end(),
                        [](const TLimitCheck& check) { return check.Fails(); });
}

bool TLimitEvaluation::AllHold() const {
    return Computed && AllChecksHold(Checks);
}

std::vector<const TLimitCheck*> TLimitEvaluation::Failures() const {
    std::vector<const TLimitCheck*> failures;
    for (const TLimitCheck& check : Checks)
        if (check.Fails()) failures.push_back(&check);
    return failures;
}

TProfilePlaces ProfilePlacesOf(const TScenario& scenario) {
    TProfilePlaces places;
    places.RowLeftM = scenario.RowLeft;
    places.RowRightM = scenario.RowRight;
    places.RowLeftResult = scenario.RowLeftResult;
    places.RowRightResult = scenario.RowRightResult;
    for (const TInterestPoint& point : scenario.InterestPoints)
        places.PointResults.push_back(point.ResultIndex);
    return places;
}

TLimitEvaluation EvaluateLimits(const TScenario& scenario, const TFieldLimits& limits) {
    TLimitEvaluation evaluation;
    evaluation.Class = LimitClassOf(scenario);
    evaluation.Computed = scenario.CalcError.empty() && !scenario.Results.empty();
    if (evaluation.Computed)
        evaluation.Checks = EvaluateProfile(scenario.Results, ProfilePlacesOf(scenario),
                                            limits.For(evaluation.Class));
    return evaluation;
}

std::string LimitPlaceText(const TScenario& scenario, const TLimitCheck& check) {
    switch (check.Place) {
    case TLimitPlace::WithinRow:
        return scenario.SectionType == Substation ? "within the property" : "within the ROW";
    case TLimitPlace::RowLeftEdge:
        return "at the left " + EdgeText(scenario);
    case TLimitPlace::RowRightEdge:
        return "at the right " + EdgeText(scenario);
    case TLimitPlace::InterestPoint:
        break;
    }
    const bool known = check.PointIndex >= 0 && check.PointIndex < scenario.InterestPoints.Count();
    return "at point of interest '" +
           (known ? scenario.InterestPoints[check.PointIndex].Name : std::string("?")) + "'";
}

std::string LimitFindingText(const TScenario& scenario, TLimitClass limitClass,
                             const TLimitCheck& check) {
    const std::string unit = InfoOf(check.Quantity).Unit;
    const bool largest = check.Place == TLimitPlace::WithinRow;
    std::string text = "Cross section '" + scenario.TabTitle + "': the " +
                       (largest ? "largest " : "") + InfoOf(check.Quantity).Noun + " " +
                       LimitPlaceText(scenario, check) + LimitWhereText(scenario, check);
    const int decimals = LimitDecimals(check.Quantity);
    const std::string limit =
        check.Limit ? LimitNumberText(*check.Limit) + " " + unit : std::string("none");
    const std::string forClass = std::string(" for ") + LimitClassText(limitClass) + ".";
    if (check.Status() == TLimitStatus::NotComputed) {
        text += check.Value
                    ? " cannot be computed everywhere (largest computed " +
                          LimitValueText(*check.Value, std::nullopt, decimals) + " " + unit + ")"
                    : " cannot be computed";
        return text + ", so the limit of " + limit + " cannot be shown to hold" + forClass;
    }
    const std::string value =
        check.Value ? LimitValueText(*check.Value, check.Limit, decimals) + " " + unit : "no value";
    if (!check.Limit) return text + " is " + value + "; no limit applies there.";
    const char* verdict =
        check.Status() == TLimitStatus::Over ? ", over the limit of " : ", within the limit of ";
    return text + " is " + value + verdict + limit + forClass;
}

} // namespace corvalt
