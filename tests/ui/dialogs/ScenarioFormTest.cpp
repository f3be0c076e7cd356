// The cross-section dialog: defaults in both unit systems, the tab-title rule,
// the long name taken from the tab title, and what OK stores.

#include "ui/dialogs/ScenarioForm.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Type;

class ScenarioFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void newSectionProposesOneMetreSensors_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("unit");
        QTest::newRow("English") << int(English) << "3.28"
                                 << "ft";
        QTest::newRow("Metric") << int(Metric) << "1.00"
                                << "m";
    }
    void newSectionProposesOneMetreSensors() {
        QFETCH(int, units);
        QFETCH(QString, shown);
        QFETCH(QString, unit);
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = static_cast<std::uint8_t>(units);
        TScenarioForm form(project, nullptr, prefs.Options());
        QCOMPARE(form.windowTitle(), QString("CrossSection"));
        QCOMPARE(Find<TNumberField>(form, "eMagnField")->text(), shown);
        QCOMPARE(Find<TNumberField>(form, "eElectrField")->text(), shown);
        QCOMPARE(Find<QLabel>(form, "lbRowLeftUnit")->text(), unit);
        QCOMPARE(Find<QLabel>(form, "lbElectrFieldUnit")->text(), unit);
        QVERIFY(!Find<TNumberField>(form, "eRowLeft")->isEnabled());
        QVERIFY(!Find<QPushButton>(form, "btOK")->isEnabled());

        Type(*Find<QLineEdit>(form, "eTabTitle"), "North");
        QVERIFY(Find<QPushButton>(form, "btOK")->isEnabled());
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        std::unique_ptr<TScenario> section = form.TakeNewScenario();
        QVERIFY(section != nullptr);
        QCOMPARE(section->BFieldHeight, 1.0f); // 3.28 ft left alone is 1 m again
        QCOMPARE(section->EFieldHeight, 1.0f);
        QCOMPARE(section->RowLeft, 0.0f);
        QCOMPARE(section->TabTitle, std::string("North"));
        QCOMPARE(section->Title, std::string("North")); // empty long name takes the tab title
        QCOMPARE(section->SectionType, std::uint8_t(TransmissionLine));
        QCOMPARE(project.Scenarios.Count(), 0); // the caller appends it
    }

    void blankTabTitleKeepsOkDisabled() {
        test::TTempPrefs prefs;
        TEmfProject project;
        TScenarioForm form(project, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eTitle"), "Line 5");
        Type(*Find<QLineEdit>(form, "eTabTitle"), "   ");
        QVERIFY(!Find<QPushButton>(form, "btOK")->isEnabled());
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QVERIFY(form.TakeNewScenario() == nullptr);
    }

    void enteringAnEmptyLongNameCopiesTheTabTitle() {
        test::TTempPrefs prefs;
        TEmfProject project;
        TScenarioForm form(project, nullptr, prefs.Options());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Type(*Find<QLineEdit>(form, "eTabTitle"), "Bay 2");
        Find<QLineEdit>(form, "eTitle")->setFocus(Qt::TabFocusReason);
        QCOMPARE(Find<QLineEdit>(form, "eTitle")->text(), QString("Bay 2"));
    }

    void editStoresEnteredLengthsInMetres() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = English;
        TScenario section(project);
        section.Title = "Line 5";
        section.TabTitle = "L5  ";
        section.SectionType = Substation;
        section.SetDisplayRowLeft(75);
        TScenarioForm form(project, &section, prefs.Options());
        QCOMPARE(Find<QLineEdit>(form, "eTabTitle")->text(), QString("L5  "));
        QCOMPARE(Find<TRadioGroup>(form, "rgType")->ItemIndex(), 1);
        QCOMPARE(Find<TNumberField>(form, "eRowLeft")->text(), QString("75.0"));
        Type(*Find<TNumberField>(form, "eRowRight"), "100");
        Type(*Find<TNumberField>(form, "eMagnField"), "-1.5"); // a buried sensor is allowed
        form.StoreValues(section);
        QCOMPARE(section.TabTitle, std::string("L5")); // trailing blanks removed
        QCOMPARE(section.RowRight, 30.487805f);
        QCOMPARE(section.DisplayRowLeft(), 75.0f);
        QCOMPARE(section.DisplayBFieldHeight(), -1.5f);
        QCOMPARE(section.SectionType, std::uint8_t(Substation));
    }

    void rowRightRefusesANegativeValueAndTheComma() {
        test::TTempPrefs prefs;
        TEmfProject project;
        TScenarioForm form(project, nullptr, prefs.Options());
        auto* right = Find<TNumberField>(form, "eRowRight");
        Type(*right, "-12,5");
        QCOMPARE(right->text(), QString("125"));
    }
};

QTEST_MAIN(ScenarioFormTest)
#include "ScenarioFormTest.moc"
