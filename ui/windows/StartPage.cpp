#include "ui/windows/StartPage.h"

#include "model/Version.h"
#include "prefs/StarterLibrary.h"

#include <QAction>
#include <QChildEvent>
#include <QCommandLinkButton>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

std::size_t Slot(TStartPage::TSection section) {
    return static_cast<std::size_t>(section);
}

const char* ButtonPrefix(TStartPage::TSection section) {
    switch (section) {
    case TStartPage::TSection::Start:
        return "btStart";
    case TStartPage::TSection::Samples:
        return "btSamples";
    case TStartPage::TSection::Recent:
        return "btRecent";
    }
    return "bt";
}

QLabel* Heading(const QString& text, double scale) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    return label;
}

} // namespace

QStringList InstalledSampleProjects(const QString& programFile) {
    if (programFile.isEmpty()) return {};
    const QDir folder(
        QFileInfo(programFile)
            .absoluteDir()
            .filePath(
                QStringLiteral("../%1/examples").arg(QString::fromLatin1(kStarterLibraryFolder))));
    QStringList files;
    for (const QFileInfo& file :
         folder.entryInfoList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name))
        files << QDir::cleanPath(file.absoluteFilePath());
    return files;
}

TStartPage::TStartPage(QMdiArea& area) : QWidget(area.viewport()), area_(area) {
    setObjectName(QStringLiteral("StartPage"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    auto* title = Heading(QStringLiteral("Corvalt"), 2.0);
    auto* purpose = new QLabel(QStringLiteral("Electric and magnetic fields and corona effects "
                                              "of overhead transmission lines  \u2014  ") +
                               QString::fromLatin1(kVersionText));
    // Two columns, so that a window of the first start's size shows every
    // title whole: how to begin with the recent files under it, and the samples.
    auto* begin = new QVBoxLayout;
    begin->setSpacing(16);
    begin->addWidget(CreateSection(TSection::Start, QStringLiteral("Start"), {}));
    begin->addWidget(CreateSection(TSection::Recent, QStringLiteral("Recent Files"),
                                   QStringLiteral("Projects you open or save are listed here.")));
    begin->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(32);
    columns->addLayout(begin);
    columns->addWidget(CreateSection(TSection::Samples, QStringLiteral("Sample Projects"),
                                     QStringLiteral("No sample projects are installed.")),
                       0, Qt::AlignTop);

    auto* contents = new QVBoxLayout;
    contents->addWidget(title);
    contents->addWidget(purpose);
    contents->addSpacing(16);
    contents->addLayout(columns);
    // The contents stay together near the top left of a large workspace.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addLayout(contents, 0, 0);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);

    area.viewport()->installEventFilter(this);
    setGeometry(area.viewport()->rect());
    UpdateVisibility();
}

QWidget* TStartPage::CreateSection(TSection section, const QString& title,
                                   const QString& emptyNote) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Heading(title, 1.2));
    TSectionWidgets& widgets = Widgets(section);
    widgets.Entries = new QVBoxLayout;
    widgets.Entries->setSpacing(2);
    layout->addLayout(widgets.Entries);
    widgets.Empty = new QLabel(emptyNote);
    widgets.Empty->setObjectName(QString::fromLatin1(ButtonPrefix(section)) +
                                 QStringLiteral("None"));
    widgets.Empty->setWordWrap(true);
    widgets.Empty->setVisible(!emptyNote.isEmpty());
    layout->addWidget(widgets.Empty);
    box->setMinimumWidth(220);
    return box;
}

TStartPage::TSectionWidgets& TStartPage::Widgets(TSection section) {
    return sections_[Slot(section)];
}

const TStartPage::TSectionWidgets& TStartPage::Widgets(TSection section) const {
    return sections_[Slot(section)];
}

void TStartPage::SetEntries(TSection section, const std::vector<TStartEntry>& entries) {
    TSectionWidgets& widgets = Widgets(section);
    for (QWidget* button : Buttons(section))
        delete button;
    int number = 0;
    for (const TStartEntry& entry : entries) {
        auto* button = new QCommandLinkButton(entry.Text, entry.Detail);
        button->setObjectName(QString::fromLatin1(ButtonPrefix(section)) +
                              QString::number(++number));
        button->setToolTip(entry.Command->statusTip());
        // The command itself runs: the page adds no behaviour of its own.
        connect(button, &QCommandLinkButton::clicked, entry.Command, &QAction::trigger);
        widgets.Entries->addWidget(button);
    }
    widgets.Empty->setVisible(entries.empty() && !widgets.Empty->text().isEmpty());
}

QList<QWidget*> TStartPage::Buttons(TSection section) const {
    QList<QWidget*> buttons;
    const QVBoxLayout& entries = *Widgets(section).Entries;
    for (int i = 0; i < entries.count(); ++i)
        if (QWidget* button = entries.itemAt(i)->widget()) buttons << button;
    return buttons;
}

void TStartPage::UpdateVisibility() {
    setVisible(area_.subWindowList().isEmpty());
}

bool TStartPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_.viewport()) {
        switch (event->type()) {
        case QEvent::Resize:
            setGeometry(area_.viewport()->rect());
            break;
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
            // A window comes or goes; the area's own list follows only after
            // this event, so the page looks once the event loop runs again.
            if (static_cast<QChildEvent*>(event)->child() != this)
                QMetaObject::invokeMethod(this, &TStartPage::UpdateVisibility,
                                          Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvalt::ui
