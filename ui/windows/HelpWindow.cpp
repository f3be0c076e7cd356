#include "ui/windows/HelpWindow.h"

#include "prefs/StarterLibrary.h"
#include "ui/app/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

constexpr int kPageMargin = 12; // pixels

} // namespace

QString GuideFolder(const QString& programFile) {
    return QDir::cleanPath(
        QFileInfo(programFile)
            .absoluteDir()
            .filePath(
                QStringLiteral("../%1/guide").arg(QString::fromLatin1(kStarterLibraryFolder))));
}

THelpWindow::THelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Corvalt User Guide"));
    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("tbGuide"));
    browser_->setOpenExternalLinks(true); // through QDesktopServices
    browser_->setSearchPaths({folder_});
    // Each page is a new document: give it room from the window's edges.
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { browser_->document()->setDocumentMargin(kPageMargin); });

    auto* tools = new QToolBar;
    QAction* contents = tools->addAction(QStringLiteral("&Contents"), this, [this] {
        ShowTopic(QString::fromLatin1(kGuideContents));
    });
    contents->setObjectName(QStringLiteral("acContents"));
    QAction* back = tools->addAction(QStringLiteral("&Back"), browser_, &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("acBack"));
    back->setShortcut(QKeySequence::Back);
    QAction* forward =
        tools->addAction(QStringLiteral("&Forward"), browser_, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("acForward"));
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(browser_);
    resize(860, 640);
}

void THelpWindow::ShowTopic(const QString& topic) {
    const QString page = topic.section(QLatin1Char('#'), 0, 0);
    QUrl url = QUrl::fromLocalFile(QDir(folder_).filePath(page));
    url.setFragment(topic.section(QLatin1Char('#'), 1));
    browser_->setSource(url);
}

THelpWindow* ShowHelp(QWidget& owner, const QString& topic) {
    const QString folder = GuideFolder(QCoreApplication::applicationFilePath());
    if (!QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(kGuideContents)))) {
        ShowWarning(&owner, QStringLiteral("The user guide is not installed: %1 was not found in "
                                           "%2.")
                                .arg(QString::fromLatin1(kGuideContents), folder));
        return nullptr;
    }
    auto* window = owner.findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window == nullptr) window = new THelpWindow(folder, &owner);
    window->ShowTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace corvalt::ui
