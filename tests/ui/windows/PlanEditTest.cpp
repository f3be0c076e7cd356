// Plans in the project window and the plan editor: New, Delete, Clone and
// every kind of editor edit are one undo step each that undo and redo give
// back plan for plan; a value the field map's checks refuse changes nothing;
// a route typed or pasted reads as the points it lists.
#include "MainWinTestSupport.h"

#include "ui/dialogs/NewPlanDialog.h"
#include "ui/widgets/PlanEdits.h"
#include "ui/windows/MapWindow.h"
#include "ui/windows/PlanEditor.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QUndoStack>

#include <functional>

using namespace corvalt;
using namespace corvalt::test;
using ui::TPlanTable;

namespace {

TPlanConductor PathConductor(const std::string& id, double angle,
                             std::vector<TPlanPoint> points) {
    TPlanConductor c;
    c.Id = id;
    c.Kv = 230;
    c.AngleDeg = angle;
    c.Diameter = 25.4;
    c.Points = std::move(points);
    return c;
}

// Two paths joined at (50,0) (one phase), a span beside them, a house.
TPlan SmallPlan() {
    TPlan plan;
    plan.Name = "P";
    plan.Units = Metric;
    plan.Conductors = {PathConductor("A", 0, {{0, 0, 10}, {50, 0, 10}}),
                       PathConductor("B", 0, {{50, 0, 10}, {100, 20, 10}}),
                       PathConductor("C", -120, {{0, 10, 12}, {100, 10, 12}})};
    plan.Conductors[2].Shape = TPlanShape::Span;
    plan.Conductors[2].Sag = 2;
    plan.Grid = {-10, 110, -20, 40, 5, 1};
    plan.Footprints = {{"House", {{20, 25}, {30, 25}, {30, 35}, {20, 35}}}};
    return plan;
}

const TPlan& StoredPlan(ui::TScenariosForm& form, const std::string& name) {
    const TPlan* plan = form.Project().FindPlan(name);
    if (plan == nullptr) throw std::runtime_error("no plan " + name);
    return *plan;
}

} // namespace

class PlanEditTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QuietOffscreenWarnings(); }

    void routeReadsTypedAndPastedPoints() {
        struct TCase {
            QString Text;
            std::vector<TPlanCorner> Points; // empty: refused
            QString Refusal;                 // a part of the message
        };
        const std::vector<TCase> cases = {
            {QStringLiteral("0,0\n300,0\n600,150"), {{0, 0}, {300, 0}, {600, 150}}, {}},
            {QStringLiteral(" 0 , 0 ;300,0; 600, 150;"), {{0, 0}, {300, 0}, {600, 150}}, {}},
            // Two spreadsheet columns: tabs, Windows line ends, a trailing break.
            {QStringLiteral("0\t0\r\n300.5\t-20\r\n\r\n"), {{0, 0}, {300.5, -20}}, {}},
            {QStringLiteral("0,0\nA,5"), {}, QStringLiteral("point 2 ")},
            {QStringLiteral("1,2,3"), {}, QStringLiteral("point 1 ")},
            {QStringLiteral("0,0\n7"), {}, QStringLiteral("\"7\"")},
        };
        for (const TCase& c : cases) {
            const auto parsed = ui::ParseRoute(c.Text);
            if (c.Points.empty()) {
                QVERIFY2(std::holds_alternative<QString>(parsed), qPrintable(c.Text));
                QVERIFY2(std::get<QString>(parsed).contains(c.Refusal), qPrintable(c.Text));
            } else {
                QVERIFY2(std::holds_alternative<std::vector<TPlanCorner>>(parsed),
                         qPrintable(c.Text));
                QVERIFY2(std::get<std::vector<TPlanCorner>>(parsed) == c.Points,
                         qPrintable(c.Text));
            }
        }
    }

    void newCloneDeleteAreUndoSteps() {
        TMainFixture fixture;
        ui::TScenariosForm& form = fixture.Open(MakeProject());
        QUndoStack& stack = form.UndoStack();
        // The line of "L5" along x: structures at 0, 300 and 600 ft, 10 ft sag.
        fixture.Prompts.OnDialog = [](QDialog& dialog) {
            auto* newPlan = qobject_cast<ui::TNewPlanDialog*>(&dialog);
            QVERIFY(newPlan != nullptr);
            newPlan->NameField().setText(QStringLiteral("Route A"));
            newPlan->FromSectionButton().setChecked(true);
            newPlan->RouteField().setPlainText(QStringLiteral("0,0\n600,0"));
            newPlan->SpanLengthButton().setChecked(true);
            newPlan->SpanLengthField().setText(QStringLiteral("300"));
            newPlan->SagField().setText(QStringLiteral("10"));
            newPlan->accept();
            QVERIFY2(newPlan->result() == QDialog::Accepted,
                     qPrintable(newPlan->MessageLabel().text()));
        };
        fixture.Prompts.DialogResults = {QDialog::Accepted};
        fixture.Main->Actions().mnPlanNew->trigger();
        QCOMPARE(stack.count(), 1);
        const TPlan made = StoredPlan(form, "Route A");
        // 2 circuits × (3 phases + 1 ground wire), 2 spans each.
        QCOMPARE(made.Conductors.size(), std::size_t{16});
        for (const TPlanConductor& c : made.Conductors) {
            QCOMPARE(c.Shape, TPlanShape::Span);
            QCOMPARE(c.Sag, 10.0);
            const bool first = c.Points[0].X == 0;
            QCOMPARE(c.Points[0].X, first ? 0.0 : 300.0);
            QCOMPARE(c.Points[1].X, first ? 300.0 : 600.0);
            // Lowest points at 40 ft (phases) and 60 ft (ground wires), raised by the sag.
            QCOMPARE(c.Points[0].Z, c.IsGround ? 70.0 : 50.0);
        }
        ui::TPlanEditor* editor = form.PlanEditors().at(0);
        QCOMPARE(editor->PlanName(), std::string("Route A"));

        // Refused: the dialog stays open and says why; nothing changes.
        struct TRefused {
            const char* Name;
            const char* Route;
            const char* Reason;
        };
        for (const TRefused& r : {TRefused{"Route A", "0,0\n600,0", "already"},
                                  TRefused{"Route B", "0,0", "two points or more"},
                                  TRefused{"Route B", "0,0;0,0", "repeats the one before"}}) {
            fixture.Prompts.OnDialog = [&r](QDialog& dialog) {
                auto& newPlan = static_cast<ui::TNewPlanDialog&>(dialog);
                newPlan.NameField().setText(QString::fromUtf8(r.Name));
                newPlan.RouteField().setPlainText(QString::fromUtf8(r.Route));
                newPlan.accept();
                QVERIFY(newPlan.result() != QDialog::Accepted);
                QVERIFY2(newPlan.MessageLabel().text().contains(QString::fromUtf8(r.Reason)),
                         qPrintable(newPlan.MessageLabel().text()));
            };
            fixture.Main->Actions().mnPlanNew->trigger();
            QCOMPARE(form.Project().Plans.size(), std::size_t{1});
            QCOMPARE(stack.count(), 1);
        }

        // Undo takes the plan and its editor away; redo gives the same plan back.
        stack.undo();
        QVERIFY(form.Project().Plans.empty());
        QTRY_VERIFY(form.PlanEditors().empty());
        stack.redo();
        QVERIFY(StoredPlan(form, "Route A") == made);

        // Clone: the copy is the plan under the next free name.
        form.ShowPlace({0, -1, 0, 1});
        QVERIFY(form.SelectedPlan() != nullptr);
        fixture.Main->Actions().mnPlanClone->trigger();
        TPlan copy = made;
        copy.Name = "Route A (2)";
        QCOMPARE(form.Project().Plans.size(), std::size_t{2});
        QVERIFY(StoredPlan(form, "Route A (2)") == copy);
        stack.undo();
        QCOMPARE(form.Project().Plans.size(), std::size_t{1});
        stack.redo();
        QVERIFY(StoredPlan(form, "Route A (2)") == copy);

        // Delete, after Yes; undo restores it where it stood.
        form.ShowPlace({0, -1, 0, 1});
        fixture.Prompts.Answers = {QMessageBox::Yes};
        fixture.Main->Actions().mnPlanDelete->trigger();
        QCOMPARE(form.Project().Plans.size(), std::size_t{1});
        QVERIFY(form.Project().Plans[0] == copy);
        stack.undo();
        QVERIFY(form.Project().Plans[0] == made);
        QVERIFY(form.Project().Plans[1] == copy);
        QCOMPARE(stack.count(), 3);
    }

    void editorEditsUndoAndRedoExactly() {
        TMainFixture fixture;
        std::unique_ptr<TEmfProject> project = MakeProject();
        project->StorePlan(SmallPlan());
        ui::TScenariosForm& form = fixture.Open(std::move(project));
        ui::TPlanEditor* editor = form.OpenPlanEditor("P");
        QVERIFY(editor != nullptr);
        QUndoStack& stack = form.UndoStack();

        struct TEdit {
            const char* What;
            std::function<bool()> Run;
            std::function<void(TPlan&)> Expected; // the edit made by hand
        };
        const std::vector<TEdit> edits = {
            {"kV of C", [&] { return editor->EditCell(TPlanTable::Conductors, 2, ui::kKvColumn,
                                                        QStringLiteral(" 345 ")); },
             [](TPlan& p) { p.Conductors[2].Kv = 345; }},
            {"points of B",
             [&] { return editor->EditCell(TPlanTable::Conductors, 1, ui::kPointsColumn,
                                           QStringLiteral("50,0,10; 80,10,11; 100,20,10")); },
             [](TPlan& p) { p.Conductors[1].Points = {{50, 0, 10}, {80, 10, 11}, {100, 20, 10}}; }},
            {"paste a footprint",
             [&] { return editor->PasteBlock(TPlanTable::Footprints, 1, 0,
                                             QStringLiteral("Shed\t40,25;45,25;45,30\r\n")); },
             [](TPlan& p) { p.Footprints.push_back({"Shed", {{40, 25}, {45, 25}, {45, 30}}}); }},
            // The structure where A ends and B starts moves for both.
            {"drag a structure",
             [&] { return editor->MoveHandle({ui::TPlanHandle::ConductorPoint, 0, 1}, 50, 5); },
             [](TPlan& p) {
                 p.Conductors[0].Points[1] = {50, 5, 10};
                 p.Conductors[1].Points[0] = {50, 5, 10};
             }},
            {"drag a corner",
             [&] { return editor->MoveHandle({ui::TPlanHandle::FootprintCorner, 0, 2}, 31, 36); },
             [](TPlan& p) { p.Footprints[0].Corners[2] = {31, 36}; }},
            // A new conductor along the grid's lower edge at 10 m, 1 in thick.
            {"add a conductor", [&] { return editor->AddRow(TPlanTable::Conductors); },
             [](TPlan& p) {
                 TPlanConductor c = PathConductor("C4", 0, {{-10, -20, 10}, {110, -20, 10}});
                 c.Kv = 0;
                 p.Conductors.push_back(c);
             }},
            {"delete the house", [&] { return editor->RemoveRow(TPlanTable::Footprints, 0); },
             [](TPlan& p) { p.Footprints.erase(p.Footprints.begin()); }},
        };
        for (const TEdit& edit : edits) {
            const TPlan before = StoredPlan(form, "P");
            TPlan expected = before;
            edit.Expected(expected);
            QVERIFY2(edit.Run(), edit.What);
            QVERIFY2(StoredPlan(form, "P") == expected, edit.What);
            QVERIFY2(editor->Plan() == expected, edit.What);
            stack.undo();
            QVERIFY2(StoredPlan(form, "P") == before, edit.What);
            QVERIFY2(editor->Plan() == before, edit.What);
            stack.redo();
            QVERIFY2(StoredPlan(form, "P") == expected, edit.What);
            QVERIFY2(editor->Plan() == expected, edit.What);
        }
        QCOMPARE(stack.count(), static_cast<int>(edits.size()));

        // Refused values: nothing stored, no undo step, the reason in the status line.
        struct TRefused {
            int Row, Column;
            const char* Text;
            const char* Reason;
        };
        const TRefused refused[] = {
            // A at 345 kV, B at 230 kV: joined, they would touch at two voltages.
            {0, ui::kKvColumn, "345", "their surfaces meet"},
            {2, ui::kDiameterColumn, "thick", "is not a number"},
            {2, ui::kSagColumn, "-1", "sag must not be negative"},
            {0, ui::kAcDcColumn, "DX", "\"AC\" or \"DC\""},
            {1, ui::kIdColumn, "A", "two conductors have the id \"A\""},
        };
        const TPlan kept = StoredPlan(form, "P");
        for (const TRefused& r : refused) {
            QVERIFY2(!editor->EditCell(TPlanTable::Conductors, r.Row, r.Column,
                                       QString::fromUtf8(r.Text)),
                     r.Text);
            QVERIFY2(editor->StatusText().contains(QString::fromUtf8(r.Reason)),
                     qPrintable(editor->StatusText()));
            QVERIFY2(StoredPlan(form, "P") == kept, r.Text);
            QCOMPARE(editor->Table(TPlanTable::Conductors)
                         .model()
                         ->index(r.Row, r.Column)
                         .data()
                         .toString(),
                     ui::CellText(kept, TPlanTable::Conductors, r.Row, r.Column));
        }
        QCOMPARE(stack.count(), static_cast<int>(edits.size()));
    }

    // The editor's Map shows the plan's field map, which follows an edit and
    // its undo.
    void theMapFollowsTheEditedPlan() {
        TMainFixture fixture;
        std::unique_ptr<TEmfProject> project = MakeProject();
        project->StorePlan(SmallPlan());
        ui::TScenariosForm& form = fixture.Open(std::move(project));
        ui::TPlanEditor* editor = form.OpenPlanEditor("P");
        editor->MapAction().trigger();
        auto* map = editor->findChild<ui::TMapWindow*>();
        QVERIFY(map != nullptr && map->isVisible());
        const auto mapped = [map](const TPlan& plan) {
            return QTest::qWaitFor([&] {
                return !map->IsComputing() && map->MappedPlan() != nullptr &&
                       *map->MappedPlan() == plan;
            }, 20000);
        };
        const TPlan before = StoredPlan(form, "P");
        QVERIFY(mapped(before));
        QVERIFY(editor->EditCell(TPlanTable::Conductors, 2, ui::kKvColumn, "138"));
        QVERIFY(StoredPlan(form, "P") != before);
        QVERIFY(mapped(StoredPlan(form, "P")));
        form.UndoStack().undo();
        QVERIFY(mapped(before));
        editor->MapAction().trigger(); // the same window again
        QCOMPARE(editor->findChildren<ui::TMapWindow*>().size(), 1);
    }
};

QTEST_MAIN(PlanEditTest)
#include "PlanEditTest.moc"
