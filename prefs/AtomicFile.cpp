#include "prefs/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
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

// The file a write to target lands in: a symbolic link is followed, so that a
// preferences file kept elsewhere and linked stays where it is.
bool ResolveTarget(const fs::path& target, fs::path& file) {
    std::error_code error;
    file = target;
    if (!fs::is_symlink(fs::symlink_status(target, error))) return true;
    file = fs::weakly_canonical(target, error);
    return !error;
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

// Creates a new, empty temporary file in folder ("x": never an existing one).
std::FILE* CreateTemporary(const fs::path& folder, const fs::path& name, fs::path& temporary) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string suffix = ".tmp" + std::to_string(entropy() % 1000000);
        temporary = folder / ("." + name.string() + suffix);
        if (std::FILE* stream = std::fopen(temporary.string().c_str(), "wbx")) return stream;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

bool WriteAndClose(std::FILE* stream, std::string_view bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    const bool flushed = written && FlushToDisk(stream);
    const bool closed = std::fclose(stream) == 0;
    return written && flushed && closed;
}

} // namespace

bool ReplaceFileContents(const fs::path& target, std::string_view bytes) {
    fs::path file;
    if (!ResolveTarget(target, file)) return false;
    std::error_code error;
    const fs::file_status existing = fs::status(file, error);
    if (fs::exists(existing) && !fs::is_regular_file(existing)) return false;

    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    fs::create_directories(folder, error); // a failure shows when the file cannot be created
    fs::path temporary;
    std::FILE* stream = CreateTemporary(folder, file.filename(), temporary);
    if (stream == nullptr) return false;
    bool ok = WriteAndClose(stream, bytes);
    if (ok && fs::exists(existing))
        fs::permissions(temporary, existing.permissions(), fs::perm_options::replace, error);
    if (ok) {
        fs::rename(temporary, file, error);
        ok = !error;
    }
    if (!ok) {
        fs::remove(temporary, error);
        return false;
    }
    FlushFolder(folder);
    return true;
}

} // namespace corvalt
