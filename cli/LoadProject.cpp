#include "cli/Commands.h"

#include "model/Project.h"

namespace corvalt::cli {

int LoadProjectFile(const std::string& path, TEmfProject& project) {
    const TFileResult result = project.Load(path);
    if (result.Ok) {
        project.FileName = path;
        return ExitOk;
    }
    std::string message = path + ": " + result.Message;
    if (!result.Detail.empty()) message += " (" + result.Detail + ")";
    return Fail(ExitBadInput, message);
}

} // namespace corvalt::cli
