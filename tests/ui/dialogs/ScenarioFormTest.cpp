// The cross-section dialog: defaults in both unit systems, the tab-title rule,
// the long name taken from the tab title, what OK stores, and the corona site
// parameters of the "Corona" page (blank for unset, display units, ranges).

#include "ui/dialogs/ScenarioForm.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Type;

namespace {

TNumberField& SiteField(const QWidget& form, TSiteParameter id) {
    return *Find<TNumberField>(form, ("e" + std::string(SiteParameterInfo(id).Name)).c_str());
}

// Types into a field and leaves it, as a user moving on does.
void Enter(TNumberField& field, const QString& text) {
    Type(field, text);
    QTest::keyClick(&field, Qt::Key_Tab);
}

} // namespace

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

    void unsetSiteParametersShowBlankWithTheirDefaults_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<QStringList>("placeholders"); // in the order of the file
        QTest::addColumn<QStringList>("unitLabels");
        // Defaults 0 for heights, altitude and rain; wind 1 m/s = 2.23679 MPH
        // or 3.6 km/h; 1 MHz, 75 MHz, 0.1 mmhos/m.
        QTest::newRow("English") << int(English)
                                 << QStringList{"0.00",  "0.00", "0.00",  "0.00",  "0.00",
                                                "0.000", "2.24", "1.000", "75.00", "0.100"}
                                 << QStringList{"ft",   "ft",  "ft",  "ft",  "ft",
                                                "in/h", "MPH", "MHz", "MHz", "mmhos/m"};
        QTest::newRow("Metric") << int(Metric)
                                << QStringList{"0.00",  "0.00", "0.00",  "0.00",  "0.00",
                                               "0.000", "3.60", "1.000", "75.00", "0.100"}
                                << QStringList{"m",    "m",    "m",   "m",   "m",
                                               "mm/h", "km/h", "MHz", "MHz", "mmhos/m"};
    }
    void unsetSiteParametersShowBlankWithTheirDefaults() {
        QFETCH(int, units);
        QFETCH(QStringList, placeholders);
        QFETCH(QStringList, unitLabels);
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = static_cast<std::uint8_t>(units);
        TScenarioForm form(project, nullptr, prefs.Options());
        auto* pages = Find<QTabWidget>(form, "pcPages");
        QCOMPARE(pages->tabText(1), QString("Corona"));
        for (std::size_t i = 0; i < kSiteParameters.size(); ++i) {
            const TSiteParameterInfo& parameter = kSiteParameters[i];
            TNumberField& field = SiteField(form, parameter.Id);
            QCOMPARE(field.text(), QString());
            QCOMPARE(field.placeholderText(), placeholders[static_cast<int>(i)]);
            const QString unitName = "lb" + QString(parameter.Name) + "Unit";
            QCOMPARE(Find<QLabel>(form, qPrintable(unitName))->text(),
                     unitLabels[static_cast<int>(i)]);
        }
        Type(*Find<QLineEdit>(form, "eTabTitle"), "North");
        QVERIFY(Find<QPushButton>(form, "btOK")->isEnabled());
        TScenario section(project);
        section.RainRate = 9; // overwritten: the blank field is unset
        form.StoreValues(section);
        QVERIFY(!section.HasSiteParameters());
    }

    void aNewSectionStartsFromThePreferencesCoronaSite() {
        test::TTempPrefs prefs("[CoronaSite]\nMicrophoneHeight=1.5\nAltitude=500\n"
                               "WindVelocity=0.01\n"); // a wind no site has: unset
        TEmfProject project;
        project.Units = English;
        TScenarioForm form(project, nullptr, prefs.Options());
        // 1.5 m × 3.28 = 4.92 ft, 500 m × 3.28 = 1640 ft.
        QCOMPARE(SiteField(form, TSiteParameter::MicrophoneHeight).text(), QString("4.92"));
        QCOMPARE(SiteField(form, TSiteParameter::Altitude).text(), QString("1640.00"));
        QCOMPARE(SiteField(form, TSiteParameter::WindVelocity).text(), QString());
        TScenario section(project);
        form.StoreValues(section);
        QCOMPARE(section.MicrophoneHeight, 1.5f); // left alone: the metres, not 4.92 ÷ 3.28
        QCOMPARE(section.Altitude, 500.0f);
        QCOMPARE(section.WindVelocity, 0.0f);
    }

    void untouchedSiteValuesStayExactAndTypedOnesConvert() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = English;
        TScenario section(project);
        section.TabTitle = "L5";
        // Values no field shows exactly: 1.37 m is 4.4936 ft, 2.73 mm/h 0.10748 in/h.
        section.MicrophoneHeight = 1.37f;
        section.RainRate = 2.73f;
        section.WindVelocity = 3.31f;
        section.RadioFrequency = 0.5314f;
        section.GroundConductivity = 4.7f;
        TScenarioForm form(project, &section, prefs.Options());
        QCOMPARE(SiteField(form, TSiteParameter::MicrophoneHeight).text(), QString("4.49"));
        QCOMPARE(SiteField(form, TSiteParameter::RainRate).text(), QString("0.107"));
        QCOMPARE(SiteField(form, TSiteParameter::WindVelocity).text(), QString("7.40"));
        TScenario stored(project);
        form.StoreValues(stored);
        for (const TSiteParameterInfo& parameter : kSiteParameters)
            QCOMPARE(stored.SiteValue(parameter.Id), section.SiteValue(parameter.Id));

        // Typed in the display units: 5 ft ÷ 3.28 = 1.5243902 m; 0.04 in/h × 2.54
        // × 10 = 1.016 mm/h; 10 MPH ÷ 2.23679 = 4.4706924 m/s; retyping the text
        // shown leaves the value as it was.
        Enter(SiteField(form, TSiteParameter::MicrophoneHeight), "5");
        Enter(SiteField(form, TSiteParameter::RainRate), "0.04");
        Enter(SiteField(form, TSiteParameter::WindVelocity), "10");
        Enter(SiteField(form, TSiteParameter::GroundConductivity), "4.700");
        Enter(SiteField(form, TSiteParameter::TvAntennaHeight), "32.8");
        form.StoreValues(stored);
        QCOMPARE(stored.MicrophoneHeight, 1.5243902f);
        QCOMPARE(stored.RainRate, 1.016f);
        QCOMPARE(stored.WindVelocity, 4.4706924f);
        QCOMPARE(stored.GroundConductivity, 4.7f);
        QCOMPARE(stored.TvAntennaHeight, 10.0f); // 32.8 ÷ 3.28
        QCOMPARE(stored.RadioFrequency, 0.5314f);
    }

    void typingZeroLeavesAParameterUnset() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = Metric;
        TScenario section(project);
        section.TabTitle = "L5";
        section.TvFrequency = 200;
        section.Altitude = 300;
        TScenarioForm form(project, &section, prefs.Options());
        form.show(); // leaving a field needs a window that has the focus
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Find<QTabWidget>(form, "pcPages")->setCurrentIndex(1);
        TNumberField& frequency = SiteField(form, TSiteParameter::TvFrequency);
        QCOMPARE(frequency.text(), QString("200.00"));
        Enter(frequency, "0");
        QCOMPARE(frequency.text(), QString()); // shows the default 75.00 again
        Enter(SiteField(form, TSiteParameter::Altitude), "0.00");
        QCOMPARE(SiteField(form, TSiteParameter::Altitude).text(), QString());
        QVERIFY(Find<QPushButton>(form, "btOK")->isEnabled());
        form.StoreValues(section);
        QVERIFY(!section.HasSiteParameters());
    }

    void valuesNoSiteHasAreRefused_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // what the field keeps of it
        QTest::addColumn<QString>("problem");
        const int wind = int(TSiteParameter::WindVelocity);
        const int altitude = int(TSiteParameter::Altitude);
        const int radio = int(TSiteParameter::RadioFrequency);
        const int height = int(TSiteParameter::MicrophoneHeight);
        // 0.1 m/s is 0.2237 MPH: the field takes 0.23 and more. 100 m/s is
        // 223.679 MPH: up to 223.67.
        QTest::newRow("calm in MPH")
            << int(English) << wind << "0.2"
            << "0.2"
            << "Wind velocity: from 0.23 to 223.67 MPH, or blank for the default.";
        // 0.1 m/s is 0.36 km/h.
        QTest::newRow("calm in km/h")
            << int(Metric) << wind << "0.35"
            << "0.35"
            << "Wind velocity: from 0.36 to 360.00 km/h, or blank for the default.";
        // Radio frequencies from 0.1 MHz: 0.05 is refused on OK.
        QTest::newRow("radio below the band")
            << int(Metric) << radio << "0.05"
            << "0.05"
            << "Radio frequency: from 0.100 to 30.000 MHz, or blank for the default.";
        // Above 30 MHz the field takes no further digit.
        QTest::newRow("radio above the band") << int(Metric) << radio << "45"
                                              << "4"
                                              << "";
        // 7000 m is 22960 ft: a sixth digit, or 25000, is not taken.
        QTest::newRow("altitude too high") << int(English) << altitude << "25000"
                                           << "2500"
                                           << "";
        // -500 m is -1640 ft.
        QTest::newRow("altitude too deep") << int(English) << altitude << "-1700"
                                           << "-170"
                                           << "";
        QTest::newRow("negative height") << int(Metric) << height << "-2"
                                         << "2"
                                         << "";
        QTest::newRow("only a sign")
            << int(English) << altitude << "-"
            << "-"
            << "Altitude: from -1640.00 to 22960.00 ft, or blank for the default.";
    }
    void valuesNoSiteHasAreRefused() {
        QFETCH(int, units);
        QFETCH(int, parameter);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, problem);
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = static_cast<std::uint8_t>(units);
        TScenarioForm form(project, nullptr, prefs.Options());
        Type(*Find<QLineEdit>(form, "eTabTitle"), "North");
        TNumberField& field = SiteField(form, static_cast<TSiteParameter>(parameter));
        Type(field, typed);
        QCOMPARE(field.text(), shown);
        QCOMPARE(Find<QLabel>(form, "lbSiteError")->text(), problem);
        QCOMPARE(Find<QPushButton>(form, "btOK")->isEnabled(), problem.isEmpty());
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
