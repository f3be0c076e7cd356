#include "ui/windows/ReptMstr.h"

#include "engine/PageFile.h"
#include "engine/PageRenderer.h"
#include "model/Project.h"
#include "reports/ReportFormat.h"
#include "ui/app/FileFolders.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/windows/MainForm.h"
#include "ui/windows/PagePreview.h"

#include <QCloseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {

namespace {

// What names the report: the project title, the report's title and, for a
// report of one cross section, the cross section's tab name.
QStringList ReportNameParts(const TEmfProject& project, TReportKind kind,
                            const TScenario* scenario) {
    QStringList parts{ToQString(project.Title), QString::fromStdString(ReportKindTitle(kind))};
    if (scenario != nullptr && ReportNeedsCrossSection(kind))
        parts << ToQString(scenario->DisplayName());
    return parts;
}

} // namespace

QString ReportWindowCaption(const TEmfProject& project, TReportKind kind,
                            const TScenario* scenario) {
    return QStringLiteral("EMF Report--") + ReportNameParts(project, kind, scenario).join("--");
}

TReptMstr::TReptMstr(TMainForm& mainForm, TEmfProject& project, const TScenario* scenario,
                     TReportKind kind, TPageList pages, QString pageFile, QWidget* parent)
    : QWidget(parent), mainForm_(mainForm), project_(project), kind_(kind),
      pages_(std::move(pages)), pageFile_(std::move(pageFile)) {
    setObjectName(QStringLiteral("ReptMstr"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ReportWindowCaption(project_, kind_, scenario));
    fileTitle_ = ReportNameParts(project_, kind_, scenario).join(QStringLiteral(" - "));
    documentTitle_ = ReportText(ReportDocumentTitle(kind_, project_, scenario));
    CreateControls();
    ShowPage(0);
}

TReptMstr::~TReptMstr() {
    DeletePageFile(pageFile_);
}

void TReptMstr::CreateControls() {
    repPreview_ = new TPagePreview;
    repScrollBox_ = new QScrollArea;
    repScrollBox_->setObjectName(QStringLiteral("repScrollBox"));
    repScrollBox_->setWidget(repPreview_);
    repScrollBox_->setWidgetResizable(false);
    repScrollBox_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    repScrollBox_->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(repScrollBox_);
}

void TReptMstr::StartPreview() {
    ShowPage(0);
    tbWidthClick();
}

void TReptMstr::ShowPage(int index) {
    if (pages_.Pages.empty()) {
        repPreview_->SetPage(nullptr, pages_.Width, pages_.Height);
        page_ = 0;
    } else {
        page_ = std::clamp(index, 0, PageCount() - 1);
        repPreview_->SetPage(&pages_.Pages[static_cast<std::size_t>(page_)], pages_.Width,
                             pages_.Height);
    }
    repPreviewPageChange();
}

void TReptMstr::repPreviewPageChange() {
    repScrollBox_->horizontalScrollBar()->setValue(0);
    repScrollBox_->verticalScrollBar()->setValue(0);
    mainForm_.updateMenus(); // the Previous and Next Page buttons follow the page
}

void TReptMstr::SetZoom(double percent) {
    zoom_ = std::clamp(percent, kZoomStep, kMaxZoom);
    repPreview_->SetZoom(zoom_);
}

double TReptMstr::WholePageZoom() const {
    const QSize room = repScrollBox_->maximumViewportSize();
    const QSize natural = repPreview_->SizeAt(100) - QSize(2, 2) * TPagePreview::kMargin;
    const double byWidth = (room.width() - 2 * TPagePreview::kMargin) * 100.0 / natural.width();
    const double byHeight = (room.height() - 2 * TPagePreview::kMargin) * 100.0 / natural.height();
    return std::clamp(std::min(byWidth, byHeight), kZoomStep, kMaxZoom);
}

double TReptMstr::PageWidthZoom() const {
    // A page as wide as the box is taller than the box: leave room for the
    // vertical scroll bar that it brings.
    const int room = repScrollBox_->maximumViewportSize().width() -
                     repScrollBox_->verticalScrollBar()->sizeHint().width();
    const QSize natural = repPreview_->SizeAt(100) - QSize(2, 2) * TPagePreview::kMargin;
    return std::clamp((room - 2 * TPagePreview::kMargin) * 100.0 / natural.width(), kZoomStep,
                      kMaxZoom);
}

void TReptMstr::tbPreviousClick() {
    if (page_ > 0) ShowPage(page_ - 1);
}

void TReptMstr::tbNextClick() {
    if (page_ + 1 < PageCount()) ShowPage(page_ + 1);
}

void TReptMstr::tbZoomInClick() {
    SetZoom(zoom_ + kZoomStep);
}

void TReptMstr::tbZoomOutClick() {
    // Zooming out stops at the whole-page view.
    const double wholePage = WholePageZoom();
    if (wholePage < zoom_) SetZoom(std::max(zoom_ - kZoomStep, wholePage));
}

void TReptMstr::tbPageClick() {
    SetZoom(WholePageZoom());
}

void TReptMstr::tbWidthClick() {
    SetZoom(PageWidthZoom());
}

void TReptMstr::tbExitClick() {
    if (QWidget* frame = parentWidget(); frame != nullptr && frame->inherits("QMdiSubWindow"))
        frame->close();
    else
        close();
}

void TReptMstr::tbPrintClick() {
    QPrinter& printer = mainForm_.Printer();
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, std::max(1, PageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (Prompts().Exec(dialog) != QDialog::Accepted) return;
    if (printer.printRange() != QPrinter::PageRange) printer.setFromTo(0, 0);
    const QString error = PrintPages(printer, pages_);
    if (!error.isEmpty()) ShowError(this, error);
}

void TReptMstr::tbExportPdfClick() {
    // Proposed: the report's name, where reports were last exported (at
    // first the project's folder).
    TFileRequest request;
    request.Caption = QStringLiteral("Export PDF");
    request.Filter = QStringLiteral("PDF file (*.pdf)");
    request.DefaultSuffix = QStringLiteral("pdf");
    request.FileName =
        ProposedFile(mainForm_.Options(), TFileKind::Report, fileTitle_, QStringLiteral("report"),
                     QStringLiteral(".pdf"), ProjectFolder(project_));
    request.CheckBox = QStringLiteral("PDF/A-1b (for archiving)");
    request.Checked = exportPdfA_;
    const QString path = Prompts().SaveFileName(this, request);
    if (path.isEmpty()) return;
    exportPdfA_ = request.Checked;
    RememberFolder(mainForm_.Options(), TFileKind::Report, path);
    const QString error = ExportPdf(
        pages_, path,
        TPdfOptions{documentTitle_, exportPdfA_, ReportText(ReportDocumentAuthor(project_))});
    if (!error.isEmpty()) ShowError(this, error);
}

void TReptMstr::closeEvent(QCloseEvent* event) {
    if (mainForm_.Busy()) {
        event->ignore();
        return;
    }
    DeletePageFile(pageFile_);
    event->accept();
}

} // namespace corvalt::ui
