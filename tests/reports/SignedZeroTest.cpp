// Values that round to zero print as zero, without a minus sign, in every
// report: the summary tables, the conductor tables, the profile tables and
// the phase configuration drawing.
#include "ReportTestSupport.h"

#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"
#include "reports/ReptFCR2.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace corvalt {
namespace {

// A Metric cross section whose conductor, profile and maximum all lie a hair
// left of the reference line, with values a hair below zero.
std::unique_ptr<TEmfProject> HairBelowZero() {
    auto project = test::MakeProject(Metric); // ROW 50 / 50 m
    TScenario& scenario = project->Scenarios[0];
    TCircuit& circuit = test::AddLine(scenario, "PC", {{-0.004f, 15}, {6, 15}, {12, 15}});
    circuit.Conductors[1].PhaseAngle = -0.3f; // "%.0f"
    const auto record = [](float dist, float value) {
        TCalcResult r;
        r.Dist = r.DistM = dist;
        r.EMax = r.AnFairL50 = r.AnRainL50 = r.RiFair = r.RiRain = r.TviRain = value;
        r.BMax = value / 1000;
        r.Ozone = value / 1e5f;
        return r;
    };
    // The ROW edges, the largest field 0.3 m left of the reference line (its
    // distance "%.0f"), and a record of values that round to -0 at every
    // precision the reports use (0 to 6 decimals).
    scenario.Results = {record(-50, 1.0f), record(50, 1.2f), record(-0.3f, 5.0f),
                        record(-0.004f, -0.0004f)};
    scenario.Results[0].IsMarked = scenario.Results[1].IsMarked = 1;
    scenario.RowLeftResult = 0;
    scenario.RowRightResult = 1;
    scenario.MaxEResult = 2;
    scenario.RowMaxEResult = 1;
    scenario.RowMaxBResult = 1;
    return project;
}

// The texts with a number that reads "-0", "-0.0", "-0.00" and so on, joined
// with " | "; empty when there is none.
std::string SignedZeros(const TPageList& pages) {
    static const QRegularExpression signedZero(QStringLiteral(R"((?<![\d.])-0(\.0+)?(?![\d.]))"));
    QStringList found;
    for (const TPage& page : pages.Pages)
        for (const TTextCmd* text : page.Texts())
            if (signedZero.match(text->Text).hasMatch()) found << text->Text;
    return found.join(QStringLiteral(" | ")).toStdString();
}

bool Prints(const TPageList& pages, const QString& text) {
    for (const TPage& page : pages.Pages)
        if (!test::TextsOf(page, text).empty()) return true;
    return false;
}

TEST(SignedZero, ValuesThatRoundToZeroPrintWithoutASign) {
    auto project = HairBelowZero();
    TScenario& scenario = project->Scenarios[0];
    {
        SCOPED_TRACE("compliance report");
        TReptFCR2 report(*project, nullptr, TReptFCR2::PrintAll);
        const TPageList pages = test::RunReport(report);
        EXPECT_EQ(SignedZeros(pages), "");
        EXPECT_TRUE(Prints(pages, QStringLiteral("1A1: 0.0, 15.0"))); // the drawing's label
        EXPECT_TRUE(Prints(pages, QStringLiteral("0.00")));           // the conductor table
    }
    {
        SCOPED_TRACE("EMF details report");
        TReptDET report(*project, scenario);
        EXPECT_EQ(SignedZeros(test::RunReport(report)), "");
    }
    {
        SCOPED_TRACE("corona report");
        TReptBPA report(*project, scenario);
        const TPageList pages = test::RunReport(report);
        EXPECT_EQ(SignedZeros(pages), "");
        EXPECT_TRUE(Prints(pages, QStringLiteral("0.000000"))); // the ozone
    }
}

} // namespace
} // namespace corvalt
