#pragma once
// The kinds of report the report window and the command line open, by the
// codes the menus and `corvalt-cli report --kind` use.

#include <memory>
#include <optional>
#include <string>

namespace corvalt {

class TEmfProject;
class TScenario;
class TOptions;
class TReport;
struct TPlan;

enum class TReportKind {
    FloridaCompliance = 1, // TReptFCR2
    Tlsa = 2,              // TReptTLSA
    EmfDetails = 3,        // TReptDET
    CoronaEffects = 4,     // TReptBPA
    FieldMap = 5,          // TReptMAP: the maps of the project's plans
};

// The kind of a code, or nothing for a code that names no report.
std::optional<TReportKind> ReportKindFromCode(int code);

// The report's name for messages, e.g. "EMF details report".
std::string ReportKindName(TReportKind kind);

// The report's title, as window captions and document titles name it:
// "Florida Compliance", "TLSA Exemption", "EMF Details", "Corona and Field
// Effects".
std::string ReportKindTitle(TReportKind kind);

// The title of the report's PDF document: its name, the project's title and,
// for a report of one cross section, the cross section's tab title, e.g.
// "Florida Compliance Report — Bayside", "EMF Details Report — Bayside — North".
std::string ReportDocumentTitle(TReportKind kind, const TEmfProject& project,
                                const TScenario* scenario);

// The author of the report's PDF document: the project's engineer, else its
// professional engineer; empty when the project names neither.
std::string ReportDocumentAuthor(const TEmfProject& project);

// Whether the report of this kind covers the cross section current in the
// project window (the others cover the whole project).
bool ReportNeedsCrossSection(TReportKind kind);

// Whether the report runs the data check before computing (all but TLSA).
bool ReportRunsDataCheck(TReportKind kind);

// Whether the report prints computed values (all but TLSA), so that a cross
// section that could not be computed shows in it.
bool ReportPrintsResults(TReportKind kind);

// Whether the report covers the project's plans rather than its cross
// sections: it runs no data check, computes no cross section and needs a
// project with at least one plan.
bool ReportCoversPlans(TReportKind kind);

// Whether this version of the program can print reports of the kind.
bool ReportKindAvailable(TReportKind kind);

// Creates the report of the kind for the project and cross section (null for
// reports of the whole project); nullptr when the kind is not available. A
// report of plans covers the plan given, or every plan of the project when
// none is; it computes their maps here, before it is laid out.
std::unique_ptr<TReport> CreateReport(TReportKind kind, TEmfProject& project, TScenario* scenario,
                                      const TOptions& options, const TPlan* plan = nullptr);

} // namespace corvalt
