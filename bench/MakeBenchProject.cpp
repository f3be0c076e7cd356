// Writes the project the whole-process measurement of `corvalt-cli compute`
// runs on: one metric cross section with the 500 kV double circuit of the
// benchmarks, a right of way 2497 m left and 2498 m right (19,997 regular
// steps of 0.25 m from -2499 m to 2500 m) and one point of interest, so that
// its profile holds 20,000 records. Generated rather than committed: the file
// is large and follows from a few lines.
//
// usage: corvalt-make-bench-project OUT.emf

#include "LineBuilder.h"
#include "model/Project.h"
#include "model/Units.h"

#include <cstdio>
#include <string>

using namespace corvalt;
using namespace corvalt::testing;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvalt-make-bench-project OUT.emf\n");
        return 2;
    }
    TEmfProject project;
    project.Title = "20,000-record profile";
    project.Units = Metric;
    TScenario& scenario = AddScenario(project, "Wide");
    scenario.RowLeft = 2497;
    scenario.RowRight = 2498;
    AddConductors(AddCircuit(scenario), DoubleCircuit500kV());
    AddInterestPoint(scenario, "House", 31.5f);
    const TFileResult saved = project.Save(argv[1]);
    if (!saved.Ok) {
        std::fprintf(stderr, "corvalt-make-bench-project: %s\n", saved.Message.c_str());
        return 2;
    }
    return 0;
}
