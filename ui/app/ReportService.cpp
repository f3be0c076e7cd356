#include "ui/app/ReportService.h"

#include "reports/BpaExport.h"

namespace corvalt::ui {

bool TProgramReports::Available(TReportKind kind) const {
    return ReportKindAvailable(kind);
}

TOpenedReport TProgramReports::Open(TEmfProject& project, TScenario* scenario, TReportKind kind,
                                    const QString& pageFile,
                                    const std::function<void(int)>& pageStarted) {
    return OpenReport(project, scenario, kind, options_, pageFile, pageStarted);
}

TFileResult TProgramReports::ExportBpa(const TScenario& scenario, const std::string& path) {
    return ExportBpaFile(scenario, path);
}

} // namespace corvalt::ui
