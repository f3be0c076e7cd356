// The design tools of the Cross Section menu: Optimise Phasing and Solve
// Clearance search in a worker thread, and Apply is one undoable change that
// undo takes back byte for byte; Close and Cancel change nothing.
#include "MainWinTestSupport.h"

#include "design/Phasing.h"
#include "model/ProjectSnapshot.h"
#include "tests/design/PhasedLines.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/PhasingDialog.h"
#include "ui/widgets/TaskProgress.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QUndoStack>

#include <functional>

using namespace corvalt;
using namespace corvalt::test;

namespace {

// The phase type of every conductor of the cross section, in list order.
std::vector<int> PhaseTypes(const TScenario& scenario) {
    std::vector<int> types;
    for (const TConductor* conductor : scenario.Conductors)
        types.push_back(conductor->CondType);
    return types;
}

std::vector<float> Heights(const TScenario& scenario) {
    std::vector<float> heights;
    for (const TConductor* conductor : scenario.Conductors)
        heights.push_back(conductor->DisplayHeight());
    return heights;
}

// The sample line hung low: 18 ft phases, 30 ft ground wires.
std::unique_ptr<TEmfProject> LowProject() {
    std::unique_ptr<TEmfProject> project = MakeProject();
    for (TConductor* conductor : project->Scenarios[0].Conductors)
        conductor->SetDisplayHeight(conductor->IsGround() ? 30 : 18);
    return project;
}

} // namespace

class DesignToolsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QuietOffscreenWarnings(); }

    void appliedPhasingIsOneUndoStep() {
        TMainFixture fixture;
        ui::TScenariosForm& form = fixture.Open(MakeProject());
        TScenario& scenario = form.Project().Scenarios[0];
        QVERIFY(fixture.Main->Actions().mnCsOptimise->isEnabled());
        const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
        const std::vector<int> typesBefore = PhaseTypes(scenario);

        std::vector<int> chosen;
        fixture.Prompts.OnDialog = [&](QDialog& dialog) {
            auto* phasing = qobject_cast<ui::TPhasingDialog*>(&dialog);
            QVERIFY(phasing != nullptr);
            QTRY_VERIFY(!phasing->Searching());
            QVERIFY(phasing->Result().has_value());
            QCOMPARE(phasing->Result()->Arrangements, 36);
            // "Now" and a row for each six arrangements that differ only by
            // the names of the phases (every circuit's renamed alike).
            QCOMPARE(phasing->Table().rowCount(), 1 + 36 / 6);
            phasing->SelectRanked(0);
            QVERIFY(phasing->Chosen() != nullptr);
            chosen = phasing->Chosen()->Orders;
        };
        fixture.Prompts.DialogResults = {QDialog::Accepted};
        fixture.Main->Actions().mnCsOptimise->trigger();

        QCOMPARE(fixture.Prompts.DialogTitles, QStringList{"Optimise Phasing"});
        QCOMPARE(form.UndoStack().count(), 1);
        QCOMPARE(form.UndoStack().undoText(), QStringLiteral("Optimise Phasing"));
        // The conductors of the first searched circuit carry the new phases.
        const TCircuit& first = form.Project().Scenarios[0].Circuits[0];
        const std::array<int, 3>& order = PhaseOrder(chosen.at(0));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(static_cast<int>(first.Conductors[i].CondType), order[std::size_t(i)]);
        const TProjectSnapshot after = TakeProjectSnapshot(form.Project());
        QVERIFY(!(after == before));

        form.UndoStack().undo();
        QVERIFY(TakeProjectSnapshot(form.Project()) == before);
        QCOMPARE(PhaseTypes(form.Project().Scenarios[0]), typesBefore);
        form.UndoStack().redo();
        QVERIFY(TakeProjectSnapshot(form.Project()) == after);
    }

    void closingEitherDialogChangesNothing() {
        TMainFixture fixture;
        ui::TScenariosForm& form = fixture.Open(LowProject());
        const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
        fixture.Prompts.OnDialog = [](QDialog& dialog) {
            if (auto* phasing = qobject_cast<ui::TPhasingDialog*>(&dialog))
                QTRY_VERIFY(!phasing->Searching());
            if (auto* clearance = qobject_cast<ui::TClearanceDialog*>(&dialog))
                QTRY_VERIFY(!clearance->Solving());
        };
        fixture.Prompts.DialogResults = {QDialog::Rejected, QDialog::Rejected};
        fixture.Main->Actions().mnCsOptimise->trigger();
        fixture.Main->Actions().mnCsClearance->trigger();
        QCOMPARE(fixture.Prompts.DialogTitles,
                 (QStringList{"Optimise Phasing", "Solve Clearance"}));
        QCOMPARE(form.UndoStack().count(), 0);
        QVERIFY(TakeProjectSnapshot(form.Project()) == before);
    }

    void appliedClearanceIsOneUndoStep() {
        TMainFixture fixture;
        ui::TScenariosForm& form = fixture.Open(LowProject());
        const std::vector<float> heightsBefore = Heights(form.Project().Scenarios[0]);
        const TProjectSnapshot before = TakeProjectSnapshot(form.Project());

        float raise = 0;
        fixture.Prompts.OnDialog = [&](QDialog& dialog) {
            auto* clearance = qobject_cast<ui::TClearanceDialog*>(&dialog);
            QVERIFY(clearance != nullptr);
            QTRY_VERIFY(!clearance->Solving());
            QVERIFY(clearance->Result().has_value());
            QCOMPARE(clearance->Result()->Outcome, TClearanceOutcome::Raised);
            raise = clearance->Result()->RaiseShown;
            QVERIFY(
                clearance->ResultLabel().text().contains(QStringLiteral("Raise every circuit")));
            QCOMPARE(clearance->Table().rowCount(),
                     static_cast<int>(clearance->Result()->Before.size()));
        };
        fixture.Prompts.DialogResults = {QDialog::Accepted};
        fixture.Main->Actions().mnCsClearance->trigger();

        QVERIFY(raise > 0);
        QCOMPARE(form.UndoStack().count(), 1);
        QCOMPARE(form.UndoStack().undoText(), QStringLiteral("Solve Clearance"));
        const std::vector<float> heightsAfter = Heights(form.Project().Scenarios[0]);
        for (std::size_t i = 0; i < heightsAfter.size(); ++i)
            QVERIFY(std::abs(heightsAfter[i] - (heightsBefore[i] + raise)) < 1e-3f);
        form.UndoStack().undo();
        QVERIFY(TakeProjectSnapshot(form.Project()) == before);
    }

    void aLongSearchCanBeCancelled() {
        TEmfProject project;
        project.Units = English;
        testing::ManyCircuitLine(project, 7); // 279,936 arrangements
        ui::TPhasingDialog dialog(project, 0);
        QVERIFY(dialog.Searching());
        dialog.findChild<ui::TTaskProgress*>()->CancelButton().click();
        QTRY_VERIFY(!dialog.Searching());
        QVERIFY(!dialog.Result().has_value());
        QCOMPARE(dialog.Status().text(), QStringLiteral("The search was cancelled."));
        QVERIFY(dialog.Chosen() == nullptr);
    }

    // Escape during a search or a solution cancels it; closing and destroying
    // either dialog while its worker runs is safe (the worker reads the
    // dialog's copy of the project, which goes with the dialog).
    void closingMidComputationIsSafe() {
        TEmfProject project;
        project.Units = English;
        testing::ManyCircuitLine(project, 7);
        const TProjectSnapshot before = TakeProjectSnapshot(project);
        {
            ui::TPhasingDialog phasing(project, 0);
            phasing.show();
            QVERIFY(phasing.Searching());
            QTest::keyClick(&phasing, Qt::Key_Escape);
            QVERIFY(!phasing.isVisible());
            QTRY_VERIFY(!phasing.Searching());
            QCOMPARE(phasing.Status().text(), QStringLiteral("The search was cancelled."));
        }
        for (int i = 0; i < 3; ++i) {
            auto phasing = std::make_unique<ui::TPhasingDialog>(project, 0);
            auto clearance =
                std::make_unique<ui::TClearanceDialog>(project, 0, DefaultFieldLimits());
            QVERIFY(phasing->Searching() && clearance->Solving());
            QCoreApplication::processEvents();
        }
        QVERIFY(TakeProjectSnapshot(project) == before);
    }

    // A result found for other inputs is never shown nor applied: choosing
    // another circuit after a Solve, or another objective, weight or count
    // after a search, takes the result and Apply away until the next run.
    void changedInputsTakeTheResultAway() {
        std::unique_ptr<TEmfProject> project = LowProject();
        TScenario& scenario = project->Scenarios[0];
        const std::vector<float> heights = Heights(scenario);

        ui::TClearanceDialog clearance(*project, 0, DefaultFieldLimits());
        auto* applyRaise = clearance.findChild<QPushButton*>(QStringLiteral("btApply"));
        QTRY_VERIFY(!clearance.Solving());
        QCOMPARE(clearance.Result()->Outcome, TClearanceOutcome::Raised);
        QVERIFY(applyRaise->isEnabled());
        clearance.ChooseCircuit(0); // C1 alone
        QVERIFY(!clearance.Result().has_value());
        QVERIFY(!applyRaise->isEnabled());
        QCOMPARE(clearance.Table().rowCount(), 0);
        QVERIFY(!clearance.ApplyTo(scenario));
        QCOMPARE(Heights(scenario), heights);
        clearance.Solve();
        QTRY_VERIFY(!clearance.Solving());
        QCOMPARE(clearance.Result()->Circuits, std::vector<int>{0});
        QCOMPARE(applyRaise->isEnabled(), clearance.Result()->Outcome == TClearanceOutcome::Raised);

        ui::TPhasingDialog phasing(*project, 0);
        auto* applyPhasing = phasing.findChild<QPushButton*>(QStringLiteral("btApply"));
        QTRY_VERIFY(!phasing.Searching());
        QCOMPARE(phasing.Table().rowCount(), 7);
        QVERIFY(applyPhasing->isEnabled());
        auto* objective = phasing.findChild<QComboBox*>(QStringLiteral("cbObjective"));
        auto* top = phasing.findChild<QSpinBox*>(QStringLiteral("eTop"));
        for (const std::function<void()>& change : std::vector<std::function<void()>>{
                 [&] { objective->setCurrentIndex(1); }, [&] { top->setValue(4); }}) {
            change();
            QVERIFY(!phasing.Result().has_value());
            QCOMPARE(phasing.Table().rowCount(), 0);
            QVERIFY(phasing.Chosen() == nullptr);
            QVERIFY(!applyPhasing->isEnabled());
            QVERIFY(!phasing.ApplyTo(scenario));
            phasing.Search();
            QVERIFY(!objective->isEnabled()); // not while it searches
            QTRY_VERIFY(!phasing.Searching());
            QVERIFY(phasing.Result().has_value());
        }
        QCOMPARE(phasing.Table().rowCount(), 5); // "Now" and the best four by edge E
    }

    // A cross section that cannot be computed: the search says why.
    void aFailedSearchSaysWhy() {
        TEmfProject project;
        project.Units = English;
        testing::VerticalDoubleCircuit(project).Conductors[0]->Diameter = 0;
        ui::TPhasingDialog dialog(project, 0);
        QTRY_VERIFY(!dialog.Searching());
        QVERIFY(!dialog.Result().has_value());
        QCOMPARE(dialog.Table().rowCount(), 0);
        QVERIFY2(dialog.Status().text().startsWith(
                     QStringLiteral("Cannot search: Cross section 'Line' cannot be computed:")),
                 qPrintable(dialog.Status().text()));
    }
};

QTEST_MAIN(DesignToolsTest)
#include "DesignToolsTest.moc"
