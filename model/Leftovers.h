#pragma once
// What a killed run leaves behind (SIGKILL, a power cut: no cleanup can run),
// found and removed by a later run: the half-written files of the safe writer
// beside their targets and the temporary folders of reports. Such names carry
// the process id of the run that made them ("<prefix><pid>-…"). One is stale
// only when all of these hold: it is this user's, it is a plain file or folder
// (not a link), no process of that id runs, and nothing has touched it for an
// hour. A running process's file or folder is therefore never removed,
// however old; and a process of another user or another process namespace
// sharing the folder keeps its own for the hour at least.

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace corvalt {

// How long a leftover must lie untouched before it is removed.
inline constexpr std::chrono::hours kLeftoverAge{1};

// The beginning of a leftover's name: prefix, the process id and "-".
std::string LeftoverName(std::string_view prefix, pid_t maker);

// The process id in a name that begins with prefix followed by digits and
// "-"; empty for any other name.
std::optional<pid_t> LeftoverMaker(std::string_view name, std::string_view prefix);

// Whether the entry name in the open folder, made by the process maker, is
// stale (see above).
bool IsStaleLeftover(int folder, const std::string& name, pid_t maker);

// Removes the entries of the folder (open as folder, at folderPath) whose
// names begin with one of the prefixes (as LeftoverName writes it) and that
// are stale, folders with everything in them. Returns how many were removed.
int RemoveStaleLeftovers(int folder, const std::string& folderPath,
                         std::initializer_list<std::string_view> prefixes);

// The temporary folders the programs make in $TMPDIR: the desktop program's
// report pages, corvalt-cli's report pages and its runtime folder for Qt.
inline constexpr std::string_view kDesktopPagesFolder = "corvalt-pages-";
inline constexpr std::string_view kCliPagesFolder = "corvalt-cli-pages-";
inline constexpr std::string_view kCliRuntimeFolder = "corvalt-cli-runtime-";

// Removes the stale temporary folders of killed runs from the temporary folder.
void RemoveStaleTemporaryFolders();

} // namespace corvalt
