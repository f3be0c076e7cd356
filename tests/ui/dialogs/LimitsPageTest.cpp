// The preferences dialog's Limits page: the table shown from the file (its
// defaults where the file has none), edits written by OK only when they change
// the table, Cancel writing nothing, Restore Defaults, and a limit of 0 refused.

#include "tests/ui/UiTestSupport.h"
#include "ui/dialogs/OptionsForm.h"
#include "ui/widgets/NumberField.h"

#include <QMessageBox>
#include <QPushButton>
#include <QListWidget>
#include <QtTest>

using namespace corvalt;
using namespace corvalt::ui;
using corvalt::test::Find;
using corvalt::test::Type;

class LimitsPageTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }

    void theLastPageShowsTheTableOfTheFile() {
        test::TTempPrefs prefs("[Limits]\nLine500=9.5,,180\n");
        TOptionsForm form(prefs.Options());
        auto* categories = Find<QListWidget>(form, "lbCategories");
        QCOMPARE(categories->item(categories->count() - 1)->text(), QString("Limits"));
        const TLimitsPage& page = form.LimitsPage();
        QCOMPARE(page.Field(TLimitClass::Line230, TLimitColumn::EWithinRow).text(),
                 QString("8.00"));
        QCOMPARE(page.Field(TLimitClass::Line230, TLimitColumn::BAtEdge).text(), QString("150.0"));
        QCOMPARE(page.Field(TLimitClass::Line500, TLimitColumn::EWithinRow).text(),
                 QString("9.50"));
        QCOMPARE(page.Field(TLimitClass::Line500, TLimitColumn::EAtEdge).text(), QString());
        QCOMPARE(page.Field(TLimitClass::Line500Double, TLimitColumn::BAtEdge).text(),
                 QString("250.0"));
        QCOMPARE(page.Field(TLimitClass::Substation, TLimitColumn::EWithinRow).text(), QString());
        QCOMPARE(page.Limits(), prefs.Options().FieldLimits());
    }

    void okWritesTheTableOnlyWhenItChanged() {
        test::TTempPrefs prefs("[General]\nEnterAsTab=1\n");
        {
            TOptionsForm form(prefs.Options());
            QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }
        QVERIFY(prefs.FileText().find("[Limits]") == std::string::npos);
        TOptionsForm form(prefs.Options());
        TLimitsPage& page = form.LimitsPage();
        Type(page.Field(TLimitClass::Line230, TLimitColumn::BAtEdge), "120.5");
        Type(page.Field(TLimitClass::Substation, TLimitColumn::EAtEdge), ""); // no limit
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(prefs.FileText().find("[Limits]\nLine230=8,2,120.5\nLine500=10,2,200\n"
                                      "Line500Double=10,2,250\nSubstation=,,150\n") !=
                std::string::npos);
    }

    void cancelWritesNothingAndRestoreDefaultsResetsTheFields() {
        test::TTempPrefs prefs("[Limits]\nLine230=7,1.5,100\n");
        const std::string before = prefs.FileText();
        TOptionsForm form(prefs.Options());
        TLimitsPage& page = form.LimitsPage();
        Type(page.Field(TLimitClass::Line500, TLimitColumn::EWithinRow), "12");
        QTest::mouseClick(&page.RestoreButton(), Qt::LeftButton);
        QCOMPARE(page.Limits(), DefaultFieldLimits());
        form.reject();
        QCOMPARE(prefs.FileText(), before);
    }

    void aLimitOfZeroIsRefused() {
        test::TTempPrefs prefs;
        TOptionsForm form(prefs.Options());
        Type(form.LimitsPage().Field(TLimitClass::Line500Double, TLimitColumn::BAtEdge), "0");
        QString shown;
        test::WhenModal<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.text();
            box.accept();
        });
        QTest::mouseClick(Find<QPushButton>(form, "btOK"), Qt::LeftButton);
        QCOMPARE(shown, QString("500 kV double-circuit lines, B at ROW edge (mG): a limit must be "
                                "above 0. Leave the field empty for no limit."));
        QVERIFY(form.result() != QDialog::Accepted);
        QCOMPARE(prefs.FileText(), std::string());
    }
};

QTEST_MAIN(LimitsPageTest)
#include "LimitsPageTest.moc"
