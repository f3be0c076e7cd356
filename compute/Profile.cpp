#include "compute/Profile.h"

#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <functional>
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

bool ForEachRegularStepM(float rowLeftM, float rowRightM, int units, double beyondRowShown,
                         const std::function<void(float positionM)>& visit) {
    const TStepRange range = StepRange(rowLeftM, rowRightM, units, beyondRowShown);
    if (!std::isfinite(range.StartShown) || !std::isfinite(range.EndShown)) return false;
    if (range.Count() > kMaxRegularSteps) return false;

    const float start = LengthFromDisplay(units, static_cast<float>(range.StartShown));
    const float end = LengthFromDisplay(units, static_cast<float>(range.EndShown));
    const float step = LengthFromDisplay(units, range.StepShown);
    float c = start;
    for (int steps = 1;; ++steps) {
        visit(c);
        if (c >= end) return true;
        const float next = c + step;
        if (next <= c || steps >= kMaxRegularSteps) return false;
        c = next;
    }
}

std::optional<std::vector<float>> RegularStepPositionsM(float rowLeftM, float rowRightM,
                                                        int units, double beyondRowShown) {
    std::vector<float> positions;
    if (!ForEachRegularStepM(rowLeftM, rowRightM, units, beyondRowShown,
                             [&](float x) { positions.push_back(x); }))
        return std::nullopt;
    return positions;
}

std::optional<TProfileLayout> LayOutProfile(float rowLeftM, float rowRightM,
                                            std::span<const float> pointPositionsM, int units,
                                            double beyondRowShown) {
    TProfileLayout layout;
    auto add = [&](float positionM, bool marked) {
        layout.Records.push_back(ProfileRecord(positionM, marked, units));
        return static_cast<int>(layout.Records.size()) - 1;
    };
    // Room for every record at once: a growing array would touch fresh memory
    // (page faults, the dearest part of laying out a wide profile) for each
    // copy; the steps go straight into the records for the same reason. Room
    // for the ROW edges, the points and the steps, two more for the estimate's
    // rounding. (A range that ends before it starts counts below 0 and holds
    // one step; one that is not finite or too long is refused below.)
    const double steps = RegularStepCountEstimate(rowLeftM, rowRightM, units, beyondRowShown);
    const bool fits = steps > 0 && steps <= kMaxRegularSteps;
    layout.Records.reserve(2 + pointPositionsM.size() + (fits ? static_cast<std::size_t>(steps) : 0) +
                           2);
    layout.RowLeftResult = add(-rowLeftM, true);
    layout.RowRightResult = add(rowRightM, true);
    for (const float x : pointPositionsM)
        layout.PointResults.push_back(add(x, true));
    if (!ForEachRegularStepM(rowLeftM, rowRightM, units, beyondRowShown,
                             [&](float x) { add(x, false); }))
        return std::nullopt;
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
