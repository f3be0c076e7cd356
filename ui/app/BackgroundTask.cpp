#include "ui/app/BackgroundTask.h"

#include <algorithm>
#include <cmath>

namespace corvalt::ui {

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

} // namespace corvalt::ui
