#include "ui/app/Startup.h"

#include "prefs/IniLocation.h"
#include "prefs/Options.h"
#include "prefs/StarterLibrary.h"
#include "ui/app/TextConvert.h"

namespace corvalt::ui {
namespace {

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QString StatusText(const std::filesystem::path& file, TStarterOutcome starter) {
    QString text = QStringLiteral("Preferences: ") + PathText(file);
    switch (starter) {
    case TStarterOutcome::Copied:
        return text + QStringLiteral(" (new, from the starter library)");
    case TStarterOutcome::NoStarter:
    case TStarterOutcome::Failed:
        return text + QStringLiteral(" (not created yet)");
    case TStarterOutcome::Existing:
        break;
    }
    return text;
}

} // namespace

TStartupPreferences OpenPreferences(const QString& programFile) {
    const std::filesystem::path program = programFile.toStdString();
    const TIniLocation location = LocateIniFile(IniSearchFor(program, std::filesystem::path()));
    const TStarterResult starter = ProvideStarterLibrary(location.File, StarterLibraryFor(program));

    TStartupPreferences result;
    result.Options = std::make_unique<TOptions>(location.File);
    result.Status = StatusText(location.File, starter.Outcome);
    if (starter.Outcome == TStarterOutcome::Failed)
        result.Warnings << QStringLiteral("The starter library could not be copied. %1")
                               .arg(ToQString(starter.Message));
    if (const TPrefsError unreadable = result.Options->CheckReadable()) {
        result.Warnings << ToQString(*unreadable);
        return result;
    }
    if (const int skipped = result.Options->LoadLibraries(); skipped > 0) {
        result.Warnings << QStringLiteral("%1 unusable line%2 of the libraries in %3 %4 skipped.")
                               .arg(skipped)
                               .arg(skipped == 1 ? "" : "s")
                               .arg(PathText(location.File))
                               .arg(skipped == 1 ? "was" : "were");
    }
    return result;
}

} // namespace corvalt::ui
