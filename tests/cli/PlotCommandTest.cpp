// corvalt-cli plot, run as the program without a display: a PNG, an SVG and a
// PDF of every cross section of every sample, fields and corona; the exit
// codes of bad arguments, of a missing cross section and of one that cannot
// be computed (which writes nothing).
#include "CliRun.h"
#include "model/Project.h"
#include "tests/compute/LineBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
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
