// Pictures of the plans in the project window, the New Plan dialog and the
// plan editor on the plans sample (a corner structure with a house beside
// it), for looking at them. Run it under xvfb-run with a folder for the PNG
// files (not part of the test run).
#include "MainWinTestSupport.h"

#include "ui/app/AppLocale.h"
#include "ui/dialogs/NewPlanDialog.h"
#include "ui/windows/PlanEditor.h"
#include "ui/windows/ScenariosForm.h"

#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::test;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ui::UseCNumberFormat();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(folder.path());

    auto project = std::make_unique<TEmfProject>();
    if (const TFileResult loaded = project->Load(CORVALT_SOURCE_DIR "/examples/sample-plans.emf");
        !loaded.Ok) {
        std::fprintf(stderr, "cannot read the plans sample: %s\n", loaded.Detail.c_str());
        return 1;
    }
    TMainFixture fixture;
    fixture.Main->resize(1100, 700);
    fixture.Main->show();
    ui::TScenariosForm& form = fixture.Open(std::move(project));
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form.parentWidget())) frame->showMaximized();
    form.ShowPlace({0, -1, 0, 2});
    bool saved = SavePicture(*fixture.Main, folder, QStringLiteral("plans-tree"));

    ui::TNewPlanDialog dialog(form.Project());
    dialog.RouteField().setPlainText(QStringLiteral("0\t0\n300\t0\n600\t150"));
    dialog.show();
    saved = SavePicture(dialog, folder, QStringLiteral("new-plan")) && saved;
    dialog.hide();

    ui::TPlanEditor* editor = form.OpenPlanEditor("Corner structure 14");
    if (editor == nullptr) {
        std::fprintf(stderr, "the sample has no plan \"Corner structure 14\"\n");
        return 1;
    }
    saved = SavePicture(*editor, folder, QStringLiteral("plan-editor")) && saved;
    return saved ? 0 : 1;
}
