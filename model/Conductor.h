#pragma once
// TConductor: one phase conductor (or bundle) or ground wire of a circuit, at a
// position relative to its circuit's reference. Owned by its circuit and listed
// in its cross section's flat Conductors list from creation until it is freed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace corvalt {

class TScenario;
class TCircuit;

// Longest conductor id the model keeps (the project file reader cuts longer ones).
inline constexpr std::size_t kMaxConductorIdLength = 255;

enum TCondType : std::uint8_t { PhaseA = 0, PhaseB = 1, PhaseC = 2, Ground = 3 };

// Working values of the computation for one conductor, rebuilt by every run.
// A conductor on or below the ground carries no charge (InSystem false) and has
// no gradient or corona values; it still counts in the magnetic field.
struct TConductorCalc {
    bool InSystem = false;            // part of the charge system of the last run
    float EqDiameterM = 0;            // equivalent bundle diameter, m
    float VoltRe = 0, VoltIm = 0;     // phase-to-ground rms voltage phasor, V
    float ChargeRe = 0, ChargeIm = 0; // line charge phasor, C/m
    std::optional<float> MaxGradient; // largest surface gradient, kV/cm; negative for U < 0
    std::optional<float> CoronaLoss;  // corona loss, kW/km
    std::optional<float> OzoneRate;   // ozone production rate of the plume model
};

class TConductor {
  public:
    // Creates a conductor of the circuit and appends it to the cross section's
    // Conductors at once; the caller fills it and adds it to the circuit with
    // TCircuit::AddConductor. Freeing it takes it out of Conductors again.
    TConductor(TScenario& scenario, TCircuit& circuit);
    ~TConductor();
    TConductor(const TConductor&) = delete;
    TConductor& operator=(const TConductor&) = delete;

    TScenario* Scenario;       // the cross section it belongs to
    TCircuit* Circuit;         // the circuit that owns it
    std::uint8_t CondType = 0; // TCondType
    std::uint8_t AcFlag = 0;   // 1 alternating current, 0 direct-current pole
    std::string Id;            // e.g. "1A1", at most 255 characters
    std::string TypeName;      // library conductor or ground-wire type name
    float HorizDistance = 0;   // from the circuit reference, m
    float Height = 0;          // above ground, m
    std::uint8_t SubCondCount = 0;
    float Diameter = 0;     // (sub-)conductor diameter, mm
    float SubSpacing = 0;   // sub-conductor spacing, cm
    float VoltageClass = 0; // kV
    float OverRateFactor = 0;
    float MaxVoltage = 0; // kV
    float PhaseAngle = 0; // degrees
    float Mcr = 0;        // maximum current rating, kA
    float CoronaLoss = 0; // kW/km; the file stores 0 and the reader keeps what it reads
    TConductorCalc Calc;

    bool IsGround() const { return CondType == Ground; }
    bool IsEnglish() const;

    // Circuit DistFromRowLeft + HorizDistance, on internal metres.
    float AbsoluteX() const;

    // Display-unit accessors, converting with the project's Units at the call.
    float DisplayHorizDistance() const; // ft / m
    void SetDisplayHorizDistance(float value);
    float DisplayHeight() const; // ft / m
    void SetDisplayHeight(float value);
    float DisplayDiameter() const; // in / mm
    void SetDisplayDiameter(float value);
    float DisplaySubSpacing() const; // in / cm
    void SetDisplaySubSpacing(float value);
    float DisplayMcr() const; // A
    void SetDisplayMcr(float amperes);
    float DisplayCoronaLoss() const; // per mile (English) / per km

  private:
    int ProjectUnits() const;
};

// Letter of a conductor type in generated ids: "A", "B", "C" or "G".
const char* ConductorLetter(int condType);

// Id of a generated conductor: circuit number, type letter and ordinal, e.g. 2A1.
std::string GeneratedConductorId(int circuitNumber, int condType, int ordinal);

} // namespace corvalt
