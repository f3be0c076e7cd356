// The building blocks every dialog shares: number pictures, "." as decimal point
// whatever the locale, fields that keep an untouched value unrounded, Enter as
// Tab with its page moves, text conversion, how grid columns share a width, and
// the contrast of the grey hints in blank fields.

#include "tests/model/GermanLocale.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/app/TextConvert.h"
#include "ui/widgets/ColumnWidths.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/ReadableText.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <clocale>

using namespace corvalt;
using namespace corvalt::ui;

Q_DECLARE_METATYPE(std::vector<corvalt::ui::TColumnSpan>)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// A dialog with two pages of two fields each and an OK button.
struct TTwoPageDialog {
    QDialog dialog;
    QTabWidget* tabs = new QTabWidget;
    QLineEdit* fields[4] = {new QLineEdit, new QLineEdit, new QLineEdit, new QLineEdit};
    QDialogButtonBox* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);

    TTwoPageDialog() {
        for (int page = 0; page < 2; ++page) {
            auto* widget = new QWidget;
            auto* layout = new QVBoxLayout(widget);
            layout->addWidget(fields[2 * page]);
            layout->addWidget(fields[2 * page + 1]);
            tabs->addTab(widget, QString::number(page));
        }
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(tabs);
        layout->addWidget(buttons);
    }
};

} // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { UseCNumberFormat(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void picturesAcceptOnlyTheirDigitsAndRange_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("state");
        const int ok = QValidator::Acceptable, partial = QValidator::Intermediate,
                  refused = QValidator::Invalid;
        QTest::newRow("decimals") << "###.###" << 0.0 << 100.0 << "28.143" << ok;
        QTest::newRow("too many decimals") << "###.###" << 0.0 << 100.0 << "1.1234" << refused;
        QTest::newRow("above range") << "###.###" << 0.0 << 100.0 << "100.5" << refused;
        QTest::newRow("top of range") << "###.###" << 0.0 << 100.0 << "100" << ok;
        QTest::newRow("comma") << "###.###" << 0.0 << 100.0 << "1,5" << refused;
        QTest::newRow("no sign") << "###.###" << 0.0 << 100.0 << "-1" << refused;
        QTest::newRow("empty") << "###.###" << 0.0 << 100.0 << "" << partial;
        QTest::newRow("lone point") << "###.###" << 0.0 << 100.0 << "." << partial;
        QTest::newRow("lone minus") << "#####" << -9999.0 << 9999.0 << "-" << partial;
        QTest::newRow("negative") << "#####" << -9999.0 << 9999.0 << "-9999" << ok;
        QTest::newRow("beyond range") << "#####" << -9999.0 << 9999.0 << "10000" << refused;
        QTest::newRow("whole only") << "####" << -9999.0 << 9999.0 << "12.5" << refused;
        QTest::newRow("exponent") << "######.#" << 0.0 << 999999.9 << "1e5" << refused;
        QTest::newRow("too many digits") << "######.#" << 0.0 << 1e7 << "1234567" << refused;
        QTest::newRow("blank") << "######.#" << 0.0 << 1e7 << " 1" << refused;
    }
    void picturesAcceptOnlyTheirDigitsAndRange() {
        QFETCH(QString, mask);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(QString, typed);
        QFETCH(int, state);
        const QByteArray maskBytes = mask.toLatin1();
        TNumberValidator validator(Picture(maskBytes.constData(), min, max));
        int pos = 0;
        QCOMPARE(int(validator.validate(typed, pos)), state);
    }

    void masksGiveTheirDefaultRange() {
        const TNumberPicture signedPicture = Picture("####.#", true);
        QCOMPARE(signedPicture.IntDigits, 4);
        QCOMPARE(signedPicture.Decimals, 1);
        QCOMPARE(signedPicture.Min, -9999.9);
        QCOMPARE(signedPicture.Max, 9999.9);
        QCOMPARE(Picture("####", false).Min, 0.0);
    }

    void numbersUseThePointWhateverTheLocale() {
        const test::TGermanLocale german;
        if (!german.Active()) {
            if (german.Required()) QFAIL(german.Problem().c_str());
            QSKIP(german.Problem().c_str());
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TNumberField field(Picture("####.##", true));
        field.SetValue(3.28f);
        QCOMPARE(field.text(), QString("3.28"));
        field.setText("1.5");
        QCOMPARE(field.Value(), 1.5);
        QCOMPARE(ParseNumber("1,5"), std::nullopt);
        QCOMPARE(FormatNumber(-0.04, 1), QString("0.0"));  // never "-0.0"
        QCOMPARE(FormatNumber(-2.25, 1), QString("-2.3")); // half away from zero
    }

    void anUntouchedFieldGivesBackItsExactValue() {
        TNumberField field(Picture("####.#", true));
        field.SetValue(12.345);
        QCOMPARE(field.text(), QString("12.3"));
        QCOMPARE(field.Value(), 12.345);
        field.setText("12.3"); // typed again: the typed number counts
        field.setText("12.4");
        QCOMPARE(field.Value(), 12.4);
        field.setText("12.3");
        QCOMPARE(field.Value(), 12.345); // the same text as shown reads as shown
        field.Clear();
        QCOMPARE(field.Number(), std::nullopt);
        QCOMPARE(field.Value(), 0.0);
        field.setText("-");
        QCOMPARE(field.Value(), 0.0);
        field.setText("-2.6");
        QCOMPARE(field.IntValue(), -3);
    }

    void anotherPictureChangesWhatTheFieldTakes() {
        TNumberField field(Picture("####.##", 0, 1640.41)); // feet
        QTest::keyClicks(&field, "1600");
        QCOMPARE(field.text(), QString("1600"));
        field.SetPicture(Picture("####.##", 0, 500)); // metres
        field.clear();
        QTest::keyClicks(&field, "1600");
        QCOMPARE(field.text(), QString("160")); // the last digit would exceed 500
        QCOMPARE(field.NumberPicture().Max, 500.0);
    }

    void aSubConductorCountOfZeroBecomesOne() {
        TNumberField field(Picture("###", 0, 255));
        KeepCountAtLeastOne(field);
        QTest::keyClicks(&field, "0");
        QCOMPARE(field.text(), QString("1"));
        field.SetValue(0);
        QCOMPARE(field.text(), QString("1"));
        field.clear();
        QCOMPARE(field.text(), QString()); // empty while typing
    }

    void enterMovesToTheNextFieldAndFromTheLastOfAPageToTheNextPage() {
        TTwoPageDialog d;
        TEnterAsTab::Install(d.dialog, true);
        TEnterAsTab::MarkLastOfPage(*d.fields[1]);
        d.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
        QSignalSpy accepted(&d.dialog, &QDialog::accepted);

        d.fields[0]->setFocus();
        QTest::keyClick(d.fields[0], Qt::Key_Return);
        QCOMPARE(d.dialog.focusWidget(), d.fields[1]);
        QTest::keyClick(d.fields[1], Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(d.tabs->currentIndex(), 1);
        QCOMPARE(d.dialog.focusWidget(), d.fields[2]);
        QCOMPARE(accepted.count(), 0); // Enter never pressed OK on the way
    }

    void withoutEnterAsTabEnterPressesTheDefaultButton() {
        TTwoPageDialog d;
        TEnterAsTab::Install(d.dialog, false);
        d.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
        d.fields[0]->setFocus();
        QTest::keyClick(d.fields[0], Qt::Key_Return);
        QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    }

    void committedTextsLoseTrailingBlanksAndKeepUntouchedBytes() {
        QCOMPARE(CommittedText("North  \t"), std::string("North"));
        QCOMPARE(CommittedText("  North"), std::string("  North"));
        const std::string windows1252 = "M\xFCller ";
        QCOMPARE(ToQString(windows1252), QString::fromUtf8("Müller "));
        QCOMPARE(CommittedText(ToQString(windows1252), windows1252), std::string("M\xFCller"));
        QCOMPARE(CommittedText(QString::fromUtf8("Müllers"), windows1252),
                 std::string("M\xC3\xBCllers"));
    }

    void columnsShareTheWidth_data() {
        using Spans = std::vector<TColumnSpan>;
        QTest::addColumn<Spans>("columns");
        QTest::addColumn<int>("available");
        QTest::addColumn<std::vector<int>>("widths");
        // Spare room in proportion to the preferred widths: 60 × 100/200 = 30 each,
        // 60 × 50/200 = 15 and 60 × 50/200 = 15 for the others.
        QTest::newRow("room to spare")
            << Spans{{50, 100}, {50, 50}, {40, 50}} << 260 << std::vector<int>{130, 65, 65};
        // 10 pixels over 3 equal columns: 3 each, the one left to the first.
        QTest::newRow("pixels left over go to the first")
            << Spans{{10, 10}, {10, 10}, {10, 10}} << 40 << std::vector<int>{14, 13, 13};
        QTest::newRow("exactly the preferred")
            << Spans{{30, 80}, {20, 20}} << 100 << std::vector<int>{80, 20};
        // 30 too few: taken from the excesses 40 and 20 as 20 and 10.
        QTest::newRow("too little room takes from the excess")
            << Spans{{40, 80}, {20, 20}, {30, 50}} << 120 << std::vector<int>{60, 20, 40};
        QTest::newRow("exactly the minimums")
            << Spans{{40, 80}, {20, 20}} << 60 << std::vector<int>{40, 20};
        QTest::newRow("less than the minimums scrolls")
            << Spans{{40, 80}, {20, 20}} << 50 << std::vector<int>{40, 20};
        QTest::newRow("a preferred below the minimum counts as the minimum")
            << Spans{{40, 10}, {20, 20}} << 60 << std::vector<int>{40, 20};
        QTest::newRow("no columns") << Spans{} << 100 << std::vector<int>{};
    }

    void columnsShareTheWidth() {
        QFETCH(std::vector<TColumnSpan>, columns);
        QFETCH(int, available);
        QFETCH(std::vector<int>, widths);
        QCOMPARE(FitColumnsToWidth(columns, available), widths);
    }

    // Ratios worked from the sRGB luminance formula: a grey g (0..1) has
    // luminance ((g + 0.055) / 1.055)^2.4; 118/255 gives 0.18116, 119/255
    // 0.18447, 127/255 0.21223, 64/255 0.05127, 116/255 0.17461, 117/255
    // 0.17785. Black at alpha 128 over white shows as grey 127.
    void contrastRatiosAndReadableColours_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QColor>("readable");
        const QColor white(255, 255, 255);
        const QColor black(0, 0, 0);
        QTest::newRow("black on white") << black << white << 21.0 << black;
        QTest::newRow("white on white: darkened to the first grey that passes")
            << white << white << 1.0 << QColor(118, 118, 118);
        QTest::newRow("grey 118 on white: 1.05 / 0.23116")
            << QColor(118, 118, 118) << white << 4.5422 << QColor(118, 118, 118);
        QTest::newRow("grey 119 on white: 1.05 / 0.23446, darkened one step")
            << QColor(119, 119, 119) << white << 4.4781 << QColor(118, 118, 118);
        QTest::newRow("half-transparent black on white: grey 127")
            << QColor(0, 0, 0, 128) << white << 4.0041 << QColor(118, 118, 118);
        QTest::newRow("grey 64 on black: 0.10127 / 0.05, lightened to 117")
            << QColor(64, 64, 64) << black << 2.0254 << QColor(117, 117, 117);
    }

    void contrastRatiosAndReadableColours() {
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        QFETCH(double, ratio);
        QFETCH(QColor, readable);
        QVERIFY2(std::abs(ContrastRatio(colour, background) - ratio) < 2e-4,
                 qPrintable(QString::number(ContrastRatio(colour, background), 'f', 4)));
        // Symmetric for opaque colours.
        if (colour.alpha() == 255)
            QVERIFY(std::abs(ContrastRatio(background, colour) - ratio) < 2e-4);
        QCOMPARE(ReadableColour(colour, background), readable);
        QVERIFY(ContrastRatio(readable, background) >= kReadableContrast);
    }

    void numberFieldHintsAreReadableInEveryState() {
        // Too pale a palette: half-transparent black on white in every group.
        const QPalette before = QApplication::palette();
        QPalette pale(Qt::black, Qt::white);
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pale.setColor(group, QPalette::PlaceholderText, QColor(0, 0, 0, 128));
        QApplication::setPalette(pale);
        const TNumberField field(Picture("###.##", false));
        QApplication::setPalette(before);
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(field.palette().color(group, QPalette::PlaceholderText),
                     QColor(118, 118, 118));
    }

    void numberHintsNameTheUnitBesideAndTheRange() {
        // A unit in the next column of a grid, right after the field in a row, none.
        QWidget page;
        auto* grid = new QGridLayout(&page);
        auto* height = new TNumberField(Picture("###.#", false));    // 0 to 999.9
        auto* angle = new TNumberField(Picture("####", true));       // -9999 to 9999
        auto* voltage = new TNumberField(Picture("###.##", -5, 50)); // as given
        auto* count = new TNumberField(Picture("##", 1, 12));
        grid->addWidget(BuddyLabel("&Height", height), 0, 0);
        grid->addWidget(height, 0, 1);
        grid->addWidget(UnitLabel("lbHeightUnit", "ft"), 0, 2);
        grid->addWidget(angle, 1, 1);
        grid->addWidget(BuddyLabel("&Voltage", voltage), 1, 2);
        grid->addLayout(FieldWithUnit(voltage, UnitLabel("lbVoltageUnit", "kV")), 2, 1);
        auto* form = new QFormLayout;
        form->addRow("Count", count);
        grid->addLayout(form, 3, 1);
        QCOMPARE(height->RangeHint(), QString("From 0.0 to 999.9 ft"));
        QCOMPARE(angle->RangeHint(), QString("From -9999 to 9999"));
        QCOMPARE(voltage->RangeHint(), QString("From -5.00 to 50.00 kV"));
        QCOMPARE(count->RangeHint(), QString("From 1 to 12"));
        page.findChild<QLabel*>("lbHeightUnit")->setText("m");
        QCOMPARE(height->RangeHint(), QString("From 0.0 to 999.9 m"));
    }
};

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
