#include "cli/Interrupt.h"

#include "model/FileIo.h"

#include <csignal>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include <pthread.h>
#include <unistd.h>

namespace corvalt::cli {
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

[[noreturn]] void AwaitStopSignal(sigset_t signals) {
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

} // namespace

void InstallInterruptCleanup() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kStopSignals)
        sigaddset(&signals, signal);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
    try {
        std::thread(AwaitStopSignal, signals).detach();
    } catch (const std::system_error&) {
        // Without the thread the signals must keep their usual effect.
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
}

TRemovedOnInterrupt::TRemovedOnInterrupt(std::string folder) : folder_(std::move(folder)) {
    const std::lock_guard lock(FoldersMutex());
    Folders().insert(folder_);
}

TRemovedOnInterrupt::~TRemovedOnInterrupt() {
    const std::lock_guard lock(FoldersMutex());
    Folders().erase(folder_);
}

} // namespace corvalt::cli
