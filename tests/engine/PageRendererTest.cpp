// The renderer: the same layout at every scale, PDF export and printing.

#include "EngineTestSupport.h"

#include "engine/PageRenderer.h"
#include "engine/ReportFonts.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace corvalt {
namespace {

using test::HasTool;
using test::RunBody;
using test::RunTool;
using test::SamplePages;

// Bounding box of the non-white pixels of an image.
QRect InkBox(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(row[x]) < 200) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

TPageList OneText(const QString& font, double size, const QString& text) {
    return RunBody([&](TPageCanvas& c) {
        c.SelectFont(font, size);
        c.SetCursorX(1.0);
        c.SetCursorY(2.0);
        c.PrintText(text);
    });
}

TEST(PageRenderer, TextIsPaintedAsWideAsItWasMeasured) {
    const QString text = QStringLiteral("HHHHHHHHHHHHHHHHHHHH");
    for (const char* font : {"Tahoma", "Arial"}) {
        for (double dpi : {96.0, 300.0}) {
            SCOPED_TRACE(testing::Message() << font << " at " << dpi << " dpi");
            const TPageList pages = OneText(QString::fromLatin1(font), 10, text);
            const TTextCmd& run = *pages.Pages[0].Texts()[0];
            const QRect ink = InkBox(RenderPageImage(pages, 0, dpi));
            ASSERT_FALSE(ink.isNull());
            // Ink spans the run less the side bearings of the first and last H.
            EXPECT_NEAR(ink.left() / dpi, run.X, 0.03);
            EXPECT_NEAR((ink.right() + 1) / dpi, run.X + run.Width, 0.03);
            EXPECT_LT(ink.bottom() / dpi, run.Y + 0.01);     // H sits on the baseline
            EXPECT_NEAR(ink.top() / dpi, run.Y - 0.1, 0.02); // cap height about 0.1 in
        }
    }
}

qint64 Ink(const QImage& image) {
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    return ink;
}

TEST(PageRenderer, UnderlineSpansTheRunAndBoldIsDrawnBold) {
    for (const char* font : {"Tahoma", "Arial"}) {
        SCOPED_TRACE(font);
        const auto run = [&](bool bold, bool underline) {
            return RunBody([&](TPageCanvas& c) {
                c.SelectFont(QString::fromLatin1(font), 12);
                c.SetBold(bold);
                c.SetUnderline(underline);
                c.SetCursorX(2.0);
                c.SetCursorY(2.0);
                c.PrintText(QStringLiteral("lllllllllllllll"));
            });
        };
        const TPageList underlined = run(false, true);
        const TTextCmd& text = *underlined.Pages[0].Texts()[0];
        const QRect ink = InkBox(RenderPageImage(underlined, 0, 150));
        EXPECT_NEAR(ink.left() / 150.0, text.X, 0.02);
        EXPECT_NEAR((ink.right() + 1) / 150.0, text.X + text.Width, 0.02);
        EXPECT_GT(ink.bottom() / 150.0, text.Y); // the underline lies below the baseline
        // Bold stems are clearly darker than regular ones, on screen and in PDF alike.
        const qint64 regular = Ink(RenderPageImage(run(false, false), 0, 150));
        const qint64 bold = Ink(RenderPageImage(run(true, false), 0, 150));
        EXPECT_GT(double(bold) / double(regular), 1.3);
    }
}

TEST(PageRenderer, UnderlineStaysUnderItsTextOnAScrolledPreview) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SelectFont(QStringLiteral("Arial"), 16);
        c.SetUnderline(true);
        c.SetCursorX(1.0);
        c.SetCursorY(1.0);
        c.PrintText(QStringLiteral("Electric and Magnetic Field Effects"));
    });
    const TTextCmd& text = *pages.Pages[0].Texts()[0];
    // The preview paints with the painter moved by the scroll position.
    const double dpi = 96;
    const int scrolledBy = 40;
    QImage image(816, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0, -scrolledBy);
        RenderPage(painter, pages.Pages[0], dpi);
    }
    const QRect ink = InkBox(image);
    const double baselinePixel = text.Y * dpi - scrolledBy;
    EXPECT_GT(ink.bottom(), baselinePixel);
    EXPECT_LT(ink.bottom(), baselinePixel + 0.08 * dpi); // just below the baseline
    EXPECT_NEAR(ink.right() + 1, (text.X + text.Width) * dpi, 3);
}

TEST(PageRenderer, TwoZoomsShowTheSameLayout) {
    const TPageList pages = SamplePages(1);
    const QImage small = RenderPageImage(pages, 0, 100);
    const QImage large = RenderPageImage(pages, 0, 200);
    EXPECT_EQ(small.size(), QSize(850, 1100));
    EXPECT_EQ(large.size(), QSize(1700, 2200));
    // Same ink extent, and the same picture once the large one is scaled down.
    const QRect a = InkBox(small), b = InkBox(large);
    EXPECT_NEAR(b.left(), 2 * a.left(), 3);
    EXPECT_NEAR(b.right(), 2 * a.right(), 3);
    EXPECT_NEAR(b.top(), 2 * a.top(), 3);
    EXPECT_NEAR(b.bottom(), 2 * a.bottom(), 3);
    const QImage halved =
        large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 differing = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            if (std::abs(qGray(small.pixel(x, y)) - qGray(halved.pixel(x, y))) > 128) ++differing;
    EXPECT_LT(differing, small.width() * small.height() / 500);
}

TEST(PageRenderer, ThinLinesStayVisibleAndCellsAreShaded) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SetCursorY(1.0);
        c.DefineTab(1.0, TJustify::Left, 1.0, 3, BoxAll, 50);
        c.NextTab();
    });
    const QImage image =
        RenderPageImage(pages, 0, 72); // one device pixel is less than a pixel here
    const QRect ink = InkBox(image);
    EXPECT_NEAR(ink.left(), 72, 1);
    EXPECT_NEAR(ink.right(), 144, 1);
    EXPECT_EQ(qGray(image.pixel(72, ink.center().y())), 0);         // left line: black, crisp
    EXPECT_NEAR(qGray(image.pixel(108, ink.center().y())), 128, 2); // 50 % grey inside
}

int CountPdfPages(const QByteArray& pdf) {
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

TEST(PageRenderer, PdfHasOneLetterPagePerReportPageWithVectorText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_EQ(ExportPdf(SamplePages(3), path, TPdfOptions{QStringLiteral("Sample")}), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(CountPdfPages(pdf), 3);

    if (!HasTool("pdfinfo") || !HasTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("612 x 792 pts (letter)"))) << info.toStdString();
    const QString text = RunTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                                  QStringLiteral("2"), path, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Corvalt sample text"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 2"))) << text.toStdString();
}

// Report text is searchable: words print without ligatures ("fi" and "fl" as
// two letters, which a search for "Configuration" finds), and the bold face
// spaces its slashes like its other glyphs.
TEST(PageRenderer, PdfTextReadsAsPrinted) {
    const QStringList lines = {QStringLiteral("Phase Configuration"),
                               QStringLiteral("office fifty flow"), QStringLiteral("230/115 kV"),
                               QStringLiteral("+/-500 kV")};
    const TPageList pages = RunBody([&](TPageCanvas& c) {
        c.SetCursorY(1.0);
        for (const char* font : {"Tahoma", "Arial"}) {
            for (const bool bold : {false, true}) {
                c.SelectFont(QString::fromLatin1(font), 10);
                c.SetBold(bold);
                for (const QString& line : lines)
                    c.PrintTextLine(line);
            }
        }
    });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.pdf"));
    ASSERT_EQ(ExportPdf(pages, path), QString());
    if (!HasTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    const QString text = RunTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QStringList found;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty()) found << line.trimmed(); // the page ends in a form feed
    ASSERT_EQ(found.size(), 16) << text.toStdString();
    for (qsizetype i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i], lines[i % 4]);
    }
}

// Wine's bold Tahoma has the bold advances but the regular outlines; a glyph
// drawn at the start of its wider advance leaves the extra room after it,
// which shows after a slash ("230/ 115", "+/ -500": the slash's bold advance
// is 1.5 times its regular one). Each glyph sits in its bold advance as it sits
// in its regular one: its outline's centre lies as far from the centre of its
// advance (the advances of the face, laid end to end from the start of the
// text), in ems.
TEST(PageRenderer, BoldGlyphsSitInTheirAdvancesAsRegularOnesDo) {
    if (!RegisterReportFonts().join(QLatin1Char(' ')).contains(QStringLiteral("tahomabd")))
        GTEST_SKIP() << "Tahoma is not the one of fonts-wine here";
    const QString text = QStringLiteral("230/115 +/-500 Hx");
    const auto offsets = [&](bool bold) {
        TFontSpec font{QStringLiteral("Tahoma"), 10};
        font.Bold = bold;
        const QList<QGlyphRun> runs = LayoutGlyphRuns(font, text);
        EXPECT_EQ(runs.size(), 1);
        std::vector<double> found;
        if (runs.isEmpty()) return found;
        const QRawFont raw = runs[0].rawFont();
        const QList<quint32> glyphs = runs[0].glyphIndexes();
        const QList<QPointF> at = runs[0].positions();
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
        double start = 0;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const QRectF ink = raw.pathForGlyph(glyphs[i]).boundingRect();
            const double advanceCentre = start + advances[i].x() / 2;
            found.push_back(ink.isEmpty()
                                ? 0.0
                                : (at[i].x() + ink.center().x() - advanceCentre) / raw.pixelSize());
            start += advances[i].x();
        }
        return found;
    };
    const std::vector<double> regular = offsets(false);
    const std::vector<double> bold = offsets(true);
    ASSERT_EQ(regular.size(), bold.size());
    for (std::size_t i = 0; i < regular.size(); ++i) {
        SCOPED_TRACE(text.mid(static_cast<qsizetype>(i), 1).toStdString());
        EXPECT_NEAR(bold[i], regular[i], 0.02);
    }
}

TEST(PageRenderer, PdfToAnUnwritablePlaceFailsWithAMessage) {
    const QString error = ExportPdf(SamplePages(1), QStringLiteral("/no/such/folder/out.pdf"));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The PDF file \"out.pdf\" cannot be written")))
        << error.toStdString();
    // A path that ends in no file name is named whole.
    for (const char* path : {"/tmp/out.pdf/", "/"}) {
        const QString refused = ExportPdf(SamplePages(1), QString::fromLatin1(path));
        EXPECT_TRUE(refused.startsWith(
            QStringLiteral("The PDF file \"%1\" cannot be written: ").arg(QLatin1String(path))))
            << refused.toStdString();
    }
}

TEST(PageRenderer, PdfIsNeverWrittenInPlaceOfAPipeOrADevice) {
    QTemporaryDir dir;
    const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe.pdf")));
    ASSERT_EQ(mkfifo(pipe.constData(), 0644), 0);
    const QString link = dir.filePath(QStringLiteral("null.pdf"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), link));
    for (const QString& target : {QFile::decodeName(pipe), link}) {
        const QString error = ExportPdf(SamplePages(1), target);
        EXPECT_TRUE(error.endsWith(QStringLiteral("is not a regular file.")))
            << error.toStdString();
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe.toStdString()));
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // Names go to the file system as Qt encodes them; the command line's bytes as they are.
    const QString accented = dir.filePath(QStringLiteral("Köln.pdf"));
    ASSERT_EQ(ExportPdf(SamplePages(1), accented), QString());
    EXPECT_TRUE(QFile::exists(accented));
    const std::string bytes = QFile::encodeName(dir.path()).toStdString() + "/caf\xe9.pdf";
    ASSERT_EQ(ExportPdfFile(SamplePages(1), bytes), QString());
    EXPECT_TRUE(std::filesystem::is_regular_file(bytes));
}

TEST(PageRenderer, PrintingHonoursThePageRange) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFromTo(2, 3);
    ASSERT_EQ(PrintPages(printer, SamplePages(4)), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(CountPdfPages(file.readAll()), 2);

    printer.setFromTo(5, 6);
    EXPECT_FALSE(PrintPages(printer, SamplePages(4)).isEmpty());
}

} // namespace
} // namespace corvalt
