#pragma once
// TReptBPA: the corona and field effects report of one cross section: its site
// parameters, its conductors with their surface gradients and corona losses,
// and its lateral profile of audible noise, radio and television interference,
// ozone, electric and magnetic field, continued under a repeated heading on as
// many pages as it needs.

#include "model/CalcResult.h"
#include "reports/Report.h"

namespace corvalt {

class TReptBPA : public TReport {
  public:
    TReptBPA(TEmfProject& project, TScenario& scenario);

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

    double leftEdge_ = 0, rightEdge_ = 0;
};

} // namespace corvalt
