#include "model/FileIo.h"

#include "model/Leftovers.h"
#include "model/TextHelpers.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvalt {
namespace fs = std::filesystem;

namespace {

// "." + name + ".saving-" + process id (up to 10 digits) + "-" + 16
// hexadecimal digits.
constexpr std::size_t kTemporaryExtraBytes = 1 + 8 + 10 + 1 + 16;
// As many links as the system follows in one path (Linux: 40).
constexpr int kMaxLinkHops = 40;
// Longer paths are shown by their end, where the file name is.
constexpr std::size_t kLongestShownPath = 120;

// A descriptor that closes itself.
class TDescriptor {
  public:
    explicit TDescriptor(int fd = -1) : fd_(fd) {}
    ~TDescriptor() { Close(); }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now; false (with errno) when the system reported a failure.
    bool Close() {
        if (fd_ < 0) return true;
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

// The temporary files being written, by full path, for RemovePendingTemporaries.
class TPendingTemporaries {
  public:
    void Add(const std::string& path) {
        const std::lock_guard lock(mutex_);
        paths_.insert(path);
    }
    void Remove(const std::string& path) {
        const std::lock_guard lock(mutex_);
        paths_.erase(path);
    }
    void UnlinkAll() {
        const std::lock_guard lock(mutex_);
        for (const std::string& path : paths_)
            unlink(path.c_str());
        paths_.clear();
    }

  private:
    std::mutex mutex_;
    std::set<std::string> paths_;
};

TPendingTemporaries& Pending() {
    static TPendingTemporaries pending;
    return pending;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// The longest file name the folder takes (255 on the usual Linux file systems).
std::size_t LongestName(int folder) {
    const long longest = fpathconf(folder, _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : std::size_t{NAME_MAX};
}

// The beginning of the temporary files' names beside the target: hidden,
// recognisably the target's, and cut so that a whole temporary name is never
// longer than the longest name the folder takes; a target whose name fits
// therefore always gets a temporary.
std::string TemporaryPrefix(const std::string& name, std::size_t longestName) {
    const std::size_t room =
        longestName > kTemporaryExtraBytes ? longestName - kTemporaryExtraBytes : 0;
    return "." + name.substr(0, std::min(name.size(), room)) + ".saving-";
}

// A temporary's name: the prefix, this process's id (so that a later save can
// tell one left by a killed run, Leftovers.h) and a random number.
std::string TemporaryName(const std::string& prefix, unsigned long long random) {
    char number[20];
    std::snprintf(number, sizeof number, "%016llx", random);
    return LeftoverName(prefix, getpid()) + number;
}

// The file a path names once links are followed (also when that file does not
// exist yet), so that saving through a link replaces or creates the file it
// names and keeps the link. A loop of links is left to fail when opened.
std::string FollowLinks(const std::string& path) {
    fs::path current(path);
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec))) break;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.string();
}

// Why the existing target cannot be replaced, or an empty text.
std::string RefusalOf(const struct stat& old, int folder, const std::string& name,
                      const std::string& target) {
    if (S_ISDIR(old.st_mode)) return QuotedName(target) + " is a folder";
    // A device or a pipe at the path is never replaced by a plain file.
    if (!S_ISREG(old.st_mode)) return QuotedName(target) + " is not a regular file";
    const bool markedReadOnly = (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (markedReadOnly || faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0)
        return QuotedName(target) + " is read-only";
    return {};
}

// A new temporary file beside the target, opened for writing; its name in
// temporary. Never one that exists (O_EXCL).
TDescriptor CreateTemporary(int folder, const std::string& prefix, std::string& temporary) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned long long> pick;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = TemporaryName(prefix, pick(entropy));
        const int fd = openat(folder, temporary.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) return TDescriptor(fd);
    }
    return TDescriptor();
}

// Gives the new file the old one's owner and group where the system lets this
// user do so (the owner only root may give away; the group any member of it).
// Where it does not, the replaced file belongs to whoever saved it: writing
// the old file in place instead would keep its owner but could leave half a
// project behind if the save were cut off.
void KeepOwner(int file, const struct stat& old) {
    if (old.st_uid == geteuid() && old.st_gid == getegid()) return;
    if (fchown(file, old.st_uid, old.st_gid) == 0) return;
    [[maybe_unused]] const int groupOnly = fchown(file, static_cast<uid_t>(-1), old.st_gid);
}

// What fills the temporary file: given its open descriptor and the
// temporaries' paths, writes the new content into files.Result and returns an
// empty text, else why it failed.
using TFillContent = std::function<std::string(int fd, const TReplacementFiles& files)>;

// Fills the temporary file, gives it the old file's permissions and flushes it
// to the disk. An empty text on success.
std::string FillTemporary(TDescriptor& file, const TFillContent& fill,
                          const TReplacementFiles& files, const struct stat* old) {
    const std::string& temporaryPath = files.Result;
    if (std::string failure = fill(file.Get(), files); !failure.empty()) {
        file.Close();
        return failure;
    }
    errno = 0;
    bool ok = true;
    if (old != nullptr) {
        KeepOwner(file.Get(), *old);
        ok = fchmod(file.Get(), old->st_mode & 07777) == 0;
    }
    if (ok) ok = fsync(file.Get()) == 0;
    const int error = errno;
    const bool closed = file.Close();
    if (ok && closed) return {};
    return "cannot write " + QuotedName(temporaryPath) + ": " + SystemErrorText(ok ? errno : error);
}

// A second temporary beside the target for a writer that makes the file in
// two passes, created empty and closed; empty when it cannot be made.
std::string CreateDraft(int folder, const std::string& folderPath, const std::string& prefix) {
    std::string draft;
    if (!CreateTemporary(folder, prefix, draft).Valid()) return {};
    const std::string draftPath = (fs::path(folderPath) / draft).string();
    Pending().Add(draftPath);
    return draftPath;
}

void RemoveDraft(const std::string& draftPath) {
    if (draftPath.empty()) return;
    unlink(draftPath.c_str());
    Pending().Remove(draftPath);
}

std::string FolderOf(const std::string& target) {
    const fs::path folder = fs::path(target).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Replaces the target (links already followed) by what fill writes; with
// withDraft, the fill is given a draft temporary as well (TReplacementFiles).
std::string ReplaceResolved(const std::string& target, bool withDraft, const TFillContent& fill) {
    const std::string folderPath = FolderOf(target);
    const std::string name = fs::path(target).filename().string();
    if (name.empty() || name == "." || name == "..") return QuotedName(target) + " names no file";

    const TDescriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) {
        if (errno == ENAMETOOLONG) return PathTooLongText(target);
        if (errno == ENOENT || errno == ENOTDIR)
            return "the folder " + QuotedName(folderPath) + " does not exist";
        return "cannot open the folder " + QuotedName(folderPath) + ": " + SystemErrorText(errno);
    }
    struct stat old {};
    const bool replacing = fstatat(folder.Get(), name.c_str(), &old, 0) == 0;
    if (!replacing && errno == ENAMETOOLONG) return PathTooLongText(target);
    if (!replacing && errno != ENOENT)
        return "cannot examine " + QuotedName(target) + ": " + SystemErrorText(errno);
    if (replacing) {
        if (std::string refusal = RefusalOf(old, folder.Get(), name, target); !refusal.empty())
            return refusal;
    }

    const std::string prefix = TemporaryPrefix(name, LongestName(folder.Get()));
    RemoveStaleLeftovers(folder.Get(), folderPath, {prefix});
    std::string temporary;
    TDescriptor file = CreateTemporary(folder.Get(), prefix, temporary);
    if (!file.Valid())
        return "cannot create a file beside " + QuotedName(target) + ": " + SystemErrorText(errno);
    const std::string temporaryPath = (fs::path(folderPath) / temporary).string();
    Pending().Add(temporaryPath);
    TReplacementFiles files{temporaryPath, {}};
    std::string failure;
    if (withDraft) {
        files.Draft = CreateDraft(folder.Get(), folderPath, prefix);
        if (files.Draft.empty())
            failure = "cannot create a file beside " + QuotedName(target) + ": " +
                      SystemErrorText(errno);
    }
    if (failure.empty()) failure = FillTemporary(file, fill, files, replacing ? &old : nullptr);
    RemoveDraft(files.Draft);
    if (failure.empty() &&
        renameat(folder.Get(), temporary.c_str(), folder.Get(), name.c_str()) != 0)
        failure = "cannot replace " + QuotedName(target) + ": " + SystemErrorText(errno);
    if (!failure.empty()) unlinkat(folder.Get(), temporary.c_str(), 0);
    Pending().Remove(temporaryPath);
    // Makes the rename itself durable; failing here loses nothing.
    if (failure.empty()) fsync(folder.Get());
    return failure;
}

} // namespace

std::string SystemErrorText(int error) {
    return error != 0 ? std::strerror(error) : "input/output error";
}

std::string QuotedName(const std::string& path) {
    return "'" + PrintableText(path) + "'";
}

std::string ShownFileName(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    const bool namesAFile = !name.empty() && name != "." && name != "..";
    return PrintableText(namesAFile ? name : path);
}

std::string PathTooLongText(const std::string& path) {
    if (path.size() <= kLongestShownPath)
        return "the path " + QuotedName(path) + " is longer than the system allows";
    return "the path '..." + PrintableText(path.substr(path.size() - kLongestShownPath / 2)) +
           "' (" + std::to_string(path.size()) + " bytes) is longer than the system allows";
}

TReadOutcome ReadWholeFile(const std::string& path, std::size_t maxBytes,
                           std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec.value() == ENAMETOOLONG) return {TReadStatus::PathTooLong, PathTooLongText(path)};
    if (status.type() == fs::file_type::not_found)
        return {TReadStatus::Missing, QuotedName(path) + " does not exist"};
    if (ec) return {TReadStatus::Unreadable, QuotedName(path) + ": " + ec.message()};
    if (!fs::is_regular_file(status))
        return {TReadStatus::Unreadable, QuotedName(path) + " is not a regular file"};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return {TReadStatus::Unreadable, QuotedName(path) + ": " + ec.message()};
    if (size > maxBytes)
        return {TReadStatus::TooLarge, QuotedName(path) + " holds " + std::to_string(size) +
                                           " bytes, more than any project"};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return {TReadStatus::Unreadable, QuotedName(path) + ": " + SystemErrorText(errno)};
    bytes.assign(static_cast<std::size_t>(size), 0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size || in.bad()) {
        bytes.clear();
        return {TReadStatus::Unreadable, QuotedName(path) + ": " + SystemErrorText(errno)};
    }
    return {};
}

std::string ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) return "no file name was given";
    return ReplaceResolved(FollowLinks(path), false,
                           [bytes](int fd, const TReplacementFiles& files) -> std::string {
                               errno = 0;
                               if (WriteAll(fd, bytes)) return {};
                               return "cannot write " + QuotedName(files.Result) + ": " +
                                      SystemErrorText(errno);
                           });
}

std::string ReplaceFileBy(const std::string& path,
                          const std::function<std::string(const TReplacementFiles&)>& write) {
    if (path.empty()) return "no file name was given";
    return ReplaceResolved(FollowLinks(path), true,
                           [&write](int, const TReplacementFiles& files) { return write(files); });
}

void RemovePendingTemporaries() {
    Pending().UnlinkAll();
}

} // namespace corvalt
