#pragma once
// TEmfProject: one study: the administrative texts of the reports, the
// measurement system, the cross sections it owns in tab order and its plans
// (field maps in three dimensions, found by name). It also
// keeps the serialization it was last loaded from or saved as, which tells
// whether it has unsaved changes.

#include "model/FileResult.h"
#include "model/Plan.h"
#include "model/SafeList.h"
#include "model/Scenario.h"
#include "model/Units.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt {

// The stored values of a project apart from its cross sections: a plain value,
// so a freshly read project can be taken over as a whole.
struct TProjectInfo {
    std::string Title;
    std::string EngineerName;
    std::string AgentName, AgentAddress, AgentPhone; // ';' in an address is a line break
    std::string PeName, PeAddress, PePhone;
    std::string FacilityName, FacilityAddress, Counties, Cities;
    double ConstructionDate = 0; // day numbers: days since 30 December 1899
    double ReservedDate = 0;
    double EntryDate = 0;
    double UpdateDate = 0;
    std::uint8_t Units = 0;     // TUnits: 0 English, 1 Metric
    float VoltageClass = 0;     // kV
    float LineLength = 0;       // km
    std::string ExemptionFlags; // up to 5 characters, 'X' ticked, ' ' not
    bool StructureProfile = false;
    bool LocationMap = false;
    std::uint8_t Notification = 0; // 0 Previous, 1 Concurrent, 2 Other
    std::string NotificationExplanation;
    std::string Notes;
};

// The three values the compliance report marks when they are the project's
// largest over its transmission-line cross sections.
enum class TMaxQuantity {
    EMaxWithinRow, // EMax at its largest-EMax record within the ROW (MaxEWithinRowResult)
    EMaxAtRowEdge, // EMax at its ROW edge with the larger EMax (RowMaxEResult)
    BMaxAtRowEdge, // BMax at its ROW edge with the larger BMax (RowMaxBResult)
};

// The record a cross section refers to for the quantity (null when it was not
// computed), and the quantity's value there (empty when it has none).
const TCalcResult* MaximumRecord(const TScenario& scenario, TMaxQuantity quantity);
std::optional<float> MaximumValue(const TScenario& scenario, TMaxQuantity quantity);

class TEmfProject : public TProjectInfo {
  public:
    // Targets of Save that keep the serialization in memory instead of a file.
    static constexpr const char* kOriginalData = "OriginalData";
    static constexpr const char* kCheckData = "CheckData";

    TEmfProject() = default;
    TEmfProject(const TEmfProject&) = delete;
    TEmfProject& operator=(const TEmfProject&) = delete;

    TSafeList<TScenario> Scenarios;         // tab order
    std::vector<TPlan> Plans;               // in the order added; names differ
    std::string FileName;                   // not stored in the file; empty until saved
    std::vector<std::uint8_t> OriginalData; // serialization as last loaded or saved
    std::vector<std::uint8_t> CheckData;    // scratch buffer of IsModified

    const char* UnitsName() const;      // "English" / "Metric"
    const char* LengthUnit() const;     // "ft" / "m"
    const char* LongLengthUnit() const; // "mi" / "km"
    const char* DiameterUnit() const;   // "in" / "mm"
    const char* SpacingUnit() const;    // "in" / "cm"
    const char* SpeedUnit() const;      // "MPH" / "km/H"

    float DisplayLineLength() const; // mi / km
    void SetDisplayLineLength(float value);

    // Reads a project file into this project (the windows pass a fresh one) and
    // makes it the unmodified baseline. On any failure the project is left as
    // it was; nothing half-read is kept. FileName is left to the caller.
    TFileResult Load(const std::string& path);

    // Serializes the project into OriginalData or CheckData (targets above), or
    // into the file at the path. A file is written only when its content reads
    // back as a project, replaced only once the new content is completely
    // written, and OriginalData only after that.
    TFileResult Save(const std::string& target);

    // Whether a fresh serialization differs from OriginalData.
    bool IsModified();

    // False as soon as a transmission-line cross section holds a larger value of
    // the quantity than value; ties count as maximum. Cross sections without a
    // computed value for the quantity are not compared.
    bool IsProjectMaximum(TMaxQuantity quantity, float value) const;

    // The plan of that name; null when there is none.
    const TPlan* FindPlan(std::string_view name) const;
    // Replaces the plan of the same name where it stands, or appends the plan
    // (RoomForPlan tells whether there is room for it).
    void StorePlan(TPlan plan);
    // Removes the plan of that name; false when there is none.
    bool DeletePlan(std::string_view name);

    // Takes over the stored values, cross sections and plans of a freshly read project.
    void TakeContentsOf(TEmfProject& source);
};

} // namespace corvalt
