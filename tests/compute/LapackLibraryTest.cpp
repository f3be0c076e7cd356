// The LAPACK loader: the system's library found and its routines working, a
// file that is missing or holds no LAPACK named in the message, and the next
// file tried after one that fails. (TCholesky's tests solve through it too.)
#include "linalg/Lapack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvalt::lapack;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(LapackLibrary, LoadsTheSystemLibraryAndSolves) {
    const TLibrary& library = SystemLibrary();
    ASSERT_TRUE(library.Routines != nullptr) << library.Error;
    EXPECT_EQ(&SystemLibrary(), &library); // loaded once
    // [[2, 1], [1, 3]] x = (3, 5): by hand (det 5) x = (4/5, 7/5).
    const int n = 2, columns = 1;
    std::vector<double> a = {2, 1, 1, 3}, b = {3, 5};
    std::vector<int> pivots(2);
    int info = -1;
    library.Routines->Dgesv(&n, &columns, a.data(), &n, pivots.data(), b.data(), &n, &info);
    EXPECT_EQ(info, 0);
    EXPECT_NEAR(b[0], 0.8, 1e-15);
    EXPECT_NEAR(b[1], 1.4, 1e-15);
}

TEST(LapackLibrary, SaysWhyItCannotLoadAndTriesTheNextFile) {
    const struct {
        std::vector<const char*> files;
        bool loads;
        std::vector<std::string> said;
    } cases[] = {
        {{"libcorvalt-no-such-lapack.so.3"},
         false,
         {"The linear-algebra library cannot be loaded: ", "libcorvalt-no-such-lapack.so.3",
          "libopenblas0"}},
        {{"libc.so.6"}, false, {"libc.so.6 lacks a LAPACK routine"}},
        {{"libcorvalt-no-such-lapack.so.3", "liblapack.so.3"}, true, {}},
    };
    for (const auto& c : cases) {
        const TLibrary library = LoadLibrary(c.files);
        EXPECT_EQ(library.Routines != nullptr, c.loads) << c.files.front();
        EXPECT_EQ(library.Error.empty(), c.loads) << library.Error;
        for (const std::string& part : c.said)
            EXPECT_TRUE(Contains(library.Error, part)) << library.Error << " / " << part;
    }
}
