#pragma once
// TBackgroundTask<T>: the one way the windows run a long computation. It runs
// one computation at a time on Qt's thread pool, so the window stays free, and
// hands the result back in the window's thread with Finished. The computation
// is given a stop token, which Cancel sets and which it looks at between its
// steps, and a callback for the share done. The destructor cancels and waits:
// held as a member declared after the data the computation reads, the task
// stops before those go, and closing the window waits only until the
// computation's next look at the token.
//
//   TBackgroundTask<TResult> task_; // a member, after copy_
//   connect(&task_, &TBackgroundTaskBase::Finished, this, &TDialog::Ended);
//   task_.Start([&copy = *copy_](const TTaskControl& control) {
//       return Compute(copy, control.Progress, control.Stop); // on a worker thread
//   });
//   void TDialog::Ended() { std::optional<TResult> result = task_.TakeResult(); ... }

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <functional>
#include <new>
#include <optional>
#include <stop_token>
#include <utility>

namespace corvalt::ui {

// What a computation is given: the token it looks at between its steps, and
// where it tells the share done (0 to 1).
struct TTaskControl {
    std::stop_token Stop;
    std::function<void(double done)> Progress;
};

// The signals and the stop source of TBackgroundTask, which do not depend on
// the result's type.
class TBackgroundTaskBase : public QObject {
    Q_OBJECT
  public:
    // Progress is told in steps of 1 ÷ kProgressSteps.
    static constexpr int kProgressSteps = 1000;

    // From Start until Finished was emitted.
    bool Running() const { return running_; }
    // Asks the running computation, if any, to stop and returns at once;
    // Finished follows when it has returned.
    void Cancel();
    // Whether the running computation, or the last one, was asked to stop.
    bool CancelRequested() const { return cancelRequested_; }
    // Why the last computation gave no result (it threw); empty when it gave one.
    const QString& Failure() const { return failure_; }

  signals:
    void Started();
    void ProgressChanged(int steps); // 0 to kProgressSteps
    // The computation returned; its result is ready to take.
    void Finished();

  protected:
    explicit TBackgroundTaskBase(QObject* parent) : QObject(parent) {}

    // A fresh stop token for a new computation; emits Started.
    std::stop_token BeginRun();
    // Records the computation's end and emits Finished.
    void EndRun(QString failure);
    static int ProgressSteps(double done);

  private:
    std::stop_source stop_;
    bool cancelRequested_ = false;
    bool running_ = false;
    QString failure_;
};

template <typename T> class TBackgroundTask final : public TBackgroundTaskBase {
  public:
    using TWork = std::function<T(const TTaskControl& control)>;

    explicit TBackgroundTask(QObject* parent = nullptr) : TBackgroundTaskBase(parent) {
        connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this,
                &TBackgroundTaskBase::ProgressChanged);
        connect(&watcher_, &QFutureWatcherBase::finished, this, &TBackgroundTask::Collect);
    }

    // Cancels a running computation and waits until it has returned: it may
    // read its owner's data.
    ~TBackgroundTask() override {
        Cancel();
        // Not once Collect took the result: taking it leaves the future unfinished.
        if (Running()) watcher_.waitForFinished();
    }

    TBackgroundTask(const TBackgroundTask&) = delete;
    TBackgroundTask& operator=(const TBackgroundTask&) = delete;

    // Runs work on a worker thread; false (and nothing started) while a
    // computation runs.
    bool Start(TWork work) {
        if (Running()) return false;
        result_.reset();
        const std::stop_token stop = BeginRun();
        watcher_.setFuture(
            QtConcurrent::run([work = std::move(work), stop](QPromise<TOutcome>& promise) {
                promise.setProgressRange(0, kProgressSteps);
                const TTaskControl control{stop, [&promise](double done) {
                                               promise.setProgressValue(ProgressSteps(done));
                                           }};
                TOutcome outcome;
                try {
                    outcome.Result.emplace(work(control));
                } catch (const std::bad_alloc&) {
                    outcome.Failure = QStringLiteral("there is not enough memory.");
                } catch (const std::exception& error) {
                    outcome.Failure = QString::fromLocal8Bit(error.what());
                }
                promise.addResult(std::move(outcome));
            }));
        return true;
    }

    // The result of the computation that ended, once, after Finished; empty
    // when it threw (Failure says why) or was taken already.
    std::optional<T> TakeResult() { return std::exchange(result_, std::nullopt); }

  private:
    struct TOutcome {
        std::optional<T> Result;
        QString Failure;
    };

    void Collect() {
        QFuture<TOutcome> future = watcher_.future();
        TOutcome outcome = future.resultCount() > 0 ? future.takeResult() : TOutcome{};
        result_ = std::move(outcome.Result);
        EndRun(std::move(outcome.Failure));
    }

    QFutureWatcher<TOutcome> watcher_;
    std::optional<T> result_;
};

} // namespace corvalt::ui
