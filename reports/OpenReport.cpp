#include "reports/OpenReport.h"

#include "compute/Compute.h"
#include "engine/ReportRun.h"
#include "model/Project.h"
#include "reports/Report.h"

namespace corvalt {
namespace {

TOpenedReport Failure(const QString& error) {
    TOpenedReport opened;
    opened.Outcome = TOpenedReport::TOutcome::Failed;
    opened.Error = error;
    return opened;
}

QString KindName(TReportKind kind) {
    return QString::fromStdString(ReportKindName(kind));
}

} // namespace

TOpenedReport OpenReport(TEmfProject& project, TScenario* scenario, TReportKind kind,
                         const TOptions& options, const QString& pageFilePath,
                         const std::function<void(int)>& pageStarted, TPageKeeping keeping,
                         const TPlan* plan) {
    if (!ReportKindAvailable(kind))
        return Failure(QStringLiteral("The %1 is not available in this version of Corvalt.")
                           .arg(KindName(kind)));
    if (ReportRunsDataCheck(kind)) {
        std::vector<TCheckLine> findings = CheckProject(project);
        if (HasErrors(findings)) {
            TOpenedReport opened;
            opened.Outcome = TOpenedReport::TOutcome::CheckFailed;
            opened.Findings = std::move(findings);
            return opened;
        }
    }
    if (ReportNeedsCrossSection(kind) && scenario == nullptr)
        return Failure(
            QStringLiteral("The %1 needs a cross section; the project has none selected.")
                .arg(KindName(kind)));

    if (ReportCoversPlans(kind) && project.Plans.empty())
        return Failure(
            QStringLiteral("The %1 needs a plan; the project has none.").arg(KindName(kind)));

    if (!ReportCoversPlans(kind)) ComputeAll(project);
    const std::unique_ptr<TReport> report = CreateReport(kind, project, scenario, options, plan);
    TOpenedReport opened;
    opened.Outcome = TOpenedReport::TOutcome::Pages;
    opened.ComputeFailures = report->ComputeFailures();
    if (keeping == TPageKeeping::OnFile) {
        TStreamedRun run = RunReportStreamed(report->PageEvents(), pageFilePath, pageStarted);
        if (!run.Pages) return Failure(run.Error);
        opened.PageFile = std::move(run.Pages);
        return opened;
    }
    TPageFileResult run = RunReportToFile(report->PageEvents(), pageFilePath, pageStarted);
    if (!run.Ok) return Failure(run.Error);
    opened.Pages = std::move(run.Pages);
    return opened;
}

} // namespace corvalt
