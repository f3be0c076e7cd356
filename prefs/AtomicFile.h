#pragma once
// Replacing a file's contents all at once, so that a crash, a full disk or a
// refused write never leaves a half-written file behind.

#include <filesystem>
#include <string_view>

namespace corvalt {

// Writes bytes to a temporary file beside target, flushes it to the disk and
// renames it over target (through a symbolic link, onto the file it names);
// missing folders are created. Keeps the permissions of an existing target.
// Returns false when any step fails; target is then unchanged and the
// temporary file removed. A target that exists but is not a regular file
// (a folder, a device) is never replaced.
bool ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);

} // namespace corvalt
