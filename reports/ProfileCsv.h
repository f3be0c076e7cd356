#pragma once
// The lateral profile of a computed cross section as a CSV file for
// spreadsheets: a header row naming each quantity with its unit, then one row
// per profile record sorted by distance from left to right (the mark column
// names the ROW edges and the points of interest), so that an XY chart of the
// file never runs back. Shared by the results panel and corvalt-cli export.
//
// Columns: distance in the project's display units ("Distance (ft)" or
// "Distance (m)"), the mark ("ROW left edge", "ROW right edge", the point of
// interest's name, empty for a regular step), the electric field (kV/m), the
// magnetic field (mG), audible noise rain and fair L50 (dBA), radio
// interference rain and fair and TV interference rain (dBuV/m, written in
// ASCII so that every spreadsheet reads the header alike) and ozone (ppb).
//
// Numbers have "." as decimal point whatever the locale and as many digits as
// read back the same single-precision value (the shortest round-trip form, as
// corvalt-cli compute writes them); zero is never written "-0". The magnetic
// field is GaussToMilligauss of the computed gauss: the product with 1000 is
// exact and rounded once to float. A value that cannot be computed is an
// empty cell. Texts are UTF-8; a field holding a comma, a quote, a line break
// or blanks at its ends is quoted, and quotes inside it doubled (RFC 4180).
// Lines end in CR LF.

#include "model/FileResult.h"

#include <string>

namespace corvalt {

class TScenario;

// The save dialog's proposals for the file.
inline constexpr const char* kProfileCsvDialogTitle = "Export Profile as CSV";
inline constexpr const char* kProfileCsvDefaultExtension = "csv";

// The file's text, from the cross section's last computation. Empty when that
// failed (the cross section's CalcError says why): there is no profile.
std::string ProfileCsvText(const TScenario& scenario);

// Writes the file in one piece, replacing the file at path only once the new
// content is complete. Refused, writing nothing, for a cross section without a
// computed profile. Message says what failed for the user, Detail why.
TFileResult ExportProfileCsv(const TScenario& scenario, const std::string& path);

} // namespace corvalt
