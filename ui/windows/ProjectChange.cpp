#include "ui/windows/ProjectChange.h"

#include "ui/app/TextConvert.h"
#include "ui/windows/ScenariosForm.h"

namespace corvalt::ui {

QString CommandText(const char* what, const std::string& name) {
    return QString::fromLatin1(what) + QLatin1Char(' ') + ToQString(name);
}

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
