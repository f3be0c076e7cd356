// The maximum voltage of a voltage class, taken exactly on the decimal texts.
#include "model/MaxVoltage.h"

#include <gtest/gtest.h>

#include <optional>

using namespace corvalt;

TEST(MaxVoltage, ProductOfTheTextsRoundedHalfAwayFromZero) {
    struct TCase {
        const char* Voltage;
        const char* Factor;
        long long Expected; // worked out on paper
    };
    const TCase cases[] = {
        {"230", "1.05", 242},     // 241.5: half rounds up (a float product gives 241.49999)
        {"115", "1.05", 121},     // 120.75
        {"34.5", "1.05", 36},     // 36.225
        {"230", "1.1", 253},      // 253
        {"500", "1", 500},        // 500
        {"138", "1.045", 144},    // 144.21
        {"0.49", "1", 0},         // 0.49
        {".5", "3", 2},           // 1.5
        {"-230", "1.05", -242},   // -241.5: away from zero
        {"+230", "1.05", 242},    // a plus sign is allowed
        {" 230 ", " 1.05 ", 242}, // blanks around the texts are ignored
        // 999999999 × (1000 − 0.000001) = 999999998000.000001: nine digits each stay exact
        {"999999999", "999.999999", 999999998000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Voltage) + " x " + c.Factor);
        EXPECT_EQ(RoundedMaxVoltage(c.Voltage, c.Factor), std::optional<long long>(c.Expected));
    }
}

TEST(MaxVoltage, TextsThatAreNoPlainDecimalGiveNothing) {
    for (const char* text : {"", " ", ".", "-", "abc", "1.2.3", "1e3", "2,5", "1234567890"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(RoundedMaxVoltage(text, "1.05").has_value());
        EXPECT_FALSE(RoundedMaxVoltage("230", text).has_value());
    }
}
