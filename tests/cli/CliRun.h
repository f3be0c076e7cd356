#pragma once
// Runs corvalt-cli as a program for the command tests: a fresh folder per
// test, the exit code and what the program printed on stdout and stderr.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

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
        folder_ = std::filesystem::temp_directory_path() /
                  ("corvalt-cli-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Runs "corvalt-cli arguments" (arguments quoted by the caller as needed).
    TRun Run(const std::string& arguments) const {
        const std::filesystem::path out = folder_ / "stdout", err = folder_ / "stderr";
        // Built by appending: GCC 12 warns falsely on chains of string '+' here.
        std::string command = "'" CORVALT_CLI "' ";
        command.append(arguments).append(" >'").append(out.string());
        command.append("' 2>'").append(err.string()).append("'");
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }
    // A file in the test's folder.
    std::string PathOf(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

} // namespace corvalt::testing
