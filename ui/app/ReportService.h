#pragma once
// The reports as the windows call them: opening a report (data check, computing
// the project, laying the report out into its page file) and writing the BPA
// input file. The program uses the reports layer (TProgramReports); window
// tests may give their own pages and findings.

#include "model/FileResult.h"
#include "reports/OpenReport.h"
#include "reports/ReportKind.h"

#include <QString>

#include <functional>
#include <string>

namespace corvalt {
class TEmfProject;
class TOptions;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

class TReportService {
  public:
    virtual ~TReportService() = default;

    // Whether this version of the program can make reports of the kind.
    virtual bool Available(TReportKind kind) const = 0;
    // Unless kind is the TLSA notification, runs the data check and stops when it
    // fails; computes every cross section; lays the report out for the project
    // and the cross section current in the project window, writing pageFile.
    // pageStarted is called with each page number as the layout reaches it.
    virtual TOpenedReport Open(TEmfProject& project, TScenario* scenario, TReportKind kind,
                               const QString& pageFile,
                               const std::function<void(int)>& pageStarted) = 0;
    // Writes the cross section's BPA input file (no check, no computing).
    virtual TFileResult ExportBpa(const TScenario& scenario, const std::string& path) = 0;
};

// The reports layer, with the preferences the reports read.
class TProgramReports : public TReportService {
  public:
    explicit TProgramReports(const TOptions& options) : options_(options) {}

    bool Available(TReportKind kind) const override;
    TOpenedReport Open(TEmfProject& project, TScenario* scenario, TReportKind kind,
                       const QString& pageFile,
                       const std::function<void(int)>& pageStarted) override;
    TFileResult ExportBpa(const TScenario& scenario, const std::string& path) override;

  private:
    const TOptions& options_;
};

} // namespace corvalt::ui
