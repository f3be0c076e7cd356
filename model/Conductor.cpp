#include "model/Conductor.h"

#include "model/Circuit.h"
#include "model/Project.h"
#include "model/Scenario.h"
#include "model/Units.h"

#include <string>

namespace corvalt {

TConductor::TConductor(TScenario& scenario, TCircuit& circuit)
    : Scenario(&scenario), Circuit(&circuit) {
    scenario.Conductors.push_back(this);
}

TConductor::~TConductor() {
    Scenario->ForgetConductor(this);
}

int TConductor::ProjectUnits() const {
    return Scenario->Project->Units;
}

bool TConductor::IsEnglish() const {
    return Scenario->IsEnglish();
}

float TConductor::AbsoluteX() const {
    return Circuit->DistFromRowLeft + HorizDistance;
}

float TConductor::DisplayHorizDistance() const {
    return DisplayLength(ProjectUnits(), HorizDistance);
}
void TConductor::SetDisplayHorizDistance(float value) {
    HorizDistance = LengthFromDisplay(ProjectUnits(), value);
}
float TConductor::DisplayHeight() const {
    return DisplayLength(ProjectUnits(), Height);
}
void TConductor::SetDisplayHeight(float value) {
    Height = LengthFromDisplay(ProjectUnits(), value);
}
float TConductor::DisplayDiameter() const {
    return corvalt::DisplayDiameter(ProjectUnits(), Diameter);
}
void TConductor::SetDisplayDiameter(float value) {
    Diameter = DiameterFromDisplay(ProjectUnits(), value);
}
float TConductor::DisplaySubSpacing() const {
    return DisplaySpacing(ProjectUnits(), SubSpacing);
}
void TConductor::SetDisplaySubSpacing(float value) {
    SubSpacing = SpacingFromDisplay(ProjectUnits(), value);
}
float TConductor::DisplayMcr() const {
    return KiloamperesToAmperes(Mcr);
}
void TConductor::SetDisplayMcr(float amperes) {
    Mcr = AmperesToKiloamperes(amperes);
}
float TConductor::DisplayCoronaLoss() const {
    return IsEnglish() ? PerKilometreToPerMile(CoronaLoss) : CoronaLoss;
}

const char* ConductorLetter(int condType) {
    switch (condType) {
    case PhaseA:
        return "A";
    case PhaseB:
        return "B";
    case PhaseC:
        return "C";
    case Ground:
        return "G";
    default:
        return "";
    }
}

std::string GeneratedConductorId(int circuitNumber, int condType, int ordinal) {
    return std::to_string(circuitNumber) + ConductorLetter(condType) + std::to_string(ordinal);
}

} // namespace corvalt
