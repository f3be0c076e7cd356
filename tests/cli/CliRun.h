#pragma once
// Runs corvalt-cli as a user runs it and collects its exit code and output.

#include "tests/prefs/TempFolder.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace corvalt::test {

struct TCliRun {
    int Exit = -1;
    std::string Out, Err;
};

// "corvalt-cli arguments" with stdout and stderr captured in files of folder.
inline TCliRun RunCli(const std::string& arguments, const TTempFolder& folder) {
    const auto out = folder / "stdout", err = folder / "stderr";
    const std::string command =
        "'" CORVALT_CLI "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

inline std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

inline std::string SamplePath(const char* name) {
    return std::string(CORVALT_SOURCE_DIR) + "/examples/" + name;
}

} // namespace corvalt::test
