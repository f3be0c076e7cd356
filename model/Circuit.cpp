#include "model/Circuit.h"

#include "model/Project.h"
#include "model/Scenario.h"
#include "model/Units.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <utility>

namespace corvalt {

TCircuit::TCircuit(TScenario& scenario) : Scenario(&scenario) {}

int TCircuit::ProjectUnits() const {
    return Scenario->Project->Units;
}

bool TCircuit::IsEnglish() const {
    return Scenario->IsEnglish();
}

int TCircuit::AddConductor(std::unique_ptr<TConductor> conductor) {
    assert(conductor != nullptr && conductor->Circuit == this);
    const bool ground = conductor->IsGround();
    const int index = Conductors.Add(std::move(conductor));
    if (ground) OhgwCount = static_cast<std::uint8_t>(CountOfType(Ground));
    return index;
}

int TCircuit::CountOfType(int condType) const {
    return static_cast<int>(
        std::count_if(Conductors.begin(), Conductors.end(),
                      [&](const TConductor& c) { return c.CondType == condType; }));
}

void TCircuit::ApplyToConductors() {
    for (TConductor& conductor : Conductors) {
        if (conductor.IsGround()) {
            conductor.SubCondCount = 1;
        } else {
            conductor.SubCondCount = SubCondCount;
            conductor.Diameter = CondDiameter;
            conductor.SubSpacing = BundleSpacing;
        }
    }
}

namespace {
float Negated(float value) {
    return value == 0 ? 0.0f : -value;
}
} // namespace

void TCircuit::MirrorAboutReferenceLine() {
    DistFromRowLeft = Negated(DistFromRowLeft);
    for (TConductor& conductor : Conductors)
        conductor.HorizDistance = Negated(conductor.HorizDistance);
}

float TCircuit::MaxDisplayHeight() const {
    if (Conductors.Empty()) return 0;
    float highest = Conductors[0].DisplayHeight();
    for (const TConductor& conductor : Conductors)
        highest = std::max(highest, conductor.DisplayHeight());
    return highest;
}

float TCircuit::DisplayDistFromRowLeft() const {
    return DisplayLength(ProjectUnits(), DistFromRowLeft);
}
void TCircuit::SetDisplayDistFromRowLeft(float value) {
    DistFromRowLeft = LengthFromDisplay(ProjectUnits(), value);
}
float TCircuit::DisplayCondDiameter() const {
    return DisplayDiameter(ProjectUnits(), CondDiameter);
}
void TCircuit::SetDisplayCondDiameter(float value) {
    CondDiameter = DiameterFromDisplay(ProjectUnits(), value);
}
float TCircuit::DisplayOhgwDiameter() const {
    return DisplayDiameter(ProjectUnits(), OhgwDiameter);
}
void TCircuit::SetDisplayOhgwDiameter(float value) {
    OhgwDiameter = DiameterFromDisplay(ProjectUnits(), value);
}
float TCircuit::DisplayBundleSpacing() const {
    return DisplaySpacing(ProjectUnits(), BundleSpacing);
}
void TCircuit::SetDisplayBundleSpacing(float value) {
    BundleSpacing = SpacingFromDisplay(ProjectUnits(), value);
}

} // namespace corvalt
