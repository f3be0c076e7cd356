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

TEST(Units, DisplayPairsConvertOnlyForEnglishProjects) {
    EXPECT_FLOAT_EQ(DisplayLength(English, 30.48f), 99.9744f);
    EXPECT_FLOAT_EQ(DisplayLength(Metric, 30.48f), 30.48f);
    EXPECT_FLOAT_EQ(LengthFromDisplay(English, 100.0f), 30.487805f);
    EXPECT_FLOAT_EQ(DiameterFromDisplay(English, 1.0f), 25.4f);
    EXPECT_FLOAT_EQ(DisplaySpacing(English, 45.72f), 17.999964f);
    EXPECT_FLOAT_EQ(LongLengthFromDisplay(Metric, 7.0f), 7.0f);
    EXPECT_FLOAT_EQ(MetresPerSecondToKilometresPerHour(1.0f), 3.6f);
    EXPECT_EQ(KiloamperesToAmperes(AmperesToKiloamperes(900.0f)), 900.0f);
}

TEST(Units, StoredMilesReadBackWithTheExactInverseDoNotDrift) {
    for (float km : {16.0934f, 1.0f, 123.4567f, 0.3f}) {
        SCOPED_TRACE(km);
        float value = km;
        for (int cycle = 0; cycle < 100; ++cycle)
            value = StoredMilesToKilometres(KilometresToMiles(value));
        EXPECT_NEAR(value, km, km * 4e-7f);
    }
}
