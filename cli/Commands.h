#pragma once
// The subcommands of corvalt-cli. Each lives in its own Cmd*.cpp file and is
// listed in the table of main.cpp.

#include <iosfwd>
#include <string>
#include <vector>

namespace corvalt {
class TEmfProject;
struct TPlan;
struct TCheckLine;
} // namespace corvalt

namespace corvalt::cli {

// Exit codes shared by every subcommand.
enum ExitCode : int {
    ExitOk = 0,          // success
    ExitCheckFailed = 1, // the data check or the command's own checks failed
    ExitBadInput = 2,    // missing file, unreadable or corrupt project, bad arguments
};

using Args = std::vector<std::string>;

struct Command {
    using Runner = int (*)(const Args& args);
    const char* name;
    const char* usage; // shown by --help, after "corvalt-cli "
    Runner run;        // nullptr: corvalt-cli-render runs it (RendererHandoff.h)
};

// Prints "corvalt-cli: <message>" on stderr and returns code. Control
// characters in the message (from file names and arguments) are escaped, so
// it stays one line and sends the terminal nothing but text.
int Fail(int code, const std::string& message);
// Prints "corvalt-cli: warning: <message>" on stderr, escaped alike.
void Warn(const std::string& message);

// Loads the project file; ExitOk, or ExitBadInput after printing why it could
// not be read (the program's message and where a damaged file failed).
int LoadProjectFile(const std::string& path, TEmfProject& project);

// Saves the project to the file through the project writer (the previous
// file stays unless the new one is complete); ExitOk, or ExitBadInput after
// printing why it could not be saved.
int SaveProjectFile(TEmfProject& project, const std::string& path);

// The project file's plan of that name; ExitOk, or ExitBadInput after
// printing why the file could not be read or has no such plan.
int LoadProjectPlan(const std::string& path, const std::string& name, TPlan& plan);

// The project's plan of that name, or nullptr after printing that there is
// none; projectPath names the file in the message.
const TPlan* PlanOrFail(const TEmfProject& project, const std::string& name,
                        const std::string& projectPath);

// Reads a field map's model (JSON, format corvalt-map/1) from the file;
// ExitOk, or ExitBadInput after printing why it could not be read, naming the
// file and the conductor or key at fault.
int LoadMapModelFile(const std::string& path, TPlan& plan);

// The data check's lines without their level digit, indented two blanks per level.
void PrintCheckLines(std::ostream& out, const std::vector<TCheckLine>& lines);

int RunCheck(const Args& args);
int RunCompute(const Args& args);
int RunResave(const Args& args);
int RunVersion(const Args& args); // --version [--ini FILE]
int RunPrefs(const Args& args);
int RunBpa(const Args& args);
int RunReport(const Args& args);
int RunExport(const Args& args);
int RunOptimize(const Args& args);
int RunClearance(const Args& args);
int RunPlot(const Args& args);
int RunMap(const Args& args);
int RunSpan(const Args& args);
int RunPlan(const Args& args);

} // namespace corvalt::cli
