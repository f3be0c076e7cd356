#include "ui/widgets/TaskProgress.h"

#include "ui/app/BackgroundTask.h"
#include "ui/widgets/FormWidgets.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

namespace corvalt::ui {

TTaskProgress::TTaskProgress(TBackgroundTaskBase& task, QWidget* parent)
    : QWidget(parent), task_(&task) {
    pbProgress_ = Named(new QProgressBar, "pbProgress");
    pbProgress_->setRange(0, TBackgroundTaskBase::kProgressSteps);
    pbProgress_->setTextVisible(false);
    btCancel_ = Named(new QPushButton(QStringLiteral("Cancel")), "btCancel");
    btCancel_->setAutoDefault(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pbProgress_, 1);
    layout->addWidget(btCancel_);
    btCancel_->setEnabled(task.Running());
    connect(&task, &TBackgroundTaskBase::Started, this, &TTaskProgress::TaskStarted);
    connect(&task, &TBackgroundTaskBase::ProgressChanged, pbProgress_, &QProgressBar::setValue);
    connect(&task, &TBackgroundTaskBase::Finished, this, &TTaskProgress::TaskFinished);
    connect(btCancel_, &QPushButton::clicked, this, &TTaskProgress::btCancelClick);
}

void TTaskProgress::TaskStarted() {
    pbProgress_->setValue(0);
    btCancel_->setEnabled(true);
}

void TTaskProgress::TaskFinished() {
    const TBackgroundTaskBase* task = task_.data();
    const bool cancelled = task != nullptr && task->CancelRequested();
    pbProgress_->setValue(cancelled ? 0 : TBackgroundTaskBase::kProgressSteps);
    btCancel_->setEnabled(false);
}

void TTaskProgress::btCancelClick() {
    if (TBackgroundTaskBase* task = task_.data()) task->Cancel();
}

} // namespace corvalt::ui
