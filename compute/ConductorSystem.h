#pragma once
// The conductor system of a cross section as the computation sees it: one plain
// record per conductor, in the cross section's list order, with its position,
// bundle and electrical inputs in the units each name states, and the working
// values the charge and corona steps leave on it. The kernels of the field and
// corona computation take these records, never the model objects.

#include "model/Bundle.h"

#include <optional>
#include <span>

namespace corvalt {

// A phasor held in single precision, as the model keeps voltages and charges.
struct TPhasor {
    float Re = 0;
    float Im = 0;
};

// θ = (PhaseAngle + offset) × 0.017453292, radians; offsetDeg is 0 except
// during the AC/DC sweep.
double VoltageAngleRad(float phaseAngleDeg, double offsetDeg);

// Phase-to-ground rms voltage phasor, V: U ÷ √3 × (cos θ, sin θ) × 1000 with U
// the phase-to-phase voltage in kV. A ground wire (U = 0) gets a zero phasor,
// which makes it a grounded conductor in the charge computation.
TPhasor VoltagePhasorV(float maxVoltageKv, float phaseAngleDeg, double offsetDeg);
// The same in two steps, for callers that reuse U ÷ √3 or cos θ and sin θ.
double PhaseToGroundKv(float maxVoltageKv); // U ÷ √3
TPhasor VoltagePhasorFromCosSinV(double phaseToGroundKv, double cosTheta, double sinTheta);

// K = 2 I ÷ 1000 (μ0 ÷ 2π in G·m/A), gauss·m: the magnitude of a line
// current of I amperes as a source of magnetic field.
double LineCurrentGaussM(float currentA);

// Angle of a conductor's current, radians: the phase angle, except the return
// current of a negative DC pole (DC with a voltage not above 0), which flows at
// −π.
double CurrentAngleRad(bool isAc, float maxVoltageKv, float phaseAngleDeg);

struct TSystemConductor {
    // Inputs, from the model's internal values.
    float XM = 0;            // AbsoluteX: circuit offset + horizontal distance, m
    float YM = 0;            // height above ground, m
    int SubCondCount = 1;    // n
    float DiameterMm = 0;    // sub-conductor diameter d, mm
    float SubSpacingCm = 0;  // sub-conductor spacing, cm
    float MaxVoltageKv = 0;  // U, phase-to-phase, kV (negative for a negative DC pole)
    float PhaseAngleDeg = 0; // voltage and current phase angle, degrees
    float CurrentA = 0;      // I, rms (DC: the pole current), A
    bool IsAc = true;        // false for a direct-current pole
    bool IsGround = false;   // overhead ground wire

    // Conductor system: conductors above ground with a usable bundle carry a
    // charge; one on or below the ground (an underground cable) has no
    // potential coefficient and takes part in the magnetic field only.
    bool InChargeSystem = false;
    TBundle Bundle;     // valid when InChargeSystem
    double RadiusM = 0; // outer radius; a sensor closer than this is inside the conductor
    // Line current as a source of magnetic field: K e^{iθ} with K = 2 I ÷ 1000
    // (μ0 ÷ 2π in G·m/A) and θ = CurrentAngleRad, gauss·m.
    double CurrentSourceRe = 0;
    double CurrentSourceIm = 0;

    // Charge computation, last sweep step (valid when InChargeSystem).
    TPhasor VoltV;                        // voltage phasor, V
    TPhasor ChargeCPerM;                  // line charge phasor, C/m
    std::optional<float> MaxGradientKvCm; // largest surface gradient; negative for U < 0

    // Corona computation; empty for conductors without corona (see IsCoronaSource).
    std::optional<float> CoronaLossKwPerKm; // kW/km = W/m
    std::optional<float> OzoneRate;         // ozone production feeding the plume model
};

// Fills InChargeSystem, Bundle, RadiusM and the current source of every
// conductor from its inputs.
void PrepareConductorSystem(std::span<TSystemConductor> system);

// True when the conductors of the charge system hold both AC conductors and DC
// poles: the gradients are then swept over all relative phases.
bool IsMixedAcDc(std::span<const TSystemConductor> system);

// True when the squared distance of a point from a conductor's centre puts it
// inside the conductor (or exactly on its axis), where the line-charge and
// line-current formulas do not hold.
bool IsInsideConductor(double distanceSqM2, double radiusM);

} // namespace corvalt
