#pragma once
// The starter library: a preferences file with common voltage classes,
// conductor types and ground-wire types that comes with the program. It lies
// in share/corvalt/ beside the program's bin/ folder: <prefix>/share/corvalt/
// for an installed program, build/share/corvalt/ in a build tree. A program
// started without a preferences file copies it to the place its preferences
// file belongs; the copy is the user's own from then on, and the starter
// library never replaces a file that is there already.

#include <filesystem>
#include <string>

namespace corvalt {

inline constexpr const char* kStarterLibraryFolder = "share/corvalt";

// The starter library that comes with the program at programFile; empty when
// there is none (a program copied somewhere on its own).
std::filesystem::path StarterLibraryFor(const std::filesystem::path& programFile);

enum class TStarterOutcome {
    Existing,  // the preferences file is there: nothing done
    Copied,    // the starter library is now the preferences file
    NoStarter, // no file, and no starter library to copy
    Failed,    // the copy could not be made (Message says why)
};

struct TStarterResult {
    TStarterOutcome Outcome = TStarterOutcome::Existing;
    std::string Message; // for Failed: "Unable to write to <file>: <reason>"
};

// Copies the starter library to iniFile, making its folder, when iniFile does
// not exist; the copy can be written by its owner. A file that appears there
// meanwhile is left alone.
TStarterResult ProvideStarterLibrary(const std::filesystem::path& iniFile,
                                     const std::filesystem::path& starter);

} // namespace corvalt
