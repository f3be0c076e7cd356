// The results view's cross-section drawing and maxima table as widgets: a
// click on a conductor reports that conductor, the highlighted conductor is
// drawn distinctly, and rows over their limits are marked in words and colour.
// Pixel positions are worked out by hand (see CrossSectionDrawingTest.cpp).

#include "compute/Compute.h"
#include "limits/MaximaSummary.h"
#include "model/Project.h"
#include "tests/compute/LineBuilder.h"
#include "ui/widgets/CrossSectionView.h"
#include "ui/widgets/MaximaTable.h"

#include <QSignalSpy>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;

namespace {

const QColor kHighlight(255, 140, 0);

// A metric cross section with its ROW from -20 m to +20 m and two conductors
// 10 m up at x = 0 and x = 5 m. In a 534 by 400 px view it is drawn at
// 10 px/m with x = 0 at 288 px and the ground at 340 px: the conductors at
// (288, 240) and (338, 240), each 3 px in radius.
struct TTwoConductors {
    TEmfProject Project;
    TScenario* Scenario = nullptr;
    TConductor* First = nullptr;
    TConductor* Second = nullptr;

    TTwoConductors() {
        Project.Units = Metric;
        TScenario& scenario = testing::AddScenario(Project);
        scenario.RowLeft = scenario.RowRight = 20;
        TCircuit& circuit = testing::AddCircuit(scenario);
        First = &testing::AddConductor(circuit, {.X = 0, .Y = 10, .VoltageKv = 230});
        Second = &testing::AddConductor(circuit, {.X = 5, .Y = 10, .VoltageKv = 230});
        Scenario = &scenario;
    }
};

bool IsHighlight(const QColor& colour) {
    return std::abs(colour.red() - kHighlight.red()) < 30 &&
           std::abs(colour.green() - kHighlight.green()) < 30 && colour.blue() < 60;
}

} // namespace

class TResultsWidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void ClickOnAConductorReportsIt_data();
    void ClickOnAConductorReportsIt();
    void HighlightedConductorHasARing();
    void WithoutScenarioNothingIsReported();
    void OverRowsAreMarkedInWordsAndColour();
    void AFailedComputationShowsWhy();
};

void TResultsWidgetsTest::ClickOnAConductorReportsIt_data() {
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("expected"); // 0 none, 1 first, 2 second
    QTest::newRow("first centre") << QPoint(288, 240) << 1;
    QTest::newRow("second, 6 px right") << QPoint(344, 240) << 2;
    QTest::newRow("first, 7 px above") << QPoint(288, 233) << 1;
    QTest::newRow("9 px above the first") << QPoint(288, 231) << 0;
    QTest::newRow("between them") << QPoint(313, 240) << 0;
    QTest::newRow("on the ground") << QPoint(288, 340) << 0;
}

void TResultsWidgetsTest::ClickOnAConductorReportsIt() {
    QFETCH(QPoint, click);
    QFETCH(int, expected);
    TTwoConductors line;
    TCrossSectionView view;
    view.resize(534, 400);
    view.SetScenario(line.Scenario);
    QSignalSpy clicked(&view, &TCrossSectionView::ConductorClicked);
    QTest::mouseClick(&view, Qt::LeftButton, {}, click);
    if (expected == 0) {
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(view.HighlightedConductor(), nullptr);
        return;
    }
    QCOMPARE(clicked.count(), 1);
    const TConductor* const want = expected == 1 ? line.First : line.Second;
    QCOMPARE(clicked.at(0).at(0).value<const TConductor*>(), want);
    QCOMPARE(view.HighlightedConductor(), want);
    // The right button selects nothing.
    QTest::mouseClick(&view, Qt::RightButton, {}, click);
    QCOMPARE(clicked.count(), 1);
}

// The highlight ring lies 3 px outside the conductor's 3 px circle: its line
// passes through (294, 240), where otherwise only the grey crossarm runs.
void TResultsWidgetsTest::HighlightedConductorHasARing() {
    TTwoConductors line;
    TCrossSectionView view;
    view.resize(534, 400);
    view.SetScenario(line.Scenario);
    const QImage plain = view.grab().toImage();
    QVERIFY(!IsHighlight(plain.pixelColor(294, 240)));
    view.SetHighlightedConductor(line.First);
    const QImage marked = view.grab().toImage();
    QVERIFY(IsHighlight(marked.pixelColor(294, 240)));
    QVERIFY(IsHighlight(marked.pixelColor(288, 246)));
    QVERIFY(!IsHighlight(marked.pixelColor(344, 240)));
    // A conductor of another cross section highlights nothing.
    TTwoConductors other;
    view.SetHighlightedConductor(other.First);
    QVERIFY(!IsHighlight(view.grab().toImage().pixelColor(294, 240)));
}

void TResultsWidgetsTest::WithoutScenarioNothingIsReported() {
    TCrossSectionView view;
    view.resize(534, 400);
    QSignalSpy clicked(&view, &TCrossSectionView::ConductorClicked);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(288, 240));
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!view.grab().isNull());
}

// A single 230 kV conductor carrying 1000 A, 10 m up, under a ROW from -9 m
// to +30 m: at the left edge 2000 / √(81 + 81) = 157.1 mG, over 150 mG. A
// point of interest named in an older file's Windows-1252 ("Caf\xE9").
void TResultsWidgetsTest::OverRowsAreMarkedInWordsAndColour() {
    TEmfProject project;
    project.Units = Metric;
    TScenario& scenario = testing::AddScenario(project);
    scenario.RowLeft = 9;
    scenario.RowRight = 30;
    TCircuit& circuit = testing::AddCircuit(scenario);
    circuit.VoltageClass = 230;
    testing::AddConductor(circuit, {.X = 0, .Y = 10, .VoltageKv = 230, .CurrentA = 1000});
    testing::AddInterestPoint(scenario, "Caf\xE9", 20);
    QVERIFY(ComputeScenario(scenario));
    TMaximaTable table;
    table.ShowScenario(scenario, DefaultFieldLimits());
    QCOMPARE(table.rowCount(), 5 + 2 + 2);
    QCOMPARE(table.horizontalHeaderItem(TMaximaTable::ColStatus)->text(), QStringLiteral("Status"));
    const int bLeft = 3, bRight = 4;
    QCOMPARE(table.item(bLeft, TMaximaTable::ColQuantity)->text(),
             QStringLiteral("Magnetic field"));
    QCOMPARE(table.item(bLeft, TMaximaTable::ColPlace)->text(),
             QStringLiteral("at the left ROW edge (-9.0 m)"));
    QCOMPARE(table.item(bLeft, TMaximaTable::ColValue)->text(), QStringLiteral("157.1"));
    QCOMPARE(table.item(bLeft, TMaximaTable::ColUnit)->text(), QStringLiteral("mG"));
    QCOMPARE(table.item(bLeft, TMaximaTable::ColLimit)->text(), QStringLiteral("150"));
    QCOMPARE(table.item(bLeft, TMaximaTable::ColStatus)->text(), QStringLiteral("over"));
    QCOMPARE(table.item(bRight, TMaximaTable::ColStatus)->text(), QStringLiteral("within"));
    const QColor over = table.item(bLeft, TMaximaTable::ColPlace)->background().color();
    const QColor within = table.item(bRight, TMaximaTable::ColPlace)->background().color();
    QVERIFY(over.red() > over.green() + 30);
    QVERIFY(over != within);
    QVERIFY(table.item(bLeft, TMaximaTable::ColStatus)->font().bold());
    QCOMPARE(table.item(5, TMaximaTable::ColPlace)->text(),
             QStringLiteral("at point of interest 'Caf\u00E9' (20.0 m, inside the ROW)"));
    // The conductor rows have no limit.
    QCOMPARE(table.item(7, TMaximaTable::ColStatus)->text(), QStringLiteral("no limit"));
    QCOMPARE(table.item(8, TMaximaTable::ColUnit)->text(), QStringLiteral("kW/km"));
}

void TResultsWidgetsTest::AFailedComputationShowsWhy() {
    TMaximaSummary summary;
    summary.Computed = false;
    summary.CalcError = "Cross section 'Caf\xE9': the conductor 1A1 has no diameter.";
    TMaximaTable table;
    table.ShowSummary(summary);
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.item(0, 0)->text(),
             QStringLiteral("Cross section 'Caf\u00E9': the conductor 1A1 has no diameter."));
    table.Clear();
    QCOMPARE(table.rowCount(), 0);
}

QTEST_MAIN(TResultsWidgetsTest)
#include "ResultsWidgetsTest.moc"
