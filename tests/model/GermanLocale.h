#pragma once
// Test support: runs a test under a German locale, whose decimal separator is a
// comma, as the desktop program may run under. The locale is built once per
// build tree, into CORVALT_TEST_LOCALES, by the CTest fixture
// corvalt_german_locale; a test program that uses this header is registered
// with it (tests/CMakeLists.txt). With CORVALT_REQUIRE_LOCALE 1 (CI) a locale
// that is missing is a failure, never a reason to skip.
//
// In a GoogleTest body: CORVALT_USE_GERMAN_LOCALE(german); the rest of the
// test runs under the locale.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#if !defined(CORVALT_TEST_LOCALES) || !defined(CORVALT_REQUIRE_LOCALE)
#error "register the test with the German locale fixture (corvalt_use_german_locale)"
#endif

namespace corvalt::test {

class TGermanLocale {
  public:
    // Switches the C library (setlocale LC_ALL) and the environment (LC_ALL,
    // LANG, LOCPATH: what a QApplication created afterwards reads) to de_DE.UTF-8.
    TGermanLocale() {
        saved_ = std::setlocale(LC_ALL, nullptr);
        const char* folder = CORVALT_TEST_LOCALES;
        SetEnvironment("LOCPATH", folder);
        SetEnvironment("LC_ALL", "de_DE.UTF-8");
        SetEnvironment("LANG", "de_DE.UTF-8");
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            problem_ = std::string("no de_DE.UTF-8 locale in ") + folder +
                       " (run the tests with ctest, whose fixture builds it)";
            return;
        }
        char shown[8];
        std::snprintf(shown, sizeof shown, "%.1f", 1.5);
        if (std::string(shown) != "1,5") {
            problem_ = std::string("de_DE.UTF-8 prints 1.5 as ") + shown;
            return;
        }
        active_ = true;
    }
    ~TGermanLocale() {
        std::setlocale(LC_ALL, saved_.c_str());
        for (auto it = environment_.rbegin(); it != environment_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    TGermanLocale(const TGermanLocale&) = delete;
    TGermanLocale& operator=(const TGermanLocale&) = delete;

    bool Active() const { return active_; }
    // Whether a missing locale must fail the test.
    static bool Required() { return CORVALT_REQUIRE_LOCALE != 0; }
    // Why the locale is not active; empty when it is.
    const std::string& Problem() const { return problem_; }

  private:
    void SetEnvironment(const char* name, const char* value) {
        const char* before = std::getenv(name);
        environment_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
        setenv(name, value, 1);
    }

    std::string saved_;
    bool active_ = false;
    std::string problem_;
    std::vector<std::pair<std::string, std::optional<std::string>>> environment_;
};

} // namespace corvalt::test

// Declares `name`, a TGermanLocale, in a GoogleTest body; without the locale
// the test is skipped, or fails where the locale is required.
#define CORVALT_USE_GERMAN_LOCALE(name)                                                            \
    const ::corvalt::test::TGermanLocale name;                                                     \
    if (!name.Active()) {                                                                          \
        ASSERT_FALSE(name.Required()) << name.Problem();                                           \
        GTEST_SKIP() << name.Problem();                                                            \
    }
