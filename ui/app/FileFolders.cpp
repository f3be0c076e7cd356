#include "ui/app/FileFolders.h"

#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/app/TextConvert.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <string>

namespace corvalt::ui {
namespace {

const TPrefKey& FolderKey(TFileKind kind) {
    switch (kind) {
    case TFileKind::Project:
        return prefkeys::ProjectFolder;
    case TFileKind::Report:
        return prefkeys::ReportFolder;
    case TFileKind::Csv:
        return prefkeys::CsvFolder;
    case TFileKind::Picture:
        return prefkeys::PictureFolder;
    case TFileKind::Bpa:
        break;
    }
    return prefkeys::BpaFolder;
}

} // namespace

QString FileNameFromTitle(const QString& title, const QString& fallback) {
    static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
    QString name;
    name.reserve(title.size());
    for (const QChar c : title)
        name += (c.unicode() < 32 || c.unicode() == 127 || kForbidden.contains(c)) ? QChar('-') : c;
    name = name.trimmed();
    // "." and ".." name folders, not files.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return fallback;
    return name;
}

QString StartFolder(const TOptions& options, TFileKind kind, const QString& fallbackFolder) {
    const QString kept = ToQString(options.ReadText(FolderKey(kind)));
    if (!kept.isEmpty() && QFileInfo(kept).isDir()) return kept;
    return fallbackFolder;
}

QString ProposedFile(const TOptions& options, TFileKind kind, const QString& title,
                     const QString& fallbackName, const QString& extension,
                     const QString& fallbackFolder) {
    const QString name = FileNameFromTitle(title, fallbackName) + extension;
    const QString folder = StartFolder(options, kind, fallbackFolder);
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

void RememberFolder(TOptions& options, TFileKind kind, const QString& chosenFile) {
    if (chosenFile.isEmpty()) return;
    const std::string folder = ToBytes(QFileInfo(chosenFile).absolutePath());
    if (options.ReadText(FolderKey(kind)) == folder) return;
    (void)options.WriteText(FolderKey(kind), folder);
}

QString ProjectFolder(const TEmfProject& project) {
    const QString file = ToQString(project.FileName);
    return TrimmedRight(file).isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

QString ExportTitle(const TScenario& scenario) {
    QStringList parts;
    for (const std::string& part : {scenario.Project->Title, scenario.TabTitle})
        if (const QString text = TrimmedRight(ToQString(part)).trimmed(); !text.isEmpty())
            parts << text;
    return parts.join(QStringLiteral(" - "));
}

} // namespace corvalt::ui
