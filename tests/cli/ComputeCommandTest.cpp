// corvalt-cli compute, run as the program: valid JSON for the sample projects
// holding the values the computation leaves on the model, a cross section that
// cannot be computed, and unusable input.
#include "CliRun.h"
#include "compute/Compute.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fstream>
#include <string>

using namespace corvalt;
using ComputeCommand = corvalt::testing::TCliTest;
using corvalt::testing::Sample;
using corvalt::testing::TRun;

namespace {

QJsonObject Parse(const std::string& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

// The JSON number (written in shortest round-trip form) read back as the float
// it came from, or empty for null.
std::optional<float> FloatOf(const QJsonValue& value) {
    EXPECT_TRUE(value.isNull() || value.isDouble());
    if (value.isNull()) return std::nullopt;
    return static_cast<float>(value.toDouble());
}

// Every cross section, conductor and record of the output against the project
// computed in this process.
void ExpectOutputMatches(const QJsonObject& root, const TEmfProject& project) {
    EXPECT_EQ(root["format"].toString(), "corvalt-compute/1");
    EXPECT_EQ(root["project"]["title"].toString().toStdString(), project.Title);
    EXPECT_EQ(root["project"]["units"].toString().toStdString(), project.UnitsName());
    const QJsonArray sections = root["cross_sections"].toArray();
    ASSERT_EQ(sections.size(), project.Scenarios.Count());
    for (int i = 0; i < project.Scenarios.Count(); ++i) {
        SCOPED_TRACE(i);
        const TScenario& s = project.Scenarios[i];
        const QJsonObject json = sections[i].toObject();
        EXPECT_EQ(json["index"].toInt(), i + 1);
        EXPECT_EQ(json["tab_title"].toString().toStdString(), s.TabTitle);
        EXPECT_TRUE(json["error"].isNull());
        EXPECT_EQ(json["max_e_result"].toInt(), s.MaxEResult);
        EXPECT_EQ(json["row_max_b_result"].toInt(), s.RowMaxBResult);
        const QJsonArray points = json["interest_points"].toArray();
        ASSERT_EQ(points.size(), s.InterestPoints.Count());
        for (int p = 0; p < points.size(); ++p)
            EXPECT_EQ(points[p]["result_index"].toInt(), s.InterestPoints[p].ResultIndex);
        const QJsonArray conductors = json["conductors"].toArray();
        ASSERT_EQ(conductors.size(), s.ConductorCount());
        for (int c = 0; c < conductors.size(); ++c) {
            const TConductor& conductor = *s.Conductors[static_cast<std::size_t>(c)];
            EXPECT_EQ(conductors[c]["id"].toString().toStdString(), conductor.Id);
            EXPECT_EQ(FloatOf(conductors[c]["max_gradient"]), conductor.Calc.MaxGradient);
            EXPECT_EQ(FloatOf(conductors[c]["corona_loss"]), conductor.Calc.CoronaLoss);
            EXPECT_EQ(FloatOf(conductors[c]["ozone_rate"]), conductor.Calc.OzoneRate);
        }
        const QJsonArray results = json["results"].toArray();
        ASSERT_EQ(results.size(), static_cast<int>(s.Results.size()));
        for (int r = 0; r < results.size(); ++r) {
            const TCalcResult& record = s.Results[static_cast<std::size_t>(r)];
            const QJsonObject row = results[r].toObject();
            ASSERT_EQ(FloatOf(row["dist"]), record.Dist) << r;
            ASSERT_EQ(FloatOf(row["dist_m"]), record.DistM) << r;
            ASSERT_EQ(row["marked"].toBool(), record.IsMarked != 0) << r;
            ASSERT_EQ(FloatOf(row["e_max"]), record.EMax) << r;
            ASSERT_EQ(FloatOf(row["b_max"]), record.BMax) << r;
            ASSERT_EQ(FloatOf(row["an_rain_l50"]), record.AnRainL50) << r;
            ASSERT_EQ(FloatOf(row["an_fair_l50"]), record.AnFairL50) << r;
            ASSERT_EQ(FloatOf(row["ri_rain"]), record.RiRain) << r;
            ASSERT_EQ(FloatOf(row["ri_fair"]), record.RiFair) << r;
            ASSERT_EQ(FloatOf(row["tvi_rain"]), record.TviRain) << r;
            ASSERT_EQ(FloatOf(row["ozone"]), record.Ozone) << r;
        }
    }
}

} // namespace

TEST_F(ComputeCommand, SampleProjectsGiveTheComputedValuesExactly) {
    for (const char* name : {"sample-english.emf", "sample-metric.emf"}) {
        SCOPED_TRACE(name);
        const TRun run = Run("compute '" + Sample(name) + "'");
        EXPECT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(run.Out.find("nan"), std::string::npos);
        EXPECT_EQ(run.Out.find("inf"), std::string::npos);
        TEmfProject project;
        ASSERT_TRUE(project.Load(Sample(name)).Ok);
        EXPECT_EQ(ComputeAll(project), 0);
        ExpectOutputMatches(Parse(run.Out), project);
    }
}

TEST_F(ComputeCommand, ACrossSectionThatCannotBeComputedIsReportedAndFails) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-metric.emf")).Ok);
    project.Scenarios[0].Conductors[0]->Diameter = 0; // the data check would refuse it
    ASSERT_TRUE(project.Save(PathOf("bad.emf")).Ok);

    const TRun run = Run("compute '" + PathOf("bad.emf") + "'");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("1 of 1 cross sections could not be computed"), std::string::npos);
    const QJsonObject section = Parse(run.Out)["cross_sections"][0].toObject();
    EXPECT_EQ(section["error"].toString().toStdString(),
              "Cross section 'RS 138' cannot be computed: conductor '1A1' has a diameter of 0 "
              "or less.");
    EXPECT_TRUE(section["results"].toArray().isEmpty());
    EXPECT_TRUE(section["max_e_result"].isNull());
    EXPECT_TRUE(section["interest_points"][0]["result_index"].isNull());
    EXPECT_TRUE(section["conductors"][0]["max_gradient"].isNull());
}

TEST_F(ComputeCommand, OverlappingConductorsFailTheCheckAndTheComputation) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-metric.emf")).Ok);
    TScenario& scenario = project.Scenarios[0];
    const TConductor& a = *scenario.Conductors[0];
    TConductor& b = *scenario.Conductors[1];
    ASSERT_EQ(a.Id, "1A1");
    ASSERT_EQ(b.Id, "1B1");
    // 1 cm beside 1A1, well inside its outer circle, but not at the same place.
    b.HorizDistance = a.HorizDistance + 0.01f;
    b.Height = a.Height;
    ASSERT_TRUE(project.Save(PathOf("overlap.emf")).Ok);

    const TRun check = Run("check '" + PathOf("overlap.emf") + "'");
    EXPECT_EQ(check.Exit, 1);
    EXPECT_EQ(check.Out, "CrossSection: RS 138- Riverside 138 kV\n"
                         "  Circuit RS 138\n"
                         "    Conductor '1A1' occupies same space as '1B1' of Circuit 'RS 138'\n"
                         "    Conductor '1B1' occupies same space as '1A1' of Circuit 'RS 138'\n");

    const TRun compute = Run("compute '" + PathOf("overlap.emf") + "'");
    EXPECT_EQ(compute.Exit, 1);
    const QJsonObject section = Parse(compute.Out)["cross_sections"][0].toObject();
    EXPECT_EQ(section["error"].toString().toStdString(),
              "Cross section 'RS 138' cannot be computed: conductors '1A1' and '1B1' occupy the "
              "same space.");
    EXPECT_TRUE(section["results"].toArray().isEmpty());
}

TEST_F(ComputeCommand, UnusableInputExitsWithTwo) {
    std::ofstream(PathOf("damaged.emf"), std::ios::binary) << "not a project";
    const std::string cases[] = {"compute", "compute a.emf b.emf",
                                 "compute '" + PathOf("missing.emf") + "'",
                                 "compute '" + PathOf("damaged.emf") + "'"};
    for (const std::string& arguments : cases) {
        SCOPED_TRACE(arguments);
        const TRun run = Run(arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find("corvalt-cli: "), std::string::npos);
    }
}
