// libFuzzer target for the project-file reader. Any input must end in a project
// or in a refusal with a message; a project that loads must pass through the
// data check, the extents and cloning (every conductor and point copied), must
// copy whole through an undo snapshot (its plans equal), and must write a file
// that loads again with the same plans and writes the very same bytes again,
// in either measurement system.
#include "model/Clone.h"
#include "model/DataCheck.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/ProjectSnapshot.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace corvalt;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void ExerciseScenario(TScenario& scenario) {
    (void)scenario.HalfRowWidth();
    (void)scenario.MaxHeight();
    (void)scenario.MaxDepth();
    (void)scenario.LeftExtent();
    (void)scenario.RightExtent();
    (void)scenario.NextCircuitNumber();
    (void)scenario.DisplayName();
    const std::unique_ptr<TScenario> copy = CloneScenario(scenario);
    Require(copy != nullptr && copy->ConductorCount() == scenario.ConductorCount() &&
            copy->InterestPoints.Count() == scenario.InterestPoints.Count());
    for (const TCircuit& circuit : scenario.Circuits) {
        const std::unique_ptr<TCircuit> circuitCopy = CloneCircuit(circuit);
        Require(circuitCopy != nullptr &&
                circuitCopy->Conductors.Count() == circuit.Conductors.Count());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TEmfProject project;
    const TFileResult result = ReadProjectBytes(std::span(data, size), project);
    if (!result.Ok) {
        Require(!result.Message.empty() && project.Scenarios.Empty() && project.Plans.empty());
        return 0;
    }
    const std::vector<TCheckLine> lines = CheckProject(project);
    Require(CheckTree(lines).size() == lines.size());
    for (TScenario& scenario : project.Scenarios)
        ExerciseScenario(scenario);

    const std::vector<std::uint8_t> written = SerializeProject(project);
    TEmfProject again;
    Require(ReadProjectBytes(written, again).Ok);
    Require(SerializeProject(again) == written && again.Plans == project.Plans);
    const std::unique_ptr<TEmfProject> copy = CopyProject(project);
    Require(copy != nullptr && SerializeProject(*copy) == written && copy->Plans == project.Plans);
    return 0;
}
