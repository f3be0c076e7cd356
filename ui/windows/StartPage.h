#pragma once
// TStartPage: what the main window's empty workspace shows while no child
// window is open: the ways to begin (New Project, Open...), the sample projects
// that come with the program and the recent files. Each entry is a button that
// triggers one of the main window's commands, so it does exactly what that
// command does. The page lies over the workspace of the multiple-document area
// and hides itself while the area holds any window.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QVBoxLayout;

namespace corvalt::ui {

// One button of the start page: the command it triggers, its text and a line
// of detail under it (a file's folder, what the command does).
struct TStartEntry {
    QAction* Command = nullptr;
    QString Text;
    QString Detail;
};

// The sample projects that come with the program at programFile:
// share/corvalt/examples/*.emf beside its bin/ folder (in the build tree as
// where it is installed), sorted by name; empty when there are none.
QStringList InstalledSampleProjects(const QString& programFile);

class TStartPage : public QWidget {
    Q_OBJECT
  public:
    explicit TStartPage(QMdiArea& area);

    enum class TSection { Start, Samples, Recent };
    // Replaces the buttons of a section; a section without entries shows its
    // note (Samples, Recent) instead.
    void SetEntries(TSection section, const std::vector<TStartEntry>& entries);
    // The buttons of a section, in order (their object names are "btStart1",
    // "btSamples2", "btRecent1", ...).
    QList<QWidget*> Buttons(TSection section) const;

    // Shown exactly while the area holds no window.
    void UpdateVisibility();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct TSectionWidgets {
        QVBoxLayout* Entries = nullptr;
        QLabel* Empty = nullptr; // the note of an empty section
    };
    QWidget* CreateSection(TSection section, const QString& title, const QString& emptyNote);
    TSectionWidgets& Widgets(TSection section);
    const TSectionWidgets& Widgets(TSection section) const;

    QMdiArea& area_;
    TSectionWidgets sections_[3];
};

} // namespace corvalt::ui
