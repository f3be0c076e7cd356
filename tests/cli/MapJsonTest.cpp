// A plan's model written as JSON reads back as the same plan, for the sample
// models and for the values a model only holds when a plan was edited.
#include "CliRun.h"
#include "cli/MapJson.h"
#include "space/MapModelJson.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <variant>

using namespace corvalt;

namespace {

TPlan Read(const std::string& text) {
    auto read = space::ReadMapModelJson(text);
    EXPECT_TRUE(std::holds_alternative<TPlan>(read))
        << std::get<space::TMapInputError>(read).Message;
    return std::holds_alternative<TPlan>(read) ? std::get<TPlan>(read) : TPlan{};
}

std::string Written(const TPlan& plan) {
    std::ostringstream out;
    cli::WriteMapModelJson(out, plan);
    return out.str();
}

TEST(MapJsonTest, ModelsReadBackAsTheSamePlan) {
    int samples = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(CORVALT_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() != ".json") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const TPlan plan = Read(corvalt::testing::Slurp(entry.path()));
        ASSERT_FALSE(plan.Conductors.empty());
        EXPECT_EQ(Read(Written(plan)), plan);
        ++samples;
    }
    EXPECT_GE(samples, 2);

    // Values the defaults hide: a DC pole with an angle, a ground wire with a
    // voltage (both refused by the map, kept by the text), shortest digits.
    TPlan plan;
    plan.Name = "odd \"values\"";
    plan.Units = English;
    TPlanConductor pole;
    pole.Id = "P+";
    pole.IsAc = false;
    pole.Kv = 288.67513459481287;
    pole.AngleDeg = 7;
    pole.CurrentA = -0.1;
    pole.Diameter = 1.108;
    pole.SubConductors = 3;
    pole.Spacing = 18;
    pole.Shape = TPlanShape::Span;
    pole.Points = {{0, 0, 60}, {900, 1e-7, 61.5}};
    pole.Sag = 12.25;
    TPlanConductor ground;
    ground.Id = "G";
    ground.IsGround = true;
    ground.Kv = 3;
    ground.Diameter = 0.375;
    ground.Points = {{0, 5, 80}, {500, 5, 80}, {900, 6, 82}};
    plan.Conductors = {pole, ground};
    plan.Grid = {-0.5, 0.5, -1e6, 1e6, 0.1, 3.28};
    plan.Footprints = {{"yard", {{0, 0}, {1, 0}, {0.5, 2}}}};
    const std::string text = Written(plan);
    EXPECT_EQ(Read(text), plan);
    EXPECT_NE(text.find("\"kv\": 288.67513459481285"), std::string::npos); // shortest digits
    EXPECT_NE(text.find("\"step\": 0.1,"), std::string::npos);
}

} // namespace
