#pragma once
// Whole-file reading, and the one safe writer through which every file the
// program writes goes: projects, preferences, BPA files, PDF files and the
// report page files. Paths are byte strings that reach the file system as they
// are (on Linux a file name need not be valid UTF-8).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

enum class TReadStatus { Ok, Missing, Unreadable, TooLarge, PathTooLong };

struct TReadOutcome {
    TReadStatus Status = TReadStatus::Ok;
    std::string Detail; // why it failed, naming the file
};

// Reads the whole regular file at path into bytes, refusing files larger than
// maxBytes before allocating anything. A path longer than the system takes is
// PathTooLong, not Missing: the file may well exist.
TReadOutcome ReadWholeFile(const std::string& path, std::size_t maxBytes,
                           std::vector<std::uint8_t>& bytes);

// Replaces the file at path by bytes: writes a temporary file in the same
// folder, flushes it to the disk and renames it over the target, so the target
// is either the old or the complete new content. Refused, with the target left
// alone: a target that exists and is not a regular file (a folder, a pipe, a
// device, a link to one of them), and a read-only one. A link to a regular
// file (or to no file yet) is followed: the file it names is replaced and the
// link stays. The new file keeps the old one's permissions, and its owner and
// group where the system allows (an owner only root can give away). The
// temporary name fits wherever the target's name fits; temporaries that a
// killed run left beside the target are removed (Leftovers.h). Returns an empty text on
// success, else why it failed, naming the file.
std::string ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The temporary files beside the target that a ReplaceFileBy writer is given,
// both created empty. Result becomes the target. Draft is removed afterwards
// in any case: it is there for a writer that makes the file in two passes (a
// draft, then the finished file read from it) without holding either in
// memory.
struct TReplacementFiles {
    std::string Result;
    std::string Draft;
};

// ReplaceFile for content too large to hold in memory: write fills
// files.Result by its path (writing into that file, not putting another in its
// place) and returns an empty text, else why it failed; the target is then
// left as it was and nothing stays behind. Everything else as ReplaceFile.
std::string ReplaceFileBy(const std::string& path,
                          const std::function<std::string(const TReplacementFiles&)>& write);

// Removes the temporary files that ReplaceFile calls are writing at this
// moment, for a program that is being stopped (corvalt-cli on SIGTERM) and
// must leave nothing behind. Safe to call from another thread.
void RemovePendingTemporaries();

// The system's words for an errno value; "input/output error" for 0 (a failure
// the system gave no reason for).
std::string SystemErrorText(int error);

// The file name as a message quotes it: 'name', control characters and bytes
// that are not UTF-8 escaped (PrintableText).
std::string QuotedName(const std::string& path);

// The file as a message about writing it names it: its name, or the whole path
// where that ends in no name ("out.pdf/", "/"); escaped as PrintableText.
std::string ShownFileName(const std::string& path);

// The message part for a path the system refuses as too long.
std::string PathTooLongText(const std::string& path);

} // namespace corvalt
