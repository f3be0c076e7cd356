#pragma once
// TInterestPoint: a named lateral position of a cross section where the reports
// print the computed fields.

#include <cstdint>
#include <string>

namespace corvalt {

class TScenario;

class TInterestPoint {
  public:
    // The caller appends it to the cross section's InterestPoints.
    explicit TInterestPoint(TScenario& scenario) : Scenario(&scenario) {}
    TInterestPoint(const TInterestPoint&) = delete;
    TInterestPoint& operator=(const TInterestPoint&) = delete;

    TScenario* Scenario;
    std::string Name;
    std::int32_t ResultIndex = 0; // its record in the cross section's Results, set by each run
    float DistFromRowLeft = 0;    // x in the cross-section coordinates, m

    float DisplayDistFromRowLeft() const; // ft / m
    void SetDisplayDistFromRowLeft(float value);
};

} // namespace corvalt
