// Saves pictures of the design tools' dialogs (Optimise Phasing, Solve
// Clearance) with their searches finished, for looking at the layouts:
//   corvalt_design_screenshots OUTPUT_FOLDER
// Run it under Xvfb (xvfb-run -a) or offscreen. It exits 1 when a picture
// could not be taken or saved.

#include "model/Project.h"
#include "tests/design/PhasedLines.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/app/AppLocale.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/PhasingDialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

using namespace corvalt;
using namespace corvalt::ui;

namespace {

int failures = 0;

// Shows the dialog, lets it work until done() says so, and saves its picture.
void Save(QDialog& dialog, const std::function<bool()>& done, const QDir& folder,
          const QString& name) {
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!done()) {
        std::fprintf(stderr, "%s did not finish its search\n", qPrintable(name));
        ++failures;
    } else if (!test::SavePicture(dialog, folder, name)) {
        ++failures;
    }
    dialog.hide();
}

// Three vertical 230 kV circuits, all phased alike, hung low, in feet.
std::unique_ptr<TEmfProject> LowTripleCircuit() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = English;
    TScenario& scenario = testing::AddDesignScenario(*project, 22, 22);
    for (int k = 0; k < 3; ++k) {
        const float x = -14.0f + 14.0f * static_cast<float>(k);
        TCircuit& circuit = testing::AddThreePhase(
            scenario,
            {.Phases = {{{x, 17}, {x, 13}, {x, 9}}}, .CurrentA = 2000, .GroundWires = {{x, 21}}});
        circuit.Name = k == 0 ? "West 230" : k == 1 ? "Middle 230" : "East 230";
    }
    return project;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UseCNumberFormat();
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvalt_design_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    std::unique_ptr<TEmfProject> project = LowTripleCircuit();
    {
        TPhasingDialog dialog(*project, 0);
        Save(
            dialog, [&] { return !dialog.Searching(); }, folder, QStringLiteral("phasing"));
        dialog.ShowRequest(
            {.Objective = TPhasingObjective::Weighted,
             .Weights = {.EdgeBPerMg = 0.01, .EdgeEPerKvPerM = 1, .RowEPerKvPerM = 0.2},
             .Top = 5});
        dialog.Search();
        Save(
            dialog, [&] { return !dialog.Searching(); }, folder,
            QStringLiteral("phasing-weighted"));
    }
    {
        // Eight circuits: every heading readable, a scroll bar for the rest.
        TEmfProject eight;
        eight.Units = English;
        testing::ManyCircuitLine(eight, 8);
        TPhasingDialog dialog(eight, 0);
        Save(
            dialog, [&] { return !dialog.Searching(); }, folder,
            QStringLiteral("phasing-eight-circuits"));
    }
    {
        TClearanceDialog dialog(*project, 0, DefaultFieldLimits());
        Save(
            dialog, [&] { return !dialog.Solving(); }, folder, QStringLiteral("clearance"));
        dialog.ChooseCircuit(0);
        dialog.Solve();
        Save(
            dialog, [&] { return !dialog.Solving(); }, folder,
            QStringLiteral("clearance-one-circuit"));
    }
    return failures == 0 ? 0 : 1;
}
