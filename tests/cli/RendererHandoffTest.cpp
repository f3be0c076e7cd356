// corvalt-cli leaves the commands that render with Qt (report, plot) to
// corvalt-cli-render: corvalt-cli itself loads no Qt library, and without the
// renderer beside it those commands say so instead of failing silently.
#include "CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace corvalt::testing {
namespace {

namespace fs = std::filesystem;

class RendererHandoff : public TCliTest {
  protected:
    // Runs a shell command line with stdout and stderr captured.
    TRun Shell(const std::string& commandLine) const {
        const std::string out = PathOf("stdout"), err = PathOf("stderr");
        const int status = std::system((commandLine + " >'" + out + "' 2>'" + err + "'").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }
};

TEST_F(RendererHandoff, CorvaltCliLoadsNoQtLibrary) {
    // The dynamic loader lists the libraries it would load, as ldd does.
    const TRun run = Shell("LD_TRACE_LOADED_OBJECTS=1 '" CORVALT_CLI "'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find("libc.so"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("libQt"), std::string::npos) << run.Out;
}

TEST_F(RendererHandoff, ReportsGoThroughTheRendererWithTheSameExitCodes) {
    const std::string sample = "'" + Sample("sample-english.emf") + "'";
    // A report's own refusal comes back unchanged from the renderer.
    const TRun refused = Run("report " + sample + " --kind 6 --pdf '" + PathOf("x.pdf") + "'");
    EXPECT_EQ(refused.Exit, 2);
    EXPECT_EQ(refused.Err.rfind("corvalt-cli: --kind must be 1, 2, 3, 4 or map", 0), 0u)
        << refused.Err;
    const TRun written = Run("report " + sample + " --kind 3 --pdf '" + PathOf("x.pdf") + "'");
    EXPECT_EQ(written.Exit, 0) << written.Err;
    EXPECT_EQ(Slurp(PathOf("x.pdf")).rfind("%PDF-", 0), 0u);
}

TEST_F(RendererHandoff, WithoutTheRendererReportAndPlotSayWhyAndOtherCommandsStillRun) {
    const fs::path alone = fs::path(PathOf("corvalt-cli"));
    fs::copy_file(CORVALT_CLI, alone);
    const std::string sample = "'" + Sample("sample-english.emf") + "'";

    const std::string rendered[] = {
        "report " + sample + " --kind 3 --pdf '" + PathOf("out.pdf") + "'",
        "plot " + sample + " --out '" + PathOf("out.png") + "'",
    };
    for (const std::string& arguments : rendered) {
        SCOPED_TRACE(arguments);
        const TRun run = Shell("'" + alone.string() + "' " + arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Err.rfind("corvalt-cli: cannot start ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find("corvalt-cli-render"), std::string::npos) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    }
    EXPECT_FALSE(fs::exists(PathOf("out.pdf")));
    EXPECT_FALSE(fs::exists(PathOf("out.png")));

    const TRun compute = Shell("'" + alone.string() + "' compute " + sample);
    EXPECT_EQ(compute.Exit, 0) << compute.Err;
    EXPECT_EQ(compute.Out.rfind("{", 0), 0u);
}

} // namespace
} // namespace corvalt::testing
