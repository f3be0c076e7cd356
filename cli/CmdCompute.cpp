// corvalt-cli compute FILE.emf: computes every cross section as a report would
// (without the data check) and prints the results as one JSON object.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/ComputeJson.h"

#include "compute/Compute.h"
#include "model/Project.h"

#include <iostream>
#include <string>

namespace corvalt::cli {

int RunCompute(const Args& arguments) {
    Args args = arguments;
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, "usage: corvalt-cli compute FILE.emf");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    const int failed = ComputeAll(project);

    WriteComputeJson(std::cout, project);

    // Every cross section is in the output; one that could not be computed
    // carries its reason there and makes the command fail.
    if (failed > 0)
        return Fail(ExitCheckFailed, std::to_string(failed) + " of " +
                                         std::to_string(project.Scenarios.Count()) +
                                         " cross sections could not be computed");
    return ExitOk;
}

} // namespace corvalt::cli
