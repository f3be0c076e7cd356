// How the windows behave for the keyboard and in the workspace: tab keys of the
// project window, paging and zoom keys of the report window, grids that fill
// their width, child windows that open maximised and stay inside the workspace
// on Tile and Cascade, and the error window that shows its findings whole and
// leads to a conductor's finding.
#include "MainWinTestSupport.h"

#include "ui/windows/ReptMstr.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"
#include "ui/windows/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace corvalt;
using namespace corvalt::test;
using TForm = ui::TScenariosForm;

namespace {

// MakeProject with two more cross sections named "L6" and "L7".
std::unique_ptr<TEmfProject> ThreeSectionProject() {
    std::unique_ptr<TEmfProject> project = MakeProject();
    for (const char* tab : {"L6", "L7"}) {
        auto scenario = std::make_unique<TScenario>(*project);
        scenario->TabTitle = tab;
        project->Scenarios.Add(std::move(scenario));
    }
    return project;
}

void Activate(QWidget& window) {
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

int ColumnsWidth(const QTableWidget& grid) {
    int width = 0;
    for (int column = 0; column < grid.columnCount(); ++column)
        width += grid.columnWidth(column);
    return width;
}

QRect Workspace(const ui::TMainForm& main) {
    return {QPoint(0, 0), main.MdiArea().viewport()->size()};
}

} // namespace

class TWindowBehaviourTest : public QObject {
    Q_OBJECT
  private slots:
    void tabKeysSwitchCrossSections_data();
    void tabKeysSwitchCrossSections();
    void reportKeysPageAndZoom();
    void pageKeysStayWithTheGridWithoutAReport();
    void gridFillsItsWidthWithoutScrolling_data();
    void gridFillsItsWidthWithoutScrolling();
    void keptInsideMovesAndShrinks_data();
    void keptInsideMovesAndShrinks();
    void windowsOpenMaximisedInAMaximisedMainWindow();
    void tileAndCascadeKeepWindowsInside();
    void errorWindowShowsFindingsWhole();
    void doubleClickingAConductorsFindingSelectsIt();
};

void TWindowBehaviourTest::tabKeysSwitchCrossSections_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("tabs"); // after each press, from tab 0 of 3
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << ctrl << QList<int>{1, 2, 0};
    QTest::newRow("Ctrl+PgDn") << int(Qt::Key_PageDown) << ctrl << QList<int>{1, 2, 0};
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab) << ctrlShift << QList<int>{2, 1, 0};
    QTest::newRow("Ctrl+PgUp") << int(Qt::Key_PageUp) << ctrl << QList<int>{2, 1, 0};
}

void TWindowBehaviourTest::tabKeysSwitchCrossSections() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QList<int>, tabs);
    TMainFixture f;
    TForm& form = f.Open(ThreeSectionProject());
    Activate(*f.Main);
    // The keys work wherever the focus is in the project window.
    for (QWidget* focus :
         {static_cast<QWidget*>(&form.Grid()), static_cast<QWidget*>(&form.Tree())}) {
        form.Tabs().setCurrentIndex(0);
        focus->setFocus();
        for (const int tab : tabs) {
            QTest::keyClick(focus, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(form.Tabs().currentIndex(), tab);
        }
    }
    // Each switch shows the cross section like a click on its tab.
    QCOMPARE(form.Tree().currentItem(), form.Tree().topLevelItem(0));
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 1);
}

void TWindowBehaviourTest::reportKeysPageAndZoom() {
    TMainFixture f;
    f.Reports.PageCount = 3;
    TForm& form = f.Open(MakeProject());
    form.RunReport(TReportKind::EmfDetails);
    ui::TReptMstr& report = *f.Main->ActiveReportWindow();
    Activate(*f.Main);
    QVERIFY(QApplication::focusWidget() != nullptr);
    for (const auto& [key, page] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageDown, 2},
                                    std::pair{Qt::Key_PageDown, 2}, // the last page
                                    std::pair{Qt::Key_PageUp, 1}}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(report.PageIndex(), page);
    }
    const double width = report.PageWidthZoom();
    QCOMPARE(report.Zoom(), width);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(report.Zoom(), width + ui::TReptMstr::kZoomStep);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(report.Zoom(), width + 2 * ui::TReptMstr::kZoomStep);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(report.Zoom(), width + ui::TReptMstr::kZoomStep);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(report.Zoom(), width); // back to the view the report opened with
}

void TWindowBehaviourTest::pageKeysStayWithTheGridWithoutAReport() {
    TMainFixture f;
    f.Reports.PageCount = 3;
    TForm& form = f.Open(MakeProject());
    form.RunReport(TReportKind::EmfDetails);
    ui::TReptMstr* report = f.Main->ActiveReportWindow();
    f.Main->MdiArea().setActiveSubWindow(f.Main->MdiArea().subWindowList().front());
    Activate(*f.Main);
    form.Grid().setFocus();
    form.Grid().setCurrentCell(0, 0);
    QTest::keyClick(&form.Grid(), Qt::Key_PageDown);
    QCOMPARE(report->PageIndex(), 0);
    QVERIFY(form.Grid().currentRow() > 0); // the grid had the key
}

void TWindowBehaviourTest::gridFillsItsWidthWithoutScrolling_data() {
    QTest::addColumn<QString>("project");
    QTest::addColumn<int>("node"); // -1 the cross section, 0 the points
    QTest::newRow("conductors") << "made" << -1;
    QTest::newRow("points") << "made" << 0;
    QTest::newRow("sample conductors") << "sample" << -1;
}

void TWindowBehaviourTest::gridFillsItsWidthWithoutScrolling() {
    QFETCH(QString, project);
    QFETCH(int, node);
    TMainFixture f;
    QCOMPARE(f.Main->width(), 780); // the main window's size at start
    TForm* form = nullptr;
    if (project == "sample") {
        // The sample's longest circuit names and the conductors' x column need
        // a little more than the first size.
        f.Main->resize(830, f.Main->height());
        QVERIFY(f.Main->OpenProjectFile(SampleProjectPath()));
        form = f.Main->ActiveProjectWindow();
        form->Tabs().setCurrentIndex(1); // the longest circuit names of the sample
    } else {
        form = &f.Open(MakeProject());
    }
    if (node >= 0) form->Tree().setCurrentItem(form->Tree().topLevelItem(0)->child(node));
    QApplication::processEvents();
    const QTableWidget& grid = form->Grid();
    QVERIFY(!grid.horizontalScrollBar()->isVisible());
    QCOMPARE(ColumnsWidth(grid), grid.viewport()->width());
    // Every cell shows its text whole.
    for (int row = 0; row < grid.rowCount(); ++row)
        for (int column = 0; column < grid.columnCount(); ++column)
            if (const QTableWidgetItem* item = grid.item(row, column))
                QVERIFY2(grid.fontMetrics().horizontalAdvance(item->text()) <
                             grid.columnWidth(column),
                         qPrintable(item->text()));

    // A wider window: the columns widen with it.
    f.Main->resize(1100, 600);
    QApplication::processEvents();
    QCOMPARE(ColumnsWidth(grid), grid.viewport()->width());
}

void TWindowBehaviourTest::keptInsideMovesAndShrinks_data() {
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("kept");
    // In an area of 700 × 400 at (0, 0).
    QTest::newRow("inside stays") << QRect(10, 20, 300, 200) << QRect(10, 20, 300, 200);
    QTest::newRow("past the right edge moves left")
        << QRect(600, 20, 300, 200) << QRect(400, 20, 300, 200);
    QTest::newRow("past the bottom moves up")
        << QRect(10, 350, 300, 200) << QRect(10, 200, 300, 200);
    QTest::newRow("above and left moves in") << QRect(-50, -30, 300, 200) << QRect(0, 0, 300, 200);
    QTest::newRow("wider than the area shrinks")
        << QRect(100, 10, 900, 200) << QRect(0, 10, 700, 200);
    QTest::newRow("larger both ways fills it")
        << QRect(-10, -10, 1000, 1000) << QRect(0, 0, 700, 400);
}

void TWindowBehaviourTest::keptInsideMovesAndShrinks() {
    QFETCH(QRect, window);
    QFETCH(QRect, kept);
    QCOMPARE(ui::KeptInside(window, QRect(0, 0, 700, 400)), kept);
    // The staggered places of new windows, 24 pixels a step, five steps.
    QCOMPARE(ui::StaggeredPlace(0, QSize(700, 400)), QRect(0, 0, 700, 400));
    QCOMPARE(ui::StaggeredPlace(2, QSize(700, 400)), QRect(48, 48, 652, 352));
    QCOMPARE(ui::StaggeredPlace(5, QSize(700, 400)), QRect(0, 0, 700, 400));
}

void TWindowBehaviourTest::windowsOpenMaximisedInAMaximisedMainWindow() {
    TMainFixture f;
    f.Open(MakeProject());
    QVERIFY(!f.Main->MdiArea().currentSubWindow()->isMaximized());
    f.Main->showMaximized();
    QTRY_VERIFY(f.Main->isMaximized());
    TForm& second = f.Open(MakeProject());
    QVERIFY(f.Main->MdiArea().currentSubWindow()->isMaximized());
    second.RunReport(TReportKind::EmfDetails);
    QVERIFY(f.Main->ActiveReportWindow() != nullptr);
    QVERIFY(f.Main->MdiArea().currentSubWindow()->isMaximized());
}

void TWindowBehaviourTest::tileAndCascadeKeepWindowsInside() {
    TMainFixture f;
    for (int i = 0; i < 7; ++i)
        f.Open(MakeProject());
    QApplication::processEvents();
    for (QAction* arrange : {f.Main->Actions().mnTile, f.Main->Actions().mnCascade}) {
        arrange->trigger();
        QApplication::processEvents();
        for (const QMdiSubWindow* window : f.Main->MdiArea().subWindowList())
            QVERIFY2(Workspace(*f.Main).contains(window->geometry()),
                     qPrintable(arrange->text() + " left a window outside"));
    }
}

void TWindowBehaviourTest::errorWindowShowsFindingsWhole() {
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios[0].Title = std::string(120, 'W'); // a very long heading line
    project->Scenarios[0].Circuits[0].Conductors[0].Height = 0;
    TForm& form = f.Open(std::move(project));
    ui::TRptErrorForm& errors = f.Main->ErrorForm();
    f.Prompts.OnDialog = [](QDialog& dialog) { dialog.show(); };
    form.RunReport(TReportKind::EmfDetails);
    QCOMPARE(f.Prompts.DialogTitles, QStringList{"Errors"});
    QApplication::processEvents();
    const QTreeWidget& tree = errors.Tree();
    int lines = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it) {
        const QTreeWidgetItem* item = *it;
        ++lines;
        QCOMPARE(item->toolTip(0), item->text(0));
        // The column holds the whole text.
        QVERIFY(tree.columnWidth(0) >= tree.fontMetrics().horizontalAdvance(item->text(0)));
    }
    QCOMPARE(lines, 4); // cross section, two circuits, one conductor error
    // The window widened for the long line (it opens 460 wide).
    QVERIFY(errors.width() > 460);
    QVERIFY(errors.width() <= errors.screen()->availableGeometry().width());
    errors.hide();
}

void TWindowBehaviourTest::doubleClickingAConductorsFindingSelectsIt() {
    TMainFixture f;
    f.Open(MakeProject());
    std::unique_ptr<TEmfProject> failing = MakeProject();
    failing->Scenarios.Add(std::make_unique<TScenario>(*failing)); // checked too: no conductors
    TCircuit& c2 = failing->Scenarios[0].Circuits[1];
    c2.Conductors[2].Height = 0; // 2C1, the third conductor of the second circuit
    TForm& form = f.Open(std::move(failing));
    f.Open(MakeProject()); // another window is active when the report runs
    QVERIFY(f.Main->ActiveProjectWindow() != &form);

    ui::TRptErrorForm& errors = f.Main->ErrorForm();
    QString clicked;
    f.Prompts.OnDialog = [&](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        QTreeWidget& tree = errors.Tree();
        for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) {
            // A circuit's line leads nowhere: the window stays.
            if ((*it)->text(0) == QLatin1String("Circuit C2")) {
                emit tree.itemDoubleClicked(*it, 0);
                QVERIFY(dialog.isVisible());
            }
        }
        for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) {
            if (!(*it)->text(0).contains(QLatin1String("'2C1'"))) continue;
            clicked = (*it)->text(0);
            const QRect cell = tree.visualItemRect(*it);
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, cell.center());
            break;
        }
    };
    f.Main->OpenReportWindow(form.Project(), &form.Project().Scenarios[1], TReportKind::EmfDetails);
    QCOMPARE(clicked, QStringLiteral("Conductor '2C1' has a 0 height"));
    QVERIFY(!errors.isVisible());
    QCOMPARE(f.Main->ActiveProjectWindow(), &form);
    QCOMPARE(form.Tabs().currentIndex(), 0);
    QCOMPARE(form.SelectedCircuit(), &c2);
    QCOMPARE(form.RowConductor(form.CurrentRow()), &c2.Conductors[2]);
}

QTEST_MAIN(TWindowBehaviourTest)
#include "WindowBehaviourTest.moc"
