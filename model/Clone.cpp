#include "model/Clone.h"

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/ZuStream.h"

#include <cstdint>
#include <memory>

namespace corvalt {
namespace {

// Reads back the record just written. It fails only when a value cannot be
// written in the project's display units within the file's range (a Metric
// project with an enormous length turned English), which is said, not hidden
// behind a partial copy.
template <typename T, typename Write, typename Read>
bool CopyThroughStream(const T& source, T& copy, Write write, Read read) {
    TZuStream stream;
    write(stream, source);
    stream.Rewind();
    TRecordReader reader(stream);
    read(reader, copy);
    return !reader.Failed() && stream.Remaining() == 0;
}

} // namespace

std::unique_ptr<TScenario> CloneScenario(const TScenario& source) {
    auto copy = std::make_unique<TScenario>(*source.Project);
    // The layout with the site parameters, so that the copy keeps them.
    const bool copied = CopyThroughStream(
        source, *copy,
        [](TZuStream& stream, const TScenario& s) {
            WriteScenarioRecord(stream, s, kNewestLayout);
        },
        [](TRecordReader& reader, TScenario& s) {
            ReadScenarioRecord(reader, s, kNewestLayout);
        });
    if (!copied) return nullptr;
    copy->TabTitle = "(Clone)";
    copy->Title = source.Title + " (Clone)";
    return copy;
}

std::unique_ptr<TCircuit> CloneCircuit(const TCircuit& source) {
    TScenario& scenario = *source.Scenario;
    auto copy = std::make_unique<TCircuit>(scenario);
    if (!CopyThroughStream(source, *copy, WriteCircuitRecord, ReadCircuitRecord)) return nullptr;
    copy->Name = "(Clone)";
    copy->Number = static_cast<std::uint8_t>(scenario.NextCircuitNumber());
    for (TConductor& conductor : copy->Conductors)
        conductor.Id = RenumberedConductorId(conductor.Id, copy->Number);
    return copy;
}

std::string RenumberedConductorId(const std::string& id, int circuitNumber) {
    std::size_t digits = 0;
    while (digits < id.size() && id[digits] >= '0' && id[digits] <= '9')
        ++digits;
    std::string renumbered = std::to_string(circuitNumber) + id.substr(digits);
    if (renumbered.size() > kMaxConductorIdLength) renumbered.resize(kMaxConductorIdLength);
    return renumbered;
}

} // namespace corvalt
