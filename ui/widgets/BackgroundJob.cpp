#include "ui/widgets/BackgroundJob.h"

#include "ui/widgets/FormWidgets.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvalt::ui {
namespace {
constexpr int kRefreshMs = 50;
} // namespace

TBackgroundJob::TBackgroundJob(QWidget* parent) : QWidget(parent) {
    pbProgress_ = Named(new QProgressBar, "pbProgress");
    pbProgress_->setRange(0, 1000);
    pbProgress_->setTextVisible(false);
    btCancel_ = Named(new QPushButton(QStringLiteral("Cancel")), "btCancel");
    btCancel_->setEnabled(false);
    btCancel_->setAutoDefault(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pbProgress_, 1);
    layout->addWidget(btCancel_);
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &TBackgroundJob::ShowProgress);
    connect(btCancel_, &QPushButton::clicked, this, &TBackgroundJob::Cancel);
}

TBackgroundJob::~TBackgroundJob() {
    Stop();
}

void TBackgroundJob::Start(TJob job) {
    if (Running()) return;
    cancel_ = false;
    permille_ = 0;
    pbProgress_->setValue(0);
    thread_ = QThread::create([this, job = std::move(job)] {
        job([this](double done) {
            permille_ = static_cast<int>(std::lround(std::clamp(done, 0.0, 1.0) * 1000));
            return !cancel_;
        });
    });
    // Queued to this thread: JobEnded runs after the job returned.
    connect(thread_, &QThread::finished, this, &TBackgroundJob::JobEnded, Qt::QueuedConnection);
    btCancel_->setEnabled(true);
    timer_->start();
    thread_->start();
}

void TBackgroundJob::Cancel() {
    cancel_ = true;
}

void TBackgroundJob::Stop() {
    if (!Running()) return;
    Cancel();
    thread_->wait();
    // The finished signal waits in the queue; the thread is done with.
    disconnect(thread_, nullptr, this, nullptr);
    delete thread_;
    thread_ = nullptr;
    timer_->stop();
    btCancel_->setEnabled(false);
}

void TBackgroundJob::ShowProgress() {
    pbProgress_->setValue(permille_);
}

void TBackgroundJob::JobEnded() {
    if (thread_ == nullptr) return; // stopped already
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    timer_->stop();
    pbProgress_->setValue(cancel_ ? 0 : 1000);
    btCancel_->setEnabled(false);
    emit Finished();
}

} // namespace corvalt::ui
