#pragma once
// The desktop program's start-up steps that come before any window: where the
// preferences file is, and the preferences with their three libraries loaded.

#include <QString>
#include <QStringList>

#include <memory>

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

// The preferences of the program at programFile (CORVALT_INI, beside the
// program, or the user's configuration folder) with the libraries loaded.
// What the user should know about them (an unreadable file, skipped library
// lines) is added to warnings; the program goes on with what could be read.
std::unique_ptr<TOptions> OpenPreferences(const QString& programFile, QStringList& warnings);

} // namespace corvalt::ui
