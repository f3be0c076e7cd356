#pragma once
// The lateral profile of a cross section: one record for each ROW edge, one for
// each point of interest and one for each regular step across the right of way
// and a margin beyond it, in that order; and the records the reports single
// out (largest electric field, the ROW edge with the larger field).

#include "model/CalcResult.h"

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace corvalt {

// Most regular steps a profile may have (25 km at 0.25 m); a wider right of way
// is refused rather than filling memory.
inline constexpr int kMaxRegularSteps = 100000;

// A record at positionM (m): DistM as given, Dist in the display units of the
// measurement system (ft = m × 3.28 for English projects).
TCalcResult ProfileRecord(float positionM, bool marked, int units);

// Where the field steps evaluate a record: Dist converted back to metres.
float RecordPositionM(const TCalcResult& record, int units);

// Positions of the regular steps, m. In display units the steps run from
// −Ceil(RowLeft + margin) to Ceil(RowRight + margin), margin 2 m or 4 ft, step
// 0.25 m or 1 ft; the position accumulates in metres in single precision, and
// the last step is the first to reach the end. Empty when the right of way
// cannot be laid out: a value that is not finite, more than kMaxRegularSteps
// steps, or positions too large for a step to advance them. A larger
// beyondRowShown (display units) takes the margin's place: the results panel
// shows the fields further out; everything else keeps the margin.
std::optional<std::vector<float>> RegularStepPositionsM(float rowLeftM, float rowRightM, int units,
                                                        double beyondRowShown = 0);
// The same positions handed to visit one by one, in order, without an array
// of them; false, after some or none, where RegularStepPositionsM is empty.
bool ForEachRegularStepM(float rowLeftM, float rowRightM, int units, double beyondRowShown,
                         const std::function<void(float positionM)>& visit);

// About how many regular steps RegularStepPositionsM lays out (exact up to the
// rounding of the accumulated positions), without laying them out: for
// estimating the cost of a computation. Not finite for a right of way that is
// not.
double RegularStepCountEstimate(float rowLeftM, float rowRightM, int units,
                                double beyondRowShown = 0);

struct TProfileLayout {
    TCalcResults Records; // ROW left, ROW right, points, regular steps
    int RowLeftResult = 0;
    int RowRightResult = 1;
    std::vector<int> PointResults; // each point of interest's record, in point order
};

// The records of a profile without values; empty when RegularStepPositionsM is.
std::optional<TProfileLayout> LayOutProfile(float rowLeftM, float rowRightM,
                                            std::span<const float> pointPositionsM, int units,
                                            double beyondRowShown = 0);

// Index of the record with the largest EMax: scanning in list order from a
// maximum of 0, only a strictly larger value takes over, so ties keep the
// earliest record; 0 when no value is above 0.
int LargestEMaxIndex(std::span<const TCalcResult> records);

// The ROW edge with the larger value: the right edge unless the left edge's
// value is larger (the right edge on a tie). An edge without a value loses.
int LargerRowEdge(std::optional<float> left, std::optional<float> right, int leftIndex,
                  int rightIndex);

} // namespace corvalt
