#include "ui/app/GuardedApplication.h"

#include "ui/app/Prompts.h"

#include <new>

namespace corvalt::ui {

QString UnexpectedErrorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("There is not enough memory for this command.");
    } catch (const std::exception& e) {
        return QStringLiteral("The command failed: %1.").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return QStringLiteral("The command failed for an unknown reason.");
    }
}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowError(nullptr, UnexpectedErrorText(std::current_exception()) +
                               QStringLiteral(" It was not completed; please save your work."));
        return false;
    }
}

} // namespace corvalt::ui
