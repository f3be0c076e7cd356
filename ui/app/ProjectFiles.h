#pragma once
// File names and file messages of the project commands: the ".emf" extension
// rules of Open and Save, the dialogs' filter, and showing a load or save
// failure the model reports.

#include "model/FileResult.h"

#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;

namespace corvalt::ui {

inline constexpr const char* kProjectExtension = ".emf";
inline constexpr const char* kProjectFilter = "Corvalt project (*.emf)";

// The extension of the file-name part, from its last "." ("" when none; a
// leading "." of a hidden file's name is no extension).
QString FileExtension(const QString& path);

// The path with its extension replaced by extension (appended when it has none).
QString ChangeFileExtension(const QString& path, const QString& extension);

// The name File Open loads: ".emf" in place of an extension that, right-trimmed,
// is empty or a lone "."; any other name as chosen.
QString OpenFileNameWithDefault(const QString& chosen);

// The name Save writes: the extension replaced by ".emf", whatever it was.
QString SaveFileNameFor(const QString& fileName);

// The project files among what was dragged onto a window: local files named
// "*.emf" (any case), in the order given.
QStringList DroppedProjectFiles(const QMimeData& data);

// The model's message for a failed load or save as an error box (the detail,
// naming what failed, behind the box's details button).
void ShowFileError(QWidget* parent, const TFileResult& result);

} // namespace corvalt::ui
