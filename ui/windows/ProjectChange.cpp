#include "ui/windows/ProjectChange.h"

#include "ui/windows/ScenariosForm.h"

namespace corvalt::ui {

TProjectChange::TProjectChange(TScenariosForm& form, const QString& text, TProjectState before,
                               TProjectState after)
    : QUndoCommand(text), form_(form), before_(std::move(before)), after_(std::move(after)) {}

void TProjectChange::undo() {
    form_.ShowState(before_);
    applied_ = false;
}

void TProjectChange::redo() {
    if (applied_) return;
    form_.ShowState(after_);
    applied_ = true;
}

} // namespace corvalt::ui
