// The profile as CSV: header, marks, empty cells, quoting and numbers that read
// back as the values held, whatever the locale. (Writing the file, and writing
// nothing for a cross section without profile: tests/cli/LimitsExportTest.cpp.)
#include "reports/ProfileCsv.h"

#include "model/Project.h"
#include "tests/model/GermanLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace corvalt {
namespace {

TCalcResult Record(float dist, std::optional<float> e, std::optional<float> gauss, bool marked) {
    TCalcResult record;
    record.Dist = dist;
    record.DistM = dist / 3.28f;
    record.IsMarked = marked ? 1 : 0;
    record.EMax = e;
    record.BMax = gauss;
    record.AnRainL50 = 33.5f;
    record.AnFairL50 = 8.25f;
    record.RiRain = 57.125f;
    record.RiFair = 40.0f;
    record.TviRain = -3.5f;
    record.Ozone = 0.0f;
    return record;
}

struct TCsvProject {
    TEmfProject Project;
    TScenario* Scenario = nullptr;

    explicit TCsvProject(int units) {
        Project.Units = static_cast<std::uint8_t>(units);
        auto scenario = std::make_unique<TScenario>(Project);
        scenario->TabTitle = "North";
        Scenario = &Project.Scenarios[Project.Scenarios.Add(std::move(scenario))];
        for (const char* name : {"Gate \"A\", north", " Barn", "Caf\xE9"}) {
            auto point = std::make_unique<TInterestPoint>(*Scenario);
            point->Name = name;
            Scenario->InterestPoints.Add(std::move(point));
        }
        // Edges, then the points (their records in another order), then the
        // regular steps: one on the right edge, one at the negated distance 0
        // with a field of -0 gauss.
        Scenario->Results = {Record(-50, 0.5f, 0.0125f, true),
                             Record(50, 0.25f, 0.015f, true),
                             Record(10, std::nullopt, std::nullopt, true),
                             Record(-10, 1.5f, 0.1f, true),
                             Record(70, 0.125f, 0.004f, true),
                             Record(-49, 0.75f, 0.0126f, false),
                             Record(50, 0.25f, 0.015f, false),
                             Record(-0.0f, 0.5f, -0.0f, false)};
        Scenario->RowLeftResult = 0;
        Scenario->RowRightResult = 1;
        Scenario->InterestPoints[0].ResultIndex = 3;
        Scenario->InterestPoints[1].ResultIndex = 2;
        Scenario->InterestPoints[2].ResultIndex = 4;
    }
};

constexpr const char* kHeaderTail =
    ",Mark,Electric field (kV/m),Magnetic field (mG),Audible noise rain L50 (dBA),"
    "Audible noise fair L50 (dBA),Radio interference rain (dBuV/m),"
    "Radio interference fair (dBuV/m),TV interference rain (dBuV/m),Ozone (ppb)\r\n";

// The records' values as written, from left to right (a mark before the step
// at the same distance); B in mG is gauss × 1000 rounded to float: 0.0125 →
// 12.5, 0.015f → 15 (the float nearest 0.015 times 1000 rounds to 15), 0.1f →
// 100, 0.004f → 4, 0.0126f → 12.6; -0 is written 0.
std::string ExpectedRows() {
    const std::string corona = ",33.5,8.25,57.125,40,-3.5,0\r\n";
    return "-50,ROW left edge,0.5,12.5" + corona +            //
           "-49,,0.75,12.6" + corona +                        //
           "-10,\"Gate \"\"A\"\", north\",1.5,100" + corona + //
           "0,,0.5,0" + corona +                              //
           "10,\" Barn\",," + corona +                        // values that cannot be computed
           "50,ROW right edge,0.25,15" + corona +             //
           "50,,0.25,15" + corona +                           //
           "70,Caf\xC3\xA9,0.125,4" + corona; // an older file's Windows-1252 name, as UTF-8
}

TEST(ProfileCsv, OneRowPerRecordFromLeftToRight) {
    const TCsvProject english(English);
    EXPECT_EQ(ProfileCsvText(*english.Scenario),
              std::string("Distance (ft)") + kHeaderTail + ExpectedRows());
    const TCsvProject metric(Metric);
    EXPECT_EQ(ProfileCsvText(*metric.Scenario).substr(0, 13), "Distance (m),");
}

TEST(ProfileCsv, NumbersUseAPointWhateverTheLocale) {
    CORVALT_USE_GERMAN_LOCALE(german);
    const TCsvProject english(English);
    EXPECT_EQ(ProfileCsvText(*english.Scenario),
              std::string("Distance (ft)") + kHeaderTail + ExpectedRows());
}

} // namespace
} // namespace corvalt
