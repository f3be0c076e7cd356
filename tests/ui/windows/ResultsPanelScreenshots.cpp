// Pictures of the project window with its results panel on the sample
// projects (English, Metric, an overlay, the corona tab, a read-out, the map
// of the plane and a cross section that cannot be computed), for looking at
// them. Run it under xvfb-run with a folder for the PNG files (not part of the
// test run).
#include "MainWinTestSupport.h"

#include "engine/ReportFonts.h"
#include "ui/app/AppLocale.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/ReportService.h"
#include "ui/dialogs/PictureLayoutDialog.h"
#include "ui/widgets/PlotView.h"
#include "ui/widgets/SectionMapView.h"
#include "ui/windows/ResultsPanel.h"
#include "ui/windows/ScenariosForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::test;

namespace {

void Save(QWidget& widget, const QString& folder, const char* name) {
    SavePicture(widget, QDir(folder), QString::fromLatin1(name));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ui::UseCNumberFormat();
    RegisterReportFonts();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    TTempPrefs prefs(ReadWholeFile(CORVALT_SOURCE_DIR "/examples/corvalt.INI"));
    ui::TProgramDialogs dialogs(prefs.Options());
    ui::TProgramReports reports(prefs.Options());
    ui::TMainForm main(prefs.Options(), dialogs, reports);
    main.setGeometry(0, 0, 1600, 900);
    main.show();
    main.OpenProjectFile(SampleProjectPath());
    ui::TScenariosForm* form = main.ActiveProjectWindow();
    form->parentWidget()->showMaximized();
    Save(main, folder, "panel-english");

    ui::TResultsPanel& panel = *form->ResultsPanel();
    panel.OverlayBox(1)->setChecked(true);
    Save(main, folder, "panel-english-overlay");
    panel.Tabs().setCurrentIndex(1);
    Save(main, folder, "panel-english-corona-overlay");
    panel.OverlayBox(1)->setChecked(false);
    panel.Tabs().setCurrentIndex(0);

    ui::TPlotView& view = panel.FieldView();
    QTest::mouseMove(view.viewport(), view.viewport()->rect().center());
    Save(main, folder, "panel-english-readout");
    panel.FieldMeasureBox().setCurrentIndex(1);
    QTest::mouseMove(view.viewport(), view.viewport()->rect().center() + QPoint(1, 0));
    Save(main, folder, "panel-english-resultant");
    panel.FieldMeasureBox().setCurrentIndex(0);
    view.ZoomAround(view.viewport()->rect().center(), 0.5);
    Save(main, folder, "panel-english-zoomed");
    view.ResetZoom();
    form->Grid().setCurrentCell(1, 0); // highlighted in the drawing
    panel.Tabs().setCurrentIndex(2);
    Save(main, folder, "panel-english-drawing");
    panel.Tabs().setCurrentIndex(3);
    Save(main, folder, "panel-english-maxima");
    // The Map tab: E, then B with a height profile taken 15 m from the centre line.
    panel.Tabs().setCurrentWidget(&panel.SectionMap());
    Save(main, folder, "panel-english-map");
    panel.SectionMap().QuantityBox().setCurrentIndex(1);
    panel.SectionMap().ProbeAt(15.0F);
    Save(main, folder, "panel-english-map-b-height");
    panel.SectionMap().QuantityBox().setCurrentIndex(0);
    panel.Tabs().setCurrentIndex(0);
    form->Tabs().setCurrentIndex(2);
    Save(main, folder, "panel-english-substation");
    form->Tabs().setCurrentIndex(0);

    // Export Picture's question, for a PNG and for a PDF.
    for (const auto& [format, name] : {std::pair{TPictureFormat::Png, "picture-size-png"},
                                       std::pair{TPictureFormat::Pdf, "picture-size-pdf"}}) {
        ui::TPictureLayoutDialog size(format, &main);
        size.show();
        QApplication::processEvents();
        Save(size, folder, name);
    }

    // Small screens: the panel below the grid.
    for (const QSize size : {QSize(1024, 768), QSize(800, 600)}) {
        main.setGeometry(QRect(QPoint(0, 0), size));
        QApplication::processEvents();
        Save(main, folder,
             QStringLiteral("panel-below-%1").arg(size.width()).toLatin1().constData());
    }
    main.setGeometry(0, 0, 1600, 900);
    QApplication::processEvents();

    main.OpenProjectFile(QStringLiteral(CORVALT_SOURCE_DIR "/examples/sample-metric.emf"));
    main.ActiveProjectWindow()->parentWidget()->showMaximized();
    Save(main, folder, "panel-metric");
    main.ActiveProjectWindow()->ResultsPanel()->Tabs().setCurrentIndex(1);
    Save(main, folder, "panel-metric-corona");

    // Within its own radius of the ground: past the data check, but not computable.
    std::unique_ptr<TEmfProject> failing = MakeProject();
    failing->Scenarios[0].Circuits[0].Conductors[0].Height = 0.005f;
    ui::TScenariosForm* broken = main.OpenProjectWindow(std::move(failing), false);
    broken->parentWidget()->showMaximized();
    Save(main, folder, "panel-error");

    std::unique_ptr<TEmfProject> refused = MakeProject();
    refused->Scenarios[0].Circuits[0].Conductors[0].Height = 0;
    ui::TScenariosForm* checked = main.OpenProjectWindow(std::move(refused), false);
    checked->parentWidget()->showMaximized();
    Save(main, folder, "panel-findings");
    main.setGeometry(0, 0, 1024, 768);
    QApplication::processEvents();
    Save(main, folder, "panel-findings-1024");
    return 0;
}
