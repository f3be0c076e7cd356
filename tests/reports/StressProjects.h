#pragma once
// Projects whose texts are as long as the dialogs let them be, and longer (as
// a damaged project file can hold them), with crowded tables, for the tests
// that every text of every report fits where it is printed.

#include "model/Project.h"

#include <memory>
#include <string>
#include <vector>

namespace corvalt::test {

struct TStressProject {
    std::string Name; // also the file name without ".emf"
    std::unique_ptr<TEmfProject> Project;
};

// "limits-english": every text at its dialog's limit (or a realistic long one
// where the dialog has none), in widest letters where that is plausible;
// "beyond-metric": texts of a damaged file, far past any limit, some without
// a blank to break at, DC poles and a 12.5 m ROW; "uhv-1100kv": a metric
// 1100 kV line with a narrow ROW, its outer phases close to the ROW edges.
std::vector<TStressProject> StressProjects();

// The 1100 kV line alone.
std::unique_ptr<TEmfProject> UhvProject();

// The text repeated (and cut) to exactly `length` characters.
std::string Repeated(const std::string& text, std::size_t length);

} // namespace corvalt::test
