#pragma once
// TBackgroundTask<T>: the one way the windows run a long computation. It runs
// one computation at a time on a worker thread, so the window stays free, and
// hands the result back in the window's thread with Finished. The computation
// is given a stop token, which Cancel sets and which it looks at between its
// steps, and a callback for the share done. The destructor cancels and waits:
// held as a member declared after the data the computation reads, the task
// stops before those go, and closing the window waits only until the
// computation's next look at the token.
//
// The worker's start, progress and end reach the window through a QFuture
// and its QFutureWatcher; the result itself goes through the run both sides
// share (and so never through Qt's result store).
//
//   TBackgroundTask<TResult> task_; // a member, after copy_
//   connect(&task_, &TBackgroundTaskBase::Finished, this, &TDialog::Ended);
//   task_.Start([&copy = *copy_](const TTaskControl& control) {
//       return Compute(copy, control.Progress, control.Stop); // on a worker thread
//   });
//   void TDialog::Ended() { std::optional<TResult> result = task_.TakeResult(); ... }

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
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
    // Runs job on a worker thread of the tasks' own pool, which grows as
    // needed: a job never waits behind another one.
    static void StartOnWorker(std::function<void()> job);
    // Why a computation threw (error, or something not an exception), in the
    // window's words.
    static QString FailureText(const std::exception* error);

    // What one thread wrote before HandOver(key) is visible to another after
    // its TakeOver(key). Qt's thread pool and futures guarantee that already,
    // with locks built into Qt; these tell ThreadSanitizer, which cannot see
    // inside Qt, of the hand-overs (they do nothing in other builds).
    static void HandOver(const void* key);
    static void TakeOver(const void* key);

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
        if (Running()) {
            watcher_.waitForFinished();
            TakeOver(run_.get());
        }
    }

    TBackgroundTask(const TBackgroundTask&) = delete;
    TBackgroundTask& operator=(const TBackgroundTask&) = delete;

    // Runs work on a worker thread; false (and nothing started) while a
    // computation runs.
    bool Start(TWork work) {
        if (Running()) return false;
        result_.reset();
        run_ = std::make_shared<TRun>();
        run_->Work = std::move(work);
        run_->Stop = BeginRun();
        run_->Promise.setProgressRange(0, kProgressSteps);
        run_->Promise.start();
        watcher_.setFuture(run_->Promise.future());
        // The job holds a plain pointer (Qt copies it to the worker); the
        // worker takes the run over from it.
        auto* handed = new std::shared_ptr<TRun>(run_);
        HandOver(handed);
        StartOnWorker([handed] { Execute(handed); });
        return true;
    }

    // The result of the computation that ended, once, after Finished; empty
    // when it threw (Failure says why) or was taken already.
    std::optional<T> TakeResult() { return std::exchange(result_, std::nullopt); }

  private:
    // One computation, shared by the task and its worker; whichever lets go
    // last frees it.
    struct TRun {
        TWork Work;
        std::stop_token Stop;
        QPromise<void> Promise; // the start, progress and end the watcher sees
        std::optional<T> Result;
        QString Failure;
    };

    // On the worker thread.
    static void Execute(std::shared_ptr<TRun>* handed) {
        TakeOver(handed);
        const std::shared_ptr<TRun> run = std::move(*handed);
        delete handed;
        const TTaskControl control{run->Stop, [&promise = run->Promise](double done) {
                                       promise.setProgressValue(ProgressSteps(done));
                                   }};
        try {
            run->Result.emplace(run->Work(control));
        } catch (const std::exception& error) {
            run->Failure = FailureText(&error);
        } catch (...) {
            run->Failure = FailureText(nullptr);
        }
        run->Work = nullptr; // its captures go before the window hears of the end
        HandOver(run.get());
        run->Promise.finish();
    }

    // In the window's thread, once the worker has finished.
    void Collect() {
        if (!Running()) return;
        TakeOver(run_.get());
        result_ = std::move(run_->Result);
        QString failure = std::move(run_->Failure);
        run_.reset();
        EndRun(std::move(failure));
    }

    QFutureWatcher<void> watcher_;
    std::shared_ptr<TRun> run_; // the running computation's
    std::optional<T> result_;
};

} // namespace corvalt::ui
