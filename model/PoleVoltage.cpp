#include "model/PoleVoltage.h"

#include "model/Circuit.h"

#include <numbers>

namespace corvalt {

float StoredKvOfPole(float poleKv) {
    return static_cast<float>(static_cast<double>(poleKv) * std::numbers::sqrt3);
}

float PoleKvOfStored(float storedKv) {
    return static_cast<float>(static_cast<double>(storedKv) / std::numbers::sqrt3);
}

bool IsDcPole(const TConductor& conductor) {
    return conductor.AcFlag == 0 && !conductor.IsGround();
}

std::optional<float> PoleKv(const TConductor& conductor) {
    if (!IsDcPole(conductor)) return std::nullopt;
    return PoleKvOfStored(conductor.MaxVoltage);
}

float ShownVoltageKv(const TConductor& conductor) {
    return PoleKv(conductor).value_or(conductor.MaxVoltage);
}

bool IsDcCircuit(const TCircuit& circuit) {
    for (const TConductor& conductor : circuit.Conductors)
        if (!conductor.IsGround()) return IsDcPole(conductor);
    return false;
}

} // namespace corvalt
