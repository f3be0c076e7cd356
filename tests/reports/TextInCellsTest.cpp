// Texts printed in table cells stay inside them: no text reaches the box line
// at either side of its cell, in any report of the sample project, except
// where a cell without margin sets its text flush against its side (the
// distances of the details report's profile).
#include "ReportTestSupport.h"

#include "compute/Compute.h"
#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"
#include "reports/ReptFCR2.h"
#include "reports/ReptTLSA.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace corvalt {
namespace {

// The texts that reach a vertical line beside them: the line runs through the
// height of the text's capitals (0.72 of the size above the baseline) and lies
// within its width or closer than 0.005 in to it, but not exactly at its start
// or end.
QStringList TextsOnVerticalLines(const TPage& page) {
    QStringList found;
    const auto lines = test::CommandsOf<TLineCmd>(page);
    for (const TTextCmd* text : page.Texts()) {
        const double top = text->Y - 0.72 * text->Font.Size / 72;
        for (const TLineCmd& line : lines) {
            if (line.X1 != line.X2) continue;
            const double lineTop = std::min(line.Y1, line.Y2);
            const double lineBottom = std::max(line.Y1, line.Y2);
            if (lineBottom <= top || lineTop >= text->Y) continue;
            const double start = text->X, end = text->X + text->Width;
            const bool flush = std::abs(line.X1 - start) < 1e-9 || std::abs(line.X1 - end) < 1e-9;
            if (!flush && line.X1 > start - 0.005 && line.X1 < end + 0.005) {
                found << text->Text;
                break;
            }
        }
    }
    return found;
}

TEST(TextInCells, NoTextReachesTheSideOfItsCell) {
    TEmfProject project;
    ASSERT_TRUE(
        project
            .Load((std::filesystem::path(CORVALT_SOURCE_DIR) / "examples" / "sample-english.emf")
                      .string())
            .Ok);
    ComputeAll(project);
    std::vector<std::pair<std::string, TPageList>> reports;
    {
        TReptFCR2 report(project, nullptr, TReptFCR2::PrintAll);
        reports.emplace_back("compliance", test::RunReport(report));
    }
    for (TScenario& scenario : project.Scenarios) {
        TReptDET details(project, scenario);
        reports.emplace_back("details " + scenario.TabTitle, test::RunReport(details));
        TReptBPA corona(project, scenario);
        reports.emplace_back("corona " + scenario.TabTitle, test::RunReport(corona));
    }
    for (const auto& [name, pages] : reports) {
        for (std::size_t p = 0; p < pages.Pages.size(); ++p) {
            SCOPED_TRACE(name + " page " + std::to_string(p + 1));
            EXPECT_EQ(
                TextsOnVerticalLines(pages.Pages[p]).join(QStringLiteral(" | ")).toStdString(), "");
        }
    }
}

} // namespace
} // namespace corvalt
