// The field plot's limits and labels: the limit lines lie where each limit
// holds and the values at the ROW edges are marked when over theirs (worked
// from the computed records); drawn at a size, no two labels meet and none
// crosses a ROW edge, the two axes share their grid lines, and every line
// holds at most two points per pixel column; new data updates the chart.
#include "plots/ProfileChart.h"

#include "compute/Compute.h"
#include "model/Project.h"

#include <QApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

namespace corvalt {
namespace {

class ProfileChartTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "corvalt_plots_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    }
    void SetUp() override {
        project_ = std::make_unique<TEmfProject>();
        ASSERT_TRUE(project_
                        ->Load((std::filesystem::path(CORVALT_SOURCE_DIR) / "examples" /
                                "sample-english.emf")
                                   .string())
                        .Ok);
        ComputeAll(*project_);
    }
    const TScenario& Section() const { return project_->Scenarios[0]; }

    // Every class held to the same limits.
    static TFieldLimits Limits(float eWithin, float eEdge, float bEdge) {
        TFieldLimits limits;
        for (TClassLimits& row : limits.Rows)
            row = {eWithin, eEdge, bEdge};
        return limits;
    }

    std::unique_ptr<TEmfProject> project_;
};

double LargestE(const TScenario& scenario) {
    double largest = 0;
    for (const TCalcResult& record : scenario.Results)
        if (record.EMax) largest = std::max(largest, static_cast<double>(*record.EMax));
    return largest;
}

TEST_F(ProfileChartTest, LimitLinesHoldWhereTheLimitsApplyAndEdgeValuesAreMarkedOver) {
    const TScenario& section = Section();
    const TCalcResult& left = *section.ResultAt(section.RowLeftResult);
    const TCalcResult& right = *section.ResultAt(section.RowRightResult);
    ASSERT_TRUE(left.EMax && left.BMax && right.EMax && right.BMax);
    // The edge E limit below both edges' values, the B limit above both, and
    // the within-ROW limit at half the largest E (which lies inside the ROW).
    const float eEdge = 0.5f * std::min(*left.EMax, *right.EMax);
    const float bEdge = 2000.0f * std::max(*left.BMax, *right.BMax);
    const float eWithin = static_cast<float>(LargestE(section) / 2);
    TPlotOptions options;
    options.Limits = Limits(eWithin, eEdge, bEdge);
    const TPlotData plot = BuildPlotData(section, {}, options);

    double xMin = left.Dist, xMax = right.Dist;
    for (const TCalcResult& record : section.Results) {
        xMin = std::min(xMin, static_cast<double>(record.Dist));
        xMax = std::max(xMax, static_cast<double>(record.Dist));
    }
    const double inside = (right.Dist - left.Dist) / 10; // edge lines reach in a tenth
    // Within-ROW E once; the edge limits from the plot's ends to a tenth of
    // the ROW inside each edge, labelled on their first stretch.
    ASSERT_EQ(plot.Limits.size(), 5u);
    const TPlotLimit& within = plot.Limits[0];
    EXPECT_TRUE(within.WithinRow);
    EXPECT_FALSE(within.RightAxis);
    EXPECT_FLOAT_EQ(static_cast<float>(within.Value), eWithin);
    EXPECT_DOUBLE_EQ(within.XFrom, left.Dist);
    EXPECT_DOUBLE_EQ(within.XTo, right.Dist);
    for (const std::size_t first : {1u, 3u}) {
        const TPlotLimit& a = plot.Limits[first];
        const TPlotLimit& b = plot.Limits[first + 1];
        EXPECT_FALSE(a.WithinRow);
        EXPECT_TRUE(a.Labelled);
        EXPECT_FALSE(b.Labelled);
        EXPECT_EQ(a.RightAxis, first == 3u); // B on the right axis
        EXPECT_FLOAT_EQ(static_cast<float>(a.Value), first == 1u ? eEdge : bEdge);
        EXPECT_DOUBLE_EQ(a.XFrom, xMin);
        EXPECT_NEAR(a.XTo, left.Dist + inside, 1e-9);
        EXPECT_NEAR(b.XFrom, right.Dist - inside, 1e-9);
        EXPECT_DOUBLE_EQ(b.XTo, xMax);
    }
    EXPECT_EQ(plot.Limits[0].Text.rfind("E limit ", 0), 0u);
    EXPECT_EQ(plot.Limits[1].Text.rfind("Edge E limit ", 0), 0u);
    EXPECT_EQ(plot.Limits[3].Text.rfind("Edge B limit ", 0), 0u);

    // E and B at each edge: E over its edge limit, B not.
    ASSERT_EQ(plot.EdgeValues.size(), 4u);
    const TCalcResult* edges[] = {&left, &left, &right, &right};
    for (std::size_t i = 0; i < 4; ++i) {
        const TPlotAnnotation& value = plot.EdgeValues[i];
        const bool isE = i % 2 == 0;
        EXPECT_DOUBLE_EQ(value.X, edges[i]->Dist);
        const double expected = isE ? static_cast<double>(*edges[i]->EMax)
                                    : static_cast<double>(*edges[i]->BMax) * 1000;
        EXPECT_NEAR(value.Y, expected, 1e-6 * expected);
        EXPECT_EQ(value.RightAxis, !isE);
        EXPECT_EQ(value.Over, isE);
        const std::string unit = isE ? " kV/m" : " mG";
        EXPECT_EQ(value.Text.substr(value.Text.size() - unit.size()), unit);
    }
    // The largest E is over the within-ROW limit; the largest B has no limit
    // inside the ROW.
    ASSERT_EQ(plot.Maxima.size(), 2u);
    EXPECT_TRUE(plot.Maxima[0].Over);
    EXPECT_FALSE(plot.Maxima[1].Over);

    // Without a table: no lines, nothing over.
    const TPlotData plain = BuildPlotData(section, {}, {});
    EXPECT_TRUE(plain.Limits.empty());
    for (const TPlotAnnotation& value : plain.EdgeValues)
        EXPECT_FALSE(value.Over);
}

// The chart laid out at a size in a scene of its own.
TProfileChart& LaidOut(QGraphicsScene& scene, const TPlotData& data, QSizeF size) {
    auto* chart = new TProfileChart(data);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    if (chart->layout() != nullptr) chart->layout()->activate();
    chart->PlaceLabels();
    return *chart;
}

TEST_F(ProfileChartTest, LabelsNeverMeetAndTheAxesShareTheirGridLines) {
    TPlotOptions options;
    options.Limits = DefaultFieldLimits();
    const TPlotData plot = BuildPlotData(Section(), {}, options);
    for (const QSizeF size : {QSizeF(1200, 750), QSizeF(640, 360), QSizeF(420, 300)}) {
        SCOPED_TRACE(size.width());
        QGraphicsScene scene;
        TProfileChart& chart = LaidOut(scene, plot, size);
        const auto labels = chart.Labels();
        int shown = 0;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            if (!labels[i].Shown) continue;
            ++shown;
            EXPECT_TRUE(chart.plotArea().adjusted(-1, -1, 1, 1).contains(labels[i].Box))
                << labels[i].Text.toStdString();
            for (std::size_t k = i + 1; k < labels.size(); ++k)
                if (labels[k].Shown) {
                    EXPECT_FALSE(labels[i].Box.intersects(labels[k].Box))
                        << labels[i].Text.toStdString() << " / " << labels[k].Text.toStdString();
                }
            // No label crosses a ROW edge's line.
            for (const TPlotMark& edge : plot.RowEdges) {
                const double x = chart.mapToPosition(QPointF(edge.X, 0), nullptr).x();
                EXPECT_FALSE(labels[i].Box.left() < x && labels[i].Box.right() > x)
                    << labels[i].Text.toStdString();
            }
        }
        if (size.width() >= 1200) {
            EXPECT_GE(shown, 6); // both captions, maxima, edge values
        }

        // Equal numbers of intervals on both axes, each a round step.
        const QValueAxis* l = chart.LeftAxis();
        const QValueAxis* r = chart.RightAxis();
        ASSERT_NE(r, nullptr);
        const double leftIntervals = (l->max() - l->min()) / l->tickInterval();
        const double rightIntervals = (r->max() - r->min()) / r->tickInterval();
        EXPECT_NEAR(leftIntervals, std::round(leftIntervals), 1e-9);
        EXPECT_NEAR(leftIntervals, rightIntervals, 1e-9);
        EXPECT_NEAR(l->tickAnchor(), l->min(), 1e-12);

        // At most two points per pixel column, and the ends beyond.
        const auto columns = static_cast<qsizetype>(std::ceil(chart.plotArea().width()));
        EXPECT_LE(chart.DrawnPoints(), static_cast<qsizetype>(plot.Lines.size()) * (2 * columns + 2));
    }
}

TEST_F(ProfileChartTest, NewDataUpdatesTheChartAndKeepsAZoomWhenAsked) {
    QGraphicsScene scene;
    TProfileChart& chart = LaidOut(scene, BuildPlotData(Section(), {}, {}), QSizeF(900, 600));
    const QList<QAbstractSeries*> before = chart.series();
    chart.XAxis()->setRange(0, 20);
    ASSERT_TRUE(chart.IsZoomed());

    // Another cross section's data in the same chart (other marks, other
    // counts of series): the series of the fewer stay.
    const TPlotData other = BuildPlotData(project_->Scenarios[1], {}, {});
    chart.SetData(other, true);
    EXPECT_EQ(chart.Data().Lines.front().Runs, other.Lines.front().Runs);
    const QList<QAbstractSeries*> after = chart.series();
    int kept = 0;
    for (QAbstractSeries* series : before)
        kept += after.contains(series) ? 1 : 0;
    EXPECT_EQ(kept, std::min(before.size(), after.size()));
    EXPECT_DOUBLE_EQ(chart.XAxis()->min(), 0);
    EXPECT_DOUBLE_EQ(chart.XAxis()->max(), 20);

    chart.SetData(other, false); // the whole profile again
    EXPECT_FALSE(chart.IsZoomed());
    EXPECT_LE(chart.XAxis()->min(), other.XMin);
    EXPECT_GE(chart.XAxis()->max(), other.XMax);
}

} // namespace
} // namespace corvalt
