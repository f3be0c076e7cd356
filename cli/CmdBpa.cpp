// corvalt-cli bpa FILE.emf OUT [--section N]: writes the BPA input file of a
// cross section (1-based, default 1), as the project window's "BPA File" does.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"

#include "model/Project.h"
#include "reports/BpaExport.h"

namespace corvalt::cli {

int RunBpa(const Args& arguments) {
    Args args = arguments;
    int section = 1;
    if (auto error = TakeSectionOption(args, section)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 2)
        return Fail(ExitBadInput, "usage: corvalt-cli bpa FILE.emf OUT [--section N]");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    const TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    const TFileResult written = ExportBpaFile(*scenario, args[1]);
    if (!written.Ok)
        return Fail(ExitBadInput, args[1] + ": " + written.Message + " (" + written.Detail + ")");
    return ExitOk;
}

} // namespace corvalt::cli
