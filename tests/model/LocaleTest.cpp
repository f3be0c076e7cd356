// The project file does not depend on the locale: under a locale whose decimal
// separator is a comma (as the desktop program may run), the version text
// "1.02" still reads as 1.02 and files come out the same.
#include "TestProject.h"

#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace corvalt;

namespace {

// Builds a German locale into a private folder and switches to it; false when
// the system cannot build one.
bool UseGermanLocale() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "corvalt-locales";
    std::filesystem::create_directories(folder);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (!std::filesystem::exists(folder / "de_DE.UTF-8") && std::system(command.c_str()) != 0)
        return false;
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

} // namespace

TEST(Locale, ProjectFilesIgnoreTheDecimalSeparatorOfTheLocale) {
    const std::vector<std::uint8_t> before = SerializeProject(*test::MakeRichProject(English));
    if (!UseGermanLocale()) GTEST_SKIP() << "no de_DE locale can be built here";
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.2f", 1.5);
    EXPECT_STREQ(shown, "1,50"); // the locale is really in effect

    auto project = test::MakeRichProject(English);
    EXPECT_EQ(SerializeProject(*project), before);
    TEmfProject loaded;
    const TFileResult result = ReadProjectBytes(before, loaded);
    EXPECT_TRUE(result.Ok) << result.Detail;
    test::ExpectSameProject(*project, loaded, 2);
    std::setlocale(LC_ALL, "C");
}
