// The desktop program end to end with its real dialogs and reports: File New
// through the project, cross-section, circuit and coordinates dialogs, save,
// close, reopen, and print a report to PDF through the print dialog.
#include "MainWinTestSupport.h"

#include "engine/ReportFonts.h"
#include "ui/dialogs/ChangeCoords.h"
#include "ui/dialogs/CircuitForm.h"
#include "ui/dialogs/EditPrjForm.h"
#include "ui/dialogs/ScenarioForm.h"
#include "ui/widgets/NumberField.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

using namespace corvalt;
using namespace corvalt::test;
using corvalt::ui::TNumberField;

namespace {

void ClickOk(QWidget& dialog) {
    QTest::mouseClick(Find<QPushButton>(dialog, "btOK"), Qt::LeftButton);
}

// Conductor positions typed in the coordinates dialog: distance, height (ft).
const std::vector<std::pair<QString, QString>> kPositions = {
    {"-20", "50"}, {"0", "50"}, {"20", "50"}, {"0", "70"}};

void FillCoordinates(ui::TChangeCoords& dialog) {
    for (std::size_t i = 0; i < kPositions.size(); ++i) {
        const std::string index = std::to_string(i);
        Type(*Find<TNumberField>(dialog, ("eDistance" + index).c_str()), kPositions[i].first);
        Type(*Find<TNumberField>(dialog, ("eHeight" + index).c_str()), kPositions[i].second);
    }
    ClickOk(dialog);
}

void FillCircuit(ui::TCircuitForm& dialog) {
    Type(*Find<QLineEdit>(dialog, "eCircuitName"), "Bay 1");
    Type(*Find<TNumberField>(dialog, "eDistFromRowLeft"), "0");
    Pick(*Find<QComboBox>(dialog, "cbVoltage"), 1); // 230 kV
    Pick(*Find<QComboBox>(dialog, "cbCondName"), 0);
    Pick(*Find<QComboBox>(dialog, "cbOhgwName"), 0);
    Find<QSpinBox>(dialog, "sePhaseA")->setValue(1);
    Find<QSpinBox>(dialog, "sePhaseB")->setValue(1);
    Find<QSpinBox>(dialog, "sePhaseC")->setValue(1);
    Find<QSpinBox>(dialog, "sePhaseG")->setValue(1);
    WhenModal<ui::TChangeCoords>(FillCoordinates);
    ClickOk(dialog);
}

void FillScenario(ui::TScenarioForm& dialog) {
    Type(*Find<QLineEdit>(dialog, "eTitle"), "Bayside line");
    Type(*Find<QLineEdit>(dialog, "eTabTitle"), "BS1");
    Type(*Find<TNumberField>(dialog, "eRowLeft"), "75");
    Type(*Find<TNumberField>(dialog, "eRowRight"), "75");
    WhenModal<ui::TCircuitForm>(FillCircuit);
    ClickOk(dialog);
}

void FillProject(ui::TEditPrjForm& dialog) {
    Type(*Find<QLineEdit>(dialog, "eTitle"), "Bayside 230 kV");
    WhenModal<ui::TScenarioForm>(FillScenario);
    ClickOk(dialog);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TEndToEndTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        ui::UseCNumberFormat();
        RegisterReportFonts();
        QuietOffscreenWarnings();
    }
    void newSaveReopenAndPrintToPdf();
};

void TEndToEndTest::newSaveReopenAndPrintToPdf() {
    TScriptedPrompts prompts;
    TTempPrefs prefs(kSampleLibraries);
    ui::TProgramDialogs dialogs(prefs.Options());
    ui::TProgramReports reports(prefs.Options());
    ui::TMainForm main(prefs.Options(), dialogs, reports);
    main.show();
    QTemporaryDir dir;

    // File New: project, cross section, circuit, coordinates.
    WhenModal<ui::TEditPrjForm>(FillProject);
    main.Actions().sbNew->trigger();
    ui::TScenariosForm* form = main.ActiveProjectWindow();
    QVERIFY(form != nullptr);
    QCOMPARE(form->Caption(), QStringLiteral("Bayside 230 kV--"));
    QCOMPARE(form->Tabs().tabText(0), QStringLiteral("BS1 (T)"));
    QCOMPARE(form->Tree().currentItem()->text(0), QStringLiteral("Bay 1"));
    QCOMPARE(form->Grid().rowCount(), 4);
    QCOMPARE(form->Grid().item(3, 1)->text(), QStringLiteral(" 1G1"));
    QCOMPARE(form->Grid().item(3, 3)->text(), QStringLiteral("    70.0"));
    const TEmfProject& created = form->Project();
    QCOMPARE(created.Scenarios[0].Circuits[0].Conductors[0].MaxVoltage, 242.0f);

    // Save under a name without extension: the file gets ".emf".
    prompts.FileNames << dir.filePath("bayside");
    main.Actions().mnSave->trigger();
    const QString file = dir.filePath("bayside.emf");
    QVERIFY(QFile::exists(file));
    QVERIFY(prompts.Messages.empty());
    const QByteArray saved = FileBytes(file);

    // Close without a question (nothing changed since the save), reopen.
    QVERIFY(main.MdiArea().currentSubWindow()->close());
    QVERIFY(prompts.Messages.empty());
    prompts.FileNames << dir.filePath("bayside");
    main.Actions().mnOpen->trigger();
    form = main.ActiveProjectWindow();
    QVERIFY(form != nullptr);
    QCOMPARE(form->Project().FileName, file.toStdString());
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(form->Project().OriginalData.data()),
                        static_cast<qsizetype>(form->Project().OriginalData.size())),
             saved);
    QCOMPARE(form->Grid().item(0, 2)->text(), QStringLiteral("   -20.0"));

    // The EMF details report (the compliance report is not in this version),
    // printed through the print dialog into a PDF file.
    main.Actions().mnEmfDetails->trigger();
    ui::TReptMstr* report = main.ActiveReportWindow();
    QVERIFY(report != nullptr);
    QVERIFY(report->PageCount() >= 1);
    QVERIFY(report->Pages().Pages[0].PlainText().contains("Bayside line"));
    const QString pdf = dir.filePath("bayside.pdf");
    prompts.OnDialog = [&](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        QVERIFY(print != nullptr);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(pdf);
    };
    prompts.DialogResults = {QDialog::Accepted};
    main.Actions().sbPrint->trigger();
    QVERIFY(prompts.Messages.empty());
    const QByteArray printed = FileBytes(pdf);
    QVERIFY(printed.startsWith("%PDF-"));
    const auto pages = QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))
                           .globalMatch(QString::fromLatin1(printed));
    int count = 0;
    for (auto it = pages; it.hasNext(); it.next())
        ++count;
    QCOMPARE(count, report->PageCount());
}

QTEST_MAIN(TEndToEndTest)
#include "EndToEndTest.moc"
