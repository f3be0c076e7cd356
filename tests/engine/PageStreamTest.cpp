// Pages streamed through the page file: the canvas hands each finished page to
// the writer, the file is read back a page at a time, and a PDF is painted
// from it page by page.

#include "EngineTestSupport.h"

#include "engine/PageFile.h"
#include "engine/PageRenderer.h"
#include "engine/ReportRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace corvalt {
namespace {

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sample report with a section on every odd page and a vector picture in
// every header. HeldPages, when given, gets the most pages the canvas held.
test::TLambdaReport SectionedReport(int pages, std::size_t* heldPages = nullptr) {
    test::TLambdaReport report = test::SampleReport(pages);
    TVectorPicture picture{100, 50, {}};
    TVectorShape shape;
    shape.Polygons = {QPolygonF({{1, 2}, {30, 40}, {90, 10}})};
    picture.Items.push_back(shape);
    report.Header = [header = report.Header, picture, heldPages](TPageCanvas& c) {
        header(c);
        if (c.PageNumber() % 2 == 1)
            c.MarkSection(QStringLiteral("Part %1").arg(c.PageNumber()));
        c.DrawPicture(1, 9, 3, 10, picture);
        if (heldPages) *heldPages = std::max(*heldPages, c.Pages().Pages.size());
    };
    return report;
}

TEST(PageStream, TheStreamedFileIsThatOfThePagesKept) {
    for (int pages : {1, 3}) {
        SCOPED_TRACE(pages);
        std::size_t keptHeld = 0, streamedHeld = 0;
        test::TLambdaReport keptReport = SectionedReport(pages, &keptHeld);
        TPageCanvas canvas;
        ASSERT_TRUE(canvas.Run(keptReport).Ok);
        const TPageList kept = canvas.TakePages();
        ASSERT_EQ(kept.Pages.size(), std::size_t(pages));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("temp.rpt"));
        test::TLambdaReport streamedReport = SectionedReport(pages, &streamedHeld);
        const TStreamedRun run = RunReportStreamed(streamedReport, path);
        ASSERT_TRUE(run.Pages) << run.Error.toStdString();
        EXPECT_EQ(FileBytes(path), SerializePages(kept));
        // The canvas held every page it kept, but only the one it drew while
        // streaming; the sections still name the pages they start on.
        EXPECT_EQ(keptHeld, std::size_t(pages));
        EXPECT_EQ(streamedHeld, 1u);
        const std::vector<TSectionMark> sections =
            pages == 1 ? std::vector<TSectionMark>{{QStringLiteral("Part 1"), 0}}
                       : std::vector<TSectionMark>{{QStringLiteral("Part 1"), 0},
                                                   {QStringLiteral("Part 3"), 2}};
        EXPECT_EQ(run.Pages->Sections(), sections);
    }
}

// A writer that fails or is never finished leaves the old file as it was and
// nothing beside it.
TEST(PageStream, TheWriterWritesTheWholeFileOrNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp.rpt"));
    const TPageList old = test::SamplePages(1);
    ASSERT_EQ(WritePageFile(path, old), QString());
    {
        TPageFileWriter unfinished(path);
        unfinished.AddPage(test::SamplePages(2).Pages[1]);
    }
    test::TLambdaReport tooLong;
    tooLong.Body = [](TPageCanvas& c) {
        for (int page = 0; page < kMaxPages; ++page)
            c.NewPage();
    };
    const TStreamedRun stopped = RunReportStreamed(tooLong, path);
    EXPECT_FALSE(stopped.Pages);
    EXPECT_TRUE(stopped.Error.contains(QStringLiteral("more than 10000 pages")))
        << stopped.Error.toStdString();
    EXPECT_EQ(FileBytes(path), SerializePages(old));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("temp.rpt")});

    TPageFileWriter nowhere(dir.filePath(QStringLiteral("no/such/folder/lost.rpt")));
    nowhere.AddPage(old.Pages[0]);
    const QString error = nowhere.Finish({});
    EXPECT_TRUE(error.startsWith(QStringLiteral("The page file \"lost.rpt\" cannot be written")))
        << error.toStdString();
}

TEST(PageStream, TheReaderGivesThePagesOfTheWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp.rpt"));
    test::TLambdaReport report = SectionedReport(3);
    const TStreamedRun run = RunReportStreamed(report, path);
    ASSERT_TRUE(run.Pages) << run.Error.toStdString();
    const TPageFileResult whole = ReadPageFile(path);
    ASSERT_TRUE(whole.Ok);
    TPageFileReader& reader = *run.Pages;
    EXPECT_EQ(reader.PaperWidth(), 8.5);
    EXPECT_EQ(reader.PaperHeight(), 11.0);
    ASSERT_EQ(reader.PageCount(), 3u);
    EXPECT_EQ(reader.Sections(), whole.Pages.Sections);
    for (std::size_t i : {2u, 0u, 1u, 2u}) { // in any order, and again
        const TPage* page = reader.Page(i);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(*page, whole.Pages.Pages[i]) << "page " << i + 1;
    }

    // The file overwritten in place after the check: a page that no longer
    // reads is refused, not painted.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    ASSERT_TRUE(file.seek(32));
    file.write(QByteArray(size - 32, '\xff'));
    file.close();
    EXPECT_EQ(reader.Page(1), nullptr);
    EXPECT_TRUE(reader.Error().contains(QStringLiteral("changed after it was checked (page 2)")))
        << reader.Error().toStdString();
}

// A PDF painted from the page file a page at a time says what one painted
// from the pages in memory says, page for page.
TEST(PageStream, APdfFromThePageFileEqualsOneFromMemory) {
    if (!test::HasTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString pageFile = dir.filePath(QStringLiteral("temp.rpt"));
    test::TLambdaReport report = SectionedReport(3);
    const TStreamedRun run = RunReportStreamed(report, pageFile);
    ASSERT_TRUE(run.Pages);
    const TPageFileResult whole = ReadPageFile(pageFile);
    const QString fromFile = dir.filePath(QStringLiteral("file.pdf"));
    const QString fromMemory = dir.filePath(QStringLiteral("memory.pdf"));
    const TPdfOptions options{QStringLiteral("Streamed"), false, QStringLiteral("A. Engineer")};
    ASSERT_EQ(ExportPdfFile(*run.Pages, QFile::encodeName(fromFile).toStdString(), options),
              QString());
    ASSERT_EQ(ExportPdf(whole.Pages, fromMemory, options), QString());
    const QString text = test::RunTool(QStringLiteral("pdftotext"), {fromFile, QStringLiteral("-")});
    EXPECT_EQ(text.count(QLatin1Char('\f')), 3); // pdftotext ends each page with a form feed
    EXPECT_TRUE(text.contains(QStringLiteral("Page 3")));
    EXPECT_EQ(text, test::RunTool(QStringLiteral("pdftotext"), {fromMemory, QStringLiteral("-")}));
}

} // namespace
} // namespace corvalt
