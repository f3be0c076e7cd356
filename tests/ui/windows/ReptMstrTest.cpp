// The report preview: paging and the Previous/Next buttons, the zoom rules,
// the page files, the busy flag, PDF export, and forwarding from the main
// window's Report menu and tool bar.
#include "MainWinTestSupport.h"

#include "engine/PageFile.h"
#include "model/Clone.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/ScenariosForm.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

using namespace corvalt;
using namespace corvalt::test;

namespace {

// Opens the EMF details report of a fresh project with the given page count.
ui::TReptMstr& OpenReport(TMainFixture& f, int pages) {
    f.Reports.PageCount = pages;
    ui::TScenariosForm& form = f.Open(MakeProject());
    form.RunReport(TReportKind::EmfDetails);
    ui::TReptMstr* report = f.Main->ActiveReportWindow();
    if (report == nullptr) qFatal("no report window");
    return *report;
}

} // namespace

class TReptMstrTest : public QObject {
    Q_OBJECT
  private slots:
    void opensOnPageOneAtPageWidth();
    void pagingEnablesPreviousAndNext_data();
    void pagingEnablesPreviousAndNext();
    void zoomOutStopsAtTheWholePage();
    void zoomLimits();
    void eachWindowHasItsOwnPageFile();
    void busyFlagBlocksClosingAndKeepsThePageFile();
    void exportsPdf();
    void saveDialogShowsTheRequestedCheckBox();
    void reportMenuAndToolBarForward();
    void pageFilesGoWithTheMainWindow();
    void captionsTellReportsApartAndCloseWithTheirProject();
};

void TReptMstrTest::opensOnPageOneAtPageWidth() {
    TMainFixture f;
    ui::TReptMstr& report = OpenReport(f, 2);
    QCOMPARE(report.windowTitle(), QStringLiteral("EMF Report--Line Project--EMF Details--L5 (T)"));
    QCOMPARE(report.PageIndex(), 0);
    QCOMPARE(report.PageCount(), 2);
    QCOMPARE(report.Zoom(), report.PageWidthZoom());
    QVERIFY(report.PageWidthZoom() > report.WholePageZoom());
    QCOMPARE(report.Pages().Pages[0].Texts().front()->Text, QStringLiteral("Page 1 of 2"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The second window of the area (after the project's): one step of 24
    // pixels right and down, reaching to the area's right and bottom edges.
    const QSize area = f.Main->MdiArea().viewport()->size();
    QCOMPARE(f.Main->MdiArea().currentSubWindow()->geometry(),
             QRect(24, 24, area.width() - 24, area.height() - 24));
}

void TReptMstrTest::pagingEnablesPreviousAndNext_data() {
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("steps"); // n next, p previous
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<bool>("next");
    QTest::newRow("one page") << 1 << "" << 0 << false << false;
    QTest::newRow("one page, next") << 1 << "n" << 0 << false << false;
    QTest::newRow("three pages") << 3 << "" << 0 << false << true;
    QTest::newRow("middle") << 3 << "n" << 1 << true << true;
    QTest::newRow("last") << 3 << "nn" << 2 << true << false;
    QTest::newRow("past the last") << 3 << "nnn" << 2 << true << false;
    QTest::newRow("back to the first") << 3 << "nnpp" << 0 << false << true;
    QTest::newRow("before the first") << 3 << "p" << 0 << false << true;
}

void TReptMstrTest::pagingEnablesPreviousAndNext() {
    QFETCH(int, pages);
    QFETCH(QString, steps);
    QFETCH(int, page);
    QFETCH(bool, previous);
    QFETCH(bool, next);
    TMainFixture f;
    ui::TReptMstr& report = OpenReport(f, pages);
    for (const QChar step : steps)
        (step == 'n' ? f.Main->Actions().sbNextPage : f.Main->Actions().sbPrevPage)->trigger();
    QCOMPARE(report.PageIndex(), page);
    QCOMPARE(f.Main->Actions().sbPrevPage->isEnabled(), previous);
    QCOMPARE(f.Main->Actions().sbNextPage->isEnabled(), next);
}

void TReptMstrTest::zoomOutStopsAtTheWholePage() {
    TMainFixture f;
    ui::TReptMstr& report = OpenReport(f, 1);
    const double whole = report.WholePageZoom();
    report.tbPageClick();
    QCOMPARE(report.Zoom(), whole);
    report.tbZoomOutClick();
    QCOMPARE(report.Zoom(), whole); // at the whole-page view nothing changes

    report.tbZoomInClick();
    report.tbZoomInClick();
    QCOMPARE(report.Zoom(), whole + 2 * ui::TReptMstr::kZoomStep);
    for (int i = 0; i < 5; ++i)
        report.tbZoomOutClick();
    QCOMPARE(report.Zoom(), whole);

    report.tbWidthClick();
    QCOMPARE(report.Zoom(), report.PageWidthZoom());
    for (int i = 0; i < 100; ++i)
        report.tbZoomOutClick();
    QCOMPARE(report.Zoom(), whole);
}

void TReptMstrTest::zoomLimits() {
    TMainFixture f;
    ui::TReptMstr& report = OpenReport(f, 1);
    for (int i = 0; i < 200; ++i)
        report.tbZoomInClick();
    QCOMPARE(report.Zoom(), ui::TReptMstr::kMaxZoom);
    // A tiny window: whole-page zoom is still at least one step.
    f.Main->MdiArea().currentSubWindow()->resize(60, 60);
    QCOMPARE(report.WholePageZoom(), ui::TReptMstr::kZoomStep);
}

void TReptMstrTest::eachWindowHasItsOwnPageFile() {
    TMainFixture f;
    ui::TScenariosForm& form = f.Open(MakeProject());
    form.RunReport(TReportKind::EmfDetails);
    ui::TReptMstr* first = f.Main->ActiveReportWindow();
    f.Main->MdiArea().setActiveSubWindow(f.Main->MdiArea().subWindowList().front());
    form.RunReport(TReportKind::Tlsa);
    ui::TReptMstr* second = f.Main->ActiveReportWindow();
    QVERIFY(first != nullptr && second != nullptr && first != second);
    QVERIFY(first->PageFile() != second->PageFile());
    QCOMPARE(QFileInfo(first->PageFile()).fileName(), QStringLiteral("temp.rpt"));
    QVERIFY(QFile::exists(first->PageFile()));
    QVERIFY(QFile::exists(second->PageFile()));
    const QString firstFile = first->PageFile();
    const QString secondFile = second->PageFile();

    // Closing one deletes its file only; the other still shows its own pages.
    QVERIFY(f.Main->MdiArea().currentSubWindow()->close());
    QVERIFY(!QFile::exists(secondFile));
    QVERIFY(QFile::exists(firstFile));
    QCOMPARE(ReadPageFile(firstFile).Pages, first->Pages());
}

void TReptMstrTest::busyFlagBlocksClosingAndKeepsThePageFile() {
    TMainFixture f;
    ui::TReptMstr& report = OpenReport(f, 1);
    const QString pageFile = report.PageFile();
    QMdiSubWindow* window = f.Main->MdiArea().currentSubWindow();
    bool closedWhileBusy = true;
    f.Prompts.OnDialog = [&](QDialog&) {
        QVERIFY(f.Main->Busy());
        closedWhileBusy = window->close();
    };
    f.Main->Actions().sbPrint->trigger(); // the print dialog is cancelled
    QCOMPARE(f.Prompts.DialogTitles.size(), 1);
    QVERIFY(!closedWhileBusy);
    QVERIFY(QFile::exists(pageFile));
    QVERIFY(!f.Main->Busy());

    // The Report menu's print does not set the flag.
    bool busyFromMenu = true;
    f.Prompts.OnDialog = [&](QDialog&) { busyFromMenu = f.Main->Busy(); };
    f.Main->Actions().mnRepPrint->trigger();
    QVERIFY(!busyFromMenu);

    QVERIFY(window->close());
    QVERIFY(!QFile::exists(pageFile));
    QVERIFY(!f.Main->Actions().sbPrevPage->isEnabled());
    QVERIFY(!f.Main->Actions().sbNextPage->isEnabled());
}

void TReptMstrTest::exportsPdf() {
    TMainFixture f;
    QTemporaryDir dir;
    ui::TReptMstr& report = OpenReport(f, 2);
    f.Prompts.FileNames << dir.filePath("report.pdf");
    f.Main->Actions().mnRepExportPdf->trigger();
    QCOMPARE(f.Prompts.FileRequests.back().Filter, QStringLiteral("PDF file (*.pdf)"));
    QFile pdf(dir.filePath("report.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(!pdf.readAll().contains("pdfaid:part"));
    QVERIFY(f.Prompts.Messages.empty());

    // PDF/A is offered, off at first; once ticked it is written and offered
    // ticked for the next export.
    QCOMPARE(f.Prompts.FileRequests.back().CheckBox, QStringLiteral("PDF/A-1b (for archiving)"));
    QVERIFY(!f.Prompts.FileRequests.back().Checked);
    f.Prompts.FileNames << dir.filePath("archive.pdf");
    f.Prompts.CheckBoxes.push_back(true);
    report.tbExportPdfClick();
    QFile archive(dir.filePath("archive.pdf"));
    QVERIFY(archive.open(QIODevice::ReadOnly));
    QVERIFY(archive.readAll().contains("pdfaid:part"));
    f.Prompts.FileNames << QString(); // cancelled
    report.tbExportPdfClick();
    QVERIFY(f.Prompts.FileRequests.back().Checked);

    // A file that cannot be written is reported.
    f.Prompts.FileNames << dir.filePath("missing/report.pdf");
    report.tbExportPdfClick();
    QCOMPARE(f.Prompts.Messages.size(), 1u);
    QCOMPARE(f.Prompts.Messages[0].Icon, QMessageBox::Critical);
}

// Qt's save dialog with the check box a request asks for: shown in the
// request's state, and its state handed back with the chosen name.
void TReptMstrTest::saveDialogShowsTheRequestedCheckBox() {
    TScriptedPrompts scripted;
    QTemporaryDir dir;
    ui::TFileRequest request;
    request.CheckBox = QStringLiteral("Archive");
    scripted.DialogResults.push_back(QDialog::Accepted);
    QString shown;
    scripted.OnDialog = [&](QDialog& dialog) {
        auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("cbFileOption"));
        if (box == nullptr || box->isChecked()) return;
        shown = box->text();
        box->setChecked(true);
        static_cast<QFileDialog&>(dialog).selectFile(dir.filePath(QStringLiteral("a.pdf")));
    };
    ui::TPrompts qtPrompts;
    QCOMPARE(qtPrompts.SaveFileName(nullptr, request), dir.filePath(QStringLiteral("a.pdf")));
    QCOMPARE(shown, QStringLiteral("Archive"));
    QVERIFY(request.Checked);
}

void TReptMstrTest::reportMenuAndToolBarForward() {
    TMainFixture f;
    ui::TReptMstr& report = OpenReport(f, 3);
    f.Main->Actions().mnRepNext->trigger();
    QCOMPARE(report.PageIndex(), 1);
    f.Main->Actions().mnRepPrev->trigger();
    QCOMPARE(report.PageIndex(), 0);
    f.Main->Actions().sbFullPage->trigger();
    QCOMPARE(report.Zoom(), report.WholePageZoom());
    f.Main->Actions().mnZoomIn->trigger();
    QCOMPARE(report.Zoom(), report.WholePageZoom() + ui::TReptMstr::kZoomStep);
    f.Main->Actions().sbPageWidth->trigger();
    QCOMPARE(report.Zoom(), report.PageWidthZoom());

    // Switching to the project window and back keeps the page buttons right.
    QMdiArea& area = f.Main->MdiArea();
    area.setActiveSubWindow(area.subWindowList().front());
    QVERIFY(!f.Main->Actions().sbNextPage->isEnabled());
    QVERIFY(!f.Main->Menus().mnReport->menuAction()->isVisible());
    area.setActiveSubWindow(area.subWindowList().back());
    QVERIFY(f.Main->Actions().sbNextPage->isEnabled());

    f.Main->Actions().sbReportClose->trigger();
    QCOMPARE(area.subWindowList().size(), 1);
    QVERIFY(f.Main->ActiveProjectWindow() != nullptr);
}

void TReptMstrTest::pageFilesGoWithTheMainWindow() {
    QString pageFile;
    {
        TMainFixture f;
        pageFile = OpenReport(f, 1).PageFile();
        QVERIFY(QFile::exists(pageFile));
    }
    QVERIFY(!QFile::exists(pageFile));
    QVERIFY(!QFileInfo::exists(QFileInfo(pageFile).path()));
}

void TReptMstrTest::captionsTellReportsApartAndCloseWithTheirProject() {
    TMainFixture f;
    std::unique_ptr<TEmfProject> project = MakeProject();
    std::unique_ptr<TScenario> south = CloneScenario(project->Scenarios[0]);
    south->TabTitle = "South";
    project->Scenarios.Add(std::move(south));
    ui::TScenariosForm& line = f.Open(std::move(project));
    line.RunReport(TReportKind::FloridaCompliance);
    line.RunReport(TReportKind::EmfDetails);
    line.Tabs().setCurrentIndex(1);
    line.RunReport(TReportKind::EmfDetails);
    line.RunReport(TReportKind::CoronaEffects);
    std::unique_ptr<TEmfProject> other = MakeProject();
    other->Title = "Other";
    ui::TScenariosForm& second = f.Open(std::move(other));
    second.RunReport(TReportKind::Tlsa);

    QMenu* menu = f.Main->Menus().mnWindow;
    emit menu->aboutToShow();
    QStringList windows;
    for (const QAction* action : menu->actions().mid(5))
        windows << action->text();
    // Reports of the whole project name no cross section.
    QCOMPARE(windows,
             (QStringList{"&1 Line Project--*", "&2 EMF Report--Line Project--Florida Compliance",
                          "&3 EMF Report--Line Project--EMF Details--L5 (T)",
                          "&4 EMF Report--Line Project--EMF Details--South (T)",
                          "&5 EMF Report--Line Project--Corona and Field Effects--South (T)",
                          "&6 Other--*", "&7 EMF Report--Other--TLSA Exemption"}));

    // The project window closes (without saving), and its reports with it.
    f.Prompts.Answers = {QMessageBox::No};
    QVERIFY(line.parentWidget()->close());
    QStringList left;
    for (const QMdiSubWindow* window : f.Main->MdiArea().subWindowList())
        left << window->widget()->windowTitle();
    QCOMPARE(left, (QStringList{"Other--[*]", "EMF Report--Other--TLSA Exemption"}));
}

QTEST_MAIN(TReptMstrTest)
#include "ReptMstrTest.moc"
