// Pictures of the main window with a project window, a report preview and the
// error window on the sample project, for looking at them. Run it under
// xvfb-run with a folder for the PNG files (not part of the test run).
#include "MainWinTestSupport.h"

#include "ui/AppLocale.h"
#include "ui/ReptMstr.h"
#include "ui/RptErrorForm.h"
#include "ui/ScenariosForm.h"
#include "ui/ToolIcons.h"

#include "engine/ReportFonts.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QTreeWidget>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::test;

namespace {

void Save(QWidget& widget, const QString& folder, const char* name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + ".png");
    if (!widget.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ui::UseCNumberFormat();
    RegisterReportFonts();
    QApplication::setWindowIcon(ui::ToolIcon(QStringLiteral("app")));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    TMainFixture f;
    f.Reports.PageCount = 2;
    f.Main->OpenProjectFile(SampleProjectPath());
    ui::TScenariosForm* form = f.Main->ActiveProjectWindow();
    form->Tree().setCurrentItem(form->Tree().topLevelItem(0)->child(1));
    Save(*f.Main, folder, "main-project");
    form->Tree().setCurrentItem(form->Tree().topLevelItem(0)->child(0));
    Save(*f.Main, folder, "main-points");
    form->Tree().setCurrentItem(form->Tree().topLevelItem(0));
    form->Tabs().setCurrentIndex(1);
    Save(*f.Main, folder, "main-second-tab");

    form->RunReport(ui::kEmfDetails);
    Save(*f.Main, folder, "preview-width");
    f.Main->ActiveReportWindow()->tbPageClick();
    Save(*f.Main, folder, "preview-page");

    std::unique_ptr<TEmfProject> failing = MakeProject();
    failing->Scenarios[0].Circuits[0].Conductors[0].Height = 0;
    failing->Scenarios[0].Circuits[1].Conductors[0].SetDisplayHorizDistance(-15);
    failing->Scenarios[0].Circuits[1].Conductors[0].SetDisplayHeight(40);
    failing->Scenarios[0].Circuits[1].DistFromRowLeft =
        failing->Scenarios[0].Circuits[0].DistFromRowLeft;
    f.Prompts.OnDialog = [&](QDialog& dialog) {
        dialog.show();
        Save(dialog, folder, "errors");
        dialog.hide();
    };
    f.Main->OpenReportWindow(*failing, &failing->Scenarios[0], ui::kEmfDetails);
    return 0;
}
