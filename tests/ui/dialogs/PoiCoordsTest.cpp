// The point-of-interest and coordinates dialogs: units, empty names, the
// coordinates heading and table, arrow keys, and OK on a circuit without
// conductors.

#include "model/NewCircuit.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/dialogs/ChangeCoords.h"
#include "ui/dialogs/PoiForm.h"
#include "ui/widgets/NumberField.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Type;

namespace {

TCircuit& AddCircuit(TScenario& section, const char* name, float distanceShown, int phases) {
    TNewCircuitValues values = test::CircuitWithConductors(name, phases, phases > 0 ? 1 : 0);
    values.DistFromRowLeft = distanceShown;
    return test::AddCircuit(section, values);
}

} // namespace

class PoiCoordsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void aNewPointMayHaveAnEmptyName() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = English;
        TScenario& section = test::AddSection(project);
        TPoiForm form(section, nullptr, prefs.Options());
        QCOMPARE(form.windowTitle(), QString("Point of Interest"));
        QCOMPARE(Find<QLineEdit>(form, "eName")->text(), QString());
        QCOMPARE(Find<TNumberField>(form, "eDist")->text(), QString());
        QCOMPARE(Find<QLabel>(form, "lbDistUnit")->text(), QString("ft"));
        Type(*Find<TNumberField>(form, "eDist"), "-100");
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        std::unique_ptr<TInterestPoint> point = form.TakeNewPoint();
        QVERIFY(point != nullptr);
        QCOMPARE(point->Name, std::string());
        QCOMPARE(point->DistFromRowLeft, -30.487805f);
        QCOMPARE(section.InterestPoints.Count(), 0); // the caller appends it
    }

    void editShowsThePointInTheProjectsUnit() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = Metric;
        TScenario& section = test::AddSection(project);
        TInterestPoint point(section);
        point.Name = "House ";
        point.DistFromRowLeft = 42.25f;
        TPoiForm form(section, &point, prefs.Options());
        QCOMPARE(Find<TNumberField>(form, "eDist")->text(), QString("42.3"));
        QCOMPARE(Find<QLabel>(form, "lbDistUnit")->text(), QString("m"));
        form.StoreValues(point);
        QCOMPARE(point.Name, std::string("House"));
        QCOMPARE(point.DistFromRowLeft, 42.25f); // untouched: not rounded to the field
        QVERIFY(!TPoiForm::EditPoint(nullptr, prefs.Options()));
    }

    void coordinatesListEveryConductorUnderAHeading() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = English;
        TScenario& section = test::AddSection(project);
        TCircuit& circuit = AddCircuit(section, "C1", 50, 1);
        TChangeCoords form(circuit, prefs.Options());
        QCOMPARE(form.windowTitle(), QString("Edit Circuit Coordinates"));
        QCOMPARE(Find<QLabel>(form, "lbHeading")->text(), QString("C1 is 50.00 ft from ROW Left."));
        QCOMPARE(form.Fields().size(), std::size_t(8));
        for (const TNumberField* field : form.Fields())
            QCOMPARE(field->text(), QString("0.0"));
        Type(*Find<TNumberField>(form, "eDistance2"), "-15.5");
        Type(*Find<TNumberField>(form, "eHeight2"), "80");
        Type(*Find<TNumberField>(form, "eHeight3"), "95");
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(circuit.Conductors[2].DisplayHorizDistance(), -15.5f);
        QCOMPARE(circuit.Conductors[2].DisplayHeight(), 80.0f);
        QCOMPARE(circuit.Conductors[3].Id, std::string("1G1"));
        QCOMPARE(circuit.Conductors[3].DisplayHeight(), 95.0f);
        QCOMPARE(circuit.Conductors[0].Height, 0.0f);
    }

    void arrowKeysMoveWithinTheColumn() {
        test::TTempPrefs prefs;
        TEmfProject project;
        TScenario& section = test::AddSection(project);
        TChangeCoords form(AddCircuit(section, "C1", 0, 1), prefs.Options());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Fields in table order: distance and height of 1A1, 1B1, 1C1, 1G1.
        const std::vector<TNumberField*>& fields = form.Fields();
        QCOMPARE(fields.size(), std::size_t{8});
        fields[0]->setFocus();
        for (const std::size_t below : {2u, 4u, 6u, 6u}) { // the last row stays
            QTest::keyClick(form.focusWidget(), Qt::Key_Down);
            QCOMPARE(form.focusWidget(), fields[below]);
        }
        fields[7]->setFocus();
        for (const std::size_t above : {5u, 3u, 1u, 1u}) { // the first row stays
            QTest::keyClick(form.focusWidget(), Qt::Key_Up);
            QCOMPARE(form.focusWidget(), fields[above]);
        }
    }

    void aCircuitWithoutConductorsShowsOnlyTheHeading() {
        test::TTempPrefs prefs;
        TEmfProject project;
        project.Units = Metric;
        TScenario& section = test::AddSection(project);
        TCircuit& circuit = AddCircuit(section, "Empty", 12.345f, 0);
        TChangeCoords form(circuit, prefs.Options());
        QCOMPARE(Find<QLabel>(form, "lbHeading")->text(),
                 QString("Empty is 12.35 m from ROW Left."));
        QVERIFY(form.Fields().empty());
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(PoiCoordsTest)
#include "PoiCoordsTest.moc"
