#pragma once
// The output of corvalt-cli compute: a computed project as one JSON object,
// format corvalt-compute/1 (its keys and their meaning are documented with the
// command). Scripts read it: keys are only ever added.

#include <memory>
#include <ostream>

namespace corvalt {
class TEmfProject;
class TScenario;
} // namespace corvalt

namespace corvalt::cli {

class TJsonWriter;

// Writes the project with the results its last computation left on its cross
// sections, and a line break at the end.
void WriteComputeJson(std::ostream& out, const TEmfProject& project);

// The same a cross section at a time, so that a caller needs only the results
// of the cross section it writes: the project's values, then each cross
// section in project order, then the end.
class TComputeJsonWriter {
  public:
    TComputeJsonWriter(std::ostream& out, const TEmfProject& project);
    ~TComputeJsonWriter();
    TComputeJsonWriter(const TComputeJsonWriter&) = delete;
    TComputeJsonWriter& operator=(const TComputeJsonWriter&) = delete;

    void CrossSection(const TScenario& scenario);
    void Finish();

  private:
    std::unique_ptr<TJsonWriter> json_;
    int index_ = 0;
};

} // namespace corvalt::cli
