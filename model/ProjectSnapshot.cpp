#include "model/ProjectSnapshot.h"

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/Units.h"

namespace corvalt {
namespace {

// Makes the project count as Metric while it lives: the display accessors then
// hand out and take the internal values unconverted.
class TMetricWhileInScope {
  public:
    explicit TMetricWhileInScope(TEmfProject& project) : project_(project), units_(project.Units) {
        project_.Units = Metric;
    }
    ~TMetricWhileInScope() { project_.Units = units_; }
    TMetricWhileInScope(const TMetricWhileInScope&) = delete;
    TMetricWhileInScope& operator=(const TMetricWhileInScope&) = delete;

  private:
    TEmfProject& project_;
    std::uint8_t units_;
};

} // namespace

TProjectSnapshot TakeProjectSnapshot(TEmfProject& project) {
    TProjectSnapshot snapshot;
    snapshot.Units = project.Units;
    const TMetricWhileInScope metric(project);
    snapshot.Bytes = SerializeProject(project);
    return snapshot;
}

TFileResult RestoreProjectSnapshot(TEmfProject& project, const TProjectSnapshot& snapshot) {
    // The bytes say Metric, so the reader takes every length as the float it is;
    // then the project gets its own measurement system back.
    TFileResult result = ReadProjectBytes(snapshot.Bytes, project);
    if (result.Ok) project.Units = snapshot.Units;
    return result;
}

std::unique_ptr<TEmfProject> CopyProject(TEmfProject& project) {
    auto copy = std::make_unique<TEmfProject>();
    if (!RestoreProjectSnapshot(*copy, TakeProjectSnapshot(project)).Ok) return nullptr;
    copy->FileName = project.FileName;
    return copy;
}

} // namespace corvalt
