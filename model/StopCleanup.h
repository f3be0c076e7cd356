#pragma once
// A program stopped by SIGTERM, SIGINT or SIGHUP leaves nothing behind: a
// thread of its own takes these signals, removes the folders registered here
// (the page folders of reports, Qt's runtime folder) and the files the safe
// writer has half written, and then ends the program by the same signal. Both
// corvalt and corvalt-cli install it.

#include <string>
#include <string_view>

namespace corvalt {

// Call first in main, before any thread of the program's own exists: every
// later thread inherits the blocked signals, so only the cleanup thread
// receives them (a thread a library started while it was loaded passes them
// on to it). The cleanup thread first removes the stale leftovers of killed
// runs (RemoveStaleTemporaryFolders in Leftovers.h) while main goes on.
void InstallStopCleanup();

// Returns once the stale leftovers are removed: call before main returns, so
// that a run leaves none behind it, however short.
void AwaitStaleLeftoversRemoved();

// A new private folder (mode 0700) in the temporary folder ($TMPDIR, else
// /tmp), registered for removal on a stop signal in the same step that makes
// it, so no stop signal can come between the two and leave it behind; removed
// with everything in it when the object goes. Its name carries the process id
// so that a later run can tell the folder of a killed run (Leftovers.h).
class TTemporaryFolder {
  public:
    // prefix (one of Leftovers.h's) names the folder: "<prefix><process id>-XXXXXX".
    explicit TTemporaryFolder(std::string_view prefix);
    ~TTemporaryFolder();
    TTemporaryFolder(const TTemporaryFolder&) = delete;
    TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

    bool IsValid() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }   // the file system's bytes
    const std::string& Error() const { return error_; } // why it could not be made

  private:
    std::string path_;
    std::string error_;
};

} // namespace corvalt
