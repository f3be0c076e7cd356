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

#include <QImage>
#include <QPageSize>
#include <QString>

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

// Writes every page as one page of a PDF file (vector text with embedded fonts,
// paper of the report). Writes whole or not at all. Returns an empty string on
// success, else the error text.
QString ExportPdf(const TPageList& pages, const QString& path, const QString& title = {});

// Prints the pages on the printer at full scale, paper corner at the origin,
// in portrait on the report's paper. Honours the printer's page range
// (fromPage/toPage, 1-based; 0 means all). Returns an empty string on success.
QString PrintPages(QPrinter& printer, const TPageList& pages);

} // namespace corvalt
