#include "model/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace corvalt {
namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::string SystemReason() {
    return errno != 0 ? std::strerror(errno) : "input/output error";
}

constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// Whether the existing file may be replaced: not marked read-only, and open for
// writing to us (opening for append changes nothing).
bool IsWritable(const fs::path& path, const fs::file_status& status) {
    if ((status.permissions() & kAnyWrite) == fs::perms::none) return false;
    std::ofstream probe(path, std::ios::binary | std::ios::app);
    return probe.is_open();
}

bool FlushToDisk(std::FILE* stream) {
    if (std::fflush(stream) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(stream)) == 0;
#else
    return fsync(fileno(stream)) == 0;
#endif
}

// Makes the rename itself durable; failing here loses nothing, so it is not an
// error.
void FlushFolder(const fs::path& folder) {
#ifndef _WIN32
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
#else
    (void)folder;
#endif
}

// Creates a new temporary file beside target ("x": never one that exists).
std::FILE* CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned long long> pick;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%016llx", pick(entropy));
        temporary = target.parent_path() / ("." + target.filename().string() + ".saving-" + suffix);
        errno = 0;
        if (std::FILE* stream = std::fopen(temporary.string().c_str(), "wbx")) return stream;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

// Writes the bytes to a new temporary file beside target and flushes them to
// the disk; an empty text on success, with the file's name in temporary.
std::string WriteTemporary(const fs::path& target, std::span<const std::uint8_t> bytes,
                           fs::path& temporary) {
    std::FILE* stream = CreateTemporaryBeside(target, temporary);
    if (stream == nullptr)
        return "cannot create a file beside " + Quoted(target) + ": " + SystemReason();
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    const bool flushed = written && FlushToDisk(stream);
    const bool closed = std::fclose(stream) == 0;
    if (written && flushed && closed) return {};
    std::error_code ec;
    const std::string reason = SystemReason();
    fs::remove(temporary, ec);
    return "cannot write " + Quoted(temporary) + ": " + reason;
}

} // namespace

TReadOutcome ReadWholeFile(const std::string& path, std::size_t maxBytes,
                           std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return {TReadStatus::Missing, Quoted(path) + " does not exist"};
    if (!fs::is_regular_file(status))
        return {TReadStatus::Unreadable, Quoted(path) + " is not a regular file"};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return {TReadStatus::Unreadable, Quoted(path) + ": " + ec.message()};
    if (size > maxBytes)
        return {TReadStatus::TooLarge,
                Quoted(path) + " holds " + std::to_string(size) + " bytes, more than any project"};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return {TReadStatus::Unreadable, Quoted(path) + ": " + SystemReason()};
    bytes.assign(static_cast<std::size_t>(size), 0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size || in.bad()) {
        bytes.clear();
        return {TReadStatus::Unreadable, Quoted(path) + ": " + SystemReason()};
    }
    return {};
}

std::string ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::is_directory(folder, ec)) return "the folder " + Quoted(folder) + " does not exist";
    if (target.filename().empty()) return Quoted(target) + " names no file";

    const fs::file_status old = fs::status(target, ec);
    const bool replacing = fs::exists(old);
    if (replacing) {
        if (fs::is_directory(old)) return Quoted(target) + " is a folder";
        // A device or a pipe at the path is never replaced by a plain file.
        if (!fs::is_regular_file(old)) return Quoted(target) + " is not a regular file";
        if (!IsWritable(target, old)) return Quoted(target) + " is read-only";
    }

    fs::path temporary;
    if (std::string failure = WriteTemporary(target, bytes, temporary); !failure.empty())
        return failure;
    if (replacing) fs::permissions(temporary, old.permissions(), fs::perm_options::replace, ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return "cannot replace " + Quoted(target) + ": " + reason;
    }
    FlushFolder(folder);
    return {};
}

} // namespace corvalt
