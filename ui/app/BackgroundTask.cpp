#include "ui/app/BackgroundTask.h"

#include <QThreadPool>

#include <algorithm>
#include <cmath>

#if defined(__SANITIZE_THREAD__)
#define CORVALT_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CORVALT_THREAD_SANITIZER 1
#endif
#endif

#ifdef CORVALT_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace corvalt::ui {
namespace {

// The workers of the background tasks: a computation starts at once however
// many others run (each window has one task at most), so closing a window
// never waits for a computation that has not started.
constexpr int kMaxWorkers = 64;

QThreadPool& Workers() {
    static QThreadPool* const pool = [] {
        auto* workers = new QThreadPool; // lives as long as the program
        workers->setMaxThreadCount(kMaxWorkers);
        return workers;
    }();
    return *pool;
}

} // namespace

void TBackgroundTaskBase::Cancel() {
    if (!running_) return;
    cancelRequested_ = true;
    stop_.request_stop();
}

std::stop_token TBackgroundTaskBase::BeginRun() {
    stop_ = std::stop_source();
    cancelRequested_ = false;
    running_ = true;
    failure_.clear();
    emit Started();
    return stop_.get_token();
}

void TBackgroundTaskBase::EndRun(QString failure) {
    running_ = false;
    failure_ = std::move(failure);
    emit Finished();
}

int TBackgroundTaskBase::ProgressSteps(double done) {
    if (!(done > 0)) return 0; // NaN too
    return static_cast<int>(std::lround(std::min(done, 1.0) * kProgressSteps));
}

void TBackgroundTaskBase::StartOnWorker(std::function<void()> job) {
    Workers().start(std::move(job));
}

QString TBackgroundTaskBase::FailureText(const std::exception* error) {
    if (dynamic_cast<const std::bad_alloc*>(error) != nullptr)
        return QStringLiteral("there is not enough memory.");
    if (error == nullptr) return QStringLiteral("the computation failed.");
    return QString::fromLocal8Bit(error->what());
}

void TBackgroundTaskBase::HandOver([[maybe_unused]] const void* key) {
#ifdef CORVALT_THREAD_SANITIZER
    __tsan_release(const_cast<void*>(key));
#endif
}

void TBackgroundTaskBase::TakeOver([[maybe_unused]] const void* key) {
#ifdef CORVALT_THREAD_SANITIZER
    __tsan_acquire(const_cast<void*>(key));
#endif
}

} // namespace corvalt::ui
