#pragma once
// Paints recorded pages. One function, RenderPage, draws a page on any QPainter
// at any scale; the preview widget, the PDF export and the printer all use it,
// so what the preview shows is what the paper gets.
//
// Preview (in a widget's paintEvent, zoom in percent):
//   QPainter painter(this);
//   painter.translate(pageLeftPx, pageTopPx);
//   painter.fillRect(QRectF(0, 0, pages.Width * dpi, pages.Height * dpi), Qt::white);
//   RenderPage(painter, pages.Pages[index], logicalDpiX() * zoom / 100.0);
// PDF: ExportPdf(pages, "report.pdf"). Printer: PrintPages(printer, pages).

#include "engine/PageModel.h"
#include "engine/PageSource.h"

#include <QImage>
#include <QPageSize>
#include <QString>

#include <string>

class QPainter;
class QPrinter;

namespace corvalt {

// Draws the page with the paper's top-left corner at the painter's current
// origin, at dotsPerInch painter units per page inch. Text is drawn from the
// positions recorded at layout, never re-measured, so every scale shows the
// same line and page breaks. Lines are never thinner than one painter unit.
// The painter's state is restored on return; the paper is not filled.
void RenderPage(QPainter& painter, const TPage& page, double dotsPerInch);

// The page on white paper as an image of dotsPerInch pixels per inch.
QImage RenderPageImage(const TPageList& pages, std::size_t pageIndex, double dotsPerInch);

// Paper of a page list: US Letter when it is 8.5 × 11 in, else a custom size.
QPageSize PaperSize(const TPageList& pages);

// What a PDF document says of itself (title, author: who made the report),
// and whether it is written as PDF/A-1b (the archival form: fonts embedded,
// colours with their profile, metadata).
struct TPdfOptions {
    QString Title;
    bool PdfA = false;
    QString Author{}; // none when empty
};

// Writes every page as one page of a PDF document (vector text with embedded
// fonts, paper of the report), with a bookmark for each of the report's
// sections, to the file at path through the program's safe writer
// (model/FileIo.h): whole or not at all, and never in place of a folder, a
// pipe or a device. The source's pages are painted one at a time, in order,
// into a draft file beside the target that is finished into a second one, so
// the document is never held in memory whole. A page that cannot be read
// fails the export with the source's error. path is in the file system's own
// bytes (a command-line argument as given); the QString form, for names
// chosen in a dialog, encodes them as Qt does. Returns an empty string on
// success, else the error text.
QString ExportPdfFile(TPageSource& pages, const std::string& path, const TPdfOptions& options = {});
QString ExportPdfFile(const TPageList& pages, const std::string& path,
                      const TPdfOptions& options = {});
QString ExportPdf(const TPageList& pages, const QString& path, const TPdfOptions& options = {});

// Prints the pages on the printer at full scale, paper corner at the origin,
// in portrait on the report's paper. Honours the printer's page range
// (fromPage/toPage, 1-based; 0 means all). Returns an empty string on success.
QString PrintPages(QPrinter& printer, const TPageList& pages);

} // namespace corvalt
