// Writes the project that `corvalt-cli compute` is timed on as a whole process
// (see WideProfileProject.h). Generated rather than committed: the file is
// large and follows from a few lines.
//
// usage: corvalt-make-bench-project OUT.emf

#include "WideProfileProject.h"

#include <cstdio>

using namespace corvalt;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvalt-make-bench-project OUT.emf\n");
        return 2;
    }
    const TFileResult saved = testing::MakeWideProfileProject()->Save(argv[1]);
    if (!saved.Ok) {
        std::fprintf(stderr, "corvalt-make-bench-project: %s\n", saved.Message.c_str());
        return 2;
    }
    return 0;
}
