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

TPlanConductor SpanConductor(const std::string& id) {
    TPlanConductor c;
    c.Id = id;
    c.Kv = 230;
    c.Diameter = 28.14;
    c.Shape = TPlanShape::Span;
    c.Points = {{-300, 0, 30}, {0, 0, 25}};
    c.Sag = 6;
    return c;
}

TPlanConductor PathConductor(const std::string& id, int points) {
    TPlanConductor c;
    c.Id = id;
    c.Kv = 115;
    c.Diameter = 0.741;
    for (int i = 0; i < points; ++i)
        c.Points.push_back({static_cast<double>(i), 0, 12});
    return c;
}

TPlan NamedPlan(const std::string& name) {
    TPlan plan;
    plan.Name = name;
    plan.Grid = {1, 2, 3, 4, 0.5, 1};
    return plan;
}

// A Metric plan whose values no foot or inch shows exactly, and an English one
// with a DC pole, a bundle, a corner path and two footprints.
std::vector<TPlan> TwoPlans() {
    TPlan metric = NamedPlan("Corner 14");
    metric.Conductors = {SpanConductor("G1"), PathConductor("1A", 3)};
    metric.Conductors[0].IsGround = true;
    metric.Conductors[0].Kv = 0;
    metric.Conductors[1].Points[1].Z = 0.1;
    metric.Grid = {-100.1, 100, -0.3, 7.7, 0.1, 1.1};
    metric.Footprints = {{"House 12", {{30, 40}, {45, 40}, {45, 52.3}}}};
    TPlan english = NamedPlan("Entry; \xc3\xa9t\xc3\xa9");
    english.Units = English;
    TPlanConductor pole = PathConductor("P-", 2);
    pole.IsAc = false;
    pole.Kv = -400;
    pole.CurrentA = -1500.25;
    pole.AngleDeg = 0;
    pole.SubConductors = 4;
    pole.Spacing = 18;
    english.Conductors = {pole, SpanConductor("A")};
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
    plan.Conductors = {SpanConductor("S")};
    plan.Footprints = {{"F", {{30, 40}, {45, 40}, {45, 52}}}};
    project.StorePlan(plan);
    const Bytes bytes = SerializeProject(project);
    EXPECT_EQ(VersionOf(bytes), "1.04");
    EXPECT_EQ(IntAt(bytes, 142), 1);      // plans
    EXPECT_EQ(IntAt(bytes, 146), 1);      // name length, then "P"
    EXPECT_EQ(IntAt(bytes, 151), Metric); // units
    EXPECT_EQ(IntAt(bytes, 155), 1);      // conductors
    // Conductor at 159: id 5, two bytes, kV, angle, current, diameter 40,
    // sub-conductors 4, spacing 10: the shape at 220, the points at 224.
    EXPECT_EQ(RealAt(bytes, 166), 230.0);
    EXPECT_EQ(RealAt(bytes, 196), 28.14);
    EXPECT_EQ(IntAt(bytes, 220), 1); // a span
    EXPECT_EQ(IntAt(bytes, 224), 2);
    EXPECT_EQ(RealAt(bytes, 228), -300.0);
    EXPECT_EQ(RealAt(bytes, 278), 25.0);
    EXPECT_EQ(RealAt(bytes, 288), 6.0); // sag
    EXPECT_EQ(RealAt(bytes, 298), 1.0); // grid x0 ... height
    EXPECT_EQ(RealAt(bytes, 338), 0.5);
    EXPECT_EQ(IntAt(bytes, 358), 1);     // footprints
    EXPECT_EQ(IntAt(bytes, 367), 3);     // after the name "F": corners
    EXPECT_EQ(RealAt(bytes, 411), 45.0); // the last corner's x
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

        ASSERT_TRUE(RestoreProjectSnapshot(loaded, TakeProjectSnapshot(*project)).Ok);
        EXPECT_EQ(loaded.Plans, TwoPlans());
        const std::unique_ptr<TEmfProject> copy = CopyProject(*project);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Plans, TwoPlans());

        // Replaced where it stands; without plans the file is the older one again.
        TPlan changed = TwoPlans()[0];
        changed.Grid.Step = 2;
        project->StorePlan(changed);
        ASSERT_EQ(project->Plans.size(), 2u);
        EXPECT_EQ(project->Plans[0].Grid.Step, 2);
        EXPECT_TRUE(project->DeletePlan("Corner 14"));
        EXPECT_FALSE(project->DeletePlan("Corner 14"));
        EXPECT_EQ(project->Plans.size(), 1u);
        EXPECT_TRUE(project->DeletePlan(TwoPlans()[1].Name));
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
                 p.Plans[0].Conductors.push_back(SpanConductor(std::to_string(i)));
         }},
        // 10,000 + 9,999 pieces of two paths, and a piece of each span.
        {"The project has more straight pieces than Corvalt supports (at most 20000 in one plan).",
         [](TEmfProject& p, int beyond) {
             auto& conductors = p.Plans[0].Conductors;
             conductors = {PathConductor("a", 10001), PathConductor("b", 10000),
                           SpanConductor("c")};
             if (beyond > 0) conductors.push_back(SpanConductor("d"));
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
        {"units that are neither", [](TPlan& p) { p.Units = 2; }},
        {"256 sub-conductors", [](TPlan& p) { p.Conductors[0].SubConductors = 256; }},
        {"a name of 256 bytes", [](TPlan& p) { p.Name = std::string(256, 'n'); }},
        {"an id of 256 bytes", [](TPlan& p) { p.Conductors[0].Id = std::string(256, 'i'); }},
        {"a footprint name of 256 bytes",
         [](TPlan& p) {
             p.Footprints = {{std::string(256, 'f'), {}}};
         }},
        {"a coordinate that is not a number", [](TPlan& p) { p.Conductors[0].Points[1].Y = NAN; }},
        {"an infinite grid step", [](TPlan& p) { p.Grid.Step = INFINITY; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TEmfProject project;
        TPlan plan = NamedPlan("p");
        plan.Conductors = {SpanConductor("S")};
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
    TEmfProject twice;
    twice.Plans = {NamedPlan("same"), NamedPlan("same")};
    TEmfProject loaded;
    TFileResult result;
    EXPECT_FALSE(Reads(SerializeProject(twice), loaded, result));
    EXPECT_NE(result.Detail.find("plan 2, name at offset 226: a second plan named 'same'"),
              std::string::npos)
        << result.Detail;
}
