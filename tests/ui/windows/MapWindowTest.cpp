// The map window of a plan: its read-out gives the engine's values of the
// nearest grid point (and the field of a long straight conductor worked out
// by hand), a plan set while another computes ends with the newest plan's
// map, the iso-lines are the project's limits plus the levels added, and the
// CSV export is corvalt-cli map --csv's file.
#include "UiTestSupport.h"

#include "space/FieldMap.h"
#include "ui/widgets/FieldMapView.h"
#include "ui/windows/MapWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace corvalt;
using namespace corvalt::test;

namespace {

constexpr int kMapTimeoutMs = 60000;

TPlan SamplePlan() {
    TEmfProject project;
    const TFileResult read = project.Load(CORVALT_SOURCE_DIR "/examples/sample-plans.emf");
    if (!read.Ok) throw std::runtime_error("sample-plans.emf does not read");
    for (const TPlan& plan : project.Plans)
        if (plan.Name == "Corner structure 14") return plan;
    throw std::runtime_error("no plan Corner structure 14");
}

// One phase conductor 10 km long along x at 10 m carrying 500 A, over a grid
// from x -10 to 10 and y -30 to 30, step 2, at 1 m.
TPlan StraightLine() {
    TPlan plan;
    plan.Name = "Straight line";
    plan.Units = Metric;
    TPlanConductor c;
    c.Id = "A";
    c.Kv = 230;
    c.CurrentA = 500;
    c.Diameter = 28;
    c.Points = {{-5000, 0, 10}, {5000, 0, 10}};
    plan.Conductors.push_back(c);
    plan.Grid = {-10, 10, -30, 30, 2, 1};
    return plan;
}

void WaitForMap(ui::TMapWindow& window) {
    QTRY_VERIFY_WITH_TIMEOUT(!window.IsComputing(), kMapTimeoutMs);
}

bool SameValue(const std::optional<float>& shown, const space::TMapLayer& layer, std::size_t i,
               std::size_t j) {
    const std::optional<float> engine = layer.At(i, j);
    if (shown.has_value() != engine.has_value()) return false;
    return !shown.has_value() || *shown == *engine;
}

} // namespace

class MapWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { ui::UseCNumberFormat(); }
    void readoutIsTheEnginesValueAtEveryGridPoint();
    void readoutTakesTheNearestGridPointAndTheLineFormula();
    void theNewestPlanWins();
    void isoLinesAreTheProjectsLimitsAndTheAddedLevels();
    void csvExportIsTheCommandLinesCsv();
};

void MapWindowTest::readoutIsTheEnginesValueAtEveryGridPoint() {
    const TPlan plan = SamplePlan();
    const space::TMapRun engine = space::ComputeFieldMap(plan);
    QCOMPARE(int(engine.Outcome), int(space::TMapOutcome::Computed));
    ui::TMapWindow window(plan, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WaitForMap(window);
    QVERIFY(window.Map() != nullptr);
    ui::TFieldMapView& view = window.View();
    const space::TFieldMap& m = engine.Map;
    // The whole grid, then a quarter of it zoomed in around its centre.
    for (const double zoom : {1.0, 0.25}) {
        if (zoom != 1.0) view.ZoomAround(view.GridRect().center(), zoom);
        int read = 0;
        for (std::size_t j = 0; j < m.Y.size(); ++j)
            for (std::size_t i = 0; i < m.X.size(); ++i) {
                const QPointF at = view.ViewPointOf(m.X[i], m.Y[j]);
                const std::optional<ui::TMapReading> r = view.ReadingAt(at);
                if (!view.GridRect().contains(at)) continue;
                QVERIFY(r.has_value());
                QCOMPARE(r->I, i);
                QCOMPARE(r->J, j);
                QVERIFY(SameValue(r->E, m.E, i, j));
                QVERIFY(SameValue(r->EResultant, m.EResultant, i, j));
                QVERIFY(SameValue(r->B, m.B, i, j));
                QVERIFY(SameValue(r->BResultant, m.BResultant, i, j));
                ++read;
            }
        // Zoomed to a quarter of each side, about a sixteenth of the points shows.
        const double all = double(m.X.size() * m.Y.size());
        QVERIFY(read > all * zoom * zoom * 0.8 && read <= all * zoom * zoom * 1.2 + 2 * m.X.size());
    }
    // The mouse over the map writes the point's values into the read-out.
    view.ResetZoom();
    const QPoint at = view.ViewPointOf(m.X[150], m.Y[40]).toPoint();
    QTest::mouseMove(&view, at);
    const std::optional<ui::TMapReading> r = view.ReadingAt(at);
    QVERIFY(r.has_value());
    QCOMPARE(window.ReadoutLabel().text(), ui::MapReadingText(*r, Metric));
}

void MapWindowTest::readoutTakesTheNearestGridPointAndTheLineFormula() {
    ui::TMapWindow window(StraightLine(), {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WaitForMap(window);
    ui::TFieldMapView& view = window.View();
    // Places between grid lines (step 2) read the nearest one: x 0.9 is
    // nearer 0 than 2, 1.1 nearer 2; y 5.2 nearer 6 than 4, -5.2 nearer -6.
    struct TCase {
        double X, Y, GridX, GridY;
    };
    for (const TCase& c : {TCase{0.9, 5.2, 0, 6}, TCase{1.1, -5.2, 2, -6},
                           TCase{-0.4, 0.8, 0, 0}, TCase{9.6, 29.4, 10, 30}}) {
        const std::optional<ui::TMapReading> r = view.ReadingAt(view.ViewPointOf(c.X, c.Y));
        QVERIFY(r.has_value());
        QCOMPARE(double(r->X), c.GridX);
        QCOMPARE(double(r->Y), c.GridY);
        // B of a long straight current: μ0 I ÷ 2π r = 2 I ÷ r mG (r in m),
        // r from the conductor at 10 m to the point at 1 m; one phasor, so
        // the ellipse's axis and the resultant are the same.
        const double r0 = std::hypot(c.GridY, 10.0 - 1.0);
        const double expected = 2 * 500 / r0;
        QVERIFY(r->B.has_value() && r->BResultant.has_value());
        QVERIFY(std::abs(*r->B - expected) < expected * 1e-4);
        QVERIFY(std::abs(*r->BResultant - expected) < expected * 1e-4);
    }
    // Beyond half a step past the grid's edge there is nothing to read.
    QVERIFY(!ui::MapReadingNear(*window.Map(), 11.2, 0).has_value());
    QVERIFY(ui::MapReadingNear(*window.Map(), 10.9, 0).has_value());
}

void MapWindowTest::theNewestPlanWins() {
    const TPlan first = SamplePlan();
    TPlan doubled = first;
    doubled.Name = "Doubled currents";
    for (TPlanConductor& c : doubled.Conductors)
        c.CurrentA *= 2;
    TPlan other = first;
    other.Name = "Never shown";
    ui::TMapWindow window(first, {});
    QSignalSpy shown(&window, &ui::TMapWindow::MapShown);
    window.SetPlan(other);
    window.SetPlan(doubled);
    // Setting a plan hands the work to the worker: it is still running.
    QVERIFY(window.IsComputing());
    WaitForMap(window);
    QCOMPARE(shown.count(), 1);
    QVERIFY(window.MappedPlan() != nullptr && *window.MappedPlan() == doubled);
    QCOMPARE(window.Map()->Name, std::string("Doubled currents"));
    // Twice the currents: twice the magnetic field at every point; the
    // electric field unchanged.
    const space::TFieldMap single = space::ComputeFieldMap(first).Map;
    const auto b = window.Map()->B.Values(), b1 = single.B.Values();
    QCOMPARE(b.size(), b1.size());
    for (std::size_t k = 0; k < b.size(); k += 97) {
        if (std::isnan(b1[k])) continue;
        QVERIFY(std::abs(b[k] - 2 * b1[k]) <= 1e-5f * std::abs(b[k]) + 1e-6f);
        QCOMPARE(window.Map()->E.Values()[k], single.E.Values()[k]);
    }
}

void MapWindowTest::isoLinesAreTheProjectsLimitsAndTheAddedLevels() {
    // A 230 kV plan: the 230 kV class's limits of the project's table (E
    // within the ROW and at its edge, B at the edge).
    ui::TMapWindowSetup setup;
    setup.Limits.For(TLimitClass::Line230) = {7.5f, 1.5f, 123.0f};
    ui::TMapWindow window(SamplePlan(), setup);
    window.show();
    WaitForMap(window);
    struct TCase {
        int Quantity; // 0 E, 1 B
        const char* Added;
        std::vector<double> Expected; // largest first, each once
        bool Refused;
    };
    const TCase cases[] = {
        {1, "", {123}, false},
        {1, "50, 200,123", {200, 123, 50}, false},
        {1, "50, abc", {123}, true},
        {1, "-5", {123}, true},
        {0, "3", {7.5, 3, 1.5}, false},
    };
    for (const TCase& c : cases) {
        window.QuantityBox().setCurrentIndex(c.Quantity);
        Type(window.LevelsEdit(), QString::fromLatin1(c.Added));
        emit window.LevelsEdit().editingFinished();
        const std::vector<TMapLevel> drawn = *window.View().DrawOptions().Levels;
        QCOMPARE(drawn.size(), c.Expected.size());
        for (std::size_t k = 0; k < drawn.size(); ++k)
            QCOMPARE(float(drawn[k].Value), float(c.Expected[k]));
        QCOMPARE(window.LevelsErrorLabel().isVisible(), c.Refused);
    }
    // Each quantity keeps its own added levels.
    window.QuantityBox().setCurrentIndex(1);
    QCOMPARE(window.LevelsEdit().text(), QStringLiteral("-5"));
}

void MapWindowTest::csvExportIsTheCommandLinesCsv() {
    const TPlan plan = SamplePlan();
    ui::TMapWindow window(plan, {});
    WaitForMap(window);
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("window.csv"));
    const QString theirs = dir.filePath(QStringLiteral("cli.csv"));
    QCOMPARE(window.ExportCsvTo(ours), QString());
    QProcess cli;
    cli.start(QStringLiteral(CORVALT_BINARY_DIR "/bin/corvalt-cli"),
              {QStringLiteral("map"), QStringLiteral(CORVALT_SOURCE_DIR "/examples/sample-plans.emf"),
               QStringLiteral("--plan"), QStringLiteral("Corner structure 14"),
               QStringLiteral("--csv"), theirs});
    QVERIFY(cli.waitForFinished(kMapTimeoutMs));
    QCOMPARE(cli.exitCode(), 0);
    const std::string csv = ReadWholeFile(ours.toStdString());
    QVERIFY(!csv.empty());
    QVERIFY(csv == ReadWholeFile(theirs.toStdString()));
    // A header and one line per grid point: -100..100 by 1 on each side.
    QVERIFY(csv.rfind("x (m),y (m),E (kV/m),E resultant (kV/m),B (mG),B resultant (mG)\r\n", 0) ==
            0);
    QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 201L * 201L + 1L);
}

QTEST_MAIN(MapWindowTest)
#include "MapWindowTest.moc"
