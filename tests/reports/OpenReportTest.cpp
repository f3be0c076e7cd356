// The report-opening sequence: data check, computation, report of the kind,
// and the pages read back from the page file.
#include "ReportTestSupport.h"

#include "compute/Compute.h"
#include "engine/PageCanvas.h"
#include "engine/PageRenderer.h"
#include "prefs/Options.h"
#include "reports/OpenReport.h"
#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"
#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvalt {
namespace {

using TOutcome = TOpenedReport::TOutcome;

struct TOpenFixture : ::testing::Test {
    test::TTempFolder folder;
    TOptions options{folder / "corvalt.INI"};
    QString pageFile = QString::fromStdString((folder / "temp.rpt").string());
    TEmfProject project;

    void SetUp() override {
        const TFileResult loaded =
            project.Load((std::filesystem::path(CORVALT_SOURCE_DIR) / "examples" / "sample-english.emf").string());
        ASSERT_TRUE(loaded.Ok) << loaded.Detail;
    }
    TOpenedReport Open(TReportKind kind, int section = 0) {
        return OpenReport(project, &project.Scenarios[section], kind, options, pageFile);
    }
};

TEST_F(TOpenFixture, ComputesEveryCrossSectionAndReturnsThePagesOfTheFile) {
    std::vector<int> started;
    const TOpenedReport opened =
        OpenReport(project, &project.Scenarios[1], TReportKind::EmfDetails, options, pageFile,
                   [&](int page) { started.push_back(page); });
    ASSERT_EQ(opened.Outcome, TOutcome::Pages) << opened.Error.toStdString();
    for (const TScenario& scenario : project.Scenarios) {
        EXPECT_EQ(scenario.CalcError, "");
        EXPECT_FALSE(scenario.Results.empty());
    }
    ASSERT_FALSE(opened.Pages.Pages.empty());
    EXPECT_EQ(started.size(), opened.Pages.Pages.size());
    EXPECT_EQ(ReadPageFile(pageFile).Pages, opened.Pages);
    const QString text = opened.Pages.Pages[0].PlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Lutz to Bayview 115 kV double circuit")));
    EXPECT_FALSE(text.contains(QStringLiteral("n/a")));
}

// What the canvas recorded and what the page file gives back draw the same.
TEST_F(TOpenFixture, PageFileWrittenAndReadBackDrawsTheSame) {
    ComputeAll(project);
    TReptBPA report(project, project.Scenarios[0]);
    const TPageList recorded = test::RunReport(report);
    ASSERT_TRUE(WritePageFile(pageFile, recorded).isEmpty());
    const TPageFileResult read = ReadPageFile(pageFile);
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    ASSERT_EQ(read.Pages, recorded);
    for (std::size_t page = 0; page < recorded.Pages.size(); ++page) {
        SCOPED_TRACE(page + 1);
        EXPECT_EQ(RenderPageImage(read.Pages, page, 50), RenderPageImage(recorded, page, 50));
    }
}

TEST_F(TOpenFixture, DataCheckErrorsStopBeforeComputing) {
    project.Scenarios[2].Conductors[0]->Height = 0;
    const TOpenedReport opened = Open(TReportKind::CoronaEffects);
    ASSERT_EQ(opened.Outcome, TOutcome::CheckFailed);
    EXPECT_TRUE(HasErrors(opened.Findings));
    EXPECT_TRUE(project.Scenarios[0].Results.empty()); // nothing was computed
    EXPECT_FALSE(std::filesystem::exists(folder / "temp.rpt"));
}

TEST_F(TOpenFixture, CrossSectionThatCannotBeComputedPrintsItsReason) {
    project.Scenarios[0].SetDisplayRowRight(3e7f); // passes the check, too wide to lay out
    const TOpenedReport opened = Open(TReportKind::EmfDetails);
    ASSERT_EQ(opened.Outcome, TOutcome::Pages) << opened.Error.toStdString();
    EXPECT_NE(project.Scenarios[0].CalcError, "");
    EXPECT_TRUE(opened.Pages.Pages[0].PlainText().contains(QStringLiteral("cannot be computed")));
}

TEST_F(TOpenFixture, ReportsOfTheWholeProjectNeedNoCrossSectionOthersAreRefused) {
    for (const TReportKind kind : {TReportKind::FloridaCompliance, TReportKind::Tlsa}) {
        SCOPED_TRACE(ReportKindName(kind));
        const TOpenedReport opened = OpenReport(project, nullptr, kind, options, pageFile);
        ASSERT_EQ(opened.Outcome, TOutcome::Pages) << opened.Error.toStdString();
        EXPECT_FALSE(opened.Pages.Pages.empty());
    }
    const TOpenedReport opened =
        OpenReport(project, nullptr, TReportKind::EmfDetails, options, pageFile);
    EXPECT_EQ(opened.Outcome, TOutcome::Failed);
    EXPECT_EQ(opened.Error, QStringLiteral("The EMF details report needs a cross section; the "
                                           "project has none selected."));
}

TEST_F(TOpenFixture, TlsaFormSkipsTheDataCheckTheComplianceReportDoesNot) {
    project.Scenarios[2].Conductors[0]->Height = 0;
    EXPECT_EQ(Open(TReportKind::FloridaCompliance).Outcome, TOutcome::CheckFailed);
    const TOpenedReport form = Open(TReportKind::Tlsa);
    ASSERT_EQ(form.Outcome, TOutcome::Pages) << form.Error.toStdString();
    ASSERT_EQ(form.Pages.Pages.size(), 1u);
    EXPECT_TRUE(
        form.Pages.Pages[0].PlainText().contains(QStringLiteral("TLSA EXEMPTION NOTIFICATION")));
}

TEST_F(TOpenFixture, ComplianceReportReadsWhichCrossSectionsToPrint) {
    // The sample's second line holds none of the project's maxima.
    const std::size_t all = Open(TReportKind::FloridaCompliance).Pages.Pages.size();
    ASSERT_FALSE(options.WriteInteger(prefkeys::CsPrtOpt, 1));
    EXPECT_EQ(Open(TReportKind::FloridaCompliance).Pages.Pages.size(), all - 1);
}

TEST(ReportKinds, CodesNameTheFourReports) {
    EXPECT_EQ(ReportKindFromCode(3), TReportKind::EmfDetails);
    EXPECT_EQ(ReportKindFromCode(4), TReportKind::CoronaEffects);
    EXPECT_EQ(ReportKindFromCode(0), std::nullopt);
    EXPECT_EQ(ReportKindFromCode(5), TReportKind::FieldMap);
    EXPECT_EQ(ReportKindFromCode(6), std::nullopt);
    EXPECT_TRUE(ReportCoversPlans(TReportKind::FieldMap));
    EXPECT_FALSE(ReportCoversPlans(TReportKind::EmfDetails));
    EXPECT_FALSE(ReportRunsDataCheck(TReportKind::Tlsa));
    EXPECT_TRUE(ReportRunsDataCheck(TReportKind::FloridaCompliance));
    EXPECT_FALSE(ReportNeedsCrossSection(TReportKind::FloridaCompliance));
    EXPECT_TRUE(ReportNeedsCrossSection(TReportKind::CoronaEffects));
    EXPECT_FALSE(ReportPrintsResults(TReportKind::Tlsa));
    EXPECT_TRUE(ReportPrintsResults(TReportKind::FloridaCompliance));
    for (const int code : {1, 2, 3, 4, 5})
        EXPECT_TRUE(ReportKindAvailable(*ReportKindFromCode(code)));
}

} // namespace
} // namespace corvalt
