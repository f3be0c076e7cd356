#include "reports/ReportKind.h"

#include "model/Project.h"
#include "prefs/Options.h"
#include "reports/ProfilePlotPage.h"
#include "reports/Report.h"
#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"
#include "reports/ReptFCR2.h"
#include "reports/ReptMAP.h"
#include "reports/ReptTLSA.h"

#include <array>
#include <stdexcept>
#include <string>

namespace corvalt {
namespace {

using TFactory = std::unique_ptr<TReport> (*)(TEmfProject&, TScenario*, const TOptions&,
                                              const TPlan*);

struct TKindEntry {
    TReportKind Kind;
    const char* Name;
    const char* Title;
    const char* DocumentName; // the PDF document's title starts with it
    bool ForCrossSection;
    bool RunsDataCheck;
    bool PrintsResults; // prints computed values (a failed computation matters)
    bool CoversPlans;   // the project's plans, not its cross sections
    TFactory Create;    // nullptr while the kind is not built
};

// The reports of one cross section end with its plot page unless the
// preferences turn it off; the field plot draws the limits of the limits table.
std::unique_ptr<TReport> MakeDetails(TEmfProject& project, TScenario* scenario,
                                     const TOptions& options, const TPlan* /*plan*/) {
    std::optional<TPlotOptions> plot;
    if (options.DetailsPlot()) plot = FieldPlotOptions(options.FieldLimits());
    return std::make_unique<TReptDET>(project, *scenario, plot);
}

std::unique_ptr<TReport> MakeCorona(TEmfProject& project, TScenario* scenario,
                                    const TOptions& options, const TPlan* /*plan*/) {
    std::optional<TPlotOptions> plot;
    if (options.CoronaPlot()) plot = CoronaPlotOptions();
    return std::make_unique<TReptBPA>(project, *scenario, plot);
}

// The compliance report reads which cross sections to print ("CsPrtOpt"),
// whether to add the field limits statement and the limits table from the
// preferences when it is made.
std::unique_ptr<TReport> MakeCompliance(TEmfProject& project, TScenario* scenario,
                                        const TOptions& options, const TPlan* /*plan*/) {
    std::optional<TFieldLimits> limits;
    if (options.LimitsStatement()) limits = options.FieldLimits();
    return std::make_unique<TReptFCR2>(project, scenario, options.CsPrtOpt(), limits);
}

std::unique_ptr<TReport> MakeTlsa(TEmfProject& project, TScenario* /*scenario*/,
                                  const TOptions& /*options*/, const TPlan* /*plan*/) {
    return std::make_unique<TReptTLSA>(project);
}

// The map report draws the iso-lines of, and judges the footprints by, the
// limits table of the preferences.
std::unique_ptr<TReport> MakeMap(TEmfProject& project, TScenario* /*scenario*/,
                                 const TOptions& options, const TPlan* plan) {
    std::vector<const TPlan*> plans;
    if (plan != nullptr) {
        plans.push_back(plan);
    } else {
        for (const TPlan& each : project.Plans)
            plans.push_back(&each);
    }
    return std::make_unique<TReptMAP>(project, plans, options.FieldLimits());
}

// One row per kind: adding a report is its class and its factory here.
const std::array<TKindEntry, 5> kKinds = {{
    {TReportKind::FloridaCompliance, "Florida compliance report", "Florida Compliance",
     "Florida Compliance Report", false, true, true, false, MakeCompliance},
    {TReportKind::Tlsa, "TLSA exemption notification", "TLSA Exemption",
     "TLSA Exemption Notification", false, false, false, false, MakeTlsa},
    {TReportKind::EmfDetails, "EMF details report", "EMF Details", "EMF Details Report", true, true,
     true, false, MakeDetails},
    {TReportKind::CoronaEffects, "corona and field effects report", "Corona and Field Effects",
     "Corona and Field Effects Report", true, true, true, false, MakeCorona},
    {TReportKind::FieldMap, "EMF map report", "EMF Map", "EMF Map Report", false, false, true, true,
     MakeMap},
}};

const TKindEntry& EntryOf(TReportKind kind) {
    for (const TKindEntry& entry : kKinds)
        if (entry.Kind == kind) return entry;
    throw std::invalid_argument("unknown report kind " + std::to_string(static_cast<int>(kind)));
}

} // namespace

std::optional<TReportKind> ReportKindFromCode(int code) {
    for (const TKindEntry& entry : kKinds)
        if (static_cast<int>(entry.Kind) == code) return entry.Kind;
    return std::nullopt;
}

std::string ReportKindName(TReportKind kind) {
    return EntryOf(kind).Name;
}

std::string ReportKindTitle(TReportKind kind) {
    return EntryOf(kind).Title;
}

std::string ReportDocumentTitle(TReportKind kind, const TEmfProject& project,
                                const TScenario* scenario) {
    const std::string dash = " \u2014 ";
    std::string title = EntryOf(kind).DocumentName;
    if (!project.Title.empty()) title += dash + project.Title;
    if (ReportNeedsCrossSection(kind) && scenario != nullptr && !scenario->TabTitle.empty())
        title += dash + scenario->TabTitle;
    return title;
}

std::string ReportDocumentAuthor(const TEmfProject& project) {
    return !project.EngineerName.empty() ? project.EngineerName : project.PeName;
}

bool ReportNeedsCrossSection(TReportKind kind) {
    return EntryOf(kind).ForCrossSection;
}

bool ReportRunsDataCheck(TReportKind kind) {
    return EntryOf(kind).RunsDataCheck;
}

bool ReportPrintsResults(TReportKind kind) {
    return EntryOf(kind).PrintsResults;
}

bool ReportCoversPlans(TReportKind kind) {
    return EntryOf(kind).CoversPlans;
}

bool ReportKindAvailable(TReportKind kind) {
    return EntryOf(kind).Create != nullptr;
}

std::unique_ptr<TReport> CreateReport(TReportKind kind, TEmfProject& project, TScenario* scenario,
                                      const TOptions& options, const TPlan* plan) {
    const TKindEntry& entry = EntryOf(kind);
    if (entry.Create == nullptr || (entry.ForCrossSection && scenario == nullptr)) return nullptr;
    return entry.Create(project, scenario, options, plan);
}

} // namespace corvalt
