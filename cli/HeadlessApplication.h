#pragma once
// The Qt application a command that draws needs (fonts for the report pages,
// graphics items for the plots): offscreen unless a display is there, numbers
// in the C locale whatever the user's locale, and a private runtime folder
// when none is set (Qt refuses to work without one), removed on interrupt.

#include "model/StopCleanup.h"

#include <QCoreApplication>

#include <memory>

namespace corvalt::cli {

class THeadlessApplication {
  public:
    // A QGuiApplication, or a QApplication with widgets when the command's
    // drawing needs one (the charts of the plots).
    enum class TKind { Gui, Widgets };
    explicit THeadlessApplication(TKind kind);
    ~THeadlessApplication();
    THeadlessApplication(const THeadlessApplication&) = delete;
    THeadlessApplication& operator=(const THeadlessApplication&) = delete;

  private:
    int argc_ = 1;
    char name_[12] = "corvalt-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<TTemporaryFolder> runtime_;
    std::unique_ptr<QCoreApplication> app_;
};

} // namespace corvalt::cli
