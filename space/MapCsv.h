#pragma once
// A field map as CSV text, the one layout both corvalt-cli map --csv and the
// map window's export write: numbers are the shortest text that reads back
// as the same single-precision value, "." as decimal point; a value that
// cannot be computed (or a quantity not computed) is an empty cell.

#include "space/FieldMap.h"

#include <string>

namespace corvalt::space {

// A header row naming each column with its unit ("x (m)", "y (m)", "E (kV/m)",
// "E resultant (kV/m)", "B (mG)", "B resultant (mG)"), then one row per grid
// point, grid line after grid line; lines end in CR LF.
std::string MapCsvText(const TFieldMap& map);

} // namespace corvalt::space
