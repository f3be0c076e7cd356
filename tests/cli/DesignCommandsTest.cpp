// corvalt-cli optimize and clearance, run as the program: the shape of their
// JSON, the answers for lines worked out by hand, and the exit codes.
#include "CliRun.h"
#include "model/Project.h"
#include "tests/design/PhasedLines.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <string>

using namespace corvalt;
using corvalt::testing::TRun;

namespace {

QJsonObject Parse(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return document.object();
}

QStringList Keys(const QJsonObject& object) {
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

class DesignCommands : public corvalt::testing::TCliTest {
  protected:
    std::string SaveDoubleCircuit(const std::string& name) {
        TEmfProject project;
        project.Units = Metric;
        corvalt::testing::VerticalDoubleCircuit(project);
        return Save(project, name);
    }

    // One conductor 5 m high at x = 0 carrying 1000 A (no voltage), a ROW
    // from −10 m to +30 m: the magnetic field at the left edge, 2 × 1000 ÷
    // √(10² + 4²) = 185.7 mG, is over the 150 mG of lines of 230 kV and less
    // until the conductor hangs √(13.333² − 10²) + 1 = 9.819 m high: a raise
    // of 4.82 m.
    std::string SaveOneCurrent(const std::string& name, int units) {
        TEmfProject project;
        project.Units = static_cast<std::uint8_t>(units);
        TScenario& scenario = corvalt::testing::AddDesignScenario(project, 10, 30);
        auto circuit = std::make_unique<TCircuit>(scenario);
        circuit->Number = 1;
        circuit->Name = "Feeder";
        TCircuit& added = scenario.Circuits[scenario.Circuits.Add(std::move(circuit))];
        TConductor& c = corvalt::testing::AddTypedConductor(added, PhaseA, {0, 5});
        c.SubCondCount = 1;
        c.Diameter = 25.4f;
        c.Mcr = 1.0f;
        return Save(project, name);
    }

    std::string Save(TEmfProject& project, const std::string& name) {
        const std::string path = PathOf(name);
        EXPECT_TRUE(project.Save(path).Ok);
        return path;
    }

    std::string EmptyIni() {
        const std::string path = PathOf("empty.INI");
        std::ofstream(path, std::ios::binary) << "";
        return path;
    }
};

TEST_F(DesignCommands, OptimizePrintsTheRankedArrangements) {
    const std::string file = SaveDoubleCircuit("double.emf");
    const TRun run = Run("optimize '" + file + "' --top 4");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const QJsonObject json = Parse(run.Out);
    EXPECT_EQ(Keys(json), QStringList({"current", "format", "objective", "ranked", "section"}));
    EXPECT_EQ(json["format"].toString(), "corvalt-optimize/1");
    EXPECT_EQ(json["section"].toInt(), 1);
    EXPECT_EQ(json["objective"].toString(), "edge-b");

    const QStringList arrangementKeys = {"edge_an_rain_dba",    "edge_b_mg",          "edge_e_kv_m",
                                         "edge_ri_fair_dbuv_m", "max_gradient_kv_cm", "phasing",
                                         "row_e_kv_m"};
    const QJsonObject current = json["current"].toObject();
    EXPECT_EQ(Keys(current), arrangementKeys);
    const QJsonArray currentPhasing = current["phasing"].toArray();
    ASSERT_EQ(currentPhasing.size(), 2);
    EXPECT_EQ(currentPhasing[0].toObject()["circuit"].toString(), "Circuit 1");
    EXPECT_EQ(currentPhasing[1].toObject()["circuit"].toString(), "Circuit 2");
    for (const QJsonValue& entry : currentPhasing)
        EXPECT_EQ(entry.toObject()["order"].toString(), "ABC");

    const QJsonArray ranked = json["ranked"].toArray();
    ASSERT_EQ(ranked.size(), 4);
    double previous = 0;
    for (const QJsonValue& value : ranked) {
        const QJsonObject arrangement = value.toObject();
        EXPECT_EQ(Keys(arrangement), QStringList{"count"} + arrangementKeys);
        // Corona values of a 230 kV line of single 28.1 mm conductors:
        // gradients of some 10 to 20 kV/cm, no value missing.
        EXPECT_GT(arrangement["max_gradient_kv_cm"].toDouble(), 5);
        EXPECT_LT(arrangement["max_gradient_kv_cm"].toDouble(), 25);
        EXPECT_TRUE(arrangement["edge_an_rain_dba"].isDouble());
        EXPECT_TRUE(arrangement["edge_ri_fair_dbuv_m"].isDouble());
        const double edgeB = arrangement["edge_b_mg"].toDouble();
        EXPECT_GE(edgeB, previous);
        previous = edgeB;
    }
    // The best hangs the second circuit's phases in the reverse order of the
    // first's, and its edge field is well below the current one.
    const QJsonArray best = ranked[0].toObject()["phasing"].toArray();
    std::string first = best[0].toObject()["order"].toString().toStdString();
    std::reverse(first.begin(), first.end());
    EXPECT_EQ(best[1].toObject()["order"].toString().toStdString(), first);
    EXPECT_LT(ranked[0].toObject()["edge_b_mg"].toDouble(), 0.5 * current["edge_b_mg"].toDouble());
}

TEST_F(DesignCommands, OptimizeTakesTheObjectiveAndItsWeights) {
    const std::string file = SaveDoubleCircuit("double.emf");
    const TRun rowE = Run("optimize '" + file + "' --objective row-e --top 2");
    ASSERT_EQ(rowE.Exit, 0) << rowE.Err;
    const QJsonObject json = Parse(rowE.Out);
    EXPECT_EQ(json["objective"].toString(), "row-e");
    const QJsonArray ranked = json["ranked"].toArray();
    ASSERT_EQ(ranked.size(), 2);
    EXPECT_LE(ranked[0].toObject()["row_e_kv_m"].toDouble(),
              ranked[1].toObject()["row_e_kv_m"].toDouble());

    const TRun weighted =
        Run("optimize '" + file + "' --objective weighted --weights 0,1,0 --top 36");
    ASSERT_EQ(weighted.Exit, 0) << weighted.Err;
    // The 36 arrangements of the symmetric double circuit make 5 rows: the
    // mirror image and the renamed phases share their values.
    const QJsonArray all = Parse(weighted.Out)["ranked"].toArray();
    ASSERT_EQ(all.size(), 5);
    int arrangements = all[0].toObject()["count"].toInt();
    for (int i = 1; i < all.size(); ++i) {
        EXPECT_LE(all[i - 1].toObject()["edge_e_kv_m"].toDouble(),
                  all[i].toObject()["edge_e_kv_m"].toDouble());
        arrangements += all[i].toObject()["count"].toInt();
    }
    EXPECT_EQ(arrangements, 36);
}

TEST_F(DesignCommands, OptimizeRefusesUnusableInput) {
    const std::string file = SaveDoubleCircuit("double.emf");
    const char* const bad[] = {
        "--objective edge",
        "--top 0",
        "--top many",
        "--weights 1,2,3",
        "--section 2",
        "--objective weighted",
        "--objective weighted --weights 1,2",
        "--objective weighted --weights 0,0,0",
        "--objective weighted --weights -1,1,1",
        "--unknown",
    };
    for (const char* arguments : bad) {
        SCOPED_TRACE(arguments);
        const TRun run = Run("optimize '" + file + "' " + arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_TRUE(run.Out.empty());
        EXPECT_NE(run.Err.find("corvalt-cli: "), std::string::npos);
    }
    EXPECT_EQ(Run("optimize '" + PathOf("missing.emf") + "'").Exit, 2);
    EXPECT_EQ(Run("optimize").Exit, 2);
}

TEST_F(DesignCommands, ACrossSectionThatCannotBeComputedFailsBothCommands) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = corvalt::testing::VerticalDoubleCircuit(project);
    scenario.Circuits[1].Conductors[0].Diameter = 0;
    const std::string file = Save(project, "broken.emf");
    for (const std::string& arguments :
         {"optimize '" + file + "'", "clearance '" + file + "' --ini '" + EmptyIni() + "'"}) {
        SCOPED_TRACE(arguments);
        const TRun run = Run(arguments);
        EXPECT_EQ(run.Exit, 1);
        EXPECT_NE(run.Err.find("cannot be computed"), std::string::npos) << run.Err;
    }
}

TEST_F(DesignCommands, ClearancePrintsTheRaiseAndTheChecksBeforeAndAfter) {
    struct TCase {
        int Units;
        const char* Unit;
        double Raise; // 9.8192 m is 32.207 ft, against 16.4 ft now
    };
    for (const TCase& c : {TCase{Metric, "m", 4.82}, TCase{English, "ft", 15.81}}) {
        SCOPED_TRACE(c.Unit);
        const std::string file = SaveOneCurrent("one.emf", c.Units);
        const TRun run =
            Run("clearance '" + file + "' --circuit Feeder --ini '" + EmptyIni() + "'");
        ASSERT_EQ(run.Exit, 0) << run.Err;
        const QJsonObject json = Parse(run.Out);
        EXPECT_EQ(json["format"].toString(), "corvalt-clearance/1");
        EXPECT_EQ(json["circuit"].toString(), "Feeder");
        EXPECT_EQ(json["outcome"].toString(), "raised");
        EXPECT_EQ(json["unit"].toString(), c.Unit);
        EXPECT_NEAR(json["raise"].toDouble(), c.Raise, 1e-6);
        const QJsonArray before = json["before"].toArray();
        const QJsonArray after = json["after"].toArray();
        ASSERT_EQ(before.size(), 5);
        ASSERT_EQ(after.size(), 5);
        const QJsonObject leftB = before[3].toObject();
        EXPECT_EQ(leftB["place"].toString(), "at the left ROW edge");
        EXPECT_EQ(leftB["unit"].toString(), "mG");
        EXPECT_NEAR(leftB["value"].toDouble(), 2000 / std::sqrt(116.0), 0.01);
        EXPECT_EQ(leftB["limit"].toDouble(), 150);
        EXPECT_EQ(leftB["status"].toString(), "over");
        EXPECT_EQ(after[3].toObject()["status"].toString(), "within");
    }
}

TEST_F(DesignCommands, ClearanceSaysWhenNoRaiseIsEnough) {
    const std::string file = SaveOneCurrent("one.emf", Metric);
    const std::string ini = PathOf("strict.INI");
    std::ofstream(ini, std::ios::binary) << "[Limits]\nLine230=8,2,10\n";
    const TRun run = Run("clearance '" + file + "' --ini '" + ini + "'");
    EXPECT_EQ(run.Exit, 1);
    const QJsonObject json = Parse(run.Out);
    EXPECT_EQ(json["outcome"].toString(), "not-achievable");
    EXPECT_TRUE(json["raise"].isNull());
    EXPECT_TRUE(json["circuit"].isNull());
    EXPECT_EQ(json["highest_raise_tried"].toDouble(), 100);
    const QJsonArray failing = json["failing"].toArray();
    // 100 m higher: 2000 ÷ √(10² + 104²) = 19.1 mG and 2000 ÷ √(30² + 104²)
    // = 18.5 mG at the edges.
    ASSERT_EQ(failing.size(), 2);
    EXPECT_NE(failing[0].toString().indexOf("left ROW edge"), -1)
        << failing[0].toString().toStdString();
    EXPECT_NE(run.Err.find("no raise up to 100 m"), std::string::npos) << run.Err;
}

TEST_F(DesignCommands, ClearanceRefusesUnusableInput) {
    const std::string file = SaveOneCurrent("one.emf", Metric);
    const std::string ini = " --ini '" + EmptyIni() + "'";
    EXPECT_EQ(Run("clearance '" + file + "' --circuit Nowhere" + ini).Exit, 2);
    EXPECT_EQ(Run("clearance '" + file + "' --section 0" + ini).Exit, 2);
    EXPECT_EQ(Run("clearance '" + file + "' --top 3" + ini).Exit, 2);
    EXPECT_EQ(Run("clearance '" + PathOf("missing.emf") + "'" + ini).Exit, 2);
}

} // namespace
