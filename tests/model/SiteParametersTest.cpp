// The site-parameter table: each id reaches its own field of the cross
// section, and display values convert to stored units and back.
#include "TestProject.h"

#include "model/SiteParameters.h"
#include "model/Units.h"

#include <gtest/gtest.h>


using namespace corvalt;
using namespace corvalt::test;

TEST(SiteParameters, EachIdReachesItsOwnField) {
    TEmfProject project;
    TScenario& s = AddScenario(project);
    EXPECT_FALSE(s.HasSiteParameters());
    const std::pair<TSiteParameter, float TScenario::*> fields[] = {
        {TSiteParameter::MicrophoneHeight, &TScenario::MicrophoneHeight},
        {TSiteParameter::RadioAntennaHeight, &TScenario::RadioAntennaHeight},
        {TSiteParameter::TvAntennaHeight, &TScenario::TvAntennaHeight},
        {TSiteParameter::OzoneHeight, &TScenario::OzoneHeight},
        {TSiteParameter::Altitude, &TScenario::Altitude},
        {TSiteParameter::RainRate, &TScenario::RainRate},
        {TSiteParameter::WindVelocity, &TScenario::WindVelocity},
        {TSiteParameter::RadioFrequency, &TScenario::RadioFrequency},
        {TSiteParameter::TvFrequency, &TScenario::TvFrequency},
        {TSiteParameter::GroundConductivity, &TScenario::GroundConductivity},
    };
    float value = 1;
    for (const auto& [id, field] : fields) {
        SCOPED_TRACE(SiteParameterInfo(id).Name);
        s.SetSiteValue(id, value);
        EXPECT_EQ(s.*field, value);
        EXPECT_EQ(s.SiteValue(id), value);
        EXPECT_TRUE(s.HasSiteParameters());
        s.*field = 0;
        EXPECT_FALSE(s.HasSiteParameters());
        value += 1;
    }
}

TEST(SiteParameters, DisplayValuesConvertWithTheProgramsFactors) {
    struct Case {
        int units;
        TSiteUnit unit;
        float shown;
        float stored; // worked out from the factor
        const char* label;
    };
    const Case cases[] = {
        {English, TSiteUnit::Length, 4.92f, 1.5f, "ft"},           // 4.92 ÷ 3.28
        {English, TSiteUnit::Length, 5, 1.5243902f, "ft"},         // 5 ÷ 3.28
        {Metric, TSiteUnit::Length, 500, 500, "m"},                //
        {English, TSiteUnit::RainRate, 0.04f, 1.016f, "in/h"},     // 0.04 × 2.54 × 10
        {Metric, TSiteUnit::RainRate, 1, 1, "mm/h"},               //
        {English, TSiteUnit::Speed, 10, 4.4706924f, "MPH"},        // 10 ÷ 2.23679
        {Metric, TSiteUnit::Speed, 36, 10, "km/h"},                // 36 ÷ 3.6
        {English, TSiteUnit::Frequency, 0.5f, 0.5f, "MHz"},        //
        {English, TSiteUnit::Conductivity, 4.7f, 4.7f, "mmhos/m"}, //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " " + std::to_string(c.shown));
        const float stored = SiteValueFromDisplay(c.units, c.unit, c.shown);
        EXPECT_NEAR(stored, c.stored, 1e-6f * c.stored);
        // Shown again, a typed value reads as typed to the last digit a
        // field shows.
        EXPECT_NEAR(SiteDisplayValue(c.units, c.unit, stored), c.shown, 1e-5f * c.shown);
        EXPECT_STREQ(SiteUnitLabel(c.units, c.unit), c.label);
    }
    // 1 mm/h shows as 1 × 0.3937 ÷ 10 = 0.03937 in/h; 1 m/s as 2.23679 MPH and
    // 3.6 km/h.
    EXPECT_FLOAT_EQ(SiteDisplayValue(English, TSiteUnit::RainRate, 1), 0.03937f);
    EXPECT_FLOAT_EQ(SiteDisplayValue(English, TSiteUnit::Speed, 1), 2.23679f);
    EXPECT_FLOAT_EQ(SiteDisplayValue(Metric, TSiteUnit::Speed, 1), 3.6f);
}
