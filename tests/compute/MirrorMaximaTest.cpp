// Where a line's largest fields are placed. On a symmetric line the two mirror
// points have the same field but for rounding, and the reports have always
// printed one side: the sample lines keep it (their reports' positions). A
// side whose field is genuinely larger takes the maximum whatever the order.
#include "LineBuilder.h"
#include "compute/Compute.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvalt;
using namespace corvalt::testing;

namespace {

const TScenario* Section(const TEmfProject& project, const std::string& tabTitle) {
    for (const TScenario& scenario : project.Scenarios)
        if (scenario.TabTitle == tabTitle) return &scenario;
    return nullptr;
}

float DistOf(const TScenario& scenario, int index) {
    return scenario.Results[static_cast<std::size_t>(index)].Dist;
}

} // namespace

TEST(MirrorMaxima, SampleLinesKeepTheSidesTheirReportsPrint) {
    const struct {
        const char* file;
        const char* section;
        float maxE;  // ft or m
        float edgeE; // the ROW edge with the larger E
    } cases[] = {
        {"sample-english.emf", "230 SC", 34, -75},
        {"sample-metric.emf", "RS 138", 8.75f, -15},
        {"sample-site.emf", "Ridge", 12, 30},
        {"sample-site.emf", "Crossing", 18, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        TEmfProject project;
        ASSERT_TRUE(project.Load(std::string(CORVALT_SOURCE_DIR "/examples/") + c.file).Ok);
        ComputeAll(project);
        const TScenario* scenario = Section(project, c.section);
        ASSERT_NE(scenario, nullptr);
        ASSERT_TRUE(scenario->CalcError.empty()) << scenario->CalcError;
        EXPECT_NEAR(DistOf(*scenario, scenario->MaxEResult), c.maxE, 1e-3);
        EXPECT_EQ(DistOf(*scenario, scenario->RowMaxEResult), c.edgeE);
    }
}

TEST(MirrorMaxima, AGenuinelyLargerSideTakesTheMaximum) {
    // The flat 230 kV line, one outer phase at 231 kV: the field beyond that
    // phase is the larger, the maximum and the larger ROW edge on its side.
    for (const float sign : {-1.0f, 1.0f}) {
        SCOPED_TRACE(sign);
        TEmfProject project;
        project.Units = Metric;
        TScenario& scenario = AddScenario(project);
        scenario.RowLeft = 15;
        scenario.RowRight = 15;
        std::vector<TCond> line = Circuit230kV();
        for (TCond& c : line)
            if (c.X == 7 * sign) c.VoltageKv = 231;
        AddConductors(AddCircuit(scenario), line);
        ASSERT_TRUE(ComputeScenario(scenario)) << scenario.CalcError;
        EXPECT_GT(sign * DistOf(scenario, scenario.MaxEResult), 7);
        EXPECT_EQ(DistOf(scenario, scenario.RowMaxEResult), 15 * sign);
    }
}
