// The conductor dialog: a new conductor starts from its circuit's values, the
// type change rules and the fields each type enables, ids after a deleted
// circuit, and an edit that keeps the type and the AC flag.

#include "ui/dialogs/CondDlg.h"
#include "model/NewCircuit.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cmath>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Pick;
using corvalt::test::Type;

namespace {

// An English project with circuits 1 and 2; circuit 1 is then deleted, so the
// remaining circuit is numbered 2. Its conductor type is not in the library.
struct TSection {
    TEmfProject Project;
    TScenario* Section;
    TCircuit* Circuit;

    TSection() {
        Project.Units = English;
        Section = &test::AddSection(Project);
        TNewCircuitValues values = test::CircuitWithConductors("First", 1, 0);
        values.VoltageClass = 230;
        values.OverRateFactor = 1.05f;
        values.MaxVoltage = 242;
        values.Mcr = 800;
        values.CondName = "Falcon";
        values.CondDiameter = 1.545f;
        values.SubCondCount = 2;
        values.BundleSpacing = 18;
        values.OhgwName = "3/8 EHS";
        values.OhgwDiameter = 0.375f;
        test::AddCircuit(*Section, values);
        values.Name = "Second";
        Circuit = &test::AddCircuit(*Section, values);
        Section->RemoveCircuit(Section->Circuits[0]);
    }
};

} // namespace

class CondDlgTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void aNewConductorStartsAsPhaseAWithTheCircuitsValues() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section;
        TCondDlg form(*section.Circuit, nullptr, prefs.Options());
        QCOMPARE(form.windowTitle(), QString("Conductor Info for Circuit: Second"));
        QCOMPARE(form.ChosenType(), int(PhaseA));
        QCOMPARE(Find<QLineEdit>(form, "eId")->text(), QString("2A2"));
        QCOMPARE(Find<QComboBox>(form, "cbVoltage")->currentText(), QString("230"));
        QCOMPARE(Find<QComboBox>(form, "cbCondName")->currentIndex(), -1); // Falcon: not listed
        QCOMPARE(Find<TNumberField>(form, "eCondDia")->text(), QString("1.545"));
        QCOMPARE(Find<TNumberField>(form, "eMCR")->text(), QString("800"));
        QCOMPARE(Find<TNumberField>(form, "eSubNumber")->text(), QString("2"));
        QCOMPARE(Find<TNumberField>(form, "eSubSpacing")->text(), QString("18.0"));
        QCOMPARE(Find<QComboBox>(form, "cbOhgwName")->currentText(), QString("3/8 EHS"));
        QVERIFY(!Find<QComboBox>(form, "cbOhgwName")->isEnabled());
        QVERIFY(!Find<TNumberField>(form, "eMaxVoltage")->isEnabled());
        Type(*Find<TNumberField>(form, "eVertHeight"), "82.5");
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);

        std::unique_ptr<TConductor> conductor = form.TakeNewConductor();
        QVERIFY(conductor != nullptr);
        QCOMPARE(conductor->Id, std::string("2A2"));
        QCOMPARE(conductor->TypeName, std::string()); // the blank pick
        QCOMPARE(conductor->DisplayDiameter(), section.Circuit->DisplayCondDiameter());
        QCOMPARE(conductor->DisplayHeight(), 82.5f);
        QCOMPARE(conductor->DisplayMcr(), 800.0f);
        QCOMPARE(conductor->AcFlag, std::uint8_t(1));
        QCOMPARE(int(conductor->SubCondCount), 2);
        QCOMPARE(section.Section->ConductorCount(), 4);   // already in the flat list
        QCOMPARE(section.Circuit->Conductors.Count(), 3); // the caller adds it
    }

    void choosingAnotherTypeProposesItsIdAngleAndFields_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("angle");
        QTest::newRow("B") << int(PhaseB) << "2B2"
                           << "120";
        QTest::newRow("C") << int(PhaseC) << "2C2"
                           << "240";
        QTest::newRow("Ground") << int(Ground) << "2G1"
                                << "0";
    }
    void choosingAnotherTypeProposesItsIdAngleAndFields() {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QString, angle);
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section;
        TCondDlg form(*section.Circuit, nullptr, prefs.Options());
        Pick(*Find<QComboBox>(form, "cbCondName"), 0); // Drake, kept when grounded
        QTest::mouseClick(&Find<TRadioGroup>(form, "rgType")->Button(type), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(form, "eId")->text(), id);
        QCOMPARE(Find<TNumberField>(form, "ePhaseAngle")->text(), angle);
        const bool ground = type == Ground;
        for (const char* name : {"cbVoltage", "cbCondName"})
            QCOMPARE(Find<QComboBox>(form, name)->isEnabled(), !ground);
        for (const char* name :
             {"eOverRateFactor", "eCondDia", "eMCR", "eSubNumber", "eSubSpacing", "ePhaseAngle"})
            QCOMPARE(Find<TNumberField>(form, name)->isEnabled(), !ground);
        QCOMPARE(Find<QComboBox>(form, "cbOhgwName")->isEnabled(), ground);
        QCOMPARE(Find<TNumberField>(form, "eOhgwDia")->isEnabled(), ground);
        QVERIFY(Find<TNumberField>(form, "eHorizDistance")->isEnabled());
        if (!ground) return;
        QCOMPARE(Find<QComboBox>(form, "cbCondName")->currentText(), QString("Drake"));
        QCOMPARE(Find<QComboBox>(form, "cbVoltage")->currentText(), QString("230"));
        QCOMPARE(Find<TNumberField>(form, "eSubNumber")->text(), QString("1"));
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        std::unique_ptr<TConductor> conductor = form.TakeNewConductor();
        QCOMPARE(conductor->CondType, std::uint8_t(Ground));
        QCOMPARE(conductor->TypeName, std::string("3/8 EHS"));
        QCOMPARE(conductor->DisplayDiameter(), 0.375f);
        QCOMPARE(int(conductor->SubCondCount), 1);
        QCOMPARE(conductor->VoltageClass, 0.0f);
        QCOMPARE(conductor->Mcr, 0.0f);
        section.Circuit->AddConductor(std::move(conductor));
        QCOMPARE(int(section.Circuit->OhgwCount), 1);
    }

    void editKeepsTheTypeAndTheAcFlag() {
        test::TTempPrefs prefs(test::kSampleLibraries);
        TSection section;
        TConductor& b = section.Circuit->Conductors[1];
        b.AcFlag = 0; // a direct-current pole from a file
        b.PhaseAngle = 115;
        TCondDlg form(*section.Circuit, &b, prefs.Options());
        QVERIFY(!Find<TRadioGroup>(form, "rgType")->isEnabled());
        QCOMPARE(form.ChosenType(), int(PhaseB));
        QCOMPARE(Find<TNumberField>(form, "ePhaseAngle")->text(), QString("115"));
        QCOMPARE(Find<QLineEdit>(form, "eId")->text(), QString("2B1"));
        // A DC pole shows and takes its voltage to ground: 242 / √3 = 139.7187;
        // −250 kV is stored as −250 × √3 = −433.0127. Its class is not picked.
        auto* pole = Find<TNumberField>(form, "eMaxVoltage");
        QCOMPARE(pole->text(), QString("139.7"));
        QVERIFY(pole->isEnabled() && !Find<QComboBox>(form, "cbVoltage")->isEnabled());
        Type(*pole, "-250");
        Pick(*Find<QComboBox>(form, "cbCondName"), 1); // Cardinal
        Type(*Find<TNumberField>(form, "eHorizDistance"), "-12.5");
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(b.CondType, std::uint8_t(PhaseB));
        QCOMPARE(b.AcFlag, std::uint8_t(0));
        QCOMPARE(b.TypeName, std::string("Cardinal"));
        QCOMPARE(b.Diameter, DiameterFromDisplay(English, DisplayDiameter(English, 30.378f)));
        QCOMPARE(b.DisplayMcr(), 996.0f);
        QCOMPARE(b.VoltageClass, 230.0f);
        QVERIFY(std::fabs(b.MaxVoltage + 433.0127f) < 1e-3f);
        QCOMPARE(b.DisplayHorizDistance(), -12.5f);
        QCOMPARE(b.PhaseAngle, 115.0f);
        QCOMPARE(section.Circuit->CondName, std::string("Falcon")); // the circuit is untouched
    }

    void cancelCreatesNothing() {
        test::TTempPrefs prefs;
        TSection section;
        test::WhenModal<TCondDlg>([](TCondDlg& form) { form.reject(); });
        QVERIFY(TCondDlg::NewConductor(*section.Circuit, prefs.Options()) == nullptr);
        QCOMPARE(section.Section->ConductorCount(), 3);
    }
};

QTEST_MAIN(CondDlgTest)
#include "CondDlgTest.moc"
