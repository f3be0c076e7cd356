// The results panel of the project window: it shows the current cross section
// computed on a copy (the project's own results untouched); it follows every
// change, and undo, at once or on the worker (greyed meanwhile, stale results
// dropped); overlays and corona toggles; the read-out; the CSV and picture
// exports; a cross section that fails shows its reason; and the panel's
// visibility and splitter kept in the preferences.
#include "MainWinTestSupport.h"

#include "compute/Compute.h"
#include "limits/MaximaSummary.h"
#include "model/Clone.h"
#include "plots/ConductorKind.h"
#include "plots/ProfileChart.h"
#include "reports/ProfileCsv.h"
#include "ui/widgets/CrossSectionView.h"
#include "ui/widgets/FindingsTree.h"
#include "ui/widgets/MaximaTable.h"
#include "ui/dialogs/PictureLayoutDialog.h"
#include "ui/widgets/PlotView.h"
#include "ui/widgets/SectionMapView.h"
#include "ui/windows/ResultsPanel.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>
#include <QValueAxis>

#include <cstdlib>
#include <stdexcept>

#include <sys/stat.h>

using namespace corvalt;
using namespace corvalt::test;
using TForm = ui::TScenariosForm;

namespace {

constexpr int kFirstCircuit = 1; // tree node of circuit C1

void SelectCircuit(TForm& form) {
    form.Tree().setCurrentItem(form.Tree().topLevelItem(0)->child(kFirstCircuit));
}

bool RaiseConductors(TCircuit& circuit) {
    for (TConductor& conductor : circuit.Conductors)
        conductor.SetDisplayHeight(conductor.DisplayHeight() + 10);
    return true;
}

// Edits circuit C1's coordinates as the user does (one undoable change).
void RaiseC1(TMainFixture& f, TForm& form) {
    SelectCircuit(form);
    f.Dialogs.OnEditCoordinates = RaiseConductors;
    f.Main->Actions().mnCircCoords->trigger();
}

// The electric field of every record of the panel's results.
std::vector<std::optional<float>> ShownE(const ui::TResultsPanel& panel) {
    std::vector<std::optional<float>> values;
    if (const TScenario* scenario = panel.ShownScenario())
        for (const TCalcResult& r : scenario->Results)
            values.push_back(r.EMax);
    return values;
}

// The same cross section of a separate copy of the window's project, computed here.
std::vector<std::optional<float>> ExpectedE(TForm& form, int section = 0) {
    std::unique_ptr<TScenario> copy = CloneScenario(form.Project().Scenarios[section]);
    if (!ComputeScenario(*copy)) qWarning("cannot compute: %s", copy->CalcError.c_str());
    std::vector<std::optional<float>> values;
    for (const TCalcResult& r : copy->Results)
        values.push_back(r.EMax);
    return values;
}

// The project in a maximised window of a main window wide enough for the
// panel beside the grid (a narrow window hides it).
TForm& OpenWide(TMainFixture& f, std::unique_ptr<TEmfProject> project) {
    f.Main->resize(1600, 900);
    TForm& form = f.Open(std::move(project));
    form.parentWidget()->showMaximized();
    QApplication::processEvents();
    return form;
}

// The panel of a window that shows it.
ui::TResultsPanel& Panel(TForm& form) {
    if (form.ResultsPanel() == nullptr) throw std::logic_error("the results panel never showed");
    return *form.ResultsPanel();
}

// The main window sizes the panel is tried at, the project window maximised
// in it: the two small screens, and a large one.
void AddWindowSizes() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("below"); // whether the panel goes below the grid there
    QTest::newRow("800x600") << QSize(800, 600) << true;
    QTest::newRow("1024x768") << QSize(1024, 768) << true;
    QTest::newRow("maximised") << QSize(1600, 1000) << false;
}

TForm& OpenAt(TMainFixture& f, std::unique_ptr<TEmfProject> project, QSize size) {
    f.Main->resize(size);
    TForm& form = f.Open(std::move(project));
    form.parentWidget()->showMaximized();
    QApplication::processEvents();
    return form;
}

std::unique_ptr<TEmfProject> TwoSectionProject() {
    std::unique_ptr<TEmfProject> project = MakeProject();
    std::unique_ptr<TScenario> copy = CloneScenario(project->Scenarios[0]);
    copy->TabTitle = "L6";
    copy->Conductors.front()->Height += 3; // another geometry to compare
    project->Scenarios.Add(std::move(copy));
    return project;
}

} // namespace

class TResultsPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QuietOffscreenWarnings(); }
    void showsTheCurrentSectionComputedOnACopy();
    void followsEveryChangeAndUndo();
    void aZoomStaysThroughAnEditButNotToAnotherSection();
    void workerGreysThePanelAndDropsStaleResults();
    void plotsBuiltByTheWorkerFollowLaterOptions();
    void overlaysAndCoronaToggles();
    void readoutAtTheMouse();
    void theReadoutBreaksOnlyBetweenQuantities();
    void exportsCsvEqualToTheComputationAndPictures();
    void theDrawingExportsAndCopiesAtTheChosenLayout();
    void aSectionThatFailsShowsItsReason();
    void drawingAndMaximaFollowTheGrid();
    void aSectionTheDataCheckRefusesShowsItsFindings_data() { AddWindowSizes(); }
    void aSectionTheDataCheckRefusesShowsItsFindings();
    void aSectionWithoutConductorsSaysSo();
    void thePanelGoesBelowTheGridWhenNarrow_data() { AddWindowSizes(); }
    void thePanelGoesBelowTheGridWhenNarrow();
    void thePanelStaysThroughTileCascadeAndMaximise();
    void visibilityAndSplitterKeptInThePreferences();
    void splitterSizesFromTheFileAreClamped();
    void theMapTabShowsThePlaneAndHeightProfiles();
};

void TResultsPanelTest::showsTheCurrentSectionComputedOnACopy() {
    TMainFixture f;
    TForm& form = OpenWide(f, TwoSectionProject());
    ui::TResultsPanel& panel = Panel(form);
    QVERIFY(!panel.isHidden());
    QVERIFY(panel.ShownScenario() != nullptr);
    QCOMPARE(ShownE(panel), ExpectedE(form));
    QVERIFY(!ShownE(panel).empty());
    // The project itself keeps no results and no change: nothing to save.
    QVERIFY(form.Project().Scenarios[0].Results.empty());
    QCOMPARE(form.UndoStack().count(), 0);

    form.Tabs().setCurrentIndex(1);
    QCOMPARE(ShownE(panel), ExpectedE(form, 1));
    QVERIFY(ShownE(panel) != ExpectedE(form, 0));
}

void TResultsPanelTest::followsEveryChangeAndUndo() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    const auto before = ShownE(panel);
    QSignalSpy shown(&panel, &ui::TResultsPanel::ResultsShown);

    RaiseC1(f, form);
    QCOMPARE(form.UndoStack().count(), 1);
    QVERIFY(shown.count() >= 1);
    const auto after = ShownE(panel);
    QVERIFY(after != before);
    QCOMPARE(after, ExpectedE(form));

    f.Main->Actions().mnUndo->trigger();
    QCOMPARE(ShownE(panel), before);
    f.Main->Actions().mnRedo->trigger();
    QCOMPARE(ShownE(panel), after);
}

void TResultsPanelTest::aZoomStaysThroughAnEditButNotToAnotherSection() {
    TMainFixture f;
    TForm& form = OpenWide(f, TwoSectionProject());
    ui::TResultsPanel& panel = Panel(form);
    TProfileChart* chart = panel.FieldView().Chart();
    QVERIFY(chart != nullptr && !chart->IsZoomed());
    const double fullLow = chart->XAxis()->min(), fullHigh = chart->XAxis()->max();
    chart->XAxis()->setRange(0, fullHigh / 2); // the right half, as a zoom would
    QVERIFY(chart->IsZoomed());

    // The edit updates the chart shown, with the zoom kept.
    RaiseC1(f, form);
    TProfileChart* edited = panel.FieldView().Chart();
    QCOMPARE(edited, chart);
    QCOMPARE(edited->Data().Lines.front().Runs, panel.FieldPlot().Lines.front().Runs);
    QCOMPARE(edited->XAxis()->min(), 0.0);
    QCOMPARE(edited->XAxis()->max(), fullHigh / 2);
    panel.FieldView().ResetZoom();
    QVERIFY(!edited->IsZoomed());
    QCOMPARE(edited->XAxis()->min(), fullLow);
    QCOMPARE(edited->XAxis()->max(), fullHigh);

    edited->XAxis()->setRange(0, fullHigh / 2);
    form.Tabs().setCurrentIndex(1);
    QVERIFY(!panel.FieldView().Chart()->IsZoomed());
}

void TResultsPanelTest::workerGreysThePanelAndDropsStaleResults() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    panel.SetSynchronousLimit(0); // every computation on the worker
    QSignalSpy shown(&panel, &ui::TResultsPanel::ResultsShown);

    RaiseC1(f, form);
    QVERIFY(panel.IsComputing());
    QVERIFY(!panel.Tabs().isEnabled());        // greyed while the worker runs
    RaiseC1(f, form);                          // a second change before the first is shown
    QVERIFY(panel.Worker().CancelRequested()); // the first computation was told to stop
    QTRY_VERIFY(!panel.IsComputing());
    QVERIFY(panel.Tabs().isEnabled());
    // Only the newest request was shown, and it is the project as it is now.
    QCOMPARE(shown.count(), 1);
    QCOMPARE(ShownE(panel), ExpectedE(form));
    QCOMPARE(form.UndoStack().count(), 2);

    // A change computed at once after one sent to the worker: the worker's
    // older result never replaces it.
    RaiseC1(f, form);
    QVERIFY(panel.IsComputing());
    panel.SetSynchronousLimit(ui::TResultsPanel::kSynchronousMilliseconds);
    f.Main->Actions().mnUndo->trigger();
    QVERIFY(panel.Worker().CancelRequested());
    const auto undone = ShownE(panel);
    QCOMPARE(undone, ExpectedE(form));
    QTRY_VERIFY(!panel.IsComputing());
    QTest::qWait(50);
    QCOMPARE(ShownE(panel), undone);
    QVERIFY(panel.Tabs().isEnabled());

    // The window goes while the worker computes: the panel stops it first.
    panel.SetSynchronousLimit(0);
    RaiseC1(f, form);
    QVERIFY(panel.IsComputing());
    f.Main.reset();
}

void TResultsPanelTest::plotsBuiltByTheWorkerFollowLaterOptions() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    // The corona plot of one cross section: AN and RI in rain and fair
    // weather, TVI; ozone is off.
    QCOMPARE(panel.CoronaPlot().Lines.size(), std::size_t{5});
    panel.SetSynchronousLimit(0);
    RaiseC1(f, form);
    QVERIFY(panel.IsComputing());
    // Ozone switched on while the worker builds the plots without it: the
    // plots shown at the end have it.
    panel.CoronaBox(TPlotQuantity::Ozone)->setChecked(true);
    QTRY_VERIFY(!panel.IsComputing());
    QCOMPARE(panel.CoronaPlot().Lines.size(), std::size_t{6});
    QCOMPARE(panel.CoronaPlot().Lines.back().Quantity, TPlotQuantity::Ozone);
    QCOMPARE(ShownE(panel), ExpectedE(form));
}

void TResultsPanelTest::overlaysAndCoronaToggles() {
    TMainFixture f;
    TForm& form = OpenWide(f, TwoSectionProject());
    ui::TResultsPanel& panel = Panel(form);
    QVERIFY(panel.OverlayBox(0) == nullptr); // the shown cross section itself
    QCheckBox* l6 = panel.OverlayBox(1);
    QVERIFY(l6 != nullptr);
    QCOMPARE(l6->text(), QStringLiteral("L6"));
    QCOMPARE(panel.FieldPlot().Lines.size(), std::size_t{2});

    l6->setChecked(true);
    QCOMPARE(panel.FieldPlot().Lines.size(), std::size_t{4});
    QCOMPARE(panel.FieldPlot().Lines[2].Name, std::string("Electric field - L6"));
    // Ozone (thousandths of a ppb) is left out until asked for.
    QVERIFY(!panel.CoronaBox(TPlotQuantity::Ozone)->isChecked());
    QCOMPARE(panel.CoronaPlot().Lines.size(), std::size_t{10});
    panel.CoronaBox(TPlotQuantity::Ozone)->setChecked(true);
    QCOMPARE(panel.CoronaPlot().Lines.size(), std::size_t{12});
    // The tick stays through a change of the project.
    RaiseC1(f, form);
    QVERIFY(panel.OverlayBox(1)->isChecked());
    QCOMPARE(panel.FieldPlot().Lines.size(), std::size_t{4});

    panel.CoronaBox(TPlotQuantity::Ozone)->setChecked(false);
    panel.CoronaBox(TPlotQuantity::TviRain)->setChecked(false);
    QCOMPARE(panel.CoronaPlot().Lines.size(), std::size_t{8});
    for (const TPlotLine& line : panel.CoronaPlot().Lines)
        QVERIFY(line.Quantity != TPlotQuantity::Ozone && line.Quantity != TPlotQuantity::TviRain);
}

void TResultsPanelTest::readoutAtTheMouse() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
    ui::TResultsPanel& panel = Panel(form);
    // At a record the read-out gives that record's values.
    const TScenario& shown = *panel.ShownScenario();
    const TCalcResult& edge = shown.Results[static_cast<std::size_t>(shown.RowLeftResult)];
    const QString text = panel.ReadoutAt(edge.Dist);
    QVERIFY2(text.startsWith(QStringLiteral("x -75.0 ft")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("E %1 kV/m").arg(*edge.EMax, 0, 'f', 2)),
             qPrintable(text));
    QVERIFY(panel.ReadoutAt(10000).contains(QStringLiteral("E n/a kV/m")));
    QVERIFY2(text.contains(
                 QStringLiteral("E resultant %1 kV/m").arg(*edge.EResultant, 0, 'f', 2)),
             qPrintable(text));

    // The Fields tab draws the resultants when asked, and says so in the legend.
    panel.FieldMeasureBox().setCurrentIndex(1);
    QTRY_COMPARE(QString::fromStdString(panel.FieldPlot().Lines.at(0).Name),
                 QStringLiteral("Electric field resultant"));
    panel.FieldMeasureBox().setCurrentIndex(0);
    QTRY_COMPARE(QString::fromStdString(panel.FieldPlot().Lines.at(0).Name),
                 QStringLiteral("Electric field"));

    // The mouse over the plot shows it in the read-out line.
    ui::TPlotView& view = panel.FieldView();
    panel.Readout().clear();
    QTest::mouseMove(view.viewport(), view.viewport()->rect().center());
    QTRY_VERIFY(panel.Readout().text().startsWith(QStringLiteral("x")));
    // Shown with joiners that keep each unit on one line.
    QVERIFY(panel.Readout().text().remove(QChar(0x2060)).contains(QStringLiteral("kV/m")));
}

void TResultsPanelTest::theReadoutBreaksOnlyBetweenQuantities() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    emit panel.FieldView().CursorMoved(-12.5);
    const QString text = panel.Readout().text();
    QVERIFY(text.contains(QStringLiteral("dBuV")));
    // Where a line may start: the text's start and each quantity's.
    std::vector<int> starts{0};
    for (int at = text.indexOf(QStringLiteral("   ")); at >= 0;
         at = text.indexOf(QStringLiteral("   "), at + 3))
        starts.push_back(at + 3);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WordWrap);
    for (int width = 30; width <= 900; width += 3) {
        QTextLayout layout(text, panel.Readout().font());
        layout.setTextOption(wrap);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QVERIFY2(std::find(starts.begin(), starts.end(), line.textStart()) != starts.end(),
                     qPrintable(QStringLiteral("%1 px: a line starts at \"%2\"")
                                    .arg(width)
                                    .arg(text.mid(line.textStart(), 12))));
        }
        layout.endLayout();
    }
}

void TResultsPanelTest::exportsCsvEqualToTheComputationAndPictures() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("profile.csv"));
    QCOMPARE(panel.ExportCsvTo(csv), QString());
    std::unique_ptr<TScenario> copy = CloneScenario(form.Project().Scenarios[0]);
    QVERIFY(ComputeScenario(*copy));
    // The clone's titles differ; the CSV holds none of them.
    QCOMPARE(ReadWholeFile(csv.toStdString()), ProfileCsvText(*copy));

    for (const char* name : {"plot.png", "plot.svg", "plot.pdf"}) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        QCOMPARE(panel.ExportPictureTo(path), QString());
        QVERIFY(QFileInfo(path).size() > 1000);
    }
    QVERIFY(panel.ExportPictureTo(folder.filePath(QStringLiteral("plot.jpg")))
                .contains(QStringLiteral(".png, .svg or .pdf")));
    const QString pipe = folder.filePath(QStringLiteral("pipe.png"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    QVERIFY(panel.ExportPictureTo(pipe).contains(QStringLiteral("is not a regular file")));
    QVERIFY(panel.ExportCsvTo(pipe).contains(QStringLiteral("is not a regular file")));
}

void TResultsPanelTest::theDrawingExportsAndCopiesAtTheChosenLayout() {
    // The dialog's answers: a PNG's pixels (1200 x 750 unless changed), a PDF's paper.
    ui::TPictureLayoutDialog png(TPictureFormat::Png);
    QVERIFY(png.PaperBox() == nullptr);
    QCOMPARE(png.Layout().Size, QSize(1200, 750));
    png.WidthBox()->setValue(640);
    png.HeightBox()->setValue(20000); // above the largest side: held at 10000
    QCOMPARE(png.Layout().Size, QSize(640, 10000));
    QVERIFY(!png.Layout().Paper);
    ui::TPictureLayoutDialog pdf(TPictureFormat::Pdf);
    QVERIFY(pdf.WidthBox() == nullptr);
    pdf.PaperBox()->setCurrentIndex(pdf.PaperBox()->findText(QStringLiteral("A4 (landscape)")));
    QCOMPARE(pdf.Layout().Paper, std::optional<TPaper>(TPaper::A4));

    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    auto* exportButton = panel.findChild<QPushButton*>(QStringLiteral("btExportPicture"));
    auto* copyButton = panel.findChild<QPushButton*>(QStringLiteral("btCopy"));
    panel.Tabs().setCurrentIndex(3); // Maxima: nothing to draw
    QVERIFY(!exportButton->isEnabled() && !copyButton->isEnabled());
    QVERIFY(!panel.CopyPicture());
    panel.Tabs().setCurrentIndex(2); // Cross Section
    QVERIFY(exportButton->isEnabled() && copyButton->isEnabled());

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("drawing.png"));
    TPictureLayout layout;
    layout.Size = QSize(640, 400);
    QCOMPARE(panel.ExportPictureTo(path, layout), QString());
    const QImage image(path);
    QCOMPARE(image.size(), QSize(640, 400));
    // The drawing, not a plot: its conductors' red phase colour is there.
    bool red = false;
    for (int y = 0; y < image.height() && !red; ++y)
        for (int x = 0; x < image.width() && !red; ++x)
            red = image.pixelColor(x, y) == DrawingColourOf(TSymbolKind::PhaseA);
    QVERIFY(red);
    layout.Size = QSize(99, 400);
    QVERIFY(panel.ExportPictureTo(path, layout).contains(QStringLiteral("100")));
    const QString onPaper = folder.filePath(QStringLiteral("drawing.pdf"));
    layout.Paper = TPaper::Letter;
    QCOMPARE(panel.ExportPictureTo(onPaper, layout), QString());
    QFile file(onPaper);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Letter landscape: 11 x 8.5 in of 72 pt.
    QVERIFY(QString::fromLatin1(file.readAll())
                .contains(QRegularExpression(QStringLiteral(R"(/MediaBox \[0 0 792(\.0+)? 612(\.0+)?\])"))));

    QVERIFY(panel.CopyPicture());
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(1200, 750));
}

void TResultsPanelTest::aSectionThatFailsShowsItsReason() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    SelectCircuit(form);
    form.Grid().setCurrentCell(0, 0);
    f.Dialogs.OnEditConductor = [](TConductor& conductor) {
        // 5 mm above ground, within its own radius: the data check lets it
        // through, the computation cannot take it.
        conductor.Height = 0.005f;
        return true;
    };
    f.Main->Actions().mnCondEdit->trigger();
    QCOMPARE(form.UndoStack().count(), 1);
    QVERIFY2(panel.ErrorText().isVisibleTo(&panel), qPrintable(panel.ErrorText().text()));
    std::unique_ptr<TScenario> copy = CloneScenario(form.Project().Scenarios[0]);
    copy->TabTitle = form.Project().Scenarios[0].TabTitle; // the reason names it
    QVERIFY(!ComputeScenario(*copy));
    QCOMPARE(panel.ErrorText().text(), QString::fromStdString(copy->CalcError));
    QVERIFY(!panel.Tabs().isVisibleTo(&panel));
    QVERIFY(!panel.ExportCsvTo(QStringLiteral("/tmp/never.csv")).isEmpty());
    // The drawing stays under the reason, with the edited conductor marked.
    QVERIFY(panel.ErrorDrawing().isVisibleTo(&panel));
    QVERIFY(panel.ErrorDrawing().Scenario() != nullptr);
    QCOMPARE(panel.ErrorDrawing().Scenario()->Conductors.size(),
             form.Project().Scenarios[0].Conductors.size());
    QVERIFY(panel.ErrorDrawing().HighlightedConductor() != nullptr);
    QCOMPARE(panel.ErrorDrawing().HighlightedConductor()->Height, 0.005f);
    QVERIFY(!panel.Findings().isVisibleTo(&panel));

    f.Main->Actions().mnUndo->trigger();
    QVERIFY(!panel.ErrorText().isVisibleTo(&panel));
    QVERIFY(panel.Tabs().isVisibleTo(&panel));
}

void TResultsPanelTest::drawingAndMaximaFollowTheGrid() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    TScenario& live = form.Project().Scenarios[0];
    QVERIFY(panel.Drawing().Scenario() == panel.ShownScenario()); // the computed copy

    // The grid's conductor is the drawing's highlighted one (by its place).
    SelectCircuit(form);
    form.Grid().setCurrentCell(1, 0);
    const TConductor* highlighted = panel.Drawing().HighlightedConductor();
    QVERIFY(highlighted != nullptr);
    QCOMPARE(ConductorRefOf(*panel.ShownScenario(), highlighted),
             ConductorRefOf(live, form.RowConductor(1)));
    QCOMPARE(highlighted->Id, form.RowConductor(1)->Id);
    QVERIFY(highlighted != form.RowConductor(1));

    // A click on a conductor of the other circuit selects its row, showing
    // every conductor of the cross section.
    const TConductorRef second{1, 0};
    emit panel.Drawing().ConductorClicked(ConductorAt(*panel.ShownScenario(), second));
    QCOMPARE(form.RowConductor(form.CurrentRow()), ConductorAt(live, second));
    QVERIFY(form.SelectedCircuit() == nullptr);
    QCOMPARE(ConductorRefOf(*panel.ShownScenario(), panel.Drawing().HighlightedConductor()),
             second);

    // The maxima of the computed cross section against the preferences' limits.
    std::unique_ptr<TScenario> copy = CloneScenario(live);
    QVERIFY(ComputeScenario(*copy));
    const TMaximaSummary summary = MaximaSummaryOf(*copy, f.Prefs.Options().FieldLimits());
    QVERIFY(!summary.Rows.empty());
    QCOMPARE(panel.Maxima().rowCount(), static_cast<int>(summary.Rows.size()));
}

void TResultsPanelTest::aSectionTheDataCheckRefusesShowsItsFindings() {
    QFETCH(QSize, size);
    TMainFixture f;
    TForm& form = OpenAt(f, MakeProject(), size);
    ui::TResultsPanel& panel = Panel(form);
    QVERIFY(panel.HasFieldValues());
    SelectCircuit(form);
    form.Grid().setCurrentCell(0, 0); // 1A1
    f.Dialogs.OnEditConductor = [](TConductor& conductor) {
        conductor.Height = 0; // the computation would take it; the data check does not
        return true;
    };
    f.Main->Actions().mnCondEdit->trigger();
    QCOMPARE(form.UndoStack().count(), 1);

    // The findings instead of field values, nothing to export.
    QVERIFY(panel.Findings().isVisibleTo(&panel));
    QVERIFY(!panel.Tabs().isVisibleTo(&panel));
    QVERIFY(!panel.HasFieldValues());
    QVERIFY(panel.FieldPlot().Lines.empty());
    QCOMPARE(panel.Maxima().rowCount(), 0);
    QVERIFY(panel.ReadoutAt(0).isEmpty());
    QVERIFY(!panel.ExportCsvTo(QStringLiteral("/tmp/never.csv")).isEmpty());
    QTreeWidget& tree = panel.Findings();
    QCOMPARE(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* c1 = tree.topLevelItem(0)->child(0);
    QCOMPARE(c1->text(0), QStringLiteral("Circuit C1"));
    QVERIFY(c1->isExpanded());
    QTreeWidgetItem* finding = c1->child(0);
    QCOMPARE(finding->text(0), QStringLiteral("Conductor '1A1' has a 0 height"));

    // A double click on the finding selects its conductor in the grid.
    form.Grid().setCurrentCell(2, 0);
    QVERIFY(form.RowConductor(form.CurrentRow())->Id != "1A1");
    tree.scrollToItem(finding);
    const QPoint at = tree.visualItemRect(finding).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(form.RowConductor(form.CurrentRow())->Id, std::string("1A1"));
    QCOMPARE(panel.ErrorDrawing().HighlightedConductor()->Id, std::string("1A1"));

    f.Main->Actions().mnUndo->trigger();
    QVERIFY(!panel.Findings().isVisibleTo(&panel));
    QVERIFY(panel.HasFieldValues());
    QCOMPARE(ShownE(panel), ExpectedE(form));
}

void TResultsPanelTest::aSectionWithoutConductorsSaysSo() {
    std::unique_ptr<TEmfProject> project = TwoSectionProject();
    TScenario& bare = project->Scenarios[1];
    while (bare.Circuits.Count() > 0)
        bare.Circuits.Delete(0);
    TMainFixture f;
    TForm& form = OpenWide(f, std::move(project));
    ui::TResultsPanel& panel = Panel(form);
    panel.OverlayBox(1)->setChecked(true); // refused as an overlay too, and said so
    QVERIFY(panel.Readout().text().contains(QStringLiteral("Not overlaid: L6")));
    QCOMPARE(panel.FieldPlot().Lines.size(), std::size_t{2});

    form.Tabs().setCurrentIndex(1);
    QVERIFY(panel.Findings().isVisibleTo(&panel));
    QVERIFY(!panel.HasFieldValues());
    QCOMPARE(panel.Findings().topLevelItem(0)->child(0)->text(0), QStringLiteral("No Conductors."));
}

void TResultsPanelTest::thePanelGoesBelowTheGridWhenNarrow() {
    QFETCH(QSize, size);
    QFETCH(bool, below);
    TMainFixture f;
    TForm& form = OpenAt(f, MakeProject(), size);
    QAction& toggle = *f.Main->Actions().mnResultsPanel;
    QVERIFY(form.ResultsShown());
    QCOMPARE(form.ResultsBelowGrids(), below);
    QVERIFY(toggle.isChecked());
    ui::TResultsPanel& panel = Panel(form);
    QCOMPARE(ShownE(panel), ExpectedE(form));
    // Whole where it is: below, as wide as the grid; beside, right of it.
    const QRect grid = form.Grid().geometry().translated(form.Grid().mapTo(&form, QPoint()) -
                                                         form.Grid().pos());
    const QRect shown = panel.geometry().translated(panel.mapTo(&form, QPoint()) - panel.pos());
    QVERIFY(shown.height() > 100 && shown.width() > 300);
    if (below)
        QVERIFY(shown.top() > grid.bottom());
    else
        QVERIFY(shown.left() > grid.right());
    QCOMPARE(form.Grid().horizontalScrollBar()->maximum(), 0); // the grid's columns whole

    // The menu's tick is what the screen shows.
    toggle.trigger();
    QVERIFY(!form.ResultsShown());
    QVERIFY(!toggle.isChecked());
    toggle.trigger();
    QVERIFY(form.ResultsShown());
    QVERIFY(toggle.isChecked());
    QCOMPARE(form.ResultsBelowGrids(), below);
}

void TResultsPanelTest::thePanelStaysThroughTileCascadeAndMaximise() {
    TMainFixture f;
    f.Main->resize(1024, 768);
    f.Main->show();
    TForm& first = f.Open(MakeProject());
    TForm& second = f.Open(TwoSectionProject());
    QAction& toggle = *f.Main->Actions().mnResultsPanel;
    const auto check = [&](const char* step) {
        QApplication::processEvents();
        for (TForm* form : {&first, &second}) {
            QVERIFY2(form->ResultsShown(), step);
            QVERIFY2(Panel(*form).isVisible(), step);
            QVERIFY2(Panel(*form).HasFieldValues(), step);
        }
        QVERIFY2(toggle.isChecked(), step);
    };
    f.Main->Actions().mnTile->trigger();
    check("tile");
    QVERIFY(first.ResultsBelowGrids()); // half of 1024 px is too narrow beside
    f.Main->Actions().mnCascade->trigger();
    check("cascade");
    // Opened in a normal window, then the main window maximised (and wide).
    f.Main->resize(1700, 1000);
    first.parentWidget()->showMaximized();
    check("maximised");
    QVERIFY(!first.ResultsBelowGrids()); // back beside the grid
}

void TResultsPanelTest::visibilityAndSplitterKeptInThePreferences() {
    const std::string prefs = "; kept as written\n[General]\nEnterAsTab=1\n";
    TMainFixture f(prefs);
    TForm& form = OpenWide(f, MakeProject());
    QAction& toggle = *f.Main->Actions().mnResultsPanel;
    QCOMPARE(toggle.shortcut(), QKeySequence(Qt::Key_F9));
    QVERIFY(toggle.isChecked());

    toggle.trigger();
    QVERIFY(!form.ResultsShown());
    QVERIFY(!toggle.isChecked());
    QCOMPARE(f.Prefs.FileText(), prefs + "\n[Window]\nResultsPanel=0\n");
    // A hidden panel is not kept up to date; shown again, it is.
    RaiseC1(f, form);
    toggle.trigger();
    QVERIFY(form.ResultsShown());
    QCOMPARE(ShownE(Panel(form)), ExpectedE(form));

    form.ResultsSplitter().setSizes({1150, 430}); // the grids whole beside the panel
    const QList<int> sizes = form.ResultsSplitter().sizes();
    emit form.ResultsSplitter().splitterMoved(sizes[0], 1);
    const std::string text = f.Prefs.FileText();
    QVERIFY2(
        text.find(
            QStringLiteral("ResultsSplitter=%1,%2").arg(sizes[0]).arg(sizes[1]).toStdString()) !=
            std::string::npos,
        text.c_str());
    QCOMPARE(text.rfind(prefs, 0), std::size_t{0}); // the rest of the file as it was

    // The next window takes both from the file.
    TMainFixture next(text);
    TForm& reopened = OpenWide(next, MakeProject());
    QVERIFY(reopened.ResultsShown());
    // The same share of the width (the windows' widths may differ by the odd pixel).
    const QList<int> kept = reopened.ResultsSplitter().sizes();
    QCOMPARE(kept.size(), 2);
    QVERIFY2(std::abs(kept[0] - sizes[0]) <= 4 && std::abs(kept[1] - sizes[1]) <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(kept[0]).arg(kept[1])));
}

void TResultsPanelTest::splitterSizesFromTheFileAreClamped() {
    // Sizes no screen has, as a hand-edited file may hold them: what counts is
    // their ratio, equal halves here, or the grids as wide as the panel lets them.
    struct Case {
        const char* sizes;
        bool halves;
    };
    for (const Case& c : {Case{"2147483647,2147483647", true}, Case{"99999999999,99999999999", true},
                          Case{"2147483647,1", false}}) {
        TMainFixture f(std::string("[Window]\nResultsSplitter=") + c.sizes + "\n");
        TForm& form = OpenWide(f, MakeProject());
        QVERIFY(form.ResultsShown());
        const QList<int> kept = form.ResultsSplitter().sizes();
        QCOMPARE(kept.size(), 2);
        if (c.halves) // within 1 % (the grid's columns are kept whole)
            QVERIFY2(std::abs(kept[0] - kept[1]) * 100 <= kept[0] + kept[1],
                     qPrintable(QStringLiteral("%1: %2,%3").arg(c.sizes).arg(kept[0]).arg(kept[1])));
        else
            QVERIFY2(kept[0] > 2 * kept[1], qPrintable(QStringLiteral("%1,%2").arg(kept[0]).arg(kept[1])));
    }
}

// The Map tab's rows at the sensor heights are the profile: the left ROW edge
// is a grid line, so its value there is the edge record's; a height profile
// there passes through the same value; an edit maps the changed line.
void TResultsPanelTest::theMapTabShowsThePlaneAndHeightProfiles() {
    TMainFixture f;
    TForm& form = OpenWide(f, MakeProject());
    ui::TResultsPanel& panel = Panel(form);
    ui::TSectionMapView& view = panel.SectionMap();
    panel.Tabs().setCurrentWidget(&view);
    const auto edgeValues = [&] {
        const TScenario& shown = *panel.ShownScenario();
        const TSectionMap& map = view.Map();
        const auto column = std::find(map.X.begin(), map.X.end(), -shown.RowLeft) - map.X.begin();
        const auto row = std::find(map.Heights.begin(), map.Heights.end(), shown.EFieldHeight) -
                         map.Heights.begin();
        const TCalcResult& edge = shown.Results[static_cast<std::size_t>(shown.RowLeftResult)];
        return std::pair(map.At(map.E, std::size_t(column), std::size_t(row)), *edge.EMax);
    };
    QVERIFY(view.Error().isEmpty());
    const auto [mapped, profile] = edgeValues();
    QCOMPARE(mapped, profile);

    view.ProbeAt(-panel.ShownScenario()->RowLeft);
    const TSectionMap& height = view.HeightProfile();
    QCOMPARE(height.X.size(), std::size_t(1));
    const auto row = std::find(height.Heights.begin(), height.Heights.end(),
                               panel.ShownScenario()->EFieldHeight) - height.Heights.begin();
    QCOMPARE(height.E[std::size_t(row)], profile);
    QVERIFY(view.HeightChart().isVisible());

    RaiseC1(f, form);
    const auto [raisedMap, raisedProfile] = edgeValues();
    QCOMPARE(raisedMap, raisedProfile);
    QVERIFY(raisedProfile != profile);
}

QTEST_MAIN(TResultsPanelTest)
#include "ResultsPanelTest.moc"
