// The circuit dialog: the conductors a new circuit gets, the pick lists and the
// rules tying them to the libraries, the sub-conductor count, and the edit that
// pushes values down to the conductors.

#include "ui/dialogs/CircuitForm.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/widgets/NumberField.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Pick;
using corvalt::test::Type;

namespace {

// A project with one cross section whose circuit 1 carries one conductor of
// each phase, its type and voltage not in the sample library.
struct TSection {
    TEmfProject Project;
    TScenario* Section;
    TCircuit* First;

    explicit TSection(int units) {
        Project.Units = static_cast<std::uint8_t>(units);
        Section = &test::AddSection(Project);
        TNewCircuitValues values = test::CircuitWithConductors("Old", 1, 1);
        values.VoltageClass = 69;
        values.OverRateFactor = 1.05f;
        values.MaxVoltage = 72;
        values.Mcr = 500;
        values.CondName = "Partridge";
        values.CondDiameter = 0.642f;
        values.SubCondCount = 1;
        values.OhgwName = "3/8 EHS";
        values.OhgwDiameter = 0.375f;
        First = &test::AddCircuit(*Section, values);
    }
};

void SetRow(QWidget& form, const char* letter, int count) {
    Find<QSpinBox>(form, (std::string("sePhase") + letter).c_str())->setValue(count);
}

} // namespace

class CircuitFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void newCircuitNumbersItsConductorsPhaseByPhase() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section(English);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        QCOMPARE(form.windowTitle(), QString("Create New Circuit"));
        QCOMPARE(Find<QPushButton>(form, "btOK")->text(), QString("Create Circuit"));
        QVERIFY(!Find<QPushButton>(form, "btOK")->isEnabled()); // no name yet
        QVERIFY(Find<QCheckBox>(form, "cbNewCircuit")->isChecked());
        QCOMPARE(Find<TNumberField>(form, "eAngleB")->text(), QString("120"));
        QCOMPARE(Find<QLabel>(form, "lbDistUnit")->text(), QString("ft"));
        QCOMPARE(Find<QLabel>(form, "lbSpacingUnit")->text(), QString("in"));
        Type(*Find<QLineEdit>(form, "eCircuitName"), "C2");
        Type(*Find<TNumberField>(form, "eDistFromRowLeft"), "-50.25");
        Pick(*Find<QComboBox>(form, "cbCondName"), 0); // Drake
        Type(*Find<TNumberField>(form, "eSubCondCount"), "2");
        SetRow(form, "A", 2);
        SetRow(form, "G", 2);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);

        std::unique_ptr<TCircuit> circuit = form.TakeNewCircuit();
        QVERIFY(circuit != nullptr);
        QCOMPARE(int(circuit->Number), 2);
        QCOMPARE(circuit->Name, std::string("C2"));
        QCOMPARE(circuit->DisplayDistFromRowLeft(), -50.25f);
        std::string ids;
        for (const TConductor& conductor : circuit->Conductors)
            ids += conductor.Id + " ";
        QCOMPARE(ids, std::string("2A1 2A2 2B1 2C1 2G1 2G2 "));
        QCOMPARE(circuit->Conductors[1].PhaseAngle, 0.0f);
        QCOMPARE(circuit->Conductors[2].PhaseAngle, 120.0f);
        QCOMPARE(circuit->Conductors[3].PhaseAngle, 240.0f);
        QCOMPARE(int(circuit->Conductors[0].SubCondCount), 2);
        QCOMPARE(circuit->Conductors[0].TypeName, std::string("Drake"));
        QCOMPARE(circuit->Conductors[0].DisplayMcr(), 907.0f);
        QCOMPARE(int(circuit->Conductors[4].SubCondCount), 1);
        QCOMPARE(circuit->Conductors[5].AcFlag, std::uint8_t(1));
        QCOMPARE(int(circuit->OhgwCount), 2);
        QCOMPARE(section.Section->Circuits.Count(), 1); // the caller appends it
    }

    void aZeroCountClearsItsRowAndTheGroundNumberIsKeptAnyway() {
        test::TTempPrefs prefs;
        TSection section(Metric);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eCircuitName"), "C2");
        SetRow(form, "B", 0);
        QVERIFY(!Find<QCheckBox>(form, "cbPhaseB")->isChecked());
        SetRow(form, "C", 3);
        Find<QCheckBox>(form, "cbPhaseC")->setChecked(false); // cleared by hand
        SetRow(form, "G", 2);
        Find<QCheckBox>(form, "cbPhaseG")->setChecked(false);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        std::unique_ptr<TCircuit> circuit = form.TakeNewCircuit();
        QCOMPARE(circuit->Conductors.Count(), 1);
        QCOMPARE(circuit->Conductors[0].Id, std::string("2A1"));
        QCOMPARE(int(circuit->OhgwCount), 2);
    }

    void aNewCircuitBeyondTheConductorLimitKeepsTheDialogOpen() {
        test::TTempPrefs prefs;
        TSection section(Metric); // 1 A, 1 B, 1 C and 1 ground wire: 4 conductors
        // 10 circuits of 3 per phase and 3 ground wires (120), one of 95 per
        // phase and 1 ground wire (286), two of 10 per phase (60): 470 in all.
        for (int i = 0; i < 10; ++i)
            test::AddCircuit(*section.Section, test::CircuitWithConductors("Fill", 3, 3));
        test::AddCircuit(*section.Section, test::CircuitWithConductors("Big", 95, 1));
        for (int i = 0; i < 2; ++i)
            test::AddCircuit(*section.Section, test::CircuitWithConductors("More", 10, 0));
        QCOMPARE(section.Section->ConductorCount(), 470);

        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eCircuitName"), "C15");
        SetRow(form, "A", 10);
        SetRow(form, "B", 10);
        SetRow(form, "C", 10);
        SetRow(form, "G", 1); // 31 more would make 501
        QString shown;
        test::WhenModal<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.text();
            box.accept();
        });
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(shown, QString("The cross section would have more conductors than Corvalt "
                                "supports (at most 500 in one cross section)."));
        QVERIFY(form.result() != QDialog::Accepted);
        QVERIFY(form.TakeNewCircuit() == nullptr);
        QCOMPARE(section.Section->ConductorCount(), 470);

        SetRow(form, "G", 0); // 30 more make 500
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.TakeNewCircuit()->Conductors.Count(), 30);
    }

    void pickingAClassFillsFactorAndMaximum_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("maximum");
        QTest::newRow("230 x 1.05 = 241.5") << 1 << ""
                                            << "242";
        QTest::newRow("230 x 1.1") << 1 << "1.1"
                                   << "253";
        QTest::newRow("34.5 x 1.05 = 36.225") << 2 << ""
                                              << "36";
        QTest::newRow("negative factor") << 0 << "-1"
                                         << "0"; // kept within the field's range
    }
    void pickingAClassFillsFactorAndMaximum() {
        QFETCH(int, index);
        QFETCH(QString, factor);
        QFETCH(QString, maximum);
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section(English);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        Pick(*Find<QComboBox>(form, "cbVoltage"), index);
        QCOMPARE(Find<TNumberField>(form, "eOverRateFactor")->text(), QString("1.050"));
        if (!factor.isEmpty()) Type(*Find<TNumberField>(form, "eOverRateFactor"), factor);
        QCOMPARE(Find<TNumberField>(form, "eMaxVoltage")->text(), maximum);
    }

    void typedDiametersClearTheTypePicks() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section(English);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        auto* type = Find<QComboBox>(form, "cbCondName");
        Pick(*type, 1); // Cardinal, 30.378 mm
        QCOMPARE(Find<TNumberField>(form, "eCondDia")->text(), QString("1.196"));
        QCOMPARE(Find<TNumberField>(form, "eMCR")->text(), QString("996"));
        QCOMPARE(type->currentIndex(), 1); // filling from the pick keeps it
        Type(*Find<TNumberField>(form, "eMCR"), "1000");
        QCOMPARE(type->currentIndex(), -1);
        Pick(*type, 2);
        Type(*Find<TNumberField>(form, "eCondDia"), "0.5");
        QCOMPARE(type->currentIndex(), -1);

        auto* ohgw = Find<QComboBox>(form, "cbOhgwName");
        Pick(*ohgw, 1);
        QCOMPARE(Find<TNumberField>(form, "eOhgwDia")->text(), QString("0.385"));
        Type(*Find<TNumberField>(form, "eOhgwDia"), "0.4");
        QCOMPARE(ohgw->currentIndex(), -1);
        QCOMPARE(form.Values().CondName, std::string());
        QCOMPARE(form.Values().OhgwName, std::string());
    }

    void aSubConductorCountOfZeroShowsOne() {
        test::TTempPrefs prefs;
        TSection section(Metric);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        auto* count = Find<TNumberField>(form, "eSubCondCount");
        Type(*count, "0");
        QCOMPARE(count->text(), QString("1"));
        Type(*count, "300"); // a count is a byte: 300 cannot be typed
        QCOMPARE(count->text(), QString("30"));
    }

    void newCircuitProposesTheSectionsDefaultVoltage() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section(Metric);
        section.Section->DefaultVoltage = 230;
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        QCOMPARE(Find<QComboBox>(form, "cbVoltage")->currentText(), QString("230"));
        QCOMPARE(Find<TNumberField>(form, "eMaxVoltage")->text(), QString("230"));
        QCOMPARE(Find<TNumberField>(form, "eSubCondCount")->text(), QString("1"));
    }

    // Values missing from the library leave their picks blank; OK then stores a
    // blank type and voltage 0 on the circuit and its phase conductors.
    void editStoresBlankPicksAndPushesValuesDown() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section(English);
        TCircuit& circuit = *section.First;
        circuit.Conductors[0].SetDisplayHeight(80);
        TCircuitForm form(*section.Section, &circuit, prefs.Options());
        QCOMPARE(form.windowTitle(), QString("Edit Circuit"));
        QCOMPARE(Find<QPushButton>(form, "btOK")->text(), QString("OK"));
        QVERIFY(!Find<QTabWidget>(form, "pcPages")->isTabVisible(1));
        QCOMPARE(Find<QComboBox>(form, "cbCondName")->currentIndex(), -1);
        QCOMPARE(Find<QComboBox>(form, "cbVoltage")->currentIndex(), -1);
        QCOMPARE(Find<QComboBox>(form, "cbOhgwName")->currentText(), QString("3/8 EHS"));
        QCOMPARE(Find<TNumberField>(form, "eCondDia")->text(), QString("0.642"));
        QCOMPARE(Find<TNumberField>(form, "eMaxVoltage")->text(), QString("72"));
        Type(*Find<QLineEdit>(form, "eCircuitName"), "Renamed");
        Type(*Find<TNumberField>(form, "eSubCondCount"), "3");
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);

        QCOMPARE(circuit.Name, std::string("Renamed"));
        QCOMPARE(circuit.CondName, std::string());
        QCOMPARE(circuit.VoltageClass, 0.0f);
        QCOMPARE(circuit.MaxVoltage, 72.0f);
        QCOMPARE(int(circuit.Number), 1);
        QCOMPARE(circuit.Conductors.Count(), 4);
        const TConductor& a = circuit.Conductors[0];
        QCOMPARE(a.TypeName, std::string());
        QCOMPARE(a.VoltageClass, 0.0f);
        QCOMPARE(int(a.SubCondCount), 3);
        QCOMPARE(a.DisplayHeight(), 80.0f);
        QCOMPARE(circuit.Conductors[3].TypeName, std::string("3/8 EHS"));
        QCOMPARE(circuit.Conductors[3].Id, std::string("1G1"));
    }

    void enterInTheSpacingGoesToTheConductorsPageOnlyWhenCreating() {
        test::TTempPrefs prefs("[General]\nEnterAsTab=1\n");
        TSection section(Metric);
        for (TCircuit* circuit : {static_cast<TCircuit*>(nullptr), section.First}) {
            TCircuitForm form(*section.Section, circuit, prefs.Options());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            auto* spacing = Find<TNumberField>(form, "eBundleSpace");
            spacing->setFocus();
            QTest::keyClick(spacing, Qt::Key_Return);
            auto* pages = Find<QTabWidget>(form, "pcPages");
            QCOMPARE(pages->currentIndex(), circuit == nullptr ? 1 : 0);
            if (circuit == nullptr) QCOMPARE(form.focusWidget(), Find<QCheckBox>(form, "cbPhaseA"));
            QVERIFY(form.isVisible());
        }
    }

    void tabOrderFollowsTheLayout() {
        // Tab goes down the fields as they are laid out: the name, the
        // distance and the check box on its row, then the groups row by row
        // (voltage, conductor; ground wire, bundling), then the buttons; the
        // read-only maximum voltage takes no focus.
        test::TTempPrefs prefs("[General]\nEnterAsTab=1\n");
        TSection section(Metric);
        TCircuitForm form(*section.Section, section.First, prefs.Options());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList order;
        for (int i = 0; i < 14; ++i) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus != nullptr);
            order << focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(order,
                 (QStringList{"eCircuitName", "eDistFromRowLeft", "cbNewCircuit", "cbVoltage",
                              "eOverRateFactor", "cbCondName", "eCondDia", "eMCR", "cbOhgwName",
                              "eOhgwDia", "eSubCondCount", "eBundleSpace", "btOK", "btCancel"}));
        // The fields of a row sit left of the next one, rows go down.
        auto at = [&form](const char* name) {
            return Find<QWidget>(form, name)->mapTo(&form, QPoint(0, 0));
        };
        QVERIFY(at("eDistFromRowLeft").y() > at("eCircuitName").y());
        QVERIFY(at("cbNewCircuit").x() > at("eDistFromRowLeft").x());
    }

    void leavingTheGroundNumberGoesToOk() {
        test::TTempPrefs prefs("[General]\nEnterAsTab=1\n");
        TSection section(Metric);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Type(*Find<QLineEdit>(form, "eCircuitName"), "C2");
        Find<QTabWidget>(form, "pcPages")->setCurrentIndex(1);
        auto* ground = Find<QSpinBox>(form, "sePhaseG");
        ground->setFocus(Qt::TabFocusReason);
        QTest::keyClick(ground, Qt::Key_Return);
        QTRY_COMPARE(form.focusWidget(), Find<QPushButton>(form, "btOK"));
    }
};

QTEST_MAIN(CircuitFormTest)
#include "CircuitFormTest.moc"
