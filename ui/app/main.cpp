// corvalt: the desktop program. Preferences and libraries first (the starter
// library becomes the preferences file of a first start), then the main
// window (and with it the hidden error window), then the event loop; the
// report page files go with the main window at exit.
#include "engine/ReportFonts.h"
#include "model/StopCleanup.h"
#include "prefs/Options.h"
#include "ui/app/AppLocale.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/GuardedApplication.h"
#include "ui/app/Prompts.h"
#include "ui/app/ReportService.h"
#include "ui/app/Startup.h"
#include "ui/windows/MainForm.h"
#include "ui/windows/ToolIcons.h"

#include <QApplication>

namespace {

int RunProgram(int argc, char* argv[]) {
    using namespace corvalt;
    ui::TGuardedApplication app(argc, argv);
    ui::UseCNumberFormat();
    QApplication::setApplicationName(QStringLiteral("Corvalt"));
    QApplication::setApplicationVersion(QStringLiteral("1.19"));
    QApplication::setWindowIcon(ui::ToolIcon(QStringLiteral("app")));
    RegisterReportFonts();

    const ui::TStartupPreferences preferences =
        ui::OpenPreferences(QCoreApplication::applicationFilePath());
    for (const QString& warning : preferences.Warnings)
        ui::ShowWarning(nullptr, warning);
    TOptions& options = *preferences.Options;

    ui::TProgramDialogs dialogs(options);
    ui::TProgramReports reports(options);
    ui::TMainForm mainForm(options, dialogs, reports);
    mainForm.SetPreferencesStatus(preferences.Status);
    mainForm.ShowAsKept();
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    mainForm.StartWith(arguments);
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    // What fails outside the event loop (start-up, exit) is said on stderr:
    // there may be no application object left to show a message box with.
    // Before any thread starts, so that only the cleanup thread takes SIGTERM:
    // a save it interrupts leaves no half-written file beside the project.
    corvalt::InstallStopCleanup();
    int code = 2;
    try {
        code = RunProgram(argc, argv);
    } catch (...) {
        qCritical("corvalt: %s",
                  qUtf8Printable(corvalt::ui::UnexpectedErrorText(std::current_exception())));
    }
    corvalt::AwaitStaleLeftoversRemoved();
    return code;
}
