#pragma once
// Whole-file reading and safe whole-file replacement for the project file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

enum class TReadStatus { Ok, Missing, Unreadable, TooLarge };

struct TReadOutcome {
    TReadStatus Status = TReadStatus::Ok;
    std::string Detail; // why it failed, naming the file
};

// Reads the whole regular file at path into bytes, refusing files larger than
// maxBytes before allocating anything.
TReadOutcome ReadWholeFile(const std::string& path, std::size_t maxBytes,
                           std::vector<std::uint8_t>& bytes);

// Replaces the file at path by bytes: writes a temporary file in the same
// folder, then renames it over the target, so the target is either the old or
// the complete new content. A read-only target is refused. The new file keeps
// the old one's permissions; a link is followed to the file it names. Returns
// an empty text on success, else why it failed.
std::string ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace corvalt
