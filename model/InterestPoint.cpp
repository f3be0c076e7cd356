#include "model/InterestPoint.h"

#include "model/Project.h"
#include "model/Scenario.h"
#include "model/Units.h"

namespace corvalt {

float TInterestPoint::DisplayDistFromRowLeft() const {
    return DisplayLength(Scenario->Project->Units, DistFromRowLeft);
}

void TInterestPoint::SetDisplayDistFromRowLeft(float value) {
    DistFromRowLeft = LengthFromDisplay(Scenario->Project->Units, value);
}

} // namespace corvalt
