// corvalt-cli plan, run as the program: plans added, replaced by name,
// listed, exported and deleted in a project file, which is the older file
// again once its last plan is gone; refusals that leave the file alone; and
// map of a plan prints what map of its model prints.
#include "CliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

using corvalt::testing::Sample;
using corvalt::testing::Slurp;
using corvalt::testing::TRun;

namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

class PlanCommand : public corvalt::testing::TCliTest {
  protected:
    // A copy of the sample in the test's folder.
    std::string Copy(const char* sample) {
        const std::string path = PathOf(sample);
        std::filesystem::copy_file(Sample(sample), path);
        return path;
    }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(PathOf(name), std::ios::binary) << text;
        return PathOf(name);
    }
    TRun Plan(const std::string& project, const std::string& arguments) const {
        return Run("plan " + Quoted(project) + " " + arguments);
    }
};

// The text with its first occurrence of from replaced by to.
std::string Changed(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

} // namespace

TEST_F(PlanCommand, PlansAreAddedReplacedByNameListedExportedAndDeleted) {
    const std::string project = Copy("sample-metric.emf");
    const std::string original = Slurp(project);
    const std::string corner = Slurp(Sample("map-corner.json"));
    EXPECT_EQ(Plan(project, "--list").Out, "");

    TRun run = Plan(project, "--add " + Quoted(Sample("map-corner.json")));
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out + run.Err, "");
    EXPECT_EQ(Slurp(project).substr(4, 4), "1.04");
    ASSERT_EQ(Plan(project, "--add " + Quoted(Sample("map-crossing.json"))).Exit, 0);
    // Same name: replaced where it stands, the crossing stays second.
    const std::string lower = Write("lower.json", Changed(corner, "\"kv\": 230", "\"kv\": 115"));
    ASSERT_EQ(Plan(project, "--add " + Quoted(lower)).Exit, 0);
    EXPECT_EQ(Plan(project, "--list").Out, "Corner structure 14\n230 kV over 115 kV crossing\n");

    run = Plan(project, "--export 'Corner structure 14'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const nlohmann::json exported = nlohmann::json::parse(run.Out);
    EXPECT_EQ(exported["conductors"][0]["kv"], 115);
    EXPECT_EQ(exported["footprints"][0]["name"], "House 12");
    // Adding what was exported changes nothing.
    const std::string before = Slurp(project);
    ASSERT_EQ(Plan(project, "--add " + Quoted(Write("exported.json", run.Out))).Exit, 0);
    EXPECT_EQ(Slurp(project), before);

    ASSERT_EQ(Plan(project, "--delete 'Corner structure 14'").Exit, 0);
    EXPECT_EQ(Plan(project, "--list").Out, "230 kV over 115 kV crossing\n");
    ASSERT_EQ(Plan(project, "--delete '230 kV over 115 kV crossing'").Exit, 0);
    EXPECT_EQ(Slurp(project), original);
}

TEST_F(PlanCommand, RefusalsExitTwoAndLeaveTheProjectAlone) {
    const std::string project = Copy("sample-plans.emf");
    const std::string original = Slurp(project);
    const std::string corner = Slurp(Sample("map-corner.json"));
    const std::string noKv = Write("nokv.json", Changed(corner, "\"kv\": 230, ", ""));
    const std::string buried =
        Write("buried.json", Changed(corner, "[0, 0, 12.0], [212", "[0, 0, -1], [212"));
    struct Case {
        std::string arguments;
        std::string message; // a part of the one line on stderr
    };
    const Case cases[] = {
        {"--add " + Quoted(noKv), "nokv.json: conductor \"1A\": missing key \"kv\""},
        {"--add " + Quoted(buried), "buried.json: conductor \"1A\""},
        {"--export Nothing",
         "sample-plans.emf: there is no plan named 'Nothing' (the project has 2 plans)"},
        {"--delete Nothing", "sample-plans.emf: there is no plan named 'Nothing'"},
        {"--list --delete 'Corner structure 14'", "usage: corvalt-cli plan FILE.emf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const TRun run = Plan(project, c.arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.message), std::string::npos) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(Slurp(project), original);
    }
}

// The sample's corner plan is built value by value, not read from the model
// file: the two must agree to the last digit of every output.
TEST_F(PlanCommand, MapOfAPlanPrintsWhatMapOfItsModelPrints) {
    const std::string project = Quoted(Sample("sample-plans.emf"));
    const TRun fromPlan = Run("map " + project + " --plan 'Corner structure 14'");
    const TRun fromModel = Run("map " + Quoted(Sample("map-corner.json")));
    ASSERT_EQ(fromPlan.Exit, 0) << fromPlan.Err;
    ASSERT_EQ(fromModel.Exit, 0) << fromModel.Err;
    EXPECT_GT(fromPlan.Out.size(), 100000u);
    EXPECT_EQ(fromPlan.Out, fromModel.Out);

    // The English plan, through its exported model, as CSV of B alone.
    const TRun exported = Run("plan " + project + " --export 'Bayside 115 kV entry'");
    ASSERT_EQ(exported.Exit, 0) << exported.Err;
    const std::string model = Write("entry.json", exported.Out);
    ASSERT_EQ(Run("map " + project + " --plan 'Bayside 115 kV entry' --quantity b --csv " +
                  Quoted(PathOf("plan.csv")))
                  .Exit,
              0);
    ASSERT_EQ(
        Run("map " + Quoted(model) + " --quantity b --csv " + Quoted(PathOf("model.csv"))).Exit, 0);
    const std::string csv = Slurp(PathOf("plan.csv"));
    EXPECT_EQ(csv.rfind("x (ft),y (ft),E (kV/m)", 0), 0u);
    EXPECT_EQ(csv, Slurp(PathOf("model.csv")));

    const TRun unknown = Run("map " + project + " --plan Nothing");
    EXPECT_EQ(unknown.Exit, 2);
    EXPECT_NE(unknown.Err.find("there is no plan named 'Nothing'"), std::string::npos);
}
