// corvalt-cli check and resave, run as the program.
#include "CliRun.h"
#include "model/Messages.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace corvalt;
namespace fs = std::filesystem;

using Cli = corvalt::testing::TCliTest;
using corvalt::testing::Sample;
using corvalt::testing::Slurp;
using corvalt::testing::TRun;

TEST_F(Cli, CheckPrintsIndentedLinesAndPassesACleanProject) {
    const TRun run = Run("check '" + Sample("sample-metric.emf") + "'");
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "CrossSection: RS 138- Riverside 138 kV\n  Circuit RS 138\n");
    EXPECT_EQ(run.Err, "");
}

TEST_F(Cli, CheckFailsWithTheFindings) {
    TEmfProject project;
    project.Units = Metric;
    project.Scenarios.Add(std::make_unique<TScenario>(project));
    TScenario& scenario = project.Scenarios[0];
    scenario.TabTitle = "T";
    scenario.Title = "Faulty";
    scenario.Circuits.Add(std::make_unique<TCircuit>(scenario));
    TCircuit& circuit = scenario.Circuits[0];
    circuit.Name = "C1";
    auto conductor = std::make_unique<TConductor>(scenario, circuit);
    conductor->Id = "1A1";
    conductor->Diameter = 20;
    conductor->SubCondCount = 1;
    circuit.AddConductor(std::move(conductor));
    ASSERT_TRUE(project.Save(PathOf("faulty.emf")).Ok);

    const TRun run = Run("check '" + PathOf("faulty.emf") + "'");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Out,
              "CrossSection: T- Faulty\n  Circuit C1\n    Conductor '1A1' has a 0 height\n");
}

TEST_F(Cli, UnusableInputExitsWithTwoAndOneLine) {
    std::ofstream(PathOf("cut.emf"), std::ios::binary)
        << Slurp(Sample("sample-metric.emf")).substr(0, 300);
    // The site sample is a "1.03" file; under another version its body is
    // damage (too long for 1.02, and 1.99 and 2.00 are no versions at all).
    const std::string site = Slurp(Sample("sample-site.emf"));
    ASSERT_EQ(site.substr(4, 4), "1.03");
    for (const char* version : {"1.02", "1.99", "2.00"})
        std::ofstream(PathOf(std::string("v") + version + ".emf"), std::ios::binary)
            << site.substr(0, 4) + version + site.substr(8);
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"check", "usage: corvalt-cli check FILE.emf"},
        {"check a b", "usage: corvalt-cli check FILE.emf"},
        {"resave only-one.emf", "usage: corvalt-cli resave IN.emf OUT.emf"},
        {"check '" + PathOf("none.emf") + "'", messages::kFileDoesNotExist},
        {"check '" + PathOf("cut.emf") + "'", messages::kFileDamaged},
        {"check '" + PathOf("v1.02.emf") + "'", messages::kFileDamaged},
        {"check '" + PathOf("v1.99.emf") + "'", messages::kFileDamaged},
        {"check '" + PathOf("v2.00.emf") + "'", messages::kFileDamaged},
        {"resave '" + PathOf("cut.emf") + "' '" + PathOf("out.emf") + "'", messages::kFileDamaged},
        {"frobnicate", "unknown command 'frobnicate'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const TRun run = Run(c.arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err.rfind("corvalt-cli: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(c.message), std::string::npos) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    }
    EXPECT_FALSE(fs::exists(PathOf("out.emf")));
}

TEST_F(Cli, ResaveWritesTheSameMetricProject) {
    const TRun run =
        Run("resave '" + Sample("sample-metric.emf") + "' '" + PathOf("copy.emf") + "'");
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(Slurp(PathOf("copy.emf")), Slurp(Sample("sample-metric.emf")));

    const TRun failed =
        Run("resave '" + Sample("sample-metric.emf") + "' '" + PathOf("no/such/folder.emf") + "'");
    EXPECT_EQ(failed.Exit, 2);
    EXPECT_NE(failed.Err.find(messages::kSaveFailed), std::string::npos) << failed.Err;
}
