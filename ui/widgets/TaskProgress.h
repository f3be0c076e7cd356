#pragma once
// TTaskProgress: the progress of a background task (ui/app/BackgroundTask.h)
// as a bar, with a Cancel button beside it that asks the task to stop. The
// button is enabled while the task runs; the bar stays full after a
// computation that ended and empties after one that was cancelled.

#include <QPointer>
#include <QWidget>

class QProgressBar;
class QPushButton;

namespace corvalt::ui {

class TBackgroundTaskBase;

class TTaskProgress : public QWidget {
    Q_OBJECT
  public:
    explicit TTaskProgress(TBackgroundTaskBase& task, QWidget* parent = nullptr);

    QProgressBar& Bar() const { return *pbProgress_; }
    QPushButton& CancelButton() const { return *btCancel_; }

  private:
    void TaskStarted();
    void TaskFinished();
    void btCancelClick();

    QPointer<TBackgroundTaskBase> task_; // the task may go first (a member of the window)
    QProgressBar* pbProgress_ = nullptr;
    QPushButton* btCancel_ = nullptr;
};

} // namespace corvalt::ui
