// Pictures of the main window with a project window, a report preview and the
// error window on the sample project, for looking at them. Run it under
// xvfb-run with a folder for the PNG files (not part of the test run).
#include "MainWinTestSupport.h"

#include "ui/app/EditDialogs.h"
#include "ui/app/ReportService.h"

#include "ui/app/AppLocale.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"
#include "ui/windows/ToolIcons.h"

#include "engine/ReportFonts.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::test;

namespace {

void Save(QWidget& widget, const QString& folder, const char* name) {
    SavePicture(widget, QDir(folder), QString::fromLatin1(name));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ui::UseCNumberFormat();
    RegisterReportFonts();
    QApplication::setWindowIcon(ui::ToolIcon(QStringLiteral("app")));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    // The program's own dialogs and reports on the starter library.
    TScriptedPrompts prompts;
    TTempPrefs prefs(ReadWholeFile(CORVALT_SOURCE_DIR "/examples/corvalt.INI"));
    ui::TProgramDialogs dialogs(prefs.Options());
    ui::TProgramReports reports(prefs.Options());
    ui::TMainForm main(prefs.Options(), dialogs, reports);
    main.SetPreferencesStatus("Preferences: " + QString::fromStdString(prefs.Path().string()));
    main.show();
    prompts.OnDialog = [&](QDialog& dialog) {
        dialog.show();
        Save(dialog, folder, "about");
        dialog.hide();
    };
    main.AddRecentFile(SampleProjectPath());
    main.StartWith({}); // a start without a project: the start page
    Save(main, folder, "start-page");
    main.mnAboutClick();
    main.OpenProjectFile(SampleProjectPath());
    ui::TScenariosForm* form = main.ActiveProjectWindow();
    form->Tree().setCurrentItem(form->Tree().topLevelItem(0)->child(1));
    Save(main, folder, "main-project");
    form->Tree().setCurrentItem(form->Tree().topLevelItem(0)->child(0));
    Save(main, folder, "main-points");
    form->Tree().setCurrentItem(form->Tree().topLevelItem(0));
    form->Tabs().setCurrentIndex(1);
    Save(main, folder, "main-second-tab");
    // A height typed in place, then a refused one explained in the status line.
    ui::TConductorGrid& grid = form->Grid();
    grid.setCurrentCell(1, ui::TConductorGrid::kHeightColumn);
    grid.editItem(grid.item(1, ui::TConductorGrid::kHeightColumn));
    if (auto* editor = grid.viewport()->findChild<QLineEdit*>()) {
        editor->setText(QStringLiteral("52.5"));
        Save(main, folder, "main-grid-edit");
        editor->setText(QStringLiteral("52.55"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        Save(main, folder, "main-grid-refused");
    }
    // Maximised (a bare X server has no window manager to do the resizing), a
    // project opened then fills the workspace.
    if (const QScreen* screen = main.screen()) main.setGeometry(screen->availableGeometry());
    main.showMaximized();
    main.OpenProjectFile(QStringLiteral(CORVALT_SOURCE_DIR "/examples/sample-metric.emf"));
    Save(main, folder, "main-maximised");
    main.ActiveProjectWindow()->parentWidget()->close();
    main.MdiArea().currentSubWindow()->showNormal(); // it took over the maximised state
    main.showNormal();
    main.resize(780, 480);

    form->RunReport(TReportKind::EmfDetails);
    Save(main, folder, "preview-width");
    main.ActiveReportWindow()->tbPageClick();
    Save(main, folder, "preview-page");
    main.ActiveReportWindow()->tbNextClick();
    main.ActiveReportWindow()->tbWidthClick();
    Save(main, folder, "preview-page-2");

    // More reports of the project: the Window menu tells them apart.
    form->RunReport(TReportKind::FloridaCompliance);
    form->Tabs().setCurrentIndex(0);
    form->RunReport(TReportKind::CoronaEffects);
    QMenu& windows = *main.Menus().mnWindow;
    windows.popup(main.mapToGlobal(QPoint(240, 20)));
    Save(windows, folder, "window-menu");
    windows.hide();

    // The map report of a project's plans, from Project, Preview / Print.
    main.OpenProjectFile(QStringLiteral(CORVALT_SOURCE_DIR "/examples/sample-plans.emf"));
    main.Actions().mnEmfMap->trigger();
    if (auto* map = main.ActiveReportWindow()) {
        map->tbPageClick();
        Save(main, folder, "preview-map");
    }

    // The user guide at a section with a picture (once the build has written it).
    if (ui::THelpWindow* help =
            ui::ShowHelp(main, QStringLiteral("building.html#structure-templates")))
        Save(*help, folder, "help-window");

    std::unique_ptr<TEmfProject> failing = MakeProject();
    TScenario& section = failing->Scenarios[0];
    section.Circuits[0].Conductors[0].Height = 0;
    section.Circuits[1].DistFromRowLeft = section.Circuits[0].DistFromRowLeft;
    prompts.OnDialog = [&](QDialog& dialog) {
        dialog.show();
        Save(dialog, folder, "errors");
        dialog.hide();
    };
    main.OpenReportWindow(*failing, &section, TReportKind::EmfDetails);
    return 0;
}
