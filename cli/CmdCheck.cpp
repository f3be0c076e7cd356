// corvalt-cli check FILE.emf [--limits] [--ini FILE]: the data check that runs
// before a computation, printed as an indented list. With --limits every cross
// section is computed as well and each value over its field limit (or that
// cannot be shown to hold) adds one finding after the data check's; the
// limits table comes from the preferences file (--ini FILE names another).
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/IniOption.h"

#include "compute/Compute.h"
#include "limits/FieldLimits.h"
#include "model/DataCheck.h"
#include "model/Project.h"
#include "model/TextHelpers.h"

#include <iostream>
#include <string>

namespace corvalt::cli {
namespace {

constexpr const char* kUsage = "usage: corvalt-cli check FILE.emf [--limits] [--ini FILE]";

void PrintFinding(const std::string& text) {
    std::cout << "  " << PrintableText(ToValidUtf8(text)) << '\n';
}

// Computes every cross section and prints the limit findings under their
// heading; returns how many there are. Only one cross section's results are
// held at a time.
int PrintLimitFindings(TEmfProject& project, const TFieldLimits& limits) {
    std::cout << "Field limits\n";
    int findings = 0;
    for (TScenario& scenario : project.Scenarios) {
        ComputeScenario(scenario);
        const TLimitEvaluation evaluation = EvaluateLimits(scenario, limits);
        if (!evaluation.Computed) {
            PrintFinding(scenario.CalcError);
            ++findings;
        }
        for (const TLimitCheck* check : evaluation.Failures()) {
            PrintFinding(LimitFindingText(scenario, evaluation.Class, *check));
            ++findings;
        }
        ReleaseResults(scenario);
    }
    if (findings == 0) PrintFinding("Every value is within its limit.");
    return findings;
}

} // namespace

int RunCheck(const Args& arguments) {
    Args args = arguments;
    std::string iniFile;
    if (auto error = TakeIniOption(args, iniFile)) return Fail(ExitBadInput, *error);
    const bool withLimits = TakeFlag(args, "--limits");
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);
    if (!iniFile.empty() && !withLimits)
        return Fail(ExitBadInput, "--ini is used with --limits only (" + std::string(kUsage) + ")");
    TFieldLimits limits;
    if (withLimits)
        if (const int read = ReadFieldLimits(iniFile, limits); read != ExitOk) return read;
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    const std::vector<TCheckLine> lines = CheckProject(project);
    PrintCheckLines(std::cout, lines);
    const bool overLimits = withLimits && PrintLimitFindings(project, limits) > 0;
    return HasErrors(lines) || overLimits ? ExitCheckFailed : ExitOk;
}

void PrintCheckLines(std::ostream& out, const std::vector<TCheckLine>& lines) {
    for (const TCheckLine& line : lines)
        out << std::string(2 * static_cast<std::size_t>(line.Level), ' ')
            << PrintableText(ToValidUtf8(line.Text)) << '\n';
}

} // namespace corvalt::cli
