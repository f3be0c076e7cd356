// Pictures of the map window on the sample plans: B with the limits as
// iso-lines, E on a logarithmic scale with an added level, a read-out under
// the mouse, a zoom, and a plan that cannot be mapped. Run it under xvfb-run
// with a folder for the PNG files (not part of the test run).
#include "UiTestSupport.h"

#include "engine/ReportFonts.h"
#include "ui/widgets/FieldMapView.h"
#include "ui/windows/MapWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::test;

namespace {

bool WaitForMap(ui::TMapWindow& window) {
    QElapsedTimer timer;
    timer.start();
    while (window.IsComputing() && timer.elapsed() < 60000)
        QTest::qWait(20);
    return !window.IsComputing();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ui::UseCNumberFormat();
    RegisterReportFonts();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(folder.path());

    TEmfProject project;
    if (!project.Load(CORVALT_SOURCE_DIR "/examples/sample-plans.emf").Ok) return 1;
    for (const TPlan& plan : project.Plans) {
        ui::TMapWindow window(plan, {DefaultFieldLimits(), QStringLiteral("Sample plans"),
                                     QString::fromStdString("Field map: " + plan.Name)});
        window.resize(1100, 760);
        window.show();
        if (!WaitForMap(window)) return 1;
        const QString name = plan.Name == "Corner structure 14" ? QStringLiteral("corner")
                                                                 : QStringLiteral("other");
        window.QuantityBox().setCurrentIndex(1);
        SavePicture(window, folder, QStringLiteral("map-%1-b").arg(name));
        if (name != QLatin1String("corner")) continue;

        ui::TFieldMapView& view = window.View();
        QTest::mouseMove(&view, view.ViewPointOf(35, 45).toPoint());
        SavePicture(window, folder, QStringLiteral("map-corner-b-readout"));
        window.QuantityBox().setCurrentIndex(0);
        window.LogScaleBox().setChecked(true);
        Type(window.LevelsEdit(), QStringLiteral("0.5"));
        emit window.LevelsEdit().editingFinished();
        SavePicture(window, folder, QStringLiteral("map-corner-e-log"));
        view.ZoomAround(view.ViewPointOf(0, 0), 0.3);
        SavePicture(window, folder, QStringLiteral("map-corner-e-zoom"));

        TPlan broken = plan;
        broken.Conductors.front().Diameter = 0;
        window.SetPlan(broken);
        if (!WaitForMap(window)) return 1;
        SavePicture(window, folder, QStringLiteral("map-corner-refused"));

        const QString pdf = folder.filePath(QStringLiteral("map-corner.pdf"));
        TPictureLayout layout;
        layout.Paper = TPaper::A4;
        if (const QString error = window.ExportPictureTo(pdf, layout); !error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    return 0;
}
