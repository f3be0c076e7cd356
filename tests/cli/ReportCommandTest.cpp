// corvalt-cli report, run as the program: PDF files of the sample projects,
// and what it refuses.
#include "CliRun.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace corvalt::testing {
namespace {

namespace fs = std::filesystem;

class ReportCommand : public TCliTest {};

// Pages of a PDF file: one "/Type /Page" object each (the tree is "/Pages").
int PdfPageCount(const std::string& pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type"); at != std::string::npos;
         at = pdf.find("/Type", at + 1)) {
        std::size_t next = at + 5;
        while (next < pdf.size() && std::isspace(static_cast<unsigned char>(pdf[next])))
            ++next;
        if (pdf.compare(next, 5, "/Page") == 0 && (next + 5 >= pdf.size() || pdf[next + 5] != 's'))
            ++pages;
    }
    return pages;
}

TEST_F(ReportCommand, WritesAPdfForEveryCrossSectionOfTheSamples) {
    struct TCase {
        const char* Sample;
        int Sections;
    };
    ASSERT_FALSE(fs::exists("temp.rpt"));
    for (const TCase& sample : {TCase{"sample-english.emf", 3}, TCase{"sample-metric.emf", 1}}) {
        for (int section = 1; section <= sample.Sections; ++section) {
            for (const int kind : {3, 4}) {
                const std::string pdf = PathOf("report.pdf");
                SCOPED_TRACE(std::string(sample.Sample) + " section " + std::to_string(section) +
                             " kind " + std::to_string(kind));
                const TRun run =
                    Run("report '" + Sample(sample.Sample) + "' --kind " + std::to_string(kind) +
                        " --section " + std::to_string(section) + " --pdf '" + pdf + "'");
                EXPECT_EQ(run.Exit, 0) << run.Err;
                EXPECT_EQ(run.Err, "");
                const std::string file = Slurp(pdf);
                EXPECT_EQ(file.rfind("%PDF-", 0), 0u);
                EXPECT_NE(file.find("%%EOF", file.size() - 8), std::string::npos);
                // The corona report's profile always runs over more than one page.
                EXPECT_GE(PdfPageCount(file), kind == 4 ? 2 : 1);
                fs::remove(pdf);
            }
        }
    }
    // The page file goes to a temporary folder, not the current one.
    EXPECT_FALSE(fs::exists("temp.rpt"));
}

TEST_F(ReportCommand, ComplianceReportAndTlsaFormOfTheSamples) {
    struct TCase {
        const char* Sample;
        int Kind;
        // summary page, one details page per cross section and the field
        // limits statement (two pages for the three of the English sample);
        // the form
        int Pages;
    };
    for (const TCase& c : {TCase{"sample-english.emf", 1, 6}, TCase{"sample-metric.emf", 1, 3},
                           TCase{"sample-english.emf", 2, 1}, TCase{"sample-metric.emf", 2, 1}}) {
        SCOPED_TRACE(std::string(c.Sample) + " kind " + std::to_string(c.Kind));
        const std::string pdf = PathOf("report.pdf");
        // Without a preferences file every cross section gets a details section.
        const TRun run = Run("report '" + Sample(c.Sample) + "' --kind " + std::to_string(c.Kind) +
                             " --ini '" + PathOf("none.INI") + "' --pdf '" + pdf + "'");
        EXPECT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        const std::string file = Slurp(pdf);
        EXPECT_EQ(file.rfind("%PDF-", 0), 0u);
        EXPECT_NE(file.find("%%EOF", file.size() - 8), std::string::npos);
        EXPECT_EQ(PdfPageCount(file), c.Pages);
        fs::remove(pdf);
    }
}

TEST_F(ReportCommand, ComplianceReportReadsWhichCrossSectionsToPrintFromThePreferences) {
    // "Maximum Readings Only": the sample's 115 DC line holds no maximum; and
    // no field limits statement.
    const std::string ini = PathOf("corvalt.INI");
    {
        std::ofstream out(ini);
        out << "[Project]\nCsPrtOpt=1\n[Reports]\nLimitsStatement=0\n";
    }
    const TRun run = Run("report '" + Sample("sample-english.emf") + "' --kind 1 --ini '" + ini +
                         "' --pdf '" + PathOf("out.pdf") + "'");
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(PdfPageCount(Slurp(PathOf("out.pdf"))), 3);
}

// Every cross section of the English sample keeps within the Florida limits:
// 230 SC has five ROW values, one point inside the ROW (E only) and two
// outside (E and B); 115 DC five, one inside and one outside; the substation
// four boundary values (no limit within it) and one point outside.
TEST_F(ReportCommand, ComplianceStatementOfALineWithinItsLimits) {
    const std::string pdf = PathOf("report.pdf");
    const TRun run = Run("report '" + Sample("sample-english.emf") + "' --kind 1 --ini '" +
                         PathOf("none.INI") + "' --pdf '" + pdf + "'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    if (std::system("command -v pdftotext > /dev/null") != 0) GTEST_SKIP() << "no pdftotext";
    ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + PathOf("report.txt") + "'").c_str()), 0);
    const std::string text = Slurp(PathOf("report.txt"));
    for (const char* sentence :
         {"All 10 values are within the limits.", "All 8 values are within the limits.",
          "All 6 values are within the limits."})
        EXPECT_NE(text.find(sentence), std::string::npos) << sentence;
    EXPECT_EQ(text.find("over"), std::string::npos);
}

// The Info dictionary of a PDF as pdfinfo shows it ("Title", ...).
std::string PdfInfoLine(const std::string& pdf, const std::string& key, const std::string& out) {
    if (std::system(("pdfinfo '" + pdf + "' > '" + out + "'").c_str()) != 0) return "?";
    const std::string info = "\n" + Slurp(out); // every key starts a line
    const std::size_t at = info.find("\n" + key + ":");
    if (at == std::string::npos) return {};
    std::size_t from = info.find_first_not_of(' ', at + key.size() + 2);
    return info.substr(from, info.find('\n', from) - from);
}

// Each kind of report names itself and the project in its PDF's title and the
// engineer as its author; with --pdfa the file is written as PDF/A-1b (its
// output intent and metadata say so).
TEST_F(ReportCommand, PdfTitlesNameTheReportKindAndPdfAIsWrittenOnRequest) {
    if (std::system("command -v pdfinfo > /dev/null") != 0) GTEST_SKIP() << "no pdfinfo";
    const std::string project = "Suncoast 230/115 kV Sample Project";
    const std::string dash = " \u2014 ";
    const std::pair<int, std::string> titles[] = {
        {1, "Florida Compliance Report" + dash + project},
        {2, "TLSA Exemption Notification" + dash + project},
        {3, "EMF Details Report" + dash + project + dash + "230 SC"},
        {4, "Corona and Field Effects Report" + dash + project + dash + "230 SC"}};
    for (const auto& [kind, title] : titles) {
        SCOPED_TRACE(kind);
        const std::string pdf = PathOf("kind" + std::to_string(kind) + ".pdf");
        const TRun run = Run("report '" + Sample("sample-english.emf") + "' --kind " +
                             std::to_string(kind) + " --ini '" + PathOf("none.INI") + "' --pdf '" +
                             pdf + "'" + (kind == 3 ? " --pdfa" : ""));
        ASSERT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(PdfInfoLine(pdf, "Title", PathOf("info.txt")), title);
        // The project's engineer, as the sample project names her.
        EXPECT_EQ(PdfInfoLine(pdf, "Author", PathOf("info.txt")), "Maria Delgado");
        const std::string file = Slurp(pdf);
        EXPECT_EQ(file.find("GTS_PDFA1") != std::string::npos, kind == 3);
        EXPECT_EQ(file.find("pdfaid:part") != std::string::npos, kind == 3);
    }
}

TEST_F(ReportCommand, TlsaFormNeedsNoDataCheckOrComputation) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-metric.emf")).Ok);
    project.Scenarios[0].Conductors[1]->Height = 0; // fails the data check
    ASSERT_TRUE(project.Save(PathOf("faulty.emf")).Ok);
    TEmfProject empty;
    empty.Title = "No cross sections";
    ASSERT_TRUE(empty.Save(PathOf("empty.emf")).Ok);
    for (const char* file : {"faulty.emf", "empty.emf"}) {
        SCOPED_TRACE(file);
        const TRun run =
            Run("report '" + PathOf(file) + "' --kind 2 --pdf '" + PathOf("form.pdf") + "'");
        EXPECT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(PdfPageCount(Slurp(PathOf("form.pdf"))), 1);
        fs::remove(PathOf("form.pdf"));
    }
    // The compliance report of the faulty project stops at the data check.
    const TRun compliance =
        Run("report '" + PathOf("faulty.emf") + "' --kind 1 --pdf '" + PathOf("out.pdf") + "'");
    EXPECT_EQ(compliance.Exit, 1);
    EXPECT_NE(compliance.Err.find("Conductor '1B1' has a 0 height"), std::string::npos);
    EXPECT_FALSE(fs::exists(PathOf("out.pdf")));
}

TEST_F(ReportCommand, DataCheckFailureExitsWithOneAndTheFindings) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-metric.emf")).Ok);
    project.Scenarios[0].Conductors[1]->Height = 0;
    ASSERT_TRUE(project.Save(PathOf("faulty.emf")).Ok);
    const TRun run =
        Run("report '" + PathOf("faulty.emf") + "' --kind 3 --pdf '" + PathOf("out.pdf") + "'");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("the data check found errors:\n"
                           "CrossSection: RS 138- Riverside 138 kV\n"
                           "  Circuit RS 138\n"
                           "    Conductor '1B1' has a 0 height\n"),
              std::string::npos)
        << run.Err;
    EXPECT_FALSE(fs::exists(PathOf("out.pdf")));
}

// A report with a cross section that cannot be computed is not written: the
// reason on stderr, exit 1, and an earlier file of that name is left as it is.
// Reports of one cross section only mind that one.
TEST_F(ReportCommand, CrossSectionThatCannotBeComputedWritesNoPdfAndExitsWithOne) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-site.emf")).Ok);
    project.Scenarios[1].SetDisplayRowRight(1e7f); // passes the data check, too wide to lay out
    ASSERT_TRUE(project.Save(PathOf("wide.emf")).Ok);
    {
        std::ofstream earlier(PathOf("earlier.pdf"));
        earlier << "earlier";
    }
    for (const std::string kind : {"1", "3 --section 2", "4 --section 2"}) {
        SCOPED_TRACE(kind);
        const TRun run = Run("report '" + PathOf("wide.emf") + "' --kind " + kind + " --pdf '" +
                             PathOf("out.pdf") + "'");
        EXPECT_EQ(run.Exit, 1);
        EXPECT_EQ(run.Err.rfind("corvalt-cli: Cross section 'Crossing' cannot be computed: ", 0),
                  0u)
            << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        EXPECT_FALSE(fs::exists(PathOf("out.pdf")));
        const TRun over = Run("report '" + PathOf("wide.emf") + "' --kind " + kind + " --pdf '" +
                              PathOf("earlier.pdf") + "'");
        EXPECT_EQ(over.Exit, 1);
        EXPECT_EQ(Slurp(PathOf("earlier.pdf")), "earlier");
    }
    // The other cross section's reports are whole.
    const TRun other = Run("report '" + PathOf("wide.emf") + "' --kind 3 --section 1 --pdf '" +
                           PathOf("out.pdf") + "'");
    EXPECT_EQ(other.Exit, 0) << other.Err;
    EXPECT_GE(PdfPageCount(Slurp(PathOf("out.pdf"))), 1);
}

TEST_F(ReportCommand, MapReportOfOnePlanOrOfEvery) {
    // A page per map and one for the footprints and the plan's data, which
    // for the sample's small plans fit on one.
    const std::string plans = " '" + Sample("sample-plans.emf") + "'";
    for (const auto& [plan, pages] :
         {std::pair{std::string(), 6},
          std::pair{std::string(" --plan 'Bayside 115 kV entry'"), 3}}) {
        SCOPED_TRACE(plan);
        const std::string pdf = PathOf("map.pdf");
        const TRun run = Run("report" + plans + " --kind map --pdf '" + pdf + "'" + plan);
        EXPECT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(PdfPageCount(Slurp(pdf)), pages);
    }
}

TEST_F(ReportCommand, RefusesWhatItCannotUse) {
    const std::string sample = " '" + Sample("sample-english.emf") + "'";
    const std::string pdf = " --pdf '" + PathOf("out.pdf") + "'";
    struct TCase {
        std::string Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"report" + sample + pdf,
         "usage: corvalt-cli report FILE.emf --kind 1|2|3|4|map --pdf OUT.pdf"},
        {"report" + sample + " --kind 3", "usage: corvalt-cli report"},
        {"report" + sample + pdf + " --kind 6", "--kind must be 1, 2, 3, 4 or map, not '6'"},
        {"report" + sample + pdf + " --kind map", "the project has no plans to map"},
        {"report" + sample + pdf + " --kind 3 --plan Corner", "--plan goes with --kind map only"},
        {"report '" + Sample("sample-plans.emf") + "'" + pdf + " --kind map --plan 'No such'",
         "there is no plan named 'No such' (the project has 2 plans)"},
        {"report" + sample + pdf + " --kind 3 --section 4",
         "there is no cross section 4 (the project has 3)"},
        {"report '" + PathOf("missing.emf") + "'" + pdf + " --kind 3", "File does not exist"},
        {"report" + sample + " --kind 4 --pdf '" + PathOf("no folder") + "/out.pdf'", "out.pdf"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TRun run = Run(c.Arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Err.rfind("corvalt-cli: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    }
    EXPECT_FALSE(fs::exists(PathOf("out.pdf")));
}

} // namespace
} // namespace corvalt::testing
