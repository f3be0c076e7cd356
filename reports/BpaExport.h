#pragma once
// The BPA input file: one cross section written as the text input of the BPA
// corona and field effects program (title block, control line, sensor heights,
// one line per conductor, the lateral profile). It carries the EMF-related
// variables only and writes the model values as they stand, without the data
// check and without computing.

#include "model/FileResult.h"

#include <string>
#include <vector>

namespace corvalt {

class TScenario;

// The save dialog's proposals for the file.
inline constexpr const char* kBpaDialogTitle = "BPA File Name";
inline constexpr const char* kBpaDefaultFileName = "corvalt.bpa";
inline constexpr const char* kBpaDefaultExtension = "bpa";

// The lines of the file without their line ends, or the reason it cannot be
// written (a value that is not a finite number).
struct TBpaLines {
    std::vector<std::string> Lines;
    std::string Error; // empty when Lines is the file
};
TBpaLines BuildBpaLines(const TScenario& scenario);

// Writes the file in one piece, each line ended by CR LF, replacing the file at
// path only once the new content is complete (a failed export leaves any old
// file as it was). Message says what failed for the user, Detail why.
TFileResult ExportBpaFile(const TScenario& scenario, const std::string& path);

} // namespace corvalt
