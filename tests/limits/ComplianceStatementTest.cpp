// The compliance statement of a hand-built profile: which values count, the
// margins worked out by hand, the verdict and the limits named.
#include "limits/ComplianceStatement.h"

#include "model/Project.h"
#include "tests/compute/LineBuilder.h"

#include <gtest/gtest.h>

namespace corvalt {
namespace {

using testing::AddCircuit;
using testing::AddConductor;
using testing::AddInterestPoint;
using testing::AddScenario;

TCalcResult Record(float xM, float e, float gauss) {
    TCalcResult record;
    record.DistM = xM;
    record.Dist = xM;
    record.EMax = e;
    record.BMax = gauss;
    return record;
}

// A metric 1100 kV line (the 500 kV class: 10 kV/m within the ROW, 2 kV/m
// and 200 mG at its edges) with ROW 25 / 25 m and a point of interest at its
// centre line, given a profile by hand: 6.88 kV/m at the left edge and
// 210.4 mG at the right one are over their limits.
struct TUhvLine {
    TEmfProject Project;
    TScenario* Scenario = nullptr;
    TUhvLine() {
        Project.Units = Metric;
        TScenario& scenario = AddScenario(Project, "UHV");
        scenario.RowLeft = 25;
        scenario.RowRight = 25;
        TCircuit& circuit = AddCircuit(scenario);
        circuit.VoltageClass = 1100;
        AddConductor(circuit, {.X = 0, .Y = 25, .VoltageKv = 1100});
        AddInterestPoint(scenario, "Barn", 0);
        scenario.Results = {Record(-25, 6.88f, 0.1205f), Record(25, 1.95f, 0.2104f),
                            Record(0, 9.4f, 0.3f)};
        scenario.RowLeftResult = 0;
        scenario.RowRightResult = 1;
        scenario.InterestPoints[0].ResultIndex = 2;
        Scenario = &scenario;
    }
};

TEST(ComplianceStatement, ValuesOverTheirLimitsWithMarginsAndVerdict) {
    TUhvLine line;
    const TComplianceStatement statement =
        ComplianceStatementOf(*line.Scenario, DefaultFieldLimits());
    ASSERT_TRUE(statement.Computed);
    EXPECT_EQ(statement.Class, TLimitClass::Line500);
    // Largest E within the ROW, E and B at both edges, E at the barn; the
    // barn's B (inside the ROW) has no limit and is left out.
    ASSERT_EQ(statement.Rows.size(), 6u);
    struct TExpected {
        const char* What;
        const char* Value;
        const char* Limit;
        const char* Margin;
        TLimitStatus Status;
    };
    const TExpected expected[] = {
        {"Largest electric field within the ROW (at 0.0 m)", "9.40", "10", "0.60",
         TLimitStatus::Within},
        {"Electric field at the left ROW edge (-25.0 m)", "6.88", "2", "-4.88", TLimitStatus::Over},
        {"Electric field at the right ROW edge (25.0 m)", "1.95", "2", "0.05",
         TLimitStatus::Within},
        {"Magnetic field at the left ROW edge (-25.0 m)", "120.5", "200", "79.5",
         TLimitStatus::Within},
        {"Magnetic field at the right ROW edge (25.0 m)", "210.4", "200", "-10.4",
         TLimitStatus::Over},
        {"Electric field at point of interest 'Barn' (0.0 m, inside the ROW)", "9.40", "10", "0.60",
         TLimitStatus::Within},
    };
    for (std::size_t i = 0; i < statement.Rows.size(); ++i) {
        SCOPED_TRACE(i);
        const TStatementRow& row = statement.Rows[i];
        EXPECT_EQ(row.What, expected[i].What);
        EXPECT_EQ(row.Value, expected[i].Value);
        EXPECT_EQ(row.Limit, expected[i].Limit);
        EXPECT_EQ(row.Margin, expected[i].Margin);
        EXPECT_EQ(row.Status, expected[i].Status);
        EXPECT_EQ(row.LimitClass, "500 kV line");
    }
    EXPECT_EQ(statement.Rows[3].Unit, "mG");
    EXPECT_EQ(statement.Over, 2);
    EXPECT_EQ(statement.Verdict, "2 of 6 values are over their limits.");
    EXPECT_EQ(statement.Source, "Limits: the Florida standards for new and modified facilities "
                                "(Chapter 62-814, F.A.C.), for 500 kV transmission lines.");
}

TEST(ComplianceStatement, OtherLimitsAreNamedAsThePreferences) {
    TUhvLine line;
    TFieldLimits limits = DefaultFieldLimits();
    limits.For(TLimitClass::Line500).EAtEdge = 7.0f;
    limits.For(TLimitClass::Line500).BAtEdge = 250.0f;
    const TComplianceStatement statement = ComplianceStatementOf(*line.Scenario, limits);
    EXPECT_EQ(statement.Over, 0);
    EXPECT_EQ(statement.Rows[1].Margin, "0.12"); // 7 - 6.88
    EXPECT_EQ(statement.Verdict, "All 6 values are within the limits.");
    EXPECT_EQ(statement.Source.rfind("Limits: the field limits set in the preferences", 0), 0u);
}

TEST(ComplianceStatement, AValueJustOverItsLimitShowsANonZeroMargin) {
    TUhvLine line;
    line.Scenario->Results[0].EMax = 2.004f; // shows as 2.004, not 2.00
    const TComplianceStatement statement =
        ComplianceStatementOf(*line.Scenario, DefaultFieldLimits());
    EXPECT_EQ(statement.Rows[1].Value, "2.004");
    EXPECT_EQ(statement.Rows[1].Margin, "-0.004");
    EXPECT_EQ(statement.Rows[1].Status, TLimitStatus::Over);
}

TEST(ComplianceStatement, ValuesThatCannotBeComputedAreNotCalledWithin) {
    TUhvLine line;
    line.Scenario->Results[0].BMax.reset();
    TComplianceStatement statement = ComplianceStatementOf(*line.Scenario, DefaultFieldLimits());
    EXPECT_EQ(statement.Rows[3].Value, "not computed");
    EXPECT_EQ(statement.Rows[3].Margin, "");
    EXPECT_EQ(statement.Rows[3].Status, TLimitStatus::NotComputed);
    EXPECT_EQ(statement.Verdict, "2 of 6 values are over their limits. 1 of 6 values could not "
                                 "be computed and cannot be shown to keep within its limit.");
    line.Scenario->CalcError = "The charges could not be computed.";
    statement = ComplianceStatementOf(*line.Scenario, DefaultFieldLimits());
    EXPECT_FALSE(statement.Computed);
    EXPECT_TRUE(statement.Rows.empty());
    EXPECT_EQ(statement.CalcError, "The charges could not be computed.");
}

TEST(ComplianceStatement, VerdictWording) {
    EXPECT_EQ(ComplianceVerdict(6, 0, 0), "All 6 values are within the limits.");
    EXPECT_EQ(ComplianceVerdict(1, 0, 0), "The value is within its limit.");
    EXPECT_EQ(ComplianceVerdict(1, 1, 0), "1 of 1 value is over its limit.");
    EXPECT_EQ(ComplianceVerdict(7, 1, 0), "1 of 7 values is over its limit.");
    EXPECT_EQ(ComplianceVerdict(5, 0, 2),
              "2 of 5 values could not be computed and cannot be shown to keep within their "
              "limits.");
    EXPECT_EQ(ComplianceVerdict(0, 0, 0), "No limit applies to these values.");
}

} // namespace
} // namespace corvalt
