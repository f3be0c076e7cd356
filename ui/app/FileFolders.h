#pragma once
// Where the file dialogs open and what they propose: each kind of file
// remembers the folder it was last chosen in (kept in the preferences file,
// [Window]), and a save dialog proposes a file name made from what is saved
// (the project title, the cross section for exports).

#include <QString>

namespace corvalt {
class TEmfProject;
class TOptions;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

enum class TFileKind { Project, Report, Csv, Picture, Bpa };

// A file name from a title: the characters a file name cannot hold on the
// common file systems (/ \ : * ? " < > | and control characters) become
// "-", blanks at the ends go; fallback when nothing is left.
QString FileNameFromTitle(const QString& title, const QString& fallback);

// The folder the dialog of this kind opens in: the one last chosen when it
// still exists, else fallbackFolder (may be empty: the dialog's own choice).
QString StartFolder(const TOptions& options, TFileKind kind, const QString& fallbackFolder = {});

// What a save dialog proposes: FileNameFromTitle(title) with the extension
// (".csv"), in StartFolder.
QString ProposedFile(const TOptions& options, TFileKind kind, const QString& title,
                     const QString& fallbackName, const QString& extension,
                     const QString& fallbackFolder = {});

// Keeps the chosen file's folder for the next dialog of its kind. A
// preferences file that cannot be written only loses the folder.
void RememberFolder(TOptions& options, TFileKind kind, const QString& chosenFile);

// The folder of the project's file; empty for a project never saved.
QString ProjectFolder(const TEmfProject& project);

// What an export of the cross section is called: the project title and the
// cross section's tab name, "Bayside 230 kV - North" (either alone when the
// other is blank).
QString ExportTitle(const TScenario& scenario);

} // namespace corvalt::ui
