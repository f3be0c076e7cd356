// The project dialog: defaults for a new project, the title rule, the exemption
// flags, the notification explanation, the voltage pick, Enter moving from page
// to page, and the commit order (units before the line length).

#include "ui/dialogs/EditPrjForm.h"
#include "tests/ui/UiTestSupport.h"
#include "model/DayNumbers.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Type;
using TMode = TEditPrjForm::TMode;

class EditPrjFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void newProjectTakesTheDefaultsOfThePreferences() {
        test::TTempPrefs prefs("[Project]\nMesUnits=1\nEngineerName=J. Alvarez\n"
                               "AgentName=Gulf Power\nAgentAddress=1 Main St;Tampa\n"
                               "PePhone=555-0199\nFacName=Gulf Power\nFacCnt=Pasco\n"
                               "FacCty=Tampa\n");
        TEmfProject project;
        TEditPrjForm form(project, prefs.Options(), TMode::New);
        QCOMPARE(form.windowTitle(), QString("New Project"));
        QCOMPARE(Find<TRadioGroup>(form, "rgUnits")->ItemIndex(), 1);
        QCOMPARE(Find<QLabel>(form, "lbLineLength")->text(), QString("km"));
        QCOMPARE(Find<QLineEdit>(form, "eEngineerName")->text(), QString("J. Alvarez"));
        QCOMPARE(Find<QLineEdit>(form, "eAgentAddress")->text(), QString("1 Main St;Tampa"));
        QCOMPARE(Find<QLineEdit>(form, "ePePhone")->text(), QString("555-0199"));
        QCOMPARE(Find<QLineEdit>(form, "eFOwner")->text(), QString("Gulf Power"));
        QCOMPARE(Find<QLineEdit>(form, "eCounties")->text(), QString("Pasco"));
        QCOMPARE(Find<QLineEdit>(form, "eCities")->text(), QString("Tampa"));
        QCOMPARE(Find<QDateEdit>(form, "dtConstruction")->date(), QDate::currentDate());
        QVERIFY(Find<QRadioButton>(form, "rbPrev")->isChecked());
        QVERIFY(!Find<QLineEdit>(form, "eNotifExplanation")->isEnabled());
        QCOMPARE(Find<QTabWidget>(form, "pcPages")->currentIndex(), 0);

        auto* ok = Find<QPushButton>(form, "btOK");
        QVERIFY(!ok->isEnabled());
        Type(*Find<QLineEdit>(form, "eTitle"), "   ");
        QVERIFY(!ok->isEnabled());
        Type(*Find<QLineEdit>(form, "eTitle"), "Riverside  ");
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(project.Title, std::string("Riverside"));
        QCOMPARE(project.Units, std::uint8_t(Metric));
        QCOMPARE(project.EntryDate, TodayDayNumber());
        QCOMPARE(project.UpdateDate, TodayDayNumber());
        QCOMPARE(project.ExemptionFlags, std::string("     "));
    }

    void exemptionBoxesAreStoredOnePositionEach() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Title = "P";
        project.ExemptionFlags = "X"; // shorter texts come from older files
        TEditPrjForm form(project, prefs.Options(), TMode::Edit);
        QVERIFY(Find<QCheckBox>(form, "cbLess15")->isChecked());
        QVERIFY(!Find<QCheckBox>(form, "cbDRIDev")->isChecked());
        Find<QCheckBox>(form, "cbLess15")->setChecked(false);
        Find<QCheckBox>(form, "cbOneCounty")->setChecked(true);
        Find<QCheckBox>(form, "cbDRIDev")->setChecked(true);
        form.StoreValues(project);
        QCOMPARE(project.ExemptionFlags, std::string(" X  X"));

        project.ExemptionFlags = "x? -";
        TEditPrjForm again(project, prefs.Options(), TMode::Edit);
        QVERIFY(Find<QCheckBox>(again, "cbLess15")->isChecked());
        QVERIFY(Find<QCheckBox>(again, "cbOneCounty")->isChecked());
        QVERIFY(!Find<QCheckBox>(again, "cbExistingRow")->isChecked());
        QVERIFY(Find<QCheckBox>(again, "cbDRIBind")->isChecked());
        QVERIFY(!Find<QCheckBox>(again, "cbDRIDev")->isChecked());
    }

    // Units are stored before the line length, so the number in the field is
    // taken in the newly chosen unit.
    void switchingUnitsKeepsTheTypedLineLengthInTheNewUnit_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<float>("storedKm");
        QTest::addColumn<QString>("label");
        QTest::newRow("miles to km") << int(English) << 10.0f << "km";
        QTest::newRow("km to miles") << int(Metric) << MilesToKilometres(10) << "mi";
    }
    void switchingUnitsKeepsTheTypedLineLengthInTheNewUnit() {
        QFETCH(int, from);
        QFETCH(float, storedKm);
        QFETCH(QString, label);
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Title = "P";
        project.Units = static_cast<std::uint8_t>(from);
        TEditPrjForm form(project, prefs.Options(), TMode::Edit);
        Type(*Find<TNumberField>(form, "eLineLength"), "10");
        QTest::mouseClick(&Find<TRadioGroup>(form, "rgUnits")->Button(1 - from), Qt::LeftButton);
        QCOMPARE(Find<QLabel>(form, "lbLineLength")->text(), label);
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(int(project.Units), 1 - from);
        QCOMPARE(project.LineLength, storedKm);
        QCOMPARE(project.DisplayLineLength(), 10.0f);
    }

    void onlyOtherKeepsAnExplanation() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Title = "P";
        project.Notification = 1; // Concurrent, with an explanation left from before
        project.NotificationExplanation = "stale";
        TEditPrjForm form(project, prefs.Options(), TMode::Edit);
        auto* explanation = Find<QLineEdit>(form, "eNotifExplanation");
        QCOMPARE(explanation->text(), QString());
        QTest::mouseClick(Find<QRadioButton>(form, "rbOther"), Qt::LeftButton);
        QVERIFY(explanation->isEnabled() && !explanation->isReadOnly());
        Type(*explanation, "Filed with the county");
        QTest::mouseClick(Find<QRadioButton>(form, "rbPrev"), Qt::LeftButton);
        QVERIFY(!explanation->isEnabled() && explanation->isReadOnly());
        QCOMPARE(explanation->text(), QString());
        form.StoreValues(project);
        QCOMPARE(project.Notification, std::uint8_t(0));
        QCOMPARE(project.NotificationExplanation, std::string());
    }

    void theVoltagePickShowsOnlyLibraryClasses_data() {
        QTest::addColumn<float>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<float>("afterOk");
        QTest::newRow("in the library") << 34.5f << 2 << 34.5f;
        QTest::newRow("not in the library") << 400.0f << -1 << 0.0f;
    }
    void theVoltagePickShowsOnlyLibraryClasses() {
        QFETCH(float, stored);
        QFETCH(int, index);
        QFETCH(float, afterOk);
        test::TTempPrefs prefs(test::kSampleLibraries);
        TEmfProject project;
        project.Title = "P";
        project.VoltageClass = stored;
        TEditPrjForm form(project, prefs.Options(), TMode::Edit);
        QCOMPARE(form.windowTitle(), QString("Edit Project"));
        QCOMPARE(Find<QComboBox>(form, "cbVoltage")->currentIndex(), index);
        form.StoreValues(project);
        QCOMPARE(project.VoltageClass, afterOk);
    }

    void enterMovesFromTheLastFieldOfAPageToTheNext() {
        test::TTempPrefs prefs("[General]\nEnterAsTab=1\n");
        TEmfProject project;
        TEditPrjForm form(project, prefs.Options(), TMode::New);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* pages = Find<QTabWidget>(form, "pcPages");
        Find<QLineEdit>(form, "eTitle")->setFocus();
        QTest::keyClick(Find<QLineEdit>(form, "eTitle"), Qt::Key_Return);
        QCOMPARE(form.focusWidget(), Find<QDateEdit>(form, "dtConstruction"));
        QTest::keyClick(Find<QLineEdit>(form, "eEngineerName"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 1);
        QCOMPARE(form.focusWidget(), Find<QLineEdit>(form, "ePeName"));
        QTest::keyClick(Find<QLineEdit>(form, "eAgentPhone"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 2);
        QTest::keyClick(Find<QLineEdit>(form, "eCities"), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 3);
        QCOMPARE(form.focusWidget(), Find<QComboBox>(form, "cbVoltage"));
        QVERIFY(form.isVisible());
    }

    void withoutEnterAsTabEnterConfirms() {
        test::TTempPrefs prefs("[General]\nEnterAsTab=0\n");
        TEmfProject project;
        TEditPrjForm form(project, prefs.Options(), TMode::New);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Type(*Find<QLineEdit>(form, "eTitle"), "Quick");
        QTest::keyClick(Find<QLineEdit>(form, "eTitle"), Qt::Key_Return);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(project.Title, std::string("Quick"));
    }

    void newProjectGivesNothingOnCancel() {
        test::TTempPrefs prefs;
        test::WhenModal<TEditPrjForm>([](TEditPrjForm& form) { form.reject(); });
        QVERIFY(TEditPrjForm::NewProject(prefs.Options()) == nullptr);
        test::WhenModal<TEditPrjForm>([](TEditPrjForm& form) {
            Type(*Find<QLineEdit>(form, "eTitle"), "Made");
            QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        });
        std::unique_ptr<TEmfProject> project = TEditPrjForm::NewProject(prefs.Options());
        QVERIFY(project != nullptr);
        QCOMPARE(project->Title, std::string("Made"));
        QCOMPARE(project->Scenarios.Count(), 0);
    }
};

QTEST_MAIN(EditPrjFormTest)
#include "EditPrjFormTest.moc"
