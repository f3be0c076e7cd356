// The phasing optimiser against a brute force that edits a copy of the project
// for every arrangement and runs the whole computation, and against the
// magnetic field of a double circuit worked out by hand (Biot-Savart).
#include "design/PhasingOptimiser.h"

#include "PhasedLines.h"
#include "compute/Compute.h"
#include "model/FieldLimitTable.h"
#include "model/ProjectSnapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numeric>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace corvalt {
namespace {

using testing::AddDesignScenario;
using testing::AddThreePhase;
using testing::TAt;

// The six orders as the phases now on the positions that held A, B and C.
const char* const kOrderTexts[6] = {"ABC", "ACB", "BAC", "BCA", "CAB", "CBA"};

int PhaseOfLetter(char letter) {
    return letter - 'A';
}

struct TBruteValues {
    std::vector<int> Orders;
    std::optional<float> EdgeBMg, EdgeEKvPerM, RowEKvPerM;
    std::optional<float> MaxGradientKvPerCm, EdgeAnRainDba, EdgeRiFairDbuvPerM;
};

std::optional<float> Larger(std::optional<float> a, std::optional<float> b) {
    if (!a || !b) return a ? a : b;
    return std::max(*a, *b);
}

// Edits the phasing of a copy of the project by hand and computes it the way
// the reports do.
TBruteValues ComputeArrangement(TEmfProject& project, const std::vector<int>& circuits,
                                const std::vector<int>& orders) {
    TEmfProject copy;
    EXPECT_TRUE(RestoreProjectSnapshot(copy, TakeProjectSnapshot(project)));
    TScenario& scenario = copy.Scenarios[0];
    for (std::size_t k = 0; k < circuits.size(); ++k) {
        TCircuit& circuit = scenario.Circuits[circuits[k]];
        float angles[3] = {};
        for (const TConductor& c : circuit.Conductors)
            if (!c.IsGround()) angles[c.CondType] = c.PhaseAngle;
        const std::string text = kOrderTexts[orders[k]];
        for (TConductor& c : circuit.Conductors) {
            if (c.IsGround()) continue;
            const int phase = PhaseOfLetter(text[c.CondType]);
            c.CondType = static_cast<std::uint8_t>(phase);
            c.PhaseAngle = angles[phase];
        }
    }
    EXPECT_TRUE(ComputeScenario(scenario)) << scenario.CalcError;
    const TCalcResult& left = scenario.Results[static_cast<std::size_t>(scenario.RowLeftResult)];
    const TCalcResult& right = scenario.Results[static_cast<std::size_t>(scenario.RowRightResult)];
    auto milligauss = [](std::optional<float> gauss) -> std::optional<float> {
        if (!gauss) return std::nullopt;
        return GaussToMilligauss(*gauss);
    };
    TBruteValues values;
    values.Orders = orders;
    values.EdgeBMg = Larger(milligauss(left.BMax), milligauss(right.BMax));
    values.EdgeEKvPerM = Larger(left.EMax, right.EMax);
    values.RowEKvPerM =
        scenario.Results[static_cast<std::size_t>(scenario.MaxEWithinRowResult())].EMax;
    for (const TConductor* c : scenario.Conductors)
        if (!c->IsGround())
            values.MaxGradientKvPerCm = Larger(values.MaxGradientKvPerCm, c->Calc.MaxGradient);
    values.EdgeAnRainDba = Larger(left.AnRainL50, right.AnRainL50);
    values.EdgeRiFairDbuvPerM = Larger(left.RiFair, right.RiFair);
    return values;
}

// Every arrangement, the first circuit's order counting slowest.
std::vector<TBruteValues> BruteForce(TEmfProject& project, const std::vector<int>& circuits) {
    std::vector<TBruteValues> all;
    const int count = static_cast<int>(std::pow(6, circuits.size()));
    for (int index = 0; index < count; ++index) {
        std::vector<int> orders(circuits.size());
        int rest = index;
        for (std::size_t k = circuits.size(); k-- > 0; rest /= 6)
            orders[k] = rest % 6;
        all.push_back(ComputeArrangement(project, circuits, orders));
    }
    return all;
}

double ObjectiveOf(const TPhasingRequest& request, const TBruteValues& v) {
    return ObjectiveValue(request, {v.EdgeBMg, v.EdgeEKvPerM, v.RowEKvPerM, {}, {}, {}});
}

void ExpectSameValues(const TPhasingValues& found, const TBruteValues& expected) {
    EXPECT_EQ(found.EdgeBMg, expected.EdgeBMg);
    EXPECT_EQ(found.EdgeEKvPerM, expected.EdgeEKvPerM);
    EXPECT_EQ(found.RowEKvPerM, expected.RowEKvPerM);
    EXPECT_EQ(found.MaxGradientKvPerCm, expected.MaxGradientKvPerCm);
    EXPECT_EQ(found.EdgeAnRainDba, expected.EdgeAnRainDba);
    EXPECT_EQ(found.EdgeRiFairDbuvPerM, expected.EdgeRiFairDbuvPerM);
}

// The order whose phases are those of order renamed: names holds the new
// names of A, B and C ("BCA": A becomes B, B becomes C, C becomes A).
int Renamed(int order, const std::string& names) {
    std::string text = kOrderTexts[order];
    for (char& letter : text)
        letter = names[static_cast<std::size_t>(PhaseOfLetter(letter))];
    return static_cast<int>(std::find_if(std::begin(kOrderTexts), std::end(kOrderTexts),
                                         [&](const char* t) { return text == t; }) -
                            std::begin(kOrderTexts));
}

long long CountingIndex(const std::vector<int>& orders) {
    long long index = 0;
    for (const int order : orders)
        index = index * 6 + order;
    return index;
}

// The rows a search should show: the arrangements that the renamings (and,
// when mirrored, the exchange of the two circuits) carry into one another
// make one row, shown by the first of them in counting order and counting
// them all; rows ranked by that one's values, ties in counting order.
struct TExpectedRow {
    TBruteValues Values;
    long long Count = 0;
};
std::vector<TExpectedRow> ExpectedRows(const std::vector<TBruteValues>& all,
                                       const std::vector<std::string>& renamings, bool mirrored,
                                       const TPhasingRequest& request) {
    std::vector<bool> seen(all.size(), false);
    std::vector<TExpectedRow> rows;
    for (std::size_t first = 0; first < all.size(); ++first) {
        if (seen[first]) continue;
        TExpectedRow row{all[first], 0};
        std::vector<std::vector<int>> images;
        for (const std::string& names : renamings) {
            std::vector<int> orders = all[first].Orders;
            for (int& order : orders)
                order = Renamed(order, names);
            images.push_back(orders);
            if (mirrored) images.push_back({orders[1], orders[0]});
        }
        for (const std::vector<int>& image : images) {
            const std::size_t index = static_cast<std::size_t>(CountingIndex(image));
            if (!seen[index]) ++row.Count;
            seen[index] = true;
        }
        rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const TExpectedRow& a, const TExpectedRow& b) {
        return ObjectiveOf(request, a.Values) < ObjectiveOf(request, b.Values);
    });
    return rows;
}

void ExpectRows(const TPhasingSearch& search, const std::vector<TExpectedRow>& expected,
                std::size_t count) {
    ASSERT_EQ(search.Ranked.size(), count);
    for (std::size_t r = 0; r < count; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(search.Ranked[r].Orders, expected[r].Values.Orders);
        EXPECT_EQ(search.Ranked[r].Count, expected[r].Count);
        ExpectSameValues(search.Ranked[r].Values, expected[r].Values);
    }
}

// A vertical double circuit beside a horizontal 115 kV circuit with other
// phase angles and its own ground wire; the ROW is not centred on the line.
// A point of interest under the first circuit, off the profile's steps, counts
// within the ROW; one beyond the ROW does not.
TScenario& ThreeCircuitLine(TEmfProject& project) {
    TScenario& scenario = AddDesignScenario(project, 25, 45);
    for (const auto& [name, x] : {std::pair{"Path", -8.13f}, std::pair{"Barn", 52.0f}}) {
        auto point = std::make_unique<TInterestPoint>(scenario);
        point->Name = name;
        point->DistFromRowLeft = x;
        scenario.InterestPoints.Add(std::move(point));
    }
    AddThreePhase(scenario,
                  {.Phases = {{{-8, 30}, {-8, 23}, {-8, 16}}}, .GroundWires = {{-3, 37}}});
    AddThreePhase(scenario, {.Phases = {{{8, 30}, {8, 23}, {8, 16}}}, .CurrentA = 700});
    AddThreePhase(scenario, {.Phases = {{{22, 14}, {27, 14}, {32, 14}}},
                             .VoltageKv = 115,
                             .CurrentA = 400,
                             .AnglesDeg = {30, 270, 150},
                             .GroundWires = {{27, 19}}});
    return scenario;
}

const TPhasingRequest kRequests[] = {
    {.Objective = TPhasingObjective::EdgeB},
    {.Objective = TPhasingObjective::EdgeE},
    {.Objective = TPhasingObjective::RowE},
    {.Objective = TPhasingObjective::Weighted,
     .Weights = {.EdgeBPerMg = 0.01, .EdgeEPerKvPerM = 1, .RowEPerKvPerM = 0.5}},
};

TEST(PhasingOptimiser, RanksAsTheComputationOfEveryArrangementDoes) {
    TEmfProject project;
    TScenario& scenario = ThreeCircuitLine(project);
    const std::vector<TBruteValues> all = BruteForce(project, {0, 1, 2});
    for (const TPhasingRequest& request : kRequests) {
        SCOPED_TRACE(static_cast<int>(request.Objective));
        const TPhasingSearch search = OptimisePhasing(scenario, request);
        ASSERT_EQ(search.Outcome, TSearchOutcome::Done) << search.Message;
        ASSERT_EQ(search.Circuits.size(), 3u);
        EXPECT_EQ(search.Arrangements, 216);
        EXPECT_EQ(search.Current.Orders, (std::vector<int>{0, 0, 0}));
        ExpectSameValues(search.Current.Values, all[0]);

        // Every circuit's phases turned alike by 120° (A to B, B to C, C to A)
        // turn every field phasor by 120°: the values stay. Turned back
        // against the third circuit's angles (30°, 270°, 150°), a swap of two
        // phase names changes them.
        ExpectRows(search, ExpectedRows(all, {"ABC", "BCA", "CAB"}, false, request), 10);
    }
}

// Two identical vertical circuits placed symmetrically: besides the six
// renamings of the phases (a swap of two names mirrors every phasor, which
// keeps the ellipses' axes), the mirror image exchanges the circuits. The 36
// arrangements make 5 rows: the orders o1, o2 related by d = o2 o1⁻¹, six
// arrangements for each d, and the mirror takes d to d⁻¹, which joins the
// two turns by 120°: rows of 6, 6, 6, 6 and 12.
TEST(PhasingOptimiser, MirrorImagesAndRenamingsShareARow) {
    TEmfProject project;
    TScenario& scenario = testing::VerticalDoubleCircuit(project);
    const std::vector<TBruteValues> all = BruteForce(project, {0, 1});
    for (const TPhasingRequest& request : kRequests) {
        SCOPED_TRACE(static_cast<int>(request.Objective));
        TPhasingRequest asked = request;
        asked.Top = 50; // more than there are
        const TPhasingSearch search = OptimisePhasing(scenario, asked);
        ASSERT_EQ(search.Outcome, TSearchOutcome::Done) << search.Message;
        const std::vector<TExpectedRow> expected =
            ExpectedRows(all, {"ABC", "ACB", "BAC", "BCA", "CAB", "CBA"}, true, request);
        ExpectRows(search, expected, 5);
        std::vector<long long> counts;
        for (const TArrangement& row : search.Ranked)
            counts.push_back(row.Count);
        std::sort(counts.begin(), counts.end());
        EXPECT_EQ(counts, (std::vector<long long>{6, 6, 6, 6, 12}));
    }
}

// The searched values come from the linear fields in double precision; the
// computation sums in single precision, so they agree to about 1e-6.
void ExpectSearchedValuesClose(TEmfProject& project, const std::vector<int>& circuits) {
    const std::vector<TBruteValues> all = BruteForce(project, circuits);
    for (const TPhasingRequest& request : kRequests) {
        SCOPED_TRACE(static_cast<int>(request.Objective));
        const std::vector<double> searched = SearchedObjectiveValues(project.Scenarios[0], request);
        ASSERT_EQ(searched.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            const double expected = ObjectiveOf(request, all[i]);
            EXPECT_NEAR(searched[i], expected, 1e-5 * expected) << "arrangement " << i;
        }
    }
}

TEST(PhasingOptimiser, SearchedValuesAgreeWithTheComputation) {
    TEmfProject project;
    ThreeCircuitLine(project);
    ExpectSearchedValuesClose(project, {0, 1, 2});
}

// A DC bipole beside two AC circuits: the charges the field is taken from are
// those of the last step of the AC/DC sweep, with the AC phases turned.
TEST(PhasingOptimiser, SearchedValuesAgreeOnAMixedAcDcLine) {
    TEmfProject project;
    TScenario& scenario = AddDesignScenario(project, 35, 35);
    AddThreePhase(scenario, {.Phases = {{{-12, 25}, {-12, 19}, {-12, 13}}}});
    AddThreePhase(scenario, {.Phases = {{{0, 25}, {0, 19}, {0, 13}}}, .CurrentA = 600});
    TCircuit& bipole = AddThreePhase(scenario, {.Phases = {{{14, 20}, {22, 20}, {30, 30}}},
                                                .VoltageKv = 400,
                                                .CurrentA = 1500,
                                                .AnglesDeg = {0, 0, 0},
                                                .Ac = false});
    bipole.Conductors[1].MaxVoltage = -400;
    bipole.Conductors.Delete(2);
    const TPhasingSearch search = OptimisePhasing(scenario, {});
    ASSERT_EQ(search.Outcome, TSearchOutcome::Done) << search.Message;
    ASSERT_EQ(search.Circuits.size(), 2u); // the bipole keeps its phasing
    ExpectSearchedValuesClose(project, {0, 1});
}

// Biot-Savart by hand: a line current I at (X, Y) gives at (x, 1 m) the
// phasors Bx = 2I/1000 · dy e^{iθ} ÷ d² and By = 2I/1000 · dx e^{iθ} ÷ d²
// (gauss); the field's largest magnitude, the semi-major axis of its ellipse,
// is √((|Bx|² + |By|² + |Bx² + By²|) ÷ 2).
double HandEdgeBMg(const std::array<std::string, 2>& phasing) {
    const double heights[3] = {30, 23, 16}; // the positions that held A, B, C
    const double xs[2] = {-8, 8};
    const double angleOf[3] = {0, 240, 120}; // of phase A, B, C
    double largest = 0;
    for (const double x : {-30.0, 30.0}) {
        std::complex<double> bx, by;
        for (int side = 0; side < 2; ++side)
            for (int position = 0; position < 3; ++position) {
                const int phase = PhaseOfLetter(phasing[side][position]);
                const std::complex<double> current =
                    std::polar(2.0, angleOf[phase] * 3.14159265358979 / 180);
                const double dx = x - xs[side];
                const double dy = heights[position] - 1;
                bx += current * dy / (dx * dx + dy * dy);
                by += current * dx / (dx * dx + dy * dy);
            }
        const double axis =
            std::sqrt((std::norm(bx) + std::norm(by) + std::abs(bx * bx + by * by)) / 2);
        largest = std::max(largest, axis * 1000);
    }
    return largest;
}

TEST(PhasingOptimiser, FindsTheLowReactancePhasingOfAVerticalDoubleCircuit) {
    TEmfProject project;
    const TScenario& scenario = testing::VerticalDoubleCircuit(project);
    const TPhasingSearch search = OptimisePhasing(scenario, {});
    ASSERT_EQ(search.Outcome, TSearchOutcome::Done) << search.Message;
    ASSERT_FALSE(search.Ranked.empty());

    // The best puts on the second circuit, top to bottom, the phases of the
    // first bottom to top (ABC beside CBA, or the same turned by 120°).
    const TArrangement& best = search.Ranked[0];
    const std::string first = PhaseOrderText(best.Orders[0]);
    const std::string second = PhaseOrderText(best.Orders[1]);
    EXPECT_EQ(second, std::string(first.rbegin(), first.rend()));

    const double lowReactance = HandEdgeBMg({"ABC", "CBA"});
    const double likePhasing = HandEdgeBMg({"ABC", "ABC"});
    ASSERT_TRUE(best.Values.EdgeBMg && search.Current.Values.EdgeBMg);
    EXPECT_NEAR(*best.Values.EdgeBMg, lowReactance, 1e-5 * lowReactance);
    EXPECT_NEAR(*search.Current.Values.EdgeBMg, likePhasing, 1e-5 * likePhasing);
    EXPECT_LT(lowReactance, 0.5 * likePhasing);
    // No arrangement worked out by hand does better.
    for (const char* a : kOrderTexts)
        for (const char* b : kOrderTexts)
            EXPECT_GE(HandEdgeBMg({a, b}), lowReactance * (1 - 1e-9)) << a << " " << b;
}

TEST(PhasingOptimiser, SearchesOnlyCompleteAlternatingCurrentCircuits) {
    TEmfProject project;
    TScenario& scenario = AddDesignScenario(project, 40, 40);
    AddThreePhase(scenario, {.Phases = {{{-20, 15}, {-15, 15}, {-10, 15}}}}); // searched
    AddThreePhase(scenario, {.Phases = {{{-5, 15}, {0, 15}, {5, 15}}}, .Ac = false});
    TCircuit& twoPhases = AddThreePhase(scenario, {.Phases = {{{10, 15}, {15, 15}, {20, 15}}}});
    twoPhases.Conductors.Delete(2);
    TCircuit& mixedAngles = AddThreePhase(scenario, {.Phases = {{{25, 15}, {30, 15}, {35, 15}}}});
    testing::AddTypedConductor(mixedAngles, PhaseA, {25, 20}).PhaseAngle = 10;
    AddThreePhase(scenario, {.Phases = {{{-20, 25}, {-15, 25}, {-10, 25}}},
                             .AnglesDeg = {0, 0, 120}}); // two phases alike
    AddThreePhase(scenario, {.Phases = {{{0, 25}, {5, 25}, {10, 25}}},
                             .AnglesDeg = {10, 130, 250}}); // searched

    const std::vector<TPhasedCircuit> phased = PhasedCircuits(scenario);
    ASSERT_EQ(phased.size(), 2u);
    EXPECT_EQ(phased[0].CircuitIndex, 0);
    EXPECT_EQ(phased[1].CircuitIndex, 5);
    EXPECT_EQ(phased[1].AnglesDeg, (std::array<float, 3>{10, 130, 250}));
}

TEST(PhasingOptimiser, ApplyingMovesPhaseTypesAnglesAndIds) {
    TEmfProject project;
    TScenario& scenario = AddDesignScenario(project, 40, 40);
    // Circuit 1: two conductors per phase, labelled by the id rule.
    TCircuit& first = AddThreePhase(
        scenario, {.Phases = {{{-20, 15}, {-15, 15}, {-10, 15}}}, .GroundWires = {{-15, 22}}});
    testing::AddTypedConductor(first, PhaseA, {-20, 25}).PhaseAngle = 0;
    first.Conductors[first.Conductors.Count() - 1].MaxVoltage = 230;
    // Circuit 2: a conductor named by hand.
    TCircuit& second = AddThreePhase(scenario, {.Phases = {{{10, 15}, {15, 15}, {20, 15}}}});
    second.Conductors[1].Id = "north";
    const std::vector<TPhasedCircuit> phased = PhasedCircuits(scenario);
    ASSERT_EQ(phased.size(), 2u);

    // "CAB" on circuit 1: the A position carries C, B carries A, C carries B.
    // "BAC" on circuit 2.
    const int orders[2] = {4, 2};
    ASSERT_EQ(PhaseOrderText(orders[0]), "CAB");
    ASSERT_EQ(PhaseOrderText(orders[1]), "BAC");
    ApplyPhasing(scenario, phased, orders);

    struct TExpected {
        const char* Id;
        int Type;
        float Angle;
    };
    // In circuit order: the old 1A1, 1B1, 1C1, 1G1, 1A2.
    const TExpected one[] = {{"1C1", PhaseC, 120},
                             {"1A1", PhaseA, 0},
                             {"1B1", PhaseB, 240},
                             {"1G1", Ground, 0},
                             {"1C2", PhaseC, 120}};
    ASSERT_EQ(first.Conductors.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(first.Conductors[i].Id, one[i].Id);
        EXPECT_EQ(first.Conductors[i].CondType, one[i].Type);
        EXPECT_EQ(first.Conductors[i].PhaseAngle, one[i].Angle);
    }
    // Circuit 2 does not follow the id rule: its ids stay, its phases move.
    const TExpected two[] = {{"2A1", PhaseB, 240}, {"north", PhaseA, 0}, {"2C1", PhaseC, 120}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(second.Conductors[i].Id, two[i].Id);
        EXPECT_EQ(second.Conductors[i].CondType, two[i].Type);
        EXPECT_EQ(second.Conductors[i].PhaseAngle, two[i].Angle);
    }
    // Positions, voltages and currents stay.
    EXPECT_EQ(first.Conductors[0].HorizDistance, -20);
    EXPECT_EQ(first.Conductors[0].MaxVoltage, 230);
    EXPECT_EQ(first.Conductors[0].Mcr, 1.0f);
}

TEST(PhasingOptimiser, WeighsTheObjectivesAsAsked) {
    // The values beyond the three never count.
    const TPhasingValues values{120, 1.5f, 6, 16.5f, 48, 30};
    const TPhasingValues noRowE{120, 1.5f, {}, 16.5f, 48, 30};
    const TPhasingRequest weighted{
        .Objective = TPhasingObjective::Weighted,
        .Weights = {.EdgeBPerMg = 0.01, .EdgeEPerKvPerM = 2, .RowEPerKvPerM = 0.5}};
    EXPECT_DOUBLE_EQ(ObjectiveValue(weighted, values), 1.2 + 3 + 3);
    EXPECT_EQ(ObjectiveValue(weighted, noRowE), std::numeric_limits<double>::infinity());
    TPhasingRequest noRowWeight = weighted;
    noRowWeight.Weights.RowEPerKvPerM = 0;
    EXPECT_DOUBLE_EQ(ObjectiveValue(noRowWeight, noRowE), 1.2 + 3);
    EXPECT_EQ(ObjectiveValue({.Objective = TPhasingObjective::EdgeB}, values), 120);
    EXPECT_EQ(ObjectiveValue({.Objective = TPhasingObjective::EdgeE}, values), 1.5);
    EXPECT_EQ(ObjectiveValue({.Objective = TPhasingObjective::RowE}, values), 6);
}

TEST(PhasingOptimiser, RefusesWhatItCannotSearch) {
    TEmfProject project;
    TScenario& scenario = testing::VerticalDoubleCircuit(project);
    struct TCase {
        const char* Name;
        TPhasingRequest Request;
    };
    const TCase cases[] = {
        {"no arrangement to rank", {.Top = 0}},
        {"a negative weight",
         {.Objective = TPhasingObjective::Weighted, .Weights = {.EdgeBPerMg = -1}}},
        {"no weight", {.Objective = TPhasingObjective::Weighted, .Weights = {.EdgeBPerMg = 0}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPhasingSearch search = OptimisePhasing(scenario, c.Request);
        EXPECT_EQ(search.Outcome, TSearchOutcome::Failed);
        EXPECT_FALSE(search.Message.empty());
    }

    // A cross section that cannot be computed says why, as the computation does.
    scenario.Circuits[0].Conductors[0].Diameter = 0;
    const TPhasingSearch broken = OptimisePhasing(scenario, {});
    EXPECT_EQ(broken.Outcome, TSearchOutcome::Failed);
    EXPECT_NE(broken.Message.find("cannot be computed"), std::string::npos) << broken.Message;

    TEmfProject large;
    TScenario& wide = AddDesignScenario(large, 100, 100);
    for (int k = 0; k <= kMaxPhasedCircuits; ++k) {
        const float x = -90.0f + 20.0f * static_cast<float>(k);
        AddThreePhase(wide, {.Phases = {{{x, 15}, {x + 4, 15}, {x + 8, 15}}}});
    }
    const TPhasingSearch tooMany = OptimisePhasing(wide, {});
    EXPECT_EQ(tooMany.Outcome, TSearchOutcome::Failed);
    EXPECT_NE(tooMany.Message.find("9 three-phase circuits"), std::string::npos);
}

// Every step looks at the stop token: a stop requested in the k-th report of
// the share done, for every k of a whole search (and before it starts), ends
// the search Cancelled with nothing ranked and no report after. Five circuits
// have 6^5 = 7,776 arrangements: the whole search reports the current
// arrangement, the linear fields, two blocks of arrangements (at 4,098 and at
// the end) and each candidate computed for the ranking.
TEST(PhasingOptimiser, EveryStepObservesAStop) {
    TEmfProject project;
    const TScenario& scenario = testing::ManyCircuitLine(project, 5);
    const TPhasingRequest request{.Top = 2};
    std::vector<double> shares;
    const TPhasingSearch whole =
        OptimisePhasing(scenario, request, [&](double share) { shares.push_back(share); });
    ASSERT_EQ(whole.Outcome, TSearchOutcome::Done) << whole.Message;
    ASSERT_EQ(whole.Ranked.size(), 2u);
    // At least two candidates; at most the 2 + 32 kept.
    EXPECT_GE(shares.size(), 4u + 2u);
    EXPECT_LE(shares.size(), 4u + 34u);
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_GT(shares.front(), 0);
    EXPECT_LE(shares.back(), 1.0);

    for (std::size_t k = 0; k <= shares.size(); ++k) {
        SCOPED_TRACE(k);
        std::stop_source stop;
        if (k == 0) stop.request_stop();
        std::size_t reports = 0;
        const TPhasingSearch search = OptimisePhasing(
            scenario, request,
            [&](double) {
                if (++reports == k) stop.request_stop();
            },
            stop.get_token());
        EXPECT_EQ(search.Outcome, TSearchOutcome::Cancelled);
        EXPECT_EQ(reports, k);
        EXPECT_TRUE(search.Ranked.empty());
    }
}

TEST(PhasingOptimiser, ALineWithoutThreePhaseCircuitsHasOneArrangement) {
    TEmfProject project;
    TScenario& scenario = AddDesignScenario(project, 20, 20);
    AddThreePhase(scenario, {.Phases = {{{-5, 15}, {0, 15}, {5, 15}}}, .Ac = false});
    const TPhasingSearch search = OptimisePhasing(scenario, {});
    ASSERT_EQ(search.Outcome, TSearchOutcome::Done) << search.Message;
    EXPECT_EQ(search.Arrangements, 1);
    ASSERT_EQ(search.Ranked.size(), 1u);
    EXPECT_TRUE(search.Ranked[0].Orders.empty());
    EXPECT_EQ(search.Ranked[0].Values.EdgeBMg, search.Current.Values.EdgeBMg);
}

} // namespace
} // namespace corvalt
