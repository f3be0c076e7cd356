#include "cli/RendererHandoff.h"

#include "cli/Commands.h"
#include "prefs/IniLocation.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace corvalt::cli {

int RunInRenderer(char** argv) {
    const std::filesystem::path program = RunningProgramFile();
    if (program.empty())
        return Fail(ExitBadInput,
                    std::string("cannot find the folder of corvalt-cli to start ") + kRendererName);
    const std::string renderer = (program.parent_path() / kRendererName).string();
    std::vector<char*> arguments;
    arguments.push_back(const_cast<char*>(renderer.c_str()));
    for (char** argument = argv + 1; *argument != nullptr; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    ::execv(renderer.c_str(), arguments.data());
    const int error = errno;
    return Fail(ExitBadInput,
                "cannot start " + renderer + ", which runs this command: " + std::strerror(error));
}

} // namespace corvalt::cli
