#pragma once
// TCircuit: one circuit of a cross section with its common values (voltage,
// conductor type, bundling, ground wires) and the conductors it owns, in
// circuit order.

#include "model/Conductor.h"
#include "model/SafeList.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvalt {

class TScenario;

class TCircuit {
  public:
    // Everything 0 or empty; the caller appends it to the cross section's Circuits.
    explicit TCircuit(TScenario& scenario);
    TCircuit(const TCircuit&) = delete;
    TCircuit& operator=(const TCircuit&) = delete;

    TScenario* Scenario;     // the owning cross section
    std::uint8_t Number = 0; // 1..255, prefix of the conductor ids
    std::string Name;
    bool NewCircuit = false; // the "New Circuit" mark
    float VoltageClass = 0;  // kV
    float OverRateFactor = 0;
    float MaxVoltage = 0;      // kV
    float Mcr = 0;             // maximum current rating, A
    float DistFromRowLeft = 0; // x of the circuit reference, m
    std::string CondName;      // library conductor type, may be empty
    float CondDiameter = 0;    // mm
    std::uint8_t SubCondCount = 0;
    float BundleSpacing = 0;    // cm
    std::string OhgwName;       // library ground-wire type
    std::uint8_t OhgwCount = 0; // number of ground conductors
    float OhgwDiameter = 0;     // mm
    TSafeList<TConductor> Conductors;

    bool IsEnglish() const;

    // Appends a conductor created for this circuit and returns its index; after a
    // ground conductor, OhgwCount becomes the number of ground conductors.
    int AddConductor(std::unique_ptr<TConductor> conductor);

    // Number of conductors whose CondType equals condType.
    int CountOfType(int condType) const;

    // Pushes the bundle values down: a ground conductor gets SubCondCount 1, any
    // other the circuit's SubCondCount, CondDiameter and BundleSpacing.
    void ApplyToConductors();

    // Reflects the circuit about the cross section's reference line: its place
    // and every conductor's distance from it change sign (a zero stays +0).
    void MirrorAboutReferenceLine();

    // Largest conductor Height in display units; 0 without conductors.
    float MaxDisplayHeight() const;

    // Display-unit accessors, converting with the project's Units at the call.
    float DisplayDistFromRowLeft() const; // ft / m
    void SetDisplayDistFromRowLeft(float value);
    float DisplayCondDiameter() const; // in / mm
    void SetDisplayCondDiameter(float value);
    float DisplayOhgwDiameter() const; // in / mm
    void SetDisplayOhgwDiameter(float value);
    float DisplayBundleSpacing() const; // in / cm
    void SetDisplayBundleSpacing(float value);

  private:
    int ProjectUnits() const;
};

} // namespace corvalt
