#pragma once
// A project's stored contents held in memory, for undo and redo: the project
// file's serialization taken while the project counts as Metric, so that every
// length, diameter and spacing is written as the float the model holds and
// reads back as the same float (an English project's feet and inches would not
// always convert back to the very same metres). Whatever the file stores, a
// snapshot holds, including fields added to the file format later.

#include "model/FileResult.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace corvalt {

class TEmfProject;

struct TProjectSnapshot {
    std::vector<std::uint8_t> Bytes; // the project file's serialization, in metric units
    std::uint8_t Units = 0;          // the project's own measurement system
    bool operator==(const TProjectSnapshot&) const = default;
};

TProjectSnapshot TakeProjectSnapshot(TEmfProject& project);

// Gives the project the snapshot's stored values and cross sections in place
// of its own. Every cross section, circuit, conductor and point of interest
// is a new object afterwards: a window that shows the project must drop its
// pointers and rebuild. The file name and the modified check's baseline stay.
// When the bytes cannot be read the project is unchanged and the result says
// why; every caller must handle it (a model value beyond the project file's
// range, set outside the dialogs, would cause it).
[[nodiscard]] TFileResult RestoreProjectSnapshot(TEmfProject& project,
                                                 const TProjectSnapshot& snapshot);

// A separate project holding the same values and cross sections, float for
// float (a design tool's private copy to work on in another thread); null
// when the snapshot cannot be restored.
[[nodiscard]] std::unique_ptr<TEmfProject> CopyProject(TEmfProject& project);

} // namespace corvalt
