#pragma once
// TReptMAP: the EMF map report of a project's plans. Per plan: a page with
// the colour map of the electric field, a page with that of the magnetic
// field, then the footprint table (each footprint's largest E and B, where
// they lie, the limit that applies and "within" or "over", with the row of the
// limits table that applied), the plan's data (conductors, their points or
// span ends, the grid, the footprints' corners) and the program version.
// The maps are computed when the report is made, before it is laid out.

#include "limits/FieldLimits.h"
#include "model/FieldLimitTable.h"
#include "model/Plan.h"
#include "reports/Report.h"
#include "space/FieldMap.h"

#include <optional>
#include <string>
#include <vector>

namespace corvalt {

// One footprint judged against its limits: E and B hold the largest value
// inside it (Value, empty when no grid point with a value lies inside) and
// the limit that applies (Limit, empty when none does).
struct TFootprintVerdict {
    std::string Name;
    std::optional<space::TMapPeak> EPeak, BPeak; // the largest values and where they lie
    TLimitCheck E, B;
};

// The footprints of a plan's map against the limits of the plan's class.
// A footprint is a place beyond the right of way (a house, a yard), so it is
// held to the limits at the ROW edge, which protect what lies beyond it.
struct TFootprintLimits {
    TLimitClass Class = TLimitClass::Line230; // PlanLimitClass: the row that applied
    double HighestKv = 0;                     // the highest phase voltage, kV
    TClassLimits Row;                         // that row of the table
    std::vector<TFootprintVerdict> Footprints;
    int Count = 0;       // values a limit applies to
    int Over = 0;        // of them, over their limits
    int NotComputed = 0; // of them, without a value
    std::string Verdict; // ComplianceVerdict of the counts
};

TFootprintLimits FootprintLimitsOf(const TPlan& plan, const space::TFieldMap& map,
                                   const TFieldLimits& limits);

class TReptMAP : public TReport {
  public:
    // plans: the plans to report, in order (owned by the project, which must
    // outlive the report). Computes their maps.
    TReptMAP(TEmfProject& project, const std::vector<const TPlan*>& plans, TFieldLimits limits);

    void Prepare(TPageCanvas& canvas) override;
    void PrintHeader() override;
    void PrintFooter() override;
    void PrintBody() override;
    std::vector<std::string> ComputeFailures() const override;

  private:
    struct TPlanSection {
        const TPlan* Plan = nullptr;
        space::TMapRun Run;
    };
    // One column of a data table: its width, how its cells are justified and
    // the two lines of its heading.
    struct TColumn {
        double Width;
        TJustify Justify;
        QString Top, Bottom;
    };

    void PrintPlan(const TPlanSection& section);
    void StartPlanPage(bool nextPlan);
    void PrintMapPage(const TPlanSection& section, bool electric);
    void PrintFootprintTable(const TPlanSection& section);
    void PrintLimitsNote(const TFootprintLimits& judged);
    void PrintPlanData(const TPlanSection& section);
    void PrintConductors(const TPlan& plan);
    void PrintConductorPoints(const TPlan& plan);
    void PrintGrid(const TPlanSection& section);
    void PrintFootprintCorners(const TPlan& plan);
    void PrintSubtitle(const QString& text);
    void PrintTable(const std::vector<TColumn>& columns,
                    const std::vector<std::vector<TCellText>>& rows);
    void PrintTableHeading(const std::vector<TColumn>& columns);
    QString LengthUnit() const;
    QString Where(const std::optional<space::TMapPeak>& peak) const;

    TFieldLimits limits_;
    std::vector<TPlanSection> sections_;
    const TPlanSection* current_ = nullptr; // the plan the pages print
    int planFirstPage_ = 1;                 // the page the current plan starts on
    double left_ = 0, right_ = 0;
};

} // namespace corvalt
