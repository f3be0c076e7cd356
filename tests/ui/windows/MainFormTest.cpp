// The main window: command enabling, the visibility preferences, the project
// file commands and their name rules, the command-line start, the report and
// BPA commands, and closing.
#include "MainWinTestSupport.h"

#include "model/Messages.h"
#include "ui/app/ProjectFiles.h"
#include "ui/app/Startup.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"
#include "ui/windows/StartPage.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <map>

using namespace corvalt;
using namespace corvalt::test;

namespace {

// The commands whose enabling the tests follow, under their names.
std::map<QString, const QAction*> NamedCommands(const ui::TMainForm& main) {
    const ui::TMainActions& a = main.Actions();
    const ui::TMainMenus& m = main.Menus();
    return {{"mnPrjEdit", a.mnPrjEdit},
            {"mnSave", a.mnSave},
            {"sbSave", a.sbSave},
            {"mnSaveAs", a.mnSaveAs},
            {"mnPreviewPrint", m.mnPreviewPrint->menuAction()},
            {"mnFlorida", a.mnFlorida},
            {"mnTlsa", a.mnTlsa},
            {"mnEmfDetails", a.mnEmfDetails},
            {"mnCrossSection", m.mnCrossSection->menuAction()},
            {"mnCircuit", m.mnCircuit->menuAction()},
            {"mnCircNew", a.mnCircNew},
            {"mnCircEdit", a.mnCircEdit},
            {"mnCircDelete", a.mnCircDelete},
            {"mnCircClone", a.mnCircClone},
            {"mnCircCoords", a.mnCircCoords},
            {"mnConductor", m.mnConductor->menuAction()},
            {"mnPoi", m.mnPoi->menuAction()},
            {"sbPrint", a.sbPrint},
            {"sbZoomIn", a.sbZoomIn},
            {"sbZoomOut", a.sbZoomOut},
            {"sbFullPage", a.sbFullPage},
            {"sbPageWidth", a.sbPageWidth},
            {"sbReportClose", a.sbReportClose},
            {"sbPrevPage", a.sbPrevPage},
            {"sbNextPage", a.sbNextPage},
            {"mnNew", a.mnNew},
            {"mnOpen", a.mnOpen},
            {"mnPrintSetup", a.mnPrintSetup},
            {"mnPreferences", a.mnPreferences},
            {"mnExit", a.mnExit},
            {"mnTile", a.mnTile},
            {"mnCascade", a.mnCascade},
            {"mnArrange", a.mnArrange},
            {"mnAbout", a.mnAbout},
            {"sbNew", a.sbNew},
            {"sbOpen", a.sbOpen}};
}

QStringList EnabledOf(const ui::TMainForm& main, const QStringList& names) {
    const std::map<QString, const QAction*> commands = NamedCommands(main);
    QStringList enabled;
    for (const QString& name : names)
        if (commands.at(name)->isEnabled()) enabled << name;
    return enabled;
}

// Every command whose enabling depends on the active window.
const QStringList kRuledCommands = {
    "mnPrjEdit",   "mnSave",      "sbSave",        "mnSaveAs",       "mnPreviewPrint",
    "mnFlorida",   "mnTlsa",      "mnEmfDetails",  "mnCrossSection", "mnCircuit",
    "mnCircNew",   "mnCircEdit",  "mnCircDelete",  "mnCircClone",    "mnCircCoords",
    "mnConductor", "mnPoi",       "sbPrint",       "sbZoomIn",       "sbZoomOut",
    "sbFullPage",  "sbPageWidth", "sbReportClose", "sbPrevPage",     "sbNextPage"};

const QStringList kAlwaysEnabled = {"mnNew",   "mnOpen", "mnPrintSetup", "mnPreferences",
                                    "mnExit",  "mnTile", "mnCascade",    "mnArrange",
                                    "mnAbout", "sbNew",  "sbOpen"};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A project whose first conductor lies on the ground: the data check fails.
std::unique_ptr<TEmfProject> ProjectFailingCheck() {
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Scenarios[0].Circuits[0].Conductors[0].Height = 0;
    return project;
}

} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void showsCaptionVersionAndSize();
    void enablingFollowsActiveWindowAndSelection_data();
    void enablingFollowsActiveWindowAndSelection();
    void bpaCommandsFollowPreferences_data();
    void bpaCommandsFollowPreferences();
    void openNameRules_data();
    void openNameRules();
    void saveNameRules_data();
    void saveNameRules();
    void openLoadsTheChosenNameWithDefaultExtension_data();
    void openLoadsTheChosenNameWithDefaultExtension();
    void openRefusesDamagedOrMissingFiles_data();
    void openRefusesDamagedOrMissingFiles();
    void commandLineStart_data();
    void commandLineStart();
    void newProjectRunsEveryDialogInTurn();
    void newProjectCancelledAtCrossSectionAsksFirst();
    void saveWritesEmfAndSaveAsRenamesTheWindow();
    void captionNamesTheFileAfterEveryCommand();
    void failedSaveIsShownAndKeepsTheProjectModified();
    void reportCommandShowsErrorWindowWhenCheckFails();
    void tlsaReportSkipsTheDataCheck();
    void createBpaFileAsksFirst();
    void exitAsksEveryProjectWindowAndCanBeCancelled();
    void startupWarnsAboutUnusableLibraryLines();
    void firstStartTakesTheStarterLibrary();
    void statusLineNamesThePreferencesFile();
    void windowMenuListsTheChildWindows();
    void printSetupAndPreferencesOpenTheirDialogs();
    void windowComesBackWhereItWasClosed();
    void fileDialogsRememberTheirFolderAndProposeAName();
    void ctrlF4ClosesTheActiveWindow();
    void everyMenuCommandHasAnAltLetterOfItsOwn();
    void startPageEntriesRunTheCommands();
    void startPageShowsWhileNoWindowIsOpen();
};

void TMainFormTest::showsCaptionVersionAndSize() {
    TMainFixture f;
    QCOMPARE(f.Main->windowTitle(), QStringLiteral("Corvalt"));
    QCOMPARE(f.Main->size(), QSize(780, 480));
    const auto* version = f.Main->statusBar()->findChild<QLabel*>(QStringLiteral("lbVersion"));
    QVERIFY(version != nullptr);
    QCOMPARE(version->text(), QStringLiteral("v1.19"));
    QCOMPARE(version->width(), 100);
    QCOMPARE(f.Main->Actions().mnSave->statusTip(), QStringLiteral("Save current file"));
    QCOMPARE(f.Main->Actions().sbSave->toolTip(), QStringLiteral("Save Project"));
    QVERIFY(f.Main->ErrorForm().isHidden());
    QCOMPARE(EnabledOf(*f.Main, kAlwaysEnabled), kAlwaysEnabled);
}

enum TActiveWindow {
    kNoWindow,
    kReportOnly,
    kProjectRoot,
    kProjectPoints,
    kProjectCircuit,
    kReportOverProject
};

void TMainFormTest::enablingFollowsActiveWindowAndSelection_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<bool>("reportMenu");
    const QStringList project = {"mnPrjEdit",      "mnSave",    "sbSave",   "mnSaveAs",
                                 "mnPreviewPrint", "mnFlorida", "mnTlsa",   "mnEmfDetails",
                                 "mnCrossSection", "mnCircuit", "mnCircNew"};
    const QStringList circuit = {"mnCircEdit", "mnCircDelete", "mnCircClone", "mnCircCoords",
                                 "mnConductor"};
    const QStringList report = {"sbPrint",     "sbZoomIn",      "sbZoomOut", "sbFullPage",
                                "sbPageWidth", "sbReportClose", "sbNextPage"};
    QTest::newRow("no window") << int(kNoWindow) << QStringList() << false;
    QTest::newRow("only a report window") << int(kReportOnly) << report << true;
    QTest::newRow("project, cross section") << int(kProjectRoot) << project << false;
    QTest::newRow("project, InterestPoints")
        << int(kProjectPoints) << (project + QStringList{"mnPoi"}) << false;
    QTest::newRow("project, circuit") << int(kProjectCircuit) << (project + circuit) << false;
    QTest::newRow("report over a project") << int(kReportOverProject) << report << true;
}

void TMainFormTest::enablingFollowsActiveWindowAndSelection() {
    QFETCH(int, state);
    QFETCH(QStringList, enabled);
    QFETCH(bool, reportMenu);
    TMainFixture f;
    f.Reports.PageCount = 2;
    std::unique_ptr<TEmfProject> outside = MakeProject();
    if (state == kReportOnly) {
        QVERIFY(f.Main->OpenReportWindow(*outside, &outside->Scenarios[0],
                                         TReportKind::EmfDetails) != nullptr);
    } else if (state != kNoWindow) {
        ui::TScenariosForm& form = f.Open(MakeProject());
        QTreeWidgetItem* root = form.Tree().topLevelItem(0);
        if (state == kProjectPoints) form.Tree().setCurrentItem(root->child(0));
        if (state == kProjectCircuit) form.Tree().setCurrentItem(root->child(1));
        if (state == kReportOverProject) form.RunReport(TReportKind::EmfDetails);
    }
    QStringList expected = enabled;
    QStringList actual = EnabledOf(*f.Main, kRuledCommands);
    expected.sort();
    actual.sort();
    QCOMPARE(actual, expected);
    QCOMPARE(f.Main->Menus().mnReport->menuAction()->isVisible(), reportMenu);
    QCOMPARE(EnabledOf(*f.Main, kAlwaysEnabled), kAlwaysEnabled);
}

void TMainFormTest::bpaCommandsFollowPreferences_data() {
    QTest::addColumn<QString>("general");
    QTest::addColumn<bool>("details");
    QTest::addColumn<bool>("file");
    QTest::newRow("defaults") << QString() << false << false;
    QTest::newRow("details") << "BPADetails=1\n" << true << false;
    QTest::newRow("file") << "BPAFile=1\n" << false << true;
    QTest::newRow("both") << "BPADetails=1\nBPAFile=1\n" << true << true;
}

void TMainFormTest::bpaCommandsFollowPreferences() {
    QFETCH(QString, general);
    QFETCH(bool, details);
    QFETCH(bool, file);
    TMainFixture f("[General]\n" + general.toStdString());
    QCOMPARE(f.Main->Actions().mnBpaDetails->isVisible(), details);
    QCOMPARE(f.Main->Actions().mnBpaFileSeparator->isVisible(), file);
    QCOMPARE(f.Main->Actions().mnCreateBpaFile->isVisible(), file);
}

void TMainFormTest::openNameRules_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("no extension") << "/data/line"
                                  << "/data/line.emf";
    QTest::newRow("lone dot") << "/data/line."
                              << "/data/line.emf";
    QTest::newRow("dot and blanks") << "/data/line. "
                                    << "/data/line.emf";
    QTest::newRow("emf") << "/data/line.emf"
                         << "/data/line.emf";
    QTest::newRow("other extension") << "/data/line.bak"
                                     << "/data/line.bak";
    QTest::newRow("dot in the folder only") << "/data.v2/line"
                                            << "/data.v2/line.emf";
}

void TMainFormTest::openNameRules() {
    QFETCH(QString, chosen);
    QFETCH(QString, loaded);
    QCOMPARE(ui::OpenFileNameWithDefault(chosen), loaded);
}

void TMainFormTest::saveNameRules_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no extension") << "/data/line"
                                  << "/data/line.emf";
    QTest::newRow("other extension") << "/data/line.dat"
                                     << "/data/line.emf";
    QTest::newRow("two extensions") << "/data/line.v2.dat"
                                    << "/data/line.v2.emf";
    QTest::newRow("emf") << "/data/line.emf"
                         << "/data/line.emf";
    QTest::newRow("hidden file") << "/data/.line"
                                 << "/data/.line.emf";
}

void TMainFormTest::saveNameRules() {
    QFETCH(QString, name);
    QFETCH(QString, saved);
    QCOMPARE(ui::SaveFileNameFor(name), saved);
}

void TMainFormTest::openLoadsTheChosenNameWithDefaultExtension_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("opened"); // empty: nothing opens
    QTest::newRow("without extension") << "line"
                                       << "line.emf";
    QTest::newRow("with a lone dot") << "line."
                                     << "line.emf";
    QTest::newRow("as chosen") << "line.emf"
                               << "line.emf";
    QTest::newRow("another extension is not replaced") << "line.txt" << QString();
}

void TMainFormTest::openLoadsTheChosenNameWithDefaultExtension() {
    QFETCH(QString, chosen);
    QFETCH(QString, opened);
    TMainFixture f;
    QTemporaryDir dir;
    QVERIFY(QFile::copy(SampleProjectPath(), dir.filePath("line.emf")));
    f.Prompts.FileNames << dir.filePath(chosen);
    f.Main->Actions().mnOpen->trigger();
    QCOMPARE(f.Prompts.FileRequests.size(), 1u);
    QCOMPARE(f.Prompts.FileRequests[0].Filter, QStringLiteral("Corvalt project (*.emf)"));
    if (opened.isEmpty()) {
        QCOMPARE(f.Prompts.MessageTexts(), QStringList{messages::kFileDoesNotExist});
        QCOMPARE(f.Main->OpenProjects().Count(), 0);
        return;
    }
    QVERIFY(f.Prompts.Messages.empty());
    ui::TScenariosForm* form = f.Main->ActiveProjectWindow();
    QVERIFY(form != nullptr);
    QCOMPARE(form->Project().FileName, dir.filePath(opened).toStdString());
    QCOMPARE(form->Caption(),
             QString::fromStdString(form->Project().Title) + "--" + dir.filePath(opened));
    QVERIFY(!form->Project().IsModified());
    QCOMPARE(f.Dialogs.Calls, QStringList()); // no new circuit is started
}

void TMainFormTest::openRefusesDamagedOrMissingFiles_data() {
    QTest::addColumn<int>("keep"); // bytes of the sample kept; -1 no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << -1 << QString(messages::kFileDoesNotExist);
    QTest::newRow("empty") << 0 << QString(messages::kFileDamaged);
    QTest::newRow("cut short") << 300 << QString(messages::kFileDamaged);
}

void TMainFormTest::openRefusesDamagedOrMissingFiles() {
    QFETCH(int, keep);
    QFETCH(QString, message);
    TMainFixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath("damaged.emf");
    if (keep >= 0) WriteBytes(path, FileBytes(SampleProjectPath()).left(keep));
    f.Prompts.FileNames << path;
    f.Main->mnOpenClick();
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{message});
    QCOMPARE(f.Prompts.Messages[0].Icon, QMessageBox::Critical);
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 0);
    QCOMPARE(f.Main->OpenProjects().Count(), 0);
}

void TMainFormTest::commandLineStart_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("about");
    QTest::addColumn<int>("windows");
    QTest::addColumn<QString>("message"); // shown, as File, Open shows it
    QTest::newRow("no arguments") << QStringList() << false << 0 << QString();
    QTest::newRow("a project") << QStringList{SampleProjectPath()} << false << 1 << QString();
    QTest::newRow("a missing file") << QStringList{QStringLiteral("/nonexistent/none.emf")} << false
                                    << 0 << QString(messages::kFileDoesNotExist);
}

void TMainFormTest::commandLineStart() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, about);
    QFETCH(int, windows);
    QFETCH(QString, message);
    TMainFixture f;
    QString version;
    bool okIsDefault = false;
    f.Prompts.OnDialog = [&](QDialog& dialog) {
        if (auto* label = dialog.findChild<QLabel*>(QStringLiteral("lbVersion")))
            version = label->text();
        for (const QPushButton* button : dialog.findChildren<QPushButton*>())
            okIsDefault = okIsDefault || (button->text().contains("OK") && button->isDefault());
    };
    f.Main->StartWith(arguments);
    // The file opens from the event loop, not inside StartWith.
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(f.Prompts.DialogTitles.contains("About Corvalt"), about);
    if (about) {
        QCOMPARE(version, QStringLiteral("v1.19"));
        QVERIFY(okIsDefault);
    }
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), windows);
    QCOMPARE(f.Prompts.MessageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (windows == 1)
        QCOMPARE(f.Main->ActiveProjectWindow()->Project().FileName,
                 arguments.front().toStdString());
}

void TMainFormTest::newProjectRunsEveryDialogInTurn() {
    TMainFixture f;
    f.Dialogs.OnNewProject = [] {
        auto project = std::make_unique<TEmfProject>();
        project->Title = "New Line";
        return project;
    };
    f.Dialogs.OnNewScenario = [](TEmfProject& project) {
        auto scenario = std::make_unique<TScenario>(project);
        scenario->TabTitle = "N1";
        return scenario;
    };
    f.Dialogs.OnNewCircuit = [](TScenario& scenario) {
        TNewCircuitValues values;
        values.Name = "New C";
        values.Phases[0] = {true, 1, 0};
        return CreateNewCircuit(scenario, values);
    };
    f.Main->Actions().sbNew->trigger();
    QCOMPARE(f.Dialogs.Calls,
             (QStringList{"NewProject", "NewScenario", "NewCircuit", "EditCoordinates"}));
    ui::TScenariosForm* form = f.Main->ActiveProjectWindow();
    QVERIFY(form != nullptr);
    QCOMPARE(form->Caption(), QStringLiteral("New Line--"));
    QCOMPARE(form->Tabs().tabText(0), QStringLiteral("N1 (T)"));
    QCOMPARE(form->SelectedCircuit()->Name, std::string("New C"));
    QCOMPARE(f.Main->OpenProjects().Count(), 1);
}

void TMainFormTest::newProjectCancelledAtCrossSectionAsksFirst() {
    TMainFixture f;
    f.Dialogs.OnNewProject = [] {
        auto project = std::make_unique<TEmfProject>();
        project->Title = "Bayside";
        return project;
    };
    // Yes: the project is discarded, nothing is left.
    f.Prompts.Answers = {QMessageBox::Yes};
    f.Main->mnNewClick();
    QCOMPARE(f.Dialogs.Calls, (QStringList{"NewProject", "NewScenario"}));
    QCOMPARE(f.Prompts.Messages.size(), 1u);
    QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("New Project"));
    QVERIFY(f.Prompts.Messages[0].Text.contains("\"Bayside\""));
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 0);
    QCOMPARE(f.Main->OpenProjects().Count(), 0);

    // No: back to the cross section, and the project goes on with what was typed.
    f.Dialogs.Calls.clear();
    int asked = 0;
    f.Dialogs.OnNewScenario = [&asked](TEmfProject& project) -> std::unique_ptr<TScenario> {
        if (++asked == 1) return nullptr;
        return std::make_unique<TScenario>(project);
    };
    f.Prompts.Answers = {QMessageBox::No};
    f.Main->mnNewClick();
    QCOMPARE(f.Dialogs.Calls,
             (QStringList{"NewProject", "NewScenario", "NewScenario", "NewCircuit"}));
    QCOMPARE(f.Prompts.Messages.size(), 2u);
    QVERIFY(f.Main->ActiveProjectWindow() != nullptr);
    QCOMPARE(f.Main->ActiveProjectWindow()->Project().Title, std::string("Bayside"));
}

void TMainFormTest::saveWritesEmfAndSaveAsRenamesTheWindow() {
    TMainFixture f;
    QTemporaryDir dir;
    ui::TScenariosForm& form = f.Open(MakeProject());
    form.Project().FileName = dir.filePath("line.dat").toStdString();
    f.Main->Actions().mnSave->trigger();
    QVERIFY(f.Prompts.FileRequests.empty()); // a named project is saved without asking
    QVERIFY(QFile::exists(dir.filePath("line.emf")));
    QVERIFY(!QFile::exists(dir.filePath("line.dat")));
    QCOMPARE(form.Project().FileName, dir.filePath("line.emf").toStdString());
    QCOMPARE(form.Caption(), QStringLiteral("Line Project--") + dir.filePath("line.emf"));
    QVERIFY(!form.Project().IsModified());

    f.Prompts.FileNames << dir.filePath("copy.txt");
    f.Main->Actions().mnSaveAs->trigger();
    QCOMPARE(f.Prompts.FileRequests.back().Filter, QStringLiteral("Corvalt project (*.emf)"));
    QVERIFY(QFile::exists(dir.filePath("copy.emf")));
    QCOMPARE(form.Caption(), QStringLiteral("Line Project--") + dir.filePath("copy.emf"));
    QCOMPARE(FileBytes(dir.filePath("copy.emf")), FileBytes(dir.filePath("line.emf")));
}

void TMainFormTest::captionNamesTheFileAfterEveryCommand() {
    TMainFixture f;
    QTemporaryDir dir;
    f.Dialogs.OnNewProject = [] {
        auto project = std::make_unique<TEmfProject>();
        project->Title = "Bayside";
        return project;
    };
    f.Dialogs.OnNewScenario = [](TEmfProject& project) {
        return std::make_unique<TScenario>(project);
    };
    f.Main->mnNewClick();
    ui::TScenariosForm* form = f.Main->ActiveProjectWindow();
    QVERIFY(form != nullptr);
    auto shown = [form] {
        return form->windowTitle().replace("[*]", form->isWindowModified() ? "*" : "");
    };
    QCOMPARE(shown(), QStringLiteral("Bayside--*")); // never saved

    f.Prompts.FileNames << dir.filePath("bay");
    f.Main->mnSaveClick();
    const QString saved = dir.filePath("bay.emf");
    QCOMPARE(shown(), "Bayside--" + saved);

    f.Dialogs.OnEditProject = [](TEmfProject& project) {
        project.Title = "Bayside 230 kV";
        return true;
    };
    form->EditProject();
    QCOMPARE(shown(), "Bayside 230 kV--" + saved + "*");
    form->UndoStack().undo();
    QCOMPARE(shown(), "Bayside--" + saved);

    f.Prompts.FileNames << dir.filePath("copy.emf");
    f.Main->mnSaveAsClick();
    QCOMPARE(shown(), "Bayside--" + dir.filePath("copy.emf"));
}

void TMainFormTest::failedSaveIsShownAndKeepsTheProjectModified() {
    TMainFixture f;
    QTemporaryDir dir;
    ui::TScenariosForm& form = f.Open(MakeProject());
    f.Prompts.FileNames << dir.filePath("no-such-folder/line.emf");
    f.Main->mnSaveClick();
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{messages::kSaveFailed});
    QVERIFY(!f.Prompts.Messages[0].Details.isEmpty()); // says why
    QVERIFY(form.Project().FileName.empty()); // the name of a file never written is not kept
    QVERIFY(form.Project().IsModified());
}

void TMainFormTest::reportCommandShowsErrorWindowWhenCheckFails() {
    TMainFixture f;
    ui::TScenariosForm& form = f.Open(ProjectFailingCheck());
    QStringList lines; // the first cross section's nodes, depth first
    QList<bool> expanded;
    f.Prompts.OnDialog = [&](QDialog& dialog) {
        auto* errors = qobject_cast<ui::TRptErrorForm*>(&dialog);
        QVERIFY(errors != nullptr);
        std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* node,
                                                                    int depth) {
            lines << QString(depth * 2, ' ') + node->text(0);
            expanded << node->isExpanded();
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i), depth + 1);
        };
        walk(errors->Tree().topLevelItem(0), 0);
    };
    f.Main->Actions().mnEmfDetails->trigger();
    QCOMPARE(f.Prompts.DialogTitles, QStringList{"Errors"});
    QCOMPARE(lines, (QStringList{"CrossSection: L5- Line 5", "  Circuit C1",
                                 "    Conductor '1A1' has a 0 height", "  Circuit C2"}));
    QCOMPARE(expanded, (QList<bool>{true, true, false, false}));
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 1); // no report window
    QVERIFY(f.Main->ActiveProjectWindow() == &form);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TMainFormTest::tlsaReportSkipsTheDataCheck() {
    TMainFixture f;
    f.Open(ProjectFailingCheck());
    f.Main->Actions().mnTlsa->trigger();
    QVERIFY(f.Prompts.DialogTitles.isEmpty());
    ui::TReptMstr* report = f.Main->ActiveReportWindow();
    QVERIFY(report != nullptr);
    QCOMPARE(report->Kind(), TReportKind::Tlsa);
    QCOMPARE(report->windowTitle(), QStringLiteral("EMF Report--Line Project--TLSA Exemption"));
    QCOMPARE(f.Reports.Kinds, std::vector<TReportKind>{TReportKind::Tlsa});
}

void TMainFormTest::createBpaFileAsksFirst() {
    TMainFixture f("[General]\nBPAFile=1\n");
    ui::TScenariosForm& form = f.Open(MakeProject());
    f.Prompts.Answers = {QMessageBox::No};
    f.Main->Actions().mnCreateBpaFile->trigger();
    QCOMPARE(f.Prompts.Messages.size(), 1u);
    QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Create BPA File"));
    QCOMPARE(f.Prompts.Messages[0].Text,
             QStringLiteral("NOTE:\n\nBPA program variables unrelated to EMF must be set in\n"
                            "the exported data file for calculations to be accurate\n\n"
                            "Do you want to continue?"));
    QVERIFY(f.Prompts.FileRequests.empty());

    f.Prompts.Answers = {QMessageBox::Yes};
    f.Prompts.FileNames << "/tmp/out.bpa";
    f.Main->Actions().mnCreateBpaFile->trigger();
    QCOMPARE(f.Prompts.FileRequests.size(), 1u);
    QCOMPARE(f.Prompts.FileRequests[0].Caption, QStringLiteral("BPA File Name"));
    QCOMPARE(f.Prompts.FileRequests[0].FileName, QStringLiteral("Line Project - L5.bpa"));
    QCOMPARE(f.Reports.BpaFiles, std::vector<std::string>{"/tmp/out.bpa"});

    // The popup's command exports without asking; a failed export is shown.
    f.Reports.BpaResult = TFileResult::Failure("The BPA file could not be written.", "why");
    f.Prompts.FileNames << "/tmp/out2.bpa";
    const std::size_t asked = f.Prompts.Messages.size();
    form.ExportBpaFile();
    QCOMPARE(f.Reports.BpaFiles.size(), 2u);
    QCOMPARE(f.Prompts.Messages.size(), asked + 1);
    QCOMPARE(f.Prompts.Messages.back().Text, QStringLiteral("The BPA file could not be written."));
}

void TMainFormTest::exitAsksEveryProjectWindowAndCanBeCancelled() {
    TMainFixture f;
    f.Open(MakeProject());
    f.Open(MakeProject());
    // A Cancel in the second window keeps both open, the first one too.
    f.Prompts.Answers = {QMessageBox::No, QMessageBox::Cancel};
    QVERIFY(!f.Main->close());
    QCOMPARE(f.Prompts.Messages.size(), 2u);
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 2);

    f.Prompts.Answers = {QMessageBox::No, QMessageBox::No};
    QVERIFY(f.Main->close());
    QCOMPARE(f.Prompts.Messages.size(), 4u); // each asked once more, not twice
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 0);
    QCOMPARE(f.Main->OpenProjects().Count(), 2); // closing a window keeps its project
}

void TMainFormTest::startupWarnsAboutUnusableLibraryLines() {
    QTemporaryDir dir;
    const QString ini = dir.filePath("corvalt.INI");
    WriteBytes(ini, "[Voltages]\n0=115,1.050,121\n1=not a number\n[Conductors]\n0=|Drake|\n");
    qputenv("CORVALT_INI", ini.toLocal8Bit());
    ui::TStartupPreferences opened = ui::OpenPreferences("/usr/bin/corvalt");
    QCOMPARE(opened.Options->FileName().string(), ini.toStdString());
    QCOMPARE(opened.Options->Voltages().Count(), 1);
    QCOMPARE(opened.Warnings.size(), 1);
    QVERIFY(opened.Warnings[0].startsWith("2 unusable lines of the libraries in " + ini));
    QCOMPARE(opened.Status, "Preferences: " + ini);

    WriteBytes(ini, "[Voltages]\n0=115,1.050,121\n");
    QVERIFY(ui::OpenPreferences("/usr/bin/corvalt").Warnings.isEmpty());
}

void TMainFormTest::firstStartTakesTheStarterLibrary() {
    // A program installed in <dir>/prefix/bin, its starter library in
    // <dir>/prefix/share/corvalt, started without CORVALT_INI.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("prefix/bin"));
    QVERIFY(QDir(dir.path()).mkpath("prefix/share/corvalt"));
    const QByteArray starter =
        FileBytes(QStringLiteral(CORVALT_SOURCE_DIR "/examples/corvalt.INI"));
    QVERIFY(!starter.isEmpty());
    WriteBytes(dir.filePath("prefix/share/corvalt/corvalt.INI"), starter);
    const QByteArray savedIni = qgetenv("CORVALT_INI");
    qunsetenv("CORVALT_INI");
    const auto restore = qScopeGuard([&] { qputenv("CORVALT_INI", savedIni); });

    const QString ini = dir.filePath("prefix/bin/corvalt.INI"); // the program's folder is writable
    ui::TStartupPreferences first = ui::OpenPreferences(dir.filePath("prefix/bin/corvalt"));
    QCOMPARE(first.Status, "Preferences: " + ini + " (new, from the starter library)");
    QVERIFY(first.Warnings.isEmpty());
    QCOMPARE(FileBytes(ini), starter);
    QVERIFY(first.Options->Voltages().Count() > 0);
    QVERIFY(first.Options->Conductors().Count() > 0);
    {
        // The corona report and the BPA file are on the menu from the start.
        TFakeDialogs dialogs;
        TTestReports reports;
        const ui::TMainForm main(*first.Options, dialogs, reports);
        QVERIFY(main.Actions().mnBpaDetails->isVisible());
        QVERIFY(main.Actions().mnCreateBpaFile->isVisible());
    }

    // The copy is the user's: a later start keeps what the user made of it.
    WriteBytes(ini, "[Voltages]\n0=115,1.050,121\n");
    ui::TStartupPreferences later = ui::OpenPreferences(dir.filePath("prefix/bin/corvalt"));
    QCOMPARE(later.Status, "Preferences: " + ini);
    QCOMPARE(later.Options->Voltages().Count(), 1);

    // A program without a starter library starts with empty libraries.
    QVERIFY(QDir(dir.path()).mkpath("alone/bin"));
    ui::TStartupPreferences alone = ui::OpenPreferences(dir.filePath("alone/bin/corvalt"));
    QCOMPARE(alone.Status,
             "Preferences: " + dir.filePath("alone/bin/corvalt.INI") + " (not created yet)");
    QVERIFY(!QFile::exists(dir.filePath("alone/bin/corvalt.INI")));
    QCOMPARE(alone.Options->Voltages().Count(), 0);
}

void TMainFormTest::statusLineNamesThePreferencesFile() {
    TMainFixture f;
    f.Main->SetPreferencesStatus(
        QStringLiteral("Preferences: /home/eng/.config/corvalt/corvalt.INI"));
    const auto* panel = f.Main->statusBar()->findChild<QLabel*>(QStringLiteral("lbPage"));
    QCOMPARE(panel->text(), QStringLiteral("Preferences: /home/eng/.config/corvalt/corvalt.INI"));
    ui::TScenariosForm& form = f.Open(MakeProject());
    form.RunReport(TReportKind::EmfDetails);
    QCOMPARE(panel->text(), QStringLiteral("Page 1 of 1")); // a report window's page instead
    f.Main->MdiArea().setActiveSubWindow(f.Main->MdiArea().subWindowList().front());
    QCOMPARE(panel->text(), QStringLiteral("Preferences: /home/eng/.config/corvalt/corvalt.INI"));
}

void TMainFormTest::windowMenuListsTheChildWindows() {
    TMainFixture f;
    f.Open(MakeProject());
    std::unique_ptr<TEmfProject> second = MakeProject();
    second->Title = "Second";
    f.Open(std::move(second));
    QMenu* menu = f.Main->Menus().mnWindow;
    emit menu->aboutToShow();
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? "-" : action->text());
    // Projects never saved carry the modified marker.
    QCOMPARE(texts, (QStringList{"&Tile", "&Cascade", "&Arrange All", "Cl&ose", "-",
                                 "&1 Line Project--*", "&2 Second--*"}));
    QVERIFY(menu->actions().last()->isChecked());
    menu->actions().at(5)->trigger();
    QCOMPARE(f.Main->ActiveProjectWindow()->Project().Title, std::string("Line Project"));
}

void TMainFormTest::printSetupAndPreferencesOpenTheirDialogs() {
    TMainFixture f;
    f.Main->Actions().mnPrintSetup->trigger();
    // The set-up dialog of a printer, or a word that there is none.
    if (f.Main->Printer().outputFormat() == QPrinter::NativeFormat)
        QCOMPARE(f.Prompts.DialogTitles.size(), 1);
    else
        QCOMPARE(f.Prompts.Messages.size(), 1u);
    f.Main->Actions().mnPreferences->trigger();
    QCOMPARE(f.Dialogs.Calls, QStringList{"EditPreferences"});
}

void TMainFormTest::windowComesBackWhereItWasClosed() {
    // A place that fits the screen (800 × 600 at least) is taken as kept.
    {
        TMainFixture f("[Window]\nMainLeft=50\nMainTop=40\nMainWidth=600\nMainHeight=400\n");
        QCOMPARE(f.Main->geometry(), QRect(50, 40, 600, 400));
        f.Main->setGeometry(30, 20, 640, 420);
        QVERIFY(f.Main->close());
        const TOptions& options = f.Prefs.Options();
        QCOMPARE(QRect(options.ReadInteger(prefkeys::MainLeft),
                       options.ReadInteger(prefkeys::MainTop),
                       options.ReadInteger(prefkeys::MainWidth),
                       options.ReadInteger(prefkeys::MainHeight)),
                 QRect(30, 20, 640, 420));
        QVERIFY(!options.ReadBool(prefkeys::MainMaximized));
    }
    // A place off the screen (another monitor, since gone) and too wide comes
    // inside: as wide as the screen, at its left; 100 high is raised to the
    // smallest, 300, at its top (where the platform may move it by its frame).
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        TMainFixture f("[Window]\nMainLeft=5000\nMainTop=-300\nMainWidth=9000\nMainHeight=100\n");
        QCOMPARE(f.Main->size(), QSize(area.width(), 300));
        QVERIFY(QRect(area.topLeft(), QSize(8, 8)).contains(f.Main->pos()));
    }
    // Maximised it opens maximised, and keeps the place it had before.
    {
        TMainFixture f("[Window]\nMainLeft=70\nMainTop=60\nMainWidth=500\nMainHeight=350\n"
                       "MainMaximized=1\n");
        f.Main->ShowAsKept();
        QVERIFY(f.Main->isMaximized());
        QVERIFY(f.Main->close());
        QVERIFY(f.Prefs.Options().ReadBool(prefkeys::MainMaximized));
        QCOMPARE(f.Prefs.Options().ReadInteger(prefkeys::MainWidth), 500);
    }
}

void TMainFormTest::fileDialogsRememberTheirFolderAndProposeAName() {
    TMainFixture f;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("projects"));
    QVERIFY(QDir(dir.path()).mkpath("bpa"));
    const QString projects = dir.filePath("projects");
    auto proposed = [&f] { return f.Prompts.FileRequests.back().FileName; };

    // A new project's title, made a file name; no folder yet.
    std::unique_ptr<TEmfProject> project = MakeProject();
    project->Title = "Bay/Side: 230";
    ui::TScenariosForm& first = f.Open(std::move(project));
    f.Prompts.FileNames << projects + "/bay.emf";
    QVERIFY(first.SaveProject());
    QCOMPARE(proposed(), QStringLiteral("Bay-Side- 230.emf"));

    // The next new project goes where the last one was saved.
    ui::TScenariosForm& second = f.Open(MakeProject());
    f.Prompts.FileNames << QString();
    QVERIFY(!second.SaveProject());
    QCOMPARE(proposed(), projects + "/Line Project.emf");
    f.Main->mnOpenClick();
    QCOMPARE(proposed(), projects);

    // Exports: the cross section's name, at first in the project's folder.
    second.Project().FileName = (projects + "/line.emf").toStdString();
    f.Prompts.FileNames << dir.filePath("bpa/line.bpa");
    second.ExportBpaFile();
    QCOMPARE(proposed(), projects + "/Line Project - L5.bpa");
    f.Prompts.FileNames << QString();
    second.ExportBpaFile();
    QCOMPARE(proposed(), dir.filePath("bpa/Line Project - L5.bpa"));
    second.RunReport(TReportKind::EmfDetails);
    f.Main->ActiveReportWindow()->tbExportPdfClick();
    QCOMPARE(proposed(), projects + "/Line Project - EMF Details - L5 (T).pdf");

    // The folders are kept for the next run.
    QVERIFY(
        QString::fromStdString(f.Prefs.FileText()).contains("ProjectFolder=" + projects + "\n"));
}

void TMainFormTest::ctrlF4ClosesTheActiveWindow() {
    TMainFixture f;
    f.Main->showMaximized();
    f.Open(MakeProject()).RunReport(TReportKind::EmfDetails);
    // Window, Close holds the keys, and a window's own menu none of them.
    const QKeySequence ctrlF4(Qt::CTRL | Qt::Key_F4);
    QVERIFY(f.Main->Actions().mnCloseWindow->shortcuts().contains(ctrlF4));
    for (const QMdiSubWindow* window : f.Main->MdiArea().subWindowList())
        for (const QAction* action : window->systemMenu()->actions())
            QVERIFY(!action->shortcuts().contains(ctrlF4));
    QApplication::setActiveWindow(f.Main.get());
    QVERIFY(QTest::qWaitForWindowActive(f.Main.get()));
    QTest::keyClick(f.Main.get(), Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 1);
    QVERIFY(f.Main->ActiveProjectWindow() != nullptr);
    f.Prompts.Answers = {QMessageBox::No}; // the project was never saved
    QTest::keyClick(f.Main.get(), Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(f.Prompts.Messages.size(), 1u);
    QCOMPARE(f.Main->MdiArea().subWindowList().size(), 0);
    QVERIFY(!f.Main->Actions().mnCloseWindow->isEnabled());
}

void TMainFormTest::everyMenuCommandHasAnAltLetterOfItsOwn() {
    TMainFixture f("[General]\nBPADetails=1\nBPAFile=1\n");
    f.Open(MakeProject()).RunReport(TReportKind::EmfDetails); // the Report menu shows
    emit f.Main->Menus().mnWindow->aboutToShow();
    // The letter after a single "&", lower case; empty without one.
    auto letter = [](const QString& text) {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != '&') continue;
            if (text[i + 1] != '&') return text.mid(i + 1, 1).toLower();
            ++i; // "&&" is an ampersand
        }
        return QString();
    };
    std::function<void(const QMenu&, const QString&)> check = [&](const QMenu& menu,
                                                                  const QString& path) {
        QStringList letters;
        for (const QAction* action : menu.actions()) {
            if (action->isSeparator() || !action->isVisible()) continue;
            const QString item = path + " > " + action->text();
            const QString key = letter(action->text());
            if (key.isEmpty()) QFAIL(qPrintable("no Alt letter: " + item));
            if (letters.contains(key)) QFAIL(qPrintable("a letter used twice: " + item));
            letters << key;
            if (action->menu() != nullptr) check(*action->menu(), item);
        }
    };
    QMenu bar;
    for (QAction* action : f.Main->menuBar()->actions())
        bar.addAction(action);
    check(bar, QStringLiteral("menu bar"));
}

void TMainFormTest::startPageEntriesRunTheCommands() {
    using S = ui::TStartPage::TSection;
    TMainFixture f("[RecentFiles]\nFile1=" + SampleProjectPath().toStdString() + "\n");
    const ui::TMainActions& a = f.Main->Actions();
    const ui::TStartPage& page = f.Main->StartPage();
    auto text = [](QWidget* button) { return qobject_cast<QAbstractButton*>(button)->text(); };
    auto click = [](QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); };

    // New Project and Open... are the Project menu's commands.
    const QList<QWidget*> start = page.Buttons(S::Start);
    QCOMPARE((QStringList{text(start[0]), text(start[1])}),
             (QStringList{"New Project", "Open..."}));
    QSignalSpy newProject(a.mnNew, &QAction::triggered);
    click(start[0]);
    QCOMPARE(newProject.size(), 1);
    QCOMPARE(f.Dialogs.Calls, QStringList{"NewProject"}); // cancelled there
    QSignalSpy open(a.mnOpen, &QAction::triggered);
    click(start[1]);
    QCOMPARE(open.size(), 1);
    QCOMPARE(f.Prompts.FileRequests.at(0).Caption, QStringLiteral("Open"));

    // The recent file is the menu's first entry, and opens the file itself.
    const QList<QWidget*> recent = page.Buttons(S::Recent);
    QCOMPARE(recent.size(), 1);
    QCOMPARE(text(recent[0]), QFileInfo(SampleProjectPath()).fileName());
    QSignalSpy first(a.mnRecentFiles[0], &QAction::triggered);
    click(recent[0]);
    QCOMPARE(first.size(), 1);
    QCOMPARE(f.Main->ActiveProjectWindow()->Project().FileName, SampleProjectPath().toStdString());

    // Every sample of the examples folder; one opens as a copy without a file.
    const QStringList samples =
        QDir(CORVALT_SOURCE_DIR "/examples").entryList({"*.emf"}, QDir::Files, QDir::Name);
    const QList<QWidget*> offered = page.Buttons(S::Samples);
    QCOMPARE(offered.size(), samples.size());
    TEmfProject original;
    QVERIFY(original.Load(CORVALT_SOURCE_DIR "/examples/" + samples.back().toStdString()).Ok);
    QCOMPARE(text(offered.back()), QString::fromStdString(original.Title));
    const std::vector<std::string> recentBefore = f.Prefs.Options().RecentFiles();
    QSignalSpy sample(a.mnSamples.back(), &QAction::triggered);
    click(offered.back());
    QCOMPARE(sample.size(), 1);
    TEmfProject& copy = f.Main->ActiveProjectWindow()->Project();
    QCOMPARE(copy.Title, original.Title);
    QCOMPARE(copy.Scenarios.Count(), original.Scenarios.Count());
    QCOMPARE(copy.FileName, std::string());
    QVERIFY(!copy.IsModified());
    QVERIFY(f.Prefs.Options().RecentFiles() == recentBefore);
}

void TMainFormTest::startPageShowsWhileNoWindowIsOpen() {
    TMainFixture f;
    f.Main->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.Main.get()));
    const ui::TStartPage& page = f.Main->StartPage();
    QMdiArea& area = f.Main->MdiArea();
    QVERIFY(page.isVisible());
    QCOMPARE(page.geometry(), area.viewport()->rect()); // the whole workspace
    ui::TScenariosForm& form = f.Open(MakeProject());
    QVERIFY(!page.isVisible());
    form.RunReport(TReportKind::EmfDetails);
    QCOMPARE(area.subWindowList().size(), 2);
    // Closing the report leaves the project window: the page stays away.
    area.closeActiveSubWindow();
    QTRY_COMPARE(area.subWindowList().size(), 1);
    QTest::qWait(20);
    QVERIFY(!page.isVisible());
    // The last window gone, the page is back.
    f.Prompts.Answers = {QMessageBox::No}; // the project was never saved
    area.subWindowList().front()->close();
    QTRY_VERIFY(area.subWindowList().isEmpty());
    QTRY_VERIFY(page.isVisible());
}

QTEST_MAIN(TMainFormTest)
#include "MainFormTest.moc"
