// libFuzzer target for the field maps' model reader (JSON, corvalt-map/1).
// Any text must end in a plan or in a refusal with a message; a plan must
// write as a model that reads back as the very same plan and writes the very
// same text again; and its map model must build or be refused with a message.
// Small maps are computed too: every value a number or no value.
#include "cli/MapJson.h"
#include "space/FieldMap.h"
#include "space/MapModel.h"
#include "space/MapModelJson.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <variant>

using namespace corvalt;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::string ModelText(const TPlan& plan) {
    std::ostringstream out;
    cli::WriteMapModelJson(out, plan);
    return out.str();
}

// A map small enough to compute many times a second.
bool Small(const space::TSpaceModel& model) {
    return model.Grid.PointCount() * (model.PieceCount() + 1) <= 20000 && model.PieceCount() <= 200;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto read = space::ReadMapModelJson(text);
    if (const auto* refusal = std::get_if<space::TMapInputError>(&read)) {
        Require(!refusal->Message.empty());
        return 0;
    }
    const TPlan& plan = std::get<TPlan>(read);
    const std::string written = ModelText(plan);
    auto again = space::ReadMapModelJson(written);
    Require(std::holds_alternative<TPlan>(again));
    Require(std::get<TPlan>(again) == plan);
    Require(ModelText(std::get<TPlan>(again)) == written);

    auto built = space::BuildSpaceModel(plan);
    if (const auto* refusal = std::get_if<space::TMapInputError>(&built)) {
        Require(!refusal->Message.empty());
        return 0;
    }
    if (!Small(std::get<space::TSpaceModel>(built))) return 0;
    const space::TMapRun run = space::ComputeFieldMap(plan);
    Require(run.Outcome != space::TMapOutcome::BadInput);
    if (run.Outcome != space::TMapOutcome::Computed) return 0;
    for (const space::TMapLayer* layer : {&run.Map.E, &run.Map.B, &run.Map.EResultant,
                                          &run.Map.BResultant})
        for (const float v : layer->Values())
            Require(std::isnan(v) || (std::isfinite(v) && v >= 0));
    return 0;
}
