#pragma once
// The output of corvalt-cli compute: a computed project as one JSON object,
// format corvalt-compute/1 (its keys and their meaning are documented with the
// command). Scripts read it: keys are only ever added.

#include <ostream>

namespace corvalt {
class TEmfProject;
} // namespace corvalt

namespace corvalt::cli {

// Writes the project with the results its last computation left on its cross
// sections, and a line break at the end.
void WriteComputeJson(std::ostream& out, const TEmfProject& project);

} // namespace corvalt::cli
