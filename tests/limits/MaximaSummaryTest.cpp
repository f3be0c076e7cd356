// The rows of the maxima table for hand-built cross sections. Expected values
// are worked out by hand: the magnetic field of one line current, 2 I / r mG
// (I in A, r in m, no earth return), and the surface gradient and corona loss
// of the single conductor 10 m above ground at 230 kV worked through the
// formulas (g ≈ 14.20 kV/cm, fair-weather loss ≈ 0.005642 kW/km).
#include "limits/MaximaSummary.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "tests/compute/LineBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace corvalt {
namespace {

using testing::AddCircuit;
using testing::AddConductor;
using testing::AddInterestPoint;
using testing::AddScenario;

constexpr float kCurrentA = 1000;
constexpr float kHeightM = 10;
constexpr float kSensorM = 1; // AddScenario's sensor heights
constexpr float kGradientKvCm = 14.20f;
constexpr float kFairLossKwPerKm = 0.005642f;
constexpr float kKmPerMile = 1.60934f;

// B of the one line current at lateral distance x, mG.
double LineCurrentMg(double xM) {
    return 2 * kCurrentA / std::hypot(xM, kHeightM - kSensorM);
}

// One 230 kV conductor of 25.4 mm at x = 0, 10 m up, carrying 1000 A, under
// a ROW from -9 m to +30 m, with a point of interest inside the ROW (+5 m)
// and one outside it (-20 m).
struct TLine {
    TEmfProject Project;
    TScenario* Scenario = nullptr;

    explicit TLine(int units, float rainRateMmPerH = 0) {
        Project.Units = static_cast<std::uint8_t>(units);
        TScenario& scenario = AddScenario(Project);
        scenario.RowLeft = 9;
        scenario.RowRight = 30;
        scenario.RainRate = rainRateMmPerH;
        TCircuit& circuit = AddCircuit(scenario);
        circuit.Name = "West";
        circuit.VoltageClass = 230;
        AddConductor(circuit,
                     {.X = 0, .Y = kHeightM, .VoltageKv = 230, .CurrentA = kCurrentA, .Id = "1A1"});
        AddInterestPoint(scenario, "Barn", 5);
        AddInterestPoint(scenario, "House", -20);
        Scenario = &scenario;
        EXPECT_TRUE(ComputeScenario(scenario)) << scenario.CalcError;
    }
};

TEST(MaximaSummary, FieldRowsFollowTheLimitChecksWithTheirPlacesAndStatus) {
    TLine line(English);
    const TMaximaSummary summary = MaximaSummaryOf(*line.Scenario, DefaultFieldLimits());
    ASSERT_TRUE(summary.Computed);
    EXPECT_EQ(summary.Class, TLimitClass::Line230);
    // 5 checks of the ROW, 2 per point, 2 for the phase conductor (fair weather only).
    ASSERT_EQ(summary.Rows.size(), 5u + 4u + 2u);

    // The left edge lies 9 m (29.5 ft) from the conductor: 2000 / √(81 + 81) =
    // 157.1 mG, over the 150 mG of lines of 230 kV and less.
    const TMaximaRow& bLeft = summary.Rows[3];
    EXPECT_EQ(bLeft.Quantity, TMaximaQuantity::MagneticField);
    EXPECT_EQ(bLeft.PlaceText, "at the left ROW edge (-29.5 ft)");
    ASSERT_TRUE(bLeft.Value);
    EXPECT_NEAR(*bLeft.Value, LineCurrentMg(-9), 0.1);
    EXPECT_EQ(bLeft.ValueText, "157.1");
    EXPECT_EQ(bLeft.Unit, "mG");
    EXPECT_EQ(bLeft.LimitText, "150");
    EXPECT_EQ(bLeft.Status, TLimitStatus::Over);
    EXPECT_STREQ(MaximaStatusText(bLeft.Status), "over");

    // The right edge, 30 m out: 2000 / √(900 + 81) = 63.9 mG, within.
    const TMaximaRow& bRight = summary.Rows[4];
    EXPECT_EQ(bRight.PlaceText, "at the right ROW edge (98.4 ft)");
    EXPECT_NEAR(*bRight.Value, LineCurrentMg(30), 0.1);
    EXPECT_EQ(bRight.Status, TLimitStatus::Within);
    EXPECT_STREQ(MaximaStatusText(bRight.Status), "within");

    // The point inside the ROW has no magnetic limit; the one outside is held
    // to the edge limits.
    const TMaximaRow& barnE = summary.Rows[5];
    const TMaximaRow& barnB = summary.Rows[6];
    const TMaximaRow& houseE = summary.Rows[7];
    const TMaximaRow& houseB = summary.Rows[8];
    EXPECT_EQ(barnE.PlaceText, "at point of interest 'Barn' (16.4 ft, inside the ROW)");
    EXPECT_EQ(barnE.Limit, 8.0f);
    EXPECT_EQ(barnB.Limit, std::nullopt);
    EXPECT_EQ(barnB.LimitText, "");
    EXPECT_EQ(barnB.Status, TLimitStatus::NoLimit);
    EXPECT_NEAR(*barnB.Value, LineCurrentMg(5), 0.1);
    EXPECT_EQ(houseE.PlaceText, "at point of interest 'House' (-65.6 ft, outside the ROW)");
    EXPECT_EQ(houseE.Limit, 2.0f);
    EXPECT_EQ(houseB.Limit, 150.0f);
    EXPECT_NEAR(*houseB.Value, LineCurrentMg(-20), 0.1);
    EXPECT_EQ(houseB.Status, TLimitStatus::Within);

    // The largest E within the ROW is the first row, held to 8 kV/m.
    EXPECT_EQ(summary.Rows[0].QuantityText, "Largest electric field");
    EXPECT_EQ(summary.Rows[0].Unit, "kV/m");
    EXPECT_EQ(summary.Rows[0].Limit, 8.0f);
}

TEST(MaximaSummary, ConductorRowsGiveGradientAndLossInDisplayUnits) {
    struct TCase {
        int Units;
        const char* LossUnit;
        float LossPerUnit; // kW per mile or per km
    };
    for (const TCase& c : {TCase{English, "kW/mi", kFairLossKwPerKm * kKmPerMile},
                           TCase{Metric, "kW/km", kFairLossKwPerKm}}) {
        SCOPED_TRACE(c.LossUnit);
        TLine line(c.Units);
        const TMaximaSummary summary = MaximaSummaryOf(*line.Scenario, DefaultFieldLimits());
        ASSERT_EQ(summary.Rows.size(), 11u);
        const TMaximaRow& gradient = summary.Rows[9];
        EXPECT_EQ(gradient.Quantity, TMaximaQuantity::SurfaceGradient);
        EXPECT_EQ(gradient.PlaceText, "conductor 1A1 (West)");
        EXPECT_EQ(gradient.Conductor, (TConductorRef{0, 0}));
        EXPECT_EQ(gradient.Unit, "kV/cm");
        EXPECT_NEAR(*gradient.Value, kGradientKvCm, 0.01);
        EXPECT_EQ(gradient.Status, TLimitStatus::NoLimit);
        const TMaximaRow& loss = summary.Rows[10];
        EXPECT_EQ(loss.Quantity, TMaximaQuantity::CoronaLossFair);
        EXPECT_EQ(loss.Unit, c.LossUnit);
        EXPECT_NEAR(*loss.Value, c.LossPerUnit, c.LossPerUnit * 0.002);
        EXPECT_EQ(loss.Status, TLimitStatus::NoLimit);
        EXPECT_EQ(loss.LimitText, "");
    }
}

// In rain the computation gives the rain loss; the fair-weather loss comes from
// the same gradient. At 5 mm/h the rain term is 3.5 log(5 / 3.6) + 3.3 dB
// against 1.676 dB and the 17 dB fair-weather deduction.
TEST(MaximaSummary, RainAddsALossAtTheRainRate) {
    TLine line(Metric, 5);
    const TMaximaSummary summary = MaximaSummaryOf(*line.Scenario, DefaultFieldLimits());
    ASSERT_EQ(summary.Rows.size(), 12u);
    const TMaximaRow& fair = summary.Rows[10];
    const TMaximaRow& rain = summary.Rows[11];
    EXPECT_EQ(fair.Quantity, TMaximaQuantity::CoronaLossFair);
    EXPECT_NEAR(*fair.Value, kFairLossKwPerKm, kFairLossKwPerKm * 0.002);
    EXPECT_EQ(rain.Quantity, TMaximaQuantity::CoronaLossRain);
    EXPECT_EQ(rain.QuantityText, "Corona loss, rain 5.00 mm/h");
    const double rainTerm = 3.5 * std::log10(5 / 3.6) + 3.3;
    const double expected = kFairLossKwPerKm * std::pow(10.0, (rainTerm - 1.676 + 17) / 10);
    EXPECT_NEAR(*rain.Value, expected, expected * 0.002);
}

TEST(MaximaSummary, GroundWiresHaveNoRowsAndConductorsAreNamedByPlace) {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = AddScenario(project);
    scenario.RowLeft = scenario.RowRight = 20;
    TCircuit& first = AddCircuit(scenario, -5);
    AddConductor(first, {.X = -8, .Y = 12, .VoltageKv = 115, .Id = "1A1"});
    AddConductor(first, {.X = -5, .Y = 18, .Ground = true, .Id = "1G1"});
    TCircuit& second = AddCircuit(scenario, 5);
    AddConductor(second, {.X = 8, .Y = 12, .VoltageKv = 115, .Id = "2A1"});
    ASSERT_TRUE(ComputeScenario(scenario)) << scenario.CalcError;
    const TMaximaSummary summary = MaximaSummaryOf(scenario, DefaultFieldLimits());
    ASSERT_EQ(summary.Rows.size(), 5u + 2u * 2u);
    EXPECT_EQ(summary.Rows[5].Conductor, (TConductorRef{0, 0}));
    EXPECT_EQ(summary.Rows[7].Conductor, (TConductorRef{1, 0}));
    EXPECT_EQ(summary.Rows[7].PlaceText, "conductor 2A1 (Circuit 2)");
}

TEST(MaximaSummary, AFailedOrMissingComputationHasNoRows) {
    TEmfProject project;
    TScenario& scenario = AddScenario(project);
    TCircuit& circuit = AddCircuit(scenario);
    AddConductor(circuit, {.X = 0, .Y = 10, .VoltageKv = 230});
    TMaximaSummary summary = MaximaSummaryOf(scenario, DefaultFieldLimits());
    EXPECT_FALSE(summary.Computed);
    EXPECT_TRUE(summary.Rows.empty());

    scenario.CalcError = "The conductor 1A1 has no diameter.";
    scenario.Results.resize(3);
    summary = MaximaSummaryOf(scenario, DefaultFieldLimits());
    EXPECT_FALSE(summary.Computed);
    EXPECT_TRUE(summary.Rows.empty());
    EXPECT_EQ(summary.CalcError, scenario.CalcError);
}

TEST(MaximaSummary, StatusTexts) {
    EXPECT_STREQ(MaximaStatusText(TLimitStatus::NoLimit), "no limit");
    EXPECT_STREQ(MaximaStatusText(TLimitStatus::NotComputed), "not computed");
    // The one-word names of the JSON output.
    EXPECT_STREQ(LimitStatusName(TLimitStatus::NoLimit), "no-limit");
    EXPECT_STREQ(LimitStatusName(TLimitStatus::NotComputed), "not-computed");
    EXPECT_STREQ(LimitStatusName(TLimitStatus::Over), "over");
}

} // namespace
} // namespace corvalt
