// corvalt-cli: the headless front end for batch work, automation and tests.
#include "cli/Commands.h"
#include "cli/MapPicture.h"
#include "cli/RendererHandoff.h"
#include "cli/StandardOutput.h"

#include "model/StopCleanup.h"
#include "model/TextHelpers.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <new>

namespace corvalt::cli {

int Fail(int code, const std::string& message) {
    std::cerr << "corvalt-cli: " << PrintableText(message) << '\n';
    return code;
}

void Warn(const std::string& message) {
    std::cerr << "corvalt-cli: warning: " << PrintableText(message) << '\n';
}

namespace {

// The commands that render pages and plots need Qt; corvalt-cli leaves them to
// corvalt-cli-render (RendererHandoff.h), which runs them itself.
#ifdef CORVALT_CLI_RENDERER
constexpr Command::Runner RenderedReport = RunReport;
constexpr Command::Runner RenderedPlot = RunPlot;
#else
constexpr Command::Runner RenderedReport = nullptr;
constexpr Command::Runner RenderedPlot = nullptr;
#endif

const Command kCommands[] = {
    {"compute", "compute FILE.emf [--site NAME=VALUE[,NAME=VALUE...]]", RunCompute},
    {"check", "check FILE.emf [--limits] [--ini FILE]", RunCheck},
    {"resave", "resave IN.emf OUT.emf", RunResave},
    {"prefs", "prefs [--ini FILE] [--resave] [--path]", RunPrefs},
    {"bpa", "bpa FILE.emf OUT [--section N]", RunBpa},
    {"report",
     "report FILE.emf --kind 1|2|3|4|map --pdf OUT.pdf [--section N] [--plan NAME] [--ini FILE] "
     "[--pdfa]",
     RenderedReport},
    {"export", "export FILE.emf --csv OUT.csv [--section N]", RunExport},
    {"optimize",
     "optimize FILE.emf [--section N] [--objective edge-b|edge-e|row-e|weighted] "
     "[--weights B,E,R] [--top K]",
     RunOptimize},
    {"clearance", "clearance FILE.emf [--section N] [--circuit NAME] [--ini FILE]", RunClearance},
    {"plot", "plot FILE.emf --out OUT.(png|svg|pdf) [--section N] [--corona]", RenderedPlot},
    {"map",
     "map (MODEL.json | FILE.emf --plan NAME) [--csv OUT.csv] [--out OUT.(png|svg|pdf)] "
     "[--quantity e|b] [--size WxH] [--scale linear|log] [--levels V,V,...]",
     RunMap},
    {"span",
     "span FILE.emf --route \"x,y;x,y;...\" --sag S [--section N] [--span-length L] "
     "[--spans-only]",
     RunSpan},
    {"plan", "plan FILE.emf (--add MODEL.json | --export NAME | --list | --delete NAME)", RunPlan},
};

void PrintUsage(std::ostream& out) {
    out << "usage: corvalt-cli <command> [arguments]\n"
           "       corvalt-cli --version [--ini FILE]\n\ncommands:\n";
    for (const Command& command : kCommands)
        if (command.name != nullptr) out << "  corvalt-cli " << command.usage << '\n';
    out << "\nA file whose name starts with \"-\" follows \"--\", which ends the options.\n";
}

// Whether corvalt-cli leaves the command to corvalt-cli-render: the report
// and the plot, and a map that draws a picture.
bool RunsInRenderer(const Command& command, const Args& args) {
#ifdef CORVALT_CLI_RENDERER
    (void)command;
    (void)args;
    return false;
#else
    return command.run == nullptr || (command.run == RunMap && MapDrawsPicture(args));
#endif
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (command.name != nullptr && name == command.name) return &command;
    return nullptr;
}

int RunCommand(int argc, char** argv) {
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
    if (const Command* command = FindCommand(name))
        return RunsInRenderer(*command, args) ? RunInRenderer(argv) : command->run(args);
    return Fail(ExitBadInput, "unknown command '" + name + "' (see corvalt-cli --help)");
}

// Whatever went wrong below becomes a message and exit 2, never an abort.
int RunGuarded(int argc, char** argv) {
    try {
        return RunCommand(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail(ExitBadInput, "there is not enough memory for this command");
    } catch (const std::exception& error) {
        return Fail(ExitBadInput, std::string("the command failed: ") + error.what());
    } catch (...) {
        return Fail(ExitBadInput, "the command failed for an unknown reason");
    }
}

// The output a command printed is only there once standard output took it
// (a full disk, a closed pipe, /dev/full): otherwise exit 2 with the reason.
int CheckedOutput(int code, const TStandardOutput& output) {
    std::cout.flush();
    if (output.Error() == 0 && std::cout.good()) return code;
    const int error = output.Error();
    return Fail(ExitBadInput, std::string("cannot write to standard output") +
                                  (error != 0 ? std::string(": ") + std::strerror(error) : ""));
}

} // namespace
} // namespace corvalt::cli

int main(int argc, char** argv) {
    using namespace corvalt::cli;
    // A command for the renderer goes there before anything is set up here:
    // the signal mask below would pass on to it.
    if (argc >= 2) {
        const Command* command = FindCommand(argv[1]);
        if (command != nullptr && RunsInRenderer(*command, Args(argv + 2, argv + argc)))
            return RunInRenderer(argv);
    }
    corvalt::InstallStopCleanup();
    const TStandardOutput output;
    const int code = CheckedOutput(RunGuarded(argc, argv), output);
    corvalt::AwaitStaleLeftoversRemoved();
    return code;
}
