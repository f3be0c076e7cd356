// The project file does not depend on the locale: under a locale whose decimal
// separator is a comma (as the desktop program may run), the version text
// "1.02" still reads as 1.02 and files come out the same.
#include "GermanLocale.h"
#include "TestProject.h"

#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

using namespace corvalt;

TEST(Locale, ProjectFilesIgnoreTheDecimalSeparatorOfTheLocale) {
    const std::vector<std::uint8_t> before = SerializeProject(*test::MakeRichProject(English));
    CORVALT_USE_GERMAN_LOCALE(german);
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.2f", 1.5);
    EXPECT_STREQ(shown, "1,50"); // the locale is really in effect

    auto project = test::MakeRichProject(English);
    EXPECT_EQ(SerializeProject(*project), before);
    TEmfProject loaded;
    const TFileResult result = ReadProjectBytes(before, loaded);
    EXPECT_TRUE(result.Ok) << result.Detail;
    test::ExpectSameProject(*project, loaded, 2);
}
