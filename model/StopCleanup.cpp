#include "model/StopCleanup.h"

#include "model/FileIo.h"
#include "model/Leftovers.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include <pthread.h>
#include <unistd.h>

namespace corvalt {
namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The main thread may still be writing into a folder while it is removed.
constexpr int kRemoveAttempts = 10;

std::mutex& FoldersMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<std::string>& Folders() {
    static std::set<std::string> folders;
    return folders;
}

void RemoveEverything() {
    RemovePendingTemporaries();
    const std::lock_guard lock(FoldersMutex());
    for (const std::string& folder : Folders()) {
        std::error_code error;
        for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
            std::filesystem::remove_all(folder, error);
            if (!error) break;
        }
    }
}

// Whether the leftovers of killed runs are gone (or not the cleanup thread's
// to remove).
std::atomic<bool> staleLeftoversRemoved{true};

void RemoveStaleLeftovers() {
    RemoveStaleTemporaryFolders();
    staleLeftoversRemoved.store(true);
    staleLeftoversRemoved.notify_all();
}

[[noreturn]] void AwaitStopSignal(sigset_t signals) {
    // A stop signal that comes meanwhile waits for the sweep, a millisecond.
    RemoveStaleLeftovers();
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    RemoveEverything();
    // End as the signal would have ended the program, so the caller sees it.
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);
}

// The thread that takes the stop signals. Threads that a library starts while
// it is loaded, before main blocks the signals (OpenBLAS starts its workers
// so), do not block them: a stop signal the system hands to one of those runs
// this handler, which passes it on to the cleanup thread, where the default
// action would end the program at once and leave everything behind.
std::atomic<pthread_t> cleanupThread;

extern "C" void PassStopSignalOn(int signal) {
    const int savedErrno = errno;
    pthread_kill(cleanupThread.load(), signal);
    errno = savedErrno;
}

void PassStopSignalsOn() {
    for (const int signal : kStopSignals) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = PassStopSignalOn;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }
}

} // namespace

void InstallStopCleanup() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kStopSignals)
        sigaddset(&signals, signal);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) {
        RemoveStaleLeftovers();
        return;
    }
    staleLeftoversRemoved.store(false);
    try {
        std::thread waiter(AwaitStopSignal, signals);
        cleanupThread = waiter.native_handle();
        waiter.detach();
        PassStopSignalsOn();
    } catch (const std::system_error&) {
        // Without the thread the signals must keep their usual effect.
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        RemoveStaleLeftovers();
    }
}

void AwaitStaleLeftoversRemoved() {
    staleLeftoversRemoved.wait(false);
}

TTemporaryFolder::TTemporaryFolder(std::string_view prefix) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        error_ = "no temporary folder: " + error.message();
        return;
    }
    std::string pattern = (base / (LeftoverName(prefix, getpid()) + "XXXXXX")).string();
    const std::lock_guard lock(FoldersMutex());
    if (::mkdtemp(pattern.data()) == nullptr) {
        const int reason = errno;
        error_ =
            "cannot make a temporary folder in " + base.string() + ": " + std::strerror(reason);
        return;
    }
    path_ = std::move(pattern);
    Folders().insert(path_);
}

TTemporaryFolder::~TTemporaryFolder() {
    if (path_.empty()) return;
    const std::lock_guard lock(FoldersMutex());
    std::error_code error;
    std::filesystem::remove_all(path_, error);
    Folders().erase(path_);
}

} // namespace corvalt
