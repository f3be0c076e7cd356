#pragma once
// Runs corvalt-cli as a program for the command tests: a fresh folder per
// test, the exit code and what the program printed on stdout and stderr.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace corvalt::testing {

struct TRun {
    int Exit = -1;
    std::string Out, Err;
};

inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A sample project of examples/.
inline std::string Sample(const char* name) {
    return (std::filesystem::path(CORVALT_SOURCE_DIR) / "examples" / name).string();
}

class TCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The process id keeps test runs of other build trees apart.
        folder_ = std::filesystem::temp_directory_path() /
                  ("corvalt-cli-" + std::to_string(getpid()) + "-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Runs "corvalt-cli arguments" (arguments quoted by the caller as needed);
    // standard output goes to stdoutTarget when one is given (e.g. /dev/full),
    // or to a pipe whose reading end is already closed.
    TRun Run(const std::string& arguments, const std::string& stdoutTarget = {},
             bool closedPipe = false) const {
        const std::filesystem::path out = folder_ / "stdout", err = folder_ / "stderr";
        // Built by appending: GCC 12 warns falsely on chains of string '+' here.
        std::string command = "'" CORVALT_CLI "' ";
        command.append(arguments);
        if (!closedPipe) {
            command.append(" >'");
            command.append(stdoutTarget.empty() ? out.string() : stdoutTarget);
            command.append("'");
        }
        command.append(" 2>'").append(err.string()).append("'");
        const int status = closedPipe ? SystemIntoClosedPipe(command) : std::system(command.c_str());
        const bool captured = stdoutTarget.empty() && !closedPipe;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, captured ? Slurp(out) : std::string(),
                Slurp(err)};
    }
    // std::system with standard output a pipe that nobody reads any more.
    static int SystemIntoClosedPipe(const std::string& command) {
        int ends[2];
        if (pipe(ends) != 0) return -1;
        close(ends[0]);
        const pid_t child = fork();
        if (child == 0) {
            dup2(ends[1], STDOUT_FILENO);
            close(ends[1]);
            signal(SIGPIPE, SIG_DFL); // as a shell pipeline would leave it
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ends[1]);
        int status = -1;
        if (child > 0) waitpid(child, &status, 0);
        return status;
    }
    // A file in the test's folder.
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    // The names in the test's folder, without the runner's own files.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            if (name != "stdout" && name != "stderr") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path folder_;
};

} // namespace corvalt::testing
