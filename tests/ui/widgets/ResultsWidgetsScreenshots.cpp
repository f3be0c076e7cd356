// Pictures of the results view's cross-section drawing and maxima table for
// every cross section of the two sample projects, for looking at them:
//   corvalt_results_widgets_screenshots OUTPUT_FOLDER
// Run it under Xvfb (xvfb-run -a) or offscreen. The first phase conductor of
// each cross section is highlighted; the "strict" pictures hold the English
// sample to a stricter limits table, so that rows over their limits show. Exits 1 when a picture
// could not be taken or saved, or a sample could not be read.

#include "compute/Compute.h"
#include "limits/FieldLimits.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/widgets/CrossSectionView.h"
#include "ui/widgets/MaximaTable.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::ui;

namespace {

int failures = 0;

void Grab(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    if (!test::SavePicture(widget, folder, name)) ++failures;
    widget.hide();
}

const TConductor* FirstPhaseConductor(const TScenario& scenario) {
    for (const TConductor* conductor : scenario.Conductors)
        if (!conductor->IsGround()) return conductor;
    return nullptr;
}

void SaveSample(const QString& file, const QString& prefix, const QDir& folder,
                const TFieldLimits& limits) {
    TEmfProject project;
    const TFileResult read = project.Load(file.toStdString());
    if (!read.Ok) {
        std::fprintf(stderr, "could not read %s\n", qPrintable(file));
        ++failures;
        return;
    }
    ComputeAll(project);
    for (int i = 0; i < project.Scenarios.Count(); ++i) {
        TScenario& scenario = project.Scenarios[i];
        const QString name = prefix + QStringLiteral("-%1").arg(i + 1);
        TCrossSectionView view;
        view.resize(640, 400);
        view.SetScenario(&scenario);
        view.SetHighlightedConductor(FirstPhaseConductor(scenario));
        Grab(view, folder, name + QStringLiteral("-drawing"));
        TMaximaTable table;
        table.ShowScenario(scenario, limits);
        table.resize(820, 420);
        Grab(table, folder, name + QStringLiteral("-maxima"));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) return 1;
    const QString samples = QStringLiteral(CORVALT_SOURCE_DIR "/examples/");
    const TFieldLimits limits = DefaultFieldLimits();
    SaveSample(samples + QStringLiteral("sample-english.emf"), QStringLiteral("english"), folder,
               limits);
    SaveSample(samples + QStringLiteral("sample-metric.emf"), QStringLiteral("metric"), folder,
               limits);
    // The samples hold every default limit; a stricter table shows rows over it.
    TFieldLimits strict = limits;
    strict.For(TLimitClass::Line230).BAtEdge = 50;
    strict.For(TLimitClass::Line230).EAtEdge = 1;
    SaveSample(samples + QStringLiteral("sample-english.emf"), QStringLiteral("strict"), folder,
               strict);
    return failures == 0 ? 0 : 1;
}
