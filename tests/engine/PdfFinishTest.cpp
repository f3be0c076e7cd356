// The finished PDF: its author in the document information and the XMP
// metadata, its bookmarks, and pages left as the writer drew them.

#include "EngineTestSupport.h"

#include "engine/PageRenderer.h"
#include "engine/PdfFinish.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace corvalt {
namespace {

using test::HasTool;
using test::RunTool;
using test::SamplePages;

const QString kAuthor = QStringLiteral("José Müller");

QString WritePdf(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

QByteArray Pdf(const TPageList& pages, const TPdfOptions& options) {
    QString error;
    const QByteArray bytes = PdfBytes(pages, options, error);
    EXPECT_EQ(error, QString());
    return bytes;
}

// The value of a "Key:   value" line of pdfinfo's report.
QString InfoField(const QString& info, const QString& key) {
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(key),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1);
}

TEST(PdfFinish, AuthorIsAddedAndTheTextStaysAsDrawn) {
    if (!HasTool("pdfinfo") || !HasTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const TPageList pages = SamplePages(2);
    // Without author or sections the writer's bytes are exported as they are.
    const QString plain = WritePdf(dir, "plain.pdf", Pdf(pages, {QStringLiteral("Sample")}));
    const QString finished =
        WritePdf(dir, "finished.pdf", Pdf(pages, {QStringLiteral("Sample"), false, kAuthor}));
    const QString info = RunTool(QStringLiteral("pdfinfo"), {finished});
    EXPECT_EQ(InfoField(info, QStringLiteral("Author")), kAuthor) << info.toStdString();
    EXPECT_EQ(InfoField(info, QStringLiteral("Title")), QStringLiteral("Sample"));
    const QString before = RunTool(QStringLiteral("pdftotext"), {plain, QStringLiteral("-")});
    EXPECT_TRUE(before.contains(QStringLiteral("Corvalt sample text")));
    EXPECT_EQ(RunTool(QStringLiteral("pdftotext"), {finished, QStringLiteral("-")}), before);
}

// PDF/A needs the document information and the XMP metadata to agree; the
// metadata stays unfiltered and no object streams appear.
TEST(PdfFinish, PdfAKeepsItsMetadataInAgreement) {
    const QByteArray pdf =
        Pdf(SamplePages(1), {QStringLiteral("Archive"), true, QStringLiteral("A & B <Lines>")});
    EXPECT_TRUE(pdf.startsWith("%PDF-1.4"));
    EXPECT_FALSE(pdf.contains("/ObjStm"));
    EXPECT_TRUE(pdf.contains("pdfaid:part"));
    const QString text = QString::fromUtf8(pdf);
    const QRegularExpression creator(QStringLiteral(
        "<dc:creator>\\s*<rdf:Seq>\\s*<rdf:li>([^<]*)</rdf:li>\\s*</rdf:Seq>\\s*</dc:creator>"));
    EXPECT_EQ(text.count(QStringLiteral("<dc:creator")), 1);
    EXPECT_EQ(creator.match(text).captured(1), QStringLiteral("A &amp; B &lt;Lines&gt;"));
    if (!HasTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString path = WritePdf(dir, "archive.pdf", pdf);
    EXPECT_EQ(InfoField(RunTool(QStringLiteral("pdfinfo"), {path}), QStringLiteral("Author")),
              QStringLiteral("A & B <Lines>"));
}

// The PDF/A export adds a creator to the packet; one already there is replaced.
TEST(PdfFinish, CreatorInTheXmpPacketIsReplaced) {
    const QByteArray xmp = "<rdf:Description rdf:about=\"\"><dc:title/><dc:creator><rdf:Seq>"
                           "<rdf:li>Old</rdf:li></rdf:Seq></dc:creator></rdf:Description>";
    EXPECT_EQ(XmpWithCreator(xmp, kAuthor), QString::fromUtf8(xmp)
                                                .replace(QStringLiteral("Old"), kAuthor)
                                                .toUtf8());
}

// Five pages; sections start on pages 1, 3 and 4 (indices 0, 2, 3), the
// second with a title outside Latin-1.
TEST(PdfFinish, EachSectionIsABookmarkOnItsFirstPage) {
    TPageList pages = SamplePages(5);
    pages.Sections = {{QStringLiteral("North"), 0},
                      {QStringLiteral("Süd — 2 ≥ 1"), 2},
                      {QStringLiteral("East"), 3}};
    const QByteArray bytes = Pdf(pages, {});
    QPDF pdf;
    pdf.processMemoryFile("bookmarks.pdf", bytes.constData(), std::size_t(bytes.size()));
    EXPECT_EQ(pdf.getRoot().getKey("/PageMode").getName(), "/UseOutlines");
    EXPECT_EQ(pdf.getRoot().getKey("/Outlines").getKey("/Count").getIntValue(), 3);
    const std::vector<QPDFPageObjectHelper> pdfPages = QPDFPageDocumentHelper(pdf).getAllPages();
    std::vector<TSectionMark> found;
    for (QPDFOutlineObjectHelper& item : QPDFOutlineDocumentHelper(pdf).getTopLevelOutlines()) {
        const auto page = std::find_if(pdfPages.begin(), pdfPages.end(), [&](auto& p) {
            return p.getObjectHandle().getObjGen() == item.getDestPage().getObjGen();
        });
        found.push_back({QString::fromStdString(item.getTitle()), int(page - pdfPages.begin())});
    }
    EXPECT_EQ(found, pages.Sections);
}

TEST(PdfFinish, DamagedDocumentGivesAnError) {
    QString error;
    EXPECT_TRUE(FinishPdf("%PDF-1.4 nothing else", kAuthor, {}, error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("could not be added"))) << error.toStdString();
}

} // namespace
} // namespace corvalt
