#include "model/Scenario.h"

#include "model/Project.h"
#include "model/Units.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <vector>

namespace corvalt {
namespace {

// The fields of the site parameters, in the order of TSiteParameter.
constexpr std::array<float TScenario::*, kSiteParameters.size()> kSiteFields{
    &TScenario::MicrophoneHeight,   &TScenario::RadioAntennaHeight, &TScenario::TvAntennaHeight,
    &TScenario::OzoneHeight,        &TScenario::Altitude,           &TScenario::RainRate,
    &TScenario::WindVelocity,       &TScenario::RadioFrequency,     &TScenario::TvFrequency,
    &TScenario::GroundConductivity,
};

constexpr int kLargestCircuitNumber = 255; // circuit numbers are bytes

} // namespace

TScenario::~TScenario() {
    // Circuits first, while Conductors still exists: each freed conductor takes
    // itself out of it.
    Circuits.Clear();
    InterestPoints.Clear();
}

int TScenario::ProjectUnits() const {
    return Project->Units;
}

bool TScenario::IsEnglish() const {
    return Project->Units == English;
}

void TScenario::ForgetConductor(const TConductor* conductor) {
    const auto it = std::find(Conductors.begin(), Conductors.end(), conductor);
    if (it != Conductors.end()) Conductors.erase(it);
}

float TScenario::SiteValue(TSiteParameter id) const {
    return this->*kSiteFields[static_cast<std::size_t>(id)];
}
void TScenario::SetSiteValue(TSiteParameter id, float value) {
    this->*kSiteFields[static_cast<std::size_t>(id)] = value;
}
float TScenario::EffectiveSiteValue(TSiteParameter id) const {
    return SiteValueOrDefault(SiteParameterInfo(id), SiteValue(id));
}
bool TScenario::HasSiteParameters() const {
    return std::any_of(kSiteFields.begin(), kSiteFields.end(),
                       [this](float TScenario::*field) { return this->*field != 0; });
}

float TScenario::SiteRadioFrequency() const {
    return EffectiveSiteValue(TSiteParameter::RadioFrequency);
}
float TScenario::SiteTvFrequency() const {
    return EffectiveSiteValue(TSiteParameter::TvFrequency);
}
float TScenario::SiteGroundConductivity() const {
    return EffectiveSiteValue(TSiteParameter::GroundConductivity);
}
float TScenario::SiteWindVelocity() const {
    return EffectiveSiteValue(TSiteParameter::WindVelocity);
}

int TScenario::EnergizedCount() const {
    return static_cast<int>(std::count_if(Conductors.begin(), Conductors.end(),
                                          [](const TConductor* c) { return !c->IsGround(); }));
}

int TScenario::NextCircuitNumber() const {
    const int count = Circuits.Count();
    int largest = 0;
    std::vector<bool> used(kLargestCircuitNumber + 1, false);
    for (const TCircuit& circuit : Circuits) {
        largest = std::max(largest, static_cast<int>(circuit.Number));
        used[circuit.Number] = true;
    }
    const auto lowestUnused = [&](int upTo) {
        for (int i = 1; i <= upTo; ++i)
            if (!used[static_cast<std::size_t>(i)]) return i;
        return 0;
    };
    int next = largest + 1;
    if (count != 0 && count < largest + 1) {
        const int gap = lowestUnused(count);
        if (gap != 0) next = gap;
    }
    if (next > kLargestCircuitNumber) {
        // One above 255 does not fit the byte: reuse the lowest free number, or
        // repeat 255 when every number is taken.
        const int free = lowestUnused(kLargestCircuitNumber);
        next = free != 0 ? free : kLargestCircuitNumber;
    }
    return next;
}

std::string TScenario::DisplayName() const {
    switch (SectionType) {
    case TransmissionLine:
        return TabTitle + " (T)";
    case Substation:
        return TabTitle + " (S)";
    default:
        return TabTitle;
    }
}

void TScenario::RemoveCircuit(TCircuit& circuit) {
    const int index = Circuits.IndexOf(&circuit);
    assert(index >= 0);
    if (index < 0) return;
    for (const TConductor& conductor : circuit.Conductors)
        ForgetConductor(&conductor);
    Circuits.Delete(index);
}

void TScenario::RemoveConductor(TConductor& conductor) {
    // By identity rather than by id: two conductors may carry the same id, and
    // the flat list must lose exactly the one that is freed.
    TCircuit& circuit = *conductor.Circuit;
    const int index = circuit.Conductors.IndexOf(&conductor);
    assert(conductor.Scenario == this && index >= 0);
    if (index < 0) return;
    ForgetConductor(&conductor);
    circuit.Conductors.Delete(index);
}

float TScenario::DisplayRowLeft() const {
    return DisplayLength(ProjectUnits(), RowLeft);
}
void TScenario::SetDisplayRowLeft(float value) {
    RowLeft = LengthFromDisplay(ProjectUnits(), value);
}
float TScenario::DisplayRowRight() const {
    return DisplayLength(ProjectUnits(), RowRight);
}
void TScenario::SetDisplayRowRight(float value) {
    RowRight = LengthFromDisplay(ProjectUnits(), value);
}
float TScenario::DisplayBFieldHeight() const {
    return DisplayLength(ProjectUnits(), BFieldHeight);
}
void TScenario::SetDisplayBFieldHeight(float value) {
    BFieldHeight = LengthFromDisplay(ProjectUnits(), value);
}
float TScenario::DisplayEFieldHeight() const {
    return DisplayLength(ProjectUnits(), EFieldHeight);
}
void TScenario::SetDisplayEFieldHeight(float value) {
    EFieldHeight = LengthFromDisplay(ProjectUnits(), value);
}
float TScenario::DisplayMicrophoneHeight() const {
    return DisplayLength(ProjectUnits(), MicrophoneHeight);
}
float TScenario::DisplayRadioAntennaHeight() const {
    return DisplayLength(ProjectUnits(), RadioAntennaHeight);
}
float TScenario::DisplayTvAntennaHeight() const {
    return DisplayLength(ProjectUnits(), TvAntennaHeight);
}
float TScenario::DisplayAltitude() const {
    return DisplayLength(ProjectUnits(), Altitude);
}
float TScenario::DisplayRainRate() const {
    return SiteDisplayValue(ProjectUnits(), TSiteUnit::RainRate, RainRate);
}
float TScenario::DisplayOzoneHeight() const {
    return OzoneHeight;
}
float TScenario::DisplayWindVelocity() const {
    // The Metric label is "km/H", so the velocity (held in m/s) is converted to
    // km/h rather than shown as the m/s number under a km/h label.
    return SiteDisplayValue(ProjectUnits(), TSiteUnit::Speed, SiteWindVelocity());
}

const TCalcResult* TScenario::ResultAt(int index) const {
    if (!CalcError.empty() || index < 0 || static_cast<std::size_t>(index) >= Results.size())
        return nullptr;
    return &Results[static_cast<std::size_t>(index)];
}

int TScenario::MaxEWithinRowResult() const {
    return LargestEMaxIndex(Results, -RowLeft, RowRight);
}

float TScenario::HalfRowWidth() const {
    return (DisplayRowLeft() + DisplayRowRight()) / 2;
}

float TScenario::MaxHeight() const {
    float highest = std::max(DisplayEFieldHeight(), DisplayBFieldHeight());
    for (const TCircuit& circuit : Circuits)
        highest = std::max(highest, circuit.MaxDisplayHeight());
    return highest;
}

float TScenario::MaxDepth() const {
    float deepest = 0;
    const auto consider = [&](float height) {
        if (height < 0) deepest = std::max(deepest, -height);
    };
    consider(DisplayEFieldHeight());
    consider(DisplayBFieldHeight());
    for (const TConductor* conductor : Conductors)
        consider(conductor->DisplayHeight());
    return deepest;
}

namespace {

// A conductor's x in display units: circuit reference plus offset.
float DisplayAbsoluteX(const TConductor& conductor) {
    return conductor.Circuit->DisplayDistFromRowLeft() + conductor.DisplayHorizDistance();
}

} // namespace

float TScenario::RightExtent() const {
    float rightmost = DisplayRowRight();
    for (const TConductor* conductor : Conductors)
        rightmost = std::max(rightmost, DisplayAbsoluteX(*conductor));
    for (const TInterestPoint& point : InterestPoints)
        rightmost = std::max(rightmost, point.DisplayDistFromRowLeft());
    return rightmost;
}

float TScenario::LeftExtent() const {
    float leftmost = DisplayRowLeft();
    for (const TConductor* conductor : Conductors) {
        const float x = DisplayAbsoluteX(*conductor);
        if (x < 0) leftmost = std::max(leftmost, -x);
    }
    for (const TInterestPoint& point : InterestPoints)
        leftmost = std::max(leftmost, -point.DisplayDistFromRowLeft());
    return leftmost;
}

} // namespace corvalt
