#include "ui/app/ProjectFiles.h"

#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"

#include <QMimeData>
#include <QUrl>

namespace corvalt::ui {
namespace {

// Index of the extension's "." in path, or -1.
qsizetype ExtensionStart(const QString& path) {
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > nameStart ? dot : -1;
}

} // namespace

QString FileExtension(const QString& path) {
    const qsizetype dot = ExtensionStart(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString ChangeFileExtension(const QString& path, const QString& extension) {
    const qsizetype dot = ExtensionStart(path);
    return (dot < 0 ? path : path.left(dot)) + extension;
}

QString OpenFileNameWithDefault(const QString& chosen) {
    const QString extension = TrimmedRight(FileExtension(chosen));
    if (extension.isEmpty() || extension == QLatin1String("."))
        return ChangeFileExtension(chosen, QString::fromLatin1(kProjectExtension));
    return chosen;
}

QString SaveFileNameFor(const QString& fileName) {
    return ChangeFileExtension(fileName, QString::fromLatin1(kProjectExtension));
}

QStringList DroppedProjectFiles(const QMimeData& data) {
    QStringList files;
    for (const QUrl& url : data.urls()) {
        const QString file = url.toLocalFile();
        if (!file.isEmpty() &&
            FileExtension(file).compare(QLatin1String(kProjectExtension), Qt::CaseInsensitive) == 0)
            files << file;
    }
    return files;
}

void ShowFileError(QWidget* parent, const TFileResult& result) {
    ShowError(parent, ToQString(result.Message), ToQString(result.Detail));
}

} // namespace corvalt::ui
