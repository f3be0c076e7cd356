// Undo and redo in the project window: every kind of change is one command
// named after what it changed; undoing gives back the project byte for byte
// and a view that shows it; the modified marker and the close question follow
// the file, not the result indices a report computes.
#include "MainWinTestSupport.h"

#include "model/Clone.h"
#include "model/ProjectFile.h"
#include "ui/app/TextConvert.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

#include <functional>
#include <map>

using namespace corvalt;
using namespace corvalt::test;
using TForm = ui::TScenariosForm;

namespace {

constexpr int kPoints = 0;       // tree node "InterestPoints"
constexpr int kFirstCircuit = 1; // tree node of circuit C1

void Select(TForm& form, int child, int row = 0) {
    form.Tree().setCurrentItem(form.Tree().topLevelItem(0)->child(child));
    form.Grid().setCurrentCell(row, 0);
}

// Two cross sections: "L5" of MakeProject (circuits C1 and C2, points Fence
// and House) and a copy of it, so that one may be deleted.
std::unique_ptr<TEmfProject> TwoSectionProject() {
    std::unique_ptr<TEmfProject> project = MakeProject();
    std::unique_ptr<TScenario> copy = CloneScenario(project->Scenarios[0]);
    copy->TabTitle = "L6";
    project->Scenarios.Add(std::move(copy));
    return project;
}

std::unique_ptr<TCircuit> CircuitC3(TScenario& scenario) {
    TNewCircuitValues values;
    values.Name = "C3";
    values.Phases = {{{true, 1, 0}, {true, 1, 120}, {false, 0, 0}}};
    return CreateNewCircuit(scenario, values);
}

bool RaiseConductors(TCircuit& circuit) {
    for (TConductor& conductor : circuit.Conductors)
        conductor.SetDisplayHeight(conductor.DisplayHeight() + 5);
    return true;
}

// One change as the user makes it: the selection, the dialogs' answers and
// the command. The main window's menus run the same steps as the popup.
struct TChange {
    std::function<void(TMainFixture&, TForm&)> Make;
};

const std::map<QString, TChange>& Changes() {
    static const std::map<QString, TChange> changes = {
        {"Edit Project", {[](TMainFixture& f, TForm&) {
             f.Dialogs.OnEditProject = [](TEmfProject& project) {
                 project.Title = "Renamed";
                 project.Units = Metric; // every length is shown anew
                 return true;
             };
             f.Main->Actions().mnPrjEdit->trigger();
         }}},
        {"Add Cross Section North", {[](TMainFixture& f, TForm&) {
             f.Dialogs.OnNewScenario = [](TEmfProject& project) {
                 auto scenario = std::make_unique<TScenario>(project);
                 scenario->TabTitle = "North";
                 return scenario;
             };
             f.Main->Actions().mnCsNew->trigger();
         }}},
        {"Edit Cross Section L5", {[](TMainFixture& f, TForm&) {
             f.Dialogs.OnEditScenario = [](TScenario& scenario) {
                 scenario.TabTitle = "L5 east";
                 scenario.SetDisplayRowRight(90);
                 return true;
             };
             f.Main->Actions().mnCsEdit->trigger();
         }}},
        {"Delete Cross Section L5", {[](TMainFixture& f, TForm&) {
             f.Prompts.Answers = {QMessageBox::Yes};
             f.Main->Actions().mnCsDelete->trigger();
         }}},
        {"Clone Cross Section L5",
         {[](TMainFixture& f, TForm&) { f.Main->Actions().mnCsClone->trigger(); }}},
        {"Add Circuit C3", {[](TMainFixture& f, TForm&) {
             f.Dialogs.OnNewCircuit = CircuitC3;
             f.Dialogs.OnEditCoordinates = RaiseConductors; // part of adding it
             f.Main->Actions().mnCircNew->trigger();
         }}},
        {"Edit Circuit C1", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit);
             f.Dialogs.OnEditCircuit = [](TCircuit& circuit) {
                 circuit.Name = "C1 north";
                 circuit.SubCondCount = 2;
                 return true;
             };
             f.Main->Actions().mnCircEdit->trigger();
         }}},
        {"Delete Circuit C1", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit);
             f.Prompts.Answers = {QMessageBox::Yes};
             f.Main->Actions().mnCircDelete->trigger();
         }}},
        {"Clone Circuit C1", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit);
             f.Main->Actions().mnCircClone->trigger();
         }}},
        {"Edit Coordinates of C1", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit);
             f.Dialogs.OnEditCoordinates = RaiseConductors;
             f.Main->Actions().mnCircCoords->trigger();
         }}},
        {"Add Conductor 1A2", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit);
             f.Dialogs.OnNewConductor = [](TCircuit& circuit) {
                 auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
                 conductor->Id = "1A2";
                 conductor->SetDisplayHeight(48);
                 return conductor;
             };
             f.Main->Actions().mnCondNew->trigger();
         }}},
        {"Edit Conductor 1B1", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit, 1);
             f.Dialogs.OnEditConductor = [](TConductor& conductor) {
                 conductor.SetDisplayHeight(61.5f);
                 conductor.PhaseAngle = 125;
                 return true;
             };
             f.Main->Actions().mnCondEdit->trigger();
         }}},
        {"Delete Conductor 1B1", {[](TMainFixture& f, TForm& form) {
             Select(form, kFirstCircuit, 1);
             f.Prompts.Answers = {QMessageBox::Yes};
             f.Main->Actions().mnCondDelete->trigger();
         }}},
        {"Add Point Of Interest Barn", {[](TMainFixture& f, TForm& form) {
             Select(form, kPoints);
             f.Dialogs.OnNewPoint = [](TScenario& scenario) {
                 auto point = std::make_unique<TInterestPoint>(scenario);
                 point->Name = "Barn";
                 point->SetDisplayDistFromRowLeft(30);
                 return point;
             };
             f.Main->Actions().mnPoiNew->trigger();
         }}},
        {"Edit Point Of Interest House", {[](TMainFixture& f, TForm& form) {
             Select(form, kPoints, 1);
             f.Dialogs.OnEditPoint = [](TInterestPoint& point) {
                 point.Name = "Farmhouse";
                 point.SetDisplayDistFromRowLeft(150);
                 return true;
             };
             f.Main->Actions().mnPoiEdit->trigger();
         }}},
        {"Delete Point Of Interest Fence", {[](TMainFixture& f, TForm& form) {
             Select(form, kPoints, 0);
             f.Prompts.Answers = {QMessageBox::Yes};
             f.Main->Actions().mnPoiDelete->trigger();
         }}},
    };
    return changes;
}

using Bytes = std::vector<std::uint8_t>;

Bytes Serialized(const TForm& form) {
    return SerializeProject(form.Project());
}

// The tabs, the tree and the grid show the project as it is now: nothing
// shown refers to an object the project no longer holds.
void VerifyViewShowsProject(TForm& form) {
    const TEmfProject& project = form.Project();
    QCOMPARE(form.Tabs().count(), project.Scenarios.Count());
    for (int i = 0; i < project.Scenarios.Count(); ++i)
        QCOMPARE(form.Tabs().tabText(i), ui::ToQString(project.Scenarios[i].DisplayName()));
    const TScenario* scenario = form.CurrentScenario();
    QVERIFY(scenario != nullptr);
    QCOMPARE(scenario, &project.Scenarios[form.Tabs().currentIndex()]);
    const QTreeWidgetItem* root = form.Tree().topLevelItem(0);
    QCOMPARE(root->childCount(), 1 + scenario->Circuits.Count());
    for (int i = 0; i < scenario->Circuits.Count(); ++i)
        QCOMPARE(root->child(1 + i)->text(0), ui::ToQString(scenario->Circuits[i].Name));
    for (int row = 0; row < form.Grid().rowCount(); ++row) {
        if (const TConductor* conductor = form.RowConductor(row)) {
            QVERIFY(std::find(scenario->Conductors.begin(), scenario->Conductors.end(),
                              conductor) != scenario->Conductors.end());
            QCOMPARE(form.Grid().item(row, 1)->text(), " " + ui::ToQString(conductor->Id));
        }
        if (const TInterestPoint* point = form.RowPoint(row))
            QVERIFY(scenario->InterestPoints.IndexOf(point) >= 0);
    }
}

} // namespace

class TUndoTest : public QObject {
    Q_OBJECT
  private slots:
    void editMenuFollowsTheProjectMenu();
    void everyChangeUndoesAndRedoesByteForByte_data();
    void everyChangeUndoesAndRedoesByteForByte();
    void newCrossSectionWithItsCircuitIsOneCommand();
    void confirmingWithoutAChangeRecordsNothing();
    void cancelledDialogsRecordNothing();
    void eachProjectWindowHasItsOwnHistory();
    void modifiedMarkerFollowsSaveUndoAndRedo();
    void reportResultIndicesAreNoChange();
    void siteParametersUndoAndRedoExactly();
};

void TUndoTest::editMenuFollowsTheProjectMenu() {
    TMainFixture f;
    QStringList titles;
    for (const QAction* menu : f.Main->menuBar()->actions())
        titles << menu->text();
    QCOMPARE(titles.mid(0, 3), (QStringList{"&Project", "&Edit", "&CrossSection"}));
    QCOMPARE(f.Main->Actions().mnUndo->shortcut(), QKeySequence(QKeySequence::Undo));
    QVERIFY(f.Main->Actions().mnRedo->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
    // Nothing to undo without a project window.
    QVERIFY(!f.Main->Actions().mnUndo->isEnabled());
    QVERIFY(!f.Main->Actions().mnRedo->isEnabled());
}

void TUndoTest::everyChangeUndoesAndRedoesByteForByte_data() {
    QTest::addColumn<QString>("change");
    for (const auto& [text, change] : Changes())
        QTest::newRow(qPrintable(text)) << text;
}

void TUndoTest::everyChangeUndoesAndRedoesByteForByte() {
    QFETCH(QString, change);
    TMainFixture f;
    TForm& form = f.Open(TwoSectionProject());
    const QAction& undo = *f.Main->Actions().mnUndo;
    const QAction& redo = *f.Main->Actions().mnRedo;

    // The selection is part of the change; the state before it is what the
    // command starts from.
    const Bytes before = Serialized(form);
    Changes().at(change).Make(f, form);
    const Bytes after = Serialized(form);
    QVERIFY(after != before);
    QCOMPARE(form.UndoStack().count(), 1);
    QCOMPARE(undo.text(), "&Undo " + change);
    QVERIFY(undo.isEnabled());
    QVERIFY(!redo.isEnabled());

    const ui::TViewPlace placeAfter = form.CurrentPlace();
    f.Main->Actions().mnUndo->trigger();
    QCOMPARE(Serialized(form), before);
    VerifyViewShowsProject(form);
    QCOMPARE(redo.text(), "&Redo " + change);
    QVERIFY(!undo.isEnabled());

    f.Main->Actions().mnRedo->trigger();
    QCOMPARE(Serialized(form), after);
    VerifyViewShowsProject(form);
    QCOMPARE(form.CurrentPlace(), placeAfter); // where the change left the view

    f.Main->Actions().mnUndo->trigger();
    QCOMPARE(Serialized(form), before);
}

void TUndoTest::newCrossSectionWithItsCircuitIsOneCommand() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const Bytes before = Serialized(form);
    f.Dialogs.OnNewScenario = [](TEmfProject& project) {
        auto scenario = std::make_unique<TScenario>(project);
        scenario->TabTitle = "North";
        return scenario;
    };
    f.Dialogs.OnNewCircuit = CircuitC3;
    f.Dialogs.OnEditCoordinates = RaiseConductors;
    form.NewScenario(true); // the popup's New CrossSection goes on to a circuit
    QCOMPARE(f.Dialogs.Calls, (QStringList{"NewScenario", "NewCircuit", "EditCoordinates"}));
    QCOMPARE(form.UndoStack().count(), 1);
    QCOMPARE(form.UndoStack().undoText(), QStringLiteral("Add Cross Section North"));
    form.UndoStack().undo();
    QCOMPARE(Serialized(form), before);
    QCOMPARE(form.Tabs().count(), 1);
}

void TUndoTest::confirmingWithoutAChangeRecordsNothing() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    Select(form, kFirstCircuit);
    f.Dialogs.OnEditCircuit = [](TCircuit&) { return true; }; // OK, nothing changed
    f.Dialogs.OnEditConductor = [](TConductor&) { return true; };
    f.Main->Actions().mnCircEdit->trigger();
    f.Main->Actions().mnCondEdit->trigger();
    QCOMPARE(f.Dialogs.Calls, (QStringList{"EditCircuit", "EditConductor"}));
    QCOMPARE(form.UndoStack().count(), 0);
}

void TUndoTest::cancelledDialogsRecordNothing() {
    TMainFixture f;
    TForm& form = f.Open(TwoSectionProject());
    Select(form, kFirstCircuit);
    // Every dialog answers Cancel, every question No.
    f.Prompts.Answers = {QMessageBox::No, QMessageBox::No, QMessageBox::No};
    for (QAction* action :
         {f.Main->Actions().mnPrjEdit, f.Main->Actions().mnCsEdit, f.Main->Actions().mnCsDelete,
          f.Main->Actions().mnCircNew, f.Main->Actions().mnCircEdit, f.Main->Actions().mnCircDelete,
          f.Main->Actions().mnCondNew, f.Main->Actions().mnCondEdit,
          f.Main->Actions().mnCondDelete})
        action->trigger();
    QCOMPARE(f.Dialogs.Calls.size(), 6);
    QCOMPARE(f.Prompts.Messages.size(), 3u);
    QCOMPARE(form.UndoStack().count(), 0);
    QVERIFY(!f.Main->Actions().mnUndo->isEnabled());
}

void TUndoTest::eachProjectWindowHasItsOwnHistory() {
    TMainFixture f;
    TForm& first = f.Open(MakeProject());
    f.Main->Actions().mnCsClone->trigger();
    TForm& second = f.Open(MakeProject());
    // The second window is active: its history is empty.
    QVERIFY(!f.Main->Actions().mnUndo->isEnabled());
    f.Main->MdiArea().setActiveSubWindow(f.Main->MdiArea().subWindowList().front());
    QCOMPARE(f.Main->Actions().mnUndo->text(), QStringLiteral("&Undo Clone Cross Section L5"));
    f.Main->Actions().mnUndo->trigger();
    QCOMPARE(first.Project().Scenarios.Count(), 1);
    QCOMPARE(second.Project().Scenarios.Count(), 1);
    // A report window has no history of its own.
    QVERIFY(f.Main->OpenReportWindow(second.Project(), second.CurrentScenario(),
                                     TReportKind::EmfDetails) != nullptr);
    QVERIFY(!f.Main->Actions().mnRedo->isEnabled());
}

void TUndoTest::modifiedMarkerFollowsSaveUndoAndRedo() {
    TMainFixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath("line.emf");
    QVERIFY(QFile::copy(SampleProjectPath(), path));
    QVERIFY(f.Main->OpenProjectFile(path));
    TForm& form = *f.Main->ActiveProjectWindow();
    QMdiSubWindow& frame = *f.Main->MdiArea().currentSubWindow();
    QVERIFY(!form.isWindowModified());
    QVERIFY(form.windowTitle().endsWith("[*]")); // where the marker shows

    f.Main->Actions().mnCsClone->trigger();
    QVERIFY(form.isWindowModified());
    QVERIFY(frame.isWindowModified());
    f.Main->Actions().mnUndo->trigger();
    QVERIFY(!form.isWindowModified()); // back where the file is
    f.Main->Actions().mnRedo->trigger();
    QVERIFY(form.isWindowModified());

    f.Main->Actions().mnSave->trigger();
    QVERIFY(!form.isWindowModified());
    QVERIFY(form.UndoStack().isClean());
    f.Main->Actions().mnUndo->trigger(); // now the file holds the clone
    QVERIFY(form.isWindowModified());
    f.Main->Actions().mnRedo->trigger();
    QVERIFY(!form.isWindowModified());

    // A never saved project always counts as changed.
    TForm& fresh = f.Open(MakeProject());
    QVERIFY(fresh.isWindowModified());
}

void TUndoTest::reportResultIndicesAreNoChange() {
    TMainFixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath("line.emf");
    QVERIFY(QFile::copy(SampleProjectPath(), path));
    QVERIFY(f.Main->OpenProjectFile(path));
    TForm& form = *f.Main->ActiveProjectWindow();
    TInterestPoint& point = form.Project().Scenarios[0].InterestPoints[0];
    const std::int32_t computed = point.ResultIndex + 7;
    f.Reports.OnCompute = [&](TEmfProject&) { point.ResultIndex = computed; };

    f.Main->Actions().mnEmfDetails->trigger();
    QVERIFY(f.Main->ActiveReportWindow() != nullptr);
    QVERIFY(!form.IsModified());
    QVERIFY(!form.isWindowModified());
    // Closing asks nothing, and saving stores the indices computed.
    f.Main->MdiArea().setActiveSubWindow(f.Main->MdiArea().subWindowList().front());
    f.Main->Actions().mnSave->trigger();
    TEmfProject saved;
    QVERIFY(saved.Load(ui::ToBytes(path)).Ok);
    QCOMPARE(saved.Scenarios[0].InterestPoints[0].ResultIndex, computed);
    QVERIFY(f.Main->MdiArea().subWindowList().front()->close());
    QVERIFY(f.Prompts.Messages.empty());

    // A project changed before the report stays changed.
    QVERIFY(f.Main->OpenProjectFile(path));
    TForm& changed = *f.Main->ActiveProjectWindow();
    f.Main->Actions().mnCsClone->trigger();
    f.Reports.OnCompute = [](TEmfProject& project) {
        project.Scenarios[0].InterestPoints[0].ResultIndex += 1;
    };
    changed.RunReport(TReportKind::EmfDetails);
    QVERIFY(changed.IsModified());
    QVERIFY(changed.isWindowModified());
}

// The site parameters are part of the project's snapshot: undo takes an English
// project back to the file layout without them, and every value comes back as
// the float it was, not as it would after a round through feet.
void TUndoTest::siteParametersUndoAndRedoExactly() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject()); // English
    const Bytes unset = Serialized(form);
    f.Dialogs.OnEditScenario = [](TScenario& scenario) {
        scenario.MicrophoneHeight = 1.37f;
        scenario.Altitude = 1234.56f;
        scenario.RadioFrequency = 0.53f;
        return true;
    };
    f.Main->Actions().mnCsEdit->trigger();
    const Bytes set = Serialized(form);
    QCOMPARE(std::string(set.begin() + 4, set.begin() + 8), std::string("1.03"));
    f.Dialogs.OnEditScenario = [](TScenario& scenario) {
        scenario.Altitude = 600;
        return true;
    };
    f.Main->Actions().mnCsEdit->trigger();
    QCOMPARE(form.UndoStack().count(), 2);

    form.UndoStack().undo();
    const TScenario* scenario = form.CurrentScenario();
    QCOMPARE(scenario->Altitude, 1234.56f);
    QCOMPARE(scenario->MicrophoneHeight, 1.37f);
    QCOMPARE(Serialized(form), set);
    form.UndoStack().undo();
    QVERIFY(!form.CurrentScenario()->HasSiteParameters());
    QCOMPARE(Serialized(form), unset);
    form.UndoStack().redo();
    QCOMPARE(form.CurrentScenario()->RadioFrequency, 0.53f);
    QCOMPARE(Serialized(form), set);
}

QTEST_MAIN(TUndoTest)
#include "UndoTest.moc"
