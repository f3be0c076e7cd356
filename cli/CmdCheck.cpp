// corvalt-cli check FILE.emf: the data check that runs before a computation,
// printed as an indented list.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"

#include "model/DataCheck.h"
#include "model/Project.h"
#include "model/TextHelpers.h"

#include <iostream>
#include <string>

namespace corvalt::cli {

int RunCheck(const Args& arguments) {
    Args args = arguments;
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, "usage: corvalt-cli check FILE.emf");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    const std::vector<TCheckLine> lines = CheckProject(project);
    PrintCheckLines(std::cout, lines);
    return HasErrors(lines) ? ExitCheckFailed : ExitOk;
}

void PrintCheckLines(std::ostream& out, const std::vector<TCheckLine>& lines) {
    for (const TCheckLine& line : lines)
        out << std::string(2 * static_cast<std::size_t>(line.Level), ' ')
            << PrintableText(ToValidUtf8(line.Text)) << '\n';
}

} // namespace corvalt::cli
