#pragma once
// The program's own texts for project-file failures, in one place for the
// windows and the command line.

namespace corvalt::messages {

inline constexpr const char* kFileDoesNotExist = "File does not exist";
inline constexpr const char* kPathTooLong =
    "The path of the file is longer than the system allows.";
inline constexpr const char* kOlderVersion =
    "Due to the number of changes Older Test Projects can no longer be read!";
inline constexpr const char* kFileDamaged = "The file is damaged or is not a Corvalt project.";
inline constexpr const char* kFileUnreadable = "The file could not be read.";
inline constexpr const char* kSaveFailed =
    "The project could not be saved. The previous file, if any, is unchanged.";
inline constexpr const char* kSaveWouldNotReopen =
    "The project could not be saved, because the file would not open again (a value is "
    "beyond what a project file holds). The previous file, if any, is unchanged.";

} // namespace corvalt::messages
