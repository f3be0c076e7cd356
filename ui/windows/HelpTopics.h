#pragma once
// Which section of the user guide each window and dialog opens on F1, in one
// table, and the application-wide key filter that opens it: F1 in a dialog
// (or a page of it) shows the guide at its section; the main window's own F1
// (Help, User Guide) shows the contents.
//
//   qApp->installEventFilter(new THelpKeys(mainForm));

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace corvalt::ui {

// The topic ("page.html#section") of the innermost widget from widget up
// through its parents that has one; empty when none has.
QString HelpTopicFor(const QWidget* widget);
// Every topic of the table, for checking them against the guide's pages.
QStringList HelpTopics();

class THelpKeys : public QObject {
    Q_OBJECT
  public:
    // home keeps the help window of the windows that are not modal.
    explicit THelpKeys(QWidget& home);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& home_;
};

} // namespace corvalt::ui
