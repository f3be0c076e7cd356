// F1 opens the user guide at the section of the window or dialog it is pressed
// in, and that section exists in the guide the build wrote.
#include "MainWinTestSupport.h"

#include "model/FieldLimitTable.h"
#include "ui/dialogs/ChangeCoords.h"
#include "ui/dialogs/CircuitForm.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/CondDlg.h"
#include "ui/dialogs/EditPrjForm.h"
#include "ui/dialogs/LibraryEditors.h"
#include "ui/dialogs/OptionsForm.h"
#include "ui/dialogs/PhasingDialog.h"
#include "ui/dialogs/PictureLayoutDialog.h"
#include "ui/dialogs/PoiForm.h"
#include "ui/dialogs/ScenarioForm.h"
#include "ui/windows/HelpTopics.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/MainForm.h"
#include "ui/windows/ResultsPanel.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QFile>
#include <QTest>
#include <QTextBrowser>

#include <functional>

using namespace corvalt;
using namespace corvalt::test;

namespace {

// Where F1 was pressed (a dialog, or a widget inside one) and the section
// the guide should show.
struct TCase {
    const char* Name;
    std::function<std::unique_ptr<QWidget>()> Make;
    const char* FocusChild; // objectName of the widget that takes the key; null: the window
    QString Topic;
};

// The help window that F1 in window opened: the window's own when it is
// modal, the main window's otherwise.
ui::THelpWindow* HelpOf(QWidget& owner) {
    return owner.findChild<ui::THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

// Whether the guide the build wrote has the page of topic ("page.html#id")
// and, when it names one, that anchor on it.
void VerifyGuideHas(const QString& topic) {
    QFile page(ui::GuideFolder(QCoreApplication::applicationFilePath()) + QLatin1Char('/') +
               topic.section(QLatin1Char('#'), 0, 0));
    QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
    const QString id = topic.section(QLatin1Char('#'), 1);
    if (id.isEmpty()) return; // the page's top
    const QByteArray anchor = "<a name=\"" + id.toUtf8() + "\">";
    QVERIFY2(page.readAll().contains(anchor), anchor.constData());
}

// The topic the help window shows, which the guide has.
void VerifyShows(ui::THelpWindow* help, const QString& topic) {
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    const QUrl source = help->Browser().source();
    QCOMPARE(source.fileName() + QLatin1Char('#') + source.fragment(), topic);
    VerifyGuideHas(topic);
}

} // namespace

class THelpTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QuietOffscreenWarnings(); }
    void f1OpensTheSectionOfEachDialog();
    void mainWindowOpensContentsAndItsPartsTheirSections();
    void guideHasEverySectionOfTheTable();
    void guideLiesBesideTheProgramsFolder();
};

void THelpTest::f1OpensTheSectionOfEachDialog() {
    TMainFixture fixture(kSampleLibraries);
    TOptions& options = fixture.Prefs.Options();
    std::unique_ptr<TEmfProject> project = MakeProject();
    TScenario& section = project->Scenarios[0];
    TCircuit& circuit = section.Circuits[0];
    using ui::TLibraryEdit;
    const std::vector<TCase> cases{
        {"project",
         [&] {
             return std::make_unique<ui::TEditPrjForm>(*project, options,
                                                       ui::TEditPrjForm::TMode::Edit);
         },
         nullptr, "building.html#project"},
        {"cross section",
         [&] { return std::make_unique<ui::TScenarioForm>(*project, &section, options); }, nullptr,
         "building.html#cross-sections"},
        {"circuit", [&] { return std::make_unique<ui::TCircuitForm>(section, nullptr, options); },
         "cbTemplate", "building.html#circuits"},
        {"conductor",
         [&] { return std::make_unique<ui::TCondDlg>(circuit, &circuit.Conductors[0], options); },
         nullptr, "building.html#conductors"},
        {"coordinates", [&] { return std::make_unique<ui::TChangeCoords>(circuit, options); },
         nullptr, "building.html#coordinates"},
        {"point of interest",
         [&] { return std::make_unique<ui::TPoiForm>(section, nullptr, options); }, nullptr,
         "building.html#points-of-interest"},
        {"phasing", [&] { return std::make_unique<ui::TPhasingDialog>(*project, 0); }, nullptr,
         "design.html#phasing-optimiser"},
        {"clearance",
         [&] { return std::make_unique<ui::TClearanceDialog>(*project, 0, DefaultFieldLimits()); },
         nullptr, "design.html#clearance-solver"},
        {"picture size",
         [] { return std::make_unique<ui::TPictureLayoutDialog>(TPictureFormat::Png); }, nullptr,
         "results.html#exporting"},
        {"preferences", [&] { return std::make_unique<ui::TOptionsForm>(options); }, nullptr,
         "preferences.html#preferences"},
        // A field of the Limits page: the page's section, not the dialog's.
        {"limits page", [&] { return std::make_unique<ui::TOptionsForm>(options); }, "eLimit0_0",
         "limits.html#field-limits"},
        {"voltage class",
         [&] {
             return std::make_unique<ui::TVoltageForm>(options.Voltages(), TLibraryEdit::Edit, 0,
                                                       true);
         },
         nullptr, "preferences.html#libraries"},
        {"conductor type",
         [&] {
             return std::make_unique<ui::TCondOhgwForm>(options, ui::TLibraryKind::Conductors,
                                                        TLibraryEdit::Insert, 0, English, true);
         },
         nullptr, "preferences.html#libraries"},
        // Shown without modality, as the program shows it.
        {"errors", [] { return std::make_unique<ui::TRptErrorForm>(); }, nullptr,
         "reports.html#data-check"},
    };
    for (const TCase& c : cases) {
        const std::unique_ptr<QWidget> window = c.Make();
        const bool modal = QString::fromLatin1(c.Name) != QStringLiteral("errors");
        if (modal) window->setWindowModality(Qt::ApplicationModal);
        window->show();
        QWidget* target = window.get();
        if (c.FocusChild != nullptr)
            target = window->findChild<QWidget*>(QString::fromLatin1(c.FocusChild));
        QVERIFY2(target != nullptr, c.Name);
        QTest::keyClick(target, Qt::Key_F1);
        ui::THelpWindow* help = HelpOf(modal ? *window : static_cast<QWidget&>(*fixture.Main));
        VerifyShows(help, c.Topic);
        if (QTest::currentTestFailed()) {
            qWarning("in the case \"%s\"", c.Name);
            return;
        }
        QCOMPARE(fixture.Prompts.Messages.size(), 0);
        delete HelpOf(*fixture.Main);
    }
}

void THelpTest::mainWindowOpensContentsAndItsPartsTheirSections() {
    TMainFixture fixture(kSampleLibraries);
    ui::TMainForm& main = *fixture.Main;
    main.Actions().mnUserGuide->trigger();
    VerifyShows(HelpOf(main), QStringLiteral("index.html#"));

    ui::TScenariosForm& form = fixture.Open(MakeProject());
    QTest::keyClick(&form.Grid(), Qt::Key_F1);
    VerifyShows(HelpOf(main), QStringLiteral("building.html#project-window"));
    QTest::keyClick(form.ResultsPanel(), Qt::Key_F1);
    VerifyShows(HelpOf(main), QStringLiteral("results.html#results-panel"));
    // Shift+F1 is not the guide's key.
    main.Actions().mnUserGuide->trigger();
    QTest::keyClick(&form.Grid(), Qt::Key_F1, Qt::ShiftModifier);
    VerifyShows(HelpOf(main), QStringLiteral("index.html#"));
}

void THelpTest::guideHasEverySectionOfTheTable() {
    const QStringList topics = ui::HelpTopics();
    QVERIFY(topics.size() >= 17);
    for (const QString& topic : topics) {
        VerifyGuideHas(topic);
        if (QTest::currentTestFailed()) return;
    }
}

void THelpTest::guideLiesBesideTheProgramsFolder() {
    QCOMPARE(ui::GuideFolder(QStringLiteral("/opt/corvalt/bin/corvalt")),
             QStringLiteral("/opt/corvalt/share/corvalt/guide"));
}

QTEST_MAIN(THelpTest)
#include "HelpTest.moc"
