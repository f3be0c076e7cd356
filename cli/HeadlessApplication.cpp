#include "cli/HeadlessApplication.h"

#include "engine/ReportFonts.h"
#include "model/Leftovers.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>

#include <clocale>

namespace corvalt::cli {

THeadlessApplication::THeadlessApplication(TKind kind) {
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !display)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime_ = std::make_unique<TTemporaryFolder>(kCliRuntimeFolder);
        if (runtime_->IsValid())
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime_->Path()));
    }
    if (kind == TKind::Widgets)
        app_ = std::make_unique<QApplication>(argc_, argv_);
    else
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    RegisterReportFonts();
}

THeadlessApplication::~THeadlessApplication() = default;

} // namespace corvalt::cli
