// corvalt: the desktop program. Preferences and libraries first, then the main
// window (and with it the hidden error window), then the event loop; the
// report page files go with the main window at exit.
#include "engine/ReportFonts.h"
#include "prefs/Options.h"
#include "ui/AppLocale.h"
#include "ui/EditDialogs.h"
#include "ui/GuardedApplication.h"
#include "ui/MainForm.h"
#include "ui/Prompts.h"
#include "ui/ReportService.h"
#include "ui/Startup.h"
#include "ui/ToolIcons.h"

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

    QStringList warnings;
    const std::unique_ptr<TOptions> options =
        ui::OpenPreferences(QCoreApplication::applicationFilePath(), warnings);
    for (const QString& warning : warnings)
        ui::ShowWarning(nullptr, warning);

    ui::TProgramDialogs dialogs(*options);
    ui::TProgramReports reports(*options);
    ui::TMainForm mainForm(*options, dialogs, reports);
    mainForm.show();
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    mainForm.StartWith(arguments);
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    // What fails outside the event loop (start-up, exit) is said on stderr:
    // there may be no application object left to show a message box with.
    try {
        return RunProgram(argc, argv);
    } catch (...) {
        qCritical("corvalt: %s",
                  qUtf8Printable(corvalt::ui::UnexpectedErrorText(std::current_exception())));
        return 2;
    }
}
