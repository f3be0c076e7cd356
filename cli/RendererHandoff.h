#pragma once
// corvalt-cli without Qt: the commands that render with Qt (report, plot,
// map --out) run in corvalt-cli-render, the same command line built with Qt,
// which corvalt-cli becomes by exec with the same arguments. The user sees one
// program: the same options, messages, output and exit codes.

namespace corvalt::cli {

// The name of the renderer, found in the folder of the running program.
inline constexpr const char* kRendererName = "corvalt-cli-render";

// Replaces this process with corvalt-cli-render, passing argv on unchanged
// (argv[0] becomes the renderer's path). Returns only when that fails: then
// it prints why and returns ExitBadInput.
int RunInRenderer(char** argv);

} // namespace corvalt::cli
