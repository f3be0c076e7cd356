#pragma once
// TScenario: one cross section of a project (a transmission line or a
// substation): its right of way, sensor heights, circuits, points of interest,
// the flat list of all its conductors, and the profile the computation leaves
// on it.

#include "model/CalcResult.h"
#include "model/Circuit.h"
#include "model/InterestPoint.h"
#include "model/SafeList.h"
#include "model/SiteParameters.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvalt {

class TEmfProject;

enum TSectionType : std::uint8_t { TransmissionLine = 0, Substation = 1 };

class TScenario {
  public:
    // Everything 0 or empty; the caller appends it to the project's Scenarios.
    explicit TScenario(TEmfProject& project) : Project(&project) {}
    ~TScenario();
    TScenario(const TScenario&) = delete;
    TScenario& operator=(const TScenario&) = delete;

    TEmfProject* Project;         // the owning project
    std::string Title;            // long title
    std::string TabTitle;         // short title on the tab
    std::uint8_t SectionType = 0; // TSectionType
    float DefaultVoltage = 0;     // kV, proposed for new circuits
    float RowLeft = 0;            // left ROW edge lies at x = -RowLeft, m
    float RowRight = 0;           // right ROW edge lies at x = +RowRight, m
    float BFieldHeight = 0;       // magnetic-field sensor height, m
    float EFieldHeight = 0;       // electric-field sensor height, m

    // Site parameters of the corona computation, in stored units. 0 means unset
    // (see SiteParameters.h): the Site* getters then supply the defaults.
    float MicrophoneHeight = 0;   // m
    float RadioAntennaHeight = 0; // m
    float TvAntennaHeight = 0;    // m
    float OzoneHeight = 0;        // m
    float Altitude = 0;           // m
    float RainRate = 0;           // mm/h
    float WindVelocity = 0;       // m/s
    float RadioFrequency = 0;     // MHz
    float TvFrequency = 0;        // MHz
    float GroundConductivity = 0; // mmhos/m

    TSafeList<TCircuit> Circuits;             // display order
    TSafeList<TInterestPoint> InterestPoints; // display order
    // Every conductor of every circuit, exactly once, in creation order. Does
    // not own them: a conductor enters at creation and leaves when freed.
    std::vector<TConductor*> Conductors;

    // The lateral profile of the last computation (rebuilt by each run, not
    // stored in the project file) and the indices the reports use.
    TCalcResults Results;
    int RowLeftResult = 0;
    int RowRightResult = 0;
    int MaxEResult = 0;
    int RowMaxEResult = 0;
    int RowMaxBResult = 0;
    std::string CalcError; // empty when the last run computed the cross section

    // The record at index in Results; null when the last run failed (CalcError)
    // or there is no such record (an index from before the last run).
    const TCalcResult* ResultAt(int index) const;
    // The record with the largest EMax within the right of way, -RowLeft to
    // +RowRight with the edges (MaxEResult may lie in the margin beyond the edges
    // or at a point of interest outside the ROW); the earliest on a tie.
    int MaxEWithinRowResult() const;

    bool IsEnglish() const;

    // A site parameter's stored value (0 when unset), by its id.
    float SiteValue(TSiteParameter id) const;
    void SetSiteValue(TSiteParameter id, float value);
    // The value the computation uses: the stored one, or the default when unset.
    float EffectiveSiteValue(TSiteParameter id) const;
    // Whether any site parameter is set (the project file then needs the layout
    // that stores them).
    bool HasSiteParameters() const;

    // Site parameters with their defaults, internal units.
    float SiteRadioFrequency() const;     // MHz, 1 when unset
    float SiteTvFrequency() const;        // MHz, 75 when unset
    float SiteGroundConductivity() const; // mmhos/m, 0.1 when unset
    float SiteWindVelocity() const;       // m/s, 1 when unset

    int ConductorCount() const { return static_cast<int>(Conductors.size()); }
    int EnergizedCount() const; // conductors that are not ground wires

    // Number for a new circuit: the lowest number not in use when the numbers
    // have a gap below the circuit count, else one above the largest.
    int NextCircuitNumber() const;

    // TabTitle with " (T)" or " (S)" by SectionType, for tab captions.
    std::string DisplayName() const;

    // Frees a circuit with its conductors (they leave Conductors first).
    void RemoveCircuit(TCircuit& circuit);
    // Frees one conductor of one of the circuits, taking it out of Conductors.
    void RemoveConductor(TConductor& conductor);

    // Display-unit accessors, converting with the project's Units at the call.
    float DisplayRowLeft() const; // ft / m
    void SetDisplayRowLeft(float value);
    float DisplayRowRight() const; // ft / m
    void SetDisplayRowRight(float value);
    float DisplayBFieldHeight() const; // ft / m
    void SetDisplayBFieldHeight(float value);
    float DisplayEFieldHeight() const; // ft / m
    void SetDisplayEFieldHeight(float value);
    float DisplayMicrophoneHeight() const;   // ft / m
    float DisplayRadioAntennaHeight() const; // ft / m
    float DisplayTvAntennaHeight() const;    // ft / m
    float DisplayAltitude() const;           // ft / m
    float DisplayRainRate() const;           // in/h / mm/h
    float DisplayOzoneHeight() const;        // the stored value in both systems
    float DisplayWindVelocity() const;       // MPH / km/H

    // Extents of the phase configuration drawing, display units.
    float HalfRowWidth() const; // (RowLeft + RowRight) / 2
    float MaxHeight() const;    // highest conductor or sensor
    float MaxDepth() const;     // deepest conductor or sensor below ground, 0 if none
    float RightExtent() const;  // rightmost ROW edge, conductor or point
    float LeftExtent() const;   // leftmost, measured leftwards from the reference

  private:
    friend class TConductor;
    int ProjectUnits() const;
    void ForgetConductor(const TConductor* conductor);
};

} // namespace corvalt
