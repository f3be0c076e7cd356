#pragma once
// TReptTLSA: the TLSA exemption notification, a one-page form in a double
// border filled from the project information: facility owner, line or
// substation name, counties, length, voltage, construction start date, the
// exemption type boxes, the attachments, the EMF notification status, notes and
// empty signature fields. It prints no computed value and has no header or
// footer.

#include "reports/Report.h"

#include <string>

namespace corvalt {

class TReptTLSA : public TReport {
  public:
    explicit TReptTLSA(TEmfProject& project);

    void Prepare(TPageCanvas& canvas) override;
    void PrintHeader() override {}
    void PrintFooter() override {}
    void PrintBody() override;

  private:
    void PrintBorderAndTitle();
    void PrintNameFields();
    void PrintExemptionTypes();
    void PrintAttachments();
    void PrintNotification();
    void PrintNotesAndSignatures();
    // A labelled field: the value line (Tahoma 12 bold) in the cells, then the
    // caption line (Tahoma 10) in cells of the same widths without boxes.
    void PrintField(const std::vector<TCellSpec>& cells, const std::vector<TCellText>& values,
                    const QString& captions);
    void PrintRule();

    double left_ = 0, right_ = 0, centre_ = 0, fieldX_ = 0;
};

} // namespace corvalt
