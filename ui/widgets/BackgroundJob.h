#pragma once
// TBackgroundJob: runs a long computation (a design tool's search) in a worker
// thread while the window stays responsive, showing its progress in a bar
// with a Cancel button beside it. The job reports the share done through the
// callback it is given, which answers false once Cancel was pressed; the job
// then returns early. Finished is emitted in the window's thread after the job
// returned, so whatever the job wrote is safe to read there.
//
//   job_->Start([this](const TBackgroundJob::TReport& report) {
//       result_ = Search(copy_, report); // in the worker thread
//   });
//   connect(job_, &TBackgroundJob::Finished, this, &TDialog::ShowResult);

#include <QWidget>

#include <atomic>
#include <functional>

class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace corvalt::ui {

class TBackgroundJob : public QWidget {
    Q_OBJECT
  public:
    using TReport = std::function<bool(double done)>;
    using TJob = std::function<void(const TReport& report)>;

    explicit TBackgroundJob(QWidget* parent = nullptr);
    // Cancels a running job and waits for it: the job may use its owner's data.
    ~TBackgroundJob() override;

    // Runs the job in a new worker thread; not while one runs.
    void Start(TJob job);
    bool Running() const { return thread_ != nullptr; }
    // Asks the running job to stop (it ends at its next report).
    void Cancel();
    // Cancels and waits until the job has returned (closing the window).
    void Stop();
    // Whether the last job was asked to stop.
    bool WasCancelled() const { return cancel_; }

    QProgressBar& Bar() const { return *pbProgress_; }
    QPushButton& CancelButton() const { return *btCancel_; }

  signals:
    void Finished();

  private:
    void ShowProgress();
    void JobEnded();

    QProgressBar* pbProgress_ = nullptr;
    QPushButton* btCancel_ = nullptr;
    QTimer* timer_ = nullptr;
    QThread* thread_ = nullptr;
    std::atomic<bool> cancel_ = false;
    std::atomic<int> permille_ = 0;
};

} // namespace corvalt::ui
