// corvalt-cli plot, run as the program without a display: a PNG, an SVG and a
// PDF of every cross section of every sample, fields and corona; the exit
// codes of bad arguments, of a missing cross section and of one that cannot
// be computed (which writes nothing); a PNG of the size asked for and a PDF on
// landscape paper with its title block.
#include "CliRun.h"
#include "model/Project.h"
#include "model/Version.h"
#include "tests/compute/LineBuilder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include <sys/stat.h>

using namespace corvalt;
using corvalt::testing::Sample;
using corvalt::testing::TRun;

namespace {

class PlotCommand : public corvalt::testing::TCliTest {
  protected:
    // The first bytes each format starts with.
    static bool HasMagic(const std::string& bytes, const std::string& extension) {
        if (extension == "png") return bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0;
        if (extension == "pdf")
            return bytes.rfind("%PDF-", 0) == 0 && bytes.find("%%EOF") != std::string::npos;
        return bytes.rfind("<?xml", 0) == 0 && bytes.find("<svg") != std::string::npos &&
               bytes.find("</svg>") != std::string::npos;
    }
    // A PNG's width and height: the IHDR chunk's first two big-endian words,
    // right after the 8-byte signature and the chunk's length and type.
    static std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& bytes) {
        const auto word = [&bytes](std::size_t at) {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < 4; ++i)
                value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
            return value;
        };
        EXPECT_EQ(bytes.substr(12, 4), "IHDR");
        return {word(16), word(20)};
    }
    // The first page's "/MediaBox [0 0 width height]" in points; 0 x 0 without one.
    static std::pair<double, double> MediaBox(const std::string& pdf) {
        const std::size_t key = pdf.find("/MediaBox");
        const std::size_t open = key == std::string::npos ? key : pdf.find('[', key);
        if (open == std::string::npos) return {0, 0};
        std::istringstream numbers(pdf.substr(open + 1, 80));
        double x0 = -1, y0 = -1, width = 0, height = 0;
        numbers >> x0 >> y0 >> width >> height;
        if (!numbers || x0 != 0 || y0 != 0) return {0, 0};
        return {width, height};
    }
};

TEST_F(PlotCommand, WritesEveryFormatForEverySectionOfEverySample) {
    struct TSample {
        const char* Name;
        int Sections;
    };
    for (const TSample sample :
         {TSample{"sample-english.emf", 3}, TSample{"sample-metric.emf", 1}}) {
        for (int section = 1; section <= sample.Sections; ++section) {
            for (const char* extension : {"png", "svg", "pdf"}) {
                for (const char* corona : {"", " --corona"}) {
                    SCOPED_TRACE(std::string(sample.Name) + " section " + std::to_string(section) +
                                 " " + extension + corona);
                    const std::string out = PathOf(std::string("plot.") + extension);
                    const TRun run = Run("plot '" + Sample(sample.Name) + "' --out '" + out +
                                         "' --section " + std::to_string(section) + corona);
                    ASSERT_EQ(run.Exit, 0) << run.Err;
                    EXPECT_EQ(run.Err, "");
                    EXPECT_TRUE(HasMagic(corvalt::testing::Slurp(out), extension));
                    std::filesystem::remove(out);
                }
            }
        }
    }
}

TEST_F(PlotCommand, BadArgumentsAndMissingSectionsExitTwo) {
    const std::string sample = "'" + Sample("sample-metric.emf") + "'";
    struct TCase {
        std::string Arguments;
        std::string Message;
    };
    const TCase cases[] = {
        {"plot " + sample, "usage: corvalt-cli plot"},
        {"plot " + sample + " --out '" + PathOf("p.jpg") + "'", "must end in .png, .svg or .pdf"},
        {"plot " + sample + " --out '" + PathOf("p") + "'", "must end in .png, .svg or .pdf"},
        {"plot " + sample + " --out '" + PathOf("p.png") + "' --section 2",
         "there is no cross section 2 (the project has 1)"},
        {"plot " + sample + " --out '" + PathOf("p.png") + "' --section 0", "--section"},
        {"plot " + sample + " --out '" + PathOf("p.png") + "' --fields", "--fields"},
        {"plot '" + PathOf("missing.emf") + "' --out '" + PathOf("p.png") + "'", "missing.emf"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TRun run = Run(c.Arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
    EXPECT_TRUE(Names().empty());
}

TEST_F(PlotCommand, SizeSetsThePixelsAndPaperTheLandscapePage) {
    const std::string sample = "'" + Sample("sample-metric.emf") + "'";
    ASSERT_EQ(Run("plot " + sample + " --size 1600x1000 --out '" + PathOf("big.png") + "'").Exit, 0);
    EXPECT_EQ(PngSize(corvalt::testing::Slurp(PathOf("big.png"))),
              (std::pair<std::uint32_t, std::uint32_t>(1600, 1000)));
    ASSERT_EQ(Run("plot " + sample + " --size=100x10000 --out '" + PathOf("edge.png") + "'").Exit, 0);
    EXPECT_EQ(PngSize(corvalt::testing::Slurp(PathOf("edge.png"))),
              (std::pair<std::uint32_t, std::uint32_t>(100, 10000)));

    // A4 is 210 x 297 mm, Letter 8.5 x 11 in; landscape, in points of 1/72 in.
    const std::string a4 = PathOf("a4.pdf"), letter = PathOf("letter.pdf");
    ASSERT_EQ(Run("plot " + sample + " --paper a4 --corona --out '" + a4 + "'").Exit, 0);
    ASSERT_EQ(Run("plot " + sample + " --paper LETTER --out '" + letter + "'").Exit, 0);
    // 297 mm = 841.9 pt, 210 mm = 595.3 pt, rounded as every PDF reader shows them.
    const auto [a4Width, a4Height] = MediaBox(corvalt::testing::Slurp(a4));
    EXPECT_NEAR(a4Width, 842, 0.5);
    EXPECT_NEAR(a4Height, 595, 0.5);
    EXPECT_EQ(MediaBox(corvalt::testing::Slurp(letter)), (std::pair<double, double>(792, 612)));

    if (std::system("command -v pdftotext > /dev/null") != 0) GTEST_SKIP() << "no pdftotext";
    ASSERT_EQ(std::system(("pdftotext '" + a4 + "' '" + PathOf("a4.txt") + "'").c_str()), 0);
    const std::string text = corvalt::testing::Slurp(PathOf("a4.txt"));
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-metric.emf")).Ok);
    ASSERT_FALSE(project.Title.empty() || project.Scenarios[0].Title.empty());
    for (const std::string& expected :
         {std::string("Project"), project.Title, std::string("Cross section"),
          project.Scenarios[0].Title, std::string("Corvalt ") + kVersionText})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    // A date "20YY-MM-DD".
    const auto isDateAt = [&text](std::size_t at) {
        for (std::size_t i = 0; i < 10; ++i) {
            const char c = text[at + i];
            if ((i == 4 || i == 7) ? c != '-' : !std::isdigit(static_cast<unsigned char>(c)))
                return false;
        }
        return text.compare(at, 2, "20") == 0;
    };
    bool dated = false;
    for (std::size_t at = 0; !dated && at + 10 <= text.size(); ++at)
        dated = isDateAt(at);
    EXPECT_TRUE(dated) << text;
}

TEST_F(PlotCommand, SizesOutOfRangeAndPaperForAnythingButPdfAreRefused) {
    const std::string sample = "'" + Sample("sample-metric.emf") + "'";
    const std::string png = " --out '" + PathOf("p.png") + "'";
    const std::string pdf = " --out '" + PathOf("p.pdf") + "'";
    struct TCase {
        std::string Arguments;
        std::string Message;
    };
    const std::string range = "--size needs WIDTHxHEIGHT, whole numbers from 100 to 10000";
    const TCase cases[] = {
        {png + " --size 99x500", range + ", not '99x500'"},
        {png + " --size 500x10001", range},
        {png + " --size 1600.5x1000", range},
        {png + " --size 1600", range},
        {png + " --size x", range},
        {png + " --paper a4", "--paper is for a PDF only"},
        {" --out '" + PathOf("p.svg") + "' --paper letter", "--paper is for a PDF only"},
        {pdf + " --paper a3", "--paper needs letter or a4, not 'a3'"},
        {pdf + " --paper a4 --size 800x600", "--size and --paper cannot go together"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TRun run = Run("plot " + sample + c.Arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
    EXPECT_TRUE(Names().empty());
}

TEST_F(PlotCommand, PipesAndDevicesAreRefusedAsForProjects) {
    ASSERT_EQ(mkfifo(PathOf("pipe.png").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/null", PathOf("null.svg"));
    for (const char* target : {"pipe.png", "null.svg"}) {
        SCOPED_TRACE(target);
        const TRun run =
            Run("plot '" + Sample("sample-metric.emf") + "' --out '" + PathOf(target) + "'");
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find("is not a regular file"), std::string::npos) << run.Err;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(PathOf("pipe.png"))));
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(PathOf("null.svg"))));
}

TEST_F(PlotCommand, ACrossSectionThatCannotBeComputedExitsOneAndWritesNothing) {
    TEmfProject project;
    TCircuit& circuit =
        corvalt::testing::AddCircuit(corvalt::testing::AddScenario(project, "Broken"));
    corvalt::testing::AddConductor(circuit, {.X = 0, .Y = 11, .DiameterMm = 0, .VoltageKv = 230});
    const std::string broken = PathOf("broken.emf");
    ASSERT_TRUE(project.Save(broken).Ok);
    const TRun run = Run("plot '" + broken + "' --out '" + PathOf("p.png") + "'");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("Cross section 'Broken' cannot be computed"), std::string::npos)
        << run.Err;
    EXPECT_FALSE(std::filesystem::exists(PathOf("p.png")));
}

} // namespace
