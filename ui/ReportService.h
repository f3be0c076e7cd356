#pragma once
// The reports as the windows call them: opening a report (data check, computing
// the project, laying the report out into its page file) and writing the BPA
// input file. The program passes the reports layer; window tests may pass their
// own pages and findings.

#include "engine/PageModel.h"
#include "model/DataCheck.h"
#include "model/FileResult.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace corvalt {
class TEmfProject;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

// Report kinds of the menus.
enum TReportCode : int {
    kFloridaCompliance = 1,
    kTlsaExemption = 2,
    kEmfDetails = 3,
    kCoronaEffects = 4, // "BPA Details"
};

struct TReportOutcome {
    enum class TStatus {
        Pages,       // the report was laid out: Pages holds it
        CheckFailed, // the data check found errors: Findings lists them
        Failed,      // the report could not be made: Error says why
    };
    TStatus Status = TStatus::Failed;
    TPageList Pages;
    std::vector<TCheckLine> Findings;
    QString Error;
};

class TReportService {
  public:
    virtual ~TReportService() = default;

    // Whether this version of the program can make reports of the kind.
    virtual bool Available(int kind) const = 0;
    // Unless kind is the TLSA notification, runs the data check and stops when it
    // fails; computes every cross section; lays the report out for the project
    // and the cross section current in the project window, writing pageFile.
    // pageStarted is called with each page number as the layout reaches it.
    virtual TReportOutcome Open(TEmfProject& project, TScenario* scenario, int kind,
                                const QString& pageFile,
                                const std::function<void(int)>& pageStarted) = 0;
    // Writes the cross section's BPA input file (no check, no computing).
    virtual TFileResult ExportBpa(const TScenario& scenario, const std::string& path) = 0;
};

} // namespace corvalt::ui
