// A plot's numbers from computed cross sections: the lines hold exactly the
// computed records (each once, in lateral order, gaps where a value is
// missing), the ROW edges and points sit at their records, the maxima are the
// largest computed values, overlays and toggles add and remove lines, and a
// cross section that could not be computed gives its reason and no lines.
#include "plots/PlotData.h"

#include "compute/Compute.h"
#include "model/FieldLimitTable.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace corvalt {
namespace {

std::vector<std::filesystem::path> Samples() {
    std::vector<std::filesystem::path> samples;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(CORVALT_SOURCE_DIR) / "examples"))
        if (entry.path().extension() == ".emf") samples.push_back(entry.path());
    std::sort(samples.begin(), samples.end());
    return samples;
}

std::unique_ptr<TEmfProject> ComputedSample(const std::filesystem::path& path) {
    auto project = std::make_unique<TEmfProject>();
    const TFileResult loaded = project->Load(path.string());
    EXPECT_TRUE(loaded.Ok) << loaded.Message;
    ComputeAll(*project);
    return project;
}

const TPlotLine* LineOf(const TPlotData& data, TPlotQuantity quantity, int section = 0) {
    for (const TPlotLine& line : data.Lines)
        if (line.Quantity == quantity && line.Section == section) return &line;
    return nullptr;
}

// The line that must be there (a failure and an empty line when it is not).
const TPlotLine& Line(const TPlotData& data, TPlotQuantity quantity, int section = 0) {
    static const TPlotLine none{};
    const TPlotLine* line = LineOf(data, quantity, section);
    EXPECT_NE(line, nullptr);
    return line != nullptr ? *line : none;
}

// Every point of the runs, keyed by position, with the number of times it occurs.
std::multimap<double, double> AllPoints(const TPlotLine& line) {
    std::multimap<double, double> points;
    for (const TPlotRun& run : line.Runs)
        for (const TPlotPoint& point : run)
            points.emplace(point.X, point.Y);
    return points;
}

TEST(PlotData, LinesHoldEveryComputedRecordOfEverySample) {
    for (const auto& path : Samples()) {
        const auto project = ComputedSample(path);
        for (const TScenario& scenario : project->Scenarios) {
            SCOPED_TRACE(path.filename().string() + " " + scenario.TabTitle);
            ASSERT_TRUE(scenario.CalcError.empty()) << scenario.CalcError;
            const TPlotData fields = BuildPlotData(scenario, {}, {});
            ASSERT_TRUE(fields.Error.empty());
            const TPlotLine& e = Line(fields, TPlotQuantity::EField);
            const TPlotLine& b = Line(fields, TPlotQuantity::BField);
            EXPECT_FALSE(e.RightAxis);
            EXPECT_TRUE(b.RightAxis);
            // Each record with a value appears once with that value.
            std::multimap<double, double> expectedE, expectedB;
            for (const TCalcResult& r : scenario.Results) {
                if (r.EMax) expectedE.emplace(r.Dist, *r.EMax);
                if (r.BMax) expectedB.emplace(r.Dist, static_cast<double>(*r.BMax) * 1000);
            }
            const auto pointsE = AllPoints(e);
            EXPECT_EQ(pointsE.size(), expectedE.size());
            for (const auto& [x, y] : pointsE) {
                const auto range = expectedE.equal_range(x);
                EXPECT_TRUE(std::any_of(range.first, range.second,
                                        [y = y](const auto& p) { return p.second == y; }))
                    << "E at " << x;
            }
            const auto pointsB = AllPoints(b);
            ASSERT_EQ(pointsB.size(), expectedB.size());
            for (const auto& [x, y] : pointsB) {
                const auto range = expectedB.equal_range(x);
                EXPECT_TRUE(std::any_of(range.first, range.second,
                                        [y = y](const auto& p) {
                                            return std::abs(p.second - y) <=
                                                   1e-4 * std::max(1.0, y);
                                        }))
                    << "B at " << x;
            }
            // Left to right within each run.
            for (const TPlotRun& run : e.Runs)
                EXPECT_TRUE(std::is_sorted(
                    run.begin(), run.end(),
                    [](const TPlotPoint& a, const TPlotPoint& c) { return a.X < c.X; }));
        }
    }
}

TEST(PlotData, MarksSitAtTheirRecordsAndMaximaAreTheLargestValues) {
    const auto project = ComputedSample(Samples().front());
    const TScenario& scenario = project->Scenarios[0];
    const TPlotData data = BuildPlotData(scenario, {}, {});
    ASSERT_EQ(data.RowEdges.size(), 2u);
    EXPECT_EQ(data.RowEdges[0].X, scenario.Results[0].Dist);
    EXPECT_EQ(data.RowEdges[1].X, scenario.Results[1].Dist);
    // In English units the edges lie at -RowLeft and +RowRight in feet.
    const float factor = scenario.IsEnglish() ? 3.28f : 1.0f;
    EXPECT_NEAR(data.RowEdges[0].X, -scenario.RowLeft * factor, 1e-3);
    EXPECT_NEAR(data.RowEdges[1].X, scenario.RowRight * factor, 1e-3);
    ASSERT_EQ(data.Points.size(), static_cast<std::size_t>(scenario.InterestPoints.Count()));
    for (const TInterestPoint& point : scenario.InterestPoints) {
        const float x = scenario.Results[static_cast<std::size_t>(point.ResultIndex)].Dist;
        EXPECT_TRUE(std::any_of(data.Points.begin(), data.Points.end(), [&](const TPlotMark& m) {
            return m.X == x && m.Label == point.Name;
        })) << point.Name;
    }
    EXPECT_TRUE(std::is_sorted(data.Points.begin(), data.Points.end(),
                               [](const TPlotMark& a, const TPlotMark& b) { return a.X < b.X; }));

    float largestE = 0, largestB = 0;
    for (const TCalcResult& r : scenario.Results) {
        largestE = std::max(largestE, r.EMax.value_or(0));
        largestB = std::max(largestB, r.BMax.value_or(0));
    }
    ASSERT_EQ(data.Maxima.size(), 2u);
    EXPECT_EQ(data.Maxima[0].Y, largestE);
    EXPECT_FALSE(data.Maxima[0].RightAxis);
    EXPECT_NEAR(data.Maxima[1].Y, largestB * 1000.0, 1e-3);
    EXPECT_TRUE(data.Maxima[1].RightAxis);
    EXPECT_EQ(data.Maxima[0].Text.rfind("Max E ", 0), 0u) << data.Maxima[0].Text;
    EXPECT_NE(data.Maxima[1].Text.find(" mG"), std::string::npos) << data.Maxima[1].Text;
    // The axes reach the largest values and start at zero for the fields.
    EXPECT_EQ(data.LeftMin, 0);
    EXPECT_GE(data.LeftMax, largestE);
    EXPECT_GE(data.RightMax, largestB * 1000.0 - 1e-3);
    EXPECT_EQ(data.XTitle, scenario.IsEnglish() ? "Distance (ft)" : "Distance (m)");
}

TEST(PlotData, TheResultantPlotDrawsTheResultantsWhichNeverFallBelowTheAxes) {
    // |X|² + |Y|² is the sum of the ellipse's squared semi-axes, so the
    // resultant is at least the semi-major axis, and above it where the field
    // is elliptical (near a three-phase line).
    const auto project = ComputedSample(Samples().front());
    const TScenario& scenario = project->Scenarios[0];
    TPlotOptions options;
    options.FieldMeasure = TFieldMeasure::Resultant;
    const TPlotData axes = BuildPlotData(scenario, {}, {});
    const TPlotData resultants = BuildPlotData(scenario, {}, options);
    for (const TPlotQuantity quantity : {TPlotQuantity::EField, TPlotQuantity::BField}) {
        SCOPED_TRACE(static_cast<int>(quantity));
        const auto axis = AllPoints(Line(axes, quantity));
        const auto resultant = AllPoints(Line(resultants, quantity));
        ASSERT_EQ(axis.size(), resultant.size());
        int above = 0;
        for (auto a = axis.begin(), r = resultant.begin(); a != axis.end(); ++a, ++r) {
            ASSERT_EQ(a->first, r->first);
            EXPECT_GE(r->second, a->second * (1 - 1e-6));
            above += r->second > a->second * 1.01;
        }
        EXPECT_GT(above, 0);
    }
    EXPECT_EQ(Line(resultants, TPlotQuantity::EField).Name, "Electric field resultant");
    float largest = 0;
    for (const TCalcResult& r : scenario.Results)
        largest = std::max(largest, r.EResultant.value_or(0));
    ASSERT_FALSE(resultants.Maxima.empty());
    EXPECT_EQ(resultants.Maxima[0].Y, largest);
    EXPECT_EQ(resultants.Maxima[0].Text.rfind("Max E resultant ", 0), 0u);
}

TEST(PlotData, AMissingValueInTheMiddleSplitsTheLine) {
    const auto project = ComputedSample(Samples().front());
    TScenario& scenario = project->Scenarios[0];
    // The regular step in the middle of the profile loses its value.
    const std::size_t middle = 2 + static_cast<std::size_t>(scenario.InterestPoints.Count()) +
                               (scenario.Results.size() - 2 - scenario.InterestPoints.Count()) / 2;
    const float gapAt = scenario.Results[middle].Dist;
    scenario.Results[middle].EMax.reset();
    // Points of interest beyond the regular steps are dots of their own.
    float stepsFrom = 1e30f, stepsTo = -1e30f;
    for (const TCalcResult& r : scenario.Results)
        if (!r.IsMarked)
            stepsFrom = std::min(stepsFrom, r.Dist), stepsTo = std::max(stepsTo, r.Dist);
    std::size_t apart = 0;
    for (const TCalcResult& r : scenario.Results)
        if (r.IsMarked && (r.Dist < stepsFrom || r.Dist > stepsTo)) ++apart;
    const TPlotData data = BuildPlotData(scenario, {}, {});
    const TPlotLine& e = Line(data, TPlotQuantity::EField);
    ASSERT_EQ(e.Runs.size(), 2u + apart);
    const auto afterGap = std::find_if(e.Runs.begin(), e.Runs.end(), [gapAt](const TPlotRun& run) {
        return run.front().X > gapAt;
    });
    ASSERT_NE(afterGap, e.Runs.begin());
    ASSERT_NE(afterGap, e.Runs.end());
    EXPECT_LT(std::prev(afterGap)->back().X, gapAt);
    EXPECT_GT(afterGap->size(), 1u);
    EXPECT_GT(std::prev(afterGap)->size(), 1u);
    // B still has its value there: one unbroken line besides those dots.
    EXPECT_EQ(Line(data, TPlotQuantity::BField).Runs.size(), 1u + apart);
}

TEST(PlotData, OverlaysAndTogglesAddAndRemoveLines) {
    const auto project = ComputedSample(Samples().front());
    ASSERT_GE(project->Scenarios.Count(), 2);
    const TScenario& shown = project->Scenarios[0];
    const TScenario* overlays[] = {&project->Scenarios[1]};
    const TPlotData fields = BuildPlotData(shown, overlays, {});
    EXPECT_EQ(fields.Lines.size(), 4u);
    const TPlotLine& overlayE = Line(fields, TPlotQuantity::EField, 1);
    EXPECT_EQ(overlayE.Name, "Electric field - " + project->Scenarios[1].TabTitle);
    EXPECT_EQ(AllPoints(overlayE).size(),
              static_cast<std::size_t>(std::count_if(
                  project->Scenarios[1].Results.begin(), project->Scenarios[1].Results.end(),
                  [](const TCalcResult& r) { return r.EMax.has_value(); })));
    EXPECT_EQ(fields.Maxima.size(), 2u); // only the shown cross section's

    TPlotOptions corona;
    corona.Kind = TPlotKind::Corona;
    const TPlotData all = BuildPlotData(shown, {}, corona);
    EXPECT_EQ(all.Lines.size(), 6u);
    EXPECT_TRUE(all.Maxima.empty());
    EXPECT_TRUE(Line(all, TPlotQuantity::Ozone).RightAxis);
    EXPECT_FALSE(Line(all, TPlotQuantity::TviRain).RightAxis);
    corona.Shown[static_cast<std::size_t>(TPlotQuantity::RiFair)] = false;
    corona.Shown[static_cast<std::size_t>(TPlotQuantity::Ozone)] = false;
    const TPlotData some = BuildPlotData(shown, overlays, corona);
    EXPECT_EQ(some.Lines.size(), 8u); // four quantities of two cross sections
    EXPECT_EQ(LineOf(some, TPlotQuantity::RiFair), nullptr);
    EXPECT_EQ(LineOf(some, TPlotQuantity::Ozone, 1), nullptr);
    EXPECT_EQ(LineOf(some, TPlotQuantity::EField), nullptr); // never on the corona plot
}

TEST(PlotData, AFailedCrossSectionGivesItsReasonAndNothingToDraw) {
    const auto project = ComputedSample(Samples().front());
    TScenario& scenario = project->Scenarios[0];
    // A conductor without a diameter cannot be computed.
    scenario.Conductors.front()->Diameter = 0;
    ASSERT_FALSE(ComputeScenario(scenario));
    const TPlotData data = BuildPlotData(scenario, {}, {});
    EXPECT_EQ(data.Error, scenario.CalcError);
    EXPECT_FALSE(data.Error.empty());
    EXPECT_TRUE(data.Lines.empty());
    EXPECT_TRUE(data.Maxima.empty());

    // As an overlay it is left out, with its reason.
    const TScenario* overlays[] = {&scenario};
    const TPlotData other = BuildPlotData(project->Scenarios[1], overlays, {});
    EXPECT_EQ(LineOf(other, TPlotQuantity::EField, 1), nullptr);
    ASSERT_EQ(other.OverlayErrors.size(), 1u);
    EXPECT_EQ(other.OverlayErrors[0], scenario.TabTitle + ": " + scenario.CalcError);
}

} // namespace
} // namespace corvalt
