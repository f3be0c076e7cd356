#include "model/NewCircuit.h"

#include "model/Limits.h"
#include "model/PoleVoltage.h"
#include "model/Scenario.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvalt {
namespace {

constexpr std::size_t kMaxCircuitName = 10;

bool IsDc(const TNewCircuitValues& values) {
    return values.Current != TCurrentKind::Ac;
}

// The circuit's stored maximum voltage: a DC circuit keeps its pole's (a
// bipole's positive one).
float CircuitMaxVoltage(const TNewCircuitValues& values) {
    switch (values.Current) {
    case TCurrentKind::DcBipole:
        return StoredKvOfPole(std::fabs(values.PoleKv));
    case TCurrentKind::DcMonopole:
        return StoredKvOfPole(values.PoleKv);
    case TCurrentKind::Ac:
        break;
    }
    return values.MaxVoltage;
}

void StoreCircuitValues(TCircuit& circuit, const TNewCircuitValues& values) {
    circuit.NewCircuit = values.NewCircuit;
    circuit.Name = values.Name;
    // A DC line has no AC voltage class: its class is the pole voltage.
    circuit.VoltageClass = IsDc(values) ? std::fabs(values.PoleKv) : values.VoltageClass;
    circuit.OverRateFactor = IsDc(values) ? 1.0f : values.OverRateFactor;
    circuit.MaxVoltage = CircuitMaxVoltage(values);
    circuit.Mcr = values.Mcr;
    circuit.SetDisplayDistFromRowLeft(values.DistFromRowLeft);
    circuit.CondName = values.CondName;
    circuit.SetDisplayCondDiameter(values.CondDiameter);
    circuit.SubCondCount = values.SubCondCount;
    circuit.SetDisplayBundleSpacing(values.BundleSpacing);
    circuit.OhgwName = values.OhgwName;
    circuit.SetDisplayOhgwDiameter(values.OhgwDiameter);
}

// A DC conductor's stored voltage after its circuit's changed: a return stays
// at 0, a bipole's pole keeps its polarity, a monopole's pole takes the circuit's.
float DcConductorVoltage(const TCircuit& circuit, const TConductor& conductor, bool bipole) {
    if (conductor.MaxVoltage == 0) return 0;
    if (!bipole) return circuit.MaxVoltage;
    const float magnitude = std::fabs(circuit.MaxVoltage);
    return conductor.MaxVoltage < 0 ? -magnitude : magnitude;
}

// The circuit's values that its phase conductors carry as well.
void CopyPhaseValues(const TCircuit& circuit, TConductor& conductor) {
    conductor.SubCondCount = circuit.SubCondCount;
    conductor.VoltageClass = circuit.VoltageClass;
    conductor.OverRateFactor = circuit.OverRateFactor;
    conductor.MaxVoltage = circuit.MaxVoltage;
    conductor.TypeName = circuit.CondName;
    conductor.Diameter = circuit.CondDiameter;
    conductor.SubSpacing = circuit.BundleSpacing;
    conductor.SetDisplayMcr(circuit.Mcr);
}

void CopyGroundValues(const TCircuit& circuit, TConductor& conductor) {
    conductor.TypeName = circuit.OhgwName;
    conductor.Diameter = circuit.OhgwDiameter;
}

// Builds one circuit: its conductors take the places in creation order.
class TCircuitBuilder {
  public:
    TCircuitBuilder(TScenario& scenario, const TNewCircuitValues& values,
                    const TCircuitPlaces& places)
        : values_(values), places_(places), circuit_(std::make_unique<TCircuit>(scenario)) {}

    std::unique_ptr<TCircuit> Build(int number, const std::string& name, bool withGround) {
        circuit_->Number = static_cast<std::uint8_t>(number);
        StoreCircuitValues(*circuit_, values_);
        circuit_->Name = name;
        circuit_->OhgwCount =
            withGround ? static_cast<std::uint8_t>(std::clamp(values_.Ground.Count, 0, 255)) : 0;
        if (IsDc(values_)) {
            AddPoles();
        } else {
            AddPhase(PhaseA, values_.Phases[0]);
            AddPhase(PhaseB, values_.Phases[1]);
            AddPhase(PhaseC, values_.Phases[2]);
        }
        if (withGround) AddGround();
        return std::move(circuit_);
    }

  private:
    // A conductor of the circuit with the next id of its type, not yet added.
    std::unique_ptr<TConductor> NewConductor(int condType, const TPlace& place) {
        auto conductor = std::make_unique<TConductor>(*circuit_->Scenario, *circuit_);
        conductor->CondType = static_cast<std::uint8_t>(condType);
        conductor->Id = ProposedConductorId(*circuit_, condType);
        conductor->AcFlag = IsDc(values_) ? 0 : 1;
        conductor->SetDisplayHorizDistance(place.Horiz);
        conductor->SetDisplayHeight(place.Height);
        return conductor;
    }

    TPlace NextPhasePlace() {
        const std::size_t k = phasesMade_++;
        return k < places_.Phases.size() ? places_.Phases[k] : TPlace{};
    }

    void AddPhase(int condType, const TPhaseRow& row) {
        if (!row.Enabled) return;
        for (int i = 0; i < row.Count; ++i) {
            std::unique_ptr<TConductor> conductor = NewConductor(condType, NextPhasePlace());
            conductor->PhaseAngle = static_cast<float>(row.Angle);
            CopyPhaseValues(*circuit_, *conductor);
            circuit_->AddConductor(std::move(conductor));
        }
    }

    void AddPole(int condType, float storedKv) {
        std::unique_ptr<TConductor> conductor = NewConductor(condType, NextPhasePlace());
        CopyPhaseValues(*circuit_, *conductor);
        conductor->MaxVoltage = storedKv;
        conductor->PhaseAngle = 0;
        circuit_->AddConductor(std::move(conductor));
    }

    void AddPoles() {
        AddPole(PhaseA, circuit_->MaxVoltage);
        if (values_.Current == TCurrentKind::DcBipole)
            AddPole(PhaseB, -circuit_->MaxVoltage);
        else if (values_.MetallicReturn)
            AddPole(PhaseB, 0);
    }

    void AddGround() {
        if (!values_.Ground.Enabled) return;
        for (int i = 0; i < values_.Ground.Count; ++i) {
            const std::size_t k = static_cast<std::size_t>(i);
            const TPlace place = k < places_.Ground.size() ? places_.Ground[k] : TPlace{};
            std::unique_ptr<TConductor> conductor = NewConductor(Ground, place);
            conductor->SubCondCount = 1;
            CopyGroundValues(*circuit_, *conductor);
            circuit_->AddConductor(std::move(conductor));
        }
    }

    const TNewCircuitValues& values_;
    const TCircuitPlaces& places_;
    std::unique_ptr<TCircuit> circuit_;
    std::size_t phasesMade_ = 0;
};

int PhaseConductorCount(const TNewCircuitValues& values) {
    switch (values.Current) {
    case TCurrentKind::DcBipole:
        return 2;
    case TCurrentKind::DcMonopole:
        return values.MetallicReturn ? 2 : 1;
    case TCurrentKind::Ac:
        break;
    }
    int count = 0;
    for (const TPhaseRow& row : values.Phases)
        if (row.Enabled) count += std::max(row.Count, 0);
    return count;
}

int GroundConductorCount(const TNewCircuitValues& values) {
    return values.Ground.Enabled ? std::max(values.Ground.Count, 0) : 0;
}

std::vector<TCircuitPlaces> PlacesOf(const TNewCircuitValues& values) {
    return TemplatePlaces(values.Template, values.Shape, PhaseConductorCount(values),
                          GroundConductorCount(values));
}

// The second circuit of a structure: the name with " 2", cut to fit.
std::string CompanionName(const std::string& name) {
    const std::string suffix = " 2";
    return name.substr(0, std::min(name.size(), kMaxCircuitName - suffix.size())) + suffix;
}

} // namespace

int NewConductorCount(const TNewCircuitValues& values) {
    return PhaseConductorCount(values) * TemplateCircuitCount(values.Template) +
           GroundConductorCount(values);
}

std::unique_ptr<TCircuit> CreateNewCircuit(TScenario& scenario, const TNewCircuitValues& values) {
    const std::vector<TCircuitPlaces> places = PlacesOf(values);
    return TCircuitBuilder(scenario, values, places.front())
        .Build(scenario.NextCircuitNumber(), values.Name, true);
}

std::vector<std::unique_ptr<TCircuit>> CreateNewCircuits(TScenario& scenario,
                                                         const TNewCircuitValues& values) {
    const std::vector<TCircuitPlaces> places = PlacesOf(values);
    // The circuits made so far sit in the list meanwhile, so that the next
    // number counts them.
    const int first = scenario.Circuits.Count();
    for (std::size_t i = 0; i < places.size(); ++i) {
        const int number = scenario.NextCircuitNumber();
        const std::string name = i == 0 ? values.Name : CompanionName(values.Name);
        scenario.Circuits.Add(
            TCircuitBuilder(scenario, values, places[i]).Build(number, name, i == 0));
    }
    std::vector<std::unique_ptr<TCircuit>> circuits;
    while (scenario.Circuits.Count() > first)
        circuits.push_back(scenario.Circuits.Extract(first));
    return circuits;
}

std::optional<std::string> RoomForNewCircuits(const TScenario& scenario,
                                              const TNewCircuitValues& values) {
    return RoomForCircuit(scenario, NewConductorCount(values), TemplateCircuitCount(values.Template));
}

void ApplyCircuitValues(TCircuit& circuit, const TNewCircuitValues& values) {
    StoreCircuitValues(circuit, values);
    for (TConductor& conductor : circuit.Conductors) {
        if (conductor.IsGround()) {
            CopyGroundValues(circuit, conductor);
            continue;
        }
        const float dcVoltage =
            DcConductorVoltage(circuit, conductor, values.Current == TCurrentKind::DcBipole);
        CopyPhaseValues(circuit, conductor);
        if (IsDcPole(conductor)) conductor.MaxVoltage = dcVoltage;
    }
}

TCurrentKind CurrentKindOf(const TCircuit& circuit) {
    if (!IsDcCircuit(circuit)) return TCurrentKind::Ac;
    bool positive = false, negative = false;
    for (const TConductor& conductor : circuit.Conductors) {
        if (!IsDcPole(conductor)) continue;
        positive = positive || conductor.MaxVoltage > 0;
        negative = negative || conductor.MaxVoltage < 0;
    }
    return positive && negative ? TCurrentKind::DcBipole : TCurrentKind::DcMonopole;
}

bool HasMetallicReturn(const TCircuit& circuit) {
    for (const TConductor& conductor : circuit.Conductors)
        if (IsDcPole(conductor) && conductor.MaxVoltage == 0) return true;
    return false;
}

std::string ProposedConductorId(const TCircuit& circuit, int condType) {
    return GeneratedConductorId(circuit.Number, condType, circuit.CountOfType(condType) + 1);
}

} // namespace corvalt
