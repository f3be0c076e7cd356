// corvalt-cli export FILE.emf --csv OUT.csv [--section N]: computes cross
// section N (1-based, default 1) as compute does (without the data check) and
// writes its lateral profile as CSV (reports/ProfileCsv.h). A cross section
// that cannot be computed has no profile: the command says why, writes
// nothing and exits 1, as compute and report do for it.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "reports/ProfileCsv.h"

namespace corvalt::cli {
namespace {
constexpr const char* kUsage = "usage: corvalt-cli export FILE.emf --csv OUT.csv [--section N]";
} // namespace

int RunExport(const Args& arguments) {
    Args args = arguments;
    std::string csvFile;
    bool csvGiven = false;
    int section = 1;
    if (auto error = TakeOption(args, "--csv", "a file name", csvFile, csvGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeSectionOption(args, section)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1 || !csvGiven) return Fail(ExitBadInput, kUsage);
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    if (!ComputeScenario(*scenario)) return Fail(ExitCheckFailed, scenario->CalcError);
    const TFileResult written = ExportProfileCsv(*scenario, csvFile);
    if (!written.Ok)
        return Fail(ExitBadInput, csvFile + ": " + written.Message + " (" + written.Detail + ")");
    return ExitOk;
}

} // namespace corvalt::cli
