// corvalt-cli: the headless front end for batch work, automation and tests.
#include "cli/Commands.h"

#include <cstring>
#include <iostream>

namespace corvalt::cli {

int Fail(int code, const std::string& message) {
    std::cerr << "corvalt-cli: " << message << '\n';
    return code;
}

namespace {

const Command kCommands[] = {
    {"compute", "compute FILE.emf", RunCompute},
    {"check", "check FILE.emf", RunCheck},
    {"resave", "resave IN.emf OUT.emf", RunResave},
    {"prefs", "prefs [--ini FILE] [--resave] [--path]", RunPrefs},
    {"bpa", "bpa FILE.emf OUT [--section N]", RunBpa},
    {"report", "report FILE.emf --kind 1|2|3|4 --pdf OUT.pdf [--section N] [--ini FILE]",
     RunReport},
};

void PrintUsage(std::ostream& out) {
    out << "usage: corvalt-cli <command> [arguments]\n"
           "       corvalt-cli --version [--ini FILE]\n\ncommands:\n";
    for (const Command& command : kCommands)
        if (command.name != nullptr) out << "  corvalt-cli " << command.usage << '\n';
}

} // namespace
} // namespace corvalt::cli

int main(int argc, char** argv) {
    using namespace corvalt::cli;
    if (argc < 2) {
        PrintUsage(std::cerr);
        return ExitBadInput;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintUsage(std::cout);
        return ExitOk;
    }
    const Args args(argv + 2, argv + argc);
    if (name == "--version") return RunVersion(args);
    for (const Command& command : kCommands)
        if (command.name != nullptr && name == command.name) return command.run(args);
    return Fail(ExitBadInput, "unknown command '" + name + "' (see corvalt-cli --help)");
}
