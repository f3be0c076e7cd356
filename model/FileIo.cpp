#include "model/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

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

fs::path TemporaryNameBeside(const fs::path& target) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned long long> pick;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", pick(entropy));
    return target.parent_path() / ("." + target.filename().string() + ".saving-" + suffix);
}

// Writes and closes the file; an empty text on success.
std::string WriteNewFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return "cannot create " + Quoted(path) + ": " + SystemReason();
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    const bool written = out.good();
    out.close();
    if (!written || out.fail()) return "cannot write " + Quoted(path) + ": " + SystemReason();
    return {};
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
        if (!IsWritable(target, old)) return Quoted(target) + " is read-only";
    }

    const fs::path temporary = TemporaryNameBeside(target);
    if (std::string failure = WriteNewFile(temporary, bytes); !failure.empty()) {
        fs::remove(temporary, ec);
        return failure;
    }
    if (replacing) fs::permissions(temporary, old.permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return "cannot replace " + Quoted(target) + ": " + reason;
    }
    return {};
}

} // namespace corvalt
