// The one way the windows run background work: the result comes back in the
// window's thread with the progress told on the way; Cancel and the
// destructor set the computation's stop token (the destructor also waits for
// it); a computation that throws gives no result and a reason; and the
// progress widget follows the task and cancels it.
#include "ui/app/BackgroundTask.h"
#include "ui/widgets/TaskProgress.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

using namespace corvalt;
using ui::TBackgroundTask;
using ui::TBackgroundTaskBase;
using ui::TTaskControl;

namespace {

// A computation that waits until it is asked to stop, then says whether it was.
bool WaitForStop(const TTaskControl& control) {
    std::mutex mutex;
    std::condition_variable_any woken;
    std::unique_lock lock(mutex);
    woken.wait(lock, control.Stop, [] { return false; });
    return control.Stop.stop_requested();
}

} // namespace

class BackgroundTaskTest : public QObject {
    Q_OBJECT

  private slots:
    void resultComesBackInTheWindowsThread() {
        TBackgroundTask<int> task;
        QSignalSpy progress(&task, &TBackgroundTaskBase::ProgressChanged);
        QSignalSpy finished(&task, &TBackgroundTaskBase::Finished);
        QThread* worker = nullptr;
        QVERIFY(task.Start([&worker](const TTaskControl& control) {
            worker = QThread::currentThread();
            control.Progress(0.5);
            control.Progress(1);
            return 6 * 7;
        }));
        QVERIFY(task.Running());
        // One at a time: a second start waits for the first to end.
        QVERIFY(!task.Start([](const TTaskControl&) { return 0; }));
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!task.Running());
        QVERIFY(worker != nullptr && worker != QThread::currentThread());
        QCOMPARE(task.TakeResult(), std::optional<int>(42));
        QVERIFY(!task.TakeResult().has_value()); // taken once
        QVERIFY(!task.CancelRequested());
        // Told in steps of a thousandth; the last is the whole.
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), TBackgroundTaskBase::kProgressSteps);
    }

    void cancelSetsTheStopTokenAndFinishedFollows() {
        TBackgroundTask<bool> task;
        QSignalSpy finished(&task, &TBackgroundTaskBase::Finished);
        QVERIFY(task.Start(WaitForStop));
        task.Cancel();
        QVERIFY(task.CancelRequested());
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(task.TakeResult(), std::optional<bool>(true));
        // A new computation starts with a fresh token.
        QVERIFY(
            task.Start([](const TTaskControl& control) { return control.Stop.stop_requested(); }));
        QVERIFY(!task.CancelRequested());
        QTRY_VERIFY(!task.Running());
        QCOMPARE(task.TakeResult(), std::optional<bool>(false));
    }

    // The destructor stops the computation and returns only after it has: a
    // computation that goes on for a while after the stop has ended by then.
    void destructorStopsAndWaits() {
        std::atomic<bool> returned = false;
        {
            TBackgroundTask<bool> task;
            task.Start([&returned](const TTaskControl& control) {
                const bool stopped = WaitForStop(control);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                returned = true;
                return stopped;
            });
        }
        QVERIFY(returned);
    }

    void aComputationThatThrowsGivesAReason() {
        TBackgroundTask<int> task;
        task.Start([](const TTaskControl&) -> int { throw std::bad_alloc(); });
        QTRY_VERIFY(!task.Running());
        QVERIFY(!task.TakeResult().has_value());
        QCOMPARE(task.Failure(), QStringLiteral("there is not enough memory."));
        task.Start([](const TTaskControl&) { return 1; });
        QTRY_VERIFY(!task.Running());
        QVERIFY(task.Failure().isEmpty());
    }

    void progressWidgetFollowsAndCancels() {
        TBackgroundTask<bool> task;
        ui::TTaskProgress widget(task);
        QVERIFY(!widget.CancelButton().isEnabled());
        task.Start([](const TTaskControl& control) {
            control.Progress(0.25);
            return WaitForStop(control);
        });
        QVERIFY(widget.CancelButton().isEnabled());
        QTRY_COMPARE(widget.Bar().value(), 250);
        widget.CancelButton().click();
        QTRY_VERIFY(!task.Running());
        QCOMPARE(task.TakeResult(), std::optional<bool>(true));
        QCOMPARE(widget.Bar().value(), 0); // cancelled: nothing done
        QVERIFY(!widget.CancelButton().isEnabled());

        task.Start([](const TTaskControl&) { return false; });
        QTRY_VERIFY(!task.Running());
        QCOMPARE(widget.Bar().value(), TBackgroundTaskBase::kProgressSteps);
    }
};

QTEST_MAIN(BackgroundTaskTest)
#include "BackgroundTaskTest.moc"
