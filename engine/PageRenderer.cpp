#include "engine/PageRenderer.h"

#include "engine/PdfFinish.h"
#include "engine/ReportFonts.h"
#include "model/FileIo.h"
#include "model/TextHelpers.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRawFont>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <unistd.h>

namespace corvalt {

namespace {

// Paints the commands of one page. Geometry is drawn in the painter's own
// units (page inches × dpi); when those are device pixels, axis-parallel lines
// and fills are aligned to the pixel grid so that thin box lines stay crisp and
// neighbouring cells meet without seams.
class TPagePainter {
  public:
    TPagePainter(QPainter& painter, double dotsPerInch)
        : painter_(painter), dpi_(dotsPerInch), base_(painter.transform()),
          snap_(base_.type() <= QTransform::TxTranslate &&
                std::abs(base_.dx() - std::round(base_.dx())) < 1e-9 &&
                std::abs(base_.dy() - std::round(base_.dy())) < 1e-9) {}

    // Each glyph goes where the layout put it, scaled to the device; the
    // glyphs themselves are rendered by the font at the device's size, taken
    // from a QFont so that synthesized styles (bold) apply as they do in text.
    void operator()(const TTextCmd& c) {
        const double scale = dpi_ / kLayoutDpi;
        const QPointF origin(c.X * dpi_, c.Y * dpi_);
        const QList<QGlyphRun> runs = LayoutGlyphRuns(c.Font, c.Text);
        if (runs.isEmpty()) return;
        const QRawFont primary = DeviceRawFont(c.Font, runs.front().rawFont().pixelSize() * scale);
        painter_.setPen(QPen(Qt::black));
        for (QGlyphRun run : runs) {
            QRawFont font = run.rawFont();
            if (primary.isValid() && font.familyName() == primary.familyName() &&
                font.styleName() == primary.styleName()) {
                font = primary;
            } else {
                font.setPixelSize(font.pixelSize() * scale); // a fallback font
            }
            // Positions relative to the run's first glyph, where Qt starts the
            // run's underline or strike-out.
            QList<QPointF> positions = run.positions();
            if (positions.isEmpty()) continue;
            const QPointF start = positions.front() * scale;
            for (QPointF& p : positions)
                p = p * scale - start;
            run.setRawFont(font);
            run.setPositions(positions);
            // Qt's raster engine places glyph-run decorations wrongly on a
            // translated painter (the preview's scroll offset), so underline
            // and strike-out are drawn below as lines of their own.
            run.setUnderline(false);
            run.setStrikeOut(false);
            painter_.drawGlyphRun(origin + start, run);
        }
        if (primary.isValid()) Decorations(c, primary);
    }

    void operator()(const TLineCmd& c) {
        Line(c.X1, c.Y1, c.X2, c.Y2, c.Pen.Colour, static_cast<Qt::PenStyle>(c.Pen.Style),
             c.Pen.Width);
    }

    void operator()(const TFillCmd& c) {
        QRectF rect(QPointF(c.Left * dpi_, c.Top * dpi_), QPointF(c.Right * dpi_, c.Bottom * dpi_));
        if (snap_) {
            rect = QRectF(QPointF(std::round(rect.left()), std::round(rect.top())),
                          QPointF(std::round(rect.right()), std::round(rect.bottom())));
        }
        painter_.fillRect(rect, QColor::fromRgba(c.Colour));
    }

    void operator()(const TFrameCmd& c) {
        const auto style = Qt::SolidLine;
        if (c.Top == c.Bottom || c.Left == c.Right) {
            Line(c.Left, c.Top, c.Right, c.Bottom, c.Colour, style, c.Width);
            return;
        }
        Line(c.Left, c.Top, c.Right, c.Top, c.Colour, style, c.Width);
        Line(c.Right, c.Top, c.Right, c.Bottom, c.Colour, style, c.Width);
        Line(c.Right, c.Bottom, c.Left, c.Bottom, c.Colour, style, c.Width);
        Line(c.Left, c.Bottom, c.Left, c.Top, c.Colour, style, c.Width);
    }

    void operator()(const TBitmapCmd& c) {
        QRectF rect(QPointF(c.Left * dpi_, c.Top * dpi_), QPointF(c.Right * dpi_, c.Bottom * dpi_));
        painter_.drawImage(rect, c.Image);
    }

    void operator()(const TPictureCmd& c) {
        painter_.save();
        painter_.translate(c.Left * dpi_, c.Top * dpi_);
        painter_.scale((c.Right - c.Left) * dpi_ / c.Picture.Width,
                       (c.Bottom - c.Top) * dpi_ / c.Picture.Height);
        PaintVectorPicture(painter_, c.Picture);
        painter_.restore();
    }

  private:
    // Underline and strike-out across the measured width of the text, at the
    // font's own positions and thickness.
    void Decorations(const TTextCmd& c, const QRawFont& font) {
        if (!c.Font.Underline && !c.Font.StrikeOut) return;
        const double thickness = std::max(font.lineThickness(), 1.0);
        const double left = c.X * dpi_;
        const double right = (c.X + c.Width) * dpi_;
        const double baseline = c.Y * dpi_;
        QPen pen(Qt::black, thickness, Qt::SolidLine, Qt::FlatCap);
        painter_.setPen(pen);
        if (c.Font.Underline) {
            const double y = baseline + font.underlinePosition() + thickness / 2;
            painter_.drawLine(QPointF(left, y), QPointF(right, y));
        }
        if (c.Font.StrikeOut) {
            const double y = baseline - font.xHeight() / 2;
            painter_.drawLine(QPointF(left, y), QPointF(right, y));
        }
    }

    QRawFont DeviceRawFont(const TFontSpec& spec, double pixelSize) const {
        const int dpiY = std::max(painter_.device()->logicalDpiY(), 1);
        QFont font = LayoutFont(spec);
        font.setPointSizeF(pixelSize * 72.0 / dpiY);
        return QRawFont::fromFont(QFont(font, painter_.device()));
    }

    // Pixel-grid coordinate of a line's centre: a line of odd pixel width runs
    // through pixel centres, one of even width along pixel edges.
    static double SnapCentre(double v, int widthPixels) {
        return widthPixels % 2 ? std::floor(v) + 0.5 : std::round(v);
    }

    void Line(double x1, double y1, double x2, double y2, QRgb colour, Qt::PenStyle style,
              double widthInches) {
        QPointF a(x1 * dpi_, y1 * dpi_);
        QPointF b(x2 * dpi_, y2 * dpi_);
        double width = std::max(widthInches * dpi_, 1.0);
        if (snap_ && (a.x() == b.x() || a.y() == b.y())) {
            const int pixels = std::max(1, static_cast<int>(std::lround(width)));
            width = pixels;
            if (a.x() == b.x()) {
                a.setX(SnapCentre(a.x(), pixels));
                b.setX(a.x());
                a.setY(std::round(a.y()));
                b.setY(std::round(b.y()));
            } else {
                a.setY(SnapCentre(a.y(), pixels));
                b.setY(a.y());
                a.setX(std::round(a.x()));
                b.setX(std::round(b.x()));
            }
        }
        QPen pen(QColor::fromRgba(colour), width, style, Qt::SquareCap, Qt::MiterJoin);
        painter_.setPen(pen);
        painter_.drawLine(a, b);
    }

    QPainter& painter_;
    double dpi_;
    QTransform base_;
    bool snap_;
};

} // namespace

void RenderPage(QPainter& painter, const TPage& page, double dotsPerInch) {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.setBrush(Qt::NoBrush);
    TPagePainter pagePainter(painter, dotsPerInch);
    for (const TPageCommand& command : page.Commands)
        std::visit(pagePainter, command);
    painter.restore();
}

QImage RenderPageImage(const TPageList& pages, std::size_t pageIndex, double dotsPerInch) {
    const QSize size(static_cast<int>(std::ceil(pages.Width * dotsPerInch)),
                     static_cast<int>(std::ceil(pages.Height * dotsPerInch)));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (pageIndex < pages.Pages.size()) {
        QPainter painter(&image);
        RenderPage(painter, pages.Pages[pageIndex], dotsPerInch);
    }
    return image;
}

namespace {

QPageSize PaperOf(double width, double height) {
    if (width == kLetterWidth && height == kLetterHeight) return QPageSize(QPageSize::Letter);
    return QPageSize(QSizeF(width, height), QPageSize::Inch);
}

} // namespace

QPageSize PaperSize(const TPageList& pages) {
    return PaperOf(pages.Width, pages.Height);
}

namespace {

// Paints every page into the PDF document written to the file at path (which
// exists and is overwritten). Returns an empty text, else why it failed.
QString PaintPdf(TPageSource& pages, const TPdfOptions& options, const std::string& path) {
    // Opened by its bytes: a name need not be valid in the locale's encoding.
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return QString::fromStdString(SystemErrorText(errno));
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return file.errorString();
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(static_cast<int>(kLayoutDpi));
        writer.setPageLayout(QPageLayout(PaperOf(pages.PaperWidth(), pages.PaperHeight()),
                                         QPageLayout::Portrait, QMarginsF()));
        writer.setTitle(options.Title);
        if (options.PdfA) writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setCreator(QStringLiteral("Corvalt"));
        QPainter painter;
        if (!painter.begin(&writer)) return QStringLiteral("the PDF writer did not start");
        for (std::size_t i = 0; i < pages.PageCount(); ++i) {
            const TPage* page = pages.Page(i);
            if (page == nullptr) return pages.Error();
            if (i > 0) writer.newPage();
            RenderPage(painter, *page, writer.resolution());
        }
        painter.end();
    }
    // The writer does not report failed writes (a full disk); the file does.
    if (!file.flush() || file.error() != QFileDevice::NoError) return file.errorString();
    file.close();
    return {};
}

} // namespace

QString ExportPdfFile(TPageSource& pages, const std::string& path, const TPdfOptions& options) {
    // The pages are painted into a draft beside the target, which the finish
    // reads back while it writes the file that takes the target's place.
    const std::string written = ReplaceFileBy(path, [&](const TReplacementFiles& files) {
        QString why = PaintPdf(pages, options, files.Draft);
        if (why.isEmpty())
            why = FinishPdfFile(files.Draft, files.Result, options.Author, pages.Sections());
        return why.toStdString();
    });
    if (written.empty()) return {};
    return QStringLiteral("The PDF file \"%1\" cannot be written: %2.")
        .arg(QString::fromStdString(ShownFileName(path)), QString::fromStdString(written));
}

QString ExportPdfFile(const TPageList& pages, const std::string& path,
                      const TPdfOptions& options) {
    TPageListSource source(pages);
    return ExportPdfFile(source, path, options);
}

QString ExportPdf(const TPageList& pages, const QString& path, const TPdfOptions& options) {
    return ExportPdfFile(pages, QFile::encodeName(path).toStdString(), options);
}

QString PrintPages(QPrinter& printer, const TPageList& pages) {
    const int count = static_cast<int>(pages.Pages.size());
    int first = printer.fromPage() > 0 ? printer.fromPage() : 1;
    int last = printer.toPage() > 0 ? std::min(printer.toPage(), count) : count;
    if (first > last) return QStringLiteral("The pages to print lie outside the report.");
    printer.setFullPage(true);
    printer.setPageSize(PaperSize(pages));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) return QStringLiteral("The printer cannot be started.");
    for (int page = first; page <= last; ++page) {
        if (page > first) printer.newPage();
        RenderPage(painter, pages.Pages[static_cast<std::size_t>(page - 1)], printer.resolution());
    }
    painter.end();
    return {};
}

} // namespace corvalt
