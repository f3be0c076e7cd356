#pragma once
// The desktop program's start-up steps that come before any window: where the
// preferences file is, the starter library as a first preferences file, and
// the preferences with their three libraries loaded.

#include <QString>
#include <QStringList>

#include <memory>

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

struct TStartupPreferences {
    std::unique_ptr<TOptions> Options;
    // What the user should know at once (an unreadable file, skipped library
    // lines, a starter library that could not be copied): message boxes. The
    // program goes on with what could be read.
    QStringList Warnings;
    // Where the preferences file is, for the status line.
    QString Status;
};

// The preferences of the program at programFile (CORVALT_INI, beside the
// program, or the user's configuration folder) with the libraries loaded.
// When there is no preferences file yet, the starter library that comes with
// the program becomes it.
TStartupPreferences OpenPreferences(const QString& programFile);

} // namespace corvalt::ui
