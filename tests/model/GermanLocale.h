#pragma once
// Test support: switches the process to a German locale, whose decimal
// separator is a comma, as the desktop program may run under.

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace corvalt::test {

// Builds a German locale into a private folder and switches to it; false when
// the system cannot build one. Callers switch back with setlocale(LC_ALL, "C").
inline bool UseGermanLocale() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "corvalt-locales";
    std::filesystem::create_directories(folder);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (!std::filesystem::exists(folder / "de_DE.UTF-8") && std::system(command.c_str()) != 0)
        return false;
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

} // namespace corvalt::test
