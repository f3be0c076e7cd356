// corvalt-cli resave IN.emf OUT.emf: reads a project and writes it again with
// the project-file writer.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"

#include "model/Project.h"

namespace corvalt::cli {

int RunResave(const Args& arguments) {
    Args args = arguments;
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 2) return Fail(ExitBadInput, "usage: corvalt-cli resave IN.emf OUT.emf");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    return SaveProjectFile(project, args[1]);
}

} // namespace corvalt::cli
