// corvalt-cli leaves the commands that render pages to corvalt-cli-render:
// corvalt-cli itself loads no Qt library, and without the renderer beside it a
// report says so instead of failing silently.
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
    const TRun refused = Run("report " + sample + " --kind 5 --pdf '" + PathOf("x.pdf") + "'");
    EXPECT_EQ(refused.Exit, 2);
    EXPECT_EQ(refused.Err.rfind("corvalt-cli: --kind must be 1, 2, 3 or 4", 0), 0u) << refused.Err;
    const TRun written = Run("report " + sample + " --kind 3 --pdf '" + PathOf("x.pdf") + "'");
    EXPECT_EQ(written.Exit, 0) << written.Err;
    EXPECT_EQ(Slurp(PathOf("x.pdf")).rfind("%PDF-", 0), 0u);
}

TEST_F(RendererHandoff, WithoutTheRendererAReportSaysWhyAndOtherCommandsStillRun) {
    const fs::path alone = fs::path(PathOf("corvalt-cli"));
    fs::copy_file(CORVALT_CLI, alone);
    const std::string sample = "'" + Sample("sample-english.emf") + "'";

    const TRun report = Shell("'" + alone.string() + "' report " + sample + " --kind 3 --pdf '" +
                              PathOf("out.pdf") + "'");
    EXPECT_EQ(report.Exit, 2);
    EXPECT_EQ(report.Err.rfind("corvalt-cli: cannot start ", 0), 0u) << report.Err;
    EXPECT_NE(report.Err.find("corvalt-cli-render"), std::string::npos) << report.Err;
    EXPECT_EQ(std::count(report.Err.begin(), report.Err.end(), '\n'), 1) << report.Err;
    EXPECT_FALSE(fs::exists(PathOf("out.pdf")));

    const TRun compute = Shell("'" + alone.string() + "' compute " + sample);
    EXPECT_EQ(compute.Exit, 0) << compute.Err;
    EXPECT_EQ(compute.Out.rfind("{", 0), 0u);
}

} // namespace
} // namespace corvalt::testing
