#pragma once
// TReptDET: the EMF details report of one cross section: its conductor table
// and its lateral profile of electric and magnetic field, printed in up to four
// column blocks side by side per page; then, when asked for, a page with the
// plot of the E and B profile.

#include "model/CalcResult.h"
#include "plots/PlotData.h"
#include "reports/Report.h"

#include <optional>

namespace corvalt {

class TReptDET : public TReport {
  public:
    // plot: the options of the plot page; none for no plot page.
    TReptDET(TEmfProject& project, TScenario& scenario,
             std::optional<TPlotOptions> plot = std::nullopt);

    void Prepare(TPageCanvas& canvas) override;
    void PrintHeader() override;
    // Draws the standard footer unless the skip-next-footer flag is set, which
    // it then clears.
    void PrintFooter() override;
    void PrintBody() override;

    // Profile blocks side by side on a page, and the step between their left edges.
    static constexpr int kBlocksPerPage = 4;
    static constexpr double kBlockStep = 1.75; // in

  private:
    void PrintHeaderTitles();
    void PrintConductorTable();
    void PrintConductorRows();
    void PrintConductorHeading();
    void PrintProfileTable();
    void PrintBlockHeading(double left);
    void PrintProfileRow(const TCalcResult& result);

    std::optional<TPlotOptions> plot_;
    double leftEdge_ = 0, rightEdge_ = 0;
    // Set when the body starts: page 1's footer is then drawn by its header
    // only, and the page-end footer call of page 1 finds the flag and clears it.
    bool skipNextFooter_ = false;
};

} // namespace corvalt
