#pragma once
// TReptBPA: the corona and field effects report of one cross section: its site
// parameters, its conductors with their surface gradients and corona losses,
// and its lateral profile of audible noise, radio and television interference,
// ozone, electric and magnetic field, continued under a repeated heading on as
// many pages as it needs; then, when asked for, a page with the plot of the
// corona effects.

#include "model/CalcResult.h"
#include "plots/PlotData.h"
#include "reports/Report.h"

#include <optional>

namespace corvalt {

class TReptBPA : public TReport {
  public:
    // plot: the options of the plot page; none for no plot page.
    TReptBPA(TEmfProject& project, TScenario& scenario,
             std::optional<TPlotOptions> plot = std::nullopt);

    void Prepare(TPageCanvas& canvas) override;
    void PrintHeader() override;
    void PrintFooter() override;
    void PrintBody() override;

  private:
    void PrintSiteParameters();
    void PrintConductorTable();
    void PrintConductorHeading();
    void PrintProfileTable();
    void PrintProfileHeading();
    void PrintProfileRow(const TCalcResult& result);

    std::optional<TPlotOptions> plot_;
    double leftEdge_ = 0, rightEdge_ = 0;
};

} // namespace corvalt
