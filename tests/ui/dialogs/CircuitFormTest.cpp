// The circuit dialog: the conductors a new circuit gets, the pick lists and the
// rules tying them to the libraries, the sub-conductor count, and the edit that
// pushes values down to the conductors.

#include "ui/dialogs/CircuitForm.h"
#include "compute/Compute.h"
#include "model/PoleVoltage.h"
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

#include <array>
#include <cmath>

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

// Picks the structure template and types its lowest phase height, phase
// spacing, offset, ground-wire height and offset.
void SetStructure(QWidget& form, int kind, const std::array<const char*, 5>& shape) {
    Pick(*Find<QComboBox>(form, "cbTemplate"), kind);
    const char* names[] = {"eLowestHeight", "ePhaseSpacing", "eHorizOffset", "eGroundHeight",
                           "eGroundOffset"};
    for (std::size_t i = 0; i < shape.size(); ++i)
        Type(*Find<TNumberField>(form, names[i]), shape[i]);
}

void ExpectPlace(const TConductor& conductor, float horiz, float height) {
    QVERIFY2(std::fabs(conductor.DisplayHorizDistance() - horiz) < 1e-3f, conductor.Id.c_str());
    QVERIFY2(std::fabs(conductor.DisplayHeight() - height) < 1e-3f, conductor.Id.c_str());
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

    // A ±500 kV bipole of 3 × 40.6 mm sub-conductors at 45.7 cm, its poles
    // 12.2 m apart at 15.2 m, built in the dialog and computed. By hand, with
    // the potential coefficients of the two poles and their images:
    //   bundle radius R = S / (2 sin 60°) = 0.457 / 1.7320508 = 0.263849 m
    //   equivalent radius req = (n r R^2)^(1/3) = (3 × 0.0203 × 0.0696163)^(1/3)
    //                         = 0.161849 m
    //   P11 = ln(2h / req) = ln(30.4 / 0.161849) = 5.235535
    //   P12 = ln(√(12.2² + 30.4²) / 12.2) = ln(32.7567 / 12.2) = 0.987671
    //   the poles' charges are equal and opposite: 500 kV = q / (2πε0) (P11 − P12),
    //   q / (2πε0) = 500 / 4.247864 = 117.706 kV
    //   average gradient q / (2πε0 n r) = 117.706 / (3 × 2.03 cm) = 19.328 kV/cm
    //   largest gradient × (1 + (n − 1) r / R) = 19.328 × 1.153876 = 22.30 kV/cm
    // The stored maximum voltage is 500 × √3 = 866.03 kV.
    void aDcBipoleFromTheDialogHasTheSurfaceGradientWorkedByHand() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = Metric;
        TScenario& section = test::AddSection(project);
        TCircuitForm form(section, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eCircuitName"), "HVDC");
        Pick(*Find<QComboBox>(form, "cbCurrent"), 1); // DC bipole
        QVERIFY(!Find<QComboBox>(form, "cbVoltage")->isEnabled());
        QVERIFY(!Find<QSpinBox>(form, "sePhaseA")->isEnabled());
        Type(*Find<TNumberField>(form, "ePoleVoltage"), "500");
        Type(*Find<TNumberField>(form, "eCondDia"), "40.6");
        Type(*Find<TNumberField>(form, "eSubCondCount"), "3");
        Type(*Find<TNumberField>(form, "eBundleSpace"), "45.7");
        SetStructure(form, 3, {"15.2", "12.2", "0", "0", "0"}); // horizontal
        SetRow(form, "G", 0);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        std::vector<std::unique_ptr<TCircuit>> circuits = form.TakeNewCircuits();
        QCOMPARE(circuits.size(), std::size_t{1});
        TCircuit& circuit = section.Circuits[section.Circuits.Add(std::move(circuits.front()))];
        QCOMPARE(circuit.Conductors.Count(), 2);
        const TConductor& plus = circuit.Conductors[0];
        const TConductor& minus = circuit.Conductors[1];
        QCOMPARE(int(plus.AcFlag), 0);
        QVERIFY(std::fabs(plus.MaxVoltage - 866.0254f) < 1e-3f);
        QVERIFY(std::fabs(minus.MaxVoltage + 866.0254f) < 1e-3f);
        ExpectPlace(plus, -6.1f, 15.2f);
        ExpectPlace(minus, 6.1f, 15.2f);

        QVERIFY2(ComputeScenario(section), section.CalcError.c_str());
        QVERIFY(plus.Calc.MaxGradient.has_value() && minus.Calc.MaxGradient.has_value());
        QVERIFY2(std::fabs(*plus.Calc.MaxGradient - 22.30f) < 0.01f,
                 QByteArray::number(*plus.Calc.MaxGradient).constData());
        QVERIFY(std::fabs(*minus.Calc.MaxGradient + 22.30f) < 0.01f);
    }

    // The vertical double circuit in feet: columns at −12 and +12 ft, phase A at
    // 60 + 2 × 18 = 96 ft, B at 78, C at 60, the one ground wire at 0 ft, 100 ft.
    void aVerticalDoubleCircuitFromItsTemplateComesAsTwoCircuits() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section(English);
        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eCircuitName"), "Ridge");
        Type(*Find<TNumberField>(form, "eDistFromRowLeft"), "75");
        SetRow(form, "A", 3);
        SetStructure(form, 2, {"60", "18", "12", "100", "0"});
        QCOMPARE(Find<QSpinBox>(form, "sePhaseA")->value(), 1); // one per place
        QCOMPARE(Find<QSpinBox>(form, "sePhaseG")->value(), 1);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        std::vector<std::unique_ptr<TCircuit>> circuits = form.TakeNewCircuits();
        QCOMPARE(circuits.size(), std::size_t{2});
        QCOMPARE(circuits[1]->Name, std::string("Ridge 2"));
        QCOMPARE(circuits[1]->DisplayDistFromRowLeft(), 75.0f);
        const TCircuit& left = *circuits[0];
        const TCircuit& right = *circuits[1];
        QCOMPARE(left.Conductors.Count(), 4);
        QCOMPARE(right.Conductors.Count(), 3);
        const float heights[] = {96, 78, 60};
        for (int i = 0; i < 3; ++i) {
            ExpectPlace(left.Conductors[i], -12, heights[i]);
            ExpectPlace(right.Conductors[i], 12, heights[i]);
        }
        ExpectPlace(left.Conductors[3], 0, 100);
        QCOMPARE(right.Conductors[2].PhaseAngle, 240.0f);
    }

    // Editing a DC circuit shows the pole voltage, not the stored maximum, and
    // takes a new one; a DC circuit without a pole voltage is refused.
    void aDcCircuitIsEditedByItsPoleVoltage() {
        test::TTempPrefs prefs;
        TSection section(Metric);
        TNewCircuitValues values = test::CircuitWithConductors("Pole", 1, 1);
        values.Current = TCurrentKind::DcBipole;
        values.PoleKv = 500;
        TCircuit& circuit = test::AddCircuit(*section.Section, values);
        {
            TCircuitForm form(*section.Section, &circuit, prefs.Options());
            QCOMPARE(Find<QComboBox>(form, "cbCurrent")->currentIndex(), 1);
            QVERIFY(!Find<QComboBox>(form, "cbCurrent")->isEnabled());
            QCOMPARE(Find<TNumberField>(form, "ePoleVoltage")->text(), QString("500.0"));
            QCOMPARE(Find<TNumberField>(form, "eMaxVoltage")->text(), QString());
            Type(*Find<TNumberField>(form, "ePoleVoltage"), "320");
            QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }
        // 320 × √3 = 554.2563
        QVERIFY(std::fabs(circuit.Conductors[0].MaxVoltage - 554.2563f) < 1e-3f);
        QVERIFY(std::fabs(circuit.Conductors[1].MaxVoltage + 554.2563f) < 1e-3f);

        TCircuitForm form(*section.Section, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eCircuitName"), "Mono");
        Pick(*Find<QComboBox>(form, "cbCurrent"), 2);
        QVERIFY(Find<QCheckBox>(form, "cbMetallicReturn")->isEnabled());
        QString shown;
        test::WhenModal<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.text();
            box.accept();
        });
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(shown, QString("Enter the pole voltage to ground of the DC circuit."));
        QVERIFY(form.TakeNewCircuits().empty());
        // Back to AC: the class's maximum shows again.
        Pick(*Find<QComboBox>(form, "cbCurrent"), 0);
        QVERIFY(!Find<TNumberField>(form, "eMaxVoltage")->text().isEmpty());
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
