// corvalt-cli report FILE.emf --kind N --pdf OUT.pdf [--section N] [--plan NAME] [--ini FILE]
// [--pdfa]: opens the report of kind N (1 to 4, or "map") for cross section N
// (1-based, default 1), or the map report for plan NAME (every plan without
// --plan), exactly
// as the preview window does and writes its pages as a PDF file (PDF/A-1b with
// --pdfa), titled with the report's name and the project's. When a cross
// section of the report could not be computed, the command says why on stderr
// and exits 1 without writing the PDF (as export and plot do): a report with
// gaps in place of values is no report to file. The same holds for a plan
// whose map could not be computed.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/HeadlessApplication.h"
#include "cli/IniOption.h"

#include "engine/PageRenderer.h"
#include "model/Leftovers.h"
#include "model/Project.h"
#include "model/StopCleanup.h"
#include "prefs/Options.h"
#include "reports/OpenReport.h"
#include "reports/ReportFormat.h"

#include <QDir>
#include <QFile>

#include <charconv>
#include <iostream>
#include <memory>
#include <variant>

namespace corvalt::cli {
namespace {

constexpr const char* kUsage =
    "usage: corvalt-cli report FILE.emf --kind 1|2|3|4|map --pdf OUT.pdf [--section N] "
    "[--plan NAME] [--ini FILE] [--pdfa]";

struct TReportRequest {
    std::string ProjectFile;
    TReportKind Kind = TReportKind::EmfDetails;
    std::string PdfFile;
    int Section = 1;
    std::string Plan; // the map report's plan; every plan when not given
    bool PlanGiven = false;
    std::string IniFile;
    bool PdfA = false;
};

std::optional<std::string> ParseKind(const std::string& text, TReportKind& kind) {
    if (text == "map") {
        kind = TReportKind::FieldMap;
        return std::nullopt;
    }
    int code = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, code);
    const std::optional<TReportKind> known =
        error == std::errc() && stop == end ? ReportKindFromCode(code) : std::nullopt;
    if (!known) return "--kind must be 1, 2, 3, 4 or map, not '" + text + "'";
    kind = *known;
    return std::nullopt;
}

std::optional<std::string> ParseRequest(const Args& arguments, TReportRequest& request) {
    Args args = arguments;
    std::string kind;
    bool kindGiven = false, pdfGiven = false;
    if (auto error = TakeIniOption(args, request.IniFile)) return error;
    if (auto error = TakeOption(args, "--kind", "a report kind", kind, kindGiven)) return error;
    if (auto error = TakeOption(args, "--pdf", "a file name", request.PdfFile, pdfGiven))
        return error;
    if (auto error = TakeSectionOption(args, request.Section)) return error;
    if (auto error = TakeOption(args, "--plan", "a plan's name", request.Plan, request.PlanGiven))
        return error;
    request.PdfA = TakeFlag(args, "--pdfa");
    if (auto error = RejectUnknownOptions(args)) return error;
    if (args.size() != 1 || !kindGiven || !pdfGiven) return std::string(kUsage);
    request.ProjectFile = args[0];
    if (auto error = ParseKind(kind, request.Kind)) return error;
    if (request.PlanGiven && !ReportCoversPlans(request.Kind))
        return "--plan goes with --kind map only";
    return std::nullopt;
}

// The plan the map report is asked for (null for every plan), or an exit code
// after saying why the project has nothing to map.
std::variant<const TPlan*, int> ReportedPlan(const TEmfProject& project,
                                             const TReportRequest& request) {
    if (project.Plans.empty())
        return Fail(ExitBadInput, request.ProjectFile + ": the project has no plans to map");
    if (!request.PlanGiven) return static_cast<const TPlan*>(nullptr);
    if (const TPlan* plan = PlanOrFail(project, request.Plan, request.ProjectFile)) return plan;
    return ExitBadInput;
}

// The reasons why cross sections (or plans) of the report could not be
// computed, on stderr; whether there were any. A report without computed
// values has none.
bool WarnUncomputed(const TEmfProject& project, const TScenario* reported, TReportKind kind,
                    const TOpenedReport& opened) {
    for (const std::string& failure : opened.ComputeFailures)
        Fail(ExitCheckFailed, failure);
    if (ReportCoversPlans(kind)) return !opened.ComputeFailures.empty();
    if (!ReportPrintsResults(kind)) return false;
    bool any = false;
    for (const TScenario& scenario : project.Scenarios) {
        if (ReportNeedsCrossSection(kind) && &scenario != reported) continue;
        if (scenario.CalcError.empty()) continue;
        Fail(ExitCheckFailed, scenario.CalcError);
        any = true;
    }
    return any;
}

} // namespace

int RunReport(const Args& args) {
    TReportRequest request;
    if (auto error = ParseRequest(args, request)) return Fail(ExitBadInput, *error);
    if (!ReportKindAvailable(request.Kind))
        return Fail(ExitBadInput, "the " + ReportKindName(request.Kind) + " (--kind " +
                                      std::to_string(static_cast<int>(request.Kind)) +
                                      ") is not available in this version");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(request.ProjectFile, project); loaded != ExitOk)
        return loaded;
    // Reports of the whole project do without a cross section when none was asked for.
    TScenario* scenario = nullptr;
    if (ReportNeedsCrossSection(request.Kind) || request.Section != 1) {
        scenario = SectionOrFail(project, request.Section, request.ProjectFile);
        if (scenario == nullptr) return ExitBadInput;
    } else if (!project.Scenarios.Empty()) {
        scenario = &project.Scenarios[0];
    }
    const TPlan* plan = nullptr;
    if (ReportCoversPlans(request.Kind)) {
        const auto found = ReportedPlan(project, request);
        if (const int* exit = std::get_if<int>(&found)) return *exit;
        plan = std::get<const TPlan*>(found);
    }
    const TOptions options(CliIniLocation(request.IniFile).File);
    if (auto error = options.CheckReadable()) return Fail(ExitBadInput, *error);

    // Widgets: the cross-section reports end with a plot page drawn by a chart.
    const THeadlessApplication application(THeadlessApplication::TKind::Widgets);
    const TTemporaryFolder pageFolder(kCliPagesFolder);
    if (!pageFolder.IsValid())
        return Fail(ExitBadInput, "no temporary folder for the page file: " + pageFolder.Error());
    const TOpenedReport opened =
        OpenReport(project, scenario, request.Kind, options,
                   QDir(QFile::decodeName(QByteArray::fromStdString(pageFolder.Path())))
                       .filePath(QString::fromLatin1(kDefaultPageFileName)),
                   {}, TPageKeeping::OnFile, plan);
    switch (opened.Outcome) {
    case TOpenedReport::TOutcome::CheckFailed:
        Fail(ExitCheckFailed, request.ProjectFile + ": the data check found errors:");
        PrintCheckLines(std::cerr, opened.Findings);
        return ExitCheckFailed;
    case TOpenedReport::TOutcome::Failed:
        return Fail(ExitBadInput, request.ProjectFile + ": " + opened.Error.toStdString());
    case TOpenedReport::TOutcome::Pages:
        break;
    }
    if (WarnUncomputed(project, scenario, request.Kind, opened)) return ExitCheckFailed;
    const TPdfOptions pdf{ReportText(ReportDocumentTitle(request.Kind, project, scenario)),
                          request.PdfA, ReportText(ReportDocumentAuthor(project))};
    // The name reaches the file system byte for byte, never through a QString.
    // Painted from the page file a page at a time: a long report is never
    // held whole in memory.
    const QString pdfError = ExportPdfFile(*opened.PageFile, request.PdfFile, pdf);
    if (!pdfError.isEmpty())
        return Fail(ExitBadInput, request.PdfFile + ": " + pdfError.toStdString());
    return ExitOk;
}

} // namespace corvalt::cli
