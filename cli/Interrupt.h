#pragma once
// corvalt-cli stopped by SIGTERM, SIGINT or SIGHUP leaves nothing behind: a
// thread of its own takes these signals, removes the folders registered here
// (the page folder of a report, Qt's runtime folder) and the files the safe
// writer has half written, and then ends the program by the same signal.

#include <string>

namespace corvalt::cli {

// Call first in main, before any other thread exists: every later thread
// inherits the blocked signals, so only the cleanup thread receives them.
void InstallInterruptCleanup();

// Registers a folder (the file system's bytes) for removal, with everything
// in it, should the program be stopped while the object lives.
class TRemovedOnInterrupt {
  public:
    explicit TRemovedOnInterrupt(std::string folder);
    ~TRemovedOnInterrupt();
    TRemovedOnInterrupt(const TRemovedOnInterrupt&) = delete;
    TRemovedOnInterrupt& operator=(const TRemovedOnInterrupt&) = delete;

  private:
    std::string folder_;
};

} // namespace corvalt::cli
