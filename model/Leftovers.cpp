#include "model/Leftovers.h"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvalt {
namespace fs = std::filesystem;

namespace {

bool ProcessRuns(pid_t pid) {
    // EPERM: it runs, as another user.
    return kill(pid, 0) == 0 || errno != ESRCH;
}

bool UntouchedSinceLeftoverAge(const struct stat& entry) {
    const auto now = std::chrono::system_clock::now();
    const auto touched = std::chrono::system_clock::time_point(
        std::chrono::seconds(entry.st_mtim.tv_sec));
    return now - touched >= kLeftoverAge;
}

struct TLeftover {
    std::string Name;
    pid_t Maker;
};

// The entries of the open folder (read through a copy of its descriptor, so
// the caller's stays open and positioned) named as LeftoverName names them
// for one of the prefixes, each with the process that made it.
std::vector<TLeftover> LeftoversIn(int folder, std::initializer_list<std::string_view> prefixes) {
    std::vector<TLeftover> leftovers;
    const int copy = fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return leftovers;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(fdopendir(copy), closedir);
    if (!listing) {
        close(copy);
        return leftovers;
    }
    rewinddir(listing.get());
    while (const dirent* entry = readdir(listing.get()))
        for (const std::string_view prefix : prefixes)
            if (const std::optional<pid_t> maker = LeftoverMaker(entry->d_name, prefix)) {
                leftovers.push_back({entry->d_name, *maker});
                break;
            }
    return leftovers;
}

} // namespace

std::string LeftoverName(std::string_view prefix, pid_t maker) {
    return std::string(prefix) + std::to_string(maker) + "-";
}

std::optional<pid_t> LeftoverMaker(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return std::nullopt;
    const std::string_view rest = name.substr(prefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || end == rest.data() || pid <= 0) return std::nullopt;
    if (end == rest.data() + rest.size() || *end != '-') return std::nullopt;
    return pid;
}

bool IsStaleLeftover(int folder, const std::string& name, pid_t maker) {
    struct stat entry {};
    if (fstatat(folder, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!S_ISREG(entry.st_mode) && !S_ISDIR(entry.st_mode)) return false;
    if (entry.st_uid != geteuid()) return false;
    if (maker == getpid() || ProcessRuns(maker)) return false;
    return UntouchedSinceLeftoverAge(entry);
}

int RemoveStaleLeftovers(int folder, const std::string& folderPath,
                         std::initializer_list<std::string_view> prefixes) {
    int removed = 0;
    for (const auto& [name, maker] : LeftoversIn(folder, prefixes)) {
        if (!IsStaleLeftover(folder, name, maker)) continue;
        if (unlinkat(folder, name.c_str(), 0) == 0) {
            ++removed;
            continue;
        }
        if (errno != EISDIR && errno != EPERM) continue;
        // A folder: remove_all does not follow the links inside it.
        std::error_code error;
        if (fs::remove_all(fs::path(folderPath) / name, error) > 0 && !error) ++removed;
    }
    return removed;
}

void RemoveStaleTemporaryFolders() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return;
    const int folder = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    // One reading of the folder for all three: the temporary folder may hold
    // thousands of entries, and reading it is most of the work.
    RemoveStaleLeftovers(folder, base.string(),
                         {kDesktopPagesFolder, kCliPagesFolder, kCliRuntimeFolder});
    close(folder);
}

} // namespace corvalt
