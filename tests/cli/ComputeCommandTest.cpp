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
        const QJsonObject site = json["site"].toObject();
        EXPECT_EQ(site.size(), 10);
        for (const TSiteParameterInfo& parameter : kSiteParameters)
            EXPECT_EQ(FloatOf(site[parameter.Key]), s.EffectiveSiteValue(parameter.Id))
                << parameter.Key;
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
            ASSERT_EQ(FloatOf(row["e_resultant"]), record.EResultant) << r;
            ASSERT_EQ(FloatOf(row["b_resultant"]), record.BResultant) << r;
        }
    }
}

} // namespace

TEST_F(ComputeCommand, SampleProjectsGiveTheComputedValuesExactly) {
    for (const char* name : {"sample-english.emf", "sample-metric.emf", "sample-site.emf"}) {
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

// A DC pole stored at −250 kV × √3 = −433.0127 kV reads −250 kV to ground; an
// AC phase and a ground wire (even one flagged DC) have no pole voltage.
TEST_F(ComputeCommand, DcPolesGiveTheirVoltageToGround) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-metric.emf")).Ok);
    TScenario& scenario = project.Scenarios[0];
    TConductor* ground = nullptr;
    for (TConductor* conductor : scenario.Conductors) {
        if (conductor->IsGround()) ground = conductor;
    }
    ASSERT_NE(ground, nullptr);
    ground->AcFlag = 0;
    TConductor& pole = *scenario.Conductors[0];
    pole.AcFlag = 0;
    pole.MaxVoltage = -433.0127f;
    ASSERT_TRUE(project.Save(PathOf("dc.emf")).Ok);

    const TRun run = Run("compute '" + PathOf("dc.emf") + "'");
    const QJsonArray conductors =
        Parse(run.Out)["cross_sections"][0].toObject()["conductors"].toArray();
    ASSERT_EQ(conductors.size(), scenario.ConductorCount());
    for (int c = 0; c < conductors.size(); ++c) {
        const QJsonValue poleKv = conductors[c]["pole_kv"];
        SCOPED_TRACE(conductors[c]["id"].toString().toStdString());
        if (c == 0)
            EXPECT_NEAR(poleKv.toDouble(), -250.0, 1e-3);
        else
            EXPECT_TRUE(poleKv.isNull());
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

namespace {

// The ten values of a "site" object in file order.
std::vector<double> SiteValues(const QJsonValue& site) {
    std::vector<double> values;
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        values.push_back(site[parameter.Key].toDouble(-1));
    return values;
}

} // namespace

TEST_F(ComputeCommand, SiteObjectGivesTheValuesTheComputationUsed) {
    const TRun run = Run("compute '" + Sample("sample-site.emf") + "'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const QJsonArray sections = Parse(run.Out)["cross_sections"].toArray();
    ASSERT_EQ(sections.size(), 2);
    // The ridge: microphone 1.5 m, radio antenna 2 m, TV antenna 10 m, ozone
    // unset (0), altitude 500 m, rain 1 mm/h; wind 1 m/s, 1 MHz, 75 MHz and
    // 0.1 mmhos/m by default. The crossing leaves everything at the defaults.
    EXPECT_EQ(SiteValues(sections[0]["site"]),
              (std::vector<double>{1.5, 2, 10, 0, 500, 1, 1, 1, 75, 0.1}));
    EXPECT_EQ(SiteValues(sections[1]["site"]),
              (std::vector<double>{0, 0, 0, 0, 0, 0, 1, 1, 75, 0.1}));
}

TEST_F(ComputeCommand, SiteOptionSetsEveryCrossSectionForTheRun) {
    struct Case {
        const char* option;
        std::vector<std::pair<TSiteParameter, float>> values;
    };
    const Case cases[] = {
        {"--site altitude=300,rain_rate=7.2",
         {{TSiteParameter::Altitude, 300}, {TSiteParameter::RainRate, 7.2f}}},
        {"--site=microphone_height=1.5,tv_frequency=0,wind_velocity=2.5e0",
         {{TSiteParameter::MicrophoneHeight, 1.5f},
          {TSiteParameter::TvFrequency, 0},
          {TSiteParameter::WindVelocity, 2.5f}}},
    };
    for (const char* name : {"sample-english.emf", "sample-site.emf"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + " " + c.option);
            const TRun run = Run("compute '" + Sample(name) + "' " + c.option);
            EXPECT_EQ(run.Exit, 0) << run.Err;
            TEmfProject project;
            ASSERT_TRUE(project.Load(Sample(name)).Ok);
            for (TScenario& scenario : project.Scenarios)
                for (const auto& [id, value] : c.values)
                    scenario.SetSiteValue(id, value);
            EXPECT_EQ(ComputeAll(project), 0);
            ExpectOutputMatches(Parse(run.Out), project);
        }
    }
    // The file itself is not changed by the run.
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-site.emf")).Ok);
    EXPECT_EQ(project.Scenarios[0].Altitude, 500);
}

TEST_F(ComputeCommand, BadSiteOptionsExitWithTwoAndSayWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"--site altitud=300", "unknown site parameter 'altitud' (known: microphone_height, "},
        {"--site Altitude=300", "unknown site parameter 'Altitude'"},
        {"--site altitude=nan", "the value of altitude must be a finite number, not 'nan'"},
        {"--site rain_rate=inf", "the value of rain_rate must be a finite number, not 'inf'"},
        // Numbers beyond a float's range are numbers out of the parameter's range.
        {"--site rain_rate=1e50", "rain_rate must be from "},
        {"--site altitude=4.9e-324",
         "altitude must be from -500 to 7000 m, or 0 for the default, not 4.9e-324"},
        {"--site rain_rate=", "must be a finite number, not ''"},
        {"--site rain_rate=2mm", "must be a finite number, not '2mm'"},
        {"--site altitude", "--site needs NAME=VALUE pairs separated by commas, not 'altitude'"},
        {"--site altitude=3,", "not ''"},
        {"--site altitude=3,altitude=4", "--site: altitude given twice"},
        {"--site", "--site needs NAME=VALUE pairs"},
        {"--site altitude=9000", "altitude must be from -500 to 7000 m, or 0 for the default"},
        {"--site radio_frequency=-1", "radio_frequency must be from 0.1 to 30 MHz"},
    };
    for (const auto& [option, message] : cases) {
        SCOPED_TRACE(option);
        const TRun run = Run("compute '" + Sample("sample-metric.emf") + "' " + option);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
    }
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
