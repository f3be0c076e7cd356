// The project window's grid as an editor: distances and heights typed in
// place, copy and paste with a spreadsheet, and Mirror. Every change is one
// undo step that gives back the project exactly; a refused one changes
// nothing and the status line says why.
#include "MainWinTestSupport.h"

#include "model/ProjectSnapshot.h"
#include "ui/widgets/NumberField.h"
#include "ui/windows/GridClipboard.h"
#include "ui/windows/ScenariosForm.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

using namespace corvalt;
using namespace corvalt::test;
using TForm = ui::TScenariosForm;
using TGrid = ui::TConductorGrid;

namespace {

// MakeProject, English: C1 at -40 ft and C2 at +40 ft from the reference line,
// each with 1A1 at -15 ft, 1B1 at 0, 1C1 at +15 (40 ft high) and 1G1 at +30
// (60 ft high) from its circuit. The cross section's node lists all eight.
void SelectRows(TForm& form, std::initializer_list<int> rows) {
    form.Tree().setCurrentItem(form.Tree().topLevelItem(0));
    form.Grid().clearSelection();
    for (const int row : rows)
        form.Grid().selectionModel()->select(form.Grid().model()->index(row, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
}

void TypeIntoCell(TForm& form, int row, int column, const QString& text) {
    TGrid& grid = form.Grid();
    grid.setCurrentCell(row, column);
    grid.editItem(grid.item(row, column));
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits after its key
}

QString Status(TMainFixture& f) {
    return f.Main->statusBar()->currentMessage();
}

const QString kTitles = "Circuit\tLabel\tDist From Circuit (ft)\tHgt From Ground (ft)\t"
                        "SubCond / Bundle\tSubCond Diameter (in)\tBundle Spacing (in)\t"
                        "Maximum Voltage (kV)\tPhase Angle (Deg)\tMCR (Amps)\t"
                        "x (ft)";

} // namespace

class TGridEditTest : public QObject {
    Q_OBJECT
  private slots:
    void typedValueIsOneUndoStep_data();
    void typedValueIsOneUndoStep();
    void refusedValueChangesNothing_data();
    void refusedValueChangesNothing();
    void copyGivesTitlesAndShownValues();
    void pasteIsOneUndoStep_data();
    void pasteIsOneUndoStep();
    void refusedPasteNamesRowAndColumn_data();
    void refusedPasteNamesRowAndColumn();
    void decimalCommaOnlyWhereTheLocaleHasIt();
    void mirrorNegatesAndTwiceIsIdentity();
};

void TGridEditTest::typedValueIsOneUndoStep_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cell");
    // " " and "%7.1f": blank, two pads, -22.5.
    QTest::newRow("distance") << TGrid::kDistanceColumn << "   -22.5";
    QTest::newRow("height") << TGrid::kHeightColumn << "   -22.5";
}

void TGridEditTest::typedValueIsOneUndoStep() {
    QFETCH(int, column);
    QFETCH(QString, cell);
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
    SelectRows(form, {0});
    TypeIntoCell(form, 0, column, "-22.5");
    const TConductor& conductor = *form.RowConductor(0);
    const float shown = column == TGrid::kHeightColumn ? conductor.DisplayHeight()
                                                       : conductor.DisplayHorizDistance();
    QVERIFY(std::abs(shown + 22.5f) < 1e-4f);
    QCOMPARE(form.Grid().item(0, column)->text(), cell);
    QCOMPARE(form.UndoStack().count(), 1);
    QVERIFY(f.Dialogs.Calls.isEmpty()); // Return ended the edit, opened no dialog
    form.UndoStack().undo();
    QVERIFY(TakeProjectSnapshot(form.Project()) == before);
}

void TGridEditTest::refusedValueChangesNothing_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("why");
    QTest::newRow("text") << "4O" << "\"4O\" is not a number";
    QTest::newRow("two decimals") << "40.25" << "\"40.25\" has more than 1 decimal";
    QTest::newRow("eight digits") << "12345678" << "\"12345678\" is outside -9999999.9 to 9999999.9";
}

void TGridEditTest::refusedValueChangesNothing() {
    QFETCH(QString, typed);
    QFETCH(QString, why);
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
    SelectRows(form, {1});
    TypeIntoCell(form, 1, TGrid::kHeightColumn, typed);
    QCOMPARE(Status(f), "Height of 1B1 kept: " + why + ".");
    QCOMPARE(form.Grid().item(1, TGrid::kHeightColumn)->text(), QStringLiteral("    40.0"));
    QCOMPARE(form.UndoStack().count(), 0);
    QVERIFY(TakeProjectSnapshot(form.Project()) == before);
}

void TGridEditTest::copyGivesTitlesAndShownValues() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    // Both B phases read 0.0 from their circuits; the lateral position tells
    // them apart: -40 + 0 and +40 + 0 ft.
    SelectRows(form, {1, 5});
    form.CopyRows();
    QCOMPARE(QApplication::clipboard()->text(),
             kTitles + "\n"
                       "C1\t1B1\t0.0\t40.0\t1\t1.108\t0.0\t242\t120\t900\t-40.0\n"
                       "C2\t2B1\t0.0\t40.0\t1\t1.108\t0.0\t242\t120\t900\t40.0\n");
}

void TGridEditTest::pasteIsOneUndoStep_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("block");
    // Rows 1A1 and 1B1 get distances -20.5, 4.0 and heights 45.0, 46.5.
    QTest::newRow("two columns, both selected")
        << QList<int>{0, 1} << "-20.5\t45\n4\t46.5\n";
    QTest::newRow("two columns from the one selected")
        << QList<int>{0} << "-20.5\t45\r\n4\t46.5";
    QTest::newRow("whole rows under the titles, x not read")
        << QList<int>{0, 1}
        << kTitles + "\nC1\t1A1\t-20.5\t45.0\t1\t1.108\t0\t242\t0\t900\t-55.0\n"
                     "C1\t1B1\t4.0\t46.5\t1\t1.108\t0.0\t242\t120\t900\t99\n";
}

void TGridEditTest::pasteIsOneUndoStep() {
    QFETCH(QList<int>, selected);
    QFETCH(QString, block);
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
    SelectRows(form, {});
    for (const int row : selected)
        form.Grid().selectionModel()->select(form.Grid().model()->index(row, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
    QApplication::clipboard()->setText(block);
    form.PasteRows();
    QCOMPARE(Status(f), QString());
    QCOMPARE(form.UndoStack().count(), 1);
    const float expected[2][2] = {{-20.5f, 45.0f}, {4.0f, 46.5f}};
    for (int row = 0; row < 2; ++row) {
        QVERIFY(std::abs(form.RowConductor(row)->DisplayHorizDistance() - expected[row][0]) < 1e-4f);
        QVERIFY(std::abs(form.RowConductor(row)->DisplayHeight() - expected[row][1]) < 1e-4f);
    }
    // 1A1 now lies at -40 - 20.5 ft from the reference line.
    QCOMPARE(form.Grid().item(0, TGrid::kLateralColumn)->text(), QStringLiteral(" -60.5")); // x is not padded
    form.UndoStack().undo();
    QVERIFY(TakeProjectSnapshot(form.Project()) == before);
}

void TGridEditTest::refusedPasteNamesRowAndColumn_data() {
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("why");
    QTest::newRow("more rows than selected")
        << "1\t2\n3\t4\n5\t6\n"
        << "Nothing was pasted: the block has 3 rows and 2 conductors are selected; "
           "select as many, or the first of them.";
    QTest::newRow("a bad height in the second row")
        << "1\t2\n3\t2,5.0\n"
        << "Nothing was pasted: row 2, column \"Hgt From Ground (ft)\": \"2,5.0\" is not a number.";
    QTest::newRow("three columns")
        << kTitles + "\n1\t2\t3\n1\t2\t3\n"
        << "Nothing was pasted: row 2 has 3 columns; a block has 2 (Dist From Circuit (ft) and "
           "Hgt From Ground (ft)) or 11 (whole rows as copied).";
    QTest::newRow("a changed voltage")
        << "C1\t1A1\t1\t2\t1\t1.108\t0.0\t242\t0\t900\t0\n"
           "C1\t1B1\t1\t2\t1\t1.108\t0.0\t500\t120\t900\t0\n"
        << "Nothing was pasted: row 2, column \"Maximum Voltage (kV)\": shows \"500\", not the "
           "conductor's \"242\"; change it in the conductor's dialog.";
}

void TGridEditTest::refusedPasteNamesRowAndColumn() {
    QFETCH(QString, block);
    QFETCH(QString, why);
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
    SelectRows(form, {0, 1});
    QApplication::clipboard()->setText(block);
    form.PasteRows();
    QCOMPARE(Status(f), why);
    QCOMPARE(form.UndoStack().count(), 0);
    QVERIFY(TakeProjectSnapshot(form.Project()) == before);
}

void TGridEditTest::decimalCommaOnlyWhereTheLocaleHasIt() {
    const QStringList titles = {"D", "H"};
    const ui::TPastedBlock block = ui::SplitPastedText("-12,5\t40.5\n", titles);
    const ui::TNumberPicture picture = ui::Picture("#######.#", true);
    const auto comma =
        ui::ReadPastedCoordinates(block, titles, {0, 1, -1}, {{"", ""}}, picture, QChar(','));
    QVERIFY(std::holds_alternative<std::vector<ui::TPastedCoordinates>>(comma));
    const auto& values = std::get<std::vector<ui::TPastedCoordinates>>(comma);
    QCOMPARE(values.front().Distance, -12.5);
    QCOMPARE(values.front().Height, 40.5);
    const auto point =
        ui::ReadPastedCoordinates(block, titles, {0, 1, -1}, {{"", ""}}, picture, QChar('.'));
    QCOMPARE(std::get<QString>(point),
             QStringLiteral("Nothing was pasted: row 1, column \"D\": \"-12,5\" is not a number."));
}

void TGridEditTest::mirrorNegatesAndTwiceIsIdentity() {
    TMainFixture f;
    TForm& form = f.Open(MakeProject());
    const TProjectSnapshot before = TakeProjectSnapshot(form.Project());
    form.Tree().setCurrentItem(form.Tree().topLevelItem(0)->child(1)); // C1
    // From the reference line: -40 ft plus -15, 0, +15 and +30.
    const QStringList mirrored = {" 55.0", " 40.0", " 25.0", " 10.0"};
    f.Main->Actions().mnCircMirror->trigger();
    QCOMPARE(form.UndoStack().count(), 1);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(form.Grid().item(row, TGrid::kLateralColumn)->text(), mirrored[row]);
    QCOMPARE(form.Grid().item(0, TGrid::kDistanceColumn)->text(), QStringLiteral("    15.0"));
    form.MirrorCircuit();
    QCOMPARE(form.UndoStack().count(), 2);
    QVERIFY(TakeProjectSnapshot(form.Project()) == before);
}

QTEST_MAIN(TGridEditTest)
#include "GridEditTest.moc"
