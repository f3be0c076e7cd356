#pragma once
// The report-opening sequence shared by the preview window and `corvalt-cli
// report`, so both show exactly the same pages: the data check (except for the
// TLSA notification), the computation of every cross section in project order,
// then the report of the kind laid out on the page canvas into the page file.

#include "engine/PageFile.h"
#include "model/DataCheck.h"
#include "reports/ReportKind.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvalt {

class TEmfProject;
class TOptions;
class TScenario;
struct TPlan;

struct TOpenedReport {
    enum class TOutcome {
        Pages,       // Pages (or PageFile) holds the report as read back from the page file
        CheckFailed, // the data check found errors; Findings lists every line of it
        Failed,      // Error says why no report could be made
    };
    TOutcome Outcome = TOutcome::Failed;
    TPageList Pages;
    // Instead of Pages when the report was opened to be read from its page
    // file a page at a time.
    std::shared_ptr<TPageFileReader> PageFile;
    std::vector<TCheckLine> Findings;
    QString Error;
    // With Pages: why parts the report computes itself (a plan's map) could
    // not be computed; its pages say it in their place.
    std::vector<std::string> ComputeFailures;
};

// Opens the report of the kind for the project and the cross section current
// in the project window (null when there is none; reports of the whole project
// ignore it). A report of plans (ReportCoversPlans) covers `plan`, or every
// plan of the project when it is null, and computes their maps instead of the
// cross sections. The computation's results are left on the project's cross
// sections; one that cannot be computed carries its reason in CalcError and
// its reports print that reason. pageStarted is called with each page number
// while the report is laid out (the status line). Needs a QGuiApplication.
// The pages come back in memory, or with onFile as an open page file that
// holds one page at a time (an export of a long report).
enum class TPageKeeping { InMemory, OnFile };
TOpenedReport OpenReport(TEmfProject& project, TScenario* scenario, TReportKind kind,
                         const TOptions& options, const QString& pageFilePath,
                         const std::function<void(int)>& pageStarted = {},
                         TPageKeeping keeping = TPageKeeping::InMemory,
                         const TPlan* plan = nullptr);

} // namespace corvalt
