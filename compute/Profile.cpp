#include "compute/Profile.h"

#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvalt {

TCalcResult ProfileRecord(float positionM, bool marked, int units) {
    TCalcResult record;
    record.DistM = positionM;
    record.Dist = DisplayLength(units, positionM);
    record.IsMarked = marked ? 1 : 0;
    return record;
}

float RecordPositionM(const TCalcResult& record, int units) {
    return LengthFromDisplay(units, record.Dist);
}

namespace {

// The regular steps in display units: from StartShown to EndShown by StepShown.
struct TStepRange {
    double StartShown = 0;
    double EndShown = 0;
    float StepShown = 0;
    // How many steps the range holds, counted without rounding.
    double Count() const { return (EndShown - StartShown) / StepShown + 1; }
};

TStepRange StepRange(float rowLeftM, float rowRightM, int units, double beyondRowShown) {
    const bool english = units == English;
    const double margin = std::max(english ? 4.0 : 2.0, beyondRowShown); // ft / m
    TStepRange range;
    range.StepShown = english ? 1.0f : 0.25f; // ft / m
    range.StartShown = -std::ceil(DisplayLength(units, rowLeftM) + margin);
    range.EndShown = std::ceil(DisplayLength(units, rowRightM) + margin);
    return range;
}

} // namespace

double RegularStepCountEstimate(float rowLeftM, float rowRightM, int units,
                                double beyondRowShown) {
    return StepRange(rowLeftM, rowRightM, units, beyondRowShown).Count();
}

std::optional<std::vector<float>> RegularStepPositionsM(float rowLeftM, float rowRightM,
                                                        int units, double beyondRowShown) {
    const TStepRange range = StepRange(rowLeftM, rowRightM, units, beyondRowShown);
    if (!std::isfinite(range.StartShown) || !std::isfinite(range.EndShown)) return std::nullopt;
    if (range.Count() > kMaxRegularSteps) return std::nullopt;

    const float start = LengthFromDisplay(units, static_cast<float>(range.StartShown));
    const float end = LengthFromDisplay(units, static_cast<float>(range.EndShown));
    const float step = LengthFromDisplay(units, range.StepShown);
    std::vector<float> positions;
    // Room for every step at once: a growing array would touch fresh memory
    // (page faults, the dearest part of a wide profile) for each copy.
    // (A range that ends before it starts counts below 0 and holds one step.)
    positions.reserve(
        static_cast<std::size_t>(std::clamp(range.Count(), 0.0, double{kMaxRegularSteps})) + 2);
    float c = start;
    for (;;) {
        positions.push_back(c);
        if (c >= end) break;
        const float next = c + step;
        if (next <= c || positions.size() >= static_cast<std::size_t>(kMaxRegularSteps))
            return std::nullopt;
        c = next;
    }
    return positions;
}

std::optional<TProfileLayout> LayOutProfile(float rowLeftM, float rowRightM,
                                            std::span<const float> pointPositionsM, int units,
                                            double beyondRowShown) {
    std::optional<std::vector<float>> steps =
        RegularStepPositionsM(rowLeftM, rowRightM, units, beyondRowShown);
    if (!steps) return std::nullopt;
    TProfileLayout layout;
    auto add = [&](float positionM, bool marked) {
        layout.Records.push_back(ProfileRecord(positionM, marked, units));
        return static_cast<int>(layout.Records.size()) - 1;
    };
    layout.Records.reserve(2 + pointPositionsM.size() + steps->size());
    layout.RowLeftResult = add(-rowLeftM, true);
    layout.RowRightResult = add(rowRightM, true);
    for (const float x : pointPositionsM)
        layout.PointResults.push_back(add(x, true));
    for (const float x : *steps)
        add(x, false);
    return layout;
}

int LargestEMaxIndex(std::span<const TCalcResult> records) {
    constexpr float kEverywhere = std::numeric_limits<float>::infinity();
    return LargestEMaxIndex(records, -kEverywhere, kEverywhere);
}

int LargerRowEdge(std::optional<float> left, std::optional<float> right, int leftIndex,
                  int rightIndex) {
    if (!left) return rightIndex;
    if (!right) return leftIndex;
    return *left <= *right ? rightIndex : leftIndex;
}

} // namespace corvalt
