#include "model/Units.h"

#include <gtest/gtest.h>

using namespace corvalt;

TEST(Units, FeetRoundTripThroughSinglePrecisionMetres) {
    const float metres = FeetToMetres(100.0f);
    EXPECT_FLOAT_EQ(metres, 30.487805f);
    EXPECT_FLOAT_EQ(MetresToFeet(metres), 100.0f);
}

TEST(Units, DiameterConversionsUseTheProgramsOwnFactors) {
    EXPECT_FLOAT_EQ(InchesToMillimetres(1.0f), 25.4f);
    // 25.4 × 0.3937 ÷ 10: the two factors are not reciprocals of each other.
    EXPECT_FLOAT_EQ(MillimetresToInches(25.4f), 0.999998f);
    EXPECT_FLOAT_EQ(CentimetresToInches(45.0f), 17.7165f);
}

TEST(Units, StoredInchesReadBackWithTheExactInverseDoNotDrift) {
    for (float mm : {25.4f, 28.143f, 9.525f, 0.5f, 50.292f}) {
        SCOPED_TRACE(mm);
        float value = mm;
        for (int cycle = 0; cycle < 100; ++cycle)
            value = StoredInchesToMillimetres(MillimetresToInches(value));
        EXPECT_NEAR(value, mm, mm * 4e-7f);
    }
    float cm = 45.7f;
    for (int cycle = 0; cycle < 100; ++cycle)
        cm = StoredInchesToCentimetres(CentimetresToInches(cm));
    EXPECT_NEAR(cm, 45.7f, 45.7f * 4e-7f);
}

TEST(Units, LabelsFollowTheMeasurementSystem) {
    EXPECT_STREQ(UnitsName(English), "English");
    EXPECT_STREQ(UnitsName(Metric), "Metric");
    EXPECT_STREQ(LengthUnit(English), "ft");
    EXPECT_STREQ(LongLengthUnit(Metric), "km");
    EXPECT_STREQ(DiameterUnit(English), "in");
    EXPECT_STREQ(SpacingUnit(Metric), "cm");
    EXPECT_STREQ(SpeedUnit(English), "MPH");
    EXPECT_STREQ(SpeedUnit(Metric), "km/H");
    EXPECT_FLOAT_EQ(ToMilesPerHour(1.0f), 2.23679f);
    EXPECT_FLOAT_EQ(KilometresToMiles(MilesToKilometres(10.0f)), 10.0f);
}
