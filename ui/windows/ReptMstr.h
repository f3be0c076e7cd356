#pragma once
// TReptMstr ("EMF Report--<project title>--<report>[--<cross section>]"): the
// preview window of one report.
// It keeps the recorded pages in memory (so other report windows may rewrite
// their page files freely), shows one page at a time in a scroll box at any
// zoom, pages and zooms on the main window's commands, prints through the
// print dialog and exports the report as PDF. Its page file is deleted when
// the window closes; closing is refused while the main window prints.

#include "engine/PageModel.h"
#include "reports/ReportKind.h"

#include <QString>
#include <QWidget>

class QScrollArea;

namespace corvalt {
class TEmfProject;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

class TMainForm;
class TPagePreview;

// The report window's caption: "EMF Report--", the project title, "--" and
// the report's title, then "--" and the cross section's tab name for a report
// of one cross section, so that the windows of several reports can be told
// apart in the Window menu.
QString ReportWindowCaption(const TEmfProject& project, TReportKind kind,
                            const TScenario* scenario);

class TReptMstr : public QWidget {
    Q_OBJECT
  public:
    // Zoom factors in percent of the page's natural size on the screen.
    static constexpr double kZoomStep = 10;
    static constexpr double kMaxZoom = 1000;

    // scenario: the cross section the report was asked for; pages: the
    // laid-out report (at least one page); pageFile: the file the run wrote,
    // deleted when the window closes.
    TReptMstr(TMainForm& mainForm, TEmfProject& project, const TScenario* scenario,
              TReportKind kind, TPageList pages, QString pageFile, QWidget* parent = nullptr);
    ~TReptMstr() override;

    TEmfProject& Project() const { return project_; }
    TReportKind Kind() const { return kind_; }
    const TPageList& Pages() const { return pages_; }
    const QString& PageFile() const { return pageFile_; }
    int PageIndex() const { return page_; } // 0-based
    int PageCount() const { return static_cast<int>(pages_.Pages.size()); }
    double Zoom() const { return zoom_; }

    // Shows page 1 at page width (after the window has its size).
    void StartPreview();

    // The main window's Report menu and tool bar.
    void tbPrintClick();
    void tbExportPdfClick();
    void tbPreviousClick();
    void tbNextClick();
    void tbZoomInClick();
    void tbZoomOutClick();
    void tbPageClick();
    void tbWidthClick();
    void tbExitClick();

    // The zoom at which the whole page, or the page width, fits the scroll box.
    double WholePageZoom() const;
    double PageWidthZoom() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void ShowPage(int index);
    void SetZoom(double percent);
    void repPreviewPageChange();

    TMainForm& mainForm_;
    TEmfProject& project_;
    TReportKind kind_;
    TPageList pages_;
    QString pageFile_;
    QString fileTitle_; // the name Export PDF proposes, without ".pdf"
    QString documentTitle_; // the exported PDF's title
    bool exportPdfA_ = false; // the export dialog's PDF/A choice, kept for the next export
    int page_ = 0;
    double zoom_ = 100;
    QScrollArea* repScrollBox_ = nullptr;
    TPagePreview* repPreview_ = nullptr;
};

} // namespace corvalt::ui
