// Plans in the project file: where their fields lie, exact round trips
// through files, undo snapshots and copies whatever the project's units, the
// older layout once the last plan is gone, the limits and the damage the
// reader refuses.
#include "TestProject.h"

#include "model/Limits.h"
#include "model/Messages.h"
#include "model/ProjectFile.h"
#include "model/ProjectSnapshot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace corvalt;
using namespace corvalt::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string VersionOf(const Bytes& bytes) {
    return std::string(bytes.begin() + 4, bytes.begin() + 4 + IntAt(bytes, 0));
}

TPlanConductor Conductor(const std::string& id, TPlanShape shape, int points) {
    TPlanConductor c;
    c.Id = id;
    c.Kv = 230;
    c.Diameter = 28.14;
    c.Shape = shape;
    c.Sag = 6;
    for (int i = 0; i < points; ++i)
        c.Points.push_back({-300.0 + i, 0, 30.0 - 5 * i});
    return c;
}

TPlanConductor Span(const std::string& id) {
    return Conductor(id, TPlanShape::Span, 2);
}

TPlan NamedPlan(const std::string& name) {
    TPlan plan;
    plan.Name = name;
    plan.Grid = {1, 2, 3, 4, 0.5, 1};
    return plan;
}

// A Metric plan whose values no foot or inch shows exactly, and an English one
// with a DC pole of a bundle, a ground wire and a footprint without corners.
std::vector<TPlan> TwoPlans() {
    TPlan metric = NamedPlan("Corner 14");
    metric.Conductors = {Conductor("1A", TPlanShape::Path, 3)};
    metric.Conductors[0].Points[1].Z = 0.1;
    metric.Grid = {-100.1, 100, -0.3, 7.7, 0.1, 1.1};
    metric.Footprints = {{"House 12", {{30, 40}, {45, 40}, {45, 52.3}}}};
    TPlan english = NamedPlan("Entry; \xc3\xa9t\xc3\xa9");
    english.Units = English;
    TPlanConductor pole = Conductor("P-", TPlanShape::Path, 2);
    pole.IsAc = false;
    pole.Kv = -400;
    pole.CurrentA = -1500.25;
    pole.SubConductors = 4;
    pole.Spacing = 18;
    TPlanConductor ground = Conductor("G", TPlanShape::Path, 4);
    ground.IsGround = true;
    ground.Kv = 0;
    english.Conductors = {pole, ground};
    english.Footprints = {{"Lot", {{0, 0}, {1, 0}, {1, 1}}}, {"", {}}};
    return {metric, english};
}

bool Reads(const Bytes& bytes, TEmfProject& project, TFileResult& result) {
    result = ReadProjectBytes(bytes, project);
    return result.Ok;
}

} // namespace

// An empty project's header ends with the cross-section count at 138; the
// plans follow at 142. Sizes by hand: text 4 + n, integer 4, byte 1, real 10.
TEST(PlanFile, FieldsLieWhereTheLayoutPutsThem) {
    TEmfProject project;
    TPlan plan = NamedPlan("P");
    plan.Conductors = {Span("S")};
    plan.Footprints = {{"F", {{30, 40}, {45, 40}, {45, 52}}}};
    project.StorePlan(plan);
    const Bytes bytes = SerializeProject(project);
    EXPECT_EQ(VersionOf(bytes), "1.04");
    EXPECT_EQ(IntAt(bytes, 142), 1);      // plans; then the name "P" at 146
    EXPECT_EQ(IntAt(bytes, 151), Metric); // units, then 1 conductor
    // The conductor at 159: id 5, two bytes, kV at 166, angle, current,
    // diameter, sub-conductors 4, spacing 10, the shape at 220, 2 points at 224.
    EXPECT_EQ(RealAt(bytes, 166), 230.0);
    EXPECT_EQ(IntAt(bytes, 220), 1);
    EXPECT_EQ(RealAt(bytes, 278), 25.0); // the second point's z
    EXPECT_EQ(RealAt(bytes, 288), 6.0);  // sag; the grid from 298
    EXPECT_EQ(RealAt(bytes, 338), 0.5);  // step
    EXPECT_EQ(IntAt(bytes, 367), 3);     // after 1 footprint and its name "F": corners
    EXPECT_EQ(bytes.size(), 431u);
}

TEST(PlanFile, PlansRoundTripExactlyThroughFilesSnapshotsAndCopies) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        // The values as a file holds them, so that the file is a fixed point.
        auto project = std::make_unique<TEmfProject>();
        ASSERT_TRUE(ReadProjectBytes(SerializeProject(*MakeRichProject(units)), *project).Ok);
        const Bytes withoutPlans = SerializeProject(*project);
        ASSERT_EQ(VersionOf(withoutPlans), "1.02");
        for (const TPlan& plan : TwoPlans())
            project->StorePlan(plan);
        const Bytes bytes = SerializeProject(*project);
        EXPECT_EQ(VersionOf(bytes), "1.04");

        TEmfProject loaded;
        TFileResult result;
        ASSERT_TRUE(Reads(bytes, loaded, result)) << result.Detail;
        EXPECT_EQ(loaded.Plans, TwoPlans()); // in its own units, not the project's
        EXPECT_EQ(loaded.Scenarios.Count(), 2);
        EXPECT_EQ(SerializeProject(loaded), bytes);

        TEmfProject restored;
        ASSERT_TRUE(RestoreProjectSnapshot(restored, TakeProjectSnapshot(*project)).Ok);
        EXPECT_EQ(restored.Plans, TwoPlans());
        const std::unique_ptr<TEmfProject> copy = CopyProject(*project);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Plans, TwoPlans());

        // Without plans the file is the older one again.
        project->Plans.clear();
        EXPECT_EQ(SerializeProject(*project), withoutPlans);
    }
}

TEST(PlanFile, ALimitIsReadAndOneBeyondIsRefusedWithItsMessage) {
    struct Case {
        const char* message;
        std::function<void(TEmfProject&, int beyond)> fill;
    };
    const Case cases[] = {
        {"The project has more plans than Corvalt supports (at most 1000 in one project).",
         [](TEmfProject& p, int beyond) {
             for (int i = 1; i < 1000 + beyond; ++i) // and the first
                 p.Plans.push_back(NamedPlan(std::to_string(i)));
         }},
        {"The project has more conductors than Corvalt supports (at most 2000 in one plan).",
         [](TEmfProject& p, int beyond) {
             for (int i = 0; i < 2000 + beyond; ++i)
                 p.Plans[0].Conductors.push_back(Span(std::to_string(i)));
         }},
        // 10,000 + 9,999 pieces of two paths, and a piece of each span.
        {"The project has more straight pieces than Corvalt supports (at most 20000 in one plan).",
         [](TEmfProject& p, int beyond) {
             auto& conductors = p.Plans[0].Conductors;
             conductors = {Conductor("a", TPlanShape::Path, 10001),
                           Conductor("b", TPlanShape::Path, 10000), Span("c")};
             if (beyond > 0) conductors.push_back(Span("d"));
         }},
        {"The project has more footprints than Corvalt supports (at most 1000 in one plan).",
         [](TEmfProject& p, int beyond) {
             p.Plans[0].Footprints.resize(static_cast<std::size_t>(1000 + beyond));
         }},
        {"The project has more corners than Corvalt supports (at most 1000 in one footprint).",
         [](TEmfProject& p, int beyond) {
             p.Plans[0].Footprints = {{"F", std::vector<TPlanCorner>(1000 + beyond)}};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        for (const int beyond : {0, 1}) {
            TEmfProject project;
            project.Plans.push_back(NamedPlan("first"));
            c.fill(project, beyond);
            TEmfProject loaded;
            TFileResult result;
            const bool read = Reads(SerializeProject(project), loaded, result);
            EXPECT_EQ(read, beyond == 0) << result.Detail;
            if (read) {
                EXPECT_EQ(loaded.Plans, project.Plans);
            } else {
                EXPECT_EQ(result.Message, c.message);
                EXPECT_TRUE(loaded.Plans.empty());
            }
        }
    }

    // Room for one more, unless it replaces a plan of its name.
    TEmfProject full;
    for (int i = 0; i < 1000; ++i)
        full.StorePlan(NamedPlan(std::to_string(i)));
    EXPECT_EQ(RoomForPlan(full, "new").value_or(""),
              "The project would have more plans than Corvalt supports (at most 1000 in one "
              "project).");
    EXPECT_FALSE(RoomForPlan(full, "999").has_value());
    full.DeletePlan("3");
    EXPECT_FALSE(RoomForPlan(full, "new").has_value());
}

// What the writer never writes is damage: the reader refuses it, and so a
// save refuses to write it.
TEST(PlanFile, ContentNoWriterWritesIsRefusedAsDamage) {
    struct Case {
        const char* what;
        std::function<void(TPlan&)> damage;
    };
    const Case cases[] = {
        {"a span with three points", [](TPlan& p) { p.Conductors[0].Points.push_back({}); }},
        {"a shape the program does not know",
         [](TPlan& p) { p.Conductors[0].Shape = static_cast<TPlanShape>(2); }},
        {"256 sub-conductors", [](TPlan& p) { p.Conductors[0].SubConductors = 256; }},
        {"a name of 256 bytes", [](TPlan& p) { p.Name = std::string(256, 'n'); }},
        {"a coordinate that is not a number", [](TPlan& p) { p.Conductors[0].Points[1].Y = NAN; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TEmfProject project;
        TPlan plan = NamedPlan("p");
        plan.Conductors = {Span("S")};
        c.damage(plan);
        project.Plans.push_back(plan);
        TEmfProject loaded;
        TFileResult result;
        EXPECT_FALSE(Reads(SerializeProject(project), loaded, result));
        EXPECT_EQ(result.Message, messages::kFileDamaged);
        EXPECT_TRUE(loaded.Plans.empty());
        const std::string path = ::testing::TempDir() + "damaged-plan.emf";
        EXPECT_EQ(project.Save(path).Message, messages::kSaveWouldNotReopen);
        EXPECT_FALSE(std::filesystem::exists(path));
    }

    // Two plans of one name: the second could never be found.
    TEmfProject twice, loaded;
    twice.Plans = {NamedPlan("same"), NamedPlan("same")};
    EXPECT_EQ(ReadProjectBytes(SerializeProject(twice), loaded).Detail,
              "plan 2, name at offset 226: a second plan named 'same'");
}
