#pragma once
// TReptFCR2: the Florida compliance report of a whole project: the agency
// header, the agent and facility block with signature lines, the table of the
// transmission-line cross sections holding the project's largest fields, the
// table of the substations, and a details section per selected cross section
// (circuits, conductors, points of interest, phase configuration drawing);
// then, unless switched off, each cross section's field limits statement:
// every value the limits speak about, its limit and margin, and whether the
// cross section keeps within them.

#include "model/FieldLimitTable.h"
#include "model/Project.h"
#include "reports/Report.h"

#include <deque>
#include <optional>

namespace corvalt {

class TReptFCR2 : public TReport {
  public:
    // The "CrossSections to Print" preference ("CsPrtOpt").
    enum TCrossSectionsToPrint { PrintAll = 0, PrintMaximumReadingsOnly = 1 };

    // The report covers the whole project; the cross section is not used.
    // With limits, the field limits statements against them follow the
    // details sections.
    TReptFCR2(TEmfProject& project, TScenario* scenario, int crossSectionsToPrint,
              std::optional<TFieldLimits> limits = std::nullopt);

    void Prepare(TPageCanvas& canvas) override;
    void PrintHeader() override;
    void PrintFooter() override;
    void PrintBody() override;

    // Top of the body's first line, page 1 and later pages, inches.
    static constexpr double kFirstPageBodyTop = 0.85;
    static constexpr double kLaterPageBodyTop = 1.0;

  private:
    // One of the three values of a transmission-line row.
    struct TMaxCell;

    void PrintTitles();
    void PrintAgentBlock();
    void PrintFieldBlock(const QStringList& lines, const QString& caption, int minLines,
                         double width, double x);
    void PrintSignatureLine(const QString& caption, double drop, double width, double x);

    void PrintTransmissionTable();
    void PrintTransmissionHeading();
    TMaxCell MaxCellOf(const TScenario& scenario, TMaxQuantity quantity) const;
    void PrintSubstationTable();
    void PrintSubstationHeading();
    void DefineSubstationCells();
    void PrintNone(double x, double width);

    void PrintDetails(const TScenario& scenario);
    // The title a cross section goes by in its headings and its bookmark.
    static QString SectionTitle(const TScenario& scenario);
    void PrintSectionHeading(const QString& label, const TScenario& scenario, bool continued);
    void PrintLimitsStatement(const TScenario& scenario);
    void PrintLimitsHeading();
    void PrintCircuitTables(const TScenario& scenario, bool newCircuits);
    void PrintConductorTable(const TCircuit& circuit);
    void PrintConductorHeading();
    void PrintInterestPoints(const TScenario& scenario);
    void PrintInterestPointHeading();
    void DefineInterestPointCells();

    QString FooterTitle() const;

    int crossSectionsToPrint_;
    std::optional<TFieldLimits> limits_;
    double left_ = 0, right_ = 0, centre_ = 0;
    // The cross sections that get a details section, in the order printed.
    std::deque<const TScenario*> details_;
    // The cross section whose details or limits statement a new page
    // continues, and the label of its heading; null outside them.
    const TScenario* continuedOf_ = nullptr;
    QString continuedLabel_;
};

} // namespace corvalt
