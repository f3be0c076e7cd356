// The preferences dialog and its library editors: grids, headings and formats,
// the popup, insert/edit/delete/up/down, the editors' refusals with their exact
// messages, the library display unit, OK writing everything and Cancel
// restoring the libraries from the file.

#include "ui/dialogs/OptionsForm.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/dialogs/LibraryEditors.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Type;

namespace {

QString Heading(const QTableWidget& grid, int column) {
    return grid.horizontalHeaderItem(column)->text();
}

QString CellText(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item != nullptr ? item->text() : QString();
}

QStringList VisibleItems(QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        if (action->isVisible()) texts << action->text();
    return texts;
}

std::vector<float> Voltages(const TOptions& options) {
    std::vector<float> voltages;
    for (const TVoltItem& item : options.Voltages())
        voltages.push_back(item.Voltage);
    return voltages;
}

// Fills the voltage editor that a command opened and confirms it.
void EnterVoltage(const QString& voltage, const QString& factor) {
    test::WhenModal<TVoltageForm>([voltage, factor](TVoltageForm& editor) {
        Type(*Find<TNumberField>(editor, "eVoltage"), voltage);
        Type(*Find<TNumberField>(editor, "eFactor"), factor);
        QTest::mouseClick(Find<QPushButton>(editor, "btOK"), Qt::LeftButton);
    });
}

} // namespace

class OptionsFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void emptyLibrariesShowOneBlankRowAndOfferOnlyInsert() {
        test::TTempPrefs prefs;
        TOptionsForm form(prefs.Options());
        QCOMPARE(form.windowTitle(), QString("Preferences"));
        QCOMPARE(Find<QStackedWidget>(form, "pcPages")->currentIndex(), 0);
        for (const TLibraryKind kind :
             {TLibraryKind::Voltages, TLibraryKind::Conductors, TLibraryKind::Ohgws})
            QCOMPARE(form.Grid(kind).rowCount(), 1);
        QCOMPARE(VisibleItems(form.PopupFor(TLibraryKind::Voltages)),
                 QStringList{"Insert a Voltage Class"});
        QCOMPARE(VisibleItems(form.PopupFor(TLibraryKind::Ohgws)),
                 QStringList{"Insert an Ohgw Type"});
        form.MoveEntryUp(TLibraryKind::Voltages);
        form.MoveEntryDown(TLibraryKind::Voltages);
        form.DeleteEntry(TLibraryKind::Voltages);
        QCOMPARE(prefs.Options().Voltages().Count(), 0);
    }

    void gridsShowHeadingsAndFormatsInTheLibraryUnit() {
        test::TTempPrefs prefs(std::string(test::kSampleLibraries) + "[Project]\nMesUnits=0\n");
        TOptionsForm form(prefs.Options());
        const QTableWidget& voltages = form.Grid(TLibraryKind::Voltages);
        QCOMPARE(voltages.rowCount(), 4);
        QCOMPARE(Heading(voltages, 0), QString("Voltage Class\n( kV )"));
        QCOMPARE(Heading(voltages, 1), QString("% Over Rated"));
        QCOMPARE(Heading(voltages, 2), QString("Max Voltage\n( kV )"));
        QCOMPARE(CellText(voltages, 1, 0), QString(" 230"));
        QCOMPARE(CellText(voltages, 1, 1), QString(" 1.050"));
        QCOMPARE(CellText(voltages, 2, 0), QString(" 35")); // 34.5 as a whole kilovolt
        QCOMPARE(CellText(voltages, 3, 0), QString());      // the blank row
        const QTableWidget& conductors = form.Grid(TLibraryKind::Conductors);
        QCOMPARE(Heading(conductors, 1), QString("Diameter\n( in )"));
        QCOMPARE(Heading(conductors, 2), QString("MCR\n( amps )"));
        QCOMPARE(CellText(conductors, 0, 0), QString(" Drake"));
        QCOMPARE(CellText(conductors, 0, 1), QString(" 1.108"));
        QCOMPARE(CellText(conductors, 0, 2), QString(" 907"));
        QVERIFY(conductors.item(0, 0)->textAlignment() & Qt::AlignLeft);
        QVERIFY(conductors.item(0, 1)->textAlignment() & Qt::AlignRight);
        QCOMPARE(Heading(form.Grid(TLibraryKind::Ohgws), 1), QString("Diameter\n(in)"));

        QTest::mouseClick(&Find<TRadioGroup>(form, "rgUnits")->Button(1), Qt::LeftButton);
        QCOMPARE(form.LibraryUnits(), int(Metric));
        QCOMPARE(Heading(conductors, 1), QString("Diameter\n( mm )"));
        QCOMPARE(CellText(conductors, 0, 1), QString(" 28.143"));
        QCOMPARE(Heading(form.Grid(TLibraryKind::Ohgws), 1), QString("Diameter\n(mm)"));
        QCOMPARE(CellText(form.Grid(TLibraryKind::Ohgws), 0, 1), QString(" 9.525"));
        QCOMPARE(VisibleItems(form.PopupFor(TLibraryKind::Conductors)),
                 (QStringList{"Insert a Conductor Type", "Edit a Conductor Type",
                              "Delete a Conductor Type"}));
    }

    void insertingOnTheBlankRowAppendsAndOnAnEntryPutsItThere() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TOptionsForm form(prefs.Options());
        QTableWidget& grid = form.Grid(TLibraryKind::Voltages);
        grid.setCurrentCell(3, 0); // the blank row
        EnterVoltage("500", "1.1");
        form.InsertEntry(TLibraryKind::Voltages);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{115, 230, 34.5f, 500}));
        QCOMPARE(prefs.Options().Voltages()[3].MaxVoltage, 550.0f);
        QCOMPARE(grid.currentRow(), 3);
        QCOMPARE(grid.rowCount(), 5);

        grid.setCurrentCell(1, 0); // entry 2
        EnterVoltage("138", "1.05");
        form.InsertEntry(TLibraryKind::Voltages);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{115, 138, 230, 34.5f, 500}));
        QCOMPARE(grid.currentRow(), 1);
        QCOMPARE(CellText(grid, 1, 2), QString(" 145"));
    }

    void deleteAndMovesKeepTheRowOnTheEntry() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TOptionsForm form(prefs.Options());
        QTableWidget& grid = form.Grid(TLibraryKind::Voltages);
        grid.setCurrentCell(0, 0);
        form.MoveEntryUp(TLibraryKind::Voltages); // the first cannot move up
        form.MoveEntryDown(TLibraryKind::Voltages);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{230, 115, 34.5f}));
        QCOMPARE(grid.currentRow(), 1);
        form.MoveEntryDown(TLibraryKind::Voltages);
        form.MoveEntryDown(TLibraryKind::Voltages); // the last cannot move down
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{230, 34.5f, 115}));
        QCOMPARE(grid.currentRow(), 2);
        QTest::mouseClick(Find<QToolButton>(form, "bVoltUp"), Qt::LeftButton);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{230, 115, 34.5f}));
        QCOMPARE(grid.currentRow(), 1);
        form.DeleteEntry(TLibraryKind::Voltages);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{230, 34.5f}));
        QCOMPARE(grid.currentRow(), 0);
        grid.setCurrentCell(2, 0); // the blank row: nothing to delete
        form.DeleteEntry(TLibraryKind::Voltages);
        QCOMPARE(prefs.Options().Voltages().Count(), 2);
    }

    void theVoltageEditorRefusesZeroAndDuplicates() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSafeList<TVoltItem>& library = prefs.Options().Voltages();
        TVoltageForm insert(library, TLibraryEdit::Insert, 1, true);
        QCOMPARE(insert.windowTitle(), QString("Voltage Class"));
        auto* ok = Find<QPushButton>(insert, "btOK");
        QCOMPARE(insert.ErrorText(), QString("  Voltage cannot be zero"));
        QVERIFY(!ok->isEnabled());
        Type(*Find<TNumberField>(insert, "eVoltage"), "230");
        QCOMPARE(insert.ErrorText(), QString("  Entry already exists"));
        QVERIFY(!ok->isEnabled());
        Type(*Find<TNumberField>(insert, "eVoltage"), "0");
        QCOMPARE(insert.ErrorText(), QString("  Voltage cannot be zero"));
        Type(*Find<TNumberField>(insert, "eVoltage"), "345");
        QCOMPARE(insert.ErrorText(), QString());
        QVERIFY(ok->isEnabled());

        TVoltageForm edit(library, TLibraryEdit::Edit, 1, true); // its own 230 is no duplicate
        QCOMPARE(edit.ErrorText(), QString());
        QCOMPARE(Find<TNumberField>(edit, "eMaxVoltage")->text(), QString("242"));
        Type(*Find<TNumberField>(edit, "eVoltage"), "115");
        QCOMPARE(edit.ErrorText(), QString("  Entry already exists"));
    }

    // The maximum is the product of the typed texts, rounded half away from
    // zero: 230 x 1.05 is 241.5 (single precision would give 241.49999 and 241).
    void theVoltageEditorRoundsTheExactProduct_data() {
        QTest::addColumn<QString>("voltage");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("maximum");
        QTest::newRow("230 x 1.05") << "230"
                                    << "1.05"
                                    << "242";
        QTest::newRow("230 x 1.1") << "230"
                                   << "1.1"
                                   << "253";
        QTest::newRow("69 x 1.05 = 72.45") << "69"
                                           << "1.05"
                                           << "72";
        QTest::newRow("no factor") << "500"
                                   << ""
                                   << "0";
        QTest::newRow("1000 x 1.005") << "1000"
                                      << "1.005"
                                      << "1005";
    }
    void theVoltageEditorRoundsTheExactProduct() {
        QFETCH(QString, voltage);
        QFETCH(QString, factor);
        QFETCH(QString, maximum);
        TSafeList<TVoltItem> library;
        TVoltageForm editor(library, TLibraryEdit::Insert, 0, true);
        Type(*Find<TNumberField>(editor, "eVoltage"), voltage);
        Type(*Find<TNumberField>(editor, "eFactor"), factor);
        QCOMPARE(Find<TNumberField>(editor, "eMaxVoltage")->text(), maximum);
        QTest::mouseClick(Find<QPushButton>(editor, "btOK"), Qt::LeftButton);
        QCOMPARE(library.Count(), 1);
        QCOMPARE(QString::number(library[0].MaxVoltage), maximum);
    }

    void theTypeEditorChecksTheName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << ""
                               << "Name cannot be blank";
        QTest::newRow("blanks") << "   "
                                << "Name cannot be blank";
        QTest::newRow("leading blank") << " Hawk"
                                       << "1st position of name cannot be space, quote or \\";
        QTest::newRow("quote") << "\"Hawk"
                               << "1st position of name cannot be space, quote or \\";
        QTest::newRow("apostrophe") << "'Hawk"
                                    << "1st position of name cannot be space, quote or \\";
        QTest::newRow("backslash") << "\\Hawk"
                                   << "1st position of name cannot be space, quote or \\";
        QTest::newRow("duplicate") << "Cardinal"
                                   << "Entry already exists";
        QTest::newRow("trailing blanks") << "Cardinal  "
                                         << "Entry already exists";
        QTest::newRow("other case") << "cardinal"
                                    << "";
        QTest::newRow("itself") << "Drake"
                                << "";
    }
    void theTypeEditorChecksTheName() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        test::TTempPrefs prefs(test::kSampleLibraries);
        TCondOhgwForm editor(prefs.Options(), TLibraryKind::Conductors, TLibraryEdit::Edit, 0,
                             Metric, true);
        QCOMPARE(editor.windowTitle(), QString("Conductor"));
        Find<QLineEdit>(editor, "eName")->setText(name);
        QCOMPARE(editor.ErrorText(), error);
        QCOMPARE(Find<QPushButton>(editor, "btOK")->isEnabled(), error.isEmpty());
    }

    void theTypeEditorStoresMillimetresAndATrimmedName() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TCondOhgwForm editor(prefs.Options(), TLibraryKind::Ohgws, TLibraryEdit::Insert, 2, English,
                             true);
        QCOMPARE(editor.ErrorText(), QString("Name cannot be blank"));
        QVERIFY(!Find<QPushButton>(editor, "btOK")->isEnabled());
        QVERIFY(Find<TNumberField>(editor, "eMCR")->isHidden());
        QCOMPARE(Find<QLabel>(editor, "lbDiameterUnit")->text(), QString("in"));
        Type(*Find<QLineEdit>(editor, "eName"), "OPGW|48 ");
        QCOMPARE(Find<QLineEdit>(editor, "eName")->text(), QString("OPGW48 ")); // no bars
        Type(*Find<TNumberField>(editor, "eDiameter"), "1");
        QTest::mouseClick(Find<QPushButton>(editor, "btOK"), Qt::LeftButton);
        const TSafeList<TOhgwItem>& ohgws = prefs.Options().Ohgws();
        QCOMPARE(ohgws.Count(), 3);
        QCOMPARE(ohgws[2].Name, std::string("OPGW48"));
        QCOMPARE(ohgws[2].Diameter, 25.4f);
    }

    void editingOnlyTheNameKeepsTheStoredDiameter() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TCondOhgwForm editor(prefs.Options(), TLibraryKind::Conductors, TLibraryEdit::Edit, 0,
                             English, true);
        QCOMPARE(Find<TNumberField>(editor, "eDiameter")->text(), QString("1.108"));
        QCOMPARE(Find<TNumberField>(editor, "eMCR")->text(), QString("907"));
        Type(*Find<QLineEdit>(editor, "eName"), "Drake ACSR");
        QTest::mouseClick(Find<QPushButton>(editor, "btOK"), Qt::LeftButton);
        QCOMPARE(prefs.Options().Conductors()[0].Name, std::string("Drake ACSR"));
        QCOMPARE(prefs.Options().Conductors()[0].Diameter, 28.143f);
    }

    void okWritesEveryPreferenceAndTheLibraries() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TOptionsForm form(prefs.Options());
        Type(*Find<QLineEdit>(form, "eFacName"), "Gulf Power  ");
        Type(*Find<QLineEdit>(form, "eAgentPhone"), "555-0100");
        Type(*Find<TNumberField>(form, "eBphase"), "-120");
        QTest::mouseClick(&Find<TRadioGroup>(form, "rgUnits")->Button(1), Qt::LeftButton);
        QTest::mouseClick(&Find<TRadioGroup>(form, "rgCsPrtOption")->Button(1), Qt::LeftButton);
        Find<QCheckBox>(form, "cbEnter")->setChecked(false);
        QVERIFY(Find<QCheckBox>(form, "cbLimitsStatement")->isChecked());
        Find<QCheckBox>(form, "cbLimitsStatement")->setChecked(false);
        QVERIFY(Find<QCheckBox>(form, "cbCoronaPlot")->isChecked());
        Find<QCheckBox>(form, "cbCoronaPlot")->setChecked(false);
        for (int i = 0; i < 3; ++i) {
            form.Grid(TLibraryKind::Voltages).setCurrentCell(0, 0);
            form.DeleteEntry(TLibraryKind::Voltages);
        }
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));

        TOptions reread(prefs.Path());
        reread.LoadLibraries();
        QCOMPARE(reread.FacName(), std::string("Gulf Power"));
        QCOMPARE(reread.AgentPhone(), std::string("555-0100"));
        QCOMPARE(reread.PhaseBAngle(), -120);
        QCOMPARE(reread.PhaseCAngle(), 240);
        QCOMPARE(reread.MesUnits(), 1);
        QCOMPARE(reread.CsPrtOpt(), 1);
        QVERIFY(!reread.EnterAsTab());
        QVERIFY(!reread.LimitsStatement());
        QVERIFY(reread.DetailsPlot());
        QVERIFY(!reread.CoronaPlot());
        QCOMPARE(reread.Voltages().Count(), 0);
        QCOMPARE(reread.Conductors().Count(), 3);
        QVERIFY(prefs.FileText().find("[Voltages]") == std::string::npos);
    }

    void okAsksBeforeDroppingLibraryLinesItCannotRead() {
        // A mixed section loses nothing; the two broken lines would be lost.
        const std::string text = "[Conductors]\nDrake=28.143,907\n1=|Linnet|,18.288,529\n"
                                 "2=|Bad|,wide,529\n[Ohgws]\nlost\n";
        test::TTempPrefs prefs(text);
        QCOMPARE(prefs.Options().Conductors().Count(), 2);
        TOptionsForm form(prefs.Options());
        QString asked, details;
        const auto answer = [&](QMessageBox::StandardButton button) {
            test::WhenModal<QMessageBox>([&, button](QMessageBox& box) {
                asked = box.text();
                details = box.detailedText();
                box.button(button)->click();
            });
        };
        answer(QMessageBox::No);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(asked, QString("2 lines of the libraries in the preferences file cannot be "
                                "read and will be lost when the libraries are saved. Save "
                                "anyway?"));
        QCOMPARE(details, QString("[Conductors] 2=|Bad|,wide,529\n[Ohgws] lost"));
        QVERIFY(form.result() != QDialog::Accepted);
        QCOMPARE(prefs.FileText(), text); // nothing written, not even the scalars

        answer(QMessageBox::Yes);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        const std::string saved = prefs.FileText();
        QVERIFY(saved.find("[Conductors]\n0=|Drake|,28.143,907\n1=|Linnet|,18.288,529\n") !=
                std::string::npos);
        QVERIFY(saved.find("Bad") == std::string::npos);
        QVERIFY(saved.find("lost") == std::string::npos);
    }

    void aRefusedWriteIsShownAndTheDialogStaysOpen() {
        QTemporaryDir folder;
        const std::string plain = (folder.path() + "/plain").toStdString();
        QFile(QString::fromStdString(plain)).open(QIODevice::WriteOnly); // a file, not a folder
        const std::filesystem::path ini = std::filesystem::path(plain) / "corvalt.INI";
        TOptions options(ini);
        TOptionsForm form(options);
        QString shown;
        test::WhenModal<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.text();
            box.accept();
        });
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        // Says why: the folder of the file is a file.
        QCOMPARE(shown, QString::fromStdString("Unable to write to " + ini.string() +
                                               " (the folder '" + plain + "' does not exist)"));
        QVERIFY(form.result() != QDialog::Accepted);
    }

    void cancelRestoresTheLibrariesFromTheFile() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        const std::string before = prefs.FileText();
        TOptionsForm form(prefs.Options());
        form.Grid(TLibraryKind::Conductors).setCurrentCell(0, 0);
        form.DeleteEntry(TLibraryKind::Conductors);
        form.Grid(TLibraryKind::Ohgws).setCurrentCell(0, 0);
        form.MoveEntryDown(TLibraryKind::Ohgws);
        Type(*Find<QLineEdit>(form, "eCities"), "Tampa");
        QCOMPARE(prefs.Options().Conductors().Count(), 2);
        form.reject();
        QCOMPARE(prefs.Options().Conductors().Count(), 3);
        QCOMPARE(prefs.Options().Conductors()[0].Name, std::string("Drake"));
        QCOMPARE(prefs.Options().Ohgws()[0].Name, std::string("3/8 EHS"));
        QCOMPARE(prefs.FileText(), before); // nothing written
    }

    void coronaSiteFollowsTheUnitsAndIsWrittenInStoredUnits() {
        // 1.37 m shows as 1.37 × 3.28 = 4.49 ft; 2.5 m/s as 2.5 × 2.23679 =
        // 5.59 MPH and 2.5 × 3.6 = 9.00 km/h.
        test::TTempPrefs prefs("[Project]\nMesUnits=0\n[CoronaSite]\nMicrophoneHeight=1.37\n"
                               "WindVelocity=2.5\n");
        TOptionsForm form(prefs.Options());
        QVERIFY(Find<QGroupBox>(form, "gbCoronaSite") != nullptr);
        auto* microphone = Find<TNumberField>(form, "eMicrophoneHeight");
        auto* wind = Find<TNumberField>(form, "eWindVelocity");
        auto* altitude = Find<TNumberField>(form, "eAltitude");
        QCOMPARE(microphone->text(), QString("4.49"));
        QCOMPARE(wind->text(), QString("5.59"));
        QCOMPARE(altitude->text(), QString()); // unset
        QCOMPARE(Find<QLabel>(form, "lbWindVelocityUnit")->text(), QString("MPH"));

        Type(*altitude, "984"); // ft: 984 ÷ 3.28 = 300 m
        QTest::mouseClick(&Find<TRadioGroup>(form, "rgUnits")->Button(1), Qt::LeftButton);
        QCOMPARE(microphone->text(), QString("1.37"));
        QCOMPARE(wind->text(), QString("9.00"));
        QCOMPARE(altitude->text(), QString("300.00"));
        QCOMPARE(Find<QLabel>(form, "lbWindVelocityUnit")->text(), QString("km/h"));
        Type(*Find<TNumberField>(form, "eRainRate"), "2.5");
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));

        const TOptions reread(prefs.Path());
        using enum TSiteParameter;
        QCOMPARE(reread.CoronaSiteDefault(MicrophoneHeight), 1.37f); // never rounded to 4.49 ft
        QCOMPARE(reread.CoronaSiteDefault(WindVelocity), 2.5f);
        QCOMPARE(reread.CoronaSiteDefault(Altitude), 300.0f);
        QCOMPARE(reread.CoronaSiteDefault(RainRate), 2.5f);
        QCOMPARE(reread.CoronaSiteDefault(TvFrequency), 0.0f);
    }

    void anUnusableCoronaSiteValueKeepsOkDisabled() {
        test::TTempPrefs prefs("[Project]\nMesUnits=1\n");
        TOptionsForm form(prefs.Options());
        Type(*Find<TNumberField>(form, "eGroundConductivity"), "0.005"); // below 0.01
        QCOMPARE(Find<QLabel>(form, "lbSiteError")->text(),
                 QString("Ground conductivity: from 0.010 to 10000.000 mmhos/m, or blank for "
                         "the default."));
        QVERIFY(!Find<QPushButton>(form, "btOK")->isEnabled());
        const std::string before = prefs.FileText();
        form.findChild<QPushButton*>("btOK")->click();
        QCOMPARE(prefs.FileText(), before);
        Type(*Find<TNumberField>(form, "eGroundConductivity"), "0.05");
        QVERIFY(Find<QPushButton>(form, "btOK")->isEnabled());
    }

    void enterAlwaysMovesOnAndFromTheLastOfAPageToTheNext() {
        test::TTempPrefs prefs("[General]\nEnterAsTab=0\n");
        TOptionsForm form(prefs.Options());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* pages = Find<QStackedWidget>(form, "pcPages");
        auto* cities = Find<QLineEdit>(form, "eCities");
        cities->setFocus();
        QTest::keyClick(cities, Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 1);
        QTest::keyClick(Find<QLineEdit>(form, "eAgentPhone"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(form.focusWidget(), Find<TNumberField>(form, "eAphase"));
        QTest::keyClick(Find<TNumberField>(form, "eAphase"), Qt::Key_Return);
        QCOMPARE(form.focusWidget(), Find<TNumberField>(form, "eBphase"));
        QTest::keyClick(Find<TNumberField>(form, "eCphase"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 3);
        QCOMPARE(form.focusWidget(), Find<TNumberField>(form, "eMicrophoneHeight"));
        QTest::keyClick(Find<TNumberField>(form, "eGroundConductivity"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 4);
        QTest::keyClick(Find<QTableWidget>(form, "sgVoltages"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 5);
        // The list of categories marks the page shown.
        QCOMPARE(Find<QListWidget>(form, "lbCategories")->currentRow(), 5);
        QVERIFY(form.isVisible());
    }

    void everyPageIsReachedThroughTheListOfCategories() {
        test::TTempPrefs prefs;
        TOptionsForm form(prefs.Options());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* list = Find<QListWidget>(form, "lbCategories");
        auto* pages = Find<QStackedWidget>(form, "pcPages");
        // Each category with a control only its page holds.
        const std::pair<const char*, const char*> categories[] = {
            {"New Projects", "eFacName"}, {"New Projects (cont)", "eAgentName"},
            {"New Circuits", "eAphase"},  {"New CrossSections", "eMicrophoneHeight"},
            {"Voltages", "sgVoltages"},   {"Cond/Ohgw", "sgOhgws"},
            {"General", "cbEnter"},       {"Limits", "tsLimits"}};
        QCOMPARE(list->count(), int(std::size(categories)));
        QCOMPARE(pages->count(), list->count());
        // Backwards, so that every click changes the page.
        for (int row = list->count() - 1; row >= 0; --row) {
            const auto& [category, control] = categories[row];
            QListWidgetItem* item = list->item(row);
            QCOMPARE(item->text(), QString(category));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(item).center());
            QCOMPARE(pages->currentIndex(), row);
            QVERIFY2(form.findChild<QWidget*>(control)->isVisible(), category);
        }
    }

    void theButtonsBesideTheGridsRunThePopupCommands() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TOptionsForm form(prefs.Options());
        QTableWidget& grid = form.Grid(TLibraryKind::Voltages);
        auto* add = Find<QPushButton>(form, "bVoltAdd");
        auto* edit = Find<QPushButton>(form, "bVoltEdit");
        auto* remove = Find<QPushButton>(form, "bVoltDelete");
        QCOMPARE(remove->toolTip(), QString("Delete a Voltage Class")); // the popup's item
        // On the blank row only Add acts; it appends.
        grid.setCurrentCell(3, 0);
        QVERIFY(add->isEnabled());
        QVERIFY(!edit->isEnabled());
        QVERIFY(!remove->isEnabled());
        EnterVoltage("500", "1.1");
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{115, 230, 34.5f, 500}));
        QCOMPARE(grid.currentRow(), 3);
        QVERIFY(edit->isEnabled());
        // Edit opens the entry in the editor: 345 kV at 2 % over rated is 351.9 kV.
        grid.setCurrentCell(1, 0);
        EnterVoltage("345", "1.02");
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{115, 345, 34.5f, 500}));
        QCOMPARE(CellText(grid, 1, 2), QString(" 352"));
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(Voltages(prefs.Options()), (std::vector<float>{115, 34.5f, 500}));
        // The ground-wire library's own buttons act on its grid only.
        form.Grid(TLibraryKind::Ohgws).setCurrentCell(0, 0);
        QTest::mouseClick(Find<QPushButton>(form, "bOhgwDelete"), Qt::LeftButton);
        QCOMPARE(prefs.Options().Ohgws().Count(), 1);
        QCOMPARE(prefs.Options().Ohgws()[0].Name, std::string("7#8 Alumoweld"));
        QCOMPARE(prefs.Options().Voltages().Count(), 3);
    }
};

QTEST_MAIN(OptionsFormTest)
#include "OptionsFormTest.moc"
