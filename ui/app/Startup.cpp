#include "ui/app/Startup.h"

#include "prefs/IniLocation.h"
#include "prefs/Options.h"
#include "ui/app/TextConvert.h"

namespace corvalt::ui {

std::unique_ptr<TOptions> OpenPreferences(const QString& programFile, QStringList& warnings) {
    const TIniLocation location =
        LocateIniFile(IniSearchFor(programFile.toStdString(), std::filesystem::path()));
    auto options = std::make_unique<TOptions>(location.File);
    if (const TPrefsError unreadable = options->CheckReadable()) {
        warnings << ToQString(*unreadable);
        return options;
    }
    if (const int skipped = options->LoadLibraries(); skipped > 0) {
        warnings << QStringLiteral("%1 unusable line%2 of the libraries in %3 %4 skipped.")
                        .arg(skipped)
                        .arg(skipped == 1 ? "" : "s")
                        .arg(QString::fromStdString(location.File.string()))
                        .arg(skipped == 1 ? "was" : "were");
    }
    return options;
}

} // namespace corvalt::ui
