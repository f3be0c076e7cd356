#pragma once
// The desktop program's application object: an exception that escapes an event
// handler (memory exhausted, a fault of the program) ends neither the event
// loop nor the program silently. It becomes an error message, and the command
// it interrupted is abandoned; open projects stay as they are, so the user can
// still save the work.

#include <QApplication>

#include <exception>

namespace corvalt::ui {

class TGuardedApplication : public QApplication {
  public:
    TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;
};

// What went wrong, for an exception that reached the event loop or main.
QString UnexpectedErrorText(const std::exception_ptr& error);

} // namespace corvalt::ui
