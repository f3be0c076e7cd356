// The project window: tabs, tree and grid, the popup's visible sets, every
// command's step on the model and on the view, the mouse and key rules, and the
// close question.
#include "MainWinTestSupport.h"

#include "model/Messages.h"
#include "tests/model/GermanLocale.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <map>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::test;
using TForm = ui::TScenariosForm;

namespace {

QStringList NodeTexts(const QTreeWidget& tree) {
    QStringList texts;
    const QTreeWidgetItem* root = tree.topLevelItem(0);
    if (root == nullptr) return texts;
    texts << root->text(0);
    for (int i = 0; i < root->childCount(); ++i)
        texts << root->child(i)->text(0);
    return texts;
}

QStringList Column(const QTableWidget& grid, int column) {
    QStringList cells;
    for (int row = 0; row < grid.rowCount(); ++row)
        cells << (grid.item(row, column) != nullptr ? grid.item(row, column)->text() : QString());
    return cells;
}

QStringList Headings(const QTableWidget& grid) {
    QStringList headings;
    for (int column = 0; column < grid.columnCount(); ++column)
        headings << grid.horizontalHeaderItem(column)->text();
    return headings;
}

QStringList VisiblePopupTexts(TForm& form) {
    QStringList texts;
    for (const QAction* action : form.Popup().actions())
        if (action->isVisible()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

QTreeWidgetItem* Node(TForm& form, int child) {
    QTreeWidgetItem* root = form.Tree().topLevelItem(0);
    return child < 0 ? root : root->child(child);
}

void Select(TForm& form, int child) {
    form.Tree().setCurrentItem(Node(form, child));
}

constexpr int kRoot = -1;
constexpr int kPoints = 0;
constexpr int kFirstCircuit = 1;

std::unique_ptr<TScenario> NamedScenario(TEmfProject& project, const char* tab, int type) {
    auto scenario = std::make_unique<TScenario>(project);
    scenario->TabTitle = tab;
    scenario->Title = tab;
    scenario->SectionType = static_cast<std::uint8_t>(type);
    return scenario;
}

std::vector<std::string> ConductorIds(const TCircuit& circuit) {
    std::vector<std::string> ids;
    for (const TConductor& conductor : circuit.Conductors)
        ids.push_back(conductor.Id);
    return ids;
}

} // namespace

class TScenariosFormTest : public QObject {
    Q_OBJECT
  public:
    bool german = false;

  private slots:
    void showsTabsTreeAndAllConductors();
    void treeCannotBeCollapsed();
    void tabChangeSelectsTheRootAndListsItsConductors();
    void gridHeadingsFollowTheUnits_data();
    void gridHeadingsFollowTheUnits();
    void gridShowsFormattedValues();
    void pointGridAndEmptyGrid();
    void popupVisibleSets_data();
    void popupVisibleSets();
    void popupOnTabStripShowsOnlyGroupZero();
    void deleteRefusesTheLastCrossSection();
    void deleteCrossSectionAsksAndSelectsTheFirstTab_data();
    void deleteCrossSectionAsksAndSelectsTheFirstTab();
    void cloneCrossSection();
    void cloneCircuitRenumbers_data();
    void cloneCircuitRenumbers();
    void newCrossSectionFromPopupStartsACircuit();
    void newCircuitThenCoordinates();
    void editCommandsRewriteWhatTheyShow();
    void deleteCircuitConductorAndPoint();
    void newConductorAndPointAppendRows();
    void commandsStopAtTheLimitsOfACrossSection_data();
    void commandsStopAtTheLimitsOfACrossSection();
    void doubleClickEditsTheRowShownEvenAfterAdding();
    void enterAndTreeDoubleClickEdit();
    void editProjectKeepsTheFileNameInTheCaption();
    void closeQuestion_data();
    void closeQuestion();
    void failedSaveOnCloseKeepsAskingUntilSaved();
    void unchangedProjectClosesWithoutAsking();
};

void TScenariosFormTest::showsTabsTreeAndAllConductors() {
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios.Add(NamedScenario(*project, "North", 1));
    TForm& form = f.Open(std::move(project));
    QCOMPARE(form.Caption(), QStringLiteral("Line Project--"));
    QCOMPARE(form.Tabs().count(), 2);
    QCOMPARE(form.Tabs().tabText(0), QStringLiteral("L5 (T)"));
    QCOMPARE(form.Tabs().tabText(1), QStringLiteral("North (S)"));
    QCOMPARE(NodeTexts(form.Tree()), (QStringList{"CrossSection ", "InterestPoints", "C1", "C2"}));
    QCOMPARE(form.Tree().currentItem(), Node(form, kRoot));
    QCOMPARE(Column(form.Grid(), 1),
             (QStringList{" 1A1", " 1B1", " 1C1", " 1G1", " 2A1", " 2B1", " 2C1", " 2G1"}));
    QCOMPARE(Column(form.Grid(), 0)[4], QStringLiteral(" C2"));
    QCOMPARE(form.findChild<QLabel*>("lbHint")->text(),
             QStringLiteral("Select the Circuit from the list on the left to modify it or its "
                            "conductors."));
}

void TScenariosFormTest::treeCannotBeCollapsed() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    QVERIFY(Node(form, kRoot)->isExpanded());
    form.Tree().collapseItem(Node(form, kRoot));
    QVERIFY(Node(form, kRoot)->isExpanded());
    QVERIFY(!form.Tree().itemsExpandable());
}

void TScenariosFormTest::tabChangeSelectsTheRootAndListsItsConductors() {
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios.Add(NamedScenario(*project, "Second", 0));
    AddCircuit(project->Scenarios[1], "S1", 0);
    TForm& form = f.Open(std::move(project));
    Select(form, kFirstCircuit);
    form.Tabs().setCurrentIndex(1);
    QCOMPARE(form.Tree().currentItem(), Node(form, kRoot));
    QCOMPARE(NodeTexts(form.Tree()), (QStringList{"CrossSection ", "InterestPoints", "S1"}));
    QCOMPARE(Column(form.Grid(), 1), (QStringList{" 1A1", " 1B1", " 1C1"}));
    form.Tabs().setCurrentIndex(0);
    QCOMPARE(form.Grid().rowCount(), 8);
}

void TScenariosFormTest::gridHeadingsFollowTheUnits_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<QStringList>("headings");
    QTest::newRow("English") << int(English)
                             << QStringList{"\nCircuit",
                                            "\nLabel",
                                            "Dist From Circuit\n( ft )",
                                            "Hgt From\nGround\n( ft )",
                                            "SubCond\n/ Bundle",
                                            "SubCond Diameter\n( in )",
                                            "Bundle Spacing\n( in )",
                                            "Maximum\nVoltage\n( kV )",
                                            "Phase\nAngle\n( Deg )",
                                            "\nMCR\n( Amps )",
                                            "\nx\n( ft )"};
    QTest::newRow("Metric") << int(Metric)
                            << QStringList{"\nCircuit",
                                           "\nLabel",
                                           "Dist From Circuit\n( m )",
                                           "Hgt From\nGround\n( m )",
                                           "SubCond\n/ Bundle",
                                           "SubCond Diameter\n( mm )",
                                           "Bundle Spacing\n( cm )",
                                           "Maximum\nVoltage\n( kV )",
                                           "Phase\nAngle\n( Deg )",
                                           "\nMCR\n( Amps )",
                                           "\nx\n( m )"};
}

void TScenariosFormTest::gridHeadingsFollowTheUnits() {
    QFETCH(int, units);
    QFETCH(QStringList, headings);
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Units = static_cast<std::uint8_t>(units);
    TForm& form = f.Open(std::move(project));
    QCOMPARE(Headings(form.Grid()), headings);
    Select(form, kPoints);
    const QString len = units == English ? "ft" : "m";
    QCOMPARE(Headings(form.Grid()),
             (QStringList{"\nInterestPoint Name", "Distance From Left Row\n( " + len + " )"}));
}

void TScenariosFormTest::gridShowsFormattedValues() {
    if (german) { // the locale is really in effect
        char shown[16];
        std::snprintf(shown, sizeof shown, "%.1f", 1.5);
        QCOMPARE(shown, "1,5");
    }
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    TConductor& conductor = project->Scenarios[0].Circuits[0].Conductors[1];
    conductor.SetDisplayHorizDistance(-12.34f);
    conductor.SetDisplayHeight(45.06f);
    conductor.SubCondCount = 2;
    conductor.SetDisplayDiameter(1.1084f);
    conductor.SetDisplaySubSpacing(18);
    conductor.MaxVoltage = 241.6f;
    conductor.PhaseAngle = 120;
    conductor.SetDisplayMcr(907);
    // A DC pole stored at −500 kV × √3 shows its −500 kV to ground.
    TConductor& pole = project->Scenarios[0].Circuits[0].Conductors[0];
    pole.AcFlag = 0;
    pole.MaxVoltage = -866.0254f;
    TForm& form = f.Open(std::move(project));
    QCOMPARE(form.Grid().item(0, 7)->text().trimmed(), QString("-500"));
    QStringList row;
    for (int column = 0; column < 10; ++column)
        row << form.Grid().item(1, column)->text();
    QCOMPARE(row, (QStringList{" C1", " 1B1", "   -12.3", "    45.1", " 2", "   1.108", "    18.0",
                               "     242", "     120", "     907"}));
    const QList<Qt::Alignment> align = {
        Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight, Qt::AlignHCenter,
        Qt::AlignRight,   Qt::AlignRight,   Qt::AlignRight, Qt::AlignRight, Qt::AlignRight};
    for (int column = 0; column < 10; ++column)
        QCOMPARE(Qt::Alignment::fromInt(form.Grid().item(1, column)->textAlignment()) &
                     Qt::AlignHorizontal_Mask,
                 align[column]);
    QCOMPARE(form.Grid().horizontalHeader()->height(),
             3 * form.Grid().horizontalHeader()->fontMetrics().lineSpacing() + 10);
}

void TScenariosFormTest::pointGridAndEmptyGrid() {
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios[0].InterestPoints[0].Name = "   ";
    TForm& form = f.Open(std::move(project));
    Select(form, kPoints);
    QCOMPARE(form.GridMode(), TForm::TGridMode::InterestPoints);
    QCOMPARE(Column(form.Grid(), 0), (QStringList{"  ", " House"}));
    QCOMPARE(Column(form.Grid(), 1), (QStringList{"    10.0", "   140.0"}));
    QCOMPARE(Qt::Alignment::fromInt(form.Grid().item(0, 0)->textAlignment()) &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignLeft);

    // A cross section without circuits: one blank row carrying nothing.
    form.Project().Scenarios.Add(NamedScenario(form.Project(), "Empty", 0));
    form.Tabs().addTab("Empty (T)");
    form.Tabs().setCurrentIndex(1);
    QCOMPARE(form.Grid().rowCount(), 1);
    QCOMPARE(form.RowConductor(0), nullptr);
    Select(form, kPoints);
    QCOMPARE(form.Grid().rowCount(), 1);
    QCOMPARE(form.RowPoint(0), nullptr);
}

void TScenariosFormTest::popupVisibleSets_data() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("node");
    QTest::addColumn<bool>("empty"); // the circuit or the points list is empty
    QTest::addColumn<unsigned>("groups");
    using G = TForm::TPopupGroup;
    const int tabs = int(TForm::TPopupOrigin::Tabs);
    const int tree = int(TForm::TPopupOrigin::Tree);
    const int grid = int(TForm::TPopupOrigin::Grid);
    QTest::newRow("tabs, circuit") << tabs << kFirstCircuit << false << unsigned(G::kProjectGroup);
    QTest::newRow("tree, root") << tree << kRoot << false << unsigned(G::kProjectGroup);
    QTest::newRow("tree, circuit")
        << tree << kFirstCircuit << false << unsigned(G::kProjectGroup | G::kCircuitGroup);
    QTest::newRow("tree, points") << tree << kPoints << false
                                  << unsigned(G::kProjectGroup | G::kNewPointGroup);
    QTest::newRow("grid, root") << grid << kRoot << false << unsigned(G::kProjectGroup);
    QTest::newRow("grid, circuit") << grid << kFirstCircuit << false
                                   << unsigned(G::kProjectGroup | G::kCircuitGroup |
                                               G::kNewConductorGroup | G::kConductorGroup);
    QTest::newRow("grid, empty circuit")
        << grid << kFirstCircuit << true
        << unsigned(G::kProjectGroup | G::kCircuitGroup | G::kNewConductorGroup);
    QTest::newRow("grid, points") << grid << kPoints << false
                                  << unsigned(G::kProjectGroup | G::kNewPointGroup |
                                              G::kPointGroup);
    QTest::newRow("grid, no points")
        << grid << kPoints << true << unsigned(G::kProjectGroup | G::kNewPointGroup);
}

void TScenariosFormTest::popupVisibleSets() {
    QFETCH(int, origin);
    QFETCH(int, node);
    QFETCH(bool, empty);
    QFETCH(unsigned, groups);
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    if (empty) {
        TScenario& scenario = project->Scenarios[0];
        scenario.InterestPoints.Clear();
        TCircuit& circuit = scenario.Circuits[0];
        while (!circuit.Conductors.Empty())
            scenario.RemoveConductor(circuit.Conductors[0]);
    }
    TForm& form = f.Open(std::move(project));
    Select(form, node);
    QCOMPARE(form.VisibleGroups(static_cast<TForm::TPopupOrigin>(origin)), groups);
}

void TScenariosFormTest::popupOnTabStripShowsOnlyGroupZero() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    Select(form, kFirstCircuit);
    form.PreparePopup(TForm::TPopupOrigin::Tabs);
    QCOMPARE(VisiblePopupTexts(form),
             (QStringList{"Edit Project...", "-", "New CrossSection...", "Edit CrossSection...",
                          "Delete CrossSection", "Clone CrossSection", "-", "New Circuit...", "-",
                          "Florida Compliance Report", "TLSA Exemption Report",
                          "EMF Details Report", "-", "BPA File"}));
    form.PreparePopup(TForm::TPopupOrigin::Grid);
    QCOMPARE(VisiblePopupTexts(form).mid(8, 11),
             (QStringList{"Edit Circuit...", "Delete Circuit ", "Clone Circuit", "Coordinates...",
                          "Mirror Circuit", "-", "New Conductor...", "Edit Conductor...",
                          "Delete Conductor...", "Copy\tCtrl+C", "Paste\tCtrl+V"}));
}

void TScenariosFormTest::deleteRefusesTheLastCrossSection() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    f.Main->Actions().mnCsDelete->trigger();
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{"You cannot delete the last CrossSection!"});
    QCOMPARE(f.Prompts.Messages[0].Icon, QMessageBox::Warning);
    QCOMPARE(form.Project().Scenarios.Count(), 1);
    QCOMPARE(form.Tabs().count(), 1);
}

void TScenariosFormTest::deleteCrossSectionAsksAndSelectsTheFirstTab_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TScenariosFormTest::deleteCrossSectionAsksAndSelectsTheFirstTab() {
    QFETCH(bool, yes);
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios.Add(NamedScenario(*project, "B", 0));
    project->Scenarios.Add(NamedScenario(*project, "C", 1));
    TForm& form = f.Open(std::move(project));
    form.Tabs().setCurrentIndex(1);
    f.Prompts.Answers = {yes ? QMessageBox::Yes : QMessageBox::No};
    form.DeleteScenario();
    QCOMPARE(f.Prompts.MessageTexts(),
             QStringList{"Do you really want to delete the current CrossSection?"});
    QStringList tabs;
    for (int i = 0; i < form.Tabs().count(); ++i)
        tabs << form.Tabs().tabText(i);
    if (yes) {
        QCOMPARE(tabs, (QStringList{"L5 (T)", "C (S)"}));
        QCOMPARE(form.Project().Scenarios[1].TabTitle, std::string("C"));
        QCOMPARE(form.Tabs().currentIndex(), 0);
        QCOMPARE(form.Grid().rowCount(), 8); // the first tab is shown
    } else {
        QCOMPARE(tabs, (QStringList{"L5 (T)", "B (T)", "C (S)"}));
        QCOMPARE(form.Tabs().currentIndex(), 1);
    }
}

void TScenariosFormTest::cloneCrossSection() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    f.Main->Actions().mnCsClone->trigger();
    QCOMPARE(form.Project().Scenarios.Count(), 2);
    QCOMPARE(form.Tabs().count(), 2);
    QCOMPARE(form.Tabs().currentIndex(), 1);
    QCOMPARE(form.Tabs().tabText(1), QStringLiteral("(Clone) (T)"));
    const TScenario& copy = form.Project().Scenarios[1];
    QCOMPARE(copy.Title, std::string("Line 5 (Clone)"));
    QCOMPARE(copy.Circuits.Count(), 2);
    QCOMPARE(copy.ConductorCount(), 8);
    QCOMPARE(copy.InterestPoints.Count(), 2);
    QCOMPARE(NodeTexts(form.Tree()), (QStringList{"CrossSection ", "InterestPoints", "C1", "C2"}));
    QCOMPARE(form.RowConductor(0), &copy.Circuits[0].Conductors[0]);
}

void TScenariosFormTest::cloneCircuitRenumbers_data() {
    QTest::addColumn<int>("secondNumber");
    QTest::addColumn<int>("cloneNumber");
    QTest::newRow("1 and 2 give 3") << 2 << 3;
    QTest::newRow("1 and 3 give 2") << 3 << 2;
}

void TScenariosFormTest::cloneCircuitRenumbers() {
    QFETCH(int, secondNumber);
    QFETCH(int, cloneNumber);
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios[0].Circuits[1].Number = static_cast<std::uint8_t>(secondNumber);
    TForm& form = f.Open(std::move(project));
    Select(form, kFirstCircuit);
    f.Main->Actions().mnCircClone->trigger();
    TScenario& scenario = form.Project().Scenarios[0];
    QCOMPARE(scenario.Circuits.Count(), 3);
    const TCircuit& copy = scenario.Circuits[2];
    QCOMPARE(copy.Number, cloneNumber);
    QCOMPARE(copy.Name, std::string("(Clone)"));
    const std::string n = std::to_string(cloneNumber);
    QCOMPARE(ConductorIds(copy),
             (std::vector<std::string>{n + "A1", n + "B1", n + "C1", n + "G1"}));
    QCOMPARE(scenario.ConductorCount(), 12);
    QCOMPARE(copy.DistFromRowLeft, scenario.Circuits[0].DistFromRowLeft);
    QCOMPARE(form.Tree().currentItem()->text(0), QStringLiteral("(Clone)"));
    QCOMPARE(form.SelectedCircuit(), &copy);
    QCOMPARE(Column(form.Grid(), 1).front(), " " + QString::fromStdString(n) + "A1");
    QVERIFY(!f.Dialogs.Calls.contains("EditCoordinates"));
}

void TScenariosFormTest::newCrossSectionFromPopupStartsACircuit() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    f.Dialogs.OnNewScenario = [](TEmfProject& project) { return NamedScenario(project, "New", 1); };
    // The main menu's New only adds the cross section.
    f.Main->Actions().mnCsNew->trigger();
    QCOMPARE(f.Dialogs.Calls, QStringList{"NewScenario"});
    QCOMPARE(form.Tabs().currentIndex(), 1);
    QCOMPARE(form.Tabs().tabText(1), QStringLiteral("New (S)"));
    QCOMPARE(NodeTexts(form.Tree()), (QStringList{"CrossSection ", "InterestPoints"}));
    // The popup's goes on to a new circuit (cancelled here).
    form.NewScenario(true);
    QCOMPARE(f.Dialogs.Calls, (QStringList{"NewScenario", "NewScenario", "NewCircuit"}));
    QCOMPARE(form.Project().Scenarios.Count(), 3);
}

void TScenariosFormTest::newCircuitThenCoordinates() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const TCircuit* coordinatesOf = nullptr;
    f.Dialogs.OnNewCircuit = [](TScenario& scenario) {
        TNewCircuitValues values;
        values.Name = "C3";
        values.Phases = {{{true, 2, 0}, {false, 0, 0}, {false, 0, 0}}};
        return CreateNewCircuit(scenario, values);
    };
    f.Dialogs.OnEditCoordinates = [&](TCircuit& circuit) {
        coordinatesOf = &circuit;
        circuit.Conductors[0].SetDisplayHeight(55);
        return true;
    };
    f.Main->Actions().mnCircNew->trigger();
    QCOMPARE(f.Dialogs.Calls, (QStringList{"NewCircuit", "EditCoordinates"}));
    const TScenario& scenario = form.Project().Scenarios[0];
    QCOMPARE(scenario.Circuits.Count(), 3);
    QCOMPARE(coordinatesOf, &scenario.Circuits[2]);
    QCOMPARE(form.SelectedCircuit(), &scenario.Circuits[2]);
    QCOMPARE(NodeTexts(form.Tree()).last(), QStringLiteral("C3"));
    QCOMPARE(Column(form.Grid(), 1), (QStringList{" 3A1", " 3A2"}));
    QCOMPARE(Column(form.Grid(), 3).front(), QStringLiteral("    55.0"));
}

void TScenariosFormTest::editCommandsRewriteWhatTheyShow() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    f.Dialogs.OnEditScenario = [](TScenario& scenario) {
        scenario.TabTitle = "Renamed";
        scenario.SectionType = Substation;
        return true;
    };
    f.Main->Actions().mnCsEdit->trigger();
    QCOMPARE(form.Tabs().tabText(0), QStringLiteral("Renamed (S)"));

    Select(form, kFirstCircuit);
    f.Dialogs.OnEditCircuit = [](TCircuit& circuit) {
        circuit.Name = "North";
        circuit.SubCondCount = 3; // pushed down by ApplyToConductors
        return true;
    };
    f.Main->Actions().mnCircEdit->trigger();
    QCOMPARE(Node(form, kFirstCircuit)->text(0), QStringLiteral("North"));
    QCOMPARE(Column(form.Grid(), 4), (QStringList{" 3", " 3", " 3", " 1"}));
    QCOMPARE(Column(form.Grid(), 0).front(), QStringLiteral(" North"));

    // Cancel changes nothing on screen.
    f.Dialogs.OnEditCircuit = [](TCircuit& circuit) {
        circuit.Name = "Ignored";
        return false;
    };
    f.Main->Actions().mnCircEdit->trigger();
    QCOMPARE(Node(form, kFirstCircuit)->text(0), QStringLiteral("North"));
}

void TScenariosFormTest::deleteCircuitConductorAndPoint() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    TScenario& scenario = form.Project().Scenarios[0];

    // Conductor: the current row of the selected circuit.
    Select(form, kFirstCircuit);
    form.Grid().setCurrentCell(1, 0);
    f.Prompts.Answers = {QMessageBox::Yes};
    f.Main->Actions().mnCondDelete->trigger();
    QCOMPARE(f.Prompts.Messages.back().Text,
             QStringLiteral("Are you sure you want to delete the current Conductor?"));
    QCOMPARE(ConductorIds(scenario.Circuits[0]), (std::vector<std::string>{"1A1", "1C1", "1G1"}));
    QCOMPARE(scenario.ConductorCount(), 7);
    QCOMPARE(Column(form.Grid(), 1), (QStringList{" 1A1", " 1C1", " 1G1"}));

    // Circuit: No keeps it, Yes removes it with its conductors.
    f.Prompts.Answers = {QMessageBox::No};
    f.Main->Actions().mnCircDelete->trigger();
    QCOMPARE(scenario.Circuits.Count(), 2);
    f.Prompts.Answers = {QMessageBox::Yes};
    f.Main->Actions().mnCircDelete->trigger();
    QCOMPARE(f.Prompts.Messages.back().Text,
             QStringLiteral("Are you sure you want to delete the current Circuit?"));
    QCOMPARE(scenario.Circuits.Count(), 1);
    QCOMPARE(scenario.ConductorCount(), 4);
    QCOMPARE(form.Tree().currentItem(), Node(form, kRoot));
    QCOMPARE(NodeTexts(form.Tree()), (QStringList{"CrossSection ", "InterestPoints", "C2"}));
    QCOMPARE(form.Grid().rowCount(), 4);

    // Point of interest.
    Select(form, kPoints);
    form.Grid().setCurrentCell(0, 0);
    f.Prompts.Answers = {QMessageBox::Yes};
    f.Main->Actions().mnPoiDelete->trigger();
    QCOMPARE(f.Prompts.Messages.back().Text,
             QStringLiteral("Are you sure you want to delete the current InterestPoint?"));
    QCOMPARE(scenario.InterestPoints.Count(), 1);
    QCOMPARE(Column(form.Grid(), 0), QStringList{" House"});
}

void TScenariosFormTest::newConductorAndPointAppendRows() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    f.Dialogs.OnNewConductor = [](TCircuit& circuit) {
        auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
        conductor->CondType = Ground;
        conductor->Id = "1G2";
        return conductor;
    };
    Select(form, kFirstCircuit);
    f.Main->Actions().mnCondNew->trigger();
    const TCircuit& circuit = form.Project().Scenarios[0].Circuits[0];
    QCOMPARE(circuit.Conductors.Count(), 5);
    QCOMPARE(circuit.OhgwCount, 2);
    QCOMPARE(Column(form.Grid(), 1).last(), QStringLiteral(" 1G2"));

    f.Dialogs.OnNewPoint = [](TScenario& scenario) {
        auto point = std::make_unique<TInterestPoint>(scenario);
        point->Name = "Barn";
        return point;
    };
    Select(form, kPoints);
    f.Main->Actions().mnPoiNew->trigger();
    QCOMPARE(Column(form.Grid(), 0), (QStringList{" Fence", " House", " Barn"}));

    // The first object added to an empty grid fills its blank row.
    form.Project().Scenarios[0].InterestPoints.Clear();
    Select(form, kRoot);
    Select(form, kPoints);
    QCOMPARE(form.Grid().rowCount(), 1);
    f.Main->Actions().mnPoiNew->trigger();
    QCOMPARE(Column(form.Grid(), 0), QStringList{" Barn"});
}

void TScenariosFormTest::commandsStopAtTheLimitsOfACrossSection_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("conductors"); // the cross section holds this many first
    QTest::addColumn<int>("circuits");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("refusal"); // empty: the command goes on
    const QString conductors = QStringLiteral(
        "The cross section would have more conductors than Corvalt supports (at most 500 in one "
        "cross section).");
    // MakeProject: circuits C1 and C2 of 4 conductors each, 2 points of interest.
    QTest::newRow("conductor 500") << "mnCondNew" << kFirstCircuit << 499 << 3 << 2 << QString();
    QTest::newRow("conductor 501") << "mnCondNew" << kFirstCircuit << 500 << 3 << 2 << conductors;
    QTest::newRow("clone to 500") << "mnCircClone" << kFirstCircuit << 496 << 3 << 2 << QString();
    QTest::newRow("clone to 501") << "mnCircClone" << kFirstCircuit << 497 << 3 << 2 << conductors;
    QTest::newRow("circuit 255") << "mnCircNew" << kRoot << 8 << 254 << 2 << QString();
    QTest::newRow("circuit 256")
        << "mnCircNew" << kRoot << 8 << 255 << 2
        << "The cross section would have more circuits than Corvalt supports (at most 255 in one "
           "cross section).";
    QTest::newRow("point 1000") << "mnPoiNew" << kPoints << 8 << 2 << 999 << QString();
    QTest::newRow("point 1001")
        << "mnPoiNew" << kPoints << 8 << 2 << 1000
        << "The cross section would have more points of interest than Corvalt supports (at most "
           "1000 in one cross section).";
}

void TScenariosFormTest::commandsStopAtTheLimitsOfACrossSection() {
    QFETCH(QString, command);
    QFETCH(int, node);
    QFETCH(int, conductors);
    QFETCH(int, circuits);
    QFETCH(int, points);
    QFETCH(QString, refusal);
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    TScenario& scenario = project->Scenarios[0];
    // Filled up behind C1 and C2, so the tree's first circuit stays C1.
    while (scenario.Circuits.Count() < circuits)
        scenario.Circuits.Add(std::make_unique<TCircuit>(scenario));
    TCircuit& last = scenario.Circuits[scenario.Circuits.Count() - 1];
    while (scenario.ConductorCount() < conductors)
        last.AddConductor(std::make_unique<TConductor>(scenario, last));
    while (scenario.InterestPoints.Count() < points)
        scenario.InterestPoints.Add(std::make_unique<TInterestPoint>(scenario));
    TForm& form = f.Open(std::move(project));
    f.Dialogs.OnNewConductor = [](TCircuit& circuit) {
        return std::make_unique<TConductor>(*circuit.Scenario, circuit);
    };
    f.Dialogs.OnNewPoint = [](TScenario& s) { return std::make_unique<TInterestPoint>(s); };
    f.Dialogs.OnNewCircuit = [](TScenario& s) { return CreateNewCircuit(s, TNewCircuitValues{}); };
    Select(form, node);
    const TScenario& shown = form.Project().Scenarios[0];
    const int before =
        shown.ConductorCount() + shown.Circuits.Count() + shown.InterestPoints.Count();
    const corvalt::ui::TMainActions& actions = f.Main->Actions();
    const std::map<QString, QAction*> commands = {{"mnCondNew", actions.mnCondNew},
                                                  {"mnCircClone", actions.mnCircClone},
                                                  {"mnCircNew", actions.mnCircNew},
                                                  {"mnPoiNew", actions.mnPoiNew}};
    commands.at(command)->trigger();
    const int after =
        shown.ConductorCount() + shown.Circuits.Count() + shown.InterestPoints.Count();
    if (refusal.isEmpty()) {
        QVERIFY(f.Prompts.Messages.empty());
        QVERIFY(after > before);
        return;
    }
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{refusal});
    QCOMPARE(f.Prompts.Messages.front().Icon, QMessageBox::Warning);
    QCOMPARE(after, before);
    QVERIFY(f.Dialogs.Calls.isEmpty()); // the dialog did not even open
}

void TScenariosFormTest::doubleClickEditsTheRowShownEvenAfterAdding() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    f.Dialogs.OnNewConductor = [](TCircuit& circuit) {
        auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
        conductor->Id = "1A2";
        return conductor;
    };
    Select(form, kFirstCircuit);
    form.NewConductor();
    Select(form, kRoot); // now 1A1 1B1 1C1 1G1 1A2 2A1 ...
    std::string edited;
    f.Dialogs.OnEditConductor = [&](TConductor& conductor) {
        edited = conductor.Id;
        return false;
    };
    for (const auto& [row, id] : {std::pair{4, "1A2"}, std::pair{5, "2A1"}}) {
        const QRect cell = form.Grid().visualItemRect(form.Grid().item(row, 1));
        QTest::mouseClick(form.Grid().viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(form.Grid().viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(edited, std::string(id));
    }
}

void TScenariosFormTest::enterAndTreeDoubleClickEdit() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    std::string point;
    f.Dialogs.OnEditPoint = [&](TInterestPoint& p) {
        point = p.Name;
        p.Name = "Gate";
        return true;
    };
    Select(form, kPoints);
    form.Grid().setCurrentCell(1, 0);
    QTest::keyClick(&form.Grid(), Qt::Key_Return);
    QCOMPARE(point, std::string("House"));
    QCOMPARE(Column(form.Grid(), 0), (QStringList{" Fence", " Gate"}));

    const QRect node = form.Tree().visualItemRect(Node(form, kFirstCircuit + 1));
    QTest::mouseClick(form.Tree().viewport(), Qt::LeftButton, {}, node.center());
    QTest::mouseDClick(form.Tree().viewport(), Qt::LeftButton, {}, node.center());
    QCOMPARE(f.Dialogs.Calls, (QStringList{"EditPoint", "EditCircuit"}));
    QVERIFY(Node(form, kRoot)->isExpanded()); // a double click does not collapse either
}

void TScenariosFormTest::editProjectKeepsTheFileNameInTheCaption() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    form.Project().FileName = "/data/line.emf";
    Select(form, kFirstCircuit);
    f.Dialogs.OnEditProject = [](TEmfProject& project) {
        project.Title = "Renamed";
        return true;
    };
    f.Main->Actions().mnPrjEdit->trigger();
    QCOMPARE(form.Caption(), QStringLiteral("Renamed--/data/line.emf"));
    QCOMPARE(form.Tree().currentItem(), Node(form, kRoot));
    form.UndoStack().undo();
    QCOMPARE(form.Caption(), QStringLiteral("Line Project--/data/line.emf"));
}

void TScenariosFormTest::closeQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Cancel stays open") << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("No closes unsaved") << int(QMessageBox::No) << true << false;
    QTest::newRow("Yes saves and closes") << int(QMessageBox::Yes) << true << true;
}

void TScenariosFormTest::closeQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    TMainFixture f;
    QTemporaryDir dir;
    TForm& form = f.Open(MakeProject());
    QMdiSubWindow* window = f.Main->MdiArea().subWindowList().front();
    f.Prompts.Answers = {static_cast<QMessageBox::StandardButton>(answer)};
    f.Prompts.FileNames << dir.filePath("line.txt");
    QCOMPARE(window->close(), closed);
    // A project never saved always asks, naming no file.
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{"Save Changes to \n\nLine Project"});
    QCOMPARE(f.Prompts.Messages[0].Icon, QMessageBox::Question);
    QCOMPARE(QFile::exists(dir.filePath("line.emf")), saved);
    if (saved)
        QCOMPARE(f.Prompts.FileRequests[0].Filter, QStringLiteral("Corvalt project (*.emf)"));
    if (!closed) QVERIFY(form.isVisible());
}

void TScenariosFormTest::failedSaveOnCloseKeepsAskingUntilSaved() {
    TMainFixture f;
    QTemporaryDir dir;
    f.Open(MakeProject());
    QMdiSubWindow* window = f.Main->MdiArea().subWindowList().front();
    f.Prompts.Answers = {QMessageBox::Yes};
    f.Prompts.FileNames << dir.filePath("missing-folder/line.emf");
    QVERIFY(!window->close());
    QCOMPARE(f.Prompts.MessageTexts(),
             (QStringList{"Save Changes to \n\nLine Project", messages::kSaveFailed}));

    // The save dialog cancelled: still open, and asked again next time.
    f.Prompts.Answers = {QMessageBox::Yes};
    QVERIFY(!window->close());
    QCOMPARE(f.Prompts.Messages.size(), 3u);

    f.Prompts.Answers = {QMessageBox::Yes};
    f.Prompts.FileNames << dir.filePath("line.emf");
    QVERIFY(window->close());
    QCOMPARE(f.Prompts.Messages.size(), 4u);
    QVERIFY(QFile::exists(dir.filePath("line.emf")));
}

void TScenariosFormTest::unchangedProjectClosesWithoutAsking() {
    TMainFixture f;
    QVERIFY(f.Main->OpenProjectFile(SampleProjectPath()));
    QVERIFY(f.Main->MdiArea().subWindowList().front()->close());
    QVERIFY(f.Prompts.Messages.empty());

    // A changed one names its file in the question.
    QVERIFY(f.Main->OpenProjectFile(SampleProjectPath()));
    TEmfProject& project = f.Main->ActiveProjectWindow()->Project();
    project.Scenarios[0].Title += "x";
    f.Prompts.Answers = {QMessageBox::No};
    QVERIFY(f.Main->MdiArea().currentSubWindow()->close());
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{"Save Changes to " + SampleProjectPath() +
                                                   "\n\n" + QString::fromStdString(project.Title)});
}

// The whole test runs under a decimal-comma locale: the grid shows "."
// whatever the user's locale. Without the locale it runs in the C locale,
// unless the locale is required.
int main(int argc, char* argv[]) {
    const test::TGermanLocale german;
    if (!german.Active() && german.Required()) {
        std::fprintf(stderr, "%s\n", german.Problem().c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    TScenariosFormTest test;
    test.german = german.Active();
    return QTest::qExec(&test, argc, argv);
}

#include "ScenariosFormTest.moc"
