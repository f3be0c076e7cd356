// Ways into a project besides File Open: the recent files of the Project menu
// (kept in the preferences file) and project files dropped on the main window.
#include "MainWinTestSupport.h"

#include "model/Messages.h"
#include "ui/app/ProjectFiles.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace corvalt;
using namespace corvalt::test;

namespace {

// Copies of the sample project under the given names in a fresh folder.
class TProjectFolder {
  public:
    QString Add(const QString& name) {
        const QString path = dir_.filePath(name);
        if (!QFile::copy(SampleProjectPath(), path)) qFatal("cannot copy the sample project");
        return path;
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

// The texts of the Project menu's visible recent-file entries.
QStringList RecentTexts(const ui::TMainForm& main) {
    QStringList texts;
    for (const QAction* recent : main.Actions().mnRecentFiles)
        if (recent->isVisible()) texts << recent->text();
    return texts;
}

QStringList RecentPaths(const ui::TMainForm& main) {
    QStringList paths;
    for (const QAction* recent : main.Actions().mnRecentFiles)
        if (recent->isVisible()) paths << recent->statusTip();
    return paths;
}

int WindowCount(const ui::TMainForm& main) {
    return static_cast<int>(main.MdiArea().subWindowList().size());
}

QString ActiveFile(const ui::TMainForm& main) {
    return QString::fromStdString(main.ActiveProjectWindow()->Project().FileName);
}

// Drags the URLs onto the main window and drops them; whether the window
// took the drag.
bool DragAndDrop(ui::TMainForm& main, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = main.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &drop);
    return drop.isAccepted();
}

} // namespace

class TOpenFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void recentFilesAreTheLastOpenedOrSavedNewestFirst();
    void recentFilesStayInThePreferencesFile();
    void aRecentFileThatIsGoneLeavesTheList();
    void openingAnOpenFileShowsItsWindow();
    void droppedFilesThatAreProjectsOpen_data();
    void droppedFilesThatAreProjectsOpen();
};

void TOpenFilesTest::recentFilesAreTheLastOpenedOrSavedNewestFirst() {
    TMainFixture f;
    TProjectFolder folder;
    QVERIFY(RecentTexts(*f.Main).isEmpty());
    QVERIFY(!f.Main->Actions().mnRecentSeparator->isVisible());

    const QString a = folder.Add("a.emf");
    const QString b = folder.Add("b.emf");
    QVERIFY(f.Main->OpenProjectFile(a));
    QVERIFY(f.Main->OpenProjectFile(b));
    QCOMPARE(RecentTexts(*f.Main), (QStringList{"&1 b.emf", "&2 a.emf"}));
    QCOMPARE(RecentPaths(*f.Main), (QStringList{b, a})); // the whole path in the status line
    QVERIFY(f.Main->Actions().mnRecentSeparator->isVisible());

    // Save As puts the new name first; the window of a.emf is still open.
    f.Prompts.FileNames << folder.Path("c.emf");
    f.Main->Actions().mnSaveAs->trigger();
    QCOMPARE(RecentTexts(*f.Main), (QStringList{"&1 c.emf", "&2 b.emf", "&3 a.emf"}));

    // Choosing one opens it (here: shows its open window) and moves it up.
    f.Main->Actions().mnRecentFiles[2]->trigger();
    QCOMPARE(ActiveFile(*f.Main), a);
    QCOMPARE(RecentTexts(*f.Main), (QStringList{"&1 a.emf", "&2 c.emf", "&3 b.emf"}));

    // An ampersand in a name is shown, not taken as the entry's key.
    QVERIFY(f.Main->OpenProjectFile(folder.Add("R&D.emf")));
    QCOMPARE(RecentTexts(*f.Main).front(), QStringLiteral("&1 R&&D.emf"));

    // Nine files: the oldest falls off the eight.
    for (int i = 1; i <= 9; ++i)
        QVERIFY(f.Main->OpenProjectFile(folder.Add(QStringLiteral("n%1.emf").arg(i))));
    QCOMPARE(RecentTexts(*f.Main).size(), 8);
    QCOMPARE(RecentTexts(*f.Main).front(), QStringLiteral("&1 n9.emf"));
    QCOMPARE(RecentTexts(*f.Main).back(), QStringLiteral("&8 n2.emf"));
}

void TOpenFilesTest::recentFilesStayInThePreferencesFile() {
    TProjectFolder folder;
    const QString a = folder.Add("a.emf");
    TMainFixture f;
    QVERIFY(f.Main->OpenProjectFile(a));
    QVERIFY(f.Prefs.FileText().find("[RecentFiles]\nFile1=" + a.toStdString() + "\n") !=
            std::string::npos);
    // A main window started later lists it at once.
    ui::TMainForm later(f.Prefs.Options(), f.Dialogs, f.Reports);
    QCOMPARE(RecentPaths(later), QStringList{a});
}

void TOpenFilesTest::aRecentFileThatIsGoneLeavesTheList() {
    TProjectFolder folder;
    const QString kept = folder.Add("kept.emf");
    const QString gone = folder.Path("gone.emf");
    TMainFixture f("[RecentFiles]\nFile1=" + gone.toStdString() + "\nFile2=" + kept.toStdString() +
                   "\n");
    QCOMPARE(RecentPaths(*f.Main), (QStringList{gone, kept}));
    f.Main->Actions().mnRecentFiles[0]->trigger();
    QCOMPARE(f.Prompts.MessageTexts(), QStringList{messages::kFileDoesNotExist});
    QCOMPARE(WindowCount(*f.Main), 0);
    QCOMPARE(RecentPaths(*f.Main), QStringList{kept});

    // A file that is there but cannot be read stays listed.
    QFile damaged(kept);
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not a project");
    damaged.close();
    f.Main->Actions().mnRecentFiles[0]->trigger();
    QCOMPARE(f.Prompts.Messages.size(), 2u);
    QCOMPARE(RecentPaths(*f.Main), QStringList{kept});
}

void TOpenFilesTest::openingAnOpenFileShowsItsWindow() {
    TMainFixture f;
    TProjectFolder folder;
    const QString a = folder.Add("a.emf");
    QVERIFY(f.Main->OpenProjectFile(a));
    QVERIFY(f.Main->OpenProjectFile(folder.Add("b.emf")));
    // Another spelling of the same file is the same file.
    QVERIFY(QDir().mkpath(folder.Path("sub")));
    QVERIFY(f.Main->OpenProjectFile(folder.Path("sub/../a.emf")));
    QCOMPARE(WindowCount(*f.Main), 2);
    QCOMPARE(ActiveFile(*f.Main), a);
}

void TOpenFilesTest::droppedFilesThatAreProjectsOpen_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("windows");
    QTest::newRow("one project") << QStringList{"a.emf"} << true << 1;
    QTest::newRow("capital extension") << QStringList{"B.EMF"} << true << 1;
    QTest::newRow("two projects") << QStringList{"a.emf", "b.emf"} << true << 2;
    QTest::newRow("projects among other files")
        << QStringList{"notes.txt", "a.emf", "plot.png"} << true << 1;
    QTest::newRow("no project") << QStringList{"notes.txt"} << false << 0;
    QTest::newRow("emf only in the name") << QStringList{"a.emf.txt"} << false << 0;
}

void TOpenFilesTest::droppedFilesThatAreProjectsOpen() {
    QFETCH(QStringList, names);
    QFETCH(bool, taken);
    QFETCH(int, windows);
    TMainFixture f;
    TProjectFolder folder;
    QList<QUrl> urls;
    for (const QString& name : names)
        urls << QUrl::fromLocalFile(folder.Add(name));
    QCOMPARE(DragAndDrop(*f.Main, urls), taken);
    QCOMPARE(WindowCount(*f.Main), windows);
    QVERIFY(f.Prompts.Messages.empty());
    // Only files on this computer open.
    QVERIFY(!DragAndDrop(*f.Main, {QUrl(QStringLiteral("https://example.com/line.emf"))}));
}

QTEST_MAIN(TOpenFilesTest)
#include "OpenFilesTest.moc"
