// What every command shares, run as the program: output that cannot be
// written fails the command, unknown options are named, projects beyond the
// limits are refused, and a report stopped by a signal leaves nothing behind.
#include "CliRun.h"
#include "LargeProject.h"
#include "model/FileIo.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvalt::testing {
namespace {

namespace fs = std::filesystem;

class CommandLine : public TCliTest {};

TEST_F(CommandLine, OutputThatCannotBeWrittenFailsEveryCommandWithTheReason) {
    const std::string sample = " '" + Sample("sample-metric.emf") + "'";
    const std::string ini = " --ini '" + PathOf("none.INI") + "'";
    const std::string commands[] = {
        "check" + sample, "compute" + sample, "--version" + ini,
        "--help",         "prefs" + ini,      "prefs --path" + ini,
    };
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const TRun full = Run(command, "/dev/full");
        EXPECT_EQ(full.Exit, 2);
        EXPECT_EQ(full.Err, "corvalt-cli: cannot write to standard output: No space left on device\n");
        // A pipe whose reader has gone (compute | head): exit 2 with the
        // reason, not death by SIGPIPE.
        const TRun closed = Run(command, "", /*closedPipe=*/true);
        EXPECT_EQ(closed.Exit, 2);
        EXPECT_EQ(closed.Err, "corvalt-cli: cannot write to standard output: Broken pipe\n");
    }
    EXPECT_EQ(Run("check" + sample).Exit, 0); // the same command into a file succeeds
}

TEST_F(CommandLine, UnknownOptionsAreNamed) {
    const std::string sample = " '" + Sample("sample-metric.emf") + "'";
    const std::string out = " '" + PathOf("out") + "'";
    const std::pair<std::string, std::string> cases[] = {
        {"check --fast" + sample, "--fast"},
        {"compute" + sample + " -j", "-j"},
        {"resave" + sample + out + " --force", "--force"},
        {"bpa" + sample + out + " --sectoin 1", "--sectoin"},
        {"report" + sample + " --kind 3 --pdf" + out + " --landscape", "--landscape"},
        {"prefs --ini=x.INI --resav", "--resav"},
    };
    for (const auto& [command, option] : cases) {
        SCOPED_TRACE(command);
        const TRun run = Run(command);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Err,
                  "corvalt-cli: unknown option '" + option + "' (see corvalt-cli --help)\n");
    }
    EXPECT_TRUE(Names().empty());
}

TEST_F(CommandLine, AFileWhoseNameStartsWithADashFollowsTheEndOfOptions) {
    fs::copy_file(Sample("sample-metric.emf"), PathOf("-line.emf"));
    fs::current_path(folder_);
    EXPECT_EQ(Run("check -- -line.emf").Exit, 0);
    EXPECT_EQ(Run("bpa --section 1 -- -line.emf -line.bpa").Exit, 0);
    EXPECT_TRUE(fs::exists(PathOf("-line.bpa")));
    // "--" ends the options: an option after it is a file name.
    const TRun run = Run("bpa -- -line.emf --section");
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_TRUE(fs::exists(PathOf("--section")));
    fs::current_path(fs::temp_directory_path());
}

TEST_F(CommandLine, ProjectsBeyondTheLimitsAreRefusedWithTheirReason) {
    // Written as bytes: the program's own save refuses a project it could not reopen.
    ASSERT_EQ(ReplaceFile(PathOf("wide.emf"), SerializeProject(*MakeLargeProject(1, 501))), "");
    const std::string project = " '" + PathOf("wide.emf") + "'";
    for (const std::string& command :
         {"check" + project, "report" + project + " --kind 3 --pdf '" + PathOf("wide.pdf") + "'"}) {
        SCOPED_TRACE(command);
        const TRun run = Run(command);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find("more conductors than Corvalt supports (at most 500 in one "
                               "cross section)"),
                  std::string::npos)
            << run.Err;
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"wide.emf"});
}

// corvalt-cli with the arguments and the environment's TMPDIR set to tmp and
// XDG_RUNTIME_DIR unset, so both of its temporary folders go there.
pid_t StartCli(const std::vector<std::string>& arguments, const fs::path& tmp) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string text = *variable;
        if (text.rfind("TMPDIR=", 0) != 0 && text.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            environment.push_back(text);
    }
    environment.push_back("TMPDIR=" + tmp.string());
    std::vector<std::string> argv = {CORVALT_CLI};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> result;
        for (std::string& text : texts)
            result.push_back(text.data());
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> environmentPointers = pointers(environment);
    pid_t pid = -1;
    if (posix_spawn(&pid, CORVALT_CLI, nullptr, nullptr, argvPointers.data(),
                    environmentPointers.data()) != 0)
        return -1;
    return pid;
}

// Starts a report of the large project with its temporary folders in tmp
// and waits until both exist (its runtime folder and its page folder).
pid_t StartReport(const std::string& project, const std::string& pdf, const fs::path& tmp) {
    fs::create_directories(tmp);
    const pid_t pid = StartCli({"report", project, "--kind", "3", "--pdf", pdf}, tmp);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid > 0 && std::distance(fs::directory_iterator(tmp), fs::directory_iterator()) < 2 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return pid;
}

int Stop(pid_t pid, int signal) {
    kill(pid, signal);
    int status = 0;
    return waitpid(pid, &status, 0) == pid ? status : -1;
}

TEST_F(CommandLine, AReportStoppedByASignalLeavesNoTemporaryFolder) {
    // Forty cross sections of 500 conductors compute for seconds.
    ASSERT_TRUE(MakeLargeProject(40, 500)->Save(PathOf("large.emf")).Ok);
    const fs::path tmp = folder_ / "tmp";
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const pid_t pid = StartReport(PathOf("large.emf"), PathOf("large.pdf"), tmp);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator()), 2);
        const int status = Stop(pid, signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_TRUE(fs::is_empty(tmp));
        EXPECT_FALSE(fs::exists(PathOf("large.pdf")));
        fs::remove_all(tmp);
    }
    // SIGKILL leaves both folders; the next run removes them once they are
    // an hour old, and not before.
    ASSERT_GT(Stop(StartReport(PathOf("large.emf"), PathOf("large.pdf"), tmp), SIGKILL), -1);
    const auto runVersion = [&] { Stop(StartCli({"--version"}, tmp), 0); };
    runVersion();
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator()), 2);
    for (const auto& entry : fs::directory_iterator(tmp))
        fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(2));
    runVersion();
    EXPECT_TRUE(fs::is_empty(tmp));
}

} // namespace
} // namespace corvalt::testing
